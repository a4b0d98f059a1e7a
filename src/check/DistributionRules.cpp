#include "check/DistributionRules.h"

#include <cstdint>

#include "installmanager/ValueParse.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDeviceName(const std::string& name) {
    // Windows takes the part before the first dot, trailing blanks dropped, as the device.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = Lower(c);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string NameProblem(const std::string& name, std::size_t maxLength) {
    if (name.empty()) return "it is empty";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32) return "it holds a control character";
        if (std::string("<>:\"/\\|?*").find(c) != std::string::npos)
            return std::string("Windows forbids the character ") + c + " in names";
    }
    if (name == "." || name == "..") return "\".\" and \"..\" stand for folders of the path";
    if (name.back() == '.' || name.back() == ' ') return "Windows drops a trailing dot or blank from names";
    if (IsDeviceName(name)) return "Windows reserves it for a device";
    if (name.size() > maxLength) return "it is longer than " + std::to_string(maxLength) + " characters";
    return "";
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

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
