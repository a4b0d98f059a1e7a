#include "ui/Application.h"

#include "ui/CommonControls.h"
#include "ui/Form.h"

namespace {
HINSTANCE instance;
const char* title = "";
bool terminated;
void (*errorReporter)(const char* message);

void Dispatch(MSG& msg) {
    TForm* form = TForm::FromWindow(msg.hwnd);
    if (form && form->PreTranslateMessage(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}
}  // namespace

namespace Application {

void Initialize(HINSTANCE hInstance) {
    instance = hInstance;
    CommonControls::Initialize(ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES);
}

HINSTANCE Instance() { return instance ? instance : GetModuleHandleA(nullptr); }

void SetTitle(const char* text) { title = text; }
const char* Title() { return title; }

void Terminate() {
    terminated = true;
    // Wake a GetMessage wait so that the loop waiting in it sees the flag.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool Terminated() { return terminated; }

void HandleMessage() {
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated = true;  // WM_QUIT from anywhere ends the application
        return;
    }
    Dispatch(msg);
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated = true;
            continue;
        }
        Dispatch(msg);
    }
}

void Run(TForm& mainForm) {
    mainForm.Show();  // its show handler runs the whole page sequence
    while (!terminated) HandleMessage();
}

void ShowError(const char* message) {
    if (errorReporter) return errorReporter(message ? message : "");
    MessageBoxA(nullptr, message ? message : "", title, MB_OK | MB_ICONERROR);
}

void SetErrorReporter(void (*report)(const char* message)) { errorReporter = report; }

}  // namespace Application
