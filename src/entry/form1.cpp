#include "form1.h"

#include "datasheetfile.h"
#include "gaugeconnection.h"
#include "gaugedialog.h"
#include "gaugesettings.h"
#include "maker.h"
#include "newrun.h"
#include "onelinevalidator.h"
#include "platform.h"
#include "readingsgrid.h"
#include "readingstats.h"
#include "runcharticon.h"
#include "twips.h"
#include "windowlook.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTextDocument>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace quorvale {

namespace {

const QColor Navy(0, 0, 128);
const QColor Maroon(128, 0, 0);
constexpr int GridWidthTwips = 4815;
constexpr QRect GridTwips(2760, 2640, GridWidthTwips, 3495);

// One record field: its text box and the label beside it, in twips.
struct FieldLayout {
    const char* name;
    std::string RunChartRecord::*field;
    QRect box;
    int tabIndex;
    const char* labelName;
    const char* caption;
    QRect label;
};

// The inspection header, inside the "Initial Information" frame.
// One field to a pair of lines reads better than one value to a line.
// clang-format off
const FieldLayout HeaderFields[] = {
    {"txtPartNumber", &RunChartRecord::PartNumber, {1080, 360, 1935, 375}, 36,
     "Label1", "Part # :", {120, 480, 495, 255}},
    {"txtCustomerName", &RunChartRecord::CustomerName, {4440, 360, 2895, 375}, 35,
     "Label2", "Customer Name :", {3120, 480, 1215, 255}},
    {"txtDescription", &RunChartRecord::Description, {1080, 840, 6255, 375}, 34,
     "Label3", "Description :", {120, 960, 975, 255}},
    {"txtInspector", &RunChartRecord::Inspector, {1080, 1320, 1575, 375}, 33,
     "Label4", "Inspector :", {120, 1440, 855, 255}},
    {"txtOperationNumber", &RunChartRecord::OperationNumber, {3720, 1320, 1335, 375}, 30,
     "Label7", "Operation #", {2760, 1440, 975, 255}},
    {"txtDateInspector", &RunChartRecord::DateInspector, {5760, 1320, 1575, 375}, 32,
     "Label5", "Date :", {5160, 1440, 495, 255}},
    {"txtApprovedBy", &RunChartRecord::ApprovedBy, {1080, 1800, 1575, 375}, 28,
     "Label9", "Approved By", {120, 1920, 975, 255}},
    {"txtDepartment", &RunChartRecord::Department, {3720, 1800, 1335, 375}, 31,
     "Label6", "Department :", {2760, 1920, 975, 255}},
    {"txtDateApprovedBy", &RunChartRecord::DateApprovedBy, {5760, 1800, 1575, 375}, 29,
     "Label8", "Date :", {5160, 1920, 495, 255}},
};
// clang-format on

// The feature being charted, directly on the window.
// One field to a pair of lines reads better than one value to a line.
// clang-format off
const FieldLayout FeatureFields[] = {
    {"txtDrawingRevision", &RunChartRecord::DrawingRevision, {1560, 2400, 1095, 375}, 0,
     "Label10", "Drawing Revision", {120, 2520, 1335, 255}},
    {"txtRunChartRevision", &RunChartRecord::RunChartRevision, {1560, 2880, 1095, 375}, 1,
     "Label11", "RunChart Revision", {120, 3000, 1335, 255}},
    {"txtUpperTolerance", &RunChartRecord::UpperTolerance, {1560, 3360, 1095, 375}, 2,
     "Label16", "Upper Tolerance :", {120, 3480, 1335, 255}},
    {"txtLowerTolerance", &RunChartRecord::LowerTolerance, {1560, 3840, 1095, 375}, 3,
     "Label17", "Lower Tolerance :", {120, 3960, 1335, 255}},
    {"txtFrequency", &RunChartRecord::Frequency, {1080, 4320, 1575, 375}, 4,
     "Label18", "Frequency :", {120, 4440, 975, 255}},
    {"txtCheck", &RunChartRecord::Check, {1080, 4800, 1575, 375}, 5,
     "Label14", "Check :", {120, 4920, 615, 255}},
    {"txtInspectionTool", &RunChartRecord::InspectionTool, {1080, 5280, 1575, 375}, 6,
     "Label19", "Insp Tool :", {120, 5400, 855, 255}},
    {"txtSheet", &RunChartRecord::Sheet, {1080, 5760, 615, 375}, 7,
     "Label12", "Sheet :", {120, 5880, 615, 255}},
    {"txtSheetOf", &RunChartRecord::SheetOf, {2040, 5760, 615, 375}, 8,
     "Label15", "of ", {1800, 5880, 255, 255}},
};
// clang-format on

// The single-line text boxes write in a larger, bold cut of the window's font.
QFont textBoxFont()
{
    QFont font = windowFont();
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A check box follows its flag as a click would: ticked sets it, unticked clears it, greyed leaves it.
void tieToFlag(QCheckBox* box, bool& flag)
{
    QObject::connect(box, &QCheckBox::stateChanged, box, [&flag](int state) {
        if (state != Qt::PartiallyChecked)
            flag = state == Qt::Checked;
    });
}

} // namespace

Form1::Form1(Platform& platform, DataSheetFile& dataSheet, GaugeConnection& gauge, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_platform(platform), m_dataSheet(dataSheet), m_gauge(gauge), m_twipsPerPixel(twipsPerPixel(*this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(ProgramTitle));
    setWindowIcon(runChartIcon());
    setFont(windowFont());
    setFixedSize(twipsToPixels(7605, m_twipsPerPixel), twipsToPixels(7380, m_twipsPerPixel));

    buildHeaderFields();
    buildFeatureFields();
    buildFormatsAndButtons();
    chainTabOrder();
    connectGauge();

    SetListView();
    FillListView();
    addRunActions();
    m_check1->setChecked(true);
    m_check2->setChecked(true);

    findChild<QLineEdit*>(QStringLiteral("txtDrawingRevision"))->setFocus();
}

Form1::~Form1()
{
    // The grid shows the run: it goes first.
    delete m_lv1;
}

QWidget* Form1::place(QWidget* widget, const char* name, QRect twips)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), m_twipsPerPixel));
    return widget;
}

