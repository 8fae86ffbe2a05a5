// A drop-down list whose closed box shows the current item's whole text, or its short form where
// the box is too narrow for it ("A4" for "A4 (210 x 297 mm)"); the tool tip and the open list give
// the whole text. The items and currentText() stay as they are.
#pragma once

#include <QComboBox>

class QFontMetrics;

namespace quorvale {

// The text as it fits into width: whole, or the part before " (" where the whole is too wide.
QString FittedText(const QString& text, const QFontMetrics& metrics, int width);

class FittingComboBox final : public QComboBox {
    Q_OBJECT

public:
    explicit FittingComboBox(QWidget* parent = nullptr);

    // What the closed box shows now.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showPopup() override;
};

} // namespace quorvale
