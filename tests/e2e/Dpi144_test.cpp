// The wizard on a display that runs at 144 DPI (150 %): run by CTest in a prefix of its own whose
// LogPixels is 144. Every page is 900 x 600 and its controls sit at 1.5 times their 96-DPI bounds.
#include "WizardSession.h"

using namespace driver;

namespace {

// A 96-DPI coordinate at 150 %, rounded half up: edges scale, so sizes follow from them.
int AtDpi144(int value) { return (3 * value + 1) / 2; }

struct Bounds {
    int left, top, width, height;
};

struct Expected {
    const char* page;
    std::vector<Bounds> controls;  // at 96 DPI, as the page's layout gives them
};

// A few controls of every page, from the title down to the buttons.
const Expected Pages[] = {
    {"TfrmWelcome", {{128, 104, 401, 16}, {128, 144, 441, 169}, {408, 368, 89, 25}, {504, 368, 89, 25}}},
    {"TfrmSelection", {{128, 104, 401, 16}, {128, 200, 441, 145}, {320, 368, 89, 25}, {408, 368, 89, 25}}},
    {"TfrmDestination", {{128, 104, 441, 16}, {128, 288, 345, 17}, {480, 287, 89, 25}, {408, 368, 89, 25}}},
    {"TfrmContactInfo", {{128, 224, 60, 13}, {208, 224, 233, 21}, {208, 288, 233, 21}, {408, 368, 89, 25}}},
    {"TfrmReadyToInstall", {{128, 104, 401, 16}, {128, 192, 441, 41}, {128, 272, 441, 17}, {408, 368, 89, 25}}},
    {"TfrmProgress", {{128, 200, 441, 17}, {128, 232, 441, 17}, {128, 280, 441, 73}, {504, 368, 89, 25}}},
    {"TfrmSuccess", {{128, 104, 441, 16}, {136, 184, 425, 153}, {408, 368, 89, 25}}},
};

class Dpi144 : public WizardSession {};

TEST_F(Dpi144, EveryPageIsLaidOutAtOneAndAHalfTimesItsSize) {
    WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nVersion=1.0\r\nSize=2500\r\nFileName=core.msi\r\n"
             "Required=1\r\nComponentImageIndex=1\r\n"
             "[Tool]\r\nComponentDescription=Slow Tool\r\nSize=1000\r\nFileName=slow-sleep3000.exe\r\n"
             "FileIsExe=1\r\nComponentImageIndex=0\r\n");
    AddSetupFile("alpha.msi", "core.msi");
    AddSetupFile("setup-stub-sleep3000.exe", "slow-sleep3000.exe");
    Start();
    int shot = 0;
    for (const Expected& expected : Pages) {
        SCOPED_TRACE(expected.page);
        HWND page = WaitForPage(wizard.Id(), expected.page, 60000);
        ASSERT_NE(page, nullptr) << "showing: " << CurrentPage(wizard.Id());
        const RECT client = ClientRectOnScreen(page);
        EXPECT_EQ(client.right - client.left, 900);
        EXPECT_EQ(client.bottom - client.top, 600);
        for (const Bounds& b : expected.controls) {
            HWND control = At(page, AtDpi144(b.left), AtDpi144(b.top));
            if (!control) continue;
            const RECT r = ChildBounds(control);
            EXPECT_EQ(r.right - r.left, AtDpi144(b.left + b.width) - AtDpi144(b.left)) << b.left << "," << b.top;
            EXPECT_EQ(r.bottom - r.top, AtDpi144(b.top + b.height) - AtDpi144(b.top)) << b.left << "," << b.top;
        }
        Screenshot(page, "dpi144\\" + std::to_string(++shot) + "-" + std::string(expected.page + 4));
        const std::string name = expected.page;
        if (name == "TfrmSelection") {
            HWND list = At(page, AtDpi144(128), AtDpi144(200));
            EXPECT_EQ(ListColumnWidth(list, 0), 375);
            EXPECT_EQ(ListColumnWidth(list, 2), 143);
        } else if (name == "TfrmDestination") {
            HWND folder = At(page, AtDpi144(128), AtDpi144(288));
            ASSERT_TRUE(SetText(folder, installFolder));
            ASSERT_TRUE(WaitUntil([&] { return TextOf(folder) == installFolder; }));
        } else if (name == "TfrmSuccess") {
            HWND list = At(page, AtDpi144(136), AtDpi144(184));
            EXPECT_EQ(ListColumnWidth(list, 0), 450);
            EXPECT_EQ(ListCell(list, 0, 1), "Succeeded");
            EXPECT_EQ(ListCell(list, 1, 1), "Succeeded");
        }
        if (name == "TfrmProgress") continue;  // goes on by itself
        Press(page, name == "TfrmReadyToInstall" ? "&Install" : name == "TfrmSuccess" ? "&Finish" : "&Next >");
    }
    EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
