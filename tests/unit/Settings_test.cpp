// The wizard settings, the folder operations, the disk-space check and the staging of setup files.
#include "installmanager/Settings.h"
#include "installmanager/Staging.h"
#include "platform/Sha256.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "InstallManagerFixture.h"
#include "SyntheticProgram.h"
#include "TempFolder.h"

namespace {

// Sets an environment variable for one scope and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        hadValue_ = length > 0 && length < sizeof old;
        if (hadValue_) old_.assign(old, length);
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, hadValue_ ? old_.c_str() : nullptr); }

private:
    const char* name_;
    bool hadValue_ = false;
    std::string old_;
};

using SettingsTest = InstallManagerTest;

TEST_F(SettingsTest, InstallFolderDefaultsToProgramFilesOnce) {
    {
        ScopedEnvironment programFiles("ProgramFiles", "X:\\Programs");
        EXPECT_EQ("X:\\Programs\\Tarnwick", WizardSettings.GetInstallFolder());
    }
    // The default was stored: it no longer follows the environment.
    EXPECT_EQ("X:\\Programs\\Tarnwick", WizardSettings.GetInstallFolder());
    WizardSettings.SetInstallFolder("D:\\Apps\\");
    EXPECT_EQ("D:\\Apps\\", WizardSettings.GetInstallFolder());  // stored as set
}

TEST_F(SettingsTest, ProgramFilesFromTheRegistryWithoutTheEnvironment) {
    char registry[MAX_PATH + 1] = {};
    DWORD size = sizeof registry - 1;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key));
    const LONG found =
        RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(registry), &size);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, found);
    ASSERT_STRNE("", registry);

    ScopedEnvironment programFiles("ProgramFiles", nullptr);
    EXPECT_EQ(std::string(registry), GetProgramFilesFolder());
    EXPECT_EQ(std::string(registry) + "\\Tarnwick", WizardSettings.GetInstallFolder());
}

TEST_F(SettingsTest, LogFolderFollowsTheStoredInstallFolder) {
    EXPECT_EQ("\\Logs", WizardSettings.GetLogFolder());  // nothing stored, no default filled in
    WizardSettings.SetInstallFolder("D:\\Apps");
    EXPECT_EQ("D:\\Apps\\Logs", WizardSettings.GetLogFolder());
    WizardSettings.SetInstallFolder("E:\\Tools");
    EXPECT_EQ("E:\\Tools\\Logs", WizardSettings.GetLogFolder());
    WizardSettings.SetInstallFolder("F:\\");
    EXPECT_EQ("F:\\Logs", WizardSettings.GetLogFolder());
}

TEST_F(SettingsTest, CreateDirectoryTree) {
    TempFolder folder;
    WriteTextFile(folder / "file", "in the way");
    CreateDirectoryA((folder / "existing").c_str(), nullptr);
    struct Row {
        std::string path;
        bool expected;
        bool existsAfter;
    };
    const std::string tooLong = folder / std::string(MaxPathLength - folder.Path().size(), 'L');  // 260
    const Row rows[] = {
        {folder / "x\\y\\z", true, true},             // three missing levels
        {folder / "existing", true, true},
        {"C:\\", true, true},                         // a root exists but cannot be created
        {folder / "p\\q\\", true, true},              // trailing backslash
        {folder / "f/g/h", true, true},               // forward slashes split too
        {folder / "file", false, false},              // a file is no folder
        {folder / "file\\sub", false, false},
        {folder / "bad*name\\sub", false, false},
        {"a*b", false, false},                        // no separator, cannot be created
        {"Q:nothing", false, false},                  // no separator, path not found
        {tooLong, false, false},
        {tooLong + "\\sub", false, false},
        {"", false, false},
    };
    ASSERT_EQ(MaxPathLength + 1, tooLong.size());
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, CreateDirectoryTree(row.path)) << row.path;
        EXPECT_EQ(row.existsAfter, FolderExists(row.path)) << row.path;
    }
    // The refused over-long path left nothing behind, not even a cut version of itself.
    EXPECT_FALSE(FolderExists(tooLong.substr(0, MaxPathLength)));
    const std::string longest = folder / std::string(MaxPathLength - folder.Path().size() - 1, 'M');
    ASSERT_EQ(MaxPathLength, longest.size());
    EXPECT_TRUE(CreateDirectoryTree(longest));
}

