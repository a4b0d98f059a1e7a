#pragma once
// Asking the user for a restart of Windows and performing it.
#include <windows.h>

// The platform calls of RequestSystemRestart, in the order it makes them. The real functions by
// default; tests install a recorder so that nothing is ever restarted.
struct RestartCalls {
    int(WINAPI* MessageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    DWORD(WINAPI* GetVersion)();
    HANDLE(WINAPI* GetCurrentProcess)();
    BOOL(WINAPI* OpenProcessToken)(HANDLE process, DWORD access, PHANDLE token);
    BOOL(WINAPI* LookupPrivilegeValueA)(LPCSTR systemName, LPCSTR name, PLUID luid);
    BOOL(WINAPI* AdjustTokenPrivileges)(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState,
                                        DWORD previousStateLength, PTOKEN_PRIVILEGES previousState,
                                        PDWORD returnLength);
    BOOL(WINAPI* CloseHandle)(HANDLE handle);
    DWORD(WINAPI* GetLastError)();
    BOOL(WINAPI* ExitWindowsEx)(UINT flags, DWORD reason);
};

const RestartCalls& CurrentRestartCalls();
// Installs `calls` (owned by the caller, kept until replaced); null restores the real functions.
void SetRestartCalls(const RestartCalls* calls);

extern const char* const RestartQuestion;
extern const char* const RestartFailedMessage;

// Asks whether Windows may be restarted now and, after Yes, restarts it (shutdown privilege enabled
// first on the NT family). Failures are shown in one error message; nothing is returned.
void RequestSystemRestart();
