#pragma once
// Parsing of configuration values. Plain text logic, free of <windows.h>.
#include <cstdint>
#include <string>

// A 32-bit integer: optional blanks, an optional sign, then decimal digits or hexadecimal digits after
// "0x", "0X" or "$". Hexadecimal takes up to 32 bits, read as the two's-complement pattern
// ("$FFFFFFFF" is -1). Anything else, including a value out of range, gives `fallback`.
int32_t ParseInteger(const std::string& text, int32_t fallback);

// An integer read as a flag: 0 is false, any other integer is true; a word such as "yes" is not an
// integer and gives `fallback`.
bool ParseBoolean(const std::string& text, bool fallback);

// A number with an optional fraction after `decimalSeparator` and an optional exponent ("1.5E3"),
// truncated toward zero. Blanks around it are allowed. Junk, or a value outside 64 bits, gives 0.
int64_t ParseSize(const std::string& text, char decimalSeparator);

// The rule by which the parsers above read a text, for a distributor's check of the configuration.
// ParseInteger and ParseBoolean take `fallback` unless the form is Decimal or Hexadecimal.
enum class IntegerForm { Decimal, Hexadecimal, NotAnInteger, OutOfRange };
// ParseSize gives 0 for NotANumber and OutOfRange; Truncated means digits of a fraction were dropped.
enum class SizeForm { Whole, Truncated, NotANumber, OutOfRange };

// ParseInteger's reading of `text`: its form, and in `value` the integer when there is one.
IntegerForm ReadInteger(const std::string& text, int32_t& value);
// ParseSize's reading of `text`: its form, and in `value` what ParseSize returns.
SizeForm ReadSize(const std::string& text, char decimalSeparator, int64_t& value);