// Free-space query stand-in: answers with `freeBytes` and records the root it was asked about.
struct DiskSpaceRecorder {
    static inline unsigned long long freeBytes = 0;
    static inline bool succeeds = true;
    static inline std::string root;
    static BOOL WINAPI Query(LPCSTR directory, PULARGE_INTEGER available, PULARGE_INTEGER total,
                             PULARGE_INTEGER totalFree) {
        root = directory ? directory : "<null>";
        if (!succeeds) return FALSE;
        available->QuadPart = freeBytes / 2;  // the caller's quota must not be what counts
        total->QuadPart = freeBytes * 4;
        totalFree->QuadPart = freeBytes;
        return TRUE;
    }
    static const DiskSpaceCalls* Calls() {
        static const DiskSpaceCalls calls = {Query};
        return &calls;
    }
};

class DiskSpaceTest : public InstallManagerTest {
protected:
    void SetUp() override {
        InstallManagerTest::SetUp();
        SetDiskSpaceCalls(DiskSpaceRecorder::Calls());
        // Sizes 300 + 200 selected, 9000 not: 500 kilobytes needed.
        WriteTextFile(folder / "Setup.INI", "[A]\nSize=300\n[B]\nSize=9000\n[C]\nSize=200\n");
        ASSERT_TRUE(LoadConfigurationFrom(folder / "Setup.INI"));
        Component(1).Selected = false;
        WizardSettings.SetInstallFolder("D:\\Apps\\Tarnwick");
    }
    TempFolder folder;
};

TEST_F(DiskSpaceTest, ExactlyEnoughFreeSpacePasses) {
    struct Row {
        unsigned long long freeBytes;
        bool succeeds;
        bool expected;
    };
    const Row rows[] = {
        {499999, true, false}, {500000, true, true}, {500999, true, true}, {1ull << 40, true, true},
        {1ull << 40, false, false},  // a failed query counts as no free space
    };
    for (const Row& row : rows) {
        DiskSpaceRecorder::freeBytes = row.freeBytes;
        DiskSpaceRecorder::succeeds = row.succeeds;
        EXPECT_EQ(row.expected, HasEnoughDiskSpace()) << row.freeBytes << " free, query ok " << row.succeeds;
        EXPECT_EQ("D:\\", DiskSpaceRecorder::root);
    }
}

TEST_F(DiskSpaceTest, NegativeSizesFreeNothingAndHugeOnesDoNotWrapAround) {
    DiskSpaceRecorder::succeeds = true;
    DiskSpaceRecorder::freeBytes = 500000;
    const struct {
        int64_t a, c;
        bool expected;
    } rows[] = {{-5000, 500, true}, {-5000, 501, false}, {INT64_MAX, INT64_MAX, false}, {INT64_MAX, -1, false}};
    for (const auto& row : rows) {
        Component(0).Size = row.a;
        Component(2).Size = row.c;
        EXPECT_EQ(row.expected, HasEnoughDiskSpace()) << row.a << " + " << row.c;
    }
}

TEST_F(DiskSpaceTest, NothingSelectedPassesEvenWhenTheQueryFails) {
    for (int i = 0; i < ComponentCount(); ++i) Component(i).Selected = false;
    DiskSpaceRecorder::succeeds = false;
    EXPECT_TRUE(HasEnoughDiskSpace());
}

