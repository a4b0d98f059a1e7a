// The configuration file read into the component catalogue: real INI files in a temporary folder.
#include "installmanager/Configuration.h"

#include "SyntheticProgram.h"
#include "installmanager/Distribution.h"
#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "InstallManagerFixture.h"
#include "TempFolder.h"

namespace {

// One entry as a line of text, so that a table row states every field at once.
std::string Describe(const TSetupComponent& c) {
    char text[4096];
    std::snprintf(text, sizeof text, "img=%d desc=%s ver=%s size=%lld file=%s exe=%d req=%d sel=%d ok=%d sub=%d id=%s",
                  c.ComponentImageIndex, c.ComponentDescription.c_str(), c.Version.c_str(),
                  static_cast<long long>(c.Size), c.FileName.c_str(), c.FileIsExe, c.Required, c.Selected,
                  c.Succeeded, c.SetupFileSubFolder, c.ColProdID.c_str());
    return text;
}

char LocaleDecimalSeparator() {
    char separator[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
    return separator[0];
}

class ConfigurationTest : public InstallManagerTest {
protected:
    // Writes `content` as a new INI file in the test's folder and returns its path.
    std::string Ini(const std::string& content, const char* name = "Setup.INI") {
        const std::string path = folder / name;
        WriteTextFile(path, content);
        return path;
    }
    std::vector<std::string> Descriptions() const {
        std::vector<std::string> result;
        for (int i = 0; i < ComponentCount(); ++i) result.push_back(Component(i).ComponentDescription);
        return result;
    }
    TempFolder folder;
};

TEST_F(ConfigurationTest, EveryKeyWithItsDefaultAndItsForms) {
    const char sep = LocaleDecimalSeparator();
    const char other = sep == '.' ? ',' : '.';
    struct Row {
        std::string section;
        std::string expected;
    };
    const Row rows[] = {
        {"ComponentDescription=Bare",
         "img=-1 desc=Bare ver= size=0 file= exe=0 req=0 sel=1 ok=0 sub=0 id=-1"},
        {"ComponentImageIndex=3\nComponentDescription=Full\nVersion=2.1\nSize=1536\nFileName=full.msi\n"
         "FileIsExe=0\nRequired=1\nSetupFileSubFolder=1\nColProdID=12",
         "img=3 desc=Full ver=2.1 size=1536 file=full.msi exe=0 req=1 sel=1 ok=0 sub=1 id=12"},
        {"ComponentImageIndex=0x1\nFileIsExe=7\nRequired=yes\nSetupFileSubFolder=true",
         "img=1 desc= ver= size=0 file= exe=1 req=0 sel=1 ok=0 sub=0 id=-1"},
        {"ComponentImageIndex=$A\nSize=1536" + std::string(1, sep) + "9\nRequired=0x0",
         "img=10 desc= ver= size=1536 file= exe=0 req=0 sel=1 ok=0 sub=0 id=-1"},
        {"ComponentImageIndex=0X1F\nSize=1536" + std::string(1, other) + "9",
         "img=31 desc= ver= size=0 file= exe=0 req=0 sel=1 ok=0 sub=0 id=-1"},
        {"ComponentImageIndex=two\nSize=abc\nFileIsExe=\nColProdID=",
         "img=-1 desc= ver= size=0 file= exe=0 req=0 sel=1 ok=0 sub=0 id="},
        // Key case, blanks around values and quotes are the profile functions' business.
        {"componentdescription =  \"Demo Pack\"  \nSIZE= 20 \nfileisexe=1",
         "img=-1 desc=Demo Pack ver= size=20 file= exe=1 req=0 sel=1 ok=0 sub=0 id=-1"},
    };
    std::string content;
    for (std::size_t i = 0; i < std::size(rows); ++i)
        content += "[Section" + std::to_string(i) + "]\n" + rows[i].section + "\n";
    ASSERT_TRUE(LoadConfigurationFrom(Ini(content)));
    ASSERT_EQ(static_cast<int>(std::size(rows)), ComponentCount());
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].expected, Describe(Component(static_cast<int>(i)))) << rows[i].section;
    // The removal's arguments: a text, empty by default.
    UnloadConfiguration();
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[A]\nUninstallArguments = \"/remove /quiet\" \n[B]\n")));
    EXPECT_EQ("/remove /quiet", Component(0).UninstallArguments);
    EXPECT_EQ("", Component(1).UninstallArguments);
}

