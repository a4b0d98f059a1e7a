#include "installmanager/Installation.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DisplayRecorder.h"
#include "InstallManagerFixture.h"
#include "LibraryLoaderRecorder.h"
#include "SyntheticProgram.h"
#include "TempFolder.h"
#include "installmanager/Configuration.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/InstallerMessages.h"
#include "platform/NameRules.h"
#include "installmanager/Settings.h"
#include "installmanager/Staging.h"

namespace {

const char* const AlphaCode = "{6FFE34E9-3923-4074-A292-5E0676C4448A}";
const HANDLE ProcessHandle = reinterpret_cast<HANDLE>(0x501);
const HANDLE ThreadHandle = reinterpret_cast<HANDLE>(0x502);
const HANDLE MutexHandle = reinterpret_cast<HANDLE>(0x503);

// What the fake installer and process calls answer, and the log of the calls made.
struct Fake {
    std::vector<std::string> calls;
    std::map<std::string, UINT> installResults;  // by setup file name; 0 when missing
    std::map<std::string, UINT> removeResults;   // by product code; 0 when missing
    INSTALLSTATE productState = INSTALLSTATE_UNKNOWN;
    int failingQueryStep = 0;                    // 1 to 5: that step of the product-code query fails (alpha.msi only)
    std::string productCode = AlphaCode;         // what the query reads
    std::map<std::string, DWORD> exitCodes;      // programs that start; any other cannot
    bool exitCodeReadable = true;
    DWORD runningExitCode = 0;                   // of the program started last
    std::function<void()> duringInstall;         // runs inside MsiInstallProductA
    std::deque<MSG> queue;                       // the thread's message queue
    std::deque<std::pair<DWORD, std::vector<UINT>>> waits;  // each wait's result, then messages that arrive
    std::deque<UINT> firstResults;               // results of the first installs, before installResults
    // Windows Installer's mutex: how many more tests find it owned by another installation; whether
    // it exists when free; whether we hold it now, and did so while installing.
    int busyTests = 0;
    bool mutexExists = false;
    bool mutexHeld = false, heldDuringInstall = false;
    DWORD clock = 5000;                          // GetTickCount; pauses advance it
    std::function<void()> duringPause;           // runs in each pause of the wait for the installer
};
Fake fake;

std::string FileNameOf(std::string path) {
    if (!path.empty() && path.back() == '"') path.pop_back();
    return path.substr(path.find_last_of('\\') + 1);
}
std::string Number(unsigned long long value) { return std::to_string(value); }
std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lX", value);
    return text;
}
std::string openedPackage;  // the query's steps fail only for alpha.msi
// The fake product code of a package other than alpha.msi: its name in braces, padded to 38.
std::string CodeOf(const std::string& package) {
    return "{" + package + std::string(36 - package.size(), '0') + "}";
}
UINT FailsAt(int step, UINT error) {
    return fake.failingQueryStep == step && FileNameOf(openedPackage) == "alpha.msi" ? error : ERROR_SUCCESS;
}

