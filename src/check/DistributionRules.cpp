#include "check/DistributionRules.h"

#include <cstdint>

#include "installmanager/ValueParse.h"

SetupFileKind KindOfSetupFile(const std::string& firstBytes) {
    static const char compoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (firstBytes.compare(0, 8, compoundFile, 8) == 0) return SetupFileKind::InstallerPackage;
    if (firstBytes.compare(0, 2, "MZ") == 0) return SetupFileKind::Program;
    return SetupFileKind::Other;
}

const char* KindName(SetupFileKind kind) {
    switch (kind) {
    case SetupFileKind::InstallerPackage: return "a Windows Installer package";
    case SetupFileKind::Program: return "a program";
    case SetupFileKind::Other: break;
    }
    return "neither a Windows Installer package nor a program";
}

std::string IntegerRule(const std::string& text) {
    int32_t value = 0;
    switch (ReadInteger(text, value)) {
    case IntegerForm::Decimal: return "decimal";
    case IntegerForm::Hexadecimal: return value < 0 ? "hexadecimal, a 32-bit pattern" : "hexadecimal";
    case IntegerForm::OutOfRange: return "beyond 32 bits: the default";
    case IntegerForm::NotAnInteger: break;
    }
    return text.empty() ? "empty: the default" : "not an integer: the default";
}

std::string BooleanRule(const std::string& text) {
    int32_t value = 0;
    switch (ReadInteger(text, value)) {
    case IntegerForm::Decimal: return value != 0 ? "decimal, not 0" : "decimal 0";
    case IntegerForm::Hexadecimal: return value != 0 ? "hexadecimal, not 0" : "hexadecimal 0";
    case IntegerForm::OutOfRange: return "beyond 32 bits: the default";
    case IntegerForm::NotAnInteger: break;
    }
    return text.empty() ? "empty: the default" : "not an integer: the default";
}

std::string SizeRule(const std::string& text, char decimalSeparator) {
    int64_t value = 0;
    switch (ReadSize(text, decimalSeparator, value)) {
    case SizeForm::Whole: return "whole kilobytes";
    case SizeForm::Truncated: return "fraction dropped";
    case SizeForm::OutOfRange: return "beyond 64 bits: 0";
    case SizeForm::NotANumber: break;
    }
    if (text.empty()) return "empty: 0";
    return std::string("not a number with the decimal separator \"") + decimalSeparator + "\": 0";
}
