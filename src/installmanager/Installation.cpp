#include "installmanager/Installation.h"

#include <string>
#include <vector>

#include "installmanager/Configuration.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/InstallCommandLines.h"
#include "installmanager/InstallerMessages.h"
#include "installmanager/PathText.h"
#include "installmanager/ProgressDisplay.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "installmanager/Staging.h"
#include "platform/FileSystem.h"
#include "platform/NameRules.h"
#include "platform/SystemLibrary.h"

namespace {

// Windows Installer is bound when the run starts, not when the wizard does.
const TInstallerCalls RealInstallerCalls = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    ::CreateProcessA, ::PeekMessageA, ::DispatchMessageA, ::PostQuitMessage, ::MsgWaitForMultipleObjects,
    ::GetExitCodeProcess, ::CloseHandle, ::OpenMutexA, ::WaitForSingleObject, ::ReleaseMutex, ::GetTickCount,
    nullptr,
};

constexpr UINT InstallSucceeded = ERROR_SUCCESS;
constexpr UINT InstallSucceededRestartNeeded = 3010;  // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr DWORD SetupProgramRestartNeeded = 8;

// Windows ends a program that an exception brought down with the exception's status code, whose
// top four bits are 0xC (error severity).
bool EndedByException(DWORD exitCode) { return (exitCode & 0xF0000000u) == 0xC0000000u; }

void Fail(TSetupComponent& component, const std::string& reason) {
    component.Succeeded = false;
    component.FailureReason = reason;
}

// The outcome line of the log, for every selected component.
void LogOutcome(const TSetupComponent& component) {
    LogLine("[" + component.SectionName + "] " +
            (component.Succeeded ? (WizardSettings.Removing ? "Removed" : "Succeeded") : "Failed: " + component.FailureReason));
}

const TSetupComponent* componentBeingInstalled = nullptr;

#ifdef TARNWICK_TEST_SEAMS
// The end-to-end tests break a run off in the middle, as a fault in a DLL we call would: the test
// build reads "<section>:access-violation" or "<section>:stack-overflow" from the tests' key.
int Recurse(volatile int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    int (*volatile self)(volatile int) = Recurse;
    return self(depth + 1) + frame[0];
}

