#pragma once
// Puts the install manager's process-wide state back to its start for every test: fresh settings, no
// catalogue, the real executable path and free-space query, and a restart recorder in place of the
// real restart calls so that no test can ever reach ExitWindowsEx.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installmanager/Configuration.h"
#include "installmanager/DiskSpaceCalls.h"
#include "installmanager/Distribution.h"
#include "installmanager/Staging.h"
#include "installmanager/ExecutablePath.h"
#include "installmanager/Restart.h"
#include "installmanager/Settings.h"

// Records the restart calls and answers them as the test sets; by default No to the question.
struct RestartRecorder {
    static inline std::vector<std::string> log;
    static inline std::vector<std::string> messages;  // text, caption, style of every message box
    static inline int answer = IDNO;
    static inline DWORD version = 0x0A000000;  // NT family
    static inline BOOL openToken = TRUE;
    static inline BOOL lookup = TRUE;
    static inline DWORD lastError = ERROR_SUCCESS;
    static inline BOOL exitWindows = TRUE;
    static inline DWORD tokenAccess = 0;
    static inline std::string privilegeName;
    static inline bool systemNameNull = false;
    static inline DWORD privilegeCount = 0;
    static inline DWORD privilegeAttributes = 0;
    static inline bool adjustArgumentsAsExpected = false;
    static inline UINT exitFlags = 0;
    static inline DWORD exitReason = 0;

    static HANDLE FakeProcess() { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1)); }
    static HANDLE FakeToken() { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234)); }

    static void Reset() {
        log.clear();
        messages.clear();
        answer = IDNO;
        version = 0x0A000000;
        openToken = lookup = exitWindows = TRUE;
        lastError = ERROR_SUCCESS;
        tokenAccess = 0;
        privilegeName.clear();
        systemNameNull = false;
        privilegeCount = privilegeAttributes = 0;
        adjustArgumentsAsExpected = false;
        exitFlags = 0;
        exitReason = 0;
    }

    static int WINAPI Ask(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
        log.push_back(owner ? "MessageBoxA(owned)" : "MessageBoxA");
        messages.push_back(std::string(text) + "|" + caption + "|" + std::to_string(type));
        return type == (MB_YESNO | MB_ICONQUESTION) ? answer : IDOK;
    }
    static DWORD WINAPI Version() {
        log.push_back("GetVersion");
        return version;
    }
    static HANDLE WINAPI CurrentProcess() {
        log.push_back("GetCurrentProcess");
        return FakeProcess();
    }
    static BOOL WINAPI OpenToken(HANDLE process, DWORD access, PHANDLE token) {
        log.push_back(process == FakeProcess() ? "OpenProcessToken" : "OpenProcessToken(other process)");
        tokenAccess = access;
        if (openToken) *token = FakeToken();
        return openToken;
    }
    static BOOL WINAPI Lookup(LPCSTR systemName, LPCSTR name, PLUID luid) {
        log.push_back("LookupPrivilegeValueA");
        systemNameNull = systemName == nullptr;
        privilegeName = name;
        luid->LowPart = 19;
        luid->HighPart = 0;
        return lookup;
    }
    static BOOL WINAPI Adjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                              PTOKEN_PRIVILEGES previous, PDWORD returned) {
        log.push_back("AdjustTokenPrivileges");
        privilegeCount = state->PrivilegeCount;
        privilegeAttributes = state->Privileges[0].Attributes;
        adjustArgumentsAsExpected = token == FakeToken() && !disableAll && length == 0 && !previous &&
                                    !returned && state->Privileges[0].Luid.LowPart == 19;
        return TRUE;
    }
    static BOOL WINAPI Close(HANDLE handle) {
        log.push_back(handle == FakeToken() ? "CloseHandle" : "CloseHandle(other handle)");
        return TRUE;
    }
    static DWORD WINAPI LastError() {
        log.push_back("GetLastError");
        return lastError;
    }
    static BOOL WINAPI Reboot(UINT flags, DWORD reason) {
        log.push_back("ExitWindowsEx");
        exitFlags = flags;
        exitReason = reason;
        return exitWindows;
    }

    static const RestartCalls* Calls() {
        static const RestartCalls calls = {Ask,    Version, CurrentProcess, OpenToken, Lookup,
                                           Adjust, Close,   LastError,      Reboot};
        return &calls;
    }
};

class InstallManagerTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    static void Reset() {
        RestartRecorder::Reset();
        SetRestartCalls(RestartRecorder::Calls());
        WizardSettings = TWizardSettings();
        UnloadConfiguration();  // no restart is due with fresh settings
        OverrideExecutablePath("");
        ForgetOwnExecutable();
        SetDiskSpaceCalls(nullptr);
        SetStagingCalls(nullptr);
    }
};
