#include "app/Main.h"

#include <string>

#include "BuildConfig.h"
#include "app/ExitCodes.h"
#include "installmanager/Configuration.h"
#include "installmanager/Installation.h"
#include "installmanager/MessageTexts.h"
#include "installmanager/ProgressDisplay.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "installmanager/Staging.h"
#include "installmanager/UsageReport.h"
#include "pages/Contactinfo.h"
#include "pages/Destination.h"
#include "pages/Progress.h"
#include "pages/Readytoinstall.h"
#include "pages/Selection.h"
#include "pages/Success.h"
#include "pages/Welcome.h"
#include "ui/Application.h"
#include "ui/Look.h"

TfrmMain* frmMain;
RunMode WizardRunMode = RunMode::Wizard;

namespace {
int startFailure = 0;
}  // namespace

void StopBeforeInstalling(int exitCode) {
    if (startFailure == 0) startFailure = exitCode;
    Application::Terminate();
}

int WizardExitCode() {
    // A removal ends with the codes of the unattended runs in every mode: its callers read them.
    if (!WizardSettings.Unattended && !WizardSettings.Removing) {
        if (startFailure != 0) return startFailure;
        return WizardSettings.DeferRestart && WizardSettings.RestartRequired ? ExitCodes::RestartDeferred : 0;
    }
    TRunOutcome outcome;
    outcome.StartFailure = startFailure;
    for (int i = 0; i < ComponentCount(); ++i) {
        const TSetupComponent& entry = Component(i);
        if (!entry.Selected || entry.Succeeded) continue;
        outcome.Failed = true;
        outcome.Cancelled = outcome.Cancelled || WizardSettings.CancelRequested;
        outcome.InstallerBusy = outcome.InstallerBusy || (!entry.FileIsExe && entry.ResultCode == ERROR_INSTALL_ALREADY_RUNNING);
    }
    outcome.RestartRequired = WizardSettings.RestartRequired;
    outcome.DeferRestart = WizardSettings.DeferRestart;
    return UnattendedExitCode(outcome);
}

namespace {
// Each page is created when it is first shown: the windows of pages the user has not reached yet
// would stand between the start and the first page on screen (each top-level window is real work).
// A page that Windows refuses ends the wizard (its ShowModal then returns Cancel at once).
template <typename Page>
Page& Created(Page*& page) {
    if (!page && !CreateForm(page)) Application::Terminate();
    return *page;
}
}  // namespace

// The main form's outer size is 297 x 189; with the standard frame that leaves this client area.
TfrmMain::TfrmMain() : TForm(FormLayout{"TfrmMain", FormBorder::Main, 289, 155, false}) {}

void TfrmMain::FormCreate() {
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Look::MainFont(CurrentDpi())), FALSE);
    if (!LoadConfiguration()) {
        // A damaged seal or bundle says so; an INI that is not there is the support address's case.
        const std::string damaged = ConfigurationProblem();
        if (WizardSettings.Unattended) {
            LogLine(damaged.empty() ? "The configuration file " + ConfigurationFileName() + " cannot be opened" : damaged);
            StopBeforeInstalling(ExitCodes::ConfigurationUnreadable);
            return;
        }
        std::string text = damaged.empty() ? std::string(MessageTexts::ConfigurationFileError) + TARNWICK_SUPPORT_EMAIL
                                           : damaged;
        Ask(text.c_str(), MessageTexts::Error, MB_OK | MB_ICONERROR);
        Application::Terminate();
    }
}

