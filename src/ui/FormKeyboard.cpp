#include "ui/Form.h"

// The keyboard on a form, as on a dialog: Enter presses the focused push button or the default one,
// Esc the cancel button, Tab and the access keys move as IsDialogMessage moves.

namespace {

bool IsPushButton(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0) return false;
    LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool TForm::PreTranslateMessage(MSG& msg) {
    if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        HWND target = cancelButton;
        if (msg.wParam == VK_RETURN) {
            // Enter presses the focused push button, otherwise the default button.
            HWND focus = GetFocus();
            target = focus && IsChild(hwnd, focus) && IsPushButton(focus) ? focus : defaultButton;
        }
        if (target && IsWindowVisible(target) && IsWindowEnabled(target)) PressButton(target);
        return true;
    }
    return IsDialogMessageA(hwnd, &msg) != FALSE;
}

void TForm::PressButton(HWND button) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

