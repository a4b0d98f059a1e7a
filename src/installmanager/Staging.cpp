#include "installmanager/Staging.h"

#include <sddl.h>

#include <cstring>
#include <vector>

#include "installmanager/Configuration.h"
#include "installmanager/Distribution.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/InstallCommandLines.h"
#include "installmanager/PathText.h"
#include "installmanager/ProgressDisplay.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "platform/FileSystem.h"
#include "platform/NameRules.h"
#include "platform/Sha256.h"

namespace {

const StagingCalls realStagingCalls = {::CreateDirectoryA, ::MoveFileExA};
const StagingCalls* stagingCalls = &realStagingCalls;

// The folders held while their files wait to run: the install folder with every folder above it,
// SetupFiles, the sub-folders. The handles read the folder's listing, which takes part in Windows'
// sharing checks, and do not share delete access: nobody can rename a folder on the path away and put
// another in its place while the wizard starts what it staged there by that path.
std::vector<HANDLE> heldFolders;
std::vector<HANDLE> heldFiles;

// Opens a folder itself (a link is not followed) so that it cannot be renamed or deleted while held;
// INVALID_HANDLE_VALUE when it cannot be opened, or is a link (a junction, a symbolic link, a mount
// point) and `link` does not allow one.
HANDLE OpenFolderHeld(const std::string& path, DWORD access, DWORD share, bool link = false) {
    const HANDLE folder = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    if (folder != INVALID_HANDLE_VALUE && GetFileInformationByHandle(folder, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (link || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)))
        return folder;
    if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
    SetLastError(ERROR_CANT_ACCESS_FILE);
    return INVALID_HANDLE_VALUE;
}

bool HoldFolder(const std::string& path, bool link = false) {
    const HANDLE held = OpenFolderHeld(path, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, link);
    if (held == INVALID_HANDLE_VALUE) return false;
    heldFolders.push_back(held);
    return true;
}

// Removes a folder that was moved aside, without following links. Each folder is held while it is
// emptied, so that nobody can swap it, or a folder in it, for a link between the listing and the
// deleting; a link found in it is removed itself, never what it points to, and a file name that is a
// link is deleted as a name. What cannot be removed stays (it is out of the way already).
void RemoveTreeNoFollow(const std::string& folder) {
    const HANDLE held = OpenFolderHeld(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ);
    if (held != INVALID_HANDLE_VALUE) {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeNoFollow(folder + "\\" + name);
                else DeleteFileA((folder + "\\" + name).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        CloseHandle(held);
    }
    // A link (not held above) goes as itself; a folder only when it is empty.
    RemoveDirectoryA(folder.c_str());
}

// Makes <install folder>\SetupFiles anew; ERROR_SUCCESS, or Windows' reason why it could not be.
DWORD MakeStagingFolder(const std::string& installFolder, const std::string& target) {
    if (!CreateDirectoryTree(installFolder)) return GetLastError() ? GetLastError() : ERROR_DIRECTORY;
    // The install folder and every folder above it, to the root (which cannot be renamed anyway). A
    // link on the way is the distributor's or the administrator's choice: held as the link itself.
    for (std::string folder = installFolder; folder.size() > DriveOf(folder).size() + 1; folder = FolderOf(folder)) {
        if (!HoldFolder(folder, true)) LogLine("Staging: " + folder + " cannot be held against renaming");
    }
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // Whatever it is (an earlier run's folder, one that somebody prepared, a link), it goes.
        const std::string aside = target + ".old-" + std::to_string(GetTickCount());
        if (!stagingCalls->MoveFileExA(target.c_str(), aside.c_str(), 0)) return GetLastError();
        LogLine("Staging: the existing " + target + " was moved aside to be replaced");
        RemoveTreeNoFollow(aside);
    }
    if (!CreateProtectedFolder(target) || !HoldFolder(target)) return GetLastError();
    return ERROR_SUCCESS;
}

// Where a setup file's bytes come from: a file beside the wizard, or a range of the wizard itself.
struct Source {
    HANDLE file = INVALID_HANDLE_VALUE;
    uint64_t start = 0;
    uint64_t size = 0;
    bool owned = false;
};

class Stager {
public:
    Stager() : buffer(StagingPieceSize) {}

    // Writes the file from `source` to `destination`, checking it against `sealed` when there is one;
    // holds it afterwards. Fills the entry's StagingError / StagingProblem on failure.
    void Stage(TSetupComponent& component, const Source& source, const TSealedFile* sealed,
               const std::string& destination) {
        const DWORD error = Write(source, sealed, destination, component);
        if (error != ERROR_SUCCESS) {
            component.StagingError = error;
            return;
        }
        if (!component.StagingProblem.empty()) {
            DeleteFileA(destination.c_str());  // never started, so never kept
            return;
        }
        Hold(component, destination, source.size);
    }