TEST_F(DiskSpaceTest, AsksAboutTheDriveOrShareRoot) {
    const std::pair<const char*, const char*> rows[] = {
        {"\\\\server\\share\\apps\\Tarnwick", "\\\\server\\share\\"},
        {"e:\\", "e:\\"},
        {"C:\\Program Files\\Tarnwick", "C:\\"},
    };
    DiskSpaceRecorder::succeeds = true;
    DiskSpaceRecorder::freeBytes = 500000;
    for (const auto& row : rows) {
        WizardSettings.SetInstallFolder(row.first);
        EXPECT_TRUE(HasEnoughDiskSpace()) << row.first;
        EXPECT_EQ(row.second, DiskSpaceRecorder::root) << row.first;
    }
}

TEST_F(DiskSpaceTest, RealQueryOnTheTestFolder) {
    SetDiskSpaceCalls(nullptr);
    WizardSettings.SetInstallFolder(folder.Path());
    EXPECT_TRUE(HasEnoughDiskSpace());  // 500 kB are free here
    Component(1).Selected = true;
    Component(1).Size = INT64_MAX / 2;  // no disk holds that many kilobytes
    EXPECT_FALSE(HasEnoughDiskSpace());
}

class CopySetupFilesTest : public InstallManagerTest {
protected:
    void SetUp() override {
        InstallManagerTest::SetUp();
        CreateDirectoryA((folder / "dist").c_str(), nullptr);
        OverrideExecutablePath(folder / "dist\\TarnwickSetup.exe");
        WriteTextFile(folder / "dist\\TarnwickSetup.exe", synthetic::Program());
        WriteTextFile(folder / "dist\\alpha.msi", "alpha");
        WriteTextFile(folder / "dist\\demo.msi", "demo");
        WriteTextFile(folder / "dist\\gamma.exe", "gamma");
        WriteTextFile(folder / "dist\\TarnwickSetup.INI",
                      "[Alpha]\nComponentDescription=Alpha\nFileName=alpha.msi\n"
                      "[Demo]\nComponentDescription=Demo Pack\nFileName=demo.msi\nSetupFileSubFolder=1\n"
                      "[Gamma]\nComponentDescription=Gamma\nFileName=gamma.exe\nFileIsExe=1\n"
                      "[Missing]\nComponentDescription=Missing\nFileName=missing.msi\n");
        ASSERT_TRUE(LoadConfiguration());
        Component(2).Selected = false;
    }
    TempFolder folder;
};

TEST_F(CopySetupFilesTest, CopiesTheSelectedFilesIntoSetupFiles) {
    WizardSettings.SetInstallFolder(folder / "Program Files\\Tarnwick");  // neither level exists yet
    CopySetupFiles();
    const std::string staged = folder / "Program Files\\Tarnwick\\SetupFiles\\";
    EXPECT_EQ("alpha", ReadTextFile(staged + "alpha.msi"));
    EXPECT_EQ("demo", ReadTextFile(staged + "Demo Pack\\demo.msi"));
    EXPECT_EQ("<missing>", ReadTextFile(staged + "demo.msi"));
    EXPECT_EQ("<missing>", ReadTextFile(staged + "gamma.exe"));  // not selected
    EXPECT_EQ("<missing>", ReadTextFile(staged + "missing.msi"));
}

TEST_F(CopySetupFilesTest, ReplacesEarlierCopies) {
    WizardSettings.SetInstallFolder(folder / "inst\\");  // a trailing backslash is not doubled
    CreateDirectoryTree(folder / "inst\\SetupFiles\\Demo Pack");
    WriteTextFile(folder / "inst\\SetupFiles\\alpha.msi", "old");
    WriteTextFile(folder / "inst\\SetupFiles\\Demo Pack\\demo.msi", "old");
    CopySetupFiles();
    EXPECT_EQ("alpha", ReadTextFile(folder / "inst\\SetupFiles\\alpha.msi"));
    EXPECT_EQ("demo", ReadTextFile(folder / "inst\\SetupFiles\\Demo Pack\\demo.msi"));
}

