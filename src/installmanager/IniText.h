#pragma once
// An INI file's text read as the Windows profile functions read it, for a configuration that comes
// as bytes (a sealed wizard's) rather than as a file. Plain logic, free of <windows.h>.
#include <string>
#include <utility>
#include <vector>

struct TIniSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;  // name and raw value, in file order
};

// The sections in file order: a line "[name]" (blanks around the name dropped, up to the last "]") starts one;
// "key = value" lines belong to the section above them (lines before the first section, comments and
// lines without "=" are kept but never match a key the wizard asks for). A UTF-8 byte-order mark is
// skipped. Sections without a name are left out, as GetPrivateProfileSectionNames leaves them out.
std::vector<TIniSection> ParseIniText(const std::string& text);

// The value GetPrivateProfileString gives for `key` of the first section named `section` (both
// matched without regard to case): blanks around it dropped, one pair of matching quotes around it
// removed, at most 2047 characters; `fallback` when there is no such key.
std::string IniValue(const std::vector<TIniSection>& sections, const std::string& section, const std::string& key,
                     const std::string& fallback);
