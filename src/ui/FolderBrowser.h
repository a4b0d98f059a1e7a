#pragma once
// The shell's folder browser, opened with a folder preselected.
#include <windows.h>

constexpr int FolderBufferSize = 260;  // MAX_PATH, terminator included

// `buffer` holds FolderBufferSize characters: on entry the folder to preselect (possibly empty), on
// a true result the chosen folder's full path. False when the user cancelled or the shell could not
// give a file-system path for the choice (the buffer is then unchanged).
bool BrowseForFolder(char* buffer, HWND owner, const char* title);

// Called by the shell while the browser is open; selects the buffer's folder once it is up.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data);