TEST_F(ConfigurationTest, LongValuesAreReadUpTo2047Characters) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[A]\nComponentDescription=" + std::string(3000, 'x') + "\n")));
    EXPECT_EQ(std::string(2047, 'x'), Component(0).ComponentDescription);
}

TEST_F(ConfigurationTest, CatalogueKeepsTheFileOrderOfSections) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[Zeta]\nComponentDescription=Z\n[Alpha]\nComponentDescription=A\n"
                                          "[Mid]\nComponentDescription=M\n")));
    EXPECT_EQ((std::vector<std::string>{"Z", "A", "M"}), Descriptions());
}

TEST_F(ConfigurationTest, FileWithoutSectionsGivesAnEmptyCatalogue) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("")));
    EXPECT_TRUE(ConfigurationLoaded());
    EXPECT_EQ(0, ComponentCount());
}

TEST_F(ConfigurationTest, MissingFileIsReportedAndReadsNothing) {
    EXPECT_FALSE(LoadConfigurationFrom(folder / "Missing.INI"));
    EXPECT_FALSE(ConfigurationLoaded());
    EXPECT_EQ(0, ComponentCount());
    // A folder of that name is no configuration file either.
    CreateDirectoryA((folder / "Folder.INI").c_str(), nullptr);
    EXPECT_FALSE(LoadConfigurationFrom(folder / "Folder.INI"));
    EXPECT_FALSE(ConfigurationLoaded());
}

TEST_F(ConfigurationTest, SecondLoadKeepsTheCatalogueAndItsTicks) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[A]\nComponentDescription=A\n[B]\nComponentDescription=B\n")));
    TSetupComponent* first = &Component(0);
    Component(0).Selected = false;
    Component(1).Succeeded = true;

    EXPECT_TRUE(LoadConfigurationFrom(Ini("[X]\n[Y]\n[Z]\n", "Other.INI")));
    EXPECT_EQ(2, ComponentCount());
    EXPECT_EQ(first, &Component(0));
    EXPECT_FALSE(Component(0).Selected);
    EXPECT_TRUE(Component(1).Succeeded);
}

TEST_F(ConfigurationTest, SectionNamesBeyond16384BytesAreAllRead) {
    // 40 names of 450 characters: 18040 bytes of names.
    std::string content;
    for (int i = 0; i < 40; ++i) {
        char name[512];
        std::snprintf(name, sizeof name, "Component%03d-%s", i, std::string(437, 'n').c_str());
        content += std::string("[") + name + "]\nComponentDescription=" + std::to_string(i) + "\n";
    }
    ASSERT_TRUE(LoadConfigurationFrom(Ini(content)));
    ASSERT_EQ(40, ComponentCount());
    for (int i = 0; i < 40; ++i) ASSERT_EQ(std::to_string(i), Component(i).ComponentDescription) << i;
}

TEST_F(ConfigurationTest, FileIsNamedAfterTheExecutable) {
    OverrideExecutablePath(folder / "TarnwickSetup.exe");
    WriteTextFile(folder / "TarnwickSetup.exe", synthetic::Program());
    EXPECT_EQ(folder / "TarnwickSetup.INI", ConfigurationFileName());
    EXPECT_FALSE(LoadConfiguration());
    Ini("[Only]\nComponentDescription=Found\n", "TarnwickSetup.INI");
    ASSERT_TRUE(LoadConfiguration());
    EXPECT_EQ("Found", Component(0).ComponentDescription);
}

