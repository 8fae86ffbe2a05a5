// Reads the PDF layout choices of the output window's drop-down lists as the writer's arguments.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace quorvale {

struct PdfLayout {
    QString FontName;
    std::int16_t FontSize = 0;
    std::int16_t Rotation = 0;
    float pwidth = 0;
    float pheight = 0;
};

// The value of the longest leading decimal number in the text: blanks are skipped, reading stops at
// the first other character, and a text without a number reads as 0.
double leadingNumber(QStringView text);

// FontName unchanged, FontSize and Rotation from their leading numbers, pwidth from the page size's
// leading number and pheight from its last three characters ("14\" x 11\"" gives 14 by 11).
PdfLayout pdfLayout(const QString& font, const QString& fontSize, const QString& rotation, const QString& pageSize);

} // namespace quorvale
