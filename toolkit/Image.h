#pragma once
// An image control: shows its picture at the top-left corner, unscaled, over
// whatever its parent paints (transparent pixels of a PNG let the parent show
// through). It takes no focus. Mouse events come in the order down, click,
// up; down and up are raised for any button, click only for the left button
// released inside the control. Main thread only; the parent owns it.

#include "toolkit/Guard.h"

#include <QImage>
#include <QWidget>

#include <functional>

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, int X, int Y)>;

TMouseButton MouseButtonOf(Qt::MouseButton button);
class QMouseEvent;
// Raise a control's mouse event, guarded, with the event's button and position.
void FireMouse(const TMouseEvent& handler, QObject* sender, QMouseEvent* event);
void FireMouseMove(const TMouseMoveEvent& handler, QObject* sender, QMouseEvent* event);

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    void SetBounds(int x, int y, int width, int height);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    bool Visible() const { return isVisibleTo(parentWidget()); }
    void SetVisible(bool visible) { setVisible(visible); }

    int Tag = 0;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool leftPressed_ = false;
};
