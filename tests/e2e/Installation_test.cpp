// Real installations under Wine: packages built with wixl, installed through msi.dll by the wizard,
// setup-program stubs started as child processes, and what the progress and summary pages show.
#include "WizardSession.h"

#include <shlwapi.h>

#include <fstream>

using namespace driver;

namespace {

// The test packages record the properties they were given under this key (see tests/fixtures).
std::string PackageProperty(const std::string& package, const char* name) {
    std::string key = "Software\\Tarnwick Tests\\Tarnwick Test " + package;
    char value[1024] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return "<absent>";
    }
    return value;
}

void ForgetPackageProperties() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests");
}

const char* const CancelQuestion =
    "Are you sure you want to cancel the installation process?\n\n"
    "Note that products already installed will not be uninstalled.";

struct SummaryRow {
    std::string description, outcome;
    int picture;
    bool operator==(const SummaryRow& o) const {
        return description == o.description && outcome == o.outcome && picture == o.picture;
    }
};

std::ostream& operator<<(std::ostream& out, const SummaryRow& row) {
    return out << "{" << row.description << ", " << row.outcome << ", picture " << row.picture << "}";
}

class Installation : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        ForgetPackageProperties();
    }

    // The summary page's rows once it shows.
    std::vector<SummaryRow> SummaryRows(HWND summary) {
        HWND list = At(summary, 136, 184);  // 8, 16 on the group box
        std::vector<SummaryRow> rows;
        for (int row = 0; row < ListRowCount(list); ++row) {
            rows.push_back({ListCell(list, row, 0), ListCell(list, row, 1), ListImage(list, row)});
        }
        return rows;
    }

    // Ticks the log box on the ready page when asked, presses Install, and returns the summary page.
    HWND InstallFromReadyPage(HWND ready, bool logging) {
        if (logging) {
            HWND logBox = At(ready, 128, 272);
            Click(logBox);
            EXPECT_TRUE(WaitUntil([&] { return CheckState(logBox) == BST_CHECKED; }));
        }
        Press(ready, "&Install");
        HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
        EXPECT_NE(summary, nullptr) << "the installation did not reach the summary page";
        return summary;
    }

    // A run of a slow package (five seconds of progress reports, whatever the machine's speed), a small
    // one and a program; returns the progress page once the slow package is being installed, or null.
    HWND StartSlowRun() {
        WriteIni(
            "[Slow]\r\nComponentDescription=Slow\r\nFileName=slow.msi\r\n"
            "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\n"
            "[Tool]\r\nComponentDescription=Tool\r\nFileName=tool.exe\r\nFileIsExe=1\r\n");
        AddSetupFile("slow.msi", "slow.msi");
        AddSetupFile("alpha.msi", "core.msi");
        AddSetupFile("setup-stub.exe", "tool.exe");
        Start();
        Press(GoToReadyPage(), "&Install");
        HWND progress = Page("TfrmProgress");
        bool installing = progress && WaitUntil([&] { return TextOf(At(progress, 128, 232)) == "Installing Slow..."; });
        return installing ? progress : nullptr;
    }

    void Finish(HWND summary, DWORD expectedExitCode) {
        ASSERT_TRUE(BringToFront(summary));
        PressKey(VK_RETURN);
        EXPECT_EQ(ExitCode(), expectedExitCode);
    }
};

