// The headless demo: walks through the wizard of a demo distribution as a user would, saves a
// screenshot of every page, and prints what was installed, the exit code and the usage report that a
// local listener received. Usage: demo_walkthrough <distribution folder> <screenshot folder>
#include "../HttpListener.h"  // first: it brings winsock2.h, which must precede windows.h

#include <windows.h>

#include <cstdio>
#include <string>

#include "WizardDriver.h"

using namespace driver;

namespace {

const char* const InstallFolder = "C:\\TarnwickDemo";

std::string screenshots;

HWND Page(const Process& wizard, const char* pageClass, DWORD timeoutMs = 20000) {
    HWND page = WaitForPage(wizard.Id(), pageClass, timeoutMs);
    if (!page) std::printf("demo: the page %s did not come (showing: %s)\n", pageClass, CurrentPage(wizard.Id()).c_str());
    return page;
}

void Shot(HWND window, const char* name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored;
    for (int i = 0; i < 3; ++i) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    Sleep(150);
    SaveWindowScreenshot(window, screenshots + "\\" + name + ".bmp");
}

void ListFiles(const std::string& folder, const std::string& indent) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        std::printf("  %s%s%s\n", indent.c_str(), name.c_str(), isFolder ? "\\" : "");
        if (isFolder) ListFiles(folder + "\\" + name, indent + "  ");
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool Walk(Process& wizard) {
    HWND page = Page(wizard, "TfrmWelcome");
    if (!page) return false;
    Shot(page, "1-welcome");
    Click(ChildButton(page, "&Next >"));

    if (!(page = Page(wizard, "TfrmSelection"))) return false;
    HWND list = ChildAt(page, 128, 200);
    std::printf("demo: the catalogue lists %d components; leaving out \"%s\"\n", ListRowCount(list),
                ListCell(list, 3, 0).c_str());
    SetListTick(list, 3, false);
    WaitUntil([&] { return !ListTicked(list, 3); });
    Shot(page, "2-selection");
    Click(ChildButton(page, "&Next >"));

    if (!(page = Page(wizard, "TfrmDestination"))) return false;
    // What the folder browser's choice does: the page shows the chosen folder.
    HWND folder = ChildAt(page, 128, 288);
    SetText(folder, InstallFolder);
    WaitUntil([&] { return TextOf(folder) == InstallFolder; });
    Shot(page, "3-destination");
    Click(ChildButton(page, "&Next >"));

    if (!(page = Page(wizard, "TfrmContactInfo"))) return false;
    SetText(ChildAt(page, 208, 224), "Mary Ann");
    SetText(ChildAt(page, 208, 256), "de Vries");
    SetText(ChildAt(page, 208, 288), "mary@example.com");
    Shot(page, "4-contact");
    Click(ChildButton(page, "&Next >"));

    if (!(page = Page(wizard, "TfrmReadyToInstall"))) return false;
    HWND logBox = ChildAt(page, 128, 272);
    Click(logBox);
    WaitUntil([&] { return CheckState(logBox) == BST_CHECKED; });
    Shot(page, "5-ready");
    Click(ChildButton(page, "&Install"));

    if (!(page = Page(wizard, "TfrmProgress"))) return false;
    Shot(page, "6-progress");

    if (!(page = Page(wizard, "TfrmSuccess", 120000))) return false;
    Shot(page, "7-summary");
    list = ChildAt(page, 136, 184);
    std::printf("demo: summary\n");
    for (int row = 0; row < ListRowCount(list); ++row) {
        std::printf("  %-36s %s\n", ListCell(list, row, 0).c_str(), ListCell(list, row, 1).c_str());
    }
    Click(ChildButton(page, "&Finish"));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: demo_walkthrough <distribution folder> <screenshot folder>\n");
        return 2;
    }
    std::string dist = argv[1];
    screenshots = argv[2];
    HttpListener listener;
    bool listening = listener.Start(80);
    if (!listening) std::printf("demo: port 80 is taken; the report will not be seen\n");

    Process wizard;
    if (!wizard.Start(dist + "\\TarnwickSetup.exe", "", dist)) {
        std::printf("demo: the wizard did not start\n");
        return 1;
    }
    bool walked = Walk(wizard);
    if (!wizard.WaitForExit(30000)) {
        std::printf("demo: the wizard did not end\n");
        wizard.Kill();
        return 1;
    }
    listener.Stop();
    std::printf("demo: the wizard ended with exit code %lu\n", static_cast<unsigned long>(wizard.ExitCode()));
    std::printf("demo: installed into %s:\n", InstallFolder);
    ListFiles(InstallFolder, "");
    if (listening) {
        std::vector<std::string> requests = listener.Requests();
        std::printf("demo: the report listener on 127.0.0.1:80 received %zu request(s)\n", requests.size());
        for (const std::string& head : requests) std::printf("%s", head.c_str());
    }
    return walked && wizard.ExitCode() == 0 ? 0 : 1;
}
