#pragma once
// The installation run: installs the selected components one after another, packages through Windows
// Installer with InstallerUIHandler in place of its windows, setup programs as child processes.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

// Every Windows Installer and process call the run makes; the real functions by default, recorders in
// tests. The Windows Installer entries of the real table are null until BindWindowsInstaller fills
// them: msi.dll is not a Known DLL, so it is never imported statically (see SystemLibrary.h).
struct TInstallerCalls {
    INSTALLUILEVEL(WINAPI* MsiSetInternalUI)(INSTALLUILEVEL level, HWND* window);
    INSTALLUI_HANDLERA(WINAPI* MsiSetExternalUIA)(INSTALLUI_HANDLERA handler, DWORD filter, LPVOID context);
    UINT(WINAPI* MsiEnableLogA)(DWORD mode, LPCSTR logFile, DWORD attributes);
    UINT(WINAPI* MsiOpenDatabaseA)(LPCSTR path, LPCSTR persist, MSIHANDLE* database);
    UINT(WINAPI* MsiDatabaseOpenViewA)(MSIHANDLE database, LPCSTR query, MSIHANDLE* view);
    UINT(WINAPI* MsiViewExecute)(MSIHANDLE view, MSIHANDLE parameters);
    UINT(WINAPI* MsiViewFetch)(MSIHANDLE view, MSIHANDLE* record);
    UINT(WINAPI* MsiRecordGetStringA)(MSIHANDLE record, UINT field, LPSTR buffer, DWORD* length);
    INSTALLSTATE(WINAPI* MsiQueryProductStateA)(LPCSTR productCode);
    UINT(WINAPI* MsiCloseHandle)(MSIHANDLE handle);
    UINT(WINAPI* MsiInstallProductA)(LPCSTR packagePath, LPCSTR commandLine);

    BOOL(WINAPI* CreateProcessA)(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                 LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                 LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info);
    BOOL(WINAPI* PeekMessageA)(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
    LRESULT(WINAPI* DispatchMessageA)(const MSG* message);
    void(WINAPI* PostQuitMessage)(int exitCode);
    DWORD(WINAPI* MsgWaitForMultipleObjects)(DWORD count, const HANDLE* handles, BOOL waitAll,
                                             DWORD milliseconds, DWORD wakeMask);
    BOOL(WINAPI* GetExitCodeProcess)(HANDLE process, LPDWORD exitCode);
    BOOL(WINAPI* CloseHandle)(HANDLE handle);

    // Whether another installation holds Windows Installer, and the clock of the wait for it.
    HANDLE(WINAPI* OpenMutexA)(DWORD access, BOOL inherit, LPCSTR name);
    DWORD(WINAPI* WaitForSingleObject)(HANDLE handle, DWORD milliseconds);
    BOOL(WINAPI* ReleaseMutex)(HANDLE mutex);
    DWORD(WINAPI* GetTickCount)();

    // The removal ("/uninstall"); bound with the other Windows Installer entries.
    UINT(WINAPI* MsiConfigureProductExA)(LPCSTR productCode, int level, INSTALLSTATE state, LPCSTR commandLine);
};
extern TInstallerCalls InstallerCalls;
void RestoreInstallerCalls();

// Fills the Windows Installer entries of `calls` from msi.dll in the system folder, which then stays
// loaded for the rest of the process. All or nothing: false, with `calls` unchanged, when the library
// or any one entry point is missing.
bool BindWindowsInstaller(TInstallerCalls& calls);

// The values the run passes to Windows Installer.
constexpr INSTALLUILEVEL InstallUILevel = static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_NONE | INSTALLUILEVEL_SOURCERESONLY);
constexpr DWORD ExternalUIFilter = 0x7FDF;  // every kind from FATALEXIT to SHOWDIALOG but FILESINUSE
constexpr DWORD LogMode = 0x1FDF;           // errors to actions, common data, property dump, verbose
constexpr const char* ProductCodeQuery = "SELECT `Value` FROM `Property` WHERE `Property`='ProductCode'";
constexpr DWORD ProductCodeLength = 40;     // a product code in braces has 38 characters

// Windows Installer holds this mutex while it runs an installation (documented for exactly this test).
constexpr const char* InstallerMutexName = "Global\\_MSIExecute";
constexpr const char* InstallerBusyText = "Waiting for another installation to finish...";
constexpr DWORD InstallerBusyRetryMs = 2000;        // how often the run looks again
constexpr DWORD InstallerBusyLimitMs = 10 * 60000;  // as long as a person would wait, visibly

// What opening a package as an installer database finds.
enum class PackageCheck {
    Product,        // a database with a product code
    NotADatabase,   // it does not open as an installer database (not there, not a package, damaged)
    NoProductCode,  // a database that describes no product (no Property table, no ProductCode, or
                    // a value that is no product code in braces)
};
// Opens the package read-only and reads its ProductCode into `productCode`; with `state`, also asks
// Windows Installer whether that product is on the machine, before the handles are closed (database,
// view, record, each once). Needs the Windows Installer entries of InstallerCalls.
PackageCheck CheckPackage(const std::string& packagePath, std::string& productCode, INSTALLSTATE* state = nullptr);

// True while another installation holds Windows Installer: its mutex exists and is owned. The test
// takes the mutex for no longer than the test itself when it is free.
bool InstallerBusy();

// Installs every selected catalogue entry in catalogue order and records the outcome in its Succeeded
// field, and for a failure its FailureReason; sets WizardSettings.RestartRequired when an
// installation asks for a restart. Once CancelRequested is set, every later entry is marked failed
// without being started. Before each package, and again when one returns 1618, it waits while another
// installation holds Windows Installer (up to InstallerBusyLimitMs, then the package fails with 1618).
// Binds Windows Installer first when the table lacks it; without it every package fails and programs
// still run. Writes the progress page through CurrentProgressDisplay() and each outcome to the log.
void RunInstallation();

// Removes every selected entry, in the reverse of catalogue order, with the same progress display,
// installer message handler, busy-installer wait and failure reasons as RunInstallation: a package's
// product (its code read from the staged package) through MsiConfigureProductExA with
// INSTALLSTATE_ABSENT and REBOOT=ReallySuppress, a product that is not on the machine counting as
// removed; a setup program started with its UninstallArguments (8 and 3010 mean a restart), one
// without them failing. Required plays no part. Deletes the staged copies, then SetupFiles, Logs and
// the install folder when they are empty.
void RunRemoval();

// The entry whose turn it is in RunInstallation or RunRemoval (what a run that breaks off was doing);
// null outside them.
struct TSetupComponent;
const TSetupComponent* ComponentBeingInstalled();
