#include "installmanager/MessageFields.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Places a text so that its terminating zero is the last byte before a page that must not be
// touched: a parser that reads one byte too far faults at once instead of reading stale memory.
class GuardedText {
public:
    explicit GuardedText(const std::string& text) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page = info.dwPageSize;
        base = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base + page, page, PAGE_NOACCESS, &old);
        start = base + page - (text.size() + 1);
        std::memcpy(start, text.c_str(), text.size() + 1);
    }
    ~GuardedText() { VirtualFree(base, 0, MEM_RELEASE); }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    const char* c_str() const { return start; }

private:
    DWORD page = 0;
    char* base = nullptr;
    char* start = nullptr;
};

constexpr int32_t S = -7;  // stands for "kept from the message before"

void FillWithSentinels() {
    for (int32_t& field : ParsedFields.Progress) field = S;
    for (int32_t& field : ParsedFields.CommonData) field = S;
}

struct ProgressRow {
    const char* text;
    bool usable;
    int32_t fields[4];
};

TEST(MessageFieldsTest, ProgressTexts) {
    const ProgressRow rows[] = {
        {"1: 0 2: 24024 3: 0 4: 0 ", true, {0, 24024, 0, 0}},  // Wine's reset
        {"1: 0 2: 1000 3: 1 4: 1 ", true, {0, 1000, 1, 1}},
        {"1: 1 2: 5 3: 1 ", true, {1, 5, 1, S}},              // action info stops after field 3
        {"1: 2 2: 24 3: 0 4: 0 ", true, {2, 24, S, S}},        // a report stops after field 2
        {"1: 3 2: 100 ", true, {3, 100, S, S}},
        {"1: 0 2: 100 3: 0", true, {0, 100, 0, S}},            // no trailing blank, no field 4
        {"1: 2 2: -5 ", true, {2, -5, S, S}},
        {"1: 2 2: 5x 3: 7", true, {2, 5, S, S}},               // digits up to the first other character
        {"1: 2 2: 99999999999 ", true, {2, INT32_MAX, S, S}},
        {"2: 50 ", true, {S, 50, S, S}},                      // field 1 keeps its earlier value
        {"1: x 2: 5 ", false, {S, S, S, S}},
        {"5: 1 ", false, {S, S, S, S}},
        {"1: 2 2:", false, {2, S, S, S}},
        {"1: 2 2: ", false, {2, S, S, S}},
        {"Message type: 0, Argument: 1033, 0", false, {S, S, S, S}},
        {"", false, {S, S, S, S}},
    };
    for (const ProgressRow& row : rows) {
        SCOPED_TRACE(row.text);
        FillWithSentinels();
        const GuardedText text(row.text);
        EXPECT_EQ(row.usable, ParseProgressFields(text.c_str()));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(row.fields[i], ParsedFields.Progress[i]) << "field " << i + 1;
    }
    EXPECT_FALSE(ParseProgressFields(nullptr));
}

struct CommonDataRow {
    const char* text;
    bool usable;
    int32_t fields[2];
};

TEST(MessageFieldsTest, CommonDataTexts) {
    const CommonDataRow rows[] = {
        {"1: 0 2: 1033 3: 0 ", true, {0, 1033}},
        {"1: 2 2: 0 ", true, {2, 0}},
        {"1: 2 2: 1 ", true, {2, 1}},
        {"1: 0 2: 70000 ", true, {0, 70000}},
        {"1: 0", true, {0, S}},
        {"1: 1 2: Tarnwick Test alpha ", false, {1, S}},  // a caption
        {"1: 0 2:", false, {0, S}},
        {"1: 0 2: ", false, {0, S}},
        {"Message type: 0, Argument: 1033, 0", false, {S, S}},
        {"Message type: 1, Argument: Tarnwick Test alpha", false, {S, S}},
        {"", false, {S, S}},
    };
    for (const CommonDataRow& row : rows) {
        SCOPED_TRACE(row.text);
        FillWithSentinels();
        const GuardedText text(row.text);
        EXPECT_EQ(row.usable, ParseCommonDataFields(text.c_str()));
        EXPECT_EQ(row.fields[0], ParsedFields.CommonData[0]);
        EXPECT_EQ(row.fields[1], ParsedFields.CommonData[1]);
    }
    EXPECT_FALSE(ParseCommonDataFields(nullptr));
}

