// A whole file as bytes, for the Qt tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorvale::test {

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace quorvale::test