INSTALLUILEVEL WINAPI FakeSetInternalUI(INSTALLUILEVEL level, HWND* window) {
    fake.calls.push_back("internal ui " + Number(level) + (window ? " window" : ""));
    return INSTALLUILEVEL_DEFAULT;
}
INSTALLUI_HANDLERA WINAPI FakeSetExternalUI(INSTALLUI_HANDLERA handler, DWORD filter, LPVOID context) {
    fake.calls.push_back("external ui " + Hex(filter) + (handler == InstallerUIHandler ? "" : " other handler") +
                         (context ? " context" : ""));
    return nullptr;
}
UINT WINAPI FakeEnableLog(DWORD mode, LPCSTR file, DWORD attributes) {
    fake.calls.push_back("log " + Hex(mode) + " " + file + " " + Number(attributes));
    return ERROR_SUCCESS;
}
UINT WINAPI FakeOpenDatabase(LPCSTR path, LPCSTR persist, MSIHANDLE* database) {
    fake.calls.push_back(std::string("open ") + path + (persist == MSIDBOPEN_READONLY ? " read-only" : " writable"));
    openedPackage = path;
    if (FailsAt(1, ERROR_OPEN_FAILED)) return ERROR_OPEN_FAILED;
    *database = 101;
    return ERROR_SUCCESS;
}
UINT WINAPI FakeOpenView(MSIHANDLE database, LPCSTR query, MSIHANDLE* view) {
    fake.calls.push_back("view " + Number(database) + " " + query);
    if (FailsAt(2, ERROR_BAD_QUERY_SYNTAX)) return ERROR_BAD_QUERY_SYNTAX;
    *view = 102;
    return ERROR_SUCCESS;
}
UINT WINAPI FakeExecute(MSIHANDLE view, MSIHANDLE parameters) {
    fake.calls.push_back("execute " + Number(view) + " " + Number(parameters));
    return FailsAt(3, ERROR_FUNCTION_FAILED);
}
UINT WINAPI FakeFetch(MSIHANDLE view, MSIHANDLE* record) {
    fake.calls.push_back("fetch " + Number(view));
    if (FailsAt(4, ERROR_NO_MORE_ITEMS)) return ERROR_NO_MORE_ITEMS;
    *record = 103;
    return ERROR_SUCCESS;
}
UINT WINAPI FakeGetString(MSIHANDLE record, UINT field, LPSTR buffer, DWORD* length) {
    fake.calls.push_back("get " + Number(record) + " " + Number(field) + " " + Number(*length));
    if (FailsAt(5, ERROR_MORE_DATA)) return ERROR_MORE_DATA;
    const std::string code = FileNameOf(openedPackage) == "alpha.msi" ? fake.productCode : CodeOf(FileNameOf(openedPackage));
    std::snprintf(buffer, *length, "%s", code.c_str());
    *length = static_cast<DWORD>(code.size());
    return ERROR_SUCCESS;
}
INSTALLSTATE WINAPI FakeQueryState(LPCSTR product) {
    fake.calls.push_back(std::string("state ") + product);
    return fake.productState;
}
UINT WINAPI FakeCloseMsiHandle(MSIHANDLE handle) {
    fake.calls.push_back("close " + Number(handle));
    return ERROR_SUCCESS;
}
UINT WINAPI FakeInstall(LPCSTR package, LPCSTR commandLine) {
    fake.calls.push_back(std::string("install ") + package + " | " + commandLine);
    fake.heldDuringInstall = fake.heldDuringInstall || fake.mutexHeld;
    if (fake.duringInstall) fake.duringInstall();
    if (!fake.firstResults.empty()) {
        const UINT result = fake.firstResults.front();
        fake.firstResults.pop_front();
        return result;
    }
    const auto found = fake.installResults.find(FileNameOf(package));
    return found == fake.installResults.end() ? ERROR_SUCCESS : found->second;
}
UINT WINAPI FakeConfigure(LPCSTR product, int level, INSTALLSTATE state, LPCSTR commandLine) {
    fake.calls.push_back(std::string("remove ") + product + " " + Number(level) + " " + Number(state) + " | " + commandLine);
    const auto found = fake.removeResults.find(product);
    return found == fake.removeResults.end() ? ERROR_SUCCESS : found->second;
}
BOOL WINAPI FakeCreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                              LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags, LPVOID environment,
                              LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info) {
    const std::string line = commandLine;
    // In the folder of the program it starts.
    const bool plain = !application && !processAttributes && !threadAttributes && !inherit && flags == 0 &&
                       !environment && folder && line.rfind("\"" + std::string(folder) + "\\", 0) == 0 &&
                       startup && startup->cb == sizeof(STARTUPINFOA);
    fake.calls.push_back("start " + line + (plain ? "" : " (unexpected arguments)"));
    // The program is the quoted path at the start, whatever arguments follow.
    const auto found = fake.exitCodes.find(FileNameOf(line.substr(0, line.find('"', 1) + 1)));
    if (found == fake.exitCodes.end()) return FALSE;
    fake.runningExitCode = found->second;
    info->hProcess = ProcessHandle;
    info->hThread = ThreadHandle;
    return TRUE;
}
BOOL WINAPI FakePeek(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    if (window || first || last || remove != PM_REMOVE) fake.calls.push_back("peek (unexpected arguments)");
    if (fake.queue.empty()) return FALSE;
    *message = fake.queue.front();
    fake.queue.pop_front();
    return TRUE;
}
LRESULT WINAPI FakeDispatch(const MSG* message) {
    fake.calls.push_back("dispatch " + Number(message->message));
    return 0;
}
void WINAPI FakePostQuit(int code) { fake.calls.push_back("post quit " + Number(code)); }
DWORD WINAPI FakeWait(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask) {
    if (count == 0) {  // a pause of the wait for the installer
        if (handles || milliseconds == INFINITE || wakeMask != QS_ALLINPUT) fake.calls.push_back("pause (unexpected arguments)");
        fake.clock += milliseconds;
        if (fake.duringPause) fake.duringPause();
        return WAIT_TIMEOUT;
    }
    const bool plain = count == 1 && handles[0] == ProcessHandle && !waitAll && milliseconds == INFINITE &&
                       wakeMask == QS_ALLINPUT;
    fake.calls.push_back(std::string("wait") + (plain ? "" : " (unexpected arguments)"));
    if (fake.waits.empty()) return WAIT_OBJECT_0;
    const auto [result, arriving] = fake.waits.front();
    fake.waits.pop_front();
    for (UINT id : arriving) fake.queue.push_back(MSG{nullptr, id, 0, 0, 0, {0, 0}});
    return result;
}
BOOL WINAPI FakeExitCode(HANDLE process, LPDWORD code) {
    fake.calls.push_back(std::string("exit code") + (process == ProcessHandle ? "" : " of another handle"));
    if (!fake.exitCodeReadable) return FALSE;
    *code = fake.runningExitCode;
    return TRUE;
}
HANDLE WINAPI FakeOpenMutex(DWORD access, BOOL inherit, LPCSTR name) {
    if (access != SYNCHRONIZE || inherit || std::string(name) != "Global\\_MSIExecute") fake.calls.push_back("mutex (unexpected arguments)");
    return fake.busyTests > 0 || fake.mutexExists ? MutexHandle : nullptr;
}
DWORD WINAPI FakeWaitForObject(HANDLE handle, DWORD milliseconds) {
    if (handle != MutexHandle || milliseconds != 0) fake.calls.push_back("wait for object (unexpected arguments)");
    if (fake.busyTests > 0) {
        --fake.busyTests;
        return WAIT_TIMEOUT;
    }
    fake.mutexHeld = true;
    return WAIT_OBJECT_0;
}
BOOL WINAPI FakeReleaseMutex(HANDLE handle) {
    if (handle != MutexHandle || !fake.mutexHeld) fake.calls.push_back("release (unexpected)");
    fake.mutexHeld = false;
    return TRUE;
}
DWORD WINAPI FakeTickCount() { return fake.clock; }
BOOL WINAPI FakeCloseHandle(HANDLE handle) {
    if (handle == MutexHandle) {
        if (fake.mutexHeld) fake.calls.push_back("mutex closed while held");
        return TRUE;
    }
    fake.calls.push_back(handle == ProcessHandle ? "close process" : handle == ThreadHandle ? "close thread" : "close ?");
    return TRUE;
}

