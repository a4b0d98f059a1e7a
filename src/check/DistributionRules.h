#pragma once
// What the distribution check judges from text alone: names, the first bytes of a setup file, and
// which rule of the value parsers gave a key its value. Plain text logic, free of <windows.h>.
#include <cstddef>
#include <string>

// Why `name` cannot serve as a file or folder name on Windows, or "" when it can: empty; a character
// Windows forbids (control characters and < > : " / \ | ? *); "." or ".."; a trailing dot or blank
// (Windows drops it, so "Docs." and "Docs" would be one folder); a device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, also with an extension, as in "NUL.log"); or longer than `maxLength`.
std::string NameProblem(const std::string& name, std::size_t maxLength);

// Whether two names are one on Windows, which ignores case (compared for ASCII letters).
bool SameName(const std::string& a, const std::string& b);

enum class SetupFileKind { InstallerPackage, Program, Other };
// The kind of setup file its first bytes show: the compound-file signature of a Windows Installer
// package (D0 CF 11 E0 A1 B1 1A E1) or the "MZ" of a program.
SetupFileKind KindOfSetupFile(const std::string& firstBytes);
const char* KindName(SetupFileKind kind);  // "a Windows Installer package", ...

// The rule by which the wizard reads a key's text, in words: "decimal", "hexadecimal",
// "not an integer: the default", "fraction dropped", ...
std::string IntegerRule(const std::string& text);
std::string BooleanRule(const std::string& text);
std::string SizeRule(const std::string& text, char decimalSeparator);