TEST_F(CopySetupFilesTest, NothingIsCopiedWhenSetupFilesCannotBeCreated) {
    WriteTextFile(folder / "blocked", "a file where the install folder should be");
    WizardSettings.SetInstallFolder(folder / "blocked");
    CopySetupFiles();
    EXPECT_EQ("a file where the install folder should be", ReadTextFile(folder / "blocked"));
    EXPECT_FALSE(FolderExists(folder / "blocked\\SetupFiles"));
}

// What staging asks Windows for, through the seam: Wine takes a security descriptor but neither keeps
// nor enforces it, so it cannot be read back from the folder.
struct FolderRecorder {
    static inline std::vector<std::string> calls;
    static BOOL WINAPI CreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
        std::string sddl = "default";
        char* text = nullptr;
        if (attributes && ConvertSecurityDescriptorToStringSecurityDescriptorA(
                              attributes->lpSecurityDescriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
            sddl = text;
            LocalFree(text);
        }
        calls.push_back(std::string("create ") + path + " " + sddl + (attributes && attributes->bInheritHandle ? " inherit" : ""));
        return ::CreateDirectoryA(path, attributes);
    }
    static BOOL WINAPI Move(LPCSTR from, LPCSTR to, DWORD flags) {
        calls.push_back(std::string("move ") + from + " " + to + " " + std::to_string(flags));
        return ::MoveFileExA(from, to, flags);
    }
};

