// Reads the PDF layout choices of the output window's drop-down lists as the job's page set-up.
#pragma once

#include "pagesetup.h"

#include <QString>
#include <QStringView>

namespace quorvale {

// The value of the longest leading decimal number in the text: blanks are skipped, reading stops at
// the first other character, and a text without a number reads as 0.
double leadingNumber(QStringView text);

// The font unchanged (in Windows-1252), the font size and rotation from their leading numbers held
// within 16 bits, the width from the page size's leading number and the height from its last three
// characters ("14\" x 11\"" gives 14 by 11), or both from the millimetres in parentheses that end
// it ("A4 (210 x 297 mm)").
PageSetup chosenPageSetup(const QString& font, const QString& fontSize, const QString& rotation,
                          const QString& pageSize);

} // namespace quorvale
