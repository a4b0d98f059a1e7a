// The entry point: creates the main form, reads the switches, runs the message loop (the hidden main
// form creates and drives the pages) and ends with 13000 when a restart is due and left to the caller.
#include <windows.h>

#include "app/CommandLine.h"
#include "app/Main.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    Application::Initialize(instance);
    Application::SetTitle("Tarnwick Setup Wizard");
    if (CreateForm(frmMain)) {  // first: the application's main window; loads the configuration
        CommandLineSwitches switches = ParseSwitches(ArgumentText(GetCommandLineA()));
        if (switches.DeferRestart) WizardSettings.DeferRestart = true;
        if (switches.RestartRequired) WizardSettings.RestartRequired = true;
        Application::Run(*frmMain);
    }
    const int exitCode = WizardExitCode();
    DestroyForms();
    Look::Release();
    return exitCode;
}
