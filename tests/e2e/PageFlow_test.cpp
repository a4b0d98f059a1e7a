// The wizard's pages and their flow, driven from outside as a user would: buttons, keys, message
// boxes, window positions, and what each page shows.
#include "WizardSession.h"

using namespace driver;

namespace {

const char* const ThreeComponents =
    "[Core]\r\nComponentDescription=Tarnwick Core\r\nVersion=1.0\r\nSize=2500\r\nFileName=core.msi\r\n"
    "Required=1\r\nComponentImageIndex=1\r\n"
    "[Charts]\r\nComponentDescription=Charting\r\nVersion=2.4.1\r\nSize=999\r\nFileName=charts.msi\r\n"
    "ComponentImageIndex=0\r\n"
    "[Tools]\r\nComponentDescription=Tools\r\nSize=1000\r\nFileName=tools.exe\r\nFileIsExe=1\r\n";

const char* const QuitQuestion = "Are you sure you want to quit?";

class PageFlow : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        WriteIni(ThreeComponents);
    }
    // Quits from `page` with Cancel and Yes, and expects the wizard to end with exit code 0.
    void QuitFrom(HWND page) {
        Press(page, "&Cancel");
        Answer("Confirm", QuitQuestion, IDYES);
        EXPECT_EQ(ExitCode(), 0u);
    }
};

TEST_F(PageFlow, ForwardPathAndEveryBackTransition) {
    Start();
    HWND welcome = Page("TfrmWelcome");
    EXPECT_FALSE(IsEnabled(ChildButton(welcome, "< &Back")));
    Press(welcome, "&Next >");
    Press(Page("TfrmSelection"), "< &Back");
    Press(Page("TfrmWelcome"), "&Next >");
    Press(Page("TfrmSelection"), "&Next >");
    Press(Page("TfrmDestination"), "< &Back");
    Press(Page("TfrmSelection"), "&Next >");
    HWND destination = Page("TfrmDestination");
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    Press(Page("TfrmContactInfo"), "< &Back");
    Press(Page("TfrmDestination"), "&Next >");
    Press(Page("TfrmContactInfo"), "&Next >");
    HWND ready = Page("TfrmReadyToInstall");
    EXPECT_EQ(TextOf(At(ready, 408, 368)), "&Install");
    Press(ready, "< &Back");
    Press(Page("TfrmContactInfo"), "&Next >");
    QuitFrom(Page("TfrmReadyToInstall"));
    // A confirmed quit installs nothing and copies nothing: the chosen folder never comes to be.
    EXPECT_FALSE(FolderExists(installFolder));
}

TEST_F(PageFlow, CancelAnsweredNoKeepsThePageAndItsValuesYesEndsTheWizard) {
    Start();
    HWND contact = GoToContactPage();
    SetText(At(contact, 208, 224), "Mary Ann");
    SetText(At(contact, 208, 256), "de Vries");
    SetText(At(contact, 208, 288), "mary@example.com");
    Press(contact, "&Cancel");
    Answer("Confirm", QuitQuestion, IDNO);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmContactInfo");
    EXPECT_EQ(TextOf(At(contact, 208, 224)), "Mary Ann");
    EXPECT_EQ(TextOf(At(contact, 208, 256)), "de Vries");
    EXPECT_EQ(TextOf(At(contact, 208, 288)), "mary@example.com");
    QuitFrom(contact);
    EXPECT_FALSE(FolderExists(installFolder));
}

