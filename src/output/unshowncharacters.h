// Which characters of the PDF's texts the PDF cannot show: those that no installed font has.
#pragma once

#include "runchartrecord.h"

#include <QString>
#include <QStringList>

#include <string>

namespace quorvale {

struct UnshownCharacters {
    // The characters no installed font has, each once, in the order they first come.
    QStringList lacking;
    // The right-to-left scripts met, which the PDF shows left to right.
    QStringList rightToLeft;
};

// What of the texts the PDF in that standard font cannot show as written.
UnshownCharacters unshownCharacters(const QStringList& texts, const std::string& fontname);

// The record's texts as the data sheet holds them.
QStringList recordTexts(const RunChartRecord& record);

} // namespace quorvale