TEST_F(Installation, PackagesAndProgramsInstallAndTheSummaryShowsEachOutcome) {
    // The copy that scripts/sign.sh signed (the product_signing test): a signature must not stop it.
    UseWizard("signed/TarnwickSetup.exe");
    WriteIni(
        "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n"
        "[Charts]\r\nComponentDescription=Charting\r\nFileName=charts.msi\r\n"
        "[Samples]\r\nComponentDescription=Demo Pack\r\nFileName=samples-exit1.exe\r\nFileIsExe=1\r\n"
        "SetupFileSubFolder=1\r\n"
        "[Docs]\r\nComponentDescription=Documentation\r\nFileName=docs.msi\r\n"
        "[Extras]\r\nComponentDescription=Extras\r\nFileName=extras.msi\r\n");
    AddSetupFile("alpha.msi", "core.msi");
    AddSetupFile("launch-fails.msi", "charts.msi");
    AddSetupFile("setup-stub-exit1.exe", "samples-exit1.exe");
    AddSetupFile("beta.msi", "extras.msi");
    // docs.msi is missing on purpose.
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    SetListTick(list, 4, false);
    ASSERT_TRUE(WaitUntil([&] { return !ListTicked(list, 4); }));
    Press(selection, "&Next >");
    HWND destination = Page("TfrmDestination");
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    Press(Page("TfrmContactInfo"), "&Next >");
    HWND summary = InstallFromReadyPage(Page("TfrmReadyToInstall"), true);
    Screenshot(summary, "7-summary");

    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Tarnwick Core", "Succeeded", 0},
                                                             {"Charting", "Failed", 1},
                                                             {"Demo Pack", "Succeeded", 0},
                                                             {"Documentation", "Failed", 1}}));
    // The package went into the chosen folder, with the properties the wizard passes.
    EXPECT_TRUE(FileExists(installFolder + "\\alpha.txt"));
    EXPECT_EQ(PackageProperty("alpha", "INSTALLDIR").rfind(installFolder, 0), 0u);
    EXPECT_EQ(PackageProperty("alpha", "TWK_CAME_LAUNCHER"), "1");
    EXPECT_EQ(PackageProperty("alpha", "REBOOT"), "ReallySuppress");
    EXPECT_EQ(PackageProperty("alpha", "REINSTALL"), "");
    // Staged copies of the selected setup files only, one in its own sub-folder.
    std::string staging = installFolder + "\\SetupFiles";
    EXPECT_TRUE(FileExists(staging + "\\core.msi"));
    EXPECT_TRUE(FileExists(staging + "\\charts.msi"));
    EXPECT_TRUE(FileExists(staging + "\\Demo Pack\\samples-exit1.exe"));
    EXPECT_FALSE(FileExists(staging + "\\extras.msi"));
    EXPECT_FALSE(FileExists(installFolder + "\\beta.txt"));
    // The program was started from its staged copy, its path quoted, with -r; exit code 1 still
    // counts as installed.
    EXPECT_EQ(ReadWholeFile(staging + "\\Demo Pack\\stub-calls.txt"),
              "\"" + staging + "\\Demo Pack\\samples-exit1.exe\" -r\r\n");
    // One log per package that was started.
    EXPECT_TRUE(FileExists(installFolder + "\\Logs\\Tarnwick Core.log"));
    EXPECT_TRUE(FileExists(installFolder + "\\Logs\\Charting.log"));
    EXPECT_FALSE(FileExists(installFolder + "\\Logs\\Demo Pack.log"));
    Finish(summary, 0);
}

TEST_F(Installation, ASecondRunReinstallsAndAppendsToTheLog) {
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\n");
    AddSetupFile("alpha.msi", "core.msi");
    std::string log = installFolder + "\\Logs\\Tarnwick Core.log";

    Start();
    HWND summary = InstallFromReadyPage(GoToReadyPage(), true);
    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Tarnwick Core", "Succeeded", 0}}));
    Finish(summary, 0);
    std::string firstLog = ReadWholeFile(log);
    ASSERT_FALSE(firstLog.empty());
    EXPECT_EQ(PackageProperty("alpha", "REINSTALL"), "");

    // Whatever the installer writes, an earlier run's lines must survive the next one.
    const std::string marker = "=== lines of an earlier run that must survive ===\r\n";
    {
        std::ofstream out(log, std::ios::binary | std::ios::app);
        out << marker;
    }
    ForgetPackageProperties();
    Start();
    summary = InstallFromReadyPage(GoToReadyPage(), true);
    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Tarnwick Core", "Succeeded", 0}}));
    Finish(summary, 0);
    EXPECT_EQ(PackageProperty("alpha", "REINSTALL"), "ALL");
    EXPECT_EQ(PackageProperty("alpha", "REINSTALLMODE"), "vomus");
    std::string secondLog = ReadWholeFile(log);
    EXPECT_GE(secondLog.size(), firstLog.size() + marker.size());
    EXPECT_NE(secondLog.find(marker), std::string::npos) << "the log was replaced, not appended";
}

TEST_F(Installation, ARestartRequestWithDeferEndsWith13000) {
    struct Case { const char* fixture; const char* file; const char* isExe; };
    for (const Case& c : {Case{"reboot.msi", "reboot.msi", "0"}, Case{"setup-stub-exit8.exe", "tool-exit8.exe", "1"}}) {
        WriteIni(std::string("[R]\r\nComponentDescription=Needs Restart\r\nFileName=") + c.file +
                 "\r\nFileIsExe=" + c.isExe + "\r\n");
        AddSetupFile(c.fixture, c.file);
        Start("-d");
        HWND summary = InstallFromReadyPage(GoToReadyPage(), false);
        EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Needs Restart", "Succeeded", 0}})) << c.fixture;
        Finish(summary, 13000);
    }
}

