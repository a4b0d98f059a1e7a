#pragma once
// Windows' rules for file and folder names and for full folder paths: one answer for the wizard, its
// command line and the distributor's check. Plain text logic, free of <windows.h>.
#include <cstddef>
#include <string>

// Windows allows 255 characters in one name.
constexpr std::size_t MaxNameLength = 255;

// A device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9), also with an extension ("NUL.txt") or blanks
// before it: Windows opens the device whatever folder the name stands in.
bool IsDeviceName(const std::string& name);

// Why `name` cannot serve as one file or folder name on Windows, or "" when it can: empty; a character
// Windows forbids (control characters and < > : " / \ | ? *); "." or ".."; a trailing dot or blank
// (Windows drops it, so "Docs." and "Docs" would be one folder); a device name; or longer than
// `maxLength`.
std::string NameProblem(const std::string& name, std::size_t maxLength = MaxNameLength);

// A name that stays in its folder and means the file it says: NameProblem finds nothing.
bool IsPlainFileName(const std::string& name);

// Whether two names are one on Windows, which ignores case (compared for ASCII letters).
bool SameName(const std::string& a, const std::string& b);

// Why `folder` cannot be a full folder path, or "" when it can: it must start with a drive letter, a
// colon and a backslash, or with \\server\share; every name after that must pass NameProblem; and it
// must not be longer than `maxLength`. The reason reads on after the folder ("C:\x* has ...").
std::string FolderPathProblem(const std::string& folder, std::size_t maxLength);

// A component description as one folder or file name (its sub-folder of SetupFiles, its log file): a
// description is a display text, never a path. Every character Windows forbids in a name and every
// control character becomes "_", so do a trailing dot or blank and every dot of a name of dots only
// (".." would climb out of the folder), and a device name gets a "_" in front. A description that is
// a good name already comes back unchanged.
std::string NameFromDescription(const std::string& description);