TEST_F(PageFlow, CloseBoxAndAltF4AskTheQuitQuestion) {
    Start();
    HWND welcome = Page("TfrmWelcome");
    PostMessageA(welcome, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    Answer("Confirm", QuitQuestion, IDNO);
    Press(welcome, "&Next >");
    HWND selection = Page("TfrmSelection");
    ASSERT_TRUE(BringToFront(selection));
    ASSERT_TRUE(PressAltKey(VK_F4));
    Answer("Confirm", QuitQuestion, IDNO);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmSelection");
    PostMessageA(selection, WM_SYSCOMMAND, SC_CLOSE, 0);
    Answer("Confirm", QuitQuestion, IDYES);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(PageFlow, AMovedPageMakesEveryLaterPageOpenThere) {
    Start();
    HWND welcome = Page("TfrmWelcome");
    // Centred on the first showing.
    RECT r = WindowRect(welcome);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR((r.left + r.right) / 2, screenWidth / 2, 2);
    ASSERT_TRUE(MoveWindowTo(welcome, 40, 30));
    Press(welcome, "&Next >");
    HWND selection = Page("TfrmSelection");
    EXPECT_EQ(WindowPosition(selection).x, 40);
    EXPECT_EQ(WindowPosition(selection).y, 30);
    ASSERT_TRUE(MoveWindowTo(selection, 120, 90));
    Press(selection, "&Next >");
    HWND destination = Page("TfrmDestination");
    EXPECT_EQ(WindowPosition(destination).x, 120);
    Press(destination, "< &Back");
    Press(Page("TfrmSelection"), "< &Back");
    // Back on the welcome page: at the remembered place, not centred again.
    welcome = Page("TfrmWelcome");
    EXPECT_EQ(WindowPosition(welcome).x, 120);
    EXPECT_EQ(WindowPosition(welcome).y, 90);
    QuitFrom(welcome);
}

TEST_F(PageFlow, SelectionListShowsTheCatalogueAndKeepsRequiredRowsTicked) {
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    EXPECT_EQ(ListColumnTitle(list, 0), " Components");
    EXPECT_EQ(ListColumnTitle(list, 1), "Version");
    EXPECT_EQ(ListColumnTitle(list, 2), "Space");
    ASSERT_EQ(ListRowCount(list), 3);
    std::vector<std::vector<std::string>> rows = ListRows(list);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Tarnwick Core (Required)", "1.0", "~2,500 KB"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Charting", "2.4.1", "~999 KB"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Tools", "", "~1,000 KB"}));
    EXPECT_EQ(ListImage(list, 0), 1);
    EXPECT_EQ(ListImage(list, 1), 0);
    EXPECT_LT(ListImage(list, 2), 0);
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(ListTicked(list, row)) << row;
    Screenshot(selection, "2-selection");

    SetListTick(list, 0, false);
    Answer("Information", "This component is required.", IDOK);
    EXPECT_TRUE(WaitUntil([&] { return ListTicked(list, 0); }));
    QuitFrom(selection);
}

TEST_F(PageFlow, NextWithNothingTickedKeepsTheSelectionPage) {
    WriteIni("[A]\r\nComponentDescription=A\r\n[B]\r\nComponentDescription=B\r\n");
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    SetListTick(list, 0, false);
    SetListTick(list, 1, false);
    ASSERT_TRUE(WaitUntil([&] { return !ListTicked(list, 0) && !ListTicked(list, 1); }));
    Press(selection, "&Next >");
    Answer("Information", "You must select at least one component to install.", IDOK);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmSelection");
    QuitFrom(selection);
}

TEST_F(PageFlow, TicksSurviveNextBackAndAVisitToTheWelcomePage) {
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    SetListTick(list, 1, false);
    ASSERT_TRUE(WaitUntil([&] { return !ListTicked(list, 1); }));
    Press(selection, "&Next >");
    Press(Page("TfrmDestination"), "< &Back");
    selection = Page("TfrmSelection");
    EXPECT_FALSE(ListTicked(list, 1));
    EXPECT_TRUE(ListTicked(list, 2));
    Press(selection, "< &Back");
    Press(Page("TfrmWelcome"), "&Next >");
    Page("TfrmSelection");
    EXPECT_FALSE(ListTicked(list, 1));
    EXPECT_TRUE(ListTicked(list, 0));
    QuitFrom(selection);
}

TEST_F(PageFlow, DestinationShowsTheDefaultFolderAndRefusesTooLittleSpace) {
    WriteIni("[Huge]\r\nComponentDescription=Huge\r\nSize=999999999999999\r\nFileName=huge.msi\r\n");
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    Press(Page("TfrmSelection"), "&Next >");
    HWND destination = Page("TfrmDestination");
    HWND folder = At(destination, 128, 288);
    EXPECT_EQ(TextOf(folder), DefaultInstallFolder());
    // Next has the focus on the first visit, although Change... comes first in the Tab order.
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(destination) == ChildButton(destination, "&Next >"); }));
    Screenshot(destination, "3-destination");
    // As the folder browser would, put another folder on the page; Next stores it before the check.
    std::string chosen = root + "\\Elsewhere";
    ChooseInstallFolder(destination, chosen);
    Press(destination, "&Next >");
    Answer("Information", "There is not enough disk space to install the selected components.", IDOK);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmDestination");
    Press(destination, "< &Back");
    Press(Page("TfrmSelection"), "&Next >");
    Page("TfrmDestination");
    EXPECT_EQ(TextOf(folder), chosen);
    QuitFrom(destination);
}

