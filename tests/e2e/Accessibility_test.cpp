// The wizard as a screen reader and a user of a high-contrast theme meet it: every input control named
// after its label through Windows' accessibility layer (oleacc, from this process), the summary's
// group a real group, and the pages in the system's colours when high contrast is on.
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "WizardSession.h"

using namespace driver;

namespace {

const char* const Components =
    "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\nComponentImageIndex=1\r\n"
    "[Charts]\r\nComponentDescription=Charting\r\nFileName=charts.msi\r\nComponentImageIndex=0\r\n";

bool IsInputControl(HWND window) {
    const std::string cls = ClassOf(window);
    const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return cls == "Edit" || cls == "SysListView32" || (cls == "Button" && type != BS_GROUPBOX);
}

class Accessibility : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        WriteIni(Components);
    }

    // Every visible input control of the page has the accessible name the table gives for the control
    // at its place, and no two of its access keys are the same. An edit box or list is named by the
    // STATIC right before it in the z-order, which must carry that name.
    void ExpectNames(HWND page, const std::map<std::pair<int, int>, std::string>& names) {
        SCOPED_TRACE(ClassOf(page));
        std::set<std::pair<int, int>> seen;
        std::set<char> accessKeys;
        for (HWND control : ChildrenOf(page)) {
            if (!IsShown(control) || !IsInputControl(control)) continue;
            const RECT r = ChildBounds(control);
            const auto expected = names.find({r.left, r.top});
            if (expected == names.end()) {
                ADD_FAILURE() << "a control the table does not name at " << r.left << ", " << r.top;
                continue;
            }
            seen.insert(expected->first);
            EXPECT_EQ(expected->second, AccessibleName(control)) << "at " << r.left << ", " << r.top;
            const std::string cls = ClassOf(control);
            if (cls == "Edit" || cls == "SysListView32") {
                HWND label = GetWindow(control, GW_HWNDPREV);
                ASSERT_NE(label, nullptr);
                EXPECT_EQ("Static", ClassOf(label));
                EXPECT_EQ(expected->second, TextOf(label)) << "the label right before the control";
            }
            const std::string caption = TextOf(control);
            const size_t mark = caption.find('&');
            if (mark != std::string::npos && mark + 1 < caption.size()) {
                const char key = static_cast<char>(tolower(static_cast<unsigned char>(caption[mark + 1])));
                EXPECT_TRUE(accessKeys.insert(key).second) << "access key " << key << " twice";
            }
        }
        EXPECT_EQ(names.size(), seen.size()) << "controls of the table not on the page";
    }
};

TEST_F(Accessibility, EveryControlIsNamedAfterItsLabelAndTheSummaryHasItsGroup) {
    const std::map<std::pair<int, int>, std::string> buttons = {
        {{320, 368}, "< Back"}, {{408, 368}, "Next >"}, {{504, 368}, "Cancel"}};
    const auto with = [&](std::map<std::pair<int, int>, std::string> more) {
        for (const auto& button : buttons) more.insert(button);
        return more;
    };
    Start();
    HWND welcome = Page("TfrmWelcome");
    ExpectNames(welcome, buttons);
    Press(welcome, "&Next >");
    HWND selection = Page("TfrmSelection");
    ExpectNames(selection, with({{{128, 200}, "Select the Tarnwick components to install"}}));
    Press(selection, "&Next >");
    HWND destination = Page("TfrmDestination");
    ExpectNames(destination, with({{{480, 287}, "Change..."}}));
    EXPECT_EQ(AccessibleName(At(destination, 128, 288)), DefaultInstallFolder()) << "the folder text";
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    HWND contact = Page("TfrmContactInfo");
    ExpectNames(contact, with({{{208, 224}, "First name"}, {{208, 256}, "Last name"}, {{208, 288}, "Email"}}));
    Press(contact, "&Next >");
    HWND ready = Page("TfrmReadyToInstall");
    auto readyNames = with({{{128, 272}, "Generate MSI log files for the installations"}});
    readyNames[{408, 368}] = "Install";
    ExpectNames(ready, readyNames);

    // The summary's group: a group box window named by its caption, before the list in the z-order and
    // around it.
    Press(ready, "&Install");
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 60000);
    ASSERT_NE(summary, nullptr);
    HWND list = At(summary, 136, 184);
    HWND group = nullptr;
    for (HWND w = GetWindow(list, GW_HWNDPREV); w && !group; w = GetWindow(w, GW_HWNDPREV)) {
        if (ClassOf(w) == "Button" && (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) group = w;
    }
    ASSERT_NE(group, nullptr) << "no group box before the list";
    EXPECT_EQ(AccessibleName(group), "Installation summary");
    // The list itself is named too, or its focus is announced as a bare "list".
    EXPECT_EQ(AccessibleName(list), "Installation summary");
    const RECT box = WindowRect(group), inner = WindowRect(list);
    EXPECT_TRUE(box.left <= inner.left && box.top <= inner.top && inner.right <= box.right && inner.bottom <= box.bottom);
    Press(summary, "&Finish");
    EXPECT_EQ(ExitCode(), 0u);
}

