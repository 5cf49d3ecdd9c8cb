#include "toolkit/Image.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetBounds(int x, int y, int width, int height) { setGeometry(x, y, width, height); }

void TImage::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}
