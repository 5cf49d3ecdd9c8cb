#pragma once
// The application object: owns the Qt application, the forms created through
// CreateForm (destroyed in reverse order after the message loop), the
// message boxes and the standard error box. Main thread only.

#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QApplication;
class TForm;

// Message box flags and answers, as the program's code uses them.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    QString text;
    QString caption;
    unsigned flags = MB_OK;
};

// Every message box goes through this function; tests install a hook that
// records the request and answers it.
int ShowMessageBox(const QString& text, const QString& caption, unsigned flags);
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

class TApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication();

    void Initialize();
    bool MainFormOnTaskBar = false;
    // When false, Run does not show the main form (hidden start).
    bool ShowMainForm = true;
    QString Title = "Vantorel";

    // Creates a form; the first one becomes the main form.
    template <class T>
    void CreateForm(T*& ref)
    {
        ref = new T();
        AddForm(ref);
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form (unless ShowMainForm is false) and runs the message
    // loop until Terminate; then destroys the forms.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    int MessageBox(const QString& text, const QString& caption, unsigned flags);
    // The standard error box: the error's message, an error icon, OK.
    void ShowException(const std::exception& e);
    void ShowException(const QString& message);

    // Destroys every form, last created first (each runs its OnDestroy).
    void DestroyForms();

private:
    void AddForm(TForm* form);

    std::unique_ptr<QApplication> qt_;
    std::vector<TForm*> forms_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The one application object, while it exists.
extern TApplication* Application;
