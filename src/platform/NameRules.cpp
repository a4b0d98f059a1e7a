#include "platform/NameRules.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Forbidden(char c) {
    return static_cast<unsigned char>(c) < 32 || std::string("<>:\"/\\|?*").find(c) != std::string::npos;
}

}  // namespace

bool IsDeviceName(const std::string& name) {
    // Windows takes the part before the first dot, trailing blanks dropped, as the device.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = Lower(c);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    // COM0 to COM9 and LPT0 to LPT9, and with the superscript digits of the ANSI code page.
    const unsigned char last = stem.size() == 4 ? static_cast<unsigned char>(stem[3]) : 0;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           ((last >= '0' && last <= '9') || last == 0xB9 || last == 0xB2 || last == 0xB3);
}

std::string NameProblem(const std::string& name, std::size_t maxLength) {
    if (name.empty()) return "it is empty";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32) return "it holds a control character";
        if (Forbidden(c)) return std::string("Windows forbids the character ") + c + " in names";
    }
    if (name == "." || name == "..") return "\".\" and \"..\" stand for folders of the path";
    if (name.back() == '.' || name.back() == ' ') return "Windows drops a trailing dot or blank from names";
    if (IsDeviceName(name)) return "Windows reserves it for a device";
    if (name.size() > maxLength) return "it is longer than " + std::to_string(maxLength) + " characters";
    return "";
}

bool IsPlainFileName(const std::string& name) { return NameProblem(name).empty(); }

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string FolderPathProblem(const std::string& folder, std::size_t maxLength) {
    const bool onDrive = folder.size() >= 3 && Lower(folder[0]) >= 'a' && Lower(folder[0]) <= 'z' &&
                         folder[1] == ':' && folder[2] == '\\';
    std::size_t namesStart = 3;
    if (!onDrive) {
        // \\server\share: both names present.
        const std::size_t serverEnd = folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\' ? folder.find('\\', 2)
                                                                                              : std::string::npos;
        if (serverEnd == std::string::npos || serverEnd == 2 || serverEnd + 1 >= folder.size() ||
            folder[serverEnd + 1] == '\\') {
            return "is not a full path: it must start with a drive (C:\\) or a share (\\\\server\\share).";
        }
        namesStart = 2;
    }
    if (folder.size() > maxLength) return "is longer than " + std::to_string(maxLength) + " characters.";
    for (std::size_t start = namesStart; start < folder.size();) {
        std::size_t end = folder.find('\\', start);
        if (end == std::string::npos) end = folder.size();
        const std::string name = folder.substr(start, end - start);
        if (name.empty()) return "has an empty folder name (two backslashes).";
        const std::string problem = NameProblem(name);
        if (!problem.empty()) return "has the folder name \"" + name + "\", which Windows cannot use: " + problem + ".";
        start = end + 1;
    }
    return std::string();
}

std::string NameFromDescription(const std::string& description) {
    std::string name = description;
    for (char& c : name) {
        if (Forbidden(c)) c = '_';
    }
    if (!name.empty() && name.find_first_not_of('.') == std::string::npos) name.assign(name.size(), '_');
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = '_';
    if (IsDeviceName(name)) name.insert(0, "_");
    return name;
}
