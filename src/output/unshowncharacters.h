// Which characters of the PDF's texts the PDF cannot show: its one font speaks Windows-1252 only.
#pragma once

#include "runchartrecord.h"

#include <QString>
#include <QStringList>

namespace quorvale {

// The characters of the texts that Windows-1252 lacks, each once, in the order they first come.
QStringList charactersOutsideWindows1252(const QStringList& texts);

// The record's texts as the data sheet holds them.
QStringList recordTexts(const RunChartRecord& record);

} // namespace quorvale
