#pragma once
// An image control: shows its picture at the top-left corner. Main thread only.

#include <QPixmap>
#include <QWidget>

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    void SetBounds(int x, int y, int width, int height);
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
