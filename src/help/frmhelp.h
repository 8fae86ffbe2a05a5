// The help window: one fixed picture in place of the entry window until it is clicked away.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace quorvale {

class frmHelp final : public QWidget {
    Q_OBJECT

public:
    // entryWindow is shown again whenever this window closes. The window deletes itself on close,
    // so every Help press makes a fresh one.
    explicit frmHelp(QWidget& entryWindow, QWidget* parent = nullptr);

    static QString picturePath() { return QStringLiteral(":/help/help.bmp"); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> m_entryWindow;
    QPixmap m_picture;
};

} // namespace quorvale