void RaiseTestFault(const std::string& section) {
    char fault[128] = "";
    DWORD size = sizeof fault - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const LONG read = RegQueryValueExA(key, "Fault", nullptr, nullptr, reinterpret_cast<BYTE*>(fault), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return;
    const std::string asked = fault;
    if (asked == section + ":access-violation") RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    if (asked == section + ":stack-overflow") Recurse(0);
}
#endif

enum class BusyWait { Free, Cancelled, TimedOut };

// When a component's first wait began: all its waits share one limit.
struct InstallerWait {
    bool began = false;
    DWORD since = 0;
};

// Waits while another installation holds Windows Installer, looking again every couple of seconds;
// `knownBusy` when the installer has just said so itself (then it waits at least once, mutex or
// not). The page keeps drawing and answering, and its Cancel works as during a package.
BusyWait WaitWhileInstallerBusy(bool knownBusy, InstallerWait& wait) {
    if (!knownBusy && !InstallerBusy()) return BusyWait::Free;
    const TInstallerCalls& calls = InstallerCalls;
    ProgressDisplay& display = CurrentProgressDisplay();
    if (!wait.began) {
        wait = {true, calls.GetTickCount()};
        LogLine("Another installation holds Windows Installer: waiting for it to finish");
    }
    const DWORD since = wait.since;
    display.ShowCancel(true);
    display.SetAction(InstallerBusyText);
    display.SetActionDetail(std::string());
    for (;;) {
        const DWORD pauseStart = calls.GetTickCount();
        do {
            display.ProcessMessages();
            if (WizardSettings.CancelRequested) return BusyWait::Cancelled;
            if (calls.GetTickCount() - since >= InstallerBusyLimitMs) return BusyWait::TimedOut;
            // Wakes for any message, and at least every 50 ms for the page's frame.
            calls.MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        } while (calls.GetTickCount() - pauseStart < InstallerBusyRetryMs);
        if (!InstallerBusy()) {
            display.SetAction(std::string());
            LogLine("Windows Installer is free again");
            return BusyWait::Free;
        }
    }
}

// A product code as Windows Installer writes it: a GUID in braces.
bool LooksLikeProductCode(const char* code, DWORD length) {
    return length == ProductCodeLength - 2 && code[0] == '{' && code[length - 1] == '}';
}

// Calls the installer once it is free, and again while it says it is busy; false when the user
// cancelled the wait (the component has failed then). Returns when the call ends; InstallerUIHandler
// drives the page meanwhile.
template <typename Call>
bool CallInstaller(TSetupComponent& component, Call call, UINT& result) {
    result = ERROR_INSTALL_ALREADY_RUNNING;
    InstallerWait waiting;
    for (bool busy = false;; busy = true) {
        const BusyWait wait = WaitWhileInstallerBusy(busy, waiting);
        if (wait == BusyWait::Cancelled) {
            Fail(component, FailureReasons::Cancelled());
            return false;
        }
        if (wait == BusyWait::TimedOut) return true;
        result = call();
        if (result != ERROR_INSTALL_ALREADY_RUNNING) return true;
    }
}

// Enables the package's log when logging is on and ready; returns its file ("" when off).
std::string EnablePackageLog(const TSetupComponent& component, bool loggingReady) {
    if (!WizardSettings.LoggingEnabled || !loggingReady) return std::string();
    const std::string logFile = ComponentLogFilePath(WizardSettings.GetLogFolder(), component);
    InstallerCalls.MsiEnableLogA(LogMode, logFile.c_str(), INSTALLLOGATTRIBUTES_APPEND);
    return logFile;
}

// The reason of a package that is no product (or not there) when it was opened: it fails with 1620.
void FailInvalidPackage(TSetupComponent& component, const std::string& packagePath, PackageCheck check) {
    component.ResultCode = ERROR_INSTALL_PACKAGE_INVALID;
    Fail(component, FileExists(packagePath) ? FailureReasons::PackageInvalid(component.FileName, check)
                                            : FailureReasons::SetupFileMissing(component, packagePath));
}

void InstallPackage(TSetupComponent& component, const std::string& installFolder, bool loggingReady) {
    ProgressDisplay& display = CurrentProgressDisplay();
    const std::string logFile = EnablePackageLog(component, loggingReady);
    const std::string packagePath = StagedSetupFilePath(installFolder, component);
    std::string productCode;
    INSTALLSTATE state = INSTALLSTATE_UNKNOWN;
    const PackageCheck check = CheckPackage(packagePath, productCode, &state);
    if (check != PackageCheck::Product) {
        // Never handed to the installer: what it makes of a file that is no product is its own
        // affair (Wine's breaks off the whole process), and the reason here is clearer.
        FailInvalidPackage(component, packagePath, check);
        return;
    }
    const bool onMachine = state == INSTALLSTATE_ADVERTISED || state == INSTALLSTATE_DEFAULT;
    const std::string commandLine = PackageCommandLine(installFolder, onMachine);

    display.BarToMinimum();
    display.SetCurrentProduct("Installing " + component.ComponentDescription + "...");
    UINT result = 0;
    if (!CallInstaller(component, [&] { return InstallerCalls.MsiInstallProductA(packagePath.c_str(), commandLine.c_str()); },
                       result))
        return;
    component.ResultCode = result;
    LogLine("[" + component.SectionName + "] Windows Installer result " + std::to_string(result));
    component.Succeeded = result == InstallSucceeded || result == InstallSucceededRestartNeeded;
    if (result == InstallSucceededRestartNeeded) WizardSettings.RestartRequired = true;
    if (component.Succeeded) return;
    // A package that is not there fails for that reason, whatever the installer makes of the path;
    // one that waited in vain was never handed over.
    const bool missing = result != ERROR_INSTALL_ALREADY_RUNNING && !FileExists(packagePath);
    component.FailureReason = missing ? FailureReasons::SetupFileMissing(component, packagePath)
                                      : FailureReasons::PackageFailed(result, logFile);
}

// Removes the package's product, when it is on the machine; one that is not counts as removed.
void RemovePackage(TSetupComponent& component, const std::string& installFolder, bool loggingReady) {
    const std::string logFile = EnablePackageLog(component, loggingReady);
    const std::string packagePath = StagedSetupFilePath(installFolder, component);
    std::string productCode;
    INSTALLSTATE state = INSTALLSTATE_UNKNOWN;
    const PackageCheck check = CheckPackage(packagePath, productCode, &state);
    if (check != PackageCheck::Product) return FailInvalidPackage(component, packagePath, check);
    if (state != INSTALLSTATE_ADVERTISED && state != INSTALLSTATE_DEFAULT) {
        LogLine("[" + component.SectionName + "] " + productCode + " is not on this computer: nothing to remove");
        component.Succeeded = true;
        return;
    }
    ProgressDisplay& display = CurrentProgressDisplay();
    display.BarToMinimum();
    display.SetCurrentProduct("Removing " + component.ComponentDescription + "...");
    UINT result = 0;
    const auto remove = [&] {
        return InstallerCalls.MsiConfigureProductExA(productCode.c_str(), INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT,
                                                     "REBOOT=ReallySuppress");
    };
    if (!CallInstaller(component, remove, result)) return;
    component.ResultCode = result;
    LogLine("[" + component.SectionName + "] Windows Installer result " + std::to_string(result) + " removing " + productCode);
    // Gone in between (another removal): as removed as it can be.
    component.Succeeded = result == InstallSucceeded || result == InstallSucceededRestartNeeded || result == ERROR_UNKNOWN_PRODUCT;
    if (result == InstallSucceededRestartNeeded) WizardSettings.RestartRequired = true;
    if (!component.Succeeded) component.FailureReason = FailureReasons::PackageFailed(result, logFile);
}

// Keeps dispatching the thread's messages until the process ends. It wakes for every kind of message,
// not just paint: a thread that sleeps through input and sent messages hangs every program that sends
// to its windows (a broadcast, a screen reader) for as long as the setup program runs. A quit request
// ends the wait and is posted again, so the application still ends once the run is over.
void WaitKeepingWindowsAlive(HANDLE process) {
    const TInstallerCalls& calls = InstallerCalls;
    for (;;) {
        MSG message;
        while (calls.PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                calls.PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            calls.DispatchMessageA(&message);
        }
        if (calls.MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) return;
    }
}

// A setup program run to install (" -r") or to remove (its UninstallArguments, where 3010 also asks
// for a restart).
void RunSetupProgram(TSetupComponent& component, const std::string& installFolder) {
    ProgressDisplay& display = CurrentProgressDisplay();
    const TInstallerCalls& calls = InstallerCalls;
    const bool removing = WizardSettings.Removing;
    // A setup program cannot be cancelled from here, so the button must not pretend otherwise.
    display.EnableCancel(false);
    display.BarToMinimum();
    display.SetCurrentProduct((removing ? "Removing " : "Installing ") + component.ComponentDescription + "...");

    const std::string programPath = StagedSetupFilePath(installFolder, component);
    const std::string commandLine = removing ? SetupProgramRemovalCommandLine(programPath, component.UninstallArguments)
                                             : SetupProgramCommandLine(programPath);
    std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
    writableCommandLine.push_back('\0');  // CreateProcessA may write into its command line
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Started in its own folder, not in the wizard's (often a downloads folder): a program that looks
    // for a DLL in its current folder finds none planted there.
    const std::string programFolder = FolderOf(programPath);
    if (calls.CreateProcessA(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             programFolder.c_str(), &startup, &process)) {
        WaitKeepingWindowsAlive(process.hProcess);
        DWORD exitCode = 0;
        if (!calls.GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = 0;
        calls.CloseHandle(process.hProcess);
        calls.CloseHandle(process.hThread);
        component.ResultCode = exitCode;
        const bool restart = exitCode == SetupProgramRestartNeeded || (removing && exitCode == InstallSucceededRestartNeeded);
        LogLine("[" + component.SectionName + "] exit code " + std::to_string(exitCode) + (restart ? " (restart required)" : ""));
        if (restart) WizardSettings.RestartRequired = true;
        // The exit code says nothing else we could judge: a program that ran counts as installed,
        // unless it crashed (an exception code such as 0xC0000005 is its exit code then).
        component.Succeeded = !EndedByException(exitCode);
        if (!component.Succeeded) component.FailureReason = FailureReasons::ProgramCrashed(exitCode);
    } else {
        const DWORD error = GetLastError();
        Fail(component, FileExists(programPath) ? FailureReasons::ProgramNotStarted(error)
                                                : FailureReasons::SetupFileMissing(component, programPath));
    }
    display.BarToMaximum();
    display.EnableCancel(true);
}

}  // namespace

TInstallerCalls InstallerCalls = RealInstallerCalls;

bool InstallerBusy() {
    const TInstallerCalls& calls = InstallerCalls;
    const HANDLE mutex = calls.OpenMutexA(SYNCHRONIZE, FALSE, InstallerMutexName);
    if (!mutex) return false;
    const DWORD state = calls.WaitForSingleObject(mutex, 0);
    if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) calls.ReleaseMutex(mutex);
    calls.CloseHandle(mutex);
    return state == WAIT_TIMEOUT;
}

