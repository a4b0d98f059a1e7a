// Every INI key kind read from one text: integer, boolean and size with either decimal separator.
#include "installmanager/ValueParse.h"

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"

namespace {

// The integer grammar read independently, with strtoull doing the arithmetic. False for anything that
// is not such an integer; `base` tells which kind of digits the text had.
bool ReferenceInteger(const std::string& text, int32_t& value, int& base) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    base = 10;
    if (text.compare(i, 1, "$") == 0) {
        base = 16;
        i += 1;
    } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    const std::string digits = i < text.size() ? text.substr(i) : std::string();
    if (digits.empty() || digits.find_first_not_of(base == 16 ? "0123456789abcdefABCDEF" : "0123456789") !=
                              std::string::npos)
        return false;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, base);
    if (errno == ERANGE || magnitude > 0xFFFFFFFFull) return false;
    if (base == 16) {
        const uint32_t pattern = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - pattern : pattern);
        return true;
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    return true;
}

std::string Printed(const char* format, uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void CheckInteger(const std::string& text) {
    // The two fallbacks tell a parsed value from a refusal.
    const int32_t withZero = ParseInteger(text, 0);
    const bool accepted = withZero == ParseInteger(text, 1);
    int32_t expected = 0;
    int base = 10;
    FUZZ_CHECK(accepted == ReferenceInteger(text, expected, base));
    FUZZ_CHECK(ParseBoolean(text, false) == (accepted && withZero != 0));
    FUZZ_CHECK(ParseBoolean(text, true) == (!accepted || withZero != 0));
    if (!accepted) return;
    FUZZ_CHECK(withZero == expected);

    // The value read back in every spelling the grammar has: decimal, both hexadecimal prefixes, blanks
    // and a sign before it; a hexadecimal negation gives the same pattern.
    const uint32_t pattern = static_cast<uint32_t>(withZero);
    FUZZ_CHECK(ParseInteger(std::to_string(withZero), 1) == withZero);
    FUZZ_CHECK(ParseInteger(" \t" + std::string(withZero < 0 ? "" : "+") + std::to_string(withZero), 1) == withZero);
    FUZZ_CHECK(ParseInteger(Printed("0x%" PRIX32, pattern), 1) == withZero);
    FUZZ_CHECK(ParseInteger(Printed("$%" PRIx32, pattern), 1) == withZero);
    FUZZ_CHECK(ParseInteger(Printed("-0X%" PRIx32, 0u - pattern), 1) == withZero);

    // A decimal integer is also a size, whichever the separator.
    if (base == 10) {
        FUZZ_CHECK(ParseSize(text, '.') == withZero);
        FUZZ_CHECK(ParseSize(text, ',') == withZero);
    }
}

void CheckSize(const std::string& text) {
    const int64_t size = ParseSize(text, '.');

    // The separator is only a character: swapping "." and "," in the text and the separator changes nothing.
    std::string swapped = text;
    for (char& c : swapped) c = c == '.' ? ',' : c == ',' ? '.' : c;
    FUZZ_CHECK(ParseSize(swapped, ',') == size);

    // Only a minus sign makes a size negative.
    const std::size_t first = text.find_first_not_of(" \t");
    if (size != 0) FUZZ_CHECK((size < 0) == (first != std::string::npos && text[first] == '-'));
    if (size != 0) FUZZ_CHECK(ParseSize(std::to_string(size), '.') == size);

    // Against the C library's reading of the same number (C locale: "." is its separator), for texts of
    // plain number characters only: a size is the value truncated toward zero, and a number of at least 1
    // that fits in 64 bits is never refused. Near an integer, the long double's rounding may cross it.
    const std::size_t end = text.find_last_not_of(" \t") + 1;  // npos + 1 is 0
    if (end == 0 || text.find_first_not_of(" \t0123456789+-.eE") != std::string::npos) return;
    const std::string number = text.substr(0, end);
    char* stop = nullptr;
    const long double value = std::strtold(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(value)) {
        FUZZ_CHECK(size == 0);
        return;
    }
    // 2^63 is exact in a long double; right at the limits its rounding may go either way.
    const long double limit = 9223372036854775808.0L;
    if (value > limit || value < -limit - 1) FUZZ_CHECK(size == 0);
    if (!(value < limit && value >= -limit)) return;
    const long double nearest = std::round(value);
    if (std::fabs(value - nearest) > 1e-18L * (1 + std::fabs(value))) {
        FUZZ_CHECK(size == static_cast<int64_t>(std::trunc(value)));
    } else {
        if (std::fabs(nearest) >= 2) FUZZ_CHECK(size != 0 && (size < 0) == (value < 0));
        FUZZ_CHECK(std::fabs(nearest - static_cast<long double>(size)) <= 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckInteger(text);
    CheckSize(text);
    return 0;
}
