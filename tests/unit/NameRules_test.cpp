// Windows' rules for names and folder paths, the one set the wizard, its command line and the
// distributor's check all ask: what each name or folder is refused for, and what a description
// becomes as a name.
#include "platform/NameRules.h"

#include <gtest/gtest.h>

namespace {

TEST(NameRules, OneAnswerForEveryName) {
    const struct {
        std::string name;
        const char* problem;      // part of the reason; "" when Windows takes the name
        const char* asName;       // NameFromDescription
    } rows[] = {
        {"Tarnwick Core", "", "Tarnwick Core"},
        {"setup.exe", "", "setup.exe"},
        {"COM10", "", "COM10"},  // only COM0 to COM9 are devices
        {"", "it is empty", ""},
        {"Tools: Extra", "Windows forbids the character :", "Tools_ Extra"},
        {"a\\b:c", "Windows forbids the character \\", "a_b_c"},
        {"..\\..\\escape.msi", "Windows forbids the character \\", ".._.._escape.msi"},
        {"C:\\other.exe", "Windows forbids the character :", "C__other.exe"},
        {"a/b<c>d|e?f*g\"h", "Windows forbids the character /", "a_b_c_d_e_f_g_h"},
        {"tab\there", "control character", "tab_here"},
        {".", "stand for folders of the path", "_"},
        {"..", "stand for folders of the path", "__"},
        {"...", "trailing dot", "___"},
        {"Docs.", "trailing dot or blank", "Docs_"},
        {"Docs ", "trailing dot or blank", "Docs_"},
        {"CON", "reserves it for a device", "_CON"},
        {"nul.docs", "reserves it for a device", "_nul.docs"},
        {"Aux .log", "reserves it for a device", "_Aux .log"},
        {"com1", "reserves it for a device", "_com1"},
        {"LPT9.txt", "reserves it for a device", "_LPT9.txt"},
        {"lpt0", "reserves it for a device", "_lpt0"},
        {"COM\xB9.log", "reserves it for a device", "_COM\xB9.log"},  // a superscript one
        {std::string(256, 'n'), "longer than 255 characters", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string problem = NameProblem(row.name);
        EXPECT_EQ(*row.problem == '\0', problem.empty()) << problem;
        EXPECT_NE(std::string::npos, problem.find(row.problem)) << problem;
        EXPECT_EQ(problem.empty(), IsPlainFileName(row.name));
        if (row.name.size() <= MaxNameLength) {
            EXPECT_EQ(row.asName, NameFromDescription(row.name));
            // What a description becomes is always a name Windows takes (an empty one aside).
            if (!row.name.empty()) {
                EXPECT_EQ("", NameProblem(NameFromDescription(row.name)));
            }
        }
    }
    EXPECT_NE("", NameProblem("abcdef", 5));
    EXPECT_TRUE(SameName("Tarnwick CORE", "tarnwick core"));
    EXPECT_FALSE(SameName("Core", "Core "));
}

TEST(NameRules, OneAnswerForEveryFolder) {
    const struct {
        const char* folder;
        const char* problem;  // part of the reason; "" when it is a full folder path Windows takes
    } rows[] = {
        {"C:\\Program Files\\Tarnwick", ""},
        {"D:\\", ""},
        {"\\\\server\\share\\Apps", ""},
        {"Relative\\Folder", "is not a full path"},
        {"C:Tarnwick", "is not a full path"},
        {"\\\\server", "is not a full path"},
        {"\\\\\\share", "is not a full path"},
        {"C:\\a\\..\\b", "has the folder name \"..\", which Windows cannot use"},
        {"C:\\a*b", "Windows forbids the character *"},
        {"C:\\a\\\\b", "two backslashes"},
        {"C:\\dot.", "trailing dot or blank"},
        {"C:\\Tools\\CON", "has the folder name \"CON\", which Windows cannot use: Windows reserves it for a device."},
        {"C:\\Tools\\NUL.txt", "reserves it for a device"},
        {"\\\\server\\share\\aux", "reserves it for a device"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        const std::string problem = FolderPathProblem(row.folder, 235);
        EXPECT_EQ(*row.problem == '\0', problem.empty()) << problem;
        EXPECT_NE(std::string::npos, problem.find(row.problem)) << problem;
    }
    EXPECT_NE(std::string::npos, FolderPathProblem("C:\\" + std::string(240, 'a'), 235).find("longer than 235"));
}

}  // namespace
