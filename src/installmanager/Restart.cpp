#include "installmanager/Restart.h"

#include "installmanager/MessageTexts.h"

const char* const RestartQuestion =
    "Tarnwick Setup Wizard need to restart the system in order to complete the installation. "
    "Do you wish to restart now?";
const char* const RestartFailedMessage =
    "Tarnwick Setup Wizard was unable to restart the computer. You will have to manually reboot the "
    "computer to complete the installation.";

namespace {

const RestartCalls realCalls = {::MessageBoxA,      ::GetVersion,           ::GetCurrentProcess,
                                 ::OpenProcessToken, ::LookupPrivilegeValueA, ::AdjustTokenPrivileges,
                                 ::CloseHandle,      ::GetLastError,          ::ExitWindowsEx};
const RestartCalls* current = &realCalls;

void ShowFailure(const RestartCalls& calls) {
    // No owner: every wizard window is gone by the time the restart is asked for.
    calls.MessageBoxA(nullptr, RestartFailedMessage, MessageTexts::Error, MB_OK | MB_ICONERROR);
}

// Enables the shutdown privilege on the process token; false (after showing the failure) when it
// cannot be held.
bool EnableShutdownPrivilege(const RestartCalls& calls) {
    HANDLE token = nullptr;
    if (!calls.OpenProcessToken(calls.GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        ShowFailure(calls);
        return false;
    }
    TOKEN_PRIVILEGES privileges = {};
    if (!calls.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        calls.CloseHandle(token);
        ShowFailure(calls);
        return false;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // The call succeeds even when the privilege is not held; the last-error code tells
    // (ERROR_NOT_ALL_ASSIGNED), and closing the token leaves it in place.
    calls.AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    calls.CloseHandle(token);
    if (calls.GetLastError() != ERROR_SUCCESS) {
        ShowFailure(calls);
        return false;
    }
    return true;
}

}  // namespace

const RestartCalls& CurrentRestartCalls() { return *current; }

void SetRestartCalls(const RestartCalls* calls) { current = calls ? calls : &realCalls; }

void RequestSystemRestart() {
    const RestartCalls& calls = *current;
    if (calls.MessageBoxA(nullptr, RestartQuestion, MessageTexts::Confirm, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The Windows 95 family sets the top bit of the version and has no privileges to enable.
    const bool windows9x = (calls.GetVersion() & 0x80000000u) != 0;
    if (!windows9x && !EnableShutdownPrivilege(calls)) return;
    if (!calls.ExitWindowsEx(EWX_REBOOT, 0)) ShowFailure(calls);
}
