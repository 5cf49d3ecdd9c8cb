#include "toolkit/StdCtrls.h"

#include <QMouseEvent>
#include <QProxyStyle>

QFont MakeFont(const QString& family, int pixelSize, bool bold)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

TLabel::TLabel(QWidget* parent, const QString& caption) : QLabel(caption, parent)
{
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FitToText();
}

void TLabel::SetBounds(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    FitToText();
}

void TLabel::SetCaption(const QString& caption)
{
    setText(caption);
    FitToText();
}

void TLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    FitToText();
}

void TLabel::SetWordWrap(bool wrap)
{
    setWordWrap(wrap);
    FitToText();
}

void TLabel::SetAlignment(TAlignment alignment)
{
    const Qt::Alignment h = alignment == taCenter         ? Qt::AlignHCenter
                            : alignment == taRightJustify ? Qt::AlignRight
                                                          : Qt::AlignLeft;
    setAlignment(h | Qt::AlignTop);
}

void TLabel::SetFont(const QFont& font)
{
    setFont(font);
    FitToText();
}

void TLabel::SetFontColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QColor TLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void TLabel::FitToText()
{
    if (!autoSize_)
        return;
    if (wordWrap())
        resize(width(), heightForWidth(width()));
    else
        resize(fontMetrics().size(Qt::TextSingleLine, text()).expandedTo(QSize(1, fontMetrics().height())));
}

void TLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    if (OnMouseDown)
        FireMouse(OnMouseDown, this, event);
    else
        event->ignore(); // a label without a handler lets the press reach its parent
}

void TLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const bool click = leftPressed_ && rect().contains(event->position().toPoint());
        leftPressed_ = false;
        if (click)
            Fire(OnClick, this);
    }
}

namespace {

// Lets an edit echo its own password character instead of the style's dot.
class PasswordCharStyle : public QProxyStyle {
public:
    explicit PasswordCharStyle(QChar c) : c_(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return c_.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar c_;
};

} // namespace

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) { setFrame(false); }

void TEdit::SetBounds(int x, int y, int width, int height) { setGeometry(x, y, width, height); }

void TEdit::SetPasswordChar(QChar c)
{
    passwordChar_ = c;
    if (c.isNull()) {
        setEchoMode(Normal);
        return;
    }
    auto* style = new PasswordCharStyle(c);
    style->setParent(this);
    setStyle(style);
    setEchoMode(Password);
}

void TEdit::focusInEvent(QFocusEvent* event)
{
    // The text is not selected as a whole when the edit gains the focus.
    QLineEdit::focusInEvent(event);
    deselect();
}
