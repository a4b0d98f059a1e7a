// Value parsing of the configuration file and the path text helpers: plain text, no files.
#include "installmanager/ValueParse.h"

#include <gtest/gtest.h>

#include <climits>

#include "installmanager/PathText.h"
#include "installmanager/Settings.h"

namespace {

TEST(ParseInteger, DecimalHexadecimalAndFallback) {
    struct Row {
        const char* text;
        int32_t expected;
    };
    const int32_t fallback = -1;
    const Row rows[] = {
        {"0", 0},
        {"42", 42},
        {"  42", 42},
        {"\t7", 7},
        {"+5", 5},
        {"-12", -12},
        {"0x1", 1},
        {"0X1f", 31},
        {"$FF", 255},
        {"-0x10", -16},
        {"$FFFFFFFF", -1},  // hexadecimal is the 32-bit pattern
        {"0x7FFFFFFF", INT_MAX},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", fallback},
        {"-2147483649", fallback},
        {"0x100000000", fallback},
        {"99999999999999999999", fallback},
        {"", fallback},
        {"-", fallback},
        {"0x", fallback},
        {"$", fallback},
        {"12abc", fallback},
        {"12 ", fallback},
        {"1.5", fallback},
        {"0xG", fallback},
        {"x10", fallback},
        {"yes", fallback},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, ParseInteger(row.text, fallback)) << '"' << row.text << '"';
}

TEST(ParseBoolean, AnyNonZeroIntegerIsTrueWordsAreNotIntegers) {
    struct Row {
        const char* text;
        bool expected;
    };
    const Row rows[] = {
        {"1", true}, {"7", true}, {"-1", true}, {"0x10", true}, {"0", false}, {"0x0", false},
        {"yes", false}, {"true", false}, {"", false}, {"1 ", false},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, ParseBoolean(row.text, false)) << '"' << row.text << '"';
    EXPECT_TRUE(ParseBoolean("yes", true));
}

TEST(ParseSize, TruncatesTowardZeroWithTheGivenSeparator) {
    struct Row {
        const char* text;
        char separator;
        int64_t expected;
    };
    const Row rows[] = {
        {"1536.9", '.', 1536},
        {"1536,9", ',', 1536},
        {"1536,9", '.', 0},  // the other locale's separator is junk
        {"1536.9", ',', 0},
        {"abc", '.', 0},
        {"", '.', 0},
        {".", '.', 0},
        {"12", '.', 12},
        {" 12 ", '.', 12},
        {"0.99", '.', 0},
        {".5", '.', 0},
        {"7.", '.', 7},
        {"-2.7", '.', -2},
        {"+3", '.', 3},
        {"1.5E3", '.', 1500},
        {"1,5e3", ',', 1500},
        {"25e-1", '.', 2},
        {"1e", '.', 0},
        {"12kB", '.', 0},
        {"1 2", '.', 0},
        {"9223372036854775807", '.', INT64_MAX},
        {"9223372036854775807.9", '.', INT64_MAX},
        {"-9223372036854775808", '.', INT64_MIN},
        {"9223372036854775808", '.', 0},
        {"1e19", '.', 0},
        {"1e99999999", '.', 0},
        {"0000000000000000000000042.5", '.', 42},
        {"0e99999", '.', 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, ParseSize(row.text, row.separator)) << '"' << row.text << "\" with " << row.separator;
}

TEST(PathText, DriveOf) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Program Files\\Tarnwick", "C:"},
        {"d:", "d:"},
        {"\\\\server\\share\\dir\\sub", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\server", "\\\\server"},
        {"relative\\dir", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(row.second, DriveOf(row.first)) << row.first;
}

TEST(PathText, ChangeFileExtAndFolderOf) {
    EXPECT_EQ("D:\\dist\\Setup.INI", ChangeFileExt("D:\\dist\\Setup.exe", ".INI"));
    EXPECT_EQ("D:\\dist\\Setup.v2.INI", ChangeFileExt("D:\\dist\\Setup.v2.exe", ".INI"));
    EXPECT_EQ("D:\\dist.d\\Setup.INI", ChangeFileExt("D:\\dist.d\\Setup", ".INI"));
    EXPECT_EQ(".INI", ChangeFileExt("", ".INI"));

    EXPECT_EQ("D:\\dist", FolderOf("D:\\dist\\Setup.exe"));
    EXPECT_EQ("", FolderOf("Setup.exe"));
}

TEST(PathText, EnsureTrailingBackslash) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Temp", "C:\\Temp\\"},
        {"C:\\", "C:\\"},
        {"C:\\a\\b", "C:\\a\\b\\"},
        {"", "\\"},
        {"C:/dir", "C:/dir\\"},
    };
    for (const auto& row : rows) {
        std::string path = row.first;
        EnsureTrailingBackslash(path);
        EXPECT_EQ(row.second, path) << row.first;
    }
}

TEST(PathText, ReplaceSpacesWorksInPlace) {
    std::string text = " Mary  Ann\t";
    std::string& result = ReplaceSpaces(text, '_');
    EXPECT_EQ(&text, &result);
    EXPECT_EQ("_Mary__Ann\t", text);  // only character 32
}

}  // namespace
