// A text box that either selects its whole text whenever it gets the focus, or never does.
#pragma once

#include <QLineEdit>

namespace quorvale {

class FocusLineEdit final : public QLineEdit {
public:
    enum class OnFocus { SelectAll, KeepCaret };

    FocusLineEdit(const QString& text, OnFocus onFocus, QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    OnFocus m_onFocus;
};

} // namespace quorvale
