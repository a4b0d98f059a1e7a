#include "installmanager/IniText.h"

namespace {

constexpr std::size_t MaxValueLength = 2047;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsSpace(text[first])) ++first;
    while (last > first && IsSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

std::vector<TIniSection> ParseIniText(const std::string& text) {
    std::vector<TIniSection> sections;
    TIniSection unnamed;  // keys before the first section: never asked for
    TIniSection* current = &unnamed;
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        if (line[0] == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string::npos && close > 0) {
                sections.push_back(TIniSection{Trimmed(line.substr(1, close - 1)), {}});
                current = &sections.back();
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            current->Keys.emplace_back(line, std::string());
        } else {
            current->Keys.emplace_back(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
        }
    }
    std::vector<TIniSection> named;
    for (TIniSection& section : sections) {
        if (!section.Name.empty()) named.push_back(std::move(section));
    }
    return named;
}

std::string IniValue(const std::vector<TIniSection>& sections, const std::string& section, const std::string& key,
                     const std::string& fallback) {
    for (const TIniSection& candidate : sections) {
        if (!SameNoCase(candidate.Name, section)) continue;
        for (const auto& [name, raw] : candidate.Keys) {
            if (!SameNoCase(name, key)) continue;
            std::string value = raw;
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            if (value.size() > MaxValueLength) value.resize(MaxValueLength);
            return value;
        }
        return fallback;  // only the first section of that name is looked at
    }
    return fallback;
}