void TfrmMain::RunWithoutInputPages() {
    if (Application::Terminated()) return;
    const bool removing = WizardSettings.Removing;
    const bool wizard = WizardRunMode == RunMode::Wizard;
    if (removing && wizard && Ask(MessageTexts::RemoveQuestion, MessageTexts::Confirm, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        LogLine("The removal was not confirmed");
        return StopBeforeInstalling(ExitCodes::Cancelled);
    }
    if (!removing && !HasEnoughDiskSpace()) {
        LogLine(std::string(MessageTexts::NotEnoughDiskSpace) + " (" + WizardSettings.GetInstallFolder() + ")");
        StopBeforeInstalling(ExitCodes::DiskFull);
        return;
    }
    SilentDisplay silent(Application::ProcessMessages);  // no window: only the queue is handled
    const bool progressPage = WizardRunMode != RunMode::Quiet;
    if (progressPage) {
        // Out of sight, as in the wizard: the progress page's owner and the task-bar entry.
        SetWindowPos(hwnd, nullptr, -5000, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        Created(frmProgress);
        if (Application::Terminated()) return StopBeforeInstalling(ExitCodes::Failed);
        frmProgress->CenterOnWorkArea();
        frmProgress->Show();
    } else {
        SetProgressDisplay(&silent);
    }
    CopySetupFiles();
    if (removing) RunRemoval();
    else RunInstallation();
    if (!progressPage) return SetProgressDisplay(nullptr);
    frmProgress->Hide();
    // A person who asked for the removal sees its outcome, each failure with its reason.
    if (wizard) {
        PageLeft = frmProgress->Left();
        PageTop = frmProgress->Top();
        ShowPage(Created(frmSuccess));
    }
}

void TfrmMain::FormShow() {
    if (WizardRunMode != RunMode::Wizard || WizardSettings.Removing) {
        RunWithoutInputPages();
        Close();
        return;
    }
    // Shown out of sight for the whole run: the pages' owner and the wizard's task-bar entry.
    SetWindowPos(hwnd, nullptr, -5000, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PageTop = Created(frmWelcome).Top();
    PageLeft = frmWelcome->Left();
    WizardStep step = WizardStep::Welcome;
    while (step != WizardStep::End) {
        switch (step) {
        case WizardStep::Welcome: step = WelcomeStep(); break;
        case WizardStep::Selection: step = SelectionStep(); break;
        case WizardStep::Destination: step = DestinationStep(); break;
        case WizardStep::ContactInfo: step = ContactInfoStep(); break;
        case WizardStep::Ready: step = ReadyStep(); break;
        case WizardStep::Progress: step = ProgressStep(); break;
        case WizardStep::Summary: step = SummaryStep(); break;
        case WizardStep::End: break;
        }
    }
    Close();
}

void TfrmMain::FormDestroy() { UnloadConfiguration(); }

int TfrmMain::ShowPage(TForm& page) {
    page.SetLeft(PageLeft);
    page.SetTop(PageTop);
    int result = page.ShowModal();
    PageLeft = page.Left();
    PageTop = page.Top();
    return result;
}

WizardStep TfrmMain::WelcomeStep() { return NextStep(WizardStep::Welcome, ShowPage(Created(frmWelcome))); }
WizardStep TfrmMain::SelectionStep() { return NextStep(WizardStep::Selection, ShowPage(Created(frmSelection))); }
WizardStep TfrmMain::DestinationStep() { return NextStep(WizardStep::Destination, ShowPage(Created(frmDestination))); }
WizardStep TfrmMain::ContactInfoStep() { return NextStep(WizardStep::ContactInfo, ShowPage(Created(frmContactInfo))); }
WizardStep TfrmMain::ReadyStep() { return NextStep(WizardStep::Ready, ShowPage(Created(frmReadyToInstall))); }

WizardStep TfrmMain::ProgressStep() {
    Created(frmProgress);
    if (Application::Terminated()) return WizardStep::End;  // no progress page: nothing is installed
    frmProgress->SetLeft(PageLeft);
    frmProgress->SetTop(PageTop);
    frmProgress->Show();
    CopySetupFiles();
    RunInstallation();
    frmProgress->Hide();
    PageLeft = frmProgress->Left();
    PageTop = frmProgress->Top();
    return WizardStep::Summary;
}

WizardStep TfrmMain::SummaryStep() {
    ShowPage(Created(frmSuccess));
    SendUsageReport();  // whatever closed the page
    return WizardStep::End;
}
