#include "toolkit/Form.h"

#include <algorithm>

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cmath>

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

TForm::~TForm() = default;

void TForm::DoCreate() { Fire(OnCreate, this); }

void TForm::SetClientSize(int width, int height) { setFixedSize(width, height); }

void TForm::SetCaption(const QString& caption) { setWindowTitle(caption); }

QString TForm::Caption() const { return windowTitle(); }

void TForm::SetRegion(const QRegion& region)
{
    region_ = region;
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

void TForm::CenterOnScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TForm::Show()
{
    show();
    raise();
}

void TForm::Hide() { hide(); }

int TForm::ShowModal()
{
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (modalResult_ == mrNone) {
        QEventLoop loop;
        modalLoop_ = &loop;
        loop.exec();
        modalLoop_ = nullptr;
    }
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && modalLoop_)
        modalLoop_->quit();
}

void TForm::Destroy()
{
    if (destroying_)
        return;
    destroying_ = true;
    Fire(OnDestroy, this);
    delete this;
}

void TForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Fire(OnShow, this);
}

void TForm::closeEvent(QCloseEvent* event)
{
    if (OnCloseQuery && !OnCloseQuery()) {
        event->ignore();
        return;
    }
    // Closing a modal window ends its modal show; other windows just hide.
    if (modalLoop_ && modalResult_ == mrNone)
        SetModalResult(mrCancel);
    event->accept();
}

QRegion RoundRectRegion(int x1, int y1, int x2, int y2, int w, int h)
{
    QRegion region;
    const int width = x2 - x1, height = y2 - y1;
    if (width <= 0 || height <= 0)
        return region;
    const double rx = std::min(w, width) / 2.0, ry = std::min(h, height) / 2.0;
    for (int y = 0; y < height; ++y) {
        // Distance of the row's centre from the nearer corner ellipse's centre.
        double dy = 0;
        const double cy = y + 0.5;
        if (cy < ry)
            dy = ry - cy;
        else if (cy > height - ry)
            dy = cy - (height - ry);
        int inset = 0;
        if (dy > 0 && ry > 0) {
            double t = 1.0 - (dy * dy) / (ry * ry);
            inset = int(std::lround(rx - rx * std::sqrt(std::max(0.0, t))));
        }
        if (width - 2 * inset > 0)
            region += QRect(x1 + inset, y1 + y, width - 2 * inset, 1);
    }
    return region;
}

void TForm::SetAlphaBlend(bool on)
{
    alphaBlend_ = on;
    ApplyOpacity();
}

void TForm::SetAlphaBlendValue(int value)
{
    alphaBlendValue_ = std::clamp(value, 0, 255);
    ApplyOpacity();
}

void TForm::ApplyOpacity() { setWindowOpacity(alphaBlend_ ? alphaBlendValue_ / 255.0 : 1.0); }

void TForm::StartSystemMove()
{
    if (QWindow* w = windowHandle())
        w->startSystemMove();
}
