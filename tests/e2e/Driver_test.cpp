// Smoke test of the driver itself, against driver-target.exe (a window program of our own with the
// control kinds of the wizard's pages), so the driver is known to work before the wizard is.
#include "WizardDriver.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace driver;

std::string BesideThisProgram(const std::string& name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.Start(BesideThisProgram("driver-target.exe"), "TfrmWelcome", ""));
        page = WaitForPage(target.Id(), "TfrmWelcome");
        ASSERT_NE(page, nullptr) << "the target's window did not appear";
    }

    HWND Control(int x, int y, const char* cls = "") { return ChildAt(page, x, y, cls); }

    Process target;
    HWND page = nullptr;
};

TEST_F(DriverTest, FindsControlsAtTheirOriginsAndReadsThem) {
    EXPECT_EQ(CurrentPage(target.Id()), "TfrmWelcome");
    EXPECT_EQ(TextOf(page), "Tarnwick Setup Wizard");
    RECT client{};
    GetClientRect(page, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);

    struct Expected {
        int x, y;
        const char* cls;
        const char* text;
        bool enabled;
    };
    const Expected controls[] = {
        {128, 104, "Static", "Driver target", true}, {208, 224, "Edit", "", true},
        {128, 272, "Button", "&Log files", true},    {320, 368, "Button", "< &Back", false},
        {408, 368, "Button", "&Next >", true},       {504, 368, "Button", "&Cancel", true},
    };
    for (const Expected& e : controls) {
        const HWND control = Control(e.x, e.y);
        ASSERT_NE(control, nullptr) << e.x << "," << e.y;
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), e.cls) << e.x << "," << e.y;
        EXPECT_EQ(TextOf(control), e.text) << e.x << "," << e.y;
        EXPECT_EQ(IsEnabled(control), e.enabled) << e.x << "," << e.y;
        EXPECT_TRUE(IsShown(control));
    }
    EXPECT_EQ(Control(128, 104, "Button"), nullptr) << "the class filter must apply";
    EXPECT_EQ(Control(129, 104), nullptr) << "only the exact origin matches";
    const RECT next = ChildBounds(Control(408, 368));
    EXPECT_EQ(next.right - next.left, 89);
    EXPECT_EQ(next.bottom - next.top, 25);

    EXPECT_EQ(ChildButton(page, "&Next >"), Control(408, 368));
    EXPECT_EQ(ChildButton(page, "Next >"), Control(408, 368));
    EXPECT_EQ(ChildButton(page, "Finish"), nullptr);
    EXPECT_TRUE(IsDefaultButton(Control(408, 368)));
    EXPECT_FALSE(IsDefaultButton(Control(504, 368)));
    EXPECT_EQ(CheckState(Control(128, 272)), BST_UNCHECKED);
}

TEST_F(DriverTest, ReadsAndChangesAListViewOfAnotherProcess) {
    const HWND list = Control(128, 128, "SysListView32");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(ListColumnCount(list), 3);
    EXPECT_EQ(ListColumnTitle(list, 0), " Components");
    EXPECT_EQ(ListColumnTitle(list, 2), "Space");
    EXPECT_EQ(ListColumnWidth(list, 1), 75);

    const std::vector<std::vector<std::string>> expected = {
        {"Alpha component (Required)", "1.0", "~2,500 KB"}, {"Beta library", "", "~0 KB"}, {"Gamma", "3.1", "~1,000 KB"}};
    EXPECT_EQ(ListRows(list), expected);
    EXPECT_EQ(ListRowCount(list), 3);
    const bool ticks[] = {true, false, true};
    const int images[] = {0, 1, -1};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(ListTicked(list, row), ticks[row]) << "row " << row;
        EXPECT_EQ(ListImage(list, row), images[row]) << "row " << row;
    }

    ASSERT_TRUE(SetListTick(list, 1, true));
    EXPECT_TRUE(WaitUntil([&] { return ListTicked(list, 1); }));
    ASSERT_TRUE(SelectListRow(list, 2));
    EXPECT_TRUE(WaitUntil([&] { return ListSelected(list, 2); }));
    EXPECT_FALSE(ListSelected(list, 0));

    // Unticking the required row opens a box from inside the list's notification; the posted change
    // must not block the driver, and the row comes back ticked once the box is answered.
    ASSERT_TRUE(SetListTick(list, 0, false));
    const HWND box = WaitForMessageBox(target.Id(), "Information");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "This component is required.");
    EXPECT_EQ(MessageBoxIcon(box), 32516 /* IDI_INFORMATION */);
    EXPECT_TRUE(MessageBoxHasButton(box, IDOK));
    EXPECT_FALSE(MessageBoxHasButton(box, IDNO));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return ListTicked(list, 0); }));
}