// Every cut of a text: a cut inside the "n: " header of a field the parser gets to, before the field's
// value, is unusable; every other cut of a well-formed text is usable. The guard page catches any read
// past the cut.
TEST(MessageFieldsTest, TruncatedTextsNeverReadPastTheirEnd) {
    const struct {
        const char* text;
        bool (*parse)(const char*);
        int fieldsRead;  // the parser stops after this many fields; 0: the text is of another form
    } rows[] = {
        {"1: 0 2: 24024 3: 1 4: 1 ", ParseProgressFields, 4},
        {"1: 1 2: 2048 3: 1 4: 0 ", ParseProgressFields, 3},
        {"1: 2 2: 1024 3: 0 4: 0 ", ParseProgressFields, 2},
        {"1: 0 2: 1033 3: 1252 ", ParseCommonDataFields, 2},
        {"1: 2 2: 1 ", ParseCommonDataFields, 2},
        {"Message type: 0, Argument: 1033, 0", ParseCommonDataFields, 0},
        {"Message type: 0, Argument: 1033, 0", ParseProgressFields, 0},
    };
    for (const auto& row : rows) {
        const std::string full = row.text;
        std::vector<std::size_t> headers;  // where the fields the parser reads begin
        for (std::size_t i = 0; i + 1 < full.size() && static_cast<int>(headers.size()) < row.fieldsRead; ++i)
            if ((i == 0 || full[i - 1] == ' ') && full[i + 1] == ':') headers.push_back(i);
        for (std::size_t length = 0; length <= full.size(); ++length) {
            const std::string cut = full.substr(0, length);
            SCOPED_TRACE("\"" + cut + "\"");
            bool unusable = length == 0 || row.fieldsRead == 0;
            for (std::size_t start : headers) unusable |= length > start && length <= start + 3;
            const GuardedText text(cut);
            EXPECT_EQ(!unusable, row.parse(text.c_str()));
        }
    }
}

TEST(MessageFieldsTest, ReadFieldNumber) {
    const struct {
        const char* text;
        int32_t value;
        std::ptrdiff_t stop;  // where the cursor ends
    } rows[] = {
        {"1024 3: 0", 1024, 4}, {"-12", -12, 3},     {"+7 ", 7, 2},   {"", 0, 0},
        {" 5", 0, 0},           {"abc def", 0, 3},   {"12ab 3", 12, 4}, {"2147483647", INT32_MAX, 10},
        {"2147483648", INT32_MAX, 10}, {"-2147483648", INT32_MIN, 11}, {"-99999999999 ", INT32_MIN, 12},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const GuardedText text(row.text);
        const char* cursor = text.c_str();
        EXPECT_EQ(row.value, ReadFieldNumber(cursor));
        EXPECT_EQ(row.stop, cursor - text.c_str());
    }
}

TEST(MessageFieldsTest, ActionTexts) {
    const struct {
        const char* text;
        const char* description;
    } starts[] = {
        {"Action 16:01:44: InstallFiles. Copying new files", "Copying new files"},
        {"Action 12:16:21: INSTALL. ", ""},
        {"Action 12:16:21: INSTALL.", ""},
        {"Action 1: A. B. C", "B. C"},
        {"No stop here", "o stop here"},
        {"", ""},
    };
    for (const auto& row : starts) EXPECT_EQ(row.description, ActionDescription(row.text)) << row.text;

    const struct {
        const char* text;
        const char* lines;
    } data[] = {
        {"File: a.dll,  Folder: C:\\App,  Size: 4096", "File: a.dll\r\nFolder: C:\\App\r\nSize: 4096"},
        {"File: alpha.txt, Directory: INSTALLDIR", "File: alpha.txt, Directory: INSTALLDIR"},
        {",  ,  ", "\r\n\r\n"},
        {"a,   b", "a\r\n b"},
        {"a,,  b", "a,\r\nb"},
        {"", ""},
    };
    for (const auto& row : data) EXPECT_EQ(row.lines, ActionDetailLines(row.text)) << row.text;
}

}  // namespace
