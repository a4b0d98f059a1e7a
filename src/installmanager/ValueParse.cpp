#include "installmanager/ValueParse.h"

#include <cstddef>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Skips leading blanks and one optional sign; returns where the digits start.
std::size_t SkipBlanksAndSign(const std::string& text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    return i;
}

}  // namespace

IntegerForm ReadInteger(const std::string& text, int32_t& value) {
    const std::size_t n = text.size();
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    bool hex = false;
    if (i < n && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) return IntegerForm::NotAnInteger;  // no digits at all

    uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = hex ? HexDigitValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return IntegerForm::NotAnInteger;  // junk, trailing blanks included
        // Junk after too many digits is still junk: keep scanning, stop accumulating.
        if (magnitude <= 0xFFFFFFFFull) magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    }
    if (magnitude > 0xFFFFFFFFull) return IntegerForm::OutOfRange;

    if (hex) {
        // The digits give the 32-bit pattern; a sign negates that pattern.
        const uint32_t pattern = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - pattern : pattern);
        return IntegerForm::Hexadecimal;
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return IntegerForm::OutOfRange;
        value = static_cast<int32_t>(0 - static_cast<int64_t>(magnitude));
        return IntegerForm::Decimal;
    }
    if (magnitude > 0x7FFFFFFFull) return IntegerForm::OutOfRange;
    value = static_cast<int32_t>(magnitude);
    return IntegerForm::Decimal;
}

int32_t ParseInteger(const std::string& text, int32_t fallback) {
    int32_t value = 0;
    const IntegerForm form = ReadInteger(text, value);
    return form == IntegerForm::Decimal || form == IntegerForm::Hexadecimal ? value : fallback;
}

bool ParseBoolean(const std::string& text, bool fallback) {
    int32_t value = 0;
    const IntegerForm form = ReadInteger(text, value);
    return form == IntegerForm::Decimal || form == IntegerForm::Hexadecimal ? value != 0 : fallback;
}

int64_t ParseSize(const std::string& text, char decimalSeparator) {
    int64_t value = 0;
    ReadSize(text, decimalSeparator, value);
    return value;
}

SizeForm ReadSize(const std::string& text, char decimalSeparator, int64_t& value) {
    value = 0;
    const std::size_t n = text.size();
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);

    // Collect the significant digits and where the decimal point falls among them; the value is
    // digits * 10^(exponent - fractionDigits). Working on digits keeps the truncation exact.
    std::string digits;
    int64_t fractionDigits = 0;
    std::size_t digitCount = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digitCount) digits += text[i];
    if (i < n && text[i] == decimalSeparator) {
        for (++i; i < n && IsDigit(text[i]); ++i, ++digitCount, ++fractionDigits) digits += text[i];
    }
    if (digitCount == 0) return SizeForm::NotANumber;

    int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == n || !IsDigit(text[i])) return SizeForm::NotANumber;
        for (; i < n && IsDigit(text[i]); ++i) {
            exponent = exponent * 10 + (text[i] - '0');
            // Far outside any 64-bit value, or far below 1.
            if (exponent > 100000) return negativeExponent ? SizeForm::Truncated : SizeForm::OutOfRange;
        }
        if (negativeExponent) exponent = -exponent;
    }
    while (i < n && IsBlank(text[i])) ++i;
    if (i != n) return SizeForm::NotANumber;

    // Drop leading zeros so that the length of `digits` is the magnitude's order.
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return SizeForm::Whole;
    digits.erase(0, firstNonZero);

    SizeForm form = SizeForm::Whole;
    const int64_t shift = exponent - fractionDigits;
    if (shift < 0) {
        const uint64_t drop = static_cast<uint64_t>(-shift);
        if (drop >= digits.size()) return SizeForm::Truncated;  // only a fraction is left
        const std::size_t kept = digits.size() - static_cast<std::size_t>(drop);
        if (digits.find_first_not_of('0', kept) != std::string::npos) form = SizeForm::Truncated;
        digits.resize(kept);
    } else {
        if (static_cast<uint64_t>(shift) + digits.size() > 19) return SizeForm::OutOfRange;  // beyond 64 bits
        digits.append(static_cast<std::size_t>(shift), '0');
    }
    if (digits.size() > 19) return SizeForm::OutOfRange;

    uint64_t magnitude = 0;
    for (const char c : digits) magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    if (negative) {
        if (magnitude > 0x8000000000000000ull) return SizeForm::OutOfRange;
        value = static_cast<int64_t>(0 - magnitude);
        return form;
    }
    if (magnitude > 0x7FFFFFFFFFFFFFFFull) return SizeForm::OutOfRange;
    value = static_cast<int64_t>(magnitude);
    return form;
}
