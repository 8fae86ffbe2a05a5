// Everything a window does modally or globally goes through Platform, so that whole
// wizard flows run headless in tests with a scripted stand-in.
#pragma once

#include <QString>

class QWidget;

namespace quorvale {

enum class MessageIcon { None, Warning, Question };
enum class MessageButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    // The Yes and No buttons' own captions, where a choice needs more than a yes or a no.
    QString yesText = {};
    QString noText = {};
};

// A common Save As or Open dialog. The filter is in the "description|pattern|..." form.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString initialDir;
    QString defaultFileName;
    QString defaultSuffix;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual MessageAnswer showMessage(QWidget* owner, const Message& message) = 0;
    // Both return the chosen full path, or an empty text when the user cancels.
    virtual QString saveFileName(QWidget* owner, const FileDialogRequest& request) = 0;
    virtual QString openFileName(QWidget* owner, const FileDialogRequest& request) = 0;
    // Opens a document with the program the desktop associates with it; false when the desktop could not.
    virtual bool openDocument(const QString& path) = 0;
    // Ends the program at once: no window's close handling runs.
    virtual void endProgram() = 0;
};

} // namespace quorvale