QLabel* Form1::addLabel(QWidget* parent, const char* name, const char* caption, QRect twips)
{
    auto* label = new QLabel(QLatin1String(caption), parent);
    place(label, name, twips);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A label has nothing to its right within its own text, so it may grow to show its whole caption
    // where the desktop's font runs wider than the layout assumed.
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    return label;
}

QLineEdit* Form1::addTextBox(QWidget* parent, const char* name, std::string RunChartRecord::*field, QRect twips,
                             int tabIndex, const QColor& colour)
{
    static const RunChartRecord defaults = DefaultRunChartRecord();
    auto* box = new QLineEdit(QString::fromStdString(defaults.*field), parent);
    place(box, name, twips);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setValidator(new OneLineValidator(box));
    box->setFont(textBoxFont());
    box->setCursorPosition(0);
    setTextColour(box, QPalette::Text, colour);
    m_textBoxes.emplace_back(box, field);
    m_tabIndices.emplace_back(tabIndex, box);
    return box;
}

void Form1::buildHeaderFields()
{
    auto* frame2 = new QGroupBox(QStringLiteral("Initial Information"), this);
    place(frame2, "Frame2", {60, 0, 7455, 2295});
    for (const FieldLayout& field : HeaderFields) {
        addTextBox(frame2, field.name, field.field, field.box, field.tabIndex, Navy);
        addLabel(frame2, field.labelName, field.caption, field.label);
    }
}

void Form1::buildFeatureFields()
{
    for (const FieldLayout& field : FeatureFields) {
        addTextBox(this, field.name, field.field, field.box, field.tabIndex, Maroon);
        addLabel(this, field.labelName, field.caption, field.label);
    }

    m_txtComments = new QPlainTextEdit(this);
    place(m_txtComments, "txtComments", {120, 6480, 2535, 855});
    // The record keeps CR LF line breaks; the box shows them as plain line breaks.
    m_txtComments->setPlainText(QString::fromStdString(DefaultRunChartRecord().Comments).remove(QLatin1Char('\r')));
    m_txtComments->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtComments->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtComments->setTabChangesFocus(true);
    m_tabIndices.emplace_back(9, m_txtComments);
    addLabel(this, "Label20", "Comments :", {120, 6240, 975, 255});

    auto* label13 = addLabel(this, "Label13", "Please Log Date and Clock it Below :", {2760, 2400, 2655, 255});
    setTextColour(label13, QPalette::WindowText, Navy);

    m_lv1 = new ReadingsGrid(m_run, this);
    place(m_lv1, "lv1", GridTwips);
    m_tabIndices.emplace_back(12, m_lv1);
}

void Form1::buildFormatsAndButtons()
{
    auto* frame1 = new QGroupBox(QStringLiteral("RunChart Formats "), this);
    place(frame1, "Frame1", {2760, 6240, 1575, 1095});
    m_check1 = new QCheckBox(QStringLiteral("Adobe PD&F"), frame1);
    place(m_check1, "Check1", {120, 360, 1335, 255});
    m_check2 = new QCheckBox(QStringLiteral("MS E&xcel"), frame1);
    place(m_check2, "Check2", {120, 720, 1335, 255});
    tieToFlag(m_check1, m_formats.PdfChosen);
    tieToFlag(m_check2, m_formats.ExcelChosen);
    m_tabIndices.emplace_back(10, m_check1);
    m_tabIndices.emplace_back(11, m_check2);

    const auto addButton = [this](const char* name, const char* caption, QRect twips, int tabIndex) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        place(button, name, twips);
        // Neither Enter nor Esc presses a button of this window.
        button->setAutoDefault(false);
        button->setDefault(false);
        m_tabIndices.emplace_back(tabIndex, button);
        return button;
    };
    auto* cmdHelp = addButton("cmdHelp", "&Help", {4440, 6240, 975, 495}, 46);
    auto* cmdCancel = addButton("cmdCancel", "&Cancel", {4440, 6840, 945, 495}, 47);
    addButton("cmdPrevious", "<<  &Previous Feature", {5520, 6240, 2055, 495}, 13)->setEnabled(false);
    auto* cmdNext = addButton("cmdNext", "&Next Feature  >>", {5520, 6840, 2025, 495}, 14);

    connect(cmdNext, &QPushButton::clicked, this, &Form1::cmdNextClicked);
    connect(cmdHelp, &QPushButton::clicked, this, &Form1::helpRequested);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        // Ending at once runs no close handling: what is typed and what waits for it is logged first.
        m_lv1->logEverythingNow();
        m_platform.endProgram();
    });
}

