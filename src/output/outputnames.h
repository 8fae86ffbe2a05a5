// Browse names both outputs from one chosen path.
#pragma once

#include <QString>

namespace quorvale {

struct OutputNames {
    QString pdf;
    QString xls;
};

// The chosen path with its last three characters replaced by "pdf" and by "xls"
// (bracket.txt gives bracket.pdf and bracket.xls, bracket.jpeg gives bracket.jpdf and bracket.jxls).
OutputNames outputNames(const QString& chosenPath);

} // namespace quorvale
