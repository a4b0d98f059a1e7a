#pragma once
// The exit codes of the unattended runs ("/quiet", "/passive"): the ones deployment tools already
// know (Windows' own error numbers, as msiexec returns them). Plain logic, free of <windows.h>.
namespace ExitCodes {
constexpr int Success = 0;
constexpr int InvalidSwitch = 87;             // ERROR_INVALID_PARAMETER: nothing installed
constexpr int DiskFull = 112;                 // ERROR_DISK_FULL: nothing installed
constexpr int Cancelled = 1602;               // ERROR_INSTALL_USEREXIT
constexpr int Failed = 1603;                  // ERROR_INSTALL_FAILURE: one or more components failed
constexpr int InstallerBusy = 1618;           // ERROR_INSTALL_ALREADY_RUNNING
constexpr int ConfigurationUnreadable = 1619; // ERROR_INSTALL_PACKAGE_OPEN_FAILED: the INI
constexpr int RestartRequired = 3010;         // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr int RestartDeferred = 13000;        // "-d": the caller restarts
}  // namespace ExitCodes

// What an unattended run came to.
struct TRunOutcome {
    int StartFailure = 0;        // the run stopped before installing anything, with this code
    bool Cancelled = false;      // cancelled while components were still to be installed
    bool InstallerBusy = false;  // a component failed because Windows Installer stayed busy
    bool Failed = false;         // a component failed
    bool RestartRequired = false;
    bool DeferRestart = false;
};

// The first that holds: the code that stopped the run before it began; 1602 cancelled; 1618 busy
// (a later retry may install everything); 1603 failed; 13000 with "-d" and 3010 without it when a
// restart is due; 0.
int UnattendedExitCode(const TRunOutcome& outcome);