const TInstallerCalls FakeCalls = {
    FakeSetInternalUI, FakeSetExternalUI, FakeEnableLog, FakeOpenDatabase, FakeOpenView, FakeExecute,
    FakeFetch,         FakeGetString,     FakeQueryState, FakeCloseMsiHandle, FakeInstall, FakeCreateProcess,
    FakePeek,          FakeDispatch,      FakePostQuit,   FakeWait,          FakeExitCode, FakeCloseHandle,
    FakeOpenMutex,     FakeWaitForObject, FakeReleaseMutex, FakeTickCount, FakeConfigure,
};

struct Entry {
    std::string description, fileName;
    bool exe = false, subFolder = false;
    std::string uninstall = "";  // UninstallArguments
};

// The install manager's state starts fresh (and restarts go to a recorder); the install folder, with a
// blank in its name as under Program Files, lies in a temporary folder.
class InstallationTest : public InstallManagerTest {
protected:
    void SetUp() override {
        InstallManagerTest::SetUp();
        install = temp / "Install Folder";
        WizardSettings.SetInstallFolder(install);
        Reset();
    }
    void TearDown() override {
        WizardSettings.Removing = false;
        RestoreInstallerCalls();
        InstallManagerTest::TearDown();
    }
    void Reset() {
        fake = Fake();
        InstallerCalls = FakeCalls;
        WizardSettings.RestartRequired = false;
        WizardSettings.CancelRequested = false;
        display.calls.clear();
    }
    // Loads a catalogue of these entries, all selected, and stages their setup files as the wizard
    // does right before the run (those named in `missing` are not beside the wizard; `content` is
    // what the others hold).
    void Load(const std::vector<Entry>& entries, const std::vector<std::string>& missing = {},
              const std::string& content = "x") {
        WizardSettings.RestartRequired = false;  // unloading asks for no restart
        UnloadConfiguration();
        CreateDirectoryA((temp / "dist").c_str(), nullptr);
        OverrideExecutablePath(temp / "dist\\TarnwickSetup.exe");
        WriteTextFile(temp / "dist\\TarnwickSetup.exe", synthetic::Program());
        for (const Entry& entry : entries) {
            if (IsPlainFileName(entry.fileName) &&
                std::find(missing.begin(), missing.end(), entry.fileName) == missing.end())
                WriteTextFile(temp / ("dist\\" + entry.fileName), content);
        }
        const std::string ini = temp / "Setup.INI";
        FILE* file = std::fopen(ini.c_str(), "w");
        ASSERT_NE(nullptr, file);
        for (std::size_t i = 0; i < entries.size(); ++i)
            std::fprintf(file, "[C%u]\nComponentDescription=%s\nFileName=%s\nFileIsExe=%d\nSetupFileSubFolder=%d\n"
                               "UninstallArguments=%s\n",
                         static_cast<unsigned>(i), entries[i].description.c_str(), entries[i].fileName.c_str(),
                         entries[i].exe, entries[i].subFolder, entries[i].uninstall.c_str());
        std::fclose(file);
        ASSERT_TRUE(LoadConfigurationFrom(ini));
        ASSERT_EQ(static_cast<int>(entries.size()), ComponentCount());
        CopySetupFiles();
    }
    // The calls between the user-interface settings and the install of the first package.
    std::vector<std::string> QueryCalls() const {
        std::vector<std::string> query;
        for (std::size_t i = 2; i < fake.calls.size() && fake.calls[i].rfind("install ", 0) != 0; ++i)
            query.push_back(fake.calls[i]);
        return query;
    }
    std::string Staged(const std::string& name) const { return install + "\\SetupFiles\\" + name; }
    std::string FirstInstall() const {
        return "INSTALLDIR=\"" + install + "\" TWK_CAME_LAUNCHER=1 REBOOT=ReallySuppress";
    }