void Form1::connectGauge()
{
    connect(&m_gauge, &GaugeConnection::noteChanged, m_lv1,
            [this](const QString& note) { m_lv1->showNote(ReadingsGrid::NoteSource::Gauge, note); });

    // Reached by their keys anywhere in the window, and from the grid's context menu.
    auto* gaugeAction = new QAction(QStringLiteral("Gauge..."), m_lv1);
    gaugeAction->setObjectName(QStringLiteral("actGauge"));
    gaugeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(gaugeAction, &QAction::triggered, this, &Form1::openGaugeDialog);
    auto* requestAction = new QAction(QStringLiteral("Request Gauge Reading"), m_lv1);
    requestAction->setObjectName(QStringLiteral("actRequestReading"));
    requestAction->setShortcut(QKeySequence(Qt::Key_F5));
    connect(requestAction, &QAction::triggered, &m_gauge, &GaugeConnection::sendRequest);
    for (QAction* action : {gaugeAction, requestAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_lv1->addAction(action);
    }
}

bool Form1::logGaugeReading(const QString& value)
{
    // A line that comes while the Gauge dialog is open tests its settings: shown there, never logged.
    if (m_gaugeDialogOpen)
        return false;
    // What a note said (a line dropped, the port back) is over once a reading comes.
    m_lv1->showNote(ReadingsGrid::NoteSource::Gauge, {});
    if (m_lv1->logAsTyped(value))
        return true;
    m_lv1->showNote(ReadingsGrid::NoteSource::Gauge,
                    QStringLiteral("Gauge reading %1 dropped: %2 readings wait for the editor to close.")
                        .arg(value)
                        .arg(ReadingsGrid::MaxWaiting));
    return false;
}

void Form1::openGaugeDialog()
{
    GaugeDialog dialog(m_gauge, this);
    m_gaugeDialogOpen = true;
    const auto closed = qScopeGuard([this] { m_gaugeDialogOpen = false; });
    if (dialog.exec() != QDialog::Accepted)
        return;
    QSettings settings;
    SaveGaugeSettings(settings, dialog.settings());
}

void Form1::addRunActions()
{
    // Reached by their keys and the grid's menu, so the window's layout stays as it is.
    auto* openRun = new QAction(QStringLiteral("Open Run..."), this);
    openRun->setObjectName(QStringLiteral("actOpenRun"));
    openRun->setShortcut(QKeySequence::Open);
    auto* keysPage = new QAction(QStringLiteral("Keys and Runs..."), this);
    keysPage->setObjectName(QStringLiteral("actKeysPage"));
    keysPage->setShortcut(QKeySequence::HelpContents);
    connect(openRun, &QAction::triggered, this, &Form1::openRunRequested);
    connect(keysPage, &QAction::triggered, this, &Form1::keysPageRequested);
    for (QAction* action : {openRun, keysPage}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        m_lv1->addAction(action);
    }

    m_lv1->setConfirm([this](const QString& question) {
        return m_platform.showMessage(this, {question, windowTitle(), MessageIcon::Question, MessageButtons::YesNo,
                                             MessageAnswer::No}) == MessageAnswer::Yes;
    });
    auto* newRun = new QAction(QStringLiteral("New Run"), this);
    newRun->setObjectName(QStringLiteral("actNewRun"));
    newRun->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    newRun->setShortcutContext(Qt::WindowShortcut);
    addAction(newRun);
    m_lv1->addAction(newRun);
    connect(newRun, &QAction::triggered, this, &Form1::startNewRun);

    // A box's text becomes the run's record when the box is left or Enter is pressed in it.
    for (const auto& [box, field] : m_textBoxes)
        connect(box, &QLineEdit::editingFinished, this, &Form1::commitRecord);
    m_txtComments->installEventFilter(this);
    connect(&m_run, &RunModel::recordChanged, this, &Form1::showRecord);
    showRecord();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtComments && event->type() == QEvent::FocusOut)
        commitRecord();
    return QWidget::eventFilter(watched, event);
}

void Form1::showRecord()
{
    const RunChartRecord& record = m_run.record();
    for (const auto& [box, field] : m_textBoxes) {
        if (box->text().toStdString() != record.*field) {
            box->setText(QString::fromStdString(record.*field));
            box->setCursorPosition(0);
        }
    }
    const QString comments = QString::fromStdString(record.Comments).remove(QLatin1Char('\r'));
    if (m_txtComments->toPlainText() != comments)
        m_txtComments->setPlainText(comments);
}

