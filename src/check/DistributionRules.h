#pragma once
// What the distribution check judges from text alone: the first bytes of a setup file, and which rule
// of the value parsers gave a key its value (names: platform/NameRules.h). Plain text logic, free of
// <windows.h>.
#include <cstddef>
#include <string>

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
