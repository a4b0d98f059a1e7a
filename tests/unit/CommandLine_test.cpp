// The command line: the program name skipped, the arguments split, the two switches recognised.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

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
    };
    for (const Row& row : rows) {
        const CommandLineSwitches switches = ParseSwitches(row.argumentText);
        EXPECT_EQ(row.deferRestart, switches.DeferRestart) << row.argumentText;
        EXPECT_EQ(row.restartRequired, switches.RestartRequired) << row.argumentText;
    }
}

}  // namespace
