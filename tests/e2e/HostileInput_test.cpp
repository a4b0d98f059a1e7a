// Hostile input and misbehaving peers, end to end: every page still works, nothing crashes or hangs,
// and the summary tells the truth about every component.
#include "HttpListener.h"
#include "WizardSession.h"

#include <fstream>

using namespace driver;

namespace {

const char* const NoSpace = "There is not enough disk space to install the selected components.";

struct Outcome {
    std::string description, outcome;
    bool operator==(const Outcome& o) const { return description == o.description && outcome == o.outcome; }
};
std::ostream& operator<<(std::ostream& out, const Outcome& o) { return out << "{" << o.description << ", " << o.outcome << "}"; }

class HostileInput : public WizardSession {
protected:
    // The summary page's rows: description and outcome.
    std::vector<Outcome> Summary(HWND summary) {
        std::vector<Outcome> rows;
        for (const auto& row : ListRows(At(summary, 136, 184))) rows.push_back({row.at(0), row.at(1)});
        return rows;
    }
    // From the contact page on: the given contact values, Install, and the summary page.
    HWND InstallFrom(HWND contact, const std::string& first = "", const std::string& last = "",
                     const std::string& email = "") {
        SetText(At(contact, 208, 224), first);
        SetText(At(contact, 208, 256), last);
        SetText(At(contact, 208, 288), email);
        Press(contact, "&Next >");
        Press(Page("TfrmReadyToInstall"), "&Install");
        return WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    }
};

TEST_F(HostileInput, AbsurdConfigurationValues) {
    const std::string longText(5000, 'v');
    struct Case {
        const char* what;
        std::string section;     // the keys below its header
        const char* outcome;     // on the summary page; null: unticked before the installation
    };
    const std::vector<Case> cases = {
        {"a size beyond any disk", "ComponentDescription=Huge A\r\nSize=9223372036854775807\r\nFileName=core.msi", nullptr},
        {"another such size: the sum must not wrap round", "ComponentDescription=Huge B\r\nSize=9223372036854775807\r\nFileName=core.msi", nullptr},
        {"a negative size", "ComponentDescription=Negative\r\nSize=-5000\r\nFileName=core.msi", "Succeeded"},
        {"a size far out of range", "ComponentDescription=Astronomic\r\nSize=1e400\r\nFileName=charts.msi", "Succeeded"},
        {"picture indexes past the list", "ComponentDescription=Picture 99\r\nComponentImageIndex=99\r\nFileName=core.msi", "Succeeded"},
        {"a picture index out of range", "ComponentDescription=Picture far\r\nComponentImageIndex=99999999999\r\nFileName=charts.msi", "Succeeded"},
        {"a version of 5000 characters", "ComponentDescription=Long Version\r\nVersion=" + longText + "\r\nFileName=core.msi", "Succeeded"},
        {"a description too long for a folder", "ComponentDescription=" + std::string(3000, 'd') + "\r\nFileName=core.msi\r\nSetupFileSubFolder=1", "Failed"},
        {"the same description twice", "ComponentDescription=Twin\r\nFileName=core.msi", "Succeeded"},
        {"... and again", "ComponentDescription=Twin\r\nFileName=charts.msi", "Succeeded"},
        {"an empty section", "", "Failed"},
        {"a setup file that does not exist", "ComponentDescription=Missing\r\nFileName=missing.msi", "Failed"},
        {"bytes above 127", "ComponentDescription=Biblioth\xE8que f\xFCr \xC4rzte\r\nFileName=core.msi\r\nSetupFileSubFolder=1", "Succeeded"},
        {"a file name that climbs out of the folder", "ComponentDescription=Climber\r\nFileName=..\\core.msi", "Failed"},
        {"a description that climbs out", "ComponentDescription=..\\..\\Escape\r\nFileName=charts.msi\r\nSetupFileSubFolder=1", "Succeeded"},
    };
    std::string ini;
    for (size_t i = 0; i < cases.size(); ++i) ini += "[S" + std::to_string(i) + "]\r\n" + cases[i].section + "\r\n";
    WriteIni(ini);
    AddSetupFile("alpha.msi", "core.msi");
    AddSetupFile("beta.msi", "charts.msi");
    // Beside the distribution folder, where "..\core.msi" would find it.
    ASSERT_TRUE(CopyFileA(FixturePath("alpha.msi").c_str(), (root + "\\core.msi").c_str(), FALSE));
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    ASSERT_EQ(ListRowCount(list), static_cast<int>(cases.size()));
    EXPECT_EQ(ListCell(list, 12, 0), "Biblioth\xE8que f\xFCr \xC4rzte");
    EXPECT_EQ(ListCell(list, 2, 2), "~-5,000 KB");
    Press(selection, "&Next >");
    HWND destination = Page("TfrmDestination");
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    Answer("Information", NoSpace, IDOK);
    Press(destination, "< &Back");
    selection = Page("TfrmSelection");
    for (int row : {0, 1}) SetListTick(list, row, false);
    ASSERT_TRUE(WaitUntil([&] { return !ListTicked(list, 0) && !ListTicked(list, 1); }));
    Press(selection, "&Next >");
    Press(Page("TfrmDestination"), "&Next >");
    HWND summary = InstallFrom(Page("TfrmContactInfo"));
    ASSERT_NE(summary, nullptr);
    const std::vector<Outcome> rows = Summary(summary);
    ASSERT_EQ(rows.size(), cases.size() - 2);
    for (size_t i = 2; i < cases.size(); ++i) EXPECT_EQ(rows[i - 2].outcome, cases[i].outcome) << cases[i].what;
    EXPECT_FALSE(FileExists(installFolder + "\\core.msi")) << "staged outside SetupFiles";
    EXPECT_FALSE(FolderExists(root + "\\Escape")) << "a sub-folder outside SetupFiles";
    EXPECT_TRUE(FileExists(installFolder + "\\SetupFiles\\.._.._Escape\\charts.msi"));
    EXPECT_TRUE(FileExists(installFolder + "\\SetupFiles\\Biblioth\xE8que f\xFCr \xC4rzte\\core.msi"));
    Press(summary, "&Finish");
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(HostileInput, MisbehavingPeersAndContactDetailsBeyondTheReportsLimit) {
    WriteIni("[Crash]\r\nComponentDescription=Crashing Tool\r\nFileName=tool-crash.exe\r\nFileIsExe=1\r\nColProdID=1\r\n"
             "[ErrorBox]\r\nComponentDescription=Error Box\r\nFileName=errorbox.msi\r\nColProdID=2\r\n"
             "[Bogus]\r\nComponentDescription=Not A Package\r\nFileName=bogus.msi\r\nColProdID=3\r\n"
             "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nColProdID=4\r\n");
    AddSetupFile("setup-stub-crash.exe", "tool-crash.exe");
    AddSetupFile("errorbox.msi", "errorbox.msi");
    AddSetupFile("alpha.msi", "core.msi");
    std::ofstream(dist + "\\bogus.msi") << "This is a text file, not a Windows Installer package.";
    HttpListener listener;
    ASSERT_TRUE(listener.Start(80));
    Start();
    HWND contact = GoToContactPage();
    // 2000 ampersands are 6000 characters once escaped: far beyond the 4095 the report may have.
    SetText(At(contact, 208, 224), std::string(2000, '&'));
    SetText(At(contact, 208, 256), "de Vries");
    SetText(At(contact, 208, 288), "mary@example.com");
    Press(contact, "&Next >");
    Press(Page("TfrmReadyToInstall"), "&Install");
    Answer("Error", "Tarnwick test: this package reports an error.", IDOK);
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(Summary(summary), (std::vector<Outcome>{{"Crashing Tool", "Failed"}, {"Error Box", "Failed"},
                                                      {"Not A Package", "Failed"}, {"Tarnwick Core", "Succeeded"}}));
    Press(summary, "&Finish");
    EXPECT_EQ(ExitCode(10000), 0u);
    listener.Stop();
    EXPECT_EQ(listener.Connections(), 0) << "a report over the limit is not sent, not cut";
}

// Space can run out between the destination page and Install: the ready page checks again. Drive T:
// is a small disk of the test session's (see scripts/session.sh).
TEST_F(HostileInput, TheReadyPageChecksTheDiskSpaceAgainOnInstall) {
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA("T:\\", &available, &total, &free) || total.QuadPart > (64u << 20))
        GTEST_SKIP() << "no small drive T: in this session (mounting it needs root)";
    const std::string filler = "T:\\filler.bin";
    DeleteFileA(filler.c_str());
    installFolder = "T:\\Tarnwick";
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nSize=2000\r\nFileName=core.msi\r\n");
    AddSetupFile("alpha.msi", "core.msi");
    Start();
    HWND ready = GoToReadyPage();  // 2 MB of the drive's 8 are free enough on the destination page
    {
        // Another program fills the disk meanwhile.
        std::ofstream out(filler, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int megabytes = 0; megabytes < 7 && out; ++megabytes) out << block;
    }
    Press(ready, "&Install");
    Answer("Information", NoSpace, IDOK);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmReadyToInstall");
    DeleteFileA(filler.c_str());
    Press(ready, "&Install");
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(Summary(summary), (std::vector<Outcome>{{"Tarnwick Core", "Succeeded"}}));
    Press(summary, "&Finish");
    EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