    TempFolder temp;
    std::string install;
    DisplayRecorder display;
};

TEST_F(InstallationTest, ProductStateChoosesTheCommandLine) {
    const struct {
        INSTALLSTATE state;
        bool reinstall;
    } rows[] = {{INSTALLSTATE_UNKNOWN, false}, {INSTALLSTATE_ADVERTISED, true}, {INSTALLSTATE_ABSENT, false},
                {INSTALLSTATE_LOCAL, false},   {INSTALLSTATE_DEFAULT, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.state);
        Reset();
        Load({{"Alpha", "alpha.msi"}});
        fake.productState = row.state;
        RunInstallation();
        const std::string package = Staged("alpha.msi");
        EXPECT_EQ((std::vector<std::string>{
                      "internal ui 258", "external ui 7FDF", "open " + package + " read-only",
                      std::string("view 101 ") + "SELECT `Value` FROM `Property` WHERE `Property`='ProductCode'",
                      "execute 102 0", "fetch 102", "get 103 1 40", std::string("state ") + AlphaCode, "close 101",
                      "close 102", "close 103",
                      "install " + package + " | " + FirstInstall() +
                          (row.reinstall ? " REINSTALL=ALL REINSTALLMODE=vomus" : "")}),
                  fake.calls);
        EXPECT_EQ((std::vector<std::string>{"bar min", "product Installing Alpha..."}), display.calls);
    }
}

// A file that does not open as an installer database (step 1), or one whose database describes no
// product (a later step fails, or the value is no product code), is never handed to the installer:
// it fails with 1620, and the run goes on. All three handles are closed in order, those never
// opened as 0.
TEST_F(InstallationTest, APackageThatIsNoProductFailsWith1620BeforeTheInstaller) {
    const std::vector<std::string> steps = {"open " + Staged("alpha.msi") + " read-only",
                                            "view 101 SELECT `Value` FROM `Property` WHERE `Property`='ProductCode'",
                                            "execute 102 0", "fetch 102", "get 103 1 40"};
    const char* closes[][3] = {{"close 0", "close 0", "close 0"},       {"close 101", "close 0", "close 0"},
                               {"close 101", "close 102", "close 0"},   {"close 101", "close 102", "close 0"},
                               {"close 101", "close 102", "close 103"}, {"close 101", "close 102", "close 103"}};
    for (int step = 1; step <= 6; ++step) {  // 6: the value read is no product code in braces
        SCOPED_TRACE(step);
        Reset();
        Load({{"Alpha", "alpha.msi"}, {"Beta", "beta.msi"}}, {}, "not a database");
        fake.failingQueryStep = step;
        if (step == 6) fake.productCode = "ProductCode";
        fake.productState = INSTALLSTATE_DEFAULT;
        RunInstallation();
        std::vector<std::string> expected(steps.begin(), steps.begin() + std::min(step, 5));
        expected.insert(expected.end(), closes[step - 1], closes[step - 1] + 3);
        std::vector<std::string> alphaCalls = QueryCalls();  // up to beta's install
        alphaCalls.resize(std::min(alphaCalls.size(), expected.size()));
        EXPECT_EQ(expected, alphaCalls);
        EXPECT_FALSE(Component(0).Succeeded);
        EXPECT_EQ(1620u, Component(0).ResultCode);
        EXPECT_NE(std::string::npos, Component(0).FailureReason.find(step == 1 ? "alpha.msi does not open as a Windows Installer database: 1620"
                                                                              : "alpha.msi describes no product (it has no ProductCode): 1620"))
            << Component(0).FailureReason;
        EXPECT_NE(std::string::npos, Component(0).FailureReason.find(SystemMessage(1620)));
        // The next package is installed; the broken one never reached the installer.
        EXPECT_TRUE(Component(1).Succeeded);
        EXPECT_EQ("install " + Staged("beta.msi") + " | " + FirstInstall() + " REINSTALL=ALL REINSTALLMODE=vomus",
                  fake.calls.back());
        EXPECT_EQ(1, std::count_if(fake.calls.begin(), fake.calls.end(),
                                   [](const std::string& call) { return call.rfind("install ", 0) == 0; }));
    }
}

