#include "ui/FolderBrowser.h"

#include <shlobj.h>

#include <cstring>

#include "platform/FileSystem.h"
#include "platform/SystemLibrary.h"

namespace {

// The shell and OLE, bound when the browser first opens: only the destination page's Change...
// needs them, and loading and starting them (with rpcrt4, combase, shcore and shlwapi) before the
// entry point cost the start-up about a sixth of its time.
struct ShellEntries {
    bool ready = false;
    HRESULT(WINAPI* OleInitialize)(LPVOID reserved) = nullptr;
    void(WINAPI* CoTaskMemFree)(LPVOID memory) = nullptr;
    PIDLIST_ABSOLUTE(WINAPI* SHBrowseForFolderA)(LPBROWSEINFOA info) = nullptr;
    BOOL(WINAPI* SHGetPathFromIDListA)(PCIDLIST_ABSOLUTE item, LPSTR path) = nullptr;
};

const ShellEntries& BoundShell() {
    static ShellEntries entries;
    if (!entries.ready) {
        const HMODULE ole = LoadSystemLibrary("ole32.dll");
        const HMODULE shell = LoadSystemLibrary("shell32.dll");
        ResolveEntry(ole, "OleInitialize", entries.OleInitialize);
        ResolveEntry(ole, "CoTaskMemFree", entries.CoTaskMemFree);
        ResolveEntry(shell, "SHBrowseForFolderA", entries.SHBrowseForFolderA);
        ResolveEntry(shell, "SHGetPathFromIDListA", entries.SHGetPathFromIDListA);
        entries.ready = entries.OleInitialize && entries.CoTaskMemFree && entries.SHBrowseForFolderA &&
                        entries.SHGetPathFromIDListA;
        // The browser with the new dialog style needs OLE on this thread, once for the process.
        if (entries.ready) entries.OleInitialize(nullptr);
    }
    return entries;
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
    const ShellEntries& shell = BoundShell();
    if (!shell.ready) return false;
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
    PIDLIST_ABSOLUTE item = shell.SHBrowseForFolderA(&info);
    if (!item) {
        std::memcpy(buffer, preselect, FolderBufferSize);
        return false;
    }
    char path[FolderBufferSize] = "";
    BOOL gotPath = shell.SHGetPathFromIDListA(item, path);
    shell.CoTaskMemFree(item);
    if (!gotPath) {
        std::memcpy(buffer, preselect, FolderBufferSize);
        return false;
    }
    std::memcpy(buffer, path, FolderBufferSize);
    return true;
}