TEST_F(PageFlow, ContactValuesAndLogSwitchSurviveBackAndNext) {
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    Press(Page("TfrmSelection"), "&Next >");
    Press(Page("TfrmDestination"), "&Next >");
    HWND contact = Page("TfrmContactInfo");
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(contact) == At(contact, 208, 224); }));
    for (int y : {224, 256, 288}) EXPECT_EQ(TextOf(At(contact, 208, y)), "");
    Screenshot(contact, "4-contact");
    SetText(At(contact, 208, 224), "Ada");
    SetText(At(contact, 208, 256), "Lovelace");
    SetText(At(contact, 208, 288), "ada@example.com");
    Press(contact, "&Next >");
    HWND ready = Page("TfrmReadyToInstall");
    HWND logBox = At(ready, 128, 272);
    EXPECT_EQ(CheckState(logBox), BST_UNCHECKED);
    Screenshot(ready, "5-ready");
    Click(logBox);
    ASSERT_TRUE(WaitUntil([&] { return CheckState(logBox) == BST_CHECKED; }));
    Press(ready, "< &Back");
    Page("TfrmContactInfo");
    EXPECT_EQ(TextOf(At(contact, 208, 224)), "Ada");
    Press(contact, "< &Back");
    Press(Page("TfrmDestination"), "&Next >");
    Page("TfrmContactInfo");
    EXPECT_EQ(TextOf(At(contact, 208, 256)), "Lovelace");
    EXPECT_EQ(TextOf(At(contact, 208, 288)), "ada@example.com");
    Press(contact, "&Next >");
    Page("TfrmReadyToInstall");
    EXPECT_EQ(CheckState(logBox), BST_CHECKED);
    QuitFrom(ready);
}

TEST_F(PageFlow, KeyboardAloneWalksTheWizard) {
    Start();
    HWND welcome = Page("TfrmWelcome");
    Screenshot(welcome, "1-welcome");
    ASSERT_TRUE(BringToFront(welcome));
    PressKey(VK_RETURN);  // Next is the default button
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    ASSERT_TRUE(BringToFront(selection));
    // The list has the focus: arrow down to the second row, Space unticks it.
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(selection) == list; }));
    for (int presses = 0; presses < 3 && !ListSelected(list, 1); ++presses) {
        PressKey(VK_DOWN);
        WaitUntil([&] { return ListSelected(list, 1); }, 1000);
    }
    ASSERT_TRUE(ListSelected(list, 1));
    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return !ListTicked(list, 1); }));
    EXPECT_TRUE(ListTicked(list, 0));
    PressKey(VK_RETURN);
    HWND destination = Page("TfrmDestination");
    ASSERT_TRUE(BringToFront(destination));
    PressAlt('n');  // the access key of "&Next >"
    HWND contact = Page("TfrmContactInfo");
    ASSERT_TRUE(BringToFront(contact));
    TypeText("Grace");
    PressKey(VK_TAB);
    TypeText("Hopper");
    PressKey(VK_TAB);
    TypeText("grace@example.com");
    ASSERT_TRUE(WaitUntil([&] { return TextOf(At(contact, 208, 288)) == "grace@example.com"; }));
    EXPECT_EQ(TextOf(At(contact, 208, 224)), "Grace");
    EXPECT_EQ(TextOf(At(contact, 208, 256)), "Hopper");
    PressKey(VK_RETURN);
    HWND ready = Page("TfrmReadyToInstall");
    ASSERT_TRUE(BringToFront(ready));
    PressKey(VK_SPACE);  // the log check box has the focus
    ASSERT_TRUE(WaitUntil([&] { return CheckState(At(ready, 128, 272)) == BST_CHECKED; }));
    PressKey(VK_ESCAPE);  // Cancel, with the quit question
    HWND box = WaitForMessageBox(wizard.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBoxWithKey(box, 'N'));
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmReadyToInstall");
    // The focus is back on the control that had it before the box: Windows does not do this by itself
    // for a window that is not a dialog, and Wine does not either.
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(ready) == At(ready, 128, 272); }, 2000));
    ASSERT_TRUE(BringToFront(ready));
    PressKey(VK_ESCAPE);
    box = WaitForMessageBox(wizard.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBoxWithKey(box, 'Y'));
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(PageFlow, MissingConfigurationFileIsReportedAndNoPageTakesInput) {
    DeleteFileA((dist + "\\TarnwickSetup.INI").c_str());
    Start();
    HWND box = WaitForMessageBox(wizard.Id(), "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              "The setup failed to open the configuration file. Please alert support@tarnwick.example");
    EXPECT_EQ(MessageBoxIcon(box), reinterpret_cast<INT_PTR>(IDI_ERROR));
    EXPECT_TRUE(MessageBoxHasButton(box, IDOK));
    EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
    EXPECT_EQ(CurrentPage(wizard.Id()), "");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(ExitCode(), 0u);
}

// The exit code as a Windows parent sees it: all 32 bits.
TEST_F(PageFlow, SwitchesAndExitCodes) {
    struct Case { const char* arguments; DWORD expected; };
    for (const Case& c : {Case{"-d -r", 13000u}, Case{"", 0u}, Case{"-D -R", 0u}, Case{"-d", 0u}}) {
        Start(c.arguments);
        HWND welcome = Page("TfrmWelcome");
        ASSERT_TRUE(BringToFront(welcome));
        PressKey(VK_ESCAPE);
        HWND box = WaitForMessageBox(wizard.Id(), "Confirm");
        ASSERT_NE(box, nullptr) << c.arguments;
        ASSERT_TRUE(AnswerMessageBoxWithKey(box, 'Y'));
        // With -d nothing asks to restart; without -r nothing is due.
        EXPECT_EQ(ExitCode(), c.expected) << "arguments: " << c.arguments;
    }
}

}  // namespace

