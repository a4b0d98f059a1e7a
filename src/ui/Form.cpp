#include "ui/Form.h"

#include <commctrl.h>

#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/FormParts.h"
#include "ui/ImageLists.h"
#include "ui/Look.h"

// The window's life, its messages and the modal loop. The rest of the form layer lives by concern:
// FormControls.cpp (the controls and their order), FormPainting.cpp (background and colours),
// FormScaling.cpp (the DPI), FormKeyboard.cpp, GroupBox.cpp.

namespace {

TForm* mainForm;
constexpr const char* FormProperty = "TarnwickForm";

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

namespace FormParts {

DWORD FormStyle(FormBorder border) {
    switch (border) {
    case FormBorder::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case FormBorder::DialogNoButtons: return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    case FormBorder::Main: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    }
    return WS_POPUP | WS_CAPTION;
}

void SetIcons(HWND window, int dpi) {
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Look::AppIcon(ScaleToDpi(32, dpi))));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Look::AppIcon(ScaleToDpi(16, dpi))));
}

}  // namespace FormParts

using FormParts::FormStyle;
using FormParts::SetIcons;

TForm* MainForm() { return mainForm; }

TForm::TForm(const FormLayout& layout) : formLayout(layout) {}

TForm::~TForm() { Destroy(); }

bool TForm::Create() {
    if (hwnd) return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(Application::Instance(), formLayout.className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = Application::Instance();
        wc.hIcon = Look::AppIcon(32);
        wc.hIconSm = Look::AppIcon(16);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = formLayout.className;
        if (!RegisterClassExA(&wc)) return false;
    }
    // Laid out for the system's DPI until it is shown on a monitor with another.
    dpi = Dpi::OfSystem();
    highContrast = Look::HighContrast();
    const SIZE frame = FrameSize();
    // Pages start at a fixed design position; the sequencer moves them before they are shown.
    // Pages belong to the main form: one task-bar entry for the whole wizard.
    HWND owner = mainForm ? mainForm->hwnd : nullptr;
    hwnd = CreateWindowExA(0, formLayout.className, Application::Title(), FormStyle(formLayout.border), 351, 216,
                           frame.cx, frame.cy, owner, nullptr, Application::Instance(), this);
    if (!hwnd) return false;
    if (!mainForm) mainForm = this;
    SetIcons(hwnd, dpi);
    if (!CreateControls()) return false;
    FormCreate();
    return true;
}

bool CreateOrReport(TForm& form) {
    if (form.Create()) return true;
    Application::ShowError("Windows refused to create a window of the wizard.");
    return false;
}

void TForm::Destroy() {
    if (!hwnd) return;
    FormDestroy();
    DestroyWindow(hwnd);
    hwnd = nullptr;
    DropPaintedBackground();
    for (const ListPictures& pictures : listPictures) FreeImageStrip(pictures.images);
    listPictures.clear();
    listColumns.clear();
    if (mainForm == this) mainForm = nullptr;
}

TForm* TForm::FromWindow(HWND window) {
    HWND top = window ? GetAncestor(window, GA_ROOT) : nullptr;
    return top ? static_cast<TForm*>(GetPropA(top, FormProperty)) : nullptr;
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<TForm*>(create->lpCreateParams);
        form->hwnd = window;
        SetPropA(window, FormProperty, form);
    }
    auto* form = static_cast<TForm*>(GetPropA(window, FormProperty));
    if (message == WM_NCDESTROY) RemovePropA(window, FormProperty);
    if (!form || message == WM_NCDESTROY) return DefWindowProcA(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) ControlCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: return ControlNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ERASEBKGND: PaintBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_CLOSE: Close(); return 0;
    case WM_DPICHANGED: ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        SystemColorsChanged(message == WM_SYSCOLORCHANGE);
        break;
    case WM_ACTIVATE: {
        // A top-level window that is not a dialog forgets its focused control when another window
        // (a message box, say) takes over: remember it and give it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) lastFocus = focus;
        } else if (lastFocus && IsWindow(lastFocus) && IsWindowEnabled(lastFocus) && IsWindowVisible(lastFocus)) {
            SetFocus(lastFocus);
            return 0;
        }
        break;
    }
    default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TForm::ShowWindowNow() {
    // A page shows at the DPI of the monitor it shows on, which may not be the one it last showed on.
    RECT area;
    GetWindowRect(hwnd, &area);
    const int monitorDpi = Dpi::OfMonitorAt(area);
    if (monitorDpi != dpi) ApplyDpi(monitorDpi, nullptr);
    if (formLayout.centerOnFirstShow && !shownBefore) CenterOnWorkArea();
    shownBefore = true;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    HWND focus = lastFocus && IsWindow(lastFocus) && IsWindowEnabled(lastFocus) && IsWindowVisible(lastFocus)
                     ? lastFocus
                     : InitialFocus();
    if (focus) SetFocus(focus);
    UpdateWindow(hwnd);
}

void TForm::CenterOnWorkArea() {
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::HideWindowNow() {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) lastFocus = focus;
    ShowWindow(hwnd, SW_HIDE);
}

int TForm::ShowModal() {
    // Once the application is ending no page may take input.
    if (Application::Terminated()) return mrCancel;
    modalResult = mrNone;
    // Like a dialog, the form disables the thread's other windows while it is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);

    FormShow();
    ShowWindowNow();
    inModalLoop = true;
    for (;;) {
        if (Application::Terminated()) {
            modalResult = mrCancel;
            break;
        }
        if (modalResult != mrNone) {
            if (FormCloseQuery()) {
                FormClose();
                break;
            }
            modalResult = mrNone;
        }
        Application::HandleMessage();
    }
    inModalLoop = false;
    for (HWND window : disabled) EnableWindow(window, TRUE);
    HideWindowNow();
    return modalResult;
}

void TForm::Show() {
    FormShow();
    // The main form's show handler runs the whole wizard; once that has ended nothing is shown.
    if (!Application::Terminated()) ShowWindowNow();
}

void TForm::Hide() { HideWindowNow(); }

void TForm::Close() {
    if (inModalLoop) {
        modalResult = mrCancel;
    } else if (mainForm == this) {
        Application::Terminate();
    } else if (formLayout.border != FormBorder::DialogNoButtons) {
        // A form without title-bar buttons offers no way to close it.
        HideWindowNow();
    }
}

bool TForm::Visible() const { return hwnd && IsWindowVisible(hwnd); }

int TForm::Left() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.left;
}

int TForm::Top() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.top;
}

void TForm::SetLeft(int left) {
    SetWindowPos(hwnd, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetTop(int top) {
    SetWindowPos(hwnd, nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::Ask(const char* text, const char* caption, UINT style) {
    return MessageBoxA(hwnd, text, caption, style);
}

std::string TForm::GetText(HWND control) {
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void TForm::SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }
