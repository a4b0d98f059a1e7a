#include "installmanager/PathText.h"

#include "installmanager/Settings.h"

std::string DriveOf(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Up to the backslash that ends the share name, or the whole text when there is none.
        const std::size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string::npos) return path;
        const std::size_t shareEnd = path.find('\\', serverEnd + 1);
        return shareEnd == std::string::npos ? path : path.substr(0, shareEnd);
    }
    return std::string();
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const std::size_t mark = path.find_last_of(".\\:");
    if (mark != std::string::npos && path[mark] == '.') return path.substr(0, mark) + extension;
    return path + extension;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::size_t ParentSeparator(const std::string& path) {
    if (path.size() < 3) return std::string::npos;
    for (std::size_t i = path.size() - 2; i >= 1; --i) {
        if (path[i] == '\\' || path[i] == '/') return i;
    }
    return std::string::npos;
}

void EnsureTrailingBackslash(std::string& path) {
    if (path.empty() || path.back() != '\\') path += '\\';
}

std::string& ReplaceSpaces(std::string& text, char with) {
    for (char& c : text) {
        if (c == ' ') c = with;
    }
    return text;
}
