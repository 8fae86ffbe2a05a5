#include "frmpdf.h"

#include "fittingcombobox.h"
#include "focuslineedit.h"
#include "localepaper.h"
#include "maker.h"
#include "onelinevalidator.h"
#include "outputnames.h"
#include "pagesetupchoice.h"
#include "platform.h"
#include "readingstabledata.h"
#include "runchartdata.h"
#include "runchartworkbook.h"
#include "standardfonts.h"
#include "twips.h"
#include "unshowncharacters.h"
#include "windowlook.h"
#include "windows1252.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <stdexcept>
#include <utility>

#include "frmpdf_icon.xpm"

namespace quorvale {

namespace {

const QString AppTitle = QStringLiteral("Quorvale");

int pixels(const QWidget* widget, int twips)
{
    return twipsToPixels(twips, twipsPerPixel(*widget));
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height, twipsPerPixel(*widget)));
}

void addLabel(QWidget* parent, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->move(pixels(label, left), pixels(label, top));
    label->adjustSize();
}

template <class Box = QComboBox>
Box* addList(QWidget* parent, const QString& name, const QStringList& items, int selected)
{
    auto* combo = new Box(parent); // not editable: a list to choose from, no typing
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setCurrentIndex(selected);
    return combo;
}

QLineEdit* addTextBox(QWidget* parent, const QString& name, const QString& text, FocusLineEdit::OnFocus onFocus)
{
    auto* box = new FocusLineEdit(text, onFocus, parent);
    box->setObjectName(name);
    return box;
}

// A property text box, kept on one line, with its label, both placed in twips inside their frame.
QLineEdit* addLabelledBox(QWidget* frame, const QString& caption, QPoint labelAt, const QString& name,
                          const QString& text, QRect at, FocusLineEdit::OnFocus onFocus)
{
    addLabel(frame, caption, labelAt.x(), labelAt.y());
    QLineEdit* box = addTextBox(frame, name, text, onFocus);
    box->setValidator(new OneLineValidator(box));
    place(box, at.x(), at.y(), at.width(), at.height());
    return box;
}

// An output name: shown, never typed, on the button face colour.
QLineEdit* addOutputNameBox(QWidget* parent, const QString& name)
{
    QLineEdit* box = addTextBox(parent, name, {}, FocusLineEdit::OnFocus::KeepCaret);
    box->setEnabled(false);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
    return box;
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string utf8(const QLineEdit* box)
{
    return box->text().toStdString();
}

} // namespace

frmPDF::frmPDF(Platform& platform, OutputFormats formats, RunChartRecord record, std::string dataSheetPath,
               QWidget* entryWindow, PdfWriter::Clock clock)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_platform(platform), m_formats(formats), m_record(std::move(record)), m_dataSheetPath(std::move(dataSheetPath)),
      m_entryWindow(entryWindow), m_writer(std::move(clock))
{
    setObjectName(QStringLiteral("frmPDF"));
    setWindowTitle(AppTitle);
    setWindowIcon(QPixmap(frmpdf_icon));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(windowFont());
    setFixedSize(pixels(this, 6285), pixels(this, 7575));

    buildPdfFrame();
    txtFilename->setText(QFile::decodeName(m_dataSheetPath.c_str()));
    buildExcelFrame();
    buildButtons();
    setTabOrder();

    // Spreadsheet properties mean nothing unless a workbook was chosen; Browse still names it.
    Frame2->setEnabled(m_formats.ExcelChosen);
    placeTopmost();
    btnConvert->setFocus();
}