TEST_F(CopySetupFilesTest, SetupFilesIsMadeAnewWithAProtectedDescriptorAndItsFilesAreHeld) {
    static const StagingCalls recorder = {FolderRecorder::CreateDirectory, FolderRecorder::Move};
    SetStagingCalls(&recorder);
    const std::string install = folder / "C-root\\Tarnwick", staging = install + "\\SetupFiles";
    const std::string protectedFolder = std::string(" ") + ProtectedFolderSddl;
    for (const bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "somebody prepared SetupFiles" : "a fresh install folder");
        FolderRecorder::calls.clear();
        ReleaseStagedFiles();
        WizardSettings.SetInstallFolder(install);
        if (prepared) {
            CreateDirectoryTree(staging + "\\Demo Pack");
            WriteTextFile(staging + "\\alpha.msi", "planted");
            WriteTextFile(staging + "\\Demo Pack\\planted.dll", "planted");
        }
        CopySetupFiles();
        std::vector<std::string> expected;
        if (prepared) {
            ASSERT_FALSE(FolderRecorder::calls.empty());
            EXPECT_EQ(0u, FolderRecorder::calls[0].rfind("move " + staging + " " + staging + ".old-", 0)) << FolderRecorder::calls[0];
            expected.push_back(FolderRecorder::calls[0]);
        }
        expected.push_back("create " + staging + protectedFolder);
        expected.push_back("create " + staging + "\\Demo Pack" + protectedFolder);
        std::vector<std::string> madeHere;
        for (const std::string& call : FolderRecorder::calls)
            if (call.find(staging) != std::string::npos) madeHere.push_back(call);
        EXPECT_EQ(expected, madeHere);
        EXPECT_EQ("alpha", ReadTextFile(staging + "\\alpha.msi"));
        EXPECT_EQ("<missing>", ReadTextFile(staging + "\\Demo Pack\\planted.dll"));
        // Nothing of the old folder is left beside it.
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((install + "\\SetupFiles.old-*").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        // Held until it has run: nobody can write the file. (That nobody can rename the folder away
        // while its handle is held, Windows enforces and Wine does not.)
        ASSERT_NE(nullptr, Component(0).StagedFile);
        const HANDLE writer = CreateFileA((staging + "\\alpha.msi").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    }
    ReleaseStagedFiles();
    EXPECT_EQ(nullptr, Component(0).StagedFile);
    const HANDLE writer = CreateFileA((staging + "\\alpha.msi").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, writer);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

// A sealed wizard stages only files whose size and SHA-256 match its seal; a bundle takes them from
// its own file and ignores the files beside it.
TEST_F(CopySetupFilesTest, ASealedWizardOrABundleStagesOnlyWhatItsSealNames) {
    const std::string ini = ReadTextFile(folder / "dist\\TarnwickSetup.INI");
    const auto sealedFile = [](const std::string& name, const std::string& content, uint64_t offset) {
        TSealedFile file;
        file.Name = name;
        file.Size = content.size();
        file.Offset = offset;
        Sha256Of(content.data(), content.size(), file.Sha256);
        return file;
    };
    for (const bool bundle : {false, true}) {
        SCOPED_TRACE(bundle ? "bundle" : "sealed");
        Reset();
        TSeal seal;
        seal.Ini = ini;
        // What the distributor shipped: alpha as "alpha", demo as "DEMO" (beside the wizard lies "demo").
        seal.Files = {sealedFile("alpha.msi", "alpha", 0), sealedFile("demo.msi", "DEMO", bundle ? 8 : 0),
                      sealedFile("gamma.exe", "gamma", bundle ? 16 : 0), sealedFile("missing.msi", "", 0)};
        std::string container;
        if (bundle) {
            seal.ContainerLength = 24;
            container = std::string("alpha\0\0\0DEMO\0\0\0\0gamma\0\0\0", 24);
            WriteTextFile(folder / "dist\\alpha.msi", "a different alpha beside the bundle");
        }
        WriteTextFile(folder / "dist\\TarnwickSetup.INI", "[Other]\nFileName=other.msi\n");  // ignored
        OverrideExecutablePath(folder / "dist\\TarnwickSetup.exe");
        WriteTextFile(folder / "dist\\TarnwickSetup.exe", synthetic::Sealed(SealBytes(seal, Sha256Of), container));
        ASSERT_TRUE(LoadConfiguration()) << ConfigurationProblem();
        ASSERT_EQ(4, ComponentCount());
        WizardSettings.SetInstallFolder(folder / (bundle ? "bundle" : "sealed"));
        CopySetupFiles();
        const std::string staged = folder / (bundle ? "bundle\\SetupFiles\\" : "sealed\\SetupFiles\\");
        EXPECT_EQ("alpha", ReadTextFile(staged + "alpha.msi"));
        EXPECT_NE(nullptr, Component(0).StagedFile);
        // The bundle carries what was sealed; beside the sealed wizard lies another file, never kept.
        EXPECT_EQ(bundle ? "DEMO" : "<missing>", ReadTextFile(staged + "Demo Pack\\demo.msi"));
        EXPECT_EQ(bundle, Component(1).StagedFile != nullptr);
        EXPECT_EQ(bundle ? "" : SealMismatchReason("demo.msi"), Component(1).StagingProblem);
        EXPECT_EQ(bundle ? "" : "<missing>", bundle ? "" : ReadTextFile(staged + "other.msi"));
        ReleaseStagedFiles();
    }
}

TEST_F(CopySetupFilesTest, OverLongDestinationsAreSkippedNotCut) {
    // Two more files whose copies would end exactly at the path limit and one character beyond it.
    const std::string fits = "fits-the-limit1.msi";
    const std::string tooLong = "one-beyond-limit.msi";
    ASSERT_EQ(fits.size() + 1, tooLong.size());
    WriteTextFile(folder / ("dist\\" + fits), "fits");
    WriteTextFile(folder / ("dist\\" + tooLong), "too long");
    Component(2).Selected = true;
    Component(2).FileName = fits;
    Component(3).FileName = tooLong;
    const std::string base = folder.Path() + "\\";
    const std::string setupFiles = base + std::string(MaxPathLength + 1 - base.size() - tooLong.size() - 12, 'i') +
                                   "\\SetupFiles";
    ASSERT_EQ(MaxPathLength + 1, (setupFiles + "\\" + tooLong).size());
    WizardSettings.SetInstallFolder(setupFiles.substr(0, setupFiles.size() - 11));

    CopySetupFiles();
    EXPECT_EQ("fits", ReadTextFile(setupFiles + "\\" + fits));
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((setupFiles + "\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    do {
        if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Demo Pack", "alpha.msi", fits}), names);
}

}  // namespace