TEST_F(Installation, ACancelConfirmedDuringAPackageSkipsEveryLaterComponent) {
    HWND progress = StartSlowRun();
    ASSERT_NE(progress, nullptr);
    // The page answers while the package installs, and its Cancel asks first.
    DWORD_PTR ignored;
    EXPECT_NE(SendMessageTimeoutA(progress, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored), 0);
    EXPECT_FALSE(IsEnabled(ChildButton(progress, "< &Back")));
    EXPECT_FALSE(IsEnabled(ChildButton(progress, "&Next >")));
    Press(progress, "&Cancel");
    Answer("Confirm", CancelQuestion, IDYES);
    // After the answer: a screenshot repaints the whole page through the wizard's queue, which the page
    // handles once a frame, and would otherwise hold up the Cancel.
    Screenshot(progress, "6-progress");
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    ASSERT_NE(summary, nullptr);
    std::vector<SummaryRow> rows = SummaryRows(summary);
    ASSERT_EQ(rows.size(), 3u);
    // Windows stops the running package when the handler answers Cancel; Wine's msi.dll ignores
    // the answer and completes it, so only the later components are certain to have failed.
    EXPECT_EQ(rows[0].description, "Slow");
    EXPECT_EQ(rows[1], (SummaryRow{"Tarnwick Core", "Failed", 1}));
    EXPECT_EQ(rows[2], (SummaryRow{"Tool", "Failed", 1}));
    EXPECT_FALSE(FileExists(installFolder + "\\alpha.txt"));
    EXPECT_FALSE(FileExists(installFolder + "\\SetupFiles\\stub-calls.txt"));
    Finish(summary, 0);
}

TEST_F(Installation, NoToALaterCancelQuestionTakesTheCancelBack) {
    HWND progress = StartSlowRun();
    ASSERT_NE(progress, nullptr);
    Press(progress, "&Cancel");
    Answer("Confirm", CancelQuestion, IDYES);
    Press(progress, "&Cancel");
    Answer("Confirm", CancelQuestion, IDNO);
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    ASSERT_NE(summary, nullptr);
    std::vector<SummaryRow> rows = SummaryRows(summary);
    ASSERT_EQ(rows.size(), 3u);
    // The components after the package were installed after all.
    EXPECT_EQ(rows[1], (SummaryRow{"Tarnwick Core", "Succeeded", 0}));
    EXPECT_EQ(rows[2], (SummaryRow{"Tool", "Succeeded", 0}));
    EXPECT_TRUE(FileExists(installFolder + "\\alpha.txt"));
    EXPECT_TRUE(FileExists(installFolder + "\\SetupFiles\\stub-calls.txt"));
    Finish(summary, 0);
}

TEST_F(Installation, TheProgressPageStaysResponsiveWhileASetupProgramRuns) {
    WriteIni("[Slow]\r\nComponentDescription=Slow Tool\r\nFileName=slow-sleep3000.exe\r\nFileIsExe=1\r\n");
    AddSetupFile("setup-stub-sleep3000.exe", "slow-sleep3000.exe");
    Start();
    Press(GoToReadyPage(), "&Install");
    HWND progress = Page("TfrmProgress");
    std::string calls = installFolder + "\\SetupFiles\\stub-calls.txt";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(calls); }));
    EXPECT_EQ(TextOf(At(progress, 128, 232)), "Installing Slow Tool...");
    HWND cancel = ChildButton(progress, "&Cancel");
    EXPECT_FALSE(IsEnabled(cancel));
    DWORD_PTR ignored;
    EXPECT_NE(SendMessageTimeoutA(progress, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0);
    // Neither a click nor Esc asks anything while the program runs.
    Click(cancel);
    ASSERT_TRUE(BringToFront(progress));
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(WaitUntil([&] { return FindAnyMessageBox(wizard.Id()) != nullptr; }, 500));
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 30000);
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Slow Tool", "Succeeded", 0}}));
    // Esc on the summary page is Finish.
    ASSERT_TRUE(BringToFront(summary));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitCode(), 0u);
}

// The reason of a failed row, as the keyboard reaches it: the row's tip while the list has the focus
// (a tip other than `before`, the previous row's).
std::string RowReason(DWORD processId, HWND list, int row, const std::string& before = "") {
    Focus(list);
    SelectListRow(list, row);
    std::string reason;
    WaitUntil([&] {
        HWND tip = FindWindowOf(processId, "tooltips_class32");
        reason = tip ? TextOf(tip) : "";
        return !reason.empty() && reason != before && ListSelected(list, row);
    });
    return reason;
}

