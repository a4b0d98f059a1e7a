// The command line: the program name skipped, the arguments split, the two switches recognised.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "app/ExitCodes.h"

namespace {

TEST(CommandLine, ArgumentTextSkipsTheProgramName) {
    const std::pair<const char*, const char*> rows[] = {
        {"TarnwickSetup.exe", ""},
        {"TarnwickSetup.exe -d", "-d"},
        {"TarnwickSetup.exe \t  -d -r ", "-d -r "},
        {"\"C:\\Program Files\\Setup.exe\" -r", "-r"},
        {"\"C:\\Program Files\\Setup.exe\"", ""},
        {"\"C:\\dir -d\\Setup.exe\"", ""},  // a switch-like text inside the quoted name is no argument
        {"\"unterminated -d", ""},
        {"Setup.exe\t-d", "-d"},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(row.second, ArgumentText(row.first)) << row.first;
}

TEST(CommandLine, SplitArgumentsAtBlanksAndTabsWithQuotesGrouping) {
    using Args = std::vector<std::string>;
    const std::pair<const char*, Args> rows[] = {
        {"", {}},
        {"   \t ", {}},
        {"-d", {"-d"}},
        {"-d\t-r", {"-d", "-r"}},
        {"  -d    -r  ", {"-d", "-r"}},
        {"\"-d\"", {"-d"}},
        {"\"a b\" c", {"a b", "c"}},
        {"\"a b\"c", {"a bc"}},
        {"x\"y z\"", {"xy z"}},
        {"\"\"", {""}},
        {"\"open -d", {"open -d"}},
    };
    for (const auto& row : rows) EXPECT_EQ(row.second, SplitArguments(row.first)) << row.first;
}

TEST(CommandLine, SwitchesCountOnlyAsWholeArguments) {
    struct Row {
        const char* argumentText;
        bool deferRestart;
        bool restartRequired;
    };
    const Row rows[] = {
        {"", false, false},
        {"-d", true, false},
        {"-r", false, true},
        {"-d -r", true, true},
        {"-r\t-d", true, true},
        {"\"-d\" \"-r\"", true, true},
        {"-D -R", false, false},
        {"-dr", false, false},
        {"x-d", false, false},
        {"-d-", false, false},
        {"/d /r", false, false},
        {"\"-d -r\"", false, false},
        {"foo -r bar", false, true},
        {"/quiet -d COMPONENTS=A INSTALLDIR=C:\\x -r", true, true},  // the new forms leave them alone
    };
    for (const Row& row : rows) {
        const CommandLineSwitches switches = ParseSwitches(row.argumentText);
        EXPECT_EQ(row.deferRestart, switches.DeferRestart) << row.argumentText;
        EXPECT_EQ(row.restartRequired, switches.RestartRequired) << row.argumentText;
    }
}

TEST(CommandLine, UnattendedSwitchesAndTheirValues) {
    using Names = std::vector<std::string>;
    struct Row {
        const char* argumentText;
        RunMode mode;
        const char* logFile;  // null: no /log
        Names components;     // empty: no COMPONENTS=
        const char* installDir;
        bool problem;
        bool uninstall = false;
    };
    const Row rows[] = {
        {"", RunMode::Wizard, nullptr, {}, "", false},
        {"/quiet", RunMode::Quiet, nullptr, {}, "", false},
        {"/QUIET", RunMode::Quiet, nullptr, {}, "", false},
        {"/passive -d", RunMode::Passive, nullptr, {}, "", false},
        {"/passive /quiet", RunMode::Quiet, nullptr, {}, "", false},
        {"-quiet /quietly quiet", RunMode::Wizard, nullptr, {}, "", false},
        {"/log \"C:\\My Logs\\setup.log\" /quiet", RunMode::Quiet, "C:\\My Logs\\setup.log", {}, "", false},
        {"/Log", RunMode::Wizard, "", {}, "", true},
        {"/log \"\"", RunMode::Wizard, "", {}, "", true},
        {"COMPONENTS=Core,Tools", RunMode::Wizard, nullptr, {"Core", "Tools"}, "", false},
        {"components=\" Core , ,Tools,\"", RunMode::Wizard, nullptr, {"Core", "Tools"}, "", false},
        {"COMPONENTS=", RunMode::Wizard, nullptr, {}, "", true},
        {"INSTALLDIR=\"C:\\Some Folder\\\"", RunMode::Wizard, nullptr, {}, "C:\\Some Folder", false},
        {"installdir=D:\\", RunMode::Wizard, nullptr, {}, "D:\\", false},
        {"INSTALLDIR=\\\\server\\share\\Apps", RunMode::Wizard, nullptr, {}, "\\\\server\\share\\Apps", false},
        {"INSTALLDIR=Tarnwick", RunMode::Wizard, nullptr, {}, "Tarnwick", true},
        {"INSTALLDIR=C:Tarnwick", RunMode::Wizard, nullptr, {}, "C:Tarnwick", true},
        {"INSTALLDIR=\\\\server", RunMode::Wizard, nullptr, {}, "\\\\server", true},
        // The folder rules themselves are NameRules' (its table): here, that they reach the switch.
        {"INSTALLDIR=C:\\Tools\\NUL.txt", RunMode::Wizard, nullptr, {}, "C:\\Tools\\NUL.txt", true},
        {"INSTALLDIR=\"C:\\trailing \"", RunMode::Wizard, nullptr, {}, "C:\\trailing", false},
        {"INSTALLDIR=", RunMode::Wizard, nullptr, {}, "", true},
        {"/uninstall", RunMode::Wizard, nullptr, {}, "", false, true},
        {"/Quiet /UNINSTALL COMPONENTS=Tools", RunMode::Quiet, nullptr, {"Tools"}, "", false, true},
        {"/uninstal -uninstall", RunMode::Wizard, nullptr, {}, "", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.argumentText);
        const CommandLineSwitches switches = ParseSwitches(row.argumentText);
        EXPECT_EQ(row.mode, switches.Mode);
        EXPECT_EQ(row.logFile != nullptr, switches.LogRequested);
        if (row.logFile) {
            EXPECT_EQ(row.logFile, switches.LogFile);
        }
        EXPECT_EQ(row.components, switches.Components);
        EXPECT_EQ(row.installDir, switches.InstallDir);
        EXPECT_EQ(row.problem, !switches.Problem.empty()) << switches.Problem;
        EXPECT_EQ(row.uninstall, switches.Uninstall);
    }
    // A folder too long for the staged files' paths.
    EXPECT_FALSE(InstallFolderProblem("C:\\" + std::string(240, 'a')).empty());
    EXPECT_TRUE(InstallFolderProblem("C:\\" + std::string(200, 'a')).empty());
}

TEST(CommandLine, UnattendedExitCodesInTheirOrder) {
    struct Row {
        TRunOutcome outcome;
        int code;
    };
    const Row rows[] = {
        {{}, 0},
        {{0, false, false, false, true, false}, 3010},
        {{0, false, false, false, true, true}, 13000},
        {{0, false, false, true, true, true}, 1603},
        {{0, false, true, true, false, false}, 1618},
        {{0, true, true, true, true, false}, 1602},
        {{87, true, true, true, true, true}, 87},
        {{112, false, false, false, false, false}, 112},
    };
    for (const Row& row : rows) EXPECT_EQ(row.code, UnattendedExitCode(row.outcome));
}

}  // namespace
