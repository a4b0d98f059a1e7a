// The restart request against recorded platform calls: nothing here can restart the machine.
#include "installmanager/Restart.h"

#include <gtest/gtest.h>

#include "InstallManagerFixture.h"

namespace {

using Calls = std::vector<std::string>;

const std::string Question = std::string(RestartQuestion) + "|Confirm|36";      // MB_YESNO | MB_ICONQUESTION
const std::string Failure = std::string(RestartFailedMessage) + "|Error|16";    // MB_OK | MB_ICONERROR

using RestartTest = InstallManagerTest;

TEST_F(RestartTest, TextsAreTheUsersOwn) {
    EXPECT_STREQ("Tarnwick Setup Wizard need to restart the system in order to complete the installation. "
                 "Do you wish to restart now?",
                 RestartQuestion);
    EXPECT_STREQ("Tarnwick Setup Wizard was unable to restart the computer. You will have to manually reboot "
                 "the computer to complete the installation.",
                 RestartFailedMessage);
}

TEST_F(RestartTest, EveryBranchMakesItsCallsInOrder) {
    struct Row {
        const char* name;
        int answer;
        DWORD version;
        BOOL openToken;
        BOOL lookup;
        DWORD lastError;
        BOOL exitWindows;
        Calls calls;
        std::vector<std::string> messages;
    };
    const Calls tokenSteps = {"GetVersion",         "GetCurrentProcess", "OpenProcessToken", "LookupPrivilegeValueA",
                              "AdjustTokenPrivileges", "CloseHandle",    "GetLastError"};
    auto with = [](Calls head, const Calls& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const Row rows[] = {
        {"answer No", IDNO, 0x0A000000, TRUE, TRUE, 0, TRUE, {"MessageBoxA"}, {Question}},
        {"restart", IDYES, 0x0A000000, TRUE, TRUE, 0, TRUE,
         with(with({"MessageBoxA"}, tokenSteps), {"ExitWindowsEx"}), {Question}},
        {"token not opened", IDYES, 0x0A000000, FALSE, TRUE, 0, TRUE,
         {"MessageBoxA", "GetVersion", "GetCurrentProcess", "OpenProcessToken", "MessageBoxA"}, {Question, Failure}},
        {"privilege unknown", IDYES, 0x0A000000, TRUE, FALSE, 0, TRUE,
         {"MessageBoxA", "GetVersion", "GetCurrentProcess", "OpenProcessToken", "LookupPrivilegeValueA",
          "CloseHandle", "MessageBoxA"},
         {Question, Failure}},
        {"privilege not held", IDYES, 0x0A000000, TRUE, TRUE, ERROR_NOT_ALL_ASSIGNED, TRUE,
         with(with({"MessageBoxA"}, tokenSteps), {"MessageBoxA"}), {Question, Failure}},
        {"restart refused", IDYES, 0x0A000000, TRUE, TRUE, 0, FALSE,
         with(with({"MessageBoxA"}, tokenSteps), {"ExitWindowsEx", "MessageBoxA"}), {Question, Failure}},
        {"Windows 95 family", IDYES, 0xC0000A04, TRUE, TRUE, 0, TRUE, {"MessageBoxA", "GetVersion", "ExitWindowsEx"},
         {Question}},
        {"Windows 95 family, refused", IDYES, 0x80000004, TRUE, TRUE, 0, FALSE,
         {"MessageBoxA", "GetVersion", "ExitWindowsEx", "MessageBoxA"}, {Question, Failure}},
    };
    for (const Row& row : rows) {
        RestartRecorder::Reset();
        RestartRecorder::answer = row.answer;
        RestartRecorder::version = row.version;
        RestartRecorder::openToken = row.openToken;
        RestartRecorder::lookup = row.lookup;
        RestartRecorder::lastError = row.lastError;
        RestartRecorder::exitWindows = row.exitWindows;
        RequestSystemRestart();
        EXPECT_EQ(row.calls, RestartRecorder::log) << row.name;
        EXPECT_EQ(row.messages, RestartRecorder::messages) << row.name;
    }
}

TEST_F(RestartTest, ArgumentsOfTheTokenAndRestartCalls) {
    RestartRecorder::answer = IDYES;
    RequestSystemRestart();
    EXPECT_EQ(static_cast<DWORD>(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY), RestartRecorder::tokenAccess);
    EXPECT_EQ(0x28u, RestartRecorder::tokenAccess);
    EXPECT_TRUE(RestartRecorder::systemNameNull);
    EXPECT_EQ("SeShutdownPrivilege", RestartRecorder::privilegeName);
    EXPECT_EQ(1u, RestartRecorder::privilegeCount);
    EXPECT_EQ(static_cast<DWORD>(SE_PRIVILEGE_ENABLED), RestartRecorder::privilegeAttributes);
    EXPECT_TRUE(RestartRecorder::adjustArgumentsAsExpected);
    EXPECT_EQ(static_cast<UINT>(EWX_REBOOT), RestartRecorder::exitFlags);  // no EWX_FORCE
    EXPECT_EQ(0u, RestartRecorder::exitReason);
}

}  // namespace
