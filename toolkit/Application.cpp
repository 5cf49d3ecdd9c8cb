#include "toolkit/Application.h"

#include "toolkit/Form.h"
#include "toolkit/Guard.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

TApplication* Application = nullptr;

namespace {
MessageBoxHook gHook;
}

void SetMessageBoxHook(MessageBoxHook hook) { gHook = std::move(hook); }

int ShowMessageBox(const QString& text, const QString& caption, unsigned flags)
{
    if (gHook)
        return gHook({text, caption, flags});
    if (!qApp) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return IDOK;
    }
    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0xF) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}

void HandleHandlerException(std::exception_ptr error) noexcept
{
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            if (Application)
                Application->ShowException(e);
            else
                std::fprintf(stderr, "vantorel: %s\n", e.what());
        } catch (...) {
            if (Application)
                Application->ShowException(QStringLiteral("Unknown error"));
            else
                std::fprintf(stderr, "vantorel: unknown error\n");
        }
    } catch (...) {
        // Showing the error failed as well; there is nobody left to tell.
    }
}

TApplication::TApplication(int& argc, char** argv)
    : qt_(std::make_unique<QApplication>(argc, argv))
{
    Application = this;
    qt_->setQuitOnLastWindowClosed(false);
    qt_->setApplicationName("vantorel");
    qt_->setApplicationDisplayName(QString());
}

TApplication::~TApplication()
{
    DestroyForms();
    if (Application == this)
        Application = nullptr;
}

void TApplication::Initialize() { terminated_ = false; }

void TApplication::AddForm(TForm* form)
{
    forms_.push_back(form);
    if (!mainForm_)
        mainForm_ = form;
}

void TApplication::Run()
{
    if (mainForm_ && ShowMainForm && !terminated_)
        mainForm_->Show();
    if (!terminated_)
        qt_->exec();
    terminated_ = true;
    DestroyForms();
}

void TApplication::Terminate()
{
    terminated_ = true;
    qt_->quit();
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(); }

int TApplication::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    return ShowMessageBox(text, caption, flags);
}

void TApplication::ShowException(const std::exception& e)
{
    ShowException(QString::fromUtf8(e.what()));
}

void TApplication::ShowException(const QString& message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QChar('.'))
        text += '.';
    ShowMessageBox(text, Title, MB_OK | MB_ICONERROR);
}

void TApplication::DestroyForms()
{
    while (!forms_.empty()) {
        TForm* form = forms_.back();
        forms_.pop_back();
        if (form == mainForm_)
            mainForm_ = nullptr;
        form->Destroy();
    }
}
