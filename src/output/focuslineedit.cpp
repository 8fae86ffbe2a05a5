#include "focuslineedit.h"

namespace quorvale {

FocusLineEdit::FocusLineEdit(const QString& text, OnFocus onFocus, QWidget* parent)
    : QLineEdit(text, parent), m_onFocus(onFocus)
{
}

void FocusLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Qt selects everything only when a box is tabbed into; here the box's own rule decides.
    if (m_onFocus == OnFocus::SelectAll)
        selectAll();
    else
        deselect();
}

} // namespace quorvale
