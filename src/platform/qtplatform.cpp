#include "qtplatform.h"

#include "filefilter.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <memory>

namespace quorvale {

namespace {

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Some window managers leave no window active once a modal window closes; the owner takes the keyboard back.
void reactivate(QWidget* owner)
{
    if (owner && owner->window()->isVisible())
        owner->window()->activateWindow();
}

// Sets the dialog up from the request; the desktop's own dialog where the platform theme offers one.
void prepare(QFileDialog& dialog, const FileDialogRequest& request, const QString& folder)
{
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(qtNameFilters(request.filter));
    dialog.setDirectory(folder);
    if (!request.defaultFileName.isEmpty())
        dialog.selectFile(request.defaultFileName);
    dialog.setDefaultSuffix(request.defaultSuffix);
}

// The chosen file, or an empty text when the user cancelled.
QString chosenFile(QFileDialog& dialog)
{
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    reactivate(dialog.parentWidget());
    return chosen ? dialog.selectedFiles().first() : QString();
}

// Qt's own Save As dialog reads a typed name with a double quote in it as a list of names; this one
// takes it as the one name typed. A desktop's own dialog hands such names back as they are.
class SaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The chosen file, or an empty text when the user cancelled.
    QString choose()
    {
        m_quotedFile.clear();
        const QString chosen = chosenFile(*this);
        return m_quotedFile.isEmpty() ? chosen : m_quotedFile;
    }

    void accept() override
    {
        const QString quoted = typedWithQuote();
        if (quoted.isEmpty()) {
            QFileDialog::accept();
            return;
        }
        const QFileInfo info(quoted);
        if (info.isDir()) {
            setDirectory(quoted);
            return;
        }
        if (info.exists() &&
            QMessageBox::warning(this, windowTitle(),
                                 tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        m_quotedFile = quoted;
        QDialog::accept();
    }

private:
    // The full path of a typed name that holds a double quote, with the default suffix as Qt adds it.
    QString typedWithQuote() const
    {
        const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains(u'"'))
            return {};
        QString path = directory().absoluteFilePath(typed);
        if (!defaultSuffix().isEmpty() && !QFileInfo(path).fileName().contains(u'.'))
            path += u'.' + defaultSuffix();
        return path;
    }

    QString m_quotedFile;
};

std::unique_ptr<QSettings> openSettings(const QString& file)
{
    return file.isEmpty() ? std::make_unique<QSettings>() : std::make_unique<QSettings>(file, QSettings::IniFormat);
}

const QString SaveFolderKey = QStringLiteral("SaveAs/folder");

} // namespace

MessageAnswer QtPlatform::showMessage(QWidget* owner, const Message& message)
{
    // The system's texts separate paragraphs with bare carriage returns.
    QString text = message.text;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (message.buttons == MessageButtons::YesNo)
        buttons = QMessageBox::Yes | QMessageBox::No;
    else if (message.buttons == MessageButtons::OkCancel)
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
    else if (message.buttons == MessageButtons::YesNoCancel)
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(toQt(message.icon), message.title, text, buttons, owner);
    if (!message.yesText.isEmpty() && box.button(QMessageBox::Yes))
        box.button(QMessageBox::Yes)->setText(message.yesText);
    if (!message.noText.isEmpty() && box.button(QMessageBox::No))
        box.button(QMessageBox::No)->setText(message.noText);
    box.setDefaultButton(toQt(message.defaultButton));
    const int answer = box.exec();
    reactivate(owner);
    switch (answer) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default: // closed without a button: the choice that changes nothing
        if (message.buttons == MessageButtons::YesNo)
            return MessageAnswer::No;
        return message.buttons == MessageButtons::OkCancel || message.buttons == MessageButtons::YesNoCancel
                   ? MessageAnswer::Cancel
                   : MessageAnswer::Ok;
    }
}

QString QtPlatform::saveFileName(QWidget* owner, const FileDialogRequest& request)
{
    SaveDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    prepare(dialog, request, request.initialDir.isEmpty() ? saveFolder() : request.initialDir);
    // The dialog itself asks before replacing a file; a file that does not exist yet is asked for
    // here, after the dialog (a desktop's own dialog cannot be held open), and No opens it again.
    for (;;) {
        const QString file = dialog.choose();
        if (file.isEmpty())
            return {};
        const auto create =
            QFileInfo::exists(file)
                ? QMessageBox::Yes
                : QMessageBox::question(
                      owner, request.title,
                      QFileDialog::tr("%1 does not exist.\nDo you want to create it?").arg(QFileInfo(file).fileName()));
        reactivate(owner);
        if (create == QMessageBox::Yes) {
            rememberSaveFolder(file);
            return file;
        }
        dialog.selectFile(file);
    }
}

QString QtPlatform::openFileName(QWidget* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, request, request.initialDir.isEmpty() ? saveFolder() : request.initialDir);
    return chosenFile(dialog);
}

QString QtPlatform::saveFolder() const
{
    const auto settings = openSettings(m_settingsFile);
    const QString remembered = settings->value(SaveFolderKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void QtPlatform::rememberSaveFolder(const QString& file) const
{
    const auto settings = openSettings(m_settingsFile);
    settings->setValue(SaveFolderKey, QFileInfo(file).absolutePath());
}

bool QtPlatform::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPlatform::endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace quorvale
