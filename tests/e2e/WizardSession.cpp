#include "WizardSession.h"

#include <msi.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace {

std::string WindowsPath(std::string unixPath) {
    for (char& c : unixPath) {
        if (c == '/') c = '\\';
    }
    return "Z:" + unixPath;
}

void RemoveTree(const std::string& path) {
    // SHFileOperation wants a double-terminated list.
    std::string from = path + std::string(1, '\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

}  // namespace

std::string BuildPath(const std::string& relative) { return WindowsPath(TARNWICK_E2E_BUILD "/" + relative); }
std::string FixturePath(const std::string& name) { return BuildPath("fixtures/" + name); }

std::string ScreenshotPath(const std::string& name) {
    const std::string path = WindowsPath(TARNWICK_E2E_SCREENSHOTS) + "\\" + name + ".bmp";
    // The folders on the way, a name such as "dpi144\\1-welcome" included.
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetTestFault(const char* fault) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (fault) RegSetValueExA(key, "Fault", 0, REG_SZ, reinterpret_cast<const BYTE*>(fault), strlen(fault) + 1);
    else RegDeleteValueA(key, "Fault");
    RegCloseKey(key);
}

void UninstallTestProducts() { driver::UninstallProducts("Tarnwick Test"); }

void WizardSession::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = std::string("C:\\twk-e2e\\") + info->test_suite_name() + "." + info->name();
    RemoveTree(root);
    dist = root + "\\dist";
    installFolder = root + "\\Install";
    CreateDirectoryA("C:\\twk-e2e", nullptr);
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(dist.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(BuildPath("TarnwickSetup.exe").c_str(), (dist + "\\TarnwickSetup.exe").c_str(), FALSE))
        << "the wizard under test was not built";
    UninstallTestProducts();
}

void WizardSession::TearDown() {
    if (wizard.Running()) {
        Screenshot(nullptr, std::string("failure-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        wizard.Kill();
    }
}

void WizardSession::WriteIni(const std::string& text) {
    std::ofstream out(dist + "\\TarnwickSetup.INI", std::ios::binary);
    out << text;
}

void WizardSession::AddSetupFile(const std::string& fixture, const std::string& asName) {
    ASSERT_TRUE(CopyFileA(FixturePath(fixture).c_str(), (dist + "\\" + asName).c_str(), FALSE))
        << "fixture " << fixture << " is missing";
}

void WizardSession::UseWizard(const std::string& buildRelative) {
    ASSERT_TRUE(CopyFileA(BuildPath(buildRelative).c_str(), (dist + "\\TarnwickSetup.exe").c_str(), FALSE))
        << buildRelative << " is missing";
}

void WizardSession::Start(const std::string& arguments) {
    ASSERT_TRUE(wizard.Start(dist + "\\TarnwickSetup.exe", arguments, dist));
}

DWORD WizardSession::ExitCode(DWORD timeoutMs) {
    EXPECT_TRUE(wizard.WaitForExit(timeoutMs)) << "the wizard did not end";
    return wizard.ExitCode();
}

HWND WizardSession::Page(const char* pageClass) {
    const DWORD waitBegan = GetTickCount();
    HWND page = driver::WaitForPage(wizard.Id(), pageClass);
    if (!page) {
        // What the wizard shows instead, in words and in a picture, so that a failure names its cause.
        std::string shown;
        for (HWND w : driver::VisibleWindowsOf(wizard.Id())) {
            const RECT r = driver::WindowRect(w);
            shown += "\n  " + driver::ClassOf(w) + " \"" + driver::TextOf(w) + "\" at " + std::to_string(r.left) + ", " +
                     std::to_string(r.top);
            if (driver::ClassOf(w) == "#32770") shown += ": " + driver::MessageBoxText(w);
        }
        Screenshot(nullptr, std::string("missing-") + pageClass);
        // Where the wizard waits, and whether the page comes late (a different fault from one that never
        // comes; the test goes on with it). Both take half a minute: only for the first pages missed in
        // a run, so that a wizard that shows nothing fails every scenario quickly.
        static int slowLooks = 2;
        const bool running = wizard.Running(), look = running && slowLooks > 0 && slowLooks--;
        const std::string threads = look ? wizard.Backtraces() : "";
        if (look) page = driver::WaitForPage(wizard.Id(), pageClass, 20000);
        ADD_FAILURE() << "expected the page " << pageClass << "; the wizard "
                      << (running ? "runs" : "has ended with " + std::to_string(wizard.ExitCode()))
                      << ", its visible windows:" << (shown.empty() ? " none" : shown) << "\n"
                      << (page   ? "the page came only after " + std::to_string(GetTickCount() - waitBegan) + " ms"
                          : look ? std::string("the page did not come in 20 s more")
                                 : std::string())
                      << (threads.empty() ? "" : "; where its threads were:\n" + threads);
    }
    return page;
}

void WizardSession::Press(HWND page, const char* caption) {
    HWND button = driver::ChildButton(page, caption);
    ASSERT_NE(button, nullptr) << "no button " << caption;
    ASSERT_TRUE(driver::Click(button));
}

HWND WizardSession::At(HWND page, int x, int y) {
    HWND control = driver::ChildAt(page, x, y);
    EXPECT_NE(control, nullptr) << "no control at " << x << ", " << y;
    return control;
}

void WizardSession::Answer(const char* caption, const std::string& text, int buttonId) {
    HWND box = driver::WaitForMessageBox(wizard.Id(), caption);
    ASSERT_NE(box, nullptr) << "no message box captioned " << caption;
    EXPECT_EQ(driver::MessageBoxText(box), text);
    ASSERT_TRUE(driver::AnswerMessageBox(box, buttonId));
}

std::string DefaultInstallFolder() {
    char folder[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("ProgramFiles", folder, sizeof folder);
    return std::string(length > 0 && length < sizeof folder ? folder : "C:\\Program Files") + "\\Tarnwick";
}

void WizardSession::ChooseInstallFolder(HWND destination, const std::string& folder) {
    HWND shown = At(destination, 128, 288);
    ASSERT_TRUE(driver::SetText(shown, folder));
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::TextOf(shown) == folder; }));
}

HWND WizardSession::GoToContactPage() {
    Press(Page("TfrmWelcome"), "&Next >");
    Press(Page("TfrmSelection"), "&Next >");
    HWND destination = Page("TfrmDestination");
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    return Page("TfrmContactInfo");
}

HWND WizardSession::GoToReadyPage() {
    Press(GoToContactPage(), "&Next >");
    return Page("TfrmReadyToInstall");
}

void WizardSession::Screenshot(HWND window, const std::string& name) {
    if (window) {
        // Let the page finish painting: a round trip through its queue after asking for a repaint.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DWORD_PTR ignored;
        for (int i = 0; i < 3; ++i) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
        Sleep(150);  // the X server composes what Wine drew
        driver::SaveWindowScreenshot(window, ScreenshotPath(name));
    } else {
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        driver::SaveScreenshot(screen, ScreenshotPath(name));
    }
}