void RestoreInstallerCalls() { InstallerCalls = RealInstallerCalls; }

PackageCheck CheckPackage(const std::string& packagePath, std::string& productCode, INSTALLSTATE* state) {
    const TInstallerCalls& msi = InstallerCalls;
    MSIHANDLE database = 0, view = 0, record = 0;
    char code[ProductCodeLength] = {};
    DWORD length = ProductCodeLength;
    PackageCheck check = PackageCheck::NotADatabase;
    if (msi.MsiOpenDatabaseA(packagePath.c_str(), MSIDBOPEN_READONLY, &database) == ERROR_SUCCESS) {
        // Each step must succeed for the next: a database without a Property table, without the row
        // or with a value that is no product code describes no product.
        check = PackageCheck::NoProductCode;
        if (msi.MsiDatabaseOpenViewA(database, ProductCodeQuery, &view) == ERROR_SUCCESS &&
            msi.MsiViewExecute(view, 0) == ERROR_SUCCESS && msi.MsiViewFetch(view, &record) == ERROR_SUCCESS &&
            msi.MsiRecordGetStringA(record, 1, code, &length) == ERROR_SUCCESS &&
            LooksLikeProductCode(code, length)) {
            check = PackageCheck::Product;
            productCode.assign(code, length);
            if (state) *state = msi.MsiQueryProductStateA(productCode.c_str());
        }
    }
    // In this order, and each once, opened or not.
    msi.MsiCloseHandle(database);
    msi.MsiCloseHandle(view);
    msi.MsiCloseHandle(record);
    return check;
}

