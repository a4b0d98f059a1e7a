// Unattended runs as a deployment system starts them: /quiet and /passive with COMPONENTS=,
// INSTALLDIR= and /log, real packages, and the exit code the system reads.
#include <algorithm>
#include <functional>
#include <set>

#include "WizardSession.h"

#include <msi.h>

using namespace driver;

namespace {

class Unattended : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        WriteIni(
            "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n"
            "[Slow]\r\nComponentDescription=Slow\r\nFileName=slow.msi\r\n"
            "[Broken]\r\nComponentDescription=Broken\r\nFileName=broken.msi\r\n"
            "[Extras]\r\nComponentDescription=Extras\r\nFileName=extras.msi\r\n"
            "[Tool]\r\nComponentDescription=Tool\r\nFileName=tool.exe\r\nFileIsExe=1\r\n"
            "[Restart]\r\nComponentDescription=Restart\r\nFileName=restart-exit8.exe\r\nFileIsExe=1\r\n"
            "[ErrorBox]\r\nComponentDescription=Error Box\r\nFileName=errorbox.msi\r\n"
            "[Huge]\r\nComponentDescription=Huge\r\nFileName=huge.msi\r\nSize=999999\r\n"
            "[NoProduct]\r\nComponentDescription=No Product\r\nFileName=noproduct.msi\r\n");
        AddSetupFile("alpha.msi", "core.msi");
        AddSetupFile("launch-fails.msi", "broken.msi");
        AddSetupFile("beta.msi", "extras.msi");
        AddSetupFile("setup-stub.exe", "tool.exe");
        AddSetupFile("setup-stub-exit8.exe", "restart-exit8.exe");
        AddSetupFile("slow.msi", "slow.msi");
        AddSetupFile("alpha.msi", "huge.msi");
        AddSetupFile("errorbox.msi", "errorbox.msi");
        AddSetupFile("noproduct.msi", "noproduct.msi");
        log = root + "\\setup.log";
    }

    // Starts the wizard and, until it ends, records the classes of its windows that were ever visible.
    // `during` runs once, when the progress page shows.
    DWORD RunRecording(const std::string& arguments, std::set<std::string>& shown,
                       const std::function<void(HWND)>& during = nullptr) {
        Start(arguments);
        bool acted = false;
        while (wizard.Running()) {
            for (HWND w : VisibleWindowsOf(wizard.Id())) shown.insert(ClassOf(w));
            if (HWND progress = FindWindowOf(wizard.Id(), "TfrmProgress"); progress && during && !acted) {
                during(progress);
                acted = true;
            }
            Sleep(10);
        }
        return ExitCode(60000);
    }

    void TearDown() override {
        SetTestFault(nullptr);
        WizardSession::TearDown();
    }

    std::string log;
};

