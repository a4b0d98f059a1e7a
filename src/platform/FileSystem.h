#pragma once
// Whether a file or folder is there: the one place the wizard and the checker ask.
#include <string>

// A file (not a folder) at `path`.
bool FileExists(const std::string& path);
// A folder at `path`.
bool FolderExists(const std::string& path);
// Reads exactly `count` bytes at `offset` of an open file (HANDLE), whatever its file pointer; false
// with GetLastError() when they cannot all be read (ERROR_HANDLE_EOF when the file ends first).
bool ReadFileAt(void* file, unsigned long long offset, void* buffer, unsigned long count);
// Whether `path` opens as an existing file, asking for neither read nor write access, with read
// sharing (how the wizard tests for its configuration file).
bool OpensAsExistingFile(const std::string& path);
