#include "scriptedplatform.h"

#include <gtest/gtest.h>

namespace quorvale {

MessageAnswer ScriptedPlatform::showMessage(QWidget*, const Message& message)
{
    calls.push_back({Call::Kind::Message, message, {}, {}});
    if (onMessage)
        onMessage(message);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << message.text.toStdString();
        return message.defaultButton;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedPlatform::saveFileName(QWidget*, const FileDialogRequest& request)
{
    calls.push_back({Call::Kind::SaveDialog, {}, request, {}});
    if (fileNames.empty()) {
        ADD_FAILURE() << "unexpected Save As dialog: " << request.title.toStdString();
        return {};
    }
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString ScriptedPlatform::openFileName(QWidget*, const FileDialogRequest& request)
{
    calls.push_back({Call::Kind::OpenDialog, {}, request, {}});
    if (fileNames.empty()) {
        ADD_FAILURE() << "unexpected Open dialog: " << request.title.toStdString();
        return {};
    }
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

bool ScriptedPlatform::openDocument(const QString& path)
{
    calls.push_back({Call::Kind::OpenDocument, {}, {}, path});
    return documentsOpen;
}

void ScriptedPlatform::endProgram()
{
    calls.push_back({Call::Kind::EndProgram, {}, {}, {}});
}

std::vector<ScriptedPlatform::Call> ScriptedPlatform::callsOf(Call::Kind kind) const
{
    std::vector<Call> found;
    for (const Call& call : calls) {
        if (call.kind == kind)
            found.push_back(call);
    }
    return found;
}

std::vector<Message> ScriptedPlatform::messages() const
{
    std::vector<Message> found;
    for (const Call& call : callsOf(Call::Kind::Message))
        found.push_back(call.message);
    return found;
}

QStringList ScriptedPlatform::openedDocuments() const
{
    QStringList found;
    for (const Call& call : callsOf(Call::Kind::OpenDocument))
        found << call.path;
    return found;
}

bool ScriptedPlatform::ended() const
{
    return !callsOf(Call::Kind::EndProgram).empty();
}

} // namespace quorvale
