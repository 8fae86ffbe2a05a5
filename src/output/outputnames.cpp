#include "outputnames.h"

namespace quorvale {

OutputNames outputNames(const QString& chosenPath)
{
    // A path shorter than three characters is replaced whole.
    const QString stem = chosenPath.size() > 3 ? chosenPath.chopped(3) : QString();
    return {stem + QStringLiteral("pdf"), stem + QStringLiteral("xls")};
}

} // namespace quorvale
