// Reads a saved workbook back with an independent reader (openpyxl, plus the chart part's XML)
// and hands the tests what it saw.
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quorvale::test {

// Debian's python3: a python3 earlier on PATH may lack openpyxl.
inline QJsonObject ReadWorkbook(const std::string& path)
{
    const std::string command = "/usr/bin/python3 '" QUORVALE_SUPPORT_DIR "/readworkbook.py' '" + path + "' 2>&1";
    QByteArray output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, static_cast<qsizetype>(n));
        pclose(pipe);
    }
    const QJsonDocument document = QJsonDocument::fromJson(output);
    if (!document.isObject())
        ADD_FAILURE() << "the reader could not read " << path << ":\n" << output.toStdString();
    return document.object();
}

} // namespace quorvale::test
