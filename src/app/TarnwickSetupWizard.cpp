// The entry point: creates the main form, reads the switches, runs the message loop (the hidden main
// form creates and drives the pages) and ends with 13000 when a restart is due and left to the caller.
#include <windows.h>

#include <string>

#include "BuildConfig.h"
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/Main.h"
#include "app/RunGuard.h"
#include "installmanager/Configuration.h"
#include "installmanager/PathText.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "pages/Contactinfo.h"
#include "pages/Destination.h"
#include "pages/Progress.h"
#include "pages/Readytoinstall.h"
#include "pages/Selection.h"
#include "pages/Success.h"
#include "pages/Welcome.h"
#include "ui/Application.h"
#include "ui/Look.h"

namespace {

// From here on, DLLs that are not Known DLLs come from the system folder only, whoever loads them by
// name: the common controls' theme support, the folder browser's shell extensions, WinInet's and
// Windows Installer's own dependencies. The wizard runs with administrator rights from a downloads
// folder, where a planted DLL of such a name would otherwise be found first. Bound at run time:
// SetDefaultDllDirectories needs Windows 8 or an update of Windows 7; without it, SetDllDirectoryA("")
// at least takes the current folder out of the search.
void RestrictDllSearch() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryAProc = BOOL(WINAPI*)(LPCSTR);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    const auto setDirectory = reinterpret_cast<SetDllDirectoryAProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory) setDirectory("");
}

// The main form goes last: destroying it frees the catalogue and may ask to restart Windows, which
// must come after every other window has gone.
void DestroyForms() {
    TForm* pages[] = {frmWelcome, frmContactInfo, frmDestination, frmProgress,
                      frmReadyToInstall, frmSelection, frmSuccess};
    // Destroy() runs each form's FormDestroy while the form is still whole; a destructor could not.
    for (TForm* page : pages) {
        if (page) page->Destroy();
        delete page;
    }
    frmWelcome = nullptr, frmContactInfo = nullptr, frmDestination = nullptr, frmProgress = nullptr;
    frmReadyToInstall = nullptr, frmSelection = nullptr, frmSuccess = nullptr;
    if (frmMain) frmMain->Destroy();
    delete frmMain;
    frmMain = nullptr;
}

// One wizard at a time in a Windows session: a second start (a double click that seemed to do
// nothing) brings the running wizard to the front instead. The mutex lives until the process ends.
bool AnotherWizardRuns() {
    const HANDLE running = CreateMutexA(nullptr, FALSE, "Local\\Tarnwick Setup Wizard");
    return running && GetLastError() == ERROR_ALREADY_EXISTS;
}

BOOL CALLBACK CollectShownWindow(HWND window, LPARAM found) {
    RECT r;
    // The hidden main form sits out of sight; a page or a message box of it is on the desktop.
    if (IsWindowVisible(window) && GetWindowRect(window, &r) && r.right > 0 && r.bottom > 0) {
        HWND& best = *reinterpret_cast<HWND*>(found);
        // A message box disables its page: the window that takes input is the one to show.
        if (!best || (IsWindowEnabled(window) && !IsWindowEnabled(best))) best = window;
    }
    return TRUE;
}

void BringRunningWizardToFront() {
    const HWND main = FindWindowA("TfrmMain", nullptr);
    if (!main) return;
    HWND shown = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), CollectShownWindow, reinterpret_cast<LPARAM>(&shown));
    if (shown) SetForegroundWindow(shown);
}

void LogError(const char* message) { LogLine(std::string("Error: ") + message); }

// The command line's choices, once the configuration is loaded: the components and the folder. A
// value that cannot be used ends the wizard before anything is installed, with the reason shown
// (in the wizard) or logged (unattended).
void ApplyChoices(const CommandLineSwitches& switches) {
    std::string problem = switches.Problem;
    if (problem.empty() && switches.ComponentsGiven) {
        // A removal removes what is named, required components too.
        for (const std::string& name : SelectComponentsByName(switches.Components, !switches.Uninstall))
            problem += (problem.empty() ? "COMPONENTS= names no section of the configuration file: " : ", ") + name;
    }
    if (problem.empty() && switches.InstallDirGiven) {
        const std::string root = DriveOf(switches.InstallDir) + "\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) {
            problem = "INSTALLDIR=" + switches.InstallDir + " is on a drive that does not exist (" + root + ").";
        } else {
            WizardSettings.SetInstallFolder(switches.InstallDir);
        }
    }
    if (problem.empty()) return;
    LogLine(problem);
    if (!WizardSettings.Unattended) Application::ShowError(problem.c_str());
    StopBeforeInstalling(ExitCodes::InvalidSwitch);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    InstallRunGuard();
    const CommandLineSwitches switches = ParseSwitches(ArgumentText(GetCommandLineA()));
    WizardRunMode = switches.Mode;
    WizardSettings.Unattended = switches.Mode != RunMode::Wizard;
    WizardSettings.Removing = switches.Uninstall;
    std::string logProblem;
    if (switches.LogRequested && !switches.LogFile.empty() && !OpenRunLog(switches.LogFile, logProblem))
        logProblem = "/log " + switches.LogFile + ": " + logProblem;
    LogLine(std::string("Tarnwick Setup Wizard ") + TARNWICK_VERSION_TEXT);
    LogLine(std::string("Command line: ") + GetCommandLineA());
    LogLine(std::string("Mode: ") +
            (switches.Mode == RunMode::Quiet ? "quiet" : switches.Mode == RunMode::Passive ? "passive" : "wizard") +
            (switches.Uninstall ? ", removal" : ""));
    if (AnotherWizardRuns()) {
        // A deployment system must not read "installed" from a run that did nothing.
        const int exitCode = WizardSettings.Unattended ? ExitCodes::InstallerBusy : 0;
        LogLine("Another Tarnwick Setup Wizard is running; exit code " + std::to_string(exitCode));
        CloseRunLog();
        if (!WizardSettings.Unattended) BringRunningWizardToFront();
        return exitCode;
    }
    if (WizardSettings.Unattended) Application::SetErrorReporter(LogError);
    Application::Initialize(instance);
    Application::SetTitle("Tarnwick Setup Wizard");
    if (CreateForm(frmMain)) {  // first: the application's main window; loads the configuration
        if (switches.DeferRestart) WizardSettings.DeferRestart = true;
        if (switches.RestartRequired) WizardSettings.RestartRequired = true;
        // With /log the installer's own logs are written too, as with the ready page's box ticked.
        if (switches.LogRequested) WizardSettings.LoggingEnabled = true;
        if (!Application::Terminated()) {
            CommandLineSwitches checked = switches;
            if (!logProblem.empty() && checked.Problem.empty()) checked.Problem = logProblem;
            ApplyChoices(checked);
        }
        Application::Run(*frmMain);
    } else if (WizardSettings.Unattended) {
        StopBeforeInstalling(ExitCodes::Failed);
    }
    const int exitCode = WizardExitCode();
    LogLine(std::string("Restart required: ") + (WizardSettings.RestartRequired ? "yes" : "no") +
            (WizardSettings.RestartRequired && WizardSettings.DeferRestart ? " (left to the caller)" : ""));
    LogLine("Exit code: " + std::to_string(exitCode));
    CloseRunLog();
    DestroyForms();
    Look::Release();
    return exitCode;
}
