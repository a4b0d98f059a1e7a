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

// A component description as one folder or file name (its sub-folder of SetupFiles, its log file): a
// description is a display text, never a path, so every character Windows forbids in a name
// (\ / : * ? " < > | and control characters) becomes "_", and so does every dot of a name made of
// dots only ("..", which would climb out of the folder). Other descriptions are returned unchanged.
std::string NameFromDescription(const std::string& description);

// True for a file name that stays in its folder: not empty, no "\", "/" or ":", not "." or "..".
bool IsPlainFileName(const std::string& name);
