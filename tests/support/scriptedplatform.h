// A Platform for tests: answers message boxes and file dialogs from a script and records
// every call in order, so a test can check what the user was asked, with which texts.
#pragma once

#include "platform.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace quorvale {

class ScriptedPlatform final : public Platform {
public:
    struct Call {
        enum class Kind { Message, SaveDialog, OpenDialog, OpenDocument, EndProgram } kind;
        Message message;            // Message
        FileDialogRequest dialog;   // SaveDialog, OpenDialog
        QString path;               // OpenDocument
    };

    // Answers for the next message boxes, in order. A message box with no answer left fails the test.
    std::deque<MessageAnswer> answers;
    // Results for the next file dialogs, in order ("" is a cancelled dialog).
    std::deque<QString> fileNames;
    // Runs inside each message box, as code would while a modal box is up (e.g. to check focus).
    std::function<void(const Message&)> onMessage;

    std::vector<Call> calls;

    MessageAnswer showMessage(QWidget* owner, const Message& message) override;
    QString saveFileName(QWidget* owner, const FileDialogRequest& request) override;
    QString openFileName(QWidget* owner, const FileDialogRequest& request) override;
    void openDocument(const QString& path) override;
    void endProgram() override;

    // The calls of one kind, in order.
    std::vector<Call> callsOf(Call::Kind kind) const;
    std::vector<Message> messages() const;
    QStringList openedDocuments() const;
    bool ended() const;
};

} // namespace quorvale
