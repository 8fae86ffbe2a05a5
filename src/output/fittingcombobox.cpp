#include "fittingcombobox.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace quorvale {

QString FittedText(const QString& text, const QFontMetrics& metrics, int width)
{
    const qsizetype detail = text.indexOf(QLatin1String(" ("));
    if (detail <= 0 || metrics.horizontalAdvance(text) <= width)
        return text;
    return text.left(detail);
}

FittingComboBox::FittingComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) { setToolTip(text); });
}

QString FittingComboBox::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return FittedText(option.currentText, fontMetrics(), field.width());
}

void FittingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = shownText();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void FittingComboBox::showPopup()
{
    // The open list is as wide as its widest item, whatever the box's width.
    view()->setMinimumWidth(std::max(width(), view()->sizeHintForColumn(0) + 2 * view()->frameWidth()));
    QComboBox::showPopup();
}

} // namespace quorvale