namespace {

// The shell's folder browser opened from the destination page, with the shown folder preselected.
TEST_F(PageFlow, ChangeOpensTheFolderBrowserOnTheShownFolder) {
    // A name not seen before: the shell's folder tree may remember folders of an earlier run.
    std::string leaf = "Chosen" + std::to_string(GetTickCount());
    std::string chosen = root + "\\" + leaf;
    CreateDirectoryA(chosen.c_str(), nullptr);
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    Press(Page("TfrmSelection"), "&Next >");
    HWND destination = Page("TfrmDestination");
    // Cancel: a folder that does not exist yet opens the browser on its nearest existing parent, and
    // the page keeps what it showed. OK: the browser answers with the chosen folder's full path (it
    // has no trailing backslash, which shows that the answer came back).
    struct Round { std::string shown; int button; std::string after; };
    const Round rounds[] = {{chosen + "\\Not Yet\\There", IDCANCEL, chosen + "\\Not Yet\\There"},
                            {chosen + "\\", IDOK, chosen}};
    for (const Round& round : rounds) {
        ChooseInstallFolder(destination, round.shown);
        // Wine's folder tree now and then stops at the drive while it refreshes itself after a
        // change in the file system; a browser that opened there is closed and opened once more.
        HWND browser = nullptr;
        std::string shownName;
        for (int attempt = 0; attempt < 3 && shownName != leaf; ++attempt) {
            if (browser) {
                ASSERT_TRUE(Click(GetDlgItem(browser, IDCANCEL)));
                ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser) || !IsWindowVisible(browser); }));
            }
            Press(destination, "Ch&ange...");
            browser = WaitForWindowOf(wizard.Id(), "#32770");
            ASSERT_NE(browser, nullptr) << "no folder browser";
            WaitUntil([&] {
                for (HWND child : ChildrenOf(browser)) {
                    if (ClassOf(child) == "Edit") shownName = TextOf(child);
                }
                return shownName == leaf;
            }, 3000);
        }
        ASSERT_EQ(shownName, leaf) << "the browser did not open on " << round.shown;
        if (round.button == IDCANCEL) Screenshot(browser, "3b-folder-browser");
        HWND answer = GetDlgItem(browser, round.button);
        ASSERT_NE(answer, nullptr);
        ASSERT_TRUE(Click(answer));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser) || !IsWindowVisible(browser); }));
        EXPECT_EQ(TextOf(At(destination, 128, 288)), round.after);
    }
    QuitFrom(destination);
}

}  // namespace

namespace {

// The space column follows the user's thousands separator: one who set "." in the regional settings
// sees "~2.500 KB".
TEST_F(PageFlow, SpaceColumnUsesTheUsersThousandsSeparator) {
    HKEY international = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &international, nullptr),
              ERROR_SUCCESS);
    char previous[16] = "";
    DWORD size = sizeof previous;
    bool hadValue = RegQueryValueExA(international, "sThousand", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS;
    RegSetValueExA(international, "sThousand", 0, REG_SZ, reinterpret_cast<const BYTE*>("."), 2);
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    std::string core = ListCell(list, 0, 2), charts = ListCell(list, 1, 2);
    if (hadValue) {
        RegSetValueExA(international, "sThousand", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous), size);
    } else {
        RegDeleteValueA(international, "sThousand");
    }
    RegCloseKey(international);
    EXPECT_EQ(core, "~2.500 KB");
    EXPECT_EQ(charts, "~999 KB");
    QuitFrom(selection);
}

// A second start, as a user double-clicks again, brings the running wizard to the front and ends.
TEST_F(PageFlow, ASecondStartBringsTheRunningWizardToTheFront) {
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    // The page takes the foreground just after it shows; only then can another program take it away.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == selection; }));
    // Another program is in front meanwhile: a window of this test's, whose messages it handles.
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    const auto pumped = [](const std::function<bool()>& condition) {
        return WaitUntil([&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            return condition();
        });
    };
    SetForegroundWindow(other);
    ASSERT_TRUE(pumped([&] { return GetForegroundWindow() == other; }));
    Process second;
    ASSERT_TRUE(second.Start(dist + "\\TarnwickSetup.exe", "", dist));
    EXPECT_TRUE(pumped([&] { return !second.Running(); }));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(pumped([&] { return GetForegroundWindow() == selection; }));
    DestroyWindow(other);
    EXPECT_EQ(CurrentPage(wizard.Id()), "TfrmSelection");
    QuitFrom(selection);
}

}  // namespace
