// Keeps a one-line text box on one line: each line break that reaches it, typed, pasted, dropped
// or set, becomes one blank, so what the box holds is what it shows.
#pragma once

#include <QValidator>

namespace quorvale {

class OneLineValidator final : public QValidator {
public:
    using QValidator::QValidator;

    // Replaces each line break (CR LF, CR, LF, line or paragraph separator) by one blank; the cursor
    // position follows its character. Every text is acceptable.
    State validate(QString& input, int& pos) const override;
};

} // namespace quorvale
