#include "pagesetup.h"

#include "pdftext.h"
#include "utf8decoder.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace quorvale {

namespace {

// Largest page side in points that readers accept (200 inches).
constexpr double MaxPageSide = 14400;

std::int32_t pagePoints(float inches)
{
    const double points = static_cast<double>(inches) * 72; // exact: a float times 72 fits a double
    if (!(points > 0) || points > MaxPageSide)
        throw std::invalid_argument("The page width and height must be greater than 0 and at most 200 inches.");
    return static_cast<std::int32_t>(roundHalfEven(points));
}

// The font name is written as a PDF name token; blanks, delimiters or control bytes would break the file.
void checkFontName(const std::string& name)
{
    const bool valid = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return c > ' ' && c < '\x7F' && std::string_view("()<>[]{}/%#").find(c) == std::string_view::npos;
    });
    if (!valid)
        throw std::invalid_argument("The font name '" + name + "' is not a valid PDF font name.");
}

} // namespace

double textWidth(const PageGeometry& geometry, std::string_view text, std::int64_t wide)
{
    std::int64_t width = wide;
    for (const char c : text) {
        if (c != WideMarker)
            width += geometry.widths ? (*geometry.widths)[static_cast<unsigned char>(c)] : 500;
    }
    return static_cast<double>(width) * static_cast<double>(geometry.fontsize) / FixedScale / 1000;
}

PageGeometry initpdf(const PageSetup& setup)
{
    if (setup.fontSize < 1)
        throw std::invalid_argument("The font size must be at least 1 point.");
    checkFontName(setup.font);
    PageGeometry geometry;
    geometry.pageheight = pagePoints(setup.height);
    geometry.pagewidth = pagePoints(setup.width);
    geometry.fontname = setup.font;
    geometry.fontsize = setup.fontSize * FixedScale;
    geometry.leading = setup.fontSize * FixedScale * 12 / 10;
    geometry.rotation = setup.rotation;
    geometry.maxlines = static_cast<std::int32_t>(
        divideRoundHalfEven((geometry.pageheight - 72) * std::int64_t{FixedScale}, geometry.leading));
    geometry.maxchars = static_cast<std::int32_t>(
        divideRoundHalfEven(geometry.pagewidth * fontFactorTenths(setup.font), std::int64_t{setup.fontSize} * 10));
    geometry.widths = characterWidths(setup.font);
    geometry.maxRowWidth = std::max<std::int64_t>(0, (geometry.pagewidth - TextLeft) * std::int64_t{1000} * FixedScale /
                                                         geometry.fontsize);
    geometry.footerx = geometry.pagewidth / 2.0;
    geometry.footery = 25;
    if (geometry.maxlines < 1 || geometry.maxchars < 2)
        throw std::invalid_argument("The page is too small for text of this size: it would hold " +
                                    formatInteger(geometry.maxlines) + " rows of " + formatInteger(geometry.maxchars) +
                                    " characters.");
    return geometry;
}

} // namespace quorvale