TEST_F(DriverTest, ClicksAnswersBoxesAndReadsTheFullExitCode) {
    const HWND next = Control(408, 368);
    const HWND answer = Control(128, 104);  // the target writes the box's answer here
    ASSERT_TRUE(SetText(Control(208, 224), "Hello, World!"));
    ASSERT_TRUE(Click(Control(128, 272)));
    EXPECT_TRUE(WaitUntil([&] { return CheckState(Control(128, 272)) == BST_CHECKED; }));
    EXPECT_FALSE(Click(Control(320, 368))) << "a disabled button cannot be clicked";

    ASSERT_TRUE(Click(next));
    HWND box = WaitForMessageBox(target.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(FindAnyMessageBox(target.Id()), box);
    EXPECT_EQ(MessageBoxText(box), "Proceed with the test?\n\nSecond line.");
    EXPECT_EQ(MessageBoxIcon(box), 32514 /* IDI_QUESTION */);
    EXPECT_TRUE(MessageBoxHasButton(box, IDYES));
    EXPECT_TRUE(MessageBoxHasButton(box, IDNO));
    EXPECT_FALSE(MessageBoxHasButton(box, IDOK));
    EXPECT_FALSE(IsEnabled(page)) << "a modal box disables its owner";
    EXPECT_FALSE(Click(next)) << "the page's buttons cannot be clicked while its box is up";
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(answer) == "Answer 7"; })) << TextOf(answer);
    EXPECT_TRUE(IsEnabled(page));
    EXPECT_TRUE(target.Running());

    ASSERT_TRUE(Click(next));
    box = WaitForMessageBox(target.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBox(box, IDYES));
    ASSERT_TRUE(target.WaitForExit());
    EXPECT_EQ(target.ExitCode(), 13000u + 1 + 4) << "the exit code must arrive with all its bits";
}

TEST_F(DriverTest, TypesKeysIntoTheForegroundWindow) {
    ASSERT_TRUE(BringToFront(page));
    const HWND edit = Control(208, 224);
    const HWND check = Control(128, 272);
    const HWND answer = Control(128, 104);
    ASSERT_TRUE(Focus(edit));
    ASSERT_TRUE(TypeText("Hello, World!"));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(edit) == "Hello, World!"; })) << TextOf(edit);

    ASSERT_TRUE(PressKey(VK_TAB));
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(page) == check; }));
    ASSERT_TRUE(PressKey(VK_SPACE));
    EXPECT_TRUE(WaitUntil([&] { return CheckState(check) == BST_CHECKED; }));
    ASSERT_TRUE(PressShiftKey(VK_TAB));
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(page) == edit; }));
    ASSERT_TRUE(PressAlt('l'));  // "&Log files": the access key toggles the check box
    EXPECT_TRUE(WaitUntil([&] { return CheckState(check) == BST_UNCHECKED; }));

    ASSERT_TRUE(PressKey(VK_RETURN));  // the default button
    HWND box = WaitForMessageBox(target.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBoxWithKey(box, 'N'));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(answer) == "Answer 7"; })) << TextOf(answer);
    ASSERT_TRUE(BringToFront(page));
    ASSERT_TRUE(PressAlt('n'));  // "&Next >"
    box = WaitForMessageBox(target.Id(), "Confirm");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBoxWithKey(box, VK_RETURN));  // Yes, the box's default button
    ASSERT_TRUE(target.WaitForExit());
    EXPECT_EQ(target.ExitCode(), 13000u + 4);
}

