#include "installmanager/FolderBrowser.h"

#include <shlobj.h>

#include <cstring>

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*parameter*/, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
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