TEST_F(InstallationTest, PackageOutcomes) {
    const struct {
        UINT result;
        bool restartBefore, succeeded, restartAfter;
    } rows[] = {{0, false, true, false},     {3010, false, true, true}, {1602, false, false, false},
                {1603, false, false, false}, {1641, false, false, false}, {0, true, true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.result);
        Reset();
        Load({{"Alpha", "alpha.msi"}});
        fake.installResults["alpha.msi"] = row.result;
        WizardSettings.RestartRequired = row.restartBefore;
        RunInstallation();
        EXPECT_EQ(row.succeeded, Component(0).Succeeded);
        EXPECT_EQ(row.restartAfter, WizardSettings.RestartRequired);
    }
}

TEST_F(InstallationTest, ProgramOutcomes) {
    const struct {
        bool starts, readable;
        DWORD exitCode;
        bool succeeded, restart;
    } rows[] = {{true, true, 0, true, false},  {true, true, 1, true, false}, {true, true, 8, true, true},
                {true, false, 8, true, false}, {false, true, 0, false, false},
                {true, true, 0xC0000005, false, false},  // crashed: an exception code, not an exit code
                {true, true, 0xFFFFFFFF, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.exitCode);
        Reset();
        Load({{"Tools", "setup.exe", true}});
        if (row.starts) fake.exitCodes["setup.exe"] = row.exitCode;
        fake.exitCodeReadable = row.readable;
        RunInstallation();
        EXPECT_EQ(row.succeeded, Component(0).Succeeded);
        EXPECT_EQ(row.restart, WizardSettings.RestartRequired);
        // Quoted: the install folder has a blank.
        std::vector<std::string> expected = {"internal ui 258", "external ui 7FDF",
                                             "start \"" + Staged("setup.exe") + "\" -r"};
        if (row.starts) expected.insert(expected.end(), {"wait", "exit code", "close process", "close thread"});
        EXPECT_EQ(expected, fake.calls);
        EXPECT_EQ((std::vector<std::string>{"cancel off", "bar min", "product Installing Tools...", "bar max",
                                            "cancel on"}),
                  display.calls);
    }
}

TEST_F(InstallationTest, WindowsInstallerIsBoundAllOrNothingFromTheSystemFolder) {
    LibraryLoaderRecorder::Reset();
    SetLibraryLoaderCalls(LibraryLoaderRecorder::Calls());
    const struct {
        bool missing;
        const char* hiddenEntry;
        bool bound;
    } rows[] = {{false, "", true}, {true, "", false}, {false, "MsiInstallProductA", false}, {false, "MsiEnableLogA", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hiddenEntry);
        LibraryLoaderRecorder::Reset();
        LibraryLoaderRecorder::libraryMissing = row.missing;
        LibraryLoaderRecorder::missingEntries = {row.hiddenEntry};
        TInstallerCalls calls = {};
        calls.CloseHandle = FakeCloseHandle;
        EXPECT_EQ(row.bound, BindWindowsInstaller(calls));
        char system[MAX_PATH] = "";
        GetSystemDirectoryA(system, MAX_PATH);
        EXPECT_EQ(std::vector<std::string>{std::string(system) + "\\msi.dll"}, LibraryLoaderRecorder::loadedPaths);
        EXPECT_EQ(row.bound, calls.MsiInstallProductA != nullptr && calls.MsiEnableLogA != nullptr &&
                                 calls.MsiSetInternalUI != nullptr);
        EXPECT_EQ(FakeCloseHandle, calls.CloseHandle);  // the other entries are left alone
        // A library that is not used is released; a bound one stays for the process.
        EXPECT_EQ(row.missing || row.bound ? 0 : 1, LibraryLoaderRecorder::frees);
    }

    // Without Windows Installer every package fails quietly and programs still run.
    LibraryLoaderRecorder::Reset();
    LibraryLoaderRecorder::libraryMissing = true;
    Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true}});
    fake.exitCodes["setup.exe"] = 0;
    TInstallerCalls unbound = FakeCalls;
    unbound.MsiSetInternalUI = nullptr, unbound.MsiSetExternalUIA = nullptr, unbound.MsiInstallProductA = nullptr;
    InstallerCalls = unbound;
    RunInstallation();
    SetLibraryLoaderCalls(nullptr);
    EXPECT_FALSE(Component(0).Succeeded);
    EXPECT_TRUE(Component(1).Succeeded);
    EXPECT_EQ((std::vector<std::string>{"start \"" + Staged("setup.exe") + "\" -r", "wait", "exit code",
                                        "close process", "close thread"}),
              fake.calls);
}