// A high-contrast theme: black window, white text. Wine always reports high contrast as off, so the
// test build's seam says it is on (HKCU\Software\Tarnwick Tests, HighContrast); the colours are real.
class HighContrast : public Accessibility {
protected:
    static constexpr INT Elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    void SetUp() override {
        Accessibility::SetUp();
        saved = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
        const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
        ASSERT_TRUE(SetSysColors(2, Elements, contrast));
        SetSeam(1);
    }
    void TearDown() override {
        Accessibility::TearDown();
        SetSysColors(2, Elements, saved.data());
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "HighContrast");
            RegCloseKey(key);
        }
    }
    static void SetSeam(DWORD on) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "HighContrast", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
        RegCloseKey(key);
    }
    // The page's client pixels in the area (client coordinates), after a repaint (and a screenshot of
    // the page to look at, named after its class and `shot`).
    std::vector<COLORREF> Pixels(HWND page, int left, int top, int width, int height, const char* shot = "") {
        Screenshot(page, std::string("high-contrast\\") + ClassOf(page).substr(4) + shot);
        const RECT client = ClientRectOnScreen(page);
        return ScreenPixels({client.left + left, client.top + top, client.left + left + width, client.top + top + height});
    }
    static int Count(const std::vector<COLORREF>& pixels, const std::function<bool(COLORREF)>& test) {
        int n = 0;
        for (COLORREF c : pixels) n += test(c);
        return n;
    }
    static bool Coloured(COLORREF c) {
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        return std::max({r, g, b}) - std::min({r, g, b}) > 40;
    }
    std::vector<COLORREF> saved;
};

TEST_F(HighContrast, PagesShowOnlyTheSystemColoursAndFollowAChange) {
    Start();
    HWND welcome = Page("TfrmWelcome");
    // Where the picture was (its green strip on the left, and behind the texts): the window colour.
    const std::vector<COLORREF> strip = Pixels(welcome, 0, 0, 110, 400, "-on");
    ASSERT_FALSE(strip.empty());
    EXPECT_EQ(Count(strip, [](COLORREF c) { return c != RGB(0, 0, 0); }), 0) << "pixels of the picture remain";
    const std::vector<COLORREF> page = Pixels(welcome, 110, 0, 490, 360);
    EXPECT_EQ(Count(page, Coloured), 0) << "a colour of the wizard's own (the title's green, the picture)";
    // The title and the texts in the window text colour.
    EXPECT_GT(Count(Pixels(welcome, 128, 104, 401, 16), [](COLORREF c) { return c == RGB(255, 255, 255); }), 30);
    EXPECT_GT(Count(Pixels(welcome, 128, 144, 441, 40), [](COLORREF c) { return c == RGB(255, 255, 255); }), 100);

    Press(welcome, "&Next >");
    HWND selection = Page("TfrmSelection");
    EXPECT_EQ(Count(Pixels(selection, 0, 0, 110, 400, "-on"), [](COLORREF c) { return c != RGB(0, 0, 0); }), 0);
    EXPECT_GT(Count(Pixels(selection, 130, 218, 437, 40), Coloured), 20) << "the list's pictures";

    // High contrast goes off while the wizard runs: the picture comes back.
    SetSeam(0);
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    EXPECT_TRUE(WaitUntil([&] { return Count(Pixels(selection, 0, 0, 110, 400, "-off"), Coloured) > 1000; }));
    Press(selection, "&Cancel");
    Answer("Confirm", "Are you sure you want to quit?", IDYES);
    EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
