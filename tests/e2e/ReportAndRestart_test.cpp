// The usage report sent to a real HTTP listener on 127.0.0.1:80 (the test build's report host) after
// a real installation, and the restart question at the very end.
#include "HttpListener.h"
#include "WizardSession.h"

using namespace driver;

namespace {

class ReportAndRestart : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        WriteIni(
            "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nColProdID=12\r\n"
            "[Charts]\r\nComponentDescription=Charting\r\nFileName=charts.msi\r\nColProdID=40\r\n"
            "[Tool]\r\nComponentDescription=Tool\r\nFileName=tool.exe\r\nFileIsExe=1\r\n"
            "[Broken]\r\nComponentDescription=Broken\r\nFileName=broken.msi\r\nColProdID=99\r\n");
        AddSetupFile("alpha.msi", "core.msi");
        AddSetupFile("beta.msi", "charts.msi");
        AddSetupFile("setup-stub.exe", "tool.exe");
        AddSetupFile("launch-fails.msi", "broken.msi");
    }

    // Walks the wizard with the given contact values, installs, and presses Finish.
    void InstallWithContact(const char* first, const char* last, const char* email) {
        HWND contact = GoToContactPage();
        SetText(At(contact, 208, 224), first);
        SetText(At(contact, 208, 256), last);
        SetText(At(contact, 208, 288), email);
        Press(contact, "&Next >");
        Press(Page("TfrmReadyToInstall"), "&Install");
        HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
        ASSERT_NE(summary, nullptr);
        Press(summary, "&Finish");
    }
};

TEST_F(ReportAndRestart, TheReportCarriesTheContactAndTheInstalledIdentifiers) {
    HttpListener listener;
    ASSERT_TRUE(listener.Start(80)) << "port 80 on 127.0.0.1 is not free";
    Start();
    InstallWithContact("Mary Ann", "de Vries", "mary@example.com");
    EXPECT_EQ(ExitCode(), 0u);
    listener.Stop();
    std::vector<std::string> requests = listener.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_EQ(head.substr(0, head.find("\r\n")),
              "GET /support/tracking.aspx?fname=Mary_Ann&lname=de_Vries&email=mary@example.com&id=12_40&allow=1 "
              "HTTP/1.1");
    EXPECT_NE(head.find("\r\nUser-Agent: Tarnwick Setup Wizard\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nAccept: */*\r\n"), std::string::npos) << head;
}

TEST_F(ReportAndRestart, ABlankContactFieldSendsNothing) {
    HttpListener listener;
    ASSERT_TRUE(listener.Start(80));
    Start();
    InstallWithContact("Mary", "", "mary@example.com");
    EXPECT_EQ(ExitCode(), 0u);
    listener.Stop();
    EXPECT_EQ(listener.Connections(), 0);
}

TEST_F(ReportAndRestart, WithoutAListenerTheWizardStillEndsPromptlyAndSilently) {
    Start();
    InstallWithContact("Mary", "Smith", "mary@example.com");
    DWORD finished = GetTickCount();
    EXPECT_TRUE(wizard.WaitForExit(10000));
    EXPECT_LT(GetTickCount() - finished, 10000u);
    EXPECT_EQ(FindAnyMessageBox(wizard.Id()), nullptr);
    EXPECT_EQ(wizard.ExitCode(), 0u);
}

TEST_F(ReportAndRestart, AServerThatNeverAnswersHoldsTheEndForSecondsOnly) {
    HttpListener listener;
    ASSERT_TRUE(listener.Start(80, false));
    Start("-d");  // a caller that waits for our exit code
    InstallWithContact("Mary", "Smith", "mary@example.com");
    const DWORD finished = GetTickCount();
    EXPECT_TRUE(wizard.WaitForExit(15000)) << "still running 15 s after Finish";
    EXPECT_LT(GetTickCount() - finished, 15000u);
    EXPECT_EQ(wizard.ExitCode(), 0u);
    EXPECT_GE(listener.Connections(), 1);  // the request did reach the server
}

// Windows looks for a DLL that is not a Known DLL in the program's folder first. Wine prefers its
// builtin DLLs, so the end-to-end run tells it to prefer files of these names, as Windows would (Wine
// takes this from the environment the test run starts with, not from one changed here); only the
// wizard's own search order keeps the copies beside it out.
TEST_F(ReportAndRestart, LibrariesPlantedBesideTheWizardAreNeverLoaded) {
    char overrides[256] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(std::string(overrides).find("msi,wininet=n,b"), std::string::npos) << overrides;
    const char* const planted[] = {"msi.dll", "wininet.dll"};
    for (const char* name : planted) AddSetupFile("planted.dll", name);
    HttpListener listener;
    ASSERT_TRUE(listener.Start(80));
    Start();
    InstallWithContact("Mary", "Smith", "mary@example.com");
    EXPECT_EQ(ExitCode(), 0u);
    listener.Stop();
    for (const char* name : planted) EXPECT_FALSE(FileExists(dist + "\\" + name + ".loaded")) << name;
    // Both packages installed and the report went out: the real libraries did the work.
    ASSERT_EQ(listener.Requests().size(), 1u);
    EXPECT_NE(listener.Requests()[0].find("&id=12_40&"), std::string::npos) << listener.Requests()[0];
}

TEST_F(ReportAndRestart, RestartQuestionComesAfterTheLastPageUnlessDeferred) {
    // "-r" alone: even a wizard quit on its first page asks at the very end.
    Start("-r");
    Press(Page("TfrmWelcome"), "&Cancel");
    Answer("Confirm", "Are you sure you want to quit?", IDYES);
    HWND box = WaitForMessageBox(wizard.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(CurrentPage(wizard.Id()), "");
    EXPECT_EQ(MessageBoxText(box),
              "Tarnwick Setup Wizard need to restart the system in order to complete the installation. "
              "Do you wish to restart now?");
    EXPECT_EQ(MessageBoxIcon(box), reinterpret_cast<INT_PTR>(IDI_QUESTION));
    EXPECT_TRUE(MessageBoxHasButton(box, IDYES));
    EXPECT_TRUE(MessageBoxHasButton(box, IDNO));
    // Never Yes here: that would end the Wine session.
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    EXPECT_EQ(ExitCode(), 0u);

    // "-d -r": no question, the caller gets 13000.
    Start("-d -r");
    Press(Page("TfrmWelcome"), "&Cancel");
    Answer("Confirm", "Are you sure you want to quit?", IDYES);
    EXPECT_TRUE(wizard.WaitForExit(10000));
    EXPECT_EQ(wizard.ExitCode(), 13000u);
}

}  // namespace
