#include "app/Main.h"

#include <string>

#include "BuildConfig.h"
#include "installmanager/Configuration.h"
#include "installmanager/Installation.h"
#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"
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

int WizardExitCode() {
    constexpr int RestartDeferredExitCode = 13000;
    return WizardSettings.DeferRestart && WizardSettings.RestartRequired ? RestartDeferredExitCode : 0;
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
        std::string text = std::string(MessageTexts::ConfigurationFileError) + TARNWICK_SUPPORT_EMAIL;
        Ask(text.c_str(), MessageTexts::Error, MB_OK | MB_ICONERROR);
        Application::Terminate();
    }
}

void TfrmMain::FormShow() {
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