bool BindWindowsInstaller(TInstallerCalls& calls) {
    const HMODULE library = LoadSystemLibrary("msi.dll");
    if (!library) return false;
    TInstallerCalls bound = calls;
    ResolveEntry(library, "MsiSetInternalUI", bound.MsiSetInternalUI);
    ResolveEntry(library, "MsiSetExternalUIA", bound.MsiSetExternalUIA);
    ResolveEntry(library, "MsiEnableLogA", bound.MsiEnableLogA);
    ResolveEntry(library, "MsiOpenDatabaseA", bound.MsiOpenDatabaseA);
    ResolveEntry(library, "MsiDatabaseOpenViewA", bound.MsiDatabaseOpenViewA);
    ResolveEntry(library, "MsiViewExecute", bound.MsiViewExecute);
    ResolveEntry(library, "MsiViewFetch", bound.MsiViewFetch);
    ResolveEntry(library, "MsiRecordGetStringA", bound.MsiRecordGetStringA);
    ResolveEntry(library, "MsiQueryProductStateA", bound.MsiQueryProductStateA);
    ResolveEntry(library, "MsiCloseHandle", bound.MsiCloseHandle);
    ResolveEntry(library, "MsiInstallProductA", bound.MsiInstallProductA);
    ResolveEntry(library, "MsiConfigureProductExA", bound.MsiConfigureProductExA);
    const bool complete = bound.MsiSetInternalUI && bound.MsiSetExternalUIA && bound.MsiEnableLogA &&
                          bound.MsiOpenDatabaseA && bound.MsiDatabaseOpenViewA && bound.MsiViewExecute &&
                          bound.MsiViewFetch && bound.MsiRecordGetStringA && bound.MsiQueryProductStateA &&
                          bound.MsiCloseHandle && bound.MsiInstallProductA && bound.MsiConfigureProductExA;
    if (!complete) {
        FreeSystemLibrary(library);
        return false;
    }
    calls = bound;
    return true;
}

namespace {
// What both runs do first: bind Windows Installer and hand its messages to our handler; make the log
// folder when logging is on. Returns whether Windows Installer is there.
bool PrepareRun(bool& loggingReady) {
    const bool installerBound = InstallerCalls.MsiInstallProductA || BindWindowsInstaller(InstallerCalls);
    if (installerBound) {
        // Once per run and never undone: the installer shows only its source prompts and reports the
        // rest to our handler.
        InstallerCalls.MsiSetInternalUI(InstallUILevel, nullptr);
        InstallerCalls.MsiSetExternalUIA(InstallerUIHandler, ExternalUIFilter, nullptr);
    }
    loggingReady = false;
    if (WizardSettings.LoggingEnabled) {
        const std::string logFolder = WizardSettings.GetLogFolder();
        // Made like SetupFiles where the run makes it, and held like it: Windows Installer writes into
        // it as SYSTEM. One that is there is written into (the logs go on), but never through a link.
        if (!FolderExists(logFolder) && !CreateProtectedFolder(logFolder)) CreateDirectoryTree(logFolder);
        loggingReady = HoldExistingFolder(logFolder);
        if (!loggingReady && FolderExists(logFolder)) LogLine(logFolder + " is a link or cannot be held: no installer logs");
    }
    return installerBound;
}
}  // namespace

