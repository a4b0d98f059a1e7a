// The benchmark behind scripts/bench.sh. In one run under one Wine session it times
// - start-up: from creating the process to its first page being visible on screen, the wizard
//   against the bare program of BareWindow.cpp, alternating, median of the runs;
// - the installation phase: the wizard's first staging copy (its SetupFiles folder appears) to its
//   last package done (the progress page goes away), against msiexec /i <package> /qn on the same
//   packages one after the other; each run installs fresh (the products are removed before it);
// and prints one table: ours, the reference, their ratio and the goal, then the wizard's size.
// Usage: tarnwick-bench <wizard exe> <bare window exe> <fixtures folder> [start-up runs] [install runs] [-v]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WizardDriver.h"

using namespace driver;

namespace {

const char* const Root = "C:\\twk-bench";
const char* const Packages[] = {"alpha.msi", "beta.msi", "large.msi"};
constexpr DWORD PageTimeoutMs = 30000;
constexpr DWORD InstallTimeoutMs = 300000;
// Before each run: what the last run (and, before an installation, the removal of the products) left
// to the system, closing files and windows, is done by then and not counted against the next run.
constexpr DWORD StartupSettleMs = 200;
constexpr DWORD InstallSettleMs = 1000;
bool verbose = false;

double NowMs() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Like driver::WaitUntil, but every `intervalMs`: the start-up takes only a few hundred milliseconds.
template <typename Condition>
bool Poll(Condition condition, DWORD timeoutMs, DWORD intervalMs = 1) {
    const double deadline = NowMs() + timeoutMs;
    while (!condition()) {
        if (NowMs() > deadline) return false;
        Sleep(intervalMs);
    }
    return true;
}

bool Fail(const std::string& what) {
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    return false;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path) {
    std::string from = path + std::string(1, '\0');  // a double-terminated list
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

// Milliseconds from process creation to a visible top-level window of `windowClass`; < 0 on failure.
double StartupMs(const std::string& exe, const std::string& folder, const char* windowClass) {
    Sleep(StartupSettleMs);
    Process program;
    const double start = NowMs();
    if (!program.Start(exe, "", folder)) return Fail("cannot start " + exe), -1;
    const bool shown = Poll([&] { return FindWindowOf(program.Id(), windowClass) != nullptr; }, PageTimeoutMs);
    const double elapsed = NowMs() - start;
    program.Kill();
    if (!shown) return Fail(std::string("no window ") + windowClass + " from " + exe), -1;
    return elapsed;
}

HWND Page(const Process& wizard, const char* pageClass) {
    HWND page = WaitForPage(wizard.Id(), pageClass, PageTimeoutMs);
    if (!page) Fail(std::string("the page ") + pageClass + " did not come; showing " + CurrentPage(wizard.Id()));
    return page;
}

bool Next(const Process& wizard, const char* pageClass) {
    HWND page = Page(wizard, pageClass);
    return page && Click(ChildButton(page, "&Next >"));
}

// The wizard's installation phase for every component of dist's INI, into installFolder.
double WizardInstallMs(const std::string& dist, const std::string& installFolder) {
    Process wizard;
    if (!wizard.Start(dist + "\\TarnwickSetup.exe", "", dist)) return Fail("cannot start the wizard"), -1;
    if (!Next(wizard, "TfrmWelcome") || !Next(wizard, "TfrmSelection")) return -1;
    HWND page = Page(wizard, "TfrmDestination");
    HWND folder = page ? ChildAt(page, 128, 288) : nullptr;  // the label that shows the chosen folder
    if (!folder || !SetText(folder, installFolder) || !WaitUntil([&] { return TextOf(folder) == installFolder; }))
        return Fail("cannot choose the install folder"), -1;
    if (!Click(ChildButton(page, "&Next >")) || !Next(wizard, "TfrmContactInfo")) return -1;
    if (!(page = Page(wizard, "TfrmReadyToInstall")) || !Click(ChildButton(page, "&Install"))) return -1;

    // The progress page shows before the staging starts and goes as soon as the last package is done.
    // Watching it is one light call every few milliseconds: the window system serves the wizard too.
    HWND progress = Page(wizard, "TfrmProgress");
    const std::string staging = installFolder + "\\SetupFiles";
    if (!progress || !Poll([&] { return FolderExists(staging); }, PageTimeoutMs)) return Fail("no staging"), -1;
    const double start = NowMs();
    if (!Poll([&] { return !IsWindowVisible(progress); }, InstallTimeoutMs, 5))
        return Fail("the installation did not end"), -1;
    const double elapsed = NowMs() - start;
    HWND summary = Page(wizard, "TfrmSuccess");
    if (!summary) return -1;

    HWND list = ChildAt(summary, 136, 184);
    const int rows = ListRowCount(list);
    for (int row = 0; row < rows; ++row) {
        if (ListCell(list, row, 1) != "Succeeded") return Fail(ListCell(list, row, 0) + " was not installed"), -1;
    }
    if (rows != static_cast<int>(sizeof Packages / sizeof *Packages)) return Fail("the summary lacks components"), -1;
    wizard.Kill();
    return elapsed;
}

// An unattended run of `folder`'s wizard that stages one large setup program (which ends at once):
// from its SetupFiles folder appearing to the wizard's end.
double QuietStagingMs(const std::string& folder, const std::string& installFolder) {
    Process wizard;
    if (!wizard.Start(folder + "\\TarnwickSetup.exe", "/quiet INSTALLDIR=\"" + installFolder + "\"", folder))
        return Fail("cannot start the wizard in " + folder), -1;
    if (!Poll([&] { return FolderExists(installFolder + "\\SetupFiles") || !wizard.Running(); }, PageTimeoutMs))
        return Fail("no staging from " + folder), -1;
    const double start = NowMs();
    if (!wizard.WaitForExit(InstallTimeoutMs) || wizard.ExitCode() != 0)
        return Fail("the run from " + folder + " did not succeed"), -1;
    return NowMs() - start;
}

// TarnwickCheck (beside the measured wizard) writes `switchName`'s output of `folder` to `output`.
bool Seal(const std::string& check, const std::string& folder, const char* switchName, const std::string& output) {
    Process tool;
    return tool.Start(check, "\"" + folder + "\" " + switchName + " \"" + output + "\"", folder) &&
           tool.WaitForExit(InstallTimeoutMs) && tool.ExitCode() == 0;
}

// The same packages with the same properties, each by its own msiexec, one after the other.
double MsiexecInstallMs(const std::string& dist, const std::string& installFolder) {
    const double start = NowMs();
    for (const char* package : Packages) {
        std::string commandLine = "msiexec.exe /i \"" + dist + "\\" + package + "\" /qn INSTALLDIR=\"" +
                                  installFolder + "\" TWK_CAME_LAUNCHER=1 REBOOT=ReallySuppress";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return Fail("cannot start msiexec"), -1;
        DWORD code = 1;
        const bool ended = WaitForSingleObject(process.hProcess, InstallTimeoutMs) == WAIT_OBJECT_0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        if (!ended || code != 0) return Fail(std::string("msiexec failed on ") + package), -1;
    }
    return NowMs() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void ShowSamples(const char* name, const std::vector<double>& values) {
    if (!verbose) return;
    std::printf("%-28s", name);
    for (double v : values) std::printf(" %7.1f", v);
    std::printf("\n");
}

// Runs `ours` and `reference` `runs` times each, alternating which goes first; false on any failure.
template <typename Ours, typename Reference>
bool Alternate(int runs, Ours ours, Reference reference, std::vector<double>& oursMs, std::vector<double>& referenceMs) {
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool oursNow = (run + turn) % 2 == 0;
            const double ms = oursNow ? ours() : reference();
            if (ms < 0) return false;
            (oursNow ? oursMs : referenceMs).push_back(ms);
        }
    }
    return true;
}

void Row(const char* what, const std::vector<double>& ours, const std::vector<double>& reference, double goal) {
    const double a = Median(ours), b = Median(reference), ratio = a / b;
    std::printf("%-32s %10.0f %10.0f %7.2f %8s%.2f %s\n", what, a, b, ratio, "<= ", goal,
                ratio <= goal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <wizard exe> <bare window exe> <fixtures folder> [start-up runs] [install runs] [-v]\n",
                     argv[0]);
        return 2;
    }
    const std::string wizardExe = argv[1], bareExe = argv[2], fixtures = argv[3];
    const int startupRuns = argc > 4 ? std::max(1, std::atoi(argv[4])) : 9;
    const int installRuns = argc > 5 ? std::max(0, std::atoi(argv[5])) : 5;  // 0: start-up only
    verbose = argc > 6 && std::string(argv[6]) == "-v";

