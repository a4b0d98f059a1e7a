// The installer's message texts: progress and common-data fields, field numbers, action texts. Every
// text is handed over as an exactly-sized heap copy, so the address sanitizer sees a read past its end.
#include "installmanager/MessageFields.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzCheck.h"

namespace {

constexpr int32_t S = -7;  // stands for "kept from the message before"

class HeapText {
public:
    explicit HeapText(const std::string& text) : bytes(new char[text.size() + 1]) {
        std::memcpy(bytes.get(), text.c_str(), text.size() + 1);
    }
    const char* c_str() const { return bytes.get(); }

private:
    std::unique_ptr<char[]> bytes;
};

void FillWithSentinels() {
    for (int32_t& field : ParsedFields.Progress) field = S;
    for (int32_t& field : ParsedFields.CommonData) field = S;
}

// ReadFieldNumber's value for the text from `start` to the next blank, read independently: an optional
// sign, then the leading digits, held at the 32-bit limits.
int32_t ReferenceFieldNumber(const std::string& value) {
    std::size_t i = 0;
    const bool negative = !value.empty() && value[0] == '-';
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) i = 1;
    std::string digits;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') digits += value[i++];
    digits.erase(0, digits.find_first_not_of('0'));
    const long long magnitude = digits.size() > 10 ? 1LL << 40 : digits.empty() ? 0 : std::atoll(digits.c_str());
    const long long signedValue = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(signedValue < INT32_MIN ? INT32_MIN : signedValue > INT32_MAX ? INT32_MAX : signedValue);
}

// Every value in the text, read where a field's value may start (the start and after each blank).
void CheckFieldNumbers(const std::string& text) {
    const HeapText copy(text);
    for (std::size_t start = 0;;) {
        const std::size_t blank = text.find(' ', start);
        const std::size_t stop = blank == std::string::npos ? text.size() : blank;
        const char* cursor = copy.c_str() + start;
        const int32_t value = ReadFieldNumber(cursor);
        FUZZ_CHECK(cursor == copy.c_str() + stop);
        FUZZ_CHECK(value == ReferenceFieldNumber(text.substr(start, stop - start)));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
}

// Arbitrary text: no read past its end, and what a usable text leaves behind makes sense.
void CheckAnyText(const std::string& text) {
    const HeapText copy(text);
    FillWithSentinels();
    if (ParseProgressFields(copy.c_str())) {
        FUZZ_CHECK(!text.empty());
        FUZZ_CHECK(ParsedFields.Progress[0] == S || (ParsedFields.Progress[0] >= 0 && ParsedFields.Progress[0] <= 9));
    }
    if (ParseCommonDataFields(copy.c_str())) FUZZ_CHECK(!text.empty() && ParsedFields.CommonData[0] != 1);

    // The description is the end of the text, from two characters after its first full stop.
    const std::string description = ActionDescription(copy.c_str());
    const std::size_t stop = text.find('.');
    const std::size_t start = stop == std::string::npos ? 1 : stop + 2;
    FUZZ_CHECK(description == (start < text.size() ? text.substr(start) : std::string()));

    // Detail lines: no ",  " is left, and where the text had no line break of its own, turning the breaks
    // back gives the text.
    std::string lines = ActionDetailLines(copy.c_str());
    FUZZ_CHECK(lines.find(",  ") == std::string::npos);
    if (text.find('\r') == std::string::npos) {
        for (std::size_t at = lines.find("\r\n"); at != std::string::npos; at = lines.find("\r\n", at + 3))
            lines.replace(at, 2, ",  ");
        FUZZ_CHECK(lines == text);
    }
}

// The usable-or-not verdict for `text` cut to `length`: a cut before a field's value (inside the "n: " of
// a field the parser gets to) or an empty text is unusable.
bool CutIsUsable(const std::string& text, std::size_t length, int fieldsRead) {
    if (length == 0) return false;
    std::size_t header = 0;
    for (int field = 0; field < fieldsRead; ++field) {
        if (length > header && length <= header + 3) return false;
        const std::size_t blank = text.find(' ', header + 3);  // after the value
        if (blank == std::string::npos) break;
        header = blank + 1;
    }
    return true;
}

// A well-formed message made of fuzzed values reads back as made, and so does each cut of it.
void CheckWellFormed(FuzzedDataProvider& input) {
    const int type = input.ConsumeIntegralInRange(0, 9);
    const int32_t values[3] = {input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>(),
                               input.ConsumeIntegral<int32_t>()};
    const std::string progress = "1: " + std::to_string(type) + " 2: " + std::to_string(values[0]) + " 3: " +
                                 std::to_string(values[1]) + " 4: " + std::to_string(values[2]) + " ";
    // A report or a count stops after field 2, action information after field 3.
    const int progressFields = type == 2 || type == 3 ? 2 : type == 1 ? 3 : 4;
    const std::size_t cut = input.ConsumeIntegralInRange<std::size_t>(0, progress.size());

    FillWithSentinels();
    FUZZ_CHECK(ParseProgressFields(HeapText(progress).c_str()));
    FUZZ_CHECK(ParsedFields.Progress[0] == type);
    for (int i = 1; i < 4; ++i) FUZZ_CHECK(ParsedFields.Progress[i] == (i < progressFields ? values[i - 1] : S));
    FUZZ_CHECK(ParseProgressFields(HeapText(progress.substr(0, cut)).c_str()) ==
               CutIsUsable(progress, cut, progressFields));

    // Common data: field 1 is the kind, a caption (1) is not usable; nothing after field 2 is read.
    const std::string common = progress.substr(0, progress.find(" 4: ") + 1);
    FillWithSentinels();
    FUZZ_CHECK(ParseCommonDataFields(HeapText(common).c_str()) == (type != 1));
    FUZZ_CHECK(ParsedFields.CommonData[0] == type);
    FUZZ_CHECK(ParsedFields.CommonData[1] == (type != 1 ? values[0] : S));
    const std::size_t commonCut = cut < common.size() ? cut : common.size();
    FUZZ_CHECK(ParseCommonDataFields(HeapText(common.substr(0, commonCut)).c_str()) ==
               (CutIsUsable(common, commonCut, 2) && type != 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The installer's texts are C strings: what follows a zero byte is never seen.
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    CheckFieldNumbers(text);
    CheckAnyText(text);
    FuzzedDataProvider input(data, size);
    CheckWellFormed(input);
    return 0;
}
