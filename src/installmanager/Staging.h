#pragma once
// Staging: the selected setup files written into <install folder>\SetupFiles, a folder that only
// administrators can write, and held there until they have run.
//
// The wizard runs with administrator rights (often as SYSTEM) and starts what it staged, so the
// folder must not be one that others could prepare or change: SetupFiles gets an explicit, protected
// security descriptor (full control for SYSTEM and Administrators, read and execute for Users,
// nothing inherited from the install folder, which may be C:\<anything> with "Authenticated Users:
// Modify"). A SetupFiles that is already there is not trusted as it is: it is moved aside (and then
// deleted) and a new one is made, because taking over an existing folder would keep what lies in it
// (files, links, junctions) and handles that others opened before. Each file is written by the wizard
// in this run, checked against the seal when the wizard carries one (size and SHA-256, taken of the
// bytes as they are written through a handle that nobody else may open), and then opened again and
// held so that nobody can write, rename or delete it until its installation or setup program has
// returned; in between only SYSTEM and Administrators could open it (its folder's descriptor), and
// the folders on its path are held so that none can be swapped.
#include <windows.h>

#include <string>

// The folder calls that decide what SetupFiles is made of; the real functions by default, recorders
// in tests (Wine accepts a security descriptor but neither keeps nor enforces it, so what staging
// asks for can only be seen here).
struct StagingCalls {
    BOOL(WINAPI* CreateDirectoryA)(LPCSTR path, LPSECURITY_ATTRIBUTES attributes);
    BOOL(WINAPI* MoveFileExA)(LPCSTR from, LPCSTR to, DWORD flags);
};
const StagingCalls& CurrentStagingCalls();
// Installs `calls` (owned by the caller, kept until replaced); null restores the real functions.
void SetStagingCalls(const StagingCalls* calls);

// The security descriptor of SetupFiles and its sub-folders (and of a Logs folder the run makes), in
// the system's SDDL: protected, full control for SYSTEM and Administrators, read and execute for
// Users, inherited by the files and folders inside.
constexpr const char* ProtectedFolderSddl = "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// Creates one folder with that descriptor; false with GetLastError() as Windows left it.
bool CreateProtectedFolder(const std::string& path);

// Stages every selected entry's setup file (see above) from the folder beside the wizard, or from the
// container inside it. An entry that could not be staged keeps why (StagingError, StagingProblem);
// a staged one keeps its held file (StagedFile) for RunInstallation. Messages keep being handled
// between pieces of a large file (CurrentProgressDisplay().ProcessMessages()).
void CopySetupFiles();
// Holds a folder the run writes into (not a link; see Staging.cpp) until ReleaseStagedFiles; false
// when it is a link or cannot be opened.
bool HoldExistingFolder(const std::string& path);
// Lets go of the held files and folders (RunInstallation, when each has run and at its end).
void ReleaseStagedFile(void*& file);
void ReleaseStagedFiles();

// How much is read and written at a time: memory stays bounded whatever the size of a package.
constexpr DWORD StagingPieceSize = 1 << 20;