void Form1::commitRecord()
{
    const RunChartRecord typed = typedRecord();
    const RunChartRecord& kept = m_run.record();
    // The question takes the focus from the box, which would ask again.
    if (m_committing || typed == kept)
        return;
    const bool limitsChanged = typed.Check != kept.Check || typed.UpperTolerance != kept.UpperTolerance ||
                               typed.LowerTolerance != kept.LowerTolerance;
    if (!limitsChanged || m_run.rowCount() == 0) {
        m_run.changeRecord(typed);
        return;
    }
    m_committing = true;
    const auto done = qScopeGuard([this] { m_committing = false; });
    Message question{QStringLiteral("This run has readings judged by the Check and tolerances it had. Start a new "
                                    "run with this record, or change this run's record?"),
                     windowTitle(), MessageIcon::Question, MessageButtons::YesNoCancel, MessageAnswer::Yes};
    question.yesText = QStringLiteral("Start a new run with this record");
    question.noText = QStringLiteral("Change this run's record");
    switch (m_platform.showMessage(this, question)) {
    case MessageAnswer::Yes:
        m_run.startNewRun(RecordDatedOn(typed, QDate::currentDate()));
        break;
    case MessageAnswer::No:
        m_run.changeRecord(typed);
        break;
    default:
        showRecord();
        break;
    }
}

void Form1::startNewRun()
{
    // Nothing typed is lost: a reading being typed joins the run it was typed for.
    if (!m_lv1->finishEditing())
        return;
    m_run.startNewRun(RecordDatedOn(typedRecord(), QDate::currentDate()));
}

void Form1::chainTabOrder()
{
    std::sort(m_tabIndices.begin(), m_tabIndices.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < m_tabIndices.size(); ++i)
        setTabOrder(m_tabIndices[i - 1].second, m_tabIndices[i].second);
}

void Form1::SetListView()
{
    setUpReadingsGrid(*m_lv1, GridWidthTwips, static_cast<float>(m_twipsPerPixel));
}

void Form1::FillListView()
{
    // The grid shows its sample rows while the run has no readings.
}

RunChartRecord Form1::typedRecord() const
{
    RunChartRecord record;
    for (const auto& [box, field] : m_textBoxes)
        record.*field = box->text().toStdString();
    // The raw text: toPlainText() would turn a no-break space into a blank.
    QString comments = m_txtComments->document()->toRawText();
    comments.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    record.Comments = comments.toStdString();
    record.ReadingsAreDeviations = m_run.record().ReadingsAreDeviations;
    record.Rules = m_run.record().Rules;
    return record;
}

bool Form1::SetData()
{
    commitRecord();
    m_record = m_run.recordWithReadings();

    const Result written = m_dataSheet.write(m_record);
    if (!written) {
        const QString text =
            QStringLiteral("Unable to write the data sheet %1.\r%2.")
                .arg(QString::fromStdString(m_dataSheet.path()), QString::fromStdString(written.reason));
        m_platform.showMessage(this,
                               {text, windowTitle(), MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        return false;
    }
    return true;
}

void Form1::cmdNextClicked()
{
    // Alt+N leaves a reading being typed open in the grid: it is the run's as much as one confirmed.
    if (!m_lv1->finishEditing() || !SetData())
        return;
    if (m_formats.any()) {
        emit forwardRequested(m_formats);
        return;
    }
    m_platform.showMessage(this, {QStringLiteral("Select atleast one output format."), windowTitle(),
                                  MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
    m_check1->setFocus();
}

void Form1::showEvent(QShowEvent* event)
{
    if (!m_centred) {
        centreOnScreen(*this);
        m_centred = true;
    }
    QWidget::showEvent(event);
}

bool Form1::event(QEvent* event)
{
    // The window manager's frame is known only some time after the window is up, and no event
    // announces it: once it is, the outer frame is centred, once.
    if (m_centred && !m_frameCentred && windowHandle() && !windowHandle()->frameMargins().isNull()) {
        m_frameCentred = true;
        centreOnScreen(*this);
    }
    return QWidget::event(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    m_lv1->logEverythingNow();
    event->accept();
    emit unloaded();
}

} // namespace quorvale
