// The help window: borderless, exactly the picture's size, centred; any click closes it.
#include "frmhelp.h"

#include "windowlook.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quorvale {

frmHelp::frmHelp(QWidget& entryWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_entryWindow(&entryWindow), m_picture(picturePath())
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Without a title bar the keyboard is the only other way out, so Escape must reach the window.
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(m_picture.size());
    centreOnScreen(*this);
}

void frmHelp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void frmHelp::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        close();
}

void frmHelp::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void frmHelp::closeEvent(QCloseEvent* event)
{
    // However the window goes, the entry window comes back, so the program never has no visible window.
    if (m_entryWindow)
        m_entryWindow->show();
    event->accept();
}

} // namespace quorvale
