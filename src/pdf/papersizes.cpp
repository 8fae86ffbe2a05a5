#include "papersizes.h"

#include "pdftext.h"

namespace quorvale {

std::optional<PaperSize> findPaper(std::string_view name)
{
    for (const PaperSize& paper : PaperSizes) {
        if (sameIgnoringCase(name, paper.name))
            return paper;
    }
    return std::nullopt;
}

} // namespace quorvale