void frmPDF::buildPdfFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("PDF File Properties"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 80, 40, 6135, 3495);

    QStringList fonts;
    for (const StandardFont& font : StandardFonts) {
        if (font.offeredInWindow)
            fonts << QString::fromLatin1(font.name);
    }
    cmbFont = addList(Frame1, QStringLiteral("cmbFont"), fonts, fonts.indexOf(QString::fromLatin1(DefaultFont)));
    place(cmbFont, 3960, 375, 2055, 315);
    addLabel(Frame1, QStringLiteral("Font Size :"), 4080, 975);
    cmbFontSize =
        addList(Frame1, QStringLiteral("cmbFontSize"), {"8pt", "10pt", "12pt", "14pt", "16pt", "18pt", "20pt"}, 1);
    place(cmbFontSize, 4920, 855, 1050, 315);
    addLabel(Frame1, QStringLiteral("Rotation :"), 4080, 1440);
    cmbRotation = addList(Frame1, QStringLiteral("cmbRotation"), {u"0º"_qs, u"90º"_qs, u"180º"_qs, u"270º"_qs}, 0);
    place(cmbRotation, 4920, 1335, 1050, 315);
    addLabel(Frame1, QStringLiteral("Page Size :"), 4080, 1875);
    // Letter comes first; A4 is where the user's locale prints on it.
    const QStringList pageSizes = {R"(8.5" x 11")", R"(8.5" x 14")", R"(14" x 11")",
                                   QStringLiteral("A4 (210 x 297 mm)")};
    // The box is narrower than "A4 (210 x 297 mm)": it shows "A4", the whole text in its tool tip.
    cmbPageSize = addList<FittingComboBox>(Frame1, QStringLiteral("cmbPageSize"), pageSizes,
                                           LocaleUsesA4(PaperLocaleName()) ? pageSizes.size() - 1 : 0);
    // 90 twips wider than the classic list, whose narrower drop-down arrow left room for the last inch mark.
    place(cmbPageSize, 4920, 1815, 1155, 315);

    const auto selectAll = FocusLineEdit::OnFocus::SelectAll;
    const DocumentInformation defaults;
    txtAuthor = addLabelledBox(Frame1, QStringLiteral("Author Name :"), {120, 405}, QStringLiteral("txtAuthor"),
                               QString::fromStdString(defaults.author), {1350, 360, 2460, 360}, selectAll);
    txtCreator = addLabelledBox(Frame1, QStringLiteral("Creator :"), {360, 855}, QStringLiteral("txtCreator"),
                                QString::fromStdString(defaults.creator), {1350, 810, 2460, 360}, selectAll);
    txtCreator->setEnabled(false);
    // A disabled box cannot be scrolled: it shows the start of the address, not its end.
    txtCreator->setCursorPosition(0);
    txtKeywords = addLabelledBox(Frame1, QStringLiteral("Keywords :"), {240, 1335}, QStringLiteral("txtKeywords"),
                                 QString::fromStdString(defaults.keywords), {1350, 1275, 2460, 360}, selectAll);
    txtSubject = addLabelledBox(Frame1, QStringLiteral("Subject :"), {480, 1815}, QStringLiteral("txtSubject"),
                                QString::fromStdString(defaults.subject), {1350, 1740, 2460, 360}, selectAll);
    txtTitle = addLabelledBox(Frame1, QStringLiteral("Title :"), {840, 2295}, QStringLiteral("txtTitle"),
                              QString::fromStdString(defaults.title), {1350, 2220, 2460, 360}, selectAll);

    // Carries the data sheet's path to the conversion; never shown.
    txtFilename = addTextBox(Frame1, QStringLiteral("txtFilename"), {}, selectAll);
    place(txtFilename, 4800, 2295, 540, 345);
    txtFilename->setVisible(false);

    addLabel(Frame1, QStringLiteral("RunChart PDF File:"), 360, 2775);
    txtOutputFile = addOutputNameBox(Frame1, QStringLiteral("txtOutputFile"));
    place(txtOutputFile, 360, 3015, 4620, 345);
    btnSave = addButton(Frame1, QStringLiteral("btnSave"), QStringLiteral("Br&owse..."));
    place(btnSave, 5040, 3015, 960, 380);
    connect(btnSave, &QPushButton::clicked, this, &frmPDF::browse);
}