TEST_F(InstallationTest, WaitDispatchesMessagesUntilTheProcessEnds) {
    Load({{"Tools", "setup.exe", true}});
    fake.exitCodes["setup.exe"] = 0;
    fake.queue = {MSG{nullptr, WM_PAINT, 0, 0, 0, {0, 0}}, MSG{nullptr, WM_LBUTTONDOWN, 0, 0, 0, {0, 0}}};
    fake.waits = {{WAIT_OBJECT_0 + 1, {WM_PAINT}}, {WAIT_OBJECT_0, {}}};
    RunInstallation();
    EXPECT_EQ((std::vector<std::string>{"internal ui 258", "external ui 7FDF", "start \"" + Staged("setup.exe") + "\" -r",
                                        "dispatch 15", "dispatch 513", "wait", "dispatch 15", "wait", "exit code",
                                        "close process", "close thread"}),
              fake.calls);
}

TEST_F(InstallationTest, QuitEndsTheWaitAndIsPostedAgain) {
    Load({{"Tools", "setup.exe", true}});
    fake.exitCodes["setup.exe"] = 0;
    fake.queue = {MSG{nullptr, WM_PAINT, 0, 0, 0, {0, 0}}, MSG{nullptr, WM_QUIT, 3, 0, 0, {0, 0}},
                  MSG{nullptr, WM_PAINT, 0, 0, 0, {0, 0}}};
    RunInstallation();
    EXPECT_EQ((std::vector<std::string>{"internal ui 258", "external ui 7FDF", "start \"" + Staged("setup.exe") + "\" -r",
                                        "dispatch 15", "post quit 3", "exit code", "close process", "close thread"}),
              fake.calls);
    EXPECT_TRUE(Component(0).Succeeded);
}

TEST_F(InstallationTest, CancelSkipsEveryLaterComponent) {
    for (bool beforeRun : {false, true}) {
        SCOPED_TRACE(beforeRun ? "cancelled before the run" : "cancelled during the first package");
        Reset();
        Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true}, {"Beta", "beta.msi"}, {"Later", "later.exe", true}});
        Component(3).Selected = false;
        Component(3).Succeeded = true;  // not selected: must stay as it is
        fake.exitCodes["setup.exe"] = 0;
        fake.installResults["alpha.msi"] = 1602;
        fake.duringInstall = [] { WizardSettings.CancelRequested = true; };
        WizardSettings.CancelRequested = beforeRun;
        RunInstallation();
        EXPECT_FALSE(Component(0).Succeeded);
        EXPECT_FALSE(Component(1).Succeeded);
        EXPECT_FALSE(Component(2).Succeeded);
        EXPECT_TRUE(Component(3).Succeeded);
        int started = 0;
        for (const std::string& call : fake.calls) started += call.rfind("install ", 0) == 0 || call.rfind("start ", 0) == 0;
        EXPECT_EQ(beforeRun ? 0 : 1, started);
    }
}

TEST_F(InstallationTest, NothingSelectedOnlyConfiguresTheInstaller) {
    Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true}});
    Component(0).Selected = Component(1).Selected = false;
    WizardSettings.LoggingEnabled = true;
    RunInstallation();
    EXPECT_EQ((std::vector<std::string>{"internal ui 258", "external ui 7FDF"}), fake.calls);
    EXPECT_TRUE(display.calls.empty());
}

TEST_F(InstallationTest, StagedPathsFollowTheSubFolderSwitch) {
    // A description is a name, never a path; a file name with a path in it is never started.
    Load({{"Demo Pack", "demo.msi", false, true}, {"Tools", "setup.exe", true, true},
          {"..", "dots.msi", false, true}, {"a\\b:c", "setup.exe", true, true},
          {"Escape", "..\\..\\escape.msi"}, {"Other", "C:\\other.exe", true}});
    fake.exitCodes["setup.exe"] = 0;
    fake.exitCodes["other.exe"] = 0;
    RunInstallation();
    const std::vector<std::string> started(fake.calls.begin() + 2, fake.calls.end());
    for (const std::string& call : {"install " + Staged("Demo Pack\\demo.msi") + " | " + FirstInstall(),
                                    "start \"" + Staged("Tools\\setup.exe") + "\" -r",
                                    "install " + Staged("__\\dots.msi") + " | " + FirstInstall(),
                                    "start \"" + Staged("a_b_c\\setup.exe") + "\" -r"})
        EXPECT_EQ(1u, std::count(started.begin(), started.end(), call)) << call;
    for (const std::string& call : started) EXPECT_EQ(std::string::npos, call.find("escape")) << call;
    for (const std::string& call : started) EXPECT_EQ(std::string::npos, call.find("other.exe")) << call;
    EXPECT_FALSE(Component(4).Succeeded);
    EXPECT_FALSE(Component(5).Succeeded);
}

