#include "installmanager/FolderBrowser.h"

#include <shlobj.h>

#include <cstring>

namespace {
bool FolderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*parameter*/, LPARAM data) {
    if (message != BFFM_INITIALIZED) return 0;
    // A folder that does not exist yet (the default one, before the first install) cannot be
    // selected; the browser would fall back to the desktop. Open it on the nearest existing parent.
    char folder[FolderBufferSize];
    lstrcpynA(folder, reinterpret_cast<const char*>(data), FolderBufferSize);
    for (;;) {
        if (!folder[0] || FolderExists(folder)) break;
        char* cut = std::strrchr(folder, '\\');
        if (!cut) break;
        *cut = '\0';
    }
    SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder[0] ? folder : reinterpret_cast<const char*>(data)));
    return 0;
}

bool BrowseForFolder(char* buffer, HWND owner, const char* title) {
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = buffer;  // the shell writes the display name here, at most MAX_PATH
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    // The display name overwrites the buffer, so the callback preselects from a copy.
    char preselect[FolderBufferSize];
    std::memcpy(preselect, buffer, FolderBufferSize);
    preselect[FolderBufferSize - 1] = '\0';
    info.lParam = reinterpret_cast<LPARAM>(preselect);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
    if (!item) {
        std::memcpy(buffer, preselect, FolderBufferSize);
        return false;
    }
    char path[FolderBufferSize] = "";
    BOOL gotPath = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    if (!gotPath) {
        std::memcpy(buffer, preselect, FolderBufferSize);
        return false;
    }
    std::memcpy(buffer, path, FolderBufferSize);
    return true;
}
