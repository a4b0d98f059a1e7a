#pragma once
// Whether a file or folder is there: the one place the wizard and the checker ask.
#include <string>

// A file (not a folder) at `path`.
bool FileExists(const std::string& path);
// A folder at `path`.
bool FolderExists(const std::string& path);
// Whether `path` opens as an existing file, asking for neither read nor write access, with read
// sharing (how the wizard tests for its configuration file).
bool OpensAsExistingFile(const std::string& path);