namespace {
// One selected component's turn, installing or removing: what keeps it from starting at all fails it
// with its reason (a cancel, a name with a path, a setup program its INI gives no way of removal, a
// file this run does not hold); otherwise its setup program runs, or its package goes to Windows
// Installer. Its staged file is let go afterwards (and deleted after a removal).
void TakeTurn(TSetupComponent& component, const std::string& installFolder, bool installerBound, bool loggingReady) {
    const bool removing = WizardSettings.Removing;
    const std::string staged = StagedSetupFilePath(installFolder, component);
    LogLine("[" + component.SectionName + "] " + component.ComponentDescription + ": " + (removing ? "removing with " : "") +
            (component.FileIsExe ? "setup program " : "package ") + staged);
    componentBeingInstalled = &component;
#ifdef TARNWICK_TEST_SEAMS
    RaiseTestFault(component.SectionName);
#endif
    if (WizardSettings.CancelRequested) {
        Fail(component, FailureReasons::Cancelled());
    } else if (!IsPlainFileName(component.FileName)) {
        // Never staged: a path in the name would start another file.
        Fail(component, FailureReasons::NotAPlainFileName(component.FileName));
    } else if (removing && component.FileIsExe && component.UninstallArguments.empty()) {
        Fail(component, FailureReasons::CannotBeRemoved(component));
    } else if (!component.StagedFile) {
        // Only what this run wrote and holds is started, never what else lies at that path.
        Fail(component, !component.StagingProblem.empty() ? component.StagingProblem
                                                          : FailureReasons::SetupFileMissing(component, staged));
    } else if (component.FileIsExe) {
        RunSetupProgram(component, installFolder);
    } else if (!installerBound) {
        Fail(component, FailureReasons::InstallerNotAvailable());
    } else if (removing) {
        RemovePackage(component, installFolder, loggingReady);
    } else {
        InstallPackage(component, installFolder, loggingReady);
    }
    componentBeingInstalled = nullptr;
    // What this run staged and held for a removal goes; nothing else is touched (without a held file
    // the path may lead through a folder that is not the one the run made).
    const bool held = component.StagedFile != nullptr;
    ReleaseStagedFile(component.StagedFile);
    if (removing && held) DeleteFileA(staged.c_str());
    LogOutcome(component);
}

void LogNotSelected(const TSetupComponent& component) {
    LogLine("[" + component.SectionName + "] " + component.ComponentDescription + ": not selected");
}
}  // namespace

void RunRemoval() {
    const std::string installFolder = WizardSettings.GetInstallFolder();
    LogLine("Removing from: " + installFolder);
    bool loggingReady = false;
    const bool installerBound = PrepareRun(loggingReady);
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (Component(i).Selected) TakeTurn(Component(i), installFolder, installerBound, loggingReady);
        else LogNotSelected(Component(i));
    }
    ReleaseStagedFiles();
    // The folders the wizard makes, when they are empty now (RemoveDirectory removes no other).
    for (int i = 0; i < ComponentCount(); ++i) {
        const TSetupComponent& component = Component(i);
        if (component.Selected && component.SetupFileSubFolder)
            RemoveDirectoryA(FolderOf(StagedSetupFilePath(installFolder, component)).c_str());
    }
    std::string folder = installFolder;
    EnsureTrailingBackslash(folder);
    RemoveDirectoryA((folder + "SetupFiles").c_str());
    RemoveDirectoryA((folder + "Logs").c_str());
    RemoveDirectoryA(installFolder.c_str());
}

void RunInstallation() {
    const std::string installFolder = WizardSettings.GetInstallFolder();
    LogLine("Install folder: " + installFolder);
    bool loggingReady = false;
    const bool installerBound = PrepareRun(loggingReady);
    for (int i = 0; i < ComponentCount(); ++i) {
        if (Component(i).Selected) TakeTurn(Component(i), installFolder, installerBound, loggingReady);
        else LogNotSelected(Component(i));
    }
    ReleaseStagedFiles();
}

const TSetupComponent* ComponentBeingInstalled() { return componentBeingInstalled; }
