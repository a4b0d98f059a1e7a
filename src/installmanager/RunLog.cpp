#include "installmanager/RunLog.h"

#include <windows.h>

#include "installmanager/FailureReasons.h"

namespace {
HANDLE logFile = INVALID_HANDLE_VALUE;

std::string TwoDigits(unsigned value) { return std::string(1, char('0' + value / 10 % 10)) + char('0' + value % 10); }
}  // namespace

bool OpenRunLog(const std::string& path, std::string& problem) {
    CloseRunLog();
    // Others may read it while the run goes on (a deployment agent that shows its progress).
    logFile = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE) {
        problem = SystemMessage(GetLastError());
        return false;
    }
    return true;
}

bool RunLogOpen() { return logFile != INVALID_HANDLE_VALUE; }

void LogLine(const std::string& text) {
    if (!RunLogOpen()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string line = TwoDigits(now.wHour) + ":" + TwoDigits(now.wMinute) + ":" + TwoDigits(now.wSecond) +
                             " " + text + "\r\n";
    DWORD written = 0;
    WriteFile(logFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void CloseRunLog() {
    if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
}