    // A second entry of the same file: held again, not written again.
    void Hold(TSetupComponent& component, const std::string& destination, uint64_t size) {
        const HANDLE held = CreateFileA(destination.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER heldSize = {};
        if (held == INVALID_HANDLE_VALUE || !GetFileSizeEx(held, &heldSize) || static_cast<uint64_t>(heldSize.QuadPart) != size) {
            const DWORD error = held == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_FILE_INVALID;
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            component.StagingProblem = FailureReasons::NotHeld(component.FileName, error);
            return;
        }
        heldFiles.push_back(held);
        component.StagedFile = held;
    }

private:
    DWORD Write(const Source& source, const TSealedFile* sealed, const std::string& destination,
                TSetupComponent& component) {
        if (sealed && sealed->Size != source.size) {
            component.StagingProblem = SealMismatchReason(component.FileName);
            return ERROR_SUCCESS;
        }
        // Nobody else may open it while it is written; it inherits the protected folder's descriptor.
        const HANDLE out = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (out == INVALID_HANDLE_VALUE) return GetLastError();
        Sha256 hash;
        DWORD error = ERROR_SUCCESS;
        for (uint64_t done = 0; done < source.size && error == ERROR_SUCCESS;) {
            const DWORD piece = source.size - done < StagingPieceSize ? static_cast<DWORD>(source.size - done)
                                                                      : StagingPieceSize;
            DWORD written = 0;
            if (!ReadFileAt(source.file, source.start + done, buffer.data(), piece)) {
                error = GetLastError();  // ERROR_HANDLE_EOF: the source ended early
            } else if (!WriteFile(out, buffer.data(), piece, &written, nullptr)) {
                error = GetLastError();
            } else if (written != piece) {
                error = ERROR_WRITE_FAULT;
            } else {
                if (sealed) hash.Add(buffer.data(), piece);
                done += piece;
                CurrentProgressDisplay().ProcessMessages();
            }
        }
        CloseHandle(out);
        if (error != ERROR_SUCCESS) {
            DeleteFileA(destination.c_str());
            return error;
        }
        uint8_t digest[Sha256Length];
        if (sealed && (!hash.Finish(digest) || std::memcmp(digest, sealed->Sha256, Sha256Length) != 0))
            component.StagingProblem = SealMismatchReason(component.FileName);
        return ERROR_SUCCESS;
    }

    std::vector<char> buffer;
};

}  // namespace

const StagingCalls& CurrentStagingCalls() { return *stagingCalls; }

void SetStagingCalls(const StagingCalls* calls) { stagingCalls = calls ? calls : &realStagingCalls; }

bool CreateProtectedFolder(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(ProtectedFolderSddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const BOOL created = stagingCalls->CreateDirectoryA(path.c_str(), &attributes);
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    SetLastError(error);
    return created != FALSE;
}

bool HoldExistingFolder(const std::string& path) { return HoldFolder(path); }

void ReleaseStagedFile(void*& file) {
    if (!file) return;
    for (HANDLE& held : heldFiles) {
        if (held == file) {
            CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
        }
    }
    file = nullptr;
}

void ReleaseStagedFiles() {
    for (HANDLE held : heldFiles) {
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    }
    for (HANDLE held : heldFolders) CloseHandle(held);
    heldFiles.clear();
    heldFolders.clear();
    for (int i = 0; i < ComponentCount(); ++i) Component(i).StagedFile = nullptr;
}

void CopySetupFiles() {
    ReleaseStagedFiles();
    const std::string installFolder = WizardSettings.GetInstallFolder();
    std::string target = installFolder;
    EnsureTrailingBackslash(target);
    target += "SetupFiles";
    if (target.size() > MaxPathLength) target.clear();
    const DWORD folderError = target.empty() ? ERROR_FILENAME_EXCED_RANGE : MakeStagingFolder(installFolder, target);

    const TSealedExecutable& executable = OwnExecutable();
    const DistributionKind kind = CurrentDistribution();
    std::string sourceFolder = ExecutableFolder();
    EnsureTrailingBackslash(sourceFolder);
    Stager stager;
    for (int i = 0; i < ComponentCount(); ++i) {
        TSetupComponent& component = Component(i);
        component.StagingError = 0;
        component.StagingProblem.clear();
        // A name with a path in it would be read from, and written to, somewhere else.
        if (!component.Selected || !IsPlainFileName(component.FileName)) continue;
        if (folderError != ERROR_SUCCESS) {
            component.StagingError = folderError;
            continue;
        }
        const std::string destination = StagedSetupFilePath(installFolder, component);
        // An over-long path would be cut by the system into another name: such a file is not staged.
        if (destination.size() > MaxPathLength || sourceFolder.size() + component.FileName.size() > MaxPathLength) {
            component.StagingError = ERROR_FILENAME_EXCED_RANGE;
            continue;
        }
        const std::string folder = FolderOf(destination);
        // A sub-folder that is there was made (and held) in this run: the new SetupFiles lets no one else.
        if (component.SetupFileSubFolder && folder != target && !FolderExists(folder) &&
            (!CreateProtectedFolder(folder) || !HoldFolder(folder))) {
            component.StagingError = GetLastError();
            continue;
        }
        // The same file already staged in this run for an earlier entry is held again.
        const TSetupComponent* earlier = nullptr;
        for (int j = 0; j < i && !earlier; ++j) {
            const TSetupComponent& other = Component(j);
            if (other.StagedFile && lstrcmpiA(StagedSetupFilePath(installFolder, other).c_str(), destination.c_str()) == 0)
                earlier = &other;
        }
        const TSealedFile* sealed = kind == DistributionKind::Folder ? nullptr : &executable.Seal.Files[i];
        Source source;
        if (kind == DistributionKind::Bundle) {
            // Files beside a bundle are ignored: its own bytes are the setup file.
            source = {executable.FileHandle(), executable.ContainerStart() + sealed->Offset, sealed->Size, false};
        } else {
            source.file = CreateFileA((sourceFolder + component.FileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            LARGE_INTEGER size = {};
            if (source.file == INVALID_HANDLE_VALUE || !GetFileSizeEx(source.file, &size)) {
                component.StagingError = GetLastError();
                if (source.file != INVALID_HANDLE_VALUE) CloseHandle(source.file);
                continue;
            }
            source.size = static_cast<uint64_t>(size.QuadPart);
            source.owned = true;
        }
        if (earlier) stager.Hold(component, destination, source.size);
        else stager.Stage(component, source, sealed, destination);
        if (source.owned) CloseHandle(source.file);
        if (!component.StagingProblem.empty()) LogLine("[" + component.SectionName + "] " + component.StagingProblem);
    }
}