    // A distribution folder of the bench's own: the wizard, its INI and the packages.
    const std::string dist = std::string(Root) + "\\dist", installFolder = std::string(Root) + "\\Install";
    RemoveTree(Root);
    CreateDirectoryA(Root, nullptr);
    CreateDirectoryA(dist.c_str(), nullptr);
    std::string ini;
    for (const char* package : Packages) {
        const std::string name(package, static_cast<const char*>(std::strchr(package, '.')));
        ini += "[" + name + "]\r\nComponentDescription=Bench " + name + "\r\nFileName=" + package + "\r\n";
        if (!CopyFileA((fixtures + "\\" + package).c_str(), (dist + "\\" + package).c_str(), FALSE))
            return Fail(std::string("no fixture ") + package), 1;
    }
    // Both programs start from the same folder.
    const std::string wizard = dist + "\\TarnwickSetup.exe", bare = dist + "\\bench-window.exe";
    if (!CopyFileA(wizardExe.c_str(), wizard.c_str(), FALSE) || !CopyFileA(bareExe.c_str(), bare.c_str(), FALSE))
        return Fail("the programs to compare were not built"), 1;
    HANDLE file = CreateFileA((dist + "\\TarnwickSetup.INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
    CloseHandle(file);

    WIN32_FILE_ATTRIBUTE_DATA data0;
    // One of each first, not counted: the first start after a build reads the files from disk.
    if (StartupMs(wizard, dist, "TfrmWelcome") < 0 || StartupMs(bare, dist, "TarnwickBareWindow") < 0) return 1;
    std::vector<double> startOurs, startBare, installOurs, installMsiexec;
    if (!Alternate(
            startupRuns, [&] { return StartupMs(wizard, dist, "TfrmWelcome"); },
            [&] { return StartupMs(bare, dist, "TarnwickBareWindow"); }, startOurs, startBare))
        return 1;
    auto fresh = [&] {
        UninstallProducts("Tarnwick Test");  // so that the run installs them fresh
        RemoveTree(installFolder);
        Sleep(InstallSettleMs);
    };
    if (installRuns > 0 && !Alternate(
            installRuns, [&] { return fresh(), WizardInstallMs(dist, installFolder); },
            [&] { return fresh(), MsiexecInstallMs(dist, installFolder); }, installOurs, installMsiexec))
        return 1;
    fresh();

    // Sealed and bundled: one large setup program (big-setup.exe, made by scripts/bench.sh) staged from
    // a folder beside an unsealed wizard, beside a sealed one (checked as it is written), and from
    // inside a bundle; and the start-up of the sealed wizard and of the bundle.
    const std::string big = fixtures + "\\big-setup.exe";
    const std::string check = wizardExe.substr(0, wizardExe.rfind('\\')) + "\\TarnwickCheck.exe";
    const std::string plain = std::string(Root) + "\\plain", sealed = std::string(Root) + "\\sealed",
                      bundle = std::string(Root) + "\\bundle", staged = std::string(Root) + "\\Staged";
    std::vector<double> startSealed, startBundle, startBare2, stagePlain, stageSealed, stageBundle;
    uint64_t bigSize = 0;
    const bool sealing = installRuns > 0 && GetFileAttributesExA(big.c_str(), GetFileExInfoStandard, &data0);
    if (sealing) {
        bigSize = (uint64_t{data0.nFileSizeHigh} << 32) | data0.nFileSizeLow;
        const std::string bigIni = "[Big]\r\nComponentDescription=Big\r\nFileName=big-setup.exe\r\nFileIsExe=1\r\n";
        for (const std::string& folder : {plain, sealed, bundle}) CreateDirectoryA(folder.c_str(), nullptr);
        for (const std::string& folder : {plain, sealed}) {
            HANDLE out = CreateFileA((folder + "\\TarnwickSetup.INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            WriteFile(out, bigIni.data(), static_cast<DWORD>(bigIni.size()), &written, nullptr);
            CloseHandle(out);
            if (!CopyFileA(big.c_str(), (folder + "\\big-setup.exe").c_str(), FALSE)) return Fail("no big-setup.exe"), 1;
        }
        if (!CopyFileA(wizardExe.c_str(), (plain + "\\TarnwickSetup.exe").c_str(), FALSE) ||
            !Seal(check, plain, "/seal", sealed + "\\TarnwickSetup.exe") ||
            !Seal(check, plain, "/bundle", bundle + "\\TarnwickSetup.exe"))
            return Fail("TarnwickCheck could not seal or bundle " + plain), 1;
        if (!Alternate(
                startupRuns, [&] { return StartupMs(sealed + "\\TarnwickSetup.exe", sealed, "TfrmWelcome"); },
                [&] { return StartupMs(bundle + "\\TarnwickSetup.exe", bundle, "TfrmWelcome"); }, startSealed,
                startBundle) ||
            !Alternate(
                startupRuns, [&] { return StartupMs(bare, dist, "TarnwickBareWindow"); },
                [&] { return StartupMs(bare, dist, "TarnwickBareWindow"); }, startBare2, startBare2))
            return 1;
        for (int run = 0; run < installRuns; ++run) {
            for (const auto& [folder, samples] : {std::pair{plain, &stagePlain}, std::pair{sealed, &stageSealed},
                                                  std::pair{bundle, &stageBundle}}) {
                RemoveTree(staged);
                Sleep(InstallSettleMs);
                const double ms = QuietStagingMs(folder, staged);
                if (ms < 0) return 1;
                samples->push_back(ms);
            }
        }
        RemoveTree(staged);
    }

    ShowSamples("start-up, wizard (ms)", startOurs);
    ShowSamples("start-up, bare window (ms)", startBare);
    ShowSamples("installation, wizard (ms)", installOurs);
    ShowSamples("installation, msiexec (ms)", installMsiexec);
    ShowSamples("staging, unsealed (ms)", stagePlain);
    ShowSamples("staging, sealed (ms)", stageSealed);
    ShowSamples("staging, bundle (ms)", stageBundle);

    std::printf("%-32s %10s %10s %7s %12s\n", "medians, milliseconds", "ours", "reference", "ratio", "goal");
    Row("start-up to the first page", startOurs, startBare, 1.3);
    if (installRuns > 0) Row("installation phase", installOurs, installMsiexec, 1.1);
    if (sealing) {
        const std::string mb = std::to_string(bigSize / 1000000) + " MB";
        Row("start-up, sealed wizard", startSealed, startBare2, 1.3);
        Row(("start-up, bundle of " + mb).c_str(), startBundle, startBare2, 1.3);
        Row(("staging " + mb + ", checked (sealed)").c_str(), stageSealed, stagePlain, 1.5);
        Row(("staging " + mb + " from the bundle").c_str(), stageBundle, stageSealed, 1.3);
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(wizardExe.c_str(), GetFileExInfoStandard, &data)) {
        std::printf("%-32s %10lu bytes (goal <= 327680)\n", "TarnwickSetup.exe", static_cast<unsigned long>(data.nFileSizeLow));
    }
    std::printf("(%d start-up runs each with a bare window program as the reference, %d installation runs each with\n"
                " msiexec /i <package> /qn on %s, %s and %s as the reference; staging: /quiet runs of one large\n"
                " setup program, from the staging folder's appearance to the end, the reference on the right\n"
                " being the unsealed folder, then the sealed folder)\n",
                startupRuns, installRuns, Packages[0], Packages[1], Packages[2]);
    RemoveTree(Root);
    return 0;
}
