// Sealed wizards and bundles, made by TarnwickCheck /seal and /bundle from a distribution folder and
// run as a user or a deployment tool runs them: what they install, what they refuse, and how a
// damaged one ends.
#include <algorithm>
#include <fstream>
#include <functional>

#include "WizardSession.h"

#include <msi.h>

using namespace driver;

namespace {

const char* const DocsCode = "{2C6F0B6E-8E0A-4D55-9B1F-3A7E5D2C9B41}";

void AppendTo(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// A certificate table after what the file holds, pointed to by its headers, as signing adds one.
void AddCertificateTable(const std::string& path) {
    std::string file = ReadWholeFile(path);
    const uint32_t pe = *reinterpret_cast<const uint32_t*>(&file[0x3C]);
    const uint16_t magic = *reinterpret_cast<const uint16_t*>(&file[pe + 24]);
    const std::size_t directory = pe + 24 + (magic == 0x20b ? 144 : 128);
    const uint32_t at = static_cast<uint32_t>(file.size()), size = 64;
    file.replace(directory, 4, reinterpret_cast<const char*>(&at), 4);
    file.replace(directory + 4, 4, reinterpret_cast<const char*>(&size), 4);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << file << std::string(size, 's');
}

class Sealed : public WizardSession {
protected:
    void SetUp() override {
        WizardSession::SetUp();
        WriteIni("[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n"
                 "[Extras]\r\nComponentDescription=Extras\r\nFileName=extras.msi\r\n"
                 "[Tool]\r\nComponentDescription=Tool\r\nFileName=tool.exe\r\nFileIsExe=1\r\nSetupFileSubFolder=1\r\n");
        AddSetupFile("alpha.msi", "core.msi");
        AddSetupFile("beta.msi", "extras.msi");
        AddSetupFile("setup-stub.exe", "tool.exe");
    }

    // TarnwickCheck on the distribution folder, writing a sealed wizard or a bundle to `output`.
    void Make(const char* kind, const std::string& output) {
        Process check;
        ASSERT_TRUE(check.Start(BuildPath("TarnwickCheck.exe"), "\"" + dist + "\" " + kind + " \"" + output + "\"", dist));
        ASSERT_TRUE(check.WaitForExit(60000));
        ASSERT_EQ(0u, check.ExitCode()) << "TarnwickCheck " << kind;
    }
};

TEST_F(Sealed, ASealedWizardOrABundleInstallsWhatItsSealNamesAndNothingElse) {
    Make("/seal", root + "\\sealed.exe");
    Make("/bundle", root + "\\bundle.exe");
    struct Row {
        const char* name;
        bool bundle;
        std::function<void(const std::string& folder)> change;  // to the folder it runs from
        std::string arguments;
        DWORD exitCode;
        std::vector<const char*> installed;  // payload files in the install folder afterwards
        std::vector<const char*> logLines;
    };
    const Row rows[] = {
        {"sealed, as shipped", false, nullptr, "/quiet", 0, {"alpha.txt", "beta.txt"}, {"[Tool] Succeeded", "Exit code: 0"}},
        {"sealed, one package swapped for another valid one", false,
         [](const std::string& folder) { CopyFileA(FixturePath("docs.msi").c_str(), (folder + "\\extras.msi").c_str(), FALSE); },
         "/quiet", 1603, {"alpha.txt"},
         {"[Extras] Failed: The setup file extras.msi is not the one this setup was made with", "[Tool] Succeeded",
          "Exit code: 1603"}},
        {"sealed, with an edited INI beside it", false,
         [](const std::string& folder) {
             std::ofstream(folder + "\\TarnwickSetup.INI", std::ios::binary | std::ios::trunc)
                 << "[Docs]\r\nComponentDescription=Planted\r\nFileName=docs.msi\r\n";
             CopyFileA(FixturePath("docs.msi").c_str(), (folder + "\\docs.msi").c_str(), FALSE);
         },
         "/quiet", 0, {"alpha.txt", "beta.txt"}, {"[Extras] Succeeded", "Exit code: 0"}},
        {"a bundle alone, some components", true, nullptr, "/quiet COMPONENTS=Extras", 0, {"alpha.txt", "beta.txt"},
         {"[Tool] Tool: not selected", "Exit code: 0"}},
        {"a bundle cut short by one byte", true,
         [](const std::string& folder) {
             const std::string file = ReadWholeFile(folder + "\\TarnwickSetup.exe");
             std::ofstream(folder + "\\TarnwickSetup.exe", std::ios::binary | std::ios::trunc) << file.substr(0, file.size() - 1);
         },
         "/quiet", 1619, {}, {"This setup is damaged: it is cut short. Download it again.", "Exit code: 1619"}},
        {"a bundle padded before its signature", true,
         [](const std::string& folder) {
             AppendTo(folder + "\\TarnwickSetup.exe", std::string(8, 'j'));
             AddCertificateTable(folder + "\\TarnwickSetup.exe");
         },
         "/quiet", 1619, {}, {"This setup is damaged: bytes were added after its contents.", "Exit code: 1619"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UninstallTestProducts();
        // Each run from a folder of its own: a bundle alone, a sealed wizard with the files beside it.
        const std::string folder = root + "\\" + row.name;
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((root + (row.bundle ? "\\bundle.exe" : "\\sealed.exe")).c_str(),
                              (folder + "\\TarnwickSetup.exe").c_str(), FALSE));
        if (!row.bundle) {
            for (const char* file : {"TarnwickSetup.INI", "core.msi", "extras.msi", "tool.exe"})
                CopyFileA((dist + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
        }
        if (row.change) row.change(folder);
        const std::string install = folder + "\\Install", log = folder + "\\setup.log";
        ASSERT_TRUE(wizard.Start(folder + "\\TarnwickSetup.exe",
                                 row.arguments + " INSTALLDIR=\"" + install + "\" /log \"" + log + "\"", folder));
        EXPECT_EQ(row.exitCode, ExitCode(60000));
        for (const char* file : {"alpha.txt", "beta.txt", "docs.txt"}) {
            const bool expected = std::find_if(row.installed.begin(), row.installed.end(),
                                               [&](const char* f) { return std::string(f) == file; }) != row.installed.end();
            EXPECT_EQ(expected, FileExists(install + "\\" + file)) << file;
        }
        // A file that is not the sealed one never reaches Windows Installer.
        EXPECT_NE(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(DocsCode));
        EXPECT_EQ(row.exitCode != 1619, FolderExists(install + "\\SetupFiles"));
        const std::string text = ReadWholeFile(log);
        for (const char* line : row.logLines) EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
}

// A bundle copied alone into an empty folder shows the same pages and the same outcome as the folder.
TEST_F(Sealed, ABundleAloneWalksThroughThePagesAsTheFolderDoes) {
    Make("/bundle", root + "\\bundle.exe");
    dist = root + "\\alone";
    CreateDirectoryA(dist.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((root + "\\bundle.exe").c_str(), (dist + "\\TarnwickSetup.exe").c_str(), FALSE));
    Start();
    Press(Page("TfrmWelcome"), "&Next >");
    HWND selection = Page("TfrmSelection");
    HWND list = At(selection, 128, 200);
    ASSERT_EQ(3, ListRowCount(list));
    EXPECT_EQ("Extras", ListCell(list, 1, 0));
    Screenshot(selection, "bundle\\2-selection");
    Press(selection, "&Next >");
    HWND destination = Page("TfrmDestination");
    ChooseInstallFolder(destination, installFolder);
    Press(destination, "&Next >");
    Press(Page("TfrmContactInfo"), "&Next >");
    Press(Page("TfrmReadyToInstall"), "&Install");
    HWND summary = WaitForPage(wizard.Id(), "TfrmSuccess", 120000);
    ASSERT_NE(summary, nullptr);
    HWND rows = At(summary, 136, 184);
    for (int row = 0; row < 3; ++row) EXPECT_EQ("Succeeded", ListCell(rows, row, 1)) << ListCell(rows, row, 0);
    Screenshot(summary, "bundle\\7-summary");
    EXPECT_TRUE(FileExists(installFolder + "\\alpha.txt") && FileExists(installFolder + "\\beta.txt"));
    ASSERT_TRUE(BringToFront(summary));
    PressKey(VK_RETURN);
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
