#include "toolkit/Image.h"

#include <QMouseEvent>
#include <QPainter>

TMouseButton MouseButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

void FireMouse(const TMouseEvent& handler, QObject* sender, QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (handler)
        Guarded([&] { handler(sender, MouseButtonOf(event->button()), at.x(), at.y()); });
}

void FireMouseMove(const TMouseMoveEvent& handler, QObject* sender, QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (handler)
        Guarded([&] { handler(sender, at.x(), at.y()); });
}

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void TImage::SetBounds(int x, int y, int width, int height) { setGeometry(x, y, width, height); }

void TImage::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

void TImage::enterEvent(QEnterEvent*) { Fire(OnMouseEnter, this); }

void TImage::leaveEvent(QEvent*) { Fire(OnMouseLeave, this); }

void TImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    FireMouse(OnMouseDown, this, event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool click = leftPressed_ && rect().contains(at);
        leftPressed_ = false;
        if (click)
            Fire(OnClick, this);
    }
    FireMouse(OnMouseUp, this, event);
}

void TImage::mouseMoveEvent(QMouseEvent* event) { FireMouseMove(OnMouseMove, this, event); }