// Logging writes one log per package into <install>\Logs, creating the folder; programs get none.
TEST_F(InstallationTest, Logging) {
    const struct {
        bool enabled, folderCreatable;
        bool logs;
    } rows[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.enabled ? "on" : "off") + (row.folderCreatable ? "" : ", folder cannot be created"));
        Reset();
        Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true}, {"Beta", "beta.msi"}});
        fake.exitCodes["setup.exe"] = 0;
        // A file where the install folder's parent should be: no folder can be made below it.
        std::string folder = install;
        if (!row.folderCreatable) {
            folder = temp / "a file\\Install";
            WriteTextFile(temp / "a file", "");
        }
        WizardSettings.SetInstallFolder(folder);
        CopySetupFiles();
        WizardSettings.LoggingEnabled = row.enabled;
        RunInstallation();
        std::vector<std::string> logs;
        for (std::size_t i = 0; i < fake.calls.size(); ++i)
            if (fake.calls[i].rfind("log ", 0) == 0) {
                logs.push_back(fake.calls[i]);
                EXPECT_EQ(0u, fake.calls[i + 1].rfind("open ", 0)) << "the log is enabled right before its package";
            }
        if (row.logs)
            EXPECT_EQ((std::vector<std::string>{"log 1FDF " + folder + "\\Logs\\Alpha.log 1",
                                                "log 1FDF " + folder + "\\Logs\\Beta.log 1"}),
                      logs);
        else
            EXPECT_TRUE(logs.empty());
        EXPECT_EQ(row.enabled && row.folderCreatable, FolderExists(folder + "\\Logs"));
        // Where no folder can be made, nothing could be staged either.
        EXPECT_EQ(row.folderCreatable, Component(0).Succeeded && Component(1).Succeeded && Component(2).Succeeded);
        TempFolder::RemoveTree(install);
        WizardSettings.SetInstallFolder(install);
    }
}

// Another installation holds Windows Installer: the run waits with the waiting text, looking again
// every two seconds, and never holds the mutex itself beyond the test.
TEST_F(InstallationTest, WaitsWhileAnotherInstallationHoldsWindowsInstaller) {
    const struct {
        const char* name;
        int busyTests;               // mutex tests that find it owned
        std::deque<UINT> results;    // of the first installs
        bool cancelInPause;
        int installs;
        bool succeeded;
        uint32_t resultCode;
        const char* reason;          // part of the failure reason
        DWORD minWaitedMs, maxWaitedMs;
    } rows[] = {
        {"free", 0, {}, false, 1, true, 0, "", 0, 0},
        {"busy, then free", 2, {}, false, 1, true, 0, "", 4000, 4500},
        {"busy past the limit", 1 << 30, {}, false, 0, false, 1618, "1618", 600000, 601000},
        {"cancel during the wait", 1 << 30, {}, true, 0, false, 0, "cancelled", 0, 100},
        {"the installer says busy, the mutex does not", 0, {1618, 1618}, false, 3, true, 0, "", 4000, 4500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true}});
        fake.exitCodes["setup.exe"] = 0;
        fake.busyTests = row.busyTests;
        fake.mutexExists = true;  // and free when not busy: the test takes it and gives it back
        fake.firstResults = row.results;
        if (row.cancelInPause) fake.duringPause = [] { WizardSettings.CancelRequested = true; };
        const DWORD start = fake.clock;
        RunInstallation();
        int installs = 0;
        for (const std::string& call : fake.calls) installs += call.rfind("install ", 0) == 0;
        EXPECT_EQ(row.installs, installs);
        EXPECT_EQ(row.succeeded, Component(0).Succeeded);
        EXPECT_EQ(row.resultCode, Component(0).ResultCode);
        EXPECT_NE(std::string::npos, Component(0).FailureReason.find(row.reason)) << Component(0).FailureReason;
        EXPECT_GE(fake.clock - start, row.minWaitedMs);
        EXPECT_LE(fake.clock - start, row.maxWaitedMs);
        // The program after it runs unless the user cancelled.
        EXPECT_EQ(!row.cancelInPause, Component(1).Succeeded);
        EXPECT_FALSE(fake.heldDuringInstall);
        EXPECT_FALSE(fake.mutexHeld);
        for (const std::string& call : fake.calls) EXPECT_EQ(std::string::npos, call.find("unexpected")) << call;
        const bool waited = row.busyTests > 0 || !row.results.empty();
        EXPECT_EQ(waited, !display.Calls("action Waiting for another installation to finish...").empty());
        if (waited) {
            EXPECT_GT(display.pumps, 0);
        }
    }
}

