#include "onelinevalidator.h"

#include <algorithm>

namespace quorvale {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

QValidator::State OneLineValidator::validate(QString& input, int& pos) const
{
    if (std::none_of(input.cbegin(), input.cend(), isLineBreak))
        return Acceptable;
    QString joined;
    joined.reserve(input.size());
    int joinedPos = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (input[i] == u'\r' && i + 1 < input.size() && input[i + 1] == u'\n') {
            // The pair becomes one blank: a position past it moves back by one.
            if (i + 1 < pos)
                --joinedPos;
            ++i;
        }
        joined += isLineBreak(input[i]) ? QChar(u' ') : input[i];
    }
    input = joined;
    pos = joinedPos;
    return Acceptable;
}

} // namespace quorvale