TEST_F(Unattended, QuietAndPassiveRunsEndWithTheCodesDeploymentToolsRead) {
    const bool smallDrive = [] {
        ULARGE_INTEGER available, total, free;
        return GetDiskFreeSpaceExA("T:\\", &available, &total, &free) && total.QuadPart <= (64u << 20);
    }();
    struct Row {
        const char* name;
        std::string arguments;  // after INSTALLDIR= and /log, which every row gets
        DWORD exitCode;
        std::vector<const char*> installed;   // payload files in the install folder afterwards
        std::vector<const char*> logLines;    // parts of lines of the wizard's log
        bool staged;                          // the SetupFiles folder was made
        const char* folder = nullptr;         // INSTALLDIR instead of the test's own
        const char* fault = nullptr;          // the test build breaks the run off here ("<section>:<kind>")
    };
    const Row rows[] = {
        {"a subset, quiet", "/quiet COMPONENTS=Extras,tool", 0, {"alpha.txt", "beta.txt"},
         {"Mode: quiet", "[Core] Tarnwick Core: package ", "[Core] Windows Installer result 0", "[Core] Succeeded",
          "[Broken] Broken: not selected", "[Tool] exit code 0", "Restart required: no", "Exit code: 0"},
         true},
        {"a package fails, the later ones still install", "/quiet COMPONENTS=Broken,Extras", 1603,
         {"alpha.txt", "beta.txt"}, {"[Broken] Windows Installer result 1603", "[Broken] Failed: Windows Installer ended with 1603", "[Extras] Succeeded", "Exit code: 1603"},
         true},
        {"the installer's box, answered with its default button", "/quiet COMPONENTS=ErrorBox", 1603, {"alpha.txt"},
         {"Windows Installer message (Error, answered 1): Tarnwick test: this package reports an error.",
          "[ErrorBox] Failed: Windows Installer ended with 1603"},
         true},
        {"a restart is required", "/quiet COMPONENTS=Restart", 3010, {"alpha.txt"},
         {"[Restart] exit code 8 (restart required)", "Restart required: yes", "Exit code: 3010"}, true},
        {"a restart left to the caller", "/quiet -d COMPONENTS=Restart", 13000, {"alpha.txt"},
         {"(left to the caller)", "Exit code: 13000"}, true},
        {"an unknown component", "/quiet COMPONENTS=Extras,Nope", 87, {},
         {"COMPONENTS= names no section of the configuration file: Nope", "Exit code: 87"}, false},
        {"a relative folder", "/quiet", 87, {}, {"INSTALLDIR=Relative\\Folder is not a full path", "Exit code: 87"},
         false, "Relative\\Folder"},
        {"a device name as a folder", "/quiet", 87, {},
         {"INSTALLDIR=C:\\Tools\\NUL.txt has the folder name \"NUL.txt\", which Windows cannot use: Windows reserves "
          "it for a device.", "Exit code: 87"},
         false, "C:\\Tools\\NUL.txt"},
        {"a full disk", "/quiet COMPONENTS=Huge", 112, {}, {"There is not enough disk space", "Exit code: 112"}, false,
         "T:\\Tarnwick"},
        {"passive, cancelled", "/passive COMPONENTS=Slow,Extras", 1602, {"alpha.txt"},
         {"Mode: passive", "[Extras] Failed: Not installed: the installation was cancelled.", "Exit code: 1602"}, true},
        {"a database without a product, then a good package", "/quiet COMPONENTS=NoProduct,Extras", 1603,
         {"alpha.txt", "beta.txt"},
         {"[NoProduct] Failed: The setup file noproduct.msi describes no product (it has no ProductCode): 1620",
          "[Extras] Succeeded", "Exit code: 1603"},
         true},
        {"a fault breaks the run off", "/quiet COMPONENTS=Extras", 1603, {"alpha.txt"},
         {"[Core] Succeeded", "The run broke off in [Extras] Extras: exception 0xC0000005", "Exit code: 1603"}, true,
         nullptr, "Extras:access-violation"},
        {"a stack overflow breaks the run off", "/quiet", 1603, {}, {"The run broke off in [Core]", "Exit code: 1603"},
         true, nullptr, "Core:stack-overflow"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.folder && std::string(row.folder).rfind("T:", 0) == 0 && !smallDrive) continue;
        UninstallTestProducts();
        DeleteFileA(log.c_str());
        SetTestFault(row.fault);
        const std::string folder = row.folder ? row.folder : root + "\\" + row.name;
        const bool passive = row.arguments.find("/passive") != std::string::npos;
        std::set<std::string> shown;
        // Passive: the progress page's Cancel, pressed as soon as the slow package installs, asks nothing.
        const DWORD code = RunRecording(row.arguments + " INSTALLDIR=\"" + folder + "\" /log \"" + log + "\"", shown,
                                        [&](HWND progress) {
                                            if (!passive) return;
                                            WaitUntil([&] { return TextOf(At(progress, 128, 232)) == "Installing Slow..."; });
                                            Screenshot(progress, "6b-passive-progress");
                                            Press(progress, "&Cancel");
                                        });
        EXPECT_EQ(row.exitCode, code);
        // Passive: the progress page and the main form, out of sight as in the wizard; quiet: nothing.
        const std::set<std::string> expectedShown =
            passive ? std::set<std::string>{"TfrmMain", "TfrmProgress"} : std::set<std::string>{};
        EXPECT_EQ(expectedShown, shown) << "windows of the wizard that were visible";
        for (const char* file : {"alpha.txt", "beta.txt"}) {
            const bool expected = std::find_if(row.installed.begin(), row.installed.end(), [&](const char* f) {
                                      return std::string(f) == file;
                                  }) != row.installed.end();
            EXPECT_EQ(expected, FileExists(folder + "\\" + file)) << file;
        }
        EXPECT_EQ(row.staged, FolderExists(folder + "\\SetupFiles"));
        const std::string text = ReadWholeFile(log);
        for (const char* line : row.logLines) EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
        // The last line is the exit code, whatever ended the run.
        const std::string last = "Exit code: " + std::to_string(row.exitCode) + "\r\n";
        EXPECT_TRUE(text.size() >= last.size() && text.compare(text.size() - last.size(), last.size(), last) == 0) << text;
        if (row.exitCode == 0) {
            EXPECT_NE(text.find("Install folder: " + folder), std::string::npos);
            EXPECT_NE(text.find("Command line: \""), std::string::npos);
            // With /log the installer's own logs are written too.
            EXPECT_TRUE(FileExists(folder + "\\Logs\\Tarnwick Core.log"));
        }
    }
}

}  // namespace