// Every failure keeps its reason, in words that name the installer's result, the exit code or the file.
TEST_F(InstallationTest, EveryFailureKeepsItsReason) {
    Load({{"Broken", "broken.msi"}, {"Missing", "missing.msi"}, {"Crash", "crash.exe", true},
          {"Unstartable", "unstartable.exe", true}, {"Escape", "..\\escape.msi"}, {"Fine", "fine.msi"}},
         {"missing.msi"});
    fake.installResults["broken.msi"] = 1603;
    fake.installResults["missing.msi"] = 1619;
    fake.exitCodes["crash.exe"] = 0xC0000005;
    WizardSettings.LoggingEnabled = true;
    RunInstallation();
    const std::vector<std::vector<std::string>> expected = {
        {"1603", SystemMessage(1603), install + "\\Logs\\Broken.log"},
        {"missing.msi", "missing from the setup's folder"},
        {"0xC0000005"},
        {"could not be started"},
        {"not a plain file name"},
        {},
    };
    for (int i = 0; i < ComponentCount(); ++i) {
        SCOPED_TRACE(Component(i).ComponentDescription);
        EXPECT_EQ(expected[i].empty(), Component(i).Succeeded);
        for (const std::string& part : expected[i])
            EXPECT_NE(std::string::npos, Component(i).FailureReason.find(part)) << Component(i).FailureReason;
    }
    EXPECT_FALSE(SystemMessage(1603).empty()) << "Windows names its installer results";
    EXPECT_TRUE(Component(5).FailureReason.empty());
}

// A removal goes in the reverse of the INI's order: a product on the machine is removed, one that is
// not counts as removed, a setup program runs with its UninstallArguments, one without them fails.
// The staged copies go, and the folders the wizard made once they are empty.
TEST_F(InstallationTest, RemovalGoesBackwardsThroughTheCatalogue) {
    const struct {
        const char* name;
        INSTALLSTATE state;
        UINT result;       // of Beta's removal
        bool betaRemoved, restart;
    } rows[] = {
        {"on the machine", INSTALLSTATE_DEFAULT, 0, true, false},
        {"not on the machine", INSTALLSTATE_UNKNOWN, 0, true, false},
        {"removed, a restart is due", INSTALLSTATE_ADVERTISED, 3010, true, true},
        {"gone in between", INSTALLSTATE_DEFAULT, ERROR_UNKNOWN_PRODUCT, true, false},
        {"the removal fails", INSTALLSTATE_DEFAULT, 1603, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        WizardSettings.Removing = true;
        Load({{"Alpha", "alpha.msi"}, {"Tools", "setup.exe", true, true, "/remove /quiet"}, {"Beta", "beta.msi"},
              {"Bare", "bare.exe", true}});
        fake.exitCodes["setup.exe"] = 0;
        fake.productState = row.state;
        fake.removeResults[CodeOf("beta.msi")] = row.result;
        RunRemoval();
        std::vector<std::string> started;
        for (const std::string& call : fake.calls)
            if (call.rfind("remove ", 0) == 0 || call.rfind("start ", 0) == 0) started.push_back(call);
        const std::string removeArguments = " 0 2 | REBOOT=ReallySuppress";  // default level, absent
        std::vector<std::string> expected;
        if (row.state != INSTALLSTATE_UNKNOWN) expected.push_back("remove " + CodeOf("beta.msi") + removeArguments);
        expected.push_back("start \"" + Staged("Tools\\setup.exe") + "\" /remove /quiet");
        if (row.state != INSTALLSTATE_UNKNOWN) expected.push_back(std::string("remove ") + AlphaCode + removeArguments);
        EXPECT_EQ(expected, started);
        EXPECT_TRUE(Component(0).Succeeded);
        EXPECT_TRUE(Component(1).Succeeded);
        EXPECT_EQ(row.betaRemoved, Component(2).Succeeded);
        EXPECT_FALSE(Component(3).Succeeded);
        EXPECT_NE(std::string::npos, Component(3).FailureReason.find("[C3] gives no UninstallArguments"));
        EXPECT_EQ(row.restart, WizardSettings.RestartRequired);
        // Nothing staged is left, and no folder but the install folder's parent.
        EXPECT_FALSE(FolderExists(install));
    }
}

}  // namespace