// A sealed wizard reads the INI in its seal and ignores the one beside it; damage to the seal is named.
TEST_F(ConfigurationTest, ASealedWizardReadsItsSealAndIgnoresTheIniBesideIt) {
    TSeal seal;
    seal.Ini = "[Sealed]\r\nComponentDescription=From the seal\r\nFileName=a.msi\r\n";
    seal.Files.resize(1);
    seal.Files[0].Name = "A.MSI";  // names match without regard to case
    const std::string bytes = SealBytes(seal, Sha256Of);
    TSeal twoFiles = seal;
    twoFiles.Files.push_back(seal.Files[0]);
    std::string garbled = bytes;
    garbled[SealHeaderLength + 2] ^= 1;
    const struct {
        const char* name;
        std::string file;
        const char* problem;
    } rows[] = {
        {"sealed", synthetic::Sealed(bytes), ""},
        {"one byte changed", synthetic::Sealed(garbled),
         "This setup is damaged: its seal does not match its own check sum. Download it again."},
        {"cut short", synthetic::Sealed(bytes).substr(0, 0x400 + bytes.size() - 8), "This setup is damaged: it is cut short."},
        {"a seal of other files", synthetic::Sealed(SealBytes(twoFiles, Sha256Of)), "its seal does not match its configuration"},
        // Its file replaced by another sealed one, or by the unsealed program: not its own seal.
        {"another program's seal", synthetic::Sealed(bytes).substr(0, 0x400) + SealBytes(twoFiles, Sha256Of),
         "it carries a seal that is not its own"},
        {"the seal taken off", synthetic::Sealed(bytes).substr(0, 0x400), "its seal is gone"},
        {"a seal added to an unsealed program", synthetic::With(synthetic::Program(), bytes),
         "it carries a seal that is not its own"},
    };
    Ini("[Beside]\nComponentDescription=From the file beside\n", "TarnwickSetup.INI");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        OverrideExecutablePath(folder / "TarnwickSetup.exe");
        WriteTextFile(folder / "TarnwickSetup.exe", row.file);
        EXPECT_EQ(*row.problem == '\0', LoadConfiguration());
        EXPECT_NE(std::string::npos, ConfigurationProblem().find(row.problem)) << ConfigurationProblem();
        if (*row.problem == '\0') {
            ASSERT_EQ(1, ComponentCount());
            EXPECT_EQ("From the seal", Component(0).ComponentDescription);
            EXPECT_EQ(DistributionKind::Sealed, CurrentDistribution());
        }
    }
}

TEST_F(ConfigurationTest, UnloadFreesTheCatalogueThenAsksForADueRestart) {
    struct Row {
        bool restartRequired;
        bool deferRestart;
        bool prompted;
    };
    const Row rows[] = {{false, false, false}, {true, false, true}, {true, true, false}, {false, true, false}};
    const std::string path = Ini("[A]\n");
    for (const Row& row : rows) {
        RestartRecorder::Reset();
        ASSERT_TRUE(LoadConfigurationFrom(path));
        WizardSettings.RestartRequired = row.restartRequired;
        WizardSettings.DeferRestart = row.deferRestart;
        UnloadConfiguration();
        EXPECT_FALSE(ConfigurationLoaded());
        EXPECT_EQ(0, ComponentCount());
        EXPECT_EQ(row.prompted ? std::vector<std::string>{"MessageBoxA"} : std::vector<std::string>{},
                  RestartRecorder::log)
            << "restart required " << row.restartRequired << ", deferred " << row.deferRestart;
        // The flags belong to the caller's exit code: the unload leaves them as they are.
        EXPECT_EQ(row.restartRequired, WizardSettings.RestartRequired);
    }
}

TEST_F(ConfigurationTest, UnloadedCatalogueCanBeLoadedAgain) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[A]\n")));
    UnloadConfiguration();
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[X]\n[Y]\n", "Other.INI")));
    EXPECT_EQ(2, ComponentCount());
}

// The command line's COMPONENTS= chooses by section name, case ignored; required ones always come.
TEST_F(ConfigurationTest, ComponentsAreChosenBySectionName) {
    ASSERT_TRUE(LoadConfigurationFrom(Ini("[Core]\nRequired=1\n[Charts]\n[Tools]\n[Docs]\n")));
    using Names = std::vector<std::string>;
    const struct {
        Names names;
        Names unknown;
        const char* selected;  // one letter a component: y selected, n not
        bool withRequired = true;  // false: a removal, which Required does not hold back
    } rows[] = {
        {{"Tools"}, {}, "ynyn"},
        {{"charts", "DOCS"}, {}, "yyny"},
        {{"Core"}, {}, "ynnn"},
        {{"Tools", "Nope", "Docs", "Neither"}, {"Nope", "Neither"}, "nnnn"},
        {{"Tools"}, {}, "nnyn", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.unknown, SelectComponentsByName(row.names, row.withRequired));
        std::string selected;
        for (int i = 0; i < ComponentCount(); ++i) selected += Component(i).Selected ? 'y' : 'n';
        EXPECT_EQ(row.selected, selected);
    }
    EXPECT_EQ("Charts", Component(1).SectionName);
}

}  // namespace