namespace {
// The same break-off in the wizard: its error box, then the end with 1603.
TEST_F(Unattended, AWizardRunThatBreaksOffShowsTheErrorBoxAndEndsWith1603) {
    SetTestFault("Core:access-violation");
    Start("COMPONENTS=Core");
    Press(GoToReadyPage(), "&Install");
    HWND box = driver::WaitForMessageBox(wizard.Id(), "Tarnwick Setup Wizard");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(0u, driver::MessageBoxText(box).find("The run broke off in [Core] Tarnwick Core: exception 0xC0000005"))
        << driver::MessageBoxText(box);
    Screenshot(box, "broken-off-error");
    ASSERT_TRUE(driver::AnswerMessageBox(box, IDOK));
    EXPECT_EQ(1603u, ExitCode());
    EXPECT_FALSE(FileExists(installFolder + "\\alpha.txt"));
}
}  // namespace

namespace {
const char* const AlphaCode = "{6FFE34E9-3923-4074-A292-5E0676C4448A}";
const char* const BetaCode = "{79BFDA60-3D91-43F8-A619-C9526B4DF2A1}";

// /uninstall after an installation: in the reverse order, products gone, a setup program started with
// its UninstallArguments, one without them failing the run; the same again ends 0.
TEST_F(Unattended, UninstallRemovesWhatWasInstalled) {
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n"
             "[Extras]\r\nComponentDescription=Extras\r\nFileName=extras.msi\r\n"
             "[Tool]\r\nComponentDescription=Tool\r\nFileName=tool.exe\r\nFileIsExe=1\r\nUninstallArguments=/remove /quiet\r\n"
             "[Bare]\r\nComponentDescription=Bare\r\nFileName=bare.exe\r\nFileIsExe=1\r\n");
    AddSetupFile("setup-stub.exe", "bare.exe");
    struct Row {
        const char* name;
        const char* install;    // the installation before ("" none), always /quiet
        std::string uninstall;  // the removal's switches
        DWORD exitCode;
        std::vector<const char*> installed;  // products left on the machine (their package names)
        std::vector<const char*> logLines;
        bool log = true;                     // /log for both runs (its installer logs keep the folder)
        std::set<std::string> shown = {};
    };
    const Row rows[] = {
        {"all but one", "COMPONENTS=Extras,Tool", "/quiet /uninstall COMPONENTS=Core,Extras,Tool", 0, {},
         {"Mode: quiet, removal", "[Tool] Removed", "[Extras] Windows Installer result 0 removing", "[Core] Removed", "Exit code: 0"}},
        {"the same again", "", "/quiet /uninstall COMPONENTS=Core,Extras,Tool", 0, {},
         {"is not on this computer: nothing to remove", "[Core] Removed", "Exit code: 0"}},
        {"only those named", "COMPONENTS=Extras", "/quiet /uninstall COMPONENTS=extras", 0, {"alpha"},
         {"[Core] Tarnwick Core: not selected", "[Extras] Removed", "Exit code: 0"}},
        {"all, one without UninstallArguments", "COMPONENTS=Extras", "/quiet /UNINSTALL", 1603, {},
         {"[Bare] Failed: The setup program bare.exe cannot be removed by this setup: its section [Bare] gives no "
          "UninstallArguments.", "[Core] Removed", "Exit code: 1603"}},
        {"packages only, the folders go", "COMPONENTS=Extras", "/quiet /uninstall COMPONENTS=Core,Extras", 0, {}, {}, false},
        {"passive", "COMPONENTS=Extras", "/passive /uninstall COMPONENTS=Core,Extras", 0, {},
         {"Mode: passive, removal", "Exit code: 0"}, true, {"TfrmMain", "TfrmProgress"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = root + "\\" + row.name, staged = folder + "\\SetupFiles";
        const std::string logging = row.log ? " /log \"" + log + "\"" : "";
        std::set<std::string> shown;
        if (*row.install) {
            UninstallTestProducts();
            DeleteFileA((staged + "\\stub-calls.txt").c_str());
            ASSERT_EQ(0u, RunRecording("/quiet " + std::string(row.install) + " INSTALLDIR=\"" + folder + "\"" + logging, shown));
            ASSERT_EQ(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(AlphaCode));
            // Wine's Windows Installer unregisters a removed product but leaves its files (Windows
            // deletes them): they go here, so that the folders can be seen to go too.
            DeleteFileA((folder + "\\alpha.txt").c_str());
            DeleteFileA((folder + "\\beta.txt").c_str());
        }
        shown.clear();
        EXPECT_EQ(row.exitCode, RunRecording(row.uninstall + " INSTALLDIR=\"" + folder + "\"" + logging, shown));
        EXPECT_EQ(row.shown, shown);
        for (const auto& [package, code] : {std::pair{"alpha", AlphaCode}, std::pair{"beta", BetaCode}}) {
            const bool expected = std::find_if(row.installed.begin(), row.installed.end(), [&](const char* p) {
                                      return std::string(p) == package;
                                  }) != row.installed.end();
            EXPECT_EQ(expected, MsiQueryProductStateA(code) == INSTALLSTATE_DEFAULT) << package;
        }
        // The staged copies are gone; what the setup program wrote beside its copy stays.
        for (const char* file : {"core.msi", "extras.msi", "tool.exe", "bare.exe"})
            EXPECT_FALSE(FileExists(staged + "\\" + file)) << file;
        if (!row.log) {
            EXPECT_FALSE(FolderExists(folder)) << "the empty install folder";
        }
        if (row.uninstall.find("Tool") != std::string::npos) {
            EXPECT_NE(std::string::npos, ReadWholeFile(staged + "\\stub-calls.txt").find("tool.exe\" /remove /quiet"));
        }
        const std::string text = row.log ? ReadWholeFile(log) : "";
        for (const char* line : row.logLines) EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
}

// In the wizard: one question, owned by the wizard's window, then the progress page and the summary.
TEST_F(Unattended, AnUninstallInTheWizardAsksOnceAndShowsWhatWasRemoved) {
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n"
             "[Extras]\r\nComponentDescription=Extras\r\nFileName=extras.msi\r\n");
    std::set<std::string> shown;
    ASSERT_EQ(0u, RunRecording("/quiet INSTALLDIR=\"" + installFolder + "\"", shown));
    Start("/uninstall INSTALLDIR=\"" + installFolder + "\"");
    HWND box = WaitForMessageBox(wizard.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ("Do you want to remove the Tarnwick components from this computer?", MessageBoxText(box));
    EXPECT_NE(nullptr, GetWindow(box, GW_OWNER)) << "the question has an owner";
    ASSERT_TRUE(AnswerMessageBox(box, IDYES));
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 60000);
    ASSERT_NE(summary, nullptr);
    HWND list = At(summary, 136, 184);
    ASSERT_EQ(2, ListRowCount(list));
    EXPECT_EQ("Removed", ListCell(list, 0, 1));
    EXPECT_EQ("Removal complete", TextOf(At(summary, 128, 104)));
    Screenshot(summary, "removal-summary");
    ASSERT_TRUE(BringToFront(summary));
    PressKey(VK_RETURN);
    EXPECT_EQ(0u, ExitCode());
    EXPECT_NE(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(AlphaCode));
}
}  // namespace