TEST_F(DriverTest, EndsTheProgramWithEscapeAltF4AndTheCloseBox) {
    struct Case {
        const char* what;
        bool (*act)(HWND page);
        DWORD exitCode;
    };
    const Case cases[] = {
        {"Esc", [](HWND p) { return BringToFront(p) && PressKey(VK_ESCAPE); }, 2},
        {"Alt+F4", [](HWND p) { return BringToFront(p) && PressAltKey(VK_F4); }, 3},
        {"close box", [](HWND p) { return PressCloseBox(p); }, 3},
    };
    for (const Case& c : cases) {
        Process program;
        ASSERT_TRUE(program.Start(BesideThisProgram("driver-target.exe"), "TfrmWelcome", ""));
        const HWND window = WaitForPage(program.Id(), "TfrmWelcome");
        ASSERT_NE(window, nullptr) << c.what;
        ASSERT_TRUE(c.act(window)) << c.what;
        ASSERT_TRUE(program.WaitForExit()) << c.what;
        EXPECT_EQ(program.ExitCode(), c.exitCode) << c.what;
    }
}

TEST_F(DriverTest, MovesTheWindowAndTakesAScreenshot) {
    ASSERT_TRUE(MoveWindowTo(page, 210, 160));
    EXPECT_EQ(WindowPosition(page).x, 210);
    EXPECT_EQ(WindowPosition(page).y, 160);
    ASSERT_TRUE(BringToFront(page));

    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "driver-smoke.bmp";
    const RECT window = WindowRect(page);
    const RECT client = ClientRectOnScreen(page);
    // The page has been drawn once its background shows at a client point.
    HDC screen = GetDC(nullptr);
    const bool painted = WaitUntil([&] { return GetPixel(screen, client.left + 5, client.top + 5) == RGB(10, 200, 30); });
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(painted);
    ASSERT_TRUE(SaveWindowScreenshot(page, path));

    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<unsigned char> bytes;
    for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(file);
    std::remove(path.c_str());

    ASSERT_GE(bytes.size(), 54u);
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    memcpy(&fileHeader, bytes.data(), sizeof(fileHeader));
    memcpy(&info, bytes.data() + sizeof(fileHeader), sizeof(info));
    EXPECT_EQ(fileHeader.bfType, 0x4D42);
    EXPECT_EQ(fileHeader.bfSize, bytes.size());
    EXPECT_EQ(info.biBitCount, 24);
    ASSERT_EQ(info.biWidth, window.right - window.left);
    ASSERT_EQ(info.biHeight, window.bottom - window.top);

    // A client pixel near the top-left corner shows the page's background colour.
    const int x = client.left - window.left + 5;
    const int y = client.top - window.top + 5;
    const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t at = fileHeader.bfOffBits + static_cast<size_t>(info.biHeight - 1 - y) * stride + x * 3;
    ASSERT_LT(at + 2, bytes.size());
    EXPECT_EQ(bytes[at + 2], 10);   // red
    EXPECT_EQ(bytes[at + 1], 200);  // green
    EXPECT_EQ(bytes[at], 30);       // blue
}

TEST_F(DriverTest, KillsAProgramThatIsStillRunning) {
    EXPECT_TRUE(target.Running());
    EXPECT_EQ(target.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_FALSE(target.WaitForExit(0));
    target.Kill();
    EXPECT_FALSE(target.Running());
    EXPECT_EQ(target.ExitCode(), 0xDEADu);
    EXPECT_TRUE(WaitForNoVisibleWindow(target.Id(), 2000));
}

}  // namespace