void frmPDF::buildExcelFrame()
{
    Frame2 = new QGroupBox(QStringLiteral("Excel File Properties"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 80, 3600, 6135, 3375);

    addLabel(Frame2, QStringLiteral("RunChart Excel File:"), 360, 360);
    txtXlsOutputFile = addOutputNameBox(Frame2, QStringLiteral("txtXlsOutputFile"));
    place(txtXlsOutputFile, 360, 600, 5580, 345);

    const auto keepCaret = FocusLineEdit::OnFocus::KeepCaret;
    txtXlsTitle = addLabelledBox(Frame2, QStringLiteral("Title :"), {315, 1200}, QStringLiteral("txtXlsTitle"),
                                 QStringLiteral("Excel Title"), {1200, 1080, 1815, 375}, keepCaret);
    txtXlsSubject = addLabelledBox(Frame2, QStringLiteral("Subject :"), {315, 1680}, QStringLiteral("txtXlsSubject"),
                                   QStringLiteral("Excel Subject"), {1200, 1560, 1815, 375}, keepCaret);
    txtXlsAuthor = addLabelledBox(Frame2, QStringLiteral("Author :"), {3195, 1200}, QStringLiteral("txtXlsAuthor"),
                                  QStringLiteral("Excel Author"), {4080, 1080, 1815, 375}, keepCaret);
    txtXlsKeywords =
        addLabelledBox(Frame2, QStringLiteral("Keywords :"), {3195, 1680}, QStringLiteral("txtXlsKeywords"),
                       QStringLiteral("Excel Keywords"), {4080, 1560, 1815, 375}, keepCaret);
    txtXlsComments = addLabelledBox(Frame2, QStringLiteral("Comments :"), {315, 2280}, QStringLiteral("txtXlsComments"),
                                    QStringLiteral("Excel Comments"), {1200, 2160, 4695, 1095}, keepCaret);
    txtXlsComments->setAlignment(Qt::AlignLeft | Qt::AlignTop); // one line, drawn taller
}

void frmPDF::buildButtons()
{
    cmdBack = addButton(this, QStringLiteral("cmdBack"), QStringLiteral("<< &Back"));
    place(cmdBack, 1920, 7080, 1350, 420);
    connect(cmdBack, &QPushButton::clicked, this, &frmPDF::back);
    cmdCancel = addButton(this, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    place(cmdCancel, 3360, 7080, 1350, 420);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPDF::cancel);
    btnConvert = addButton(this, QStringLiteral("btnConvert"), QStringLiteral("&Finish"));
    place(btnConvert, 4850, 7080, 1350, 420);
    connect(btnConvert, &QPushButton::clicked, this, &frmPDF::finish);

    // Beside the buttons, in the corner they leave free; shown once a gauge reading arrives.
    lblGaugeReadings = new QLabel(this);
    lblGaugeReadings->setObjectName(QStringLiteral("lblGaugeReadings"));
    lblGaugeReadings->setWordWrap(true);
    lblGaugeReadings->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(lblGaugeReadings, 120, 6990, 1740, 570);
    lblGaugeReadings->hide();
}

void frmPDF::showGaugeReadings(int included, int afterFinish)
{
    const auto readings = [](int count) {
        return count == 1 ? QStringLiteral("1 gauge reading") : QStringLiteral("%1 gauge readings").arg(count);
    };
    const QString outputs = m_formats.PdfChosen && m_formats.ExcelChosen ? QStringLiteral("the PDF and workbook")
                            : m_formats.PdfChosen                        ? QStringLiteral("the PDF")
                                                                         : QStringLiteral("the workbook");
    QStringList lines;
    if (included > 0)
        lines << QStringLiteral("%1 arrived and will be in %2.").arg(readings(included), outputs);
    if (afterFinish > 0)
        lines << QStringLiteral("%1 after Finish: in a new run.").arg(readings(afterFinish));
    lblGaugeReadings->setText(lines.join(QLatin1Char(' ')));
    lblGaugeReadings->setVisible(!lines.isEmpty());
}

void frmPDF::setTabOrder()
{
    const QList<QWidget*> order = {
        btnConvert,  cmdCancel,     cmbPageSize,  cmbFontSize,    cmbRotation,    cmbFont,          txtTitle,
        btnSave,     txtOutputFile, txtFilename,  txtSubject,     txtKeywords,    txtCreator,       txtAuthor,
        txtXlsTitle, txtXlsSubject, txtXlsAuthor, txtXlsKeywords, txtXlsComments, txtXlsOutputFile, cmdBack};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmPDF::placeTopmost()
{
    // The outer frame goes to (250, 100); its size follows from the fixed client area and the
    // window manager's borders (425 x 530 with the classic ones).
    move(250, 100);
}

QString frmPDF::SaveDialog(QWidget* Form1, const QString& Filter, const QString& Title, const QString& InitDir,
                           const QString& DefaultFilename)
{
    return m_platform.saveFileName(Form1, {Title, Filter, InitDir, DefaultFilename, QStringLiteral("pdf")});
}

void frmPDF::browse()
{
    const QString chosen = SaveDialog(this, QStringLiteral("Portable Document Format files (*.pdf)|*.pdf"),
                                      QStringLiteral("Save PDF As"), {}, {});
    if (chosen.isEmpty())
        return;
    const OutputNames names = outputNames(chosen);
    if (!confirmReplacing(names, chosen))
        return;
    txtOutputFile->setText(names.pdf);
    txtXlsOutputFile->setText(names.xls);
}

bool frmPDF::confirmReplacing(const OutputNames& names, const QString& chosen)
{
    // The dialog asked about the name it returned; Finish would also replace the derived names.
    QStringList existing;
    const auto collect = [&](bool written, const QString& path) {
        if (written && path != chosen && QFileInfo::exists(path))
            existing << QFileInfo(path).fileName();
    };
    collect(m_formats.PdfChosen, names.pdf);
    collect(m_formats.ExcelChosen, names.xls);
    if (existing.isEmpty())
        return true;
    const QString text =
        existing.join(QLatin1Char('\n')) + QStringLiteral(" already exists.\nDo you want to replace it?");
    return m_platform.showMessage(this, {text, QStringLiteral("Save PDF As"), MessageIcon::Warning,
                                         MessageButtons::YesNo, MessageAnswer::No}) == MessageAnswer::Yes;
}

void frmPDF::finish()
{
    // One warning per Finish, however many of the chosen outputs have no name.
    bool warned = false;
    const auto warnUnnamed = [&] {
        if (!std::exchange(warned, true))
            m_platform.showMessage(this, {QStringLiteral("Please specify RunChart file name."), windowTitle(),
                                          MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
    };
    // Said before the first output is made: opening the workbook may end the program at once.
    bool announced = false;
    const auto announce = [&] {
        if (!std::exchange(announced, true))
            emit finishing();
    };
    if (m_formats.PdfChosen) {
        if (txtFilename->text().isEmpty() || txtOutputFile->text().isEmpty())
            warnUnnamed();
        else if (!goOnWithoutCharacters())
            return; // back to the window: nothing is made
        else {
            announce();
            convertPdf();
        }
    }
    if (m_formats.ExcelChosen) {
        if (txtXlsOutputFile->text().isEmpty())
            warnUnnamed();
        else {
            announce();
            CreateExcel();
        }
    }
}

bool frmPDF::goOnWithoutCharacters()
{
    // The document information is written in UTF-16 where it needs to be: only the pages can lack a glyph.
    const UnshownCharacters unshown =
        unshownCharacters(recordTexts(m_record), encodeWindows1252(cmbFont->currentText().toStdString()));
    QStringList notes;
    if (!unshown.lacking.isEmpty())
        notes << QStringLiteral("These characters cannot be shown in the PDF and are written as \"?\": %1.")
                     .arg(unshown.lacking.join(QLatin1Char(' ')));
    if (!unshown.rightToLeft.isEmpty())
        notes << QStringLiteral("%1 text is shown left to right: right-to-left scripts are not yet supported.")
                     .arg(unshown.rightToLeft.join(QStringLiteral(", ")));
    if (notes.isEmpty())
        return true;
    return m_platform.showMessage(this, {notes.join(QLatin1Char(' ')), AppTitle, MessageIcon::Warning,
                                         MessageButtons::OkCancel, MessageAnswer::Ok}) == MessageAnswer::Ok;
}

void frmPDF::convertPdf()
{
    const PageSetup page = chosenPageSetup(cmbFont->currentText(), cmbFontSize->currentText(),
                                           cmbRotation->currentText(), cmbPageSize->currentText());
    Result written;
    try {
        written = m_writer.ConvertToPDF(
            PdfJob(m_dataSheetPath, nativePath(txtOutputFile->text()),
                   {utf8(txtAuthor), utf8(txtCreator), utf8(txtKeywords), utf8(txtSubject), utf8(txtTitle)}, page, {},
                   runChartOf(m_record), readingsTableOf(m_record)));
    } catch (const std::invalid_argument& wrong) {
        written = Result::failure(wrong.what());
    }
    // A failure is shown as it is; offering to open a broken file would only mislead.
    if (!written) {
        m_platform.showMessage(this, {QString::fromStdString(written.reason), AppTitle, MessageIcon::None,
                                      MessageButtons::Ok, MessageAnswer::Ok});
        return;
    }
    const MessageAnswer open = m_platform.showMessage(
        this, {QStringLiteral("RunChart --- PDF --- file is done.\r\rDo you want to open the file?"), AppTitle,
               MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No});
    if (open == MessageAnswer::Yes)
        openFinished(txtOutputFile->text());
}

void frmPDF::CreateExcel()
{
    const QString outputfile = txtXlsOutputFile->text();
    const Result result = WriteRunChartWorkbook(
        nativePath(outputfile),
        {txtXlsTitle->text().toStdString(), txtXlsSubject->text().toStdString(), txtXlsAuthor->text().toStdString(),
         txtXlsKeywords->text().toStdString(), txtXlsComments->text().toStdString()},
        m_record);
    if (!result) {
        // The reason goes on a line of its own below the familiar text.
        const QString text =
            QStringLiteral("Unable to Create Excel File.\r%1").arg(QString::fromStdString(result.reason));
        m_platform.showMessage(
            this, {text, QString::fromUtf8(ProgramTitle), MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        // Without a workbook at all the program ends; after a failed save the user may pick another name.
        if (result.error == WorkbookNotStarted())
            m_platform.endProgram();
        return;
    }
    const MessageAnswer open = m_platform.showMessage(
        this, {QStringLiteral("RunChart --- EXCEL --- file is done.\r\rDo you want to open the file?"), AppTitle,
               MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No});
    if (open == MessageAnswer::Yes) {
        openFinished(outputfile);
        m_platform.endProgram();
    }
}

void frmPDF::openFinished(const QString& path)
{
    if (!m_platform.openDocument(path)) {
        m_platform.showMessage(this, {QStringLiteral("Unable to open the file %1.").arg(QDir::toNativeSeparators(path)),
                                      AppTitle, MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        return;
    }
    // The viewer the user asked for must not open underneath this window.
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        show();
    }
}

void frmPDF::back()
{
    // The entry window comes back before this one goes, so there is always a window to see.
    if (m_entryWindow)
        m_entryWindow->show();
    unload();
}

void frmPDF::cancel()
{
    if (m_entryWindow)
        m_entryWindow->close();
    unload();
    m_platform.endProgram();
}

void frmPDF::unload()
{
    m_unloading = true;
    close();
}

void frmPDF::closeEvent(QCloseEvent* event)
{
    if (!m_unloading) {
        // The close box does what Cancel does, once this close has been turned down.
        event->ignore();
        QMetaObject::invokeMethod(this, &frmPDF::cancel, Qt::QueuedConnection);
        return;
    }
    event->accept();
    emit unloaded();
}

} // namespace quorvale