TEST_F(Installation, TheSummaryTellsWhyEachComponentFailed) {
    WriteIni(
        "[Charts]\r\nComponentDescription=Charting\r\nFileName=charts.msi\r\n"
        "[Docs]\r\nComponentDescription=Documentation\r\nFileName=docs.msi\r\n"
        "[Crash]\r\nComponentDescription=Crash\r\nFileName=tool-crash.exe\r\nFileIsExe=1\r\n"
        "[Corrupt]\r\nComponentDescription=Corrupt\r\nFileName=corrupt.msi\r\n"
        "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\n");
    AddSetupFile("launch-fails.msi", "charts.msi");
    AddSetupFile("setup-stub-crash.exe", "tool-crash.exe");
    AddSetupFile("alpha.msi", "core.msi");
    {
        std::ofstream corrupt(dist + "\\corrupt.msi", std::ios::binary);
        corrupt << "not a Windows Installer package";
    }
    Start();
    HWND summary = InstallFromReadyPage(GoToReadyPage(), true);
    ASSERT_NE(summary, nullptr);
    HWND list = At(summary, 136, 184);
    const std::vector<std::vector<std::string>> reasons = {
        {"Windows Installer ended with 1603", installFolder + "\\Logs\\Charting.log"},
        {"docs.msi is missing"},
        {"stopped unexpectedly", "0xC0000005"},
        {"corrupt.msi does not open as a Windows Installer"},  // 1620, never handed to the installer
    };
    std::string reason;
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(ListCell(list, row, 0));
        EXPECT_EQ(ListCell(list, row, 1), "Failed") << "the row still says only Failed";
        reason = RowReason(wizard.Id(), list, row, reason);
        if (row == 0) Screenshot(summary, "7b-summary-reason");
        for (const std::string& part : reasons[row]) EXPECT_NE(reason.find(part), std::string::npos) << reason;
    }
    // A row that succeeded has no tip.
    SelectListRow(list, 4);
    EXPECT_TRUE(WaitUntil([&] { return FindWindowOf(wizard.Id(), "tooltips_class32") == nullptr; }));
    Finish(summary, 0);
}

// Another installation holds Windows Installer's mutex (as the installer service does on Windows): the
// package waits, visibly, and installs once it is free; Cancel during the wait skips it.
TEST_F(Installation, AnInstallationWaitsWhileAnotherHoldsWindowsInstaller) {
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\n");
    AddSetupFile("alpha.msi", "core.msi");
    const HANDLE busy = CreateMutexA(nullptr, TRUE, "Global\\_MSIExecute");
    ASSERT_NE(busy, nullptr);
    const char* const waiting = "Waiting for another installation to finish...";

    Start();
    Press(GoToReadyPage(), "&Install");
    HWND progress = Page("TfrmProgress");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(At(progress, 128, 256)) == waiting; }));
    Sleep(2500);  // more than one look at the mutex
    DWORD_PTR ignored;
    EXPECT_NE(SendMessageTimeoutA(progress, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0);
    EXPECT_FALSE(FileExists(installFolder + "\\alpha.txt"));
    EXPECT_EQ(TextOf(At(progress, 128, 232)), "Installing Tarnwick Core...");
    ReleaseMutex(busy);
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 60000);
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Tarnwick Core", "Succeeded", 0}}));
    EXPECT_TRUE(FileExists(installFolder + "\\alpha.txt"));
    Finish(summary, 0);

    ASSERT_EQ(WaitForSingleObject(busy, 0), WAIT_OBJECT_0);  // held again
    UninstallTestProducts();
    Start();
    Press(GoToReadyPage(), "&Install");
    progress = Page("TfrmProgress");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(At(progress, 128, 256)) == waiting; }));
    Press(progress, "&Cancel");
    Answer("Confirm", CancelQuestion, IDYES);
    summary = WaitForPage(wizard.Id(), "TfrmSuccess", 20000);
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(SummaryRows(summary), (std::vector<SummaryRow>{{"Tarnwick Core", "Failed", 1}}));
    EXPECT_NE(RowReason(wizard.Id(), At(summary, 136, 184), 0).find("cancelled"), std::string::npos);
    Finish(summary, 0);
    ReleaseMutex(busy);
    CloseHandle(busy);
}

}  // namespace
