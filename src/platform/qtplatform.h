// The real Platform: Qt message boxes and file dialogs, the desktop's document opener.
#pragma once

#include "platform.h"

namespace quorvale {

class QtPlatform final : public Platform {
public:
    MessageAnswer showMessage(QWidget* owner, const Message& message) override;
    QString saveFileName(QWidget* owner, const FileDialogRequest& request) override;
    QString openFileName(QWidget* owner, const FileDialogRequest& request) override;
    bool openDocument(const QString& path) override;
    void endProgram() override;
};

} // namespace quorvale
