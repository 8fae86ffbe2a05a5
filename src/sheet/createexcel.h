// Builds the run chart workbook with its line chart, saves it and offers to open it.
#pragma once

#include <QString>

class QWidget;

namespace quorvale {

class Platform;

// Prompts and messages go through the platform; the program may be ended from here
// (after the user opens the workbook, or when no workbook can be started).
void CreateExcel(Platform& platform, QWidget* owner, const QString& outputfile, const QString& TextTitle,
                 const QString& TextSubject, const QString& TextAuthor, const QString& TextKeywords,
                 const QString& TextComments);

} // namespace quorvale
