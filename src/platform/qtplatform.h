// The real Platform: Qt message boxes and file dialogs, the desktop's document opener.
#pragma once

#include "platform.h"

#include <QString>

namespace quorvale {

class QtPlatform final : public Platform {
public:
    // Remembers the folder of the last Save As in settingsFile, or in the user's settings for the
    // program when none is given.
    explicit QtPlatform(QString settingsFile = {}) : m_settingsFile(std::move(settingsFile)) {}

    MessageAnswer showMessage(QWidget* owner, const Message& message) override;
    QString saveFileName(QWidget* owner, const FileDialogRequest& request) override;
    QString openFileName(QWidget* owner, const FileDialogRequest& request) override;
    bool openDocument(const QString& path) override;
    void endProgram() override;

private:
    // Where a Save As dialog opens when the caller names no folder: where the user last saved,
    // else the Documents folder, else home; never the process's working folder.
    QString saveFolder() const;
    void rememberSaveFolder(const QString& file) const;

    QString m_settingsFile;
};

} // namespace quorvale
