#include "qtplatform.h"

#include "filefilter.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

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
    case MessageAnswer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// A Save As dialog that also asks before a file that does not exist yet is created;
// answering No keeps the dialog open.
class ConfirmingSaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The name typed with a double quote in it, once confirmed; empty otherwise.
    QString quotedFile() const { return m_quotedFile; }

    void accept() override
    {
        const QString quoted = typedWithQuote();
        const QString file = quoted.isEmpty() ? selectedFiles().value(0) : quoted;
        if (!file.isEmpty() && !QFileInfo::exists(file)) {
            const auto answer = QMessageBox::question(
                this, windowTitle(),
                tr("%1 does not exist.\nDo you want to create it?").arg(QFileInfo(file).fileName()));
            if (answer != QMessageBox::Yes)
                return;
        }
        if (quoted.isEmpty()) {
            QFileDialog::accept();
            return;
        }
        // Qt's own accept would read the quotes as a list of names and save elsewhere.
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

// Some window managers leave no window active once a modal window closes; the owner takes the keyboard back.
void reactivate(QWidget* owner)
{
    if (owner && owner->window()->isVisible())
        owner->window()->activateWindow();
}

QString runDialog(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(qtNameFilters(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.defaultFileName.isEmpty())
        dialog.selectFile(request.defaultFileName);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    reactivate(dialog.parentWidget());
    return chosen ? dialog.selectedFiles().first() : QString();
}

} // namespace

MessageAnswer QtPlatform::showMessage(QWidget* owner, const Message& message)
{
    // The system's texts separate paragraphs with bare carriage returns.
    QString text = message.text;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    const auto buttons = message.buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                                  : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(toQt(message.icon), message.title, text, buttons, owner);
    box.setDefaultButton(toQt(message.defaultButton));
    const int answer = box.exec();
    reactivate(owner);
    switch (answer) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

QString QtPlatform::saveFileName(QWidget* owner, const FileDialogRequest& request)
{
    ConfirmingSaveDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString chosen = runDialog(dialog, request);
    return dialog.quotedFile().isEmpty() ? chosen : dialog.quotedFile();
}

QString QtPlatform::openFileName(QWidget* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runDialog(dialog, request);
}

void QtPlatform::openDocument(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPlatform::endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace quorvale
