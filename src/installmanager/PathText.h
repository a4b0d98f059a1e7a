#pragma once
// Text operations on Windows paths. Plain text logic, free of <windows.h>. EnsureTrailingBackslash and
// ReplaceSpaces (declared in Settings.h) are defined here too, so the report target stays pure.
#include <cstddef>
#include <string>

// The drive part of a path: "C:" for "C:\dir", "\\server\share" for "\\server\share\dir", else "".
std::string DriveOf(const std::string& path);

// The path with the extension of its last name replaced by `extension` (".INI"), or appended when
// that name has none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The path cut at its last backslash (the backslash dropped): the folder of a file. "" without one.
std::string FolderOf(const std::string& path);

// Where CreateDirectoryTree splits off the parent: the last "\" or "/" searched from the
// next-to-last character back to, but not including, the first one. npos when there is none.
std::size_t ParentSeparator(const std::string& path);
