#pragma once
// Text controls the windows are written in: TLabel (a transparent, optionally
// self-sizing and word-wrapping text) and TEdit (a frameless single-line
// edit, optionally echoing "*"). Main thread only; the parent owns them.

#include "toolkit/Image.h"
#include "toolkit/Types.h"

#include <QLabel>
#include <QLineEdit>

// A font by family, pixel size and weight, the way the windows describe them.
QFont MakeFont(const QString& family, int pixelSize, bool bold = false);

class TLabel : public QLabel {
public:
    explicit TLabel(QWidget* parent, const QString& caption = QString());

    void SetBounds(int x, int y, int width, int height);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    // AutoSize (on by default) fits the label to its text; with WordWrap the
    // width stays and the height follows the wrapped text.
    void SetAutoSize(bool autoSize);
    void SetWordWrap(bool wrap);
    void SetAlignment(TAlignment alignment);
    void SetFont(const QFont& font);
    void SetFontColor(const QColor& color);
    QColor FontColor() const;

    TMouseEvent OnMouseDown;
    TNotifyEvent OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FitToText();

    bool autoSize_ = true;
    bool leftPressed_ = false;
};

class TEdit : public QLineEdit {
public:
    explicit TEdit(QWidget* parent);

    void SetBounds(int x, int y, int width, int height);
    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    // A non-zero character hides the text behind that character.
    void SetPasswordChar(QChar c);
    QChar PasswordChar() const { return passwordChar_; }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QChar passwordChar_;
};
