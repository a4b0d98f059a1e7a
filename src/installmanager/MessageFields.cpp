#include "installmanager/MessageFields.h"

#include <limits>

TParsedFields ParsedFields;

namespace {

// Moves the cursor past a field's number, colon and blank. False when the text ends before the field's
// value: the installer's texts never do, but a cut-off text must not make us read past its end.
bool SkipFieldHeader(const char*& cursor) {
    for (int i = 0; i < 3; ++i) {
        if (*cursor == '\0') return false;
        ++cursor;
    }
    return *cursor != '\0';
}

// Moves past the blank that ends a value; a value that ends the text leaves the cursor on its end.
void SkipValueEnd(const char*& cursor) {
    if (*cursor != '\0') ++cursor;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t ReadFieldNumber(const char*& cursor) {
    const char* start = cursor;
    while (*cursor != '\0' && *cursor != ' ') ++cursor;

    const char* p = start;
    bool negative = false;
    if (p < cursor && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Accumulate wide and hold at the 32-bit limits, so an absurd value cannot overflow.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; p < cursor && IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

bool ParseProgressFields(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    int32_t* field = ParsedFields.Progress;
    const char* cursor = text;
    while (*cursor != '\0') {
        const char number = *cursor;
        if (!SkipFieldHeader(cursor)) return false;
        switch (number) {
        case '1':
            if (!IsDigit(*cursor)) return false;
            field[0] = *cursor - '0';
            ++cursor;
            break;
        case '2':
            field[1] = ReadFieldNumber(cursor);
            // Reports and "count only" messages carry no more fields that matter.
            if (field[0] == 2 || field[0] == 3) return true;
            break;
        case '3':
            field[2] = ReadFieldNumber(cursor);
            if (field[0] == 1) return true;
            break;
        case '4':
            field[3] = ReadFieldNumber(cursor);
            return true;
        default:
            return false;
        }
        SkipValueEnd(cursor);
    }
    return true;
}

bool ParseCommonDataFields(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    int32_t* field = ParsedFields.CommonData;
    const char* cursor = text;
    while (*cursor != '\0') {
        const char number = *cursor;
        if (!SkipFieldHeader(cursor)) return false;
        switch (number) {
        case '1':
            field[0] = *cursor - '0';
            ++cursor;
            // A caption message: the wizard has no installer dialogs to put a caption on.
            if (field[0] == 1) return false;
            SkipValueEnd(cursor);
            break;
        case '2':
            field[1] = ReadFieldNumber(cursor);
            return true;
        default:
            // Includes Wine's other form, "Message type: 0, Argument: 1033, 0".
            return false;
        }
    }
    return true;
}

std::string ActionDescription(const char* text) {
    const std::string whole = text != nullptr ? text : "";
    const std::size_t stop = whole.find('.');
    // Without a full stop the description would start at "position -1 plus two", the second character.
    const std::size_t start = stop == std::string::npos ? 1 : stop + 2;
    return start < whole.size() ? whole.substr(start) : std::string();
}

std::string ActionDetailLines(const char* text) {
    static const std::string separator = ",  ";
    std::string lines = text != nullptr ? text : "";
    for (std::size_t at = lines.find(separator); at != std::string::npos;
         at = lines.find(separator, at + 2)) {
        lines.replace(at, separator.size(), "\r\n");
    }
    return lines;
}
