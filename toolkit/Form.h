#pragma once
// A borderless top-level window of fixed client size: caption, window region
// (a mask), centring, modal showing with a modal result, and the create,
// show and destroy events. Derived windows build their controls in the
// constructor and then call DoCreate(). Main thread only; the application
// owns its forms and destroys them through Destroy().

#include "toolkit/Guard.h"

#include <QRegion>
#include <QWidget>

class QEventLoop;

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class TForm : public QWidget {
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    void SetClientSize(int width, int height);
    void SetCaption(const QString& caption);
    QString Caption() const;
    // The window's region; an empty region means the whole window.
    void SetRegion(const QRegion& region);
    QRegion Region() const { return region_; }
    void CenterOnScreen();

    void Show();
    void Hide();
    bool Visible() const { return isVisible(); }
    // Shows the window modally and returns its ModalResult once it is set.
    int ShowModal();
    bool InModal() const { return modalLoop_ != nullptr; }
    int ModalResult() const { return modalResult_; }
    // Setting a result other than mrNone ends a running modal show.
    void SetModalResult(int result);

    int Tag = 0;

    // Window transparency: with AlphaBlend on, AlphaBlendValue 0 (clear) to
    // 255 (opaque) applies; off, the window is opaque.
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool on);
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int value);

    // Asked before the window closes (by Close, or by the system); false
    // keeps it open.
    std::function<bool()> OnCloseQuery;
    // The window manager moves the window with the pointer, as if its
    // caption had been grabbed (for a press on a drag handle).
    void StartSystemMove();
    // Closes the window as the system would, asking OnCloseQuery first.
    void Close() { close(); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;

    // Runs OnDestroy, then deletes the form.
    void Destroy();

protected:
    void DoCreate();
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QRegion region_;
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = mrNone;
    bool destroying_ = false;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;

    void ApplyOpacity();
};

// A rounded rectangle from (x1, y1) to (x2, y2), right and bottom edges
// excluded, with a corner ellipse of w × h.
QRegion RoundRectRegion(int x1, int y1, int x2, int y2, int w, int h);
