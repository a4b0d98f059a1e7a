#pragma once
// The external user-interface handler that the installation run registers with Windows Installer: it
// keeps the wizard responsive, shows the installer's errors and warnings, turns action and progress
// messages into the progress page's texts and bar, and hands a confirmed cancel back to the installer.
#include <windows.h>

#include <cstdint>

// Kept between calls for the whole process; each package's first reset message sets it afresh.
struct TInstallerHandlerState {
    int32_t ProgressTotal = 0;      // ticks of the current phase; 0 = no phase announced yet
    bool ForwardProgress = true;    // false: the bar runs from the total down
    int32_t ProgressPosition = 0;   // where the bar starts in the current phase
    bool ScriptInProgress = false;  // the last reset said the installer's script is running
    bool EnableActionData = false;  // every action-data message steps the bar
    uint16_t MessageLanguage = 0;   // language of the error boxes; 0 = neutral
};
extern TInstallerHandlerState InstallerHandlerState;

// Puts the handler state and the parsed message fields back to their values at program start.
void ResetInstallerHandlerState();

// The message boxes and the beep the handler uses; tests put recorders in their place.
struct TInstallerMessageBoxCalls {
    int(WINAPI* MessageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
    int(WINAPI* MessageBoxExA)(HWND owner, LPCSTR text, LPCSTR caption, UINT style, WORD language);
    BOOL(WINAPI* MessageBeep)(UINT type);
};
extern TInstallerMessageBoxCalls InstallerMessageBoxCalls;
void RestoreInstallerMessageBoxCalls();

// The button a message box of this style presses on Enter: its default button (MB_DEFBUTTON1 to 3), or
// the first one when the style names a button the box does not have.
int DefaultButtonOf(UINT style);

// Matches INSTALLUI_HANDLERA. In an unattended run every box is answered with its default button
// and written to the log instead, without a sound. Returns 0 when the message was not handled (or has no text), else a
// dialog result: IDOK, IDCANCEL (a cancel the user confirmed, on progress messages) or a box's result.
INT WINAPI InstallerUIHandler(LPVOID context, UINT messageType, LPCSTR messageText);
