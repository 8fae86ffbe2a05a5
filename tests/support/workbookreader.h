// Reads a saved workbook back with an independent reader (openpyxl, plus the chart part's XML)
// and hands the tests what it saw.
#pragma once

#include "testfiles.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>

namespace quorvale::test {

// Debian's python3: a python3 earlier on PATH may lack openpyxl.
inline QJsonObject ReadWorkbook(const std::string& path)
{
    std::string output;
    runCommand("/usr/bin/python3 '" QUORVALE_SUPPORT_DIR "/readworkbook.py' '" + path + "' 2>&1", &output);
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(output));
    if (!document.isObject())
        ADD_FAILURE() << "the reader could not read " << path << ":\n" << output;
    return document.object();
}

} // namespace quorvale::test
