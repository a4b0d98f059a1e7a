#include "installmanager/Settings.h"

#include <windows.h>

#include <vector>

#include "installmanager/Configuration.h"
#include "installmanager/DiskSpaceCalls.h"
#include "installmanager/ExecutablePath.h"
#include "installmanager/InstallCommandLines.h"
#include "installmanager/PathText.h"
#include "platform/FileSystem.h"

TWizardSettings WizardSettings;

// ---- TWizardSettings ----

std::string TWizardSettings::GetInstallFolder() {
    if (installFolder.empty()) SetInstallFolder(GetProgramFilesFolder() + "\\Tarnwick");
    return installFolder;
}

void TWizardSettings::SetInstallFolder(std::string folder) { installFolder = std::move(folder); }

std::string TWizardSettings::GetLogFolder() {
    logFolder = installFolder;
    EnsureTrailingBackslash(logFolder);
    logFolder += "Logs";
    return logFolder;
}

std::string TWizardSettings::GetContactFirstName() const { return contactFirstName; }
std::string TWizardSettings::GetContactLastName() const { return contactLastName; }
std::string TWizardSettings::GetContactEmail() const { return contactEmail; }
void TWizardSettings::SetContactFirstName(std::string value) { contactFirstName = std::move(value); }
void TWizardSettings::SetContactLastName(std::string value) { contactLastName = std::move(value); }
void TWizardSettings::SetContactEmail(std::string value) { contactEmail = std::move(value); }

// ---- Folders ----

namespace {

std::string EnvironmentValue(const char* name) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    while (size != 0) {
        std::vector<char> buffer(size);
        const DWORD length = GetEnvironmentVariableA(name, buffer.data(), size);
        if (length < size) return std::string(buffer.data(), length);
        size = length;  // the value grew in between
    }
    return std::string();
}

std::string RegistryProgramFilesFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return std::string();
    // Up to 260 characters and the terminating zero; the spare byte terminates a value that was
    // stored without its zero.
    char value[MAX_PATH + 2] = {};
    DWORD size = MAX_PATH + 1;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    return std::string(value);
}

}  // namespace

std::string GetProgramFilesFolder() {
    std::string folder = EnvironmentValue("ProgramFiles");
    if (folder.empty()) folder = RegistryProgramFilesFolder();
    if (folder.empty()) folder = "C:\\Program Files";
    return folder;
}

bool CreateDirectoryTree(const std::string& path) {
    if (path.size() > MaxPathLength) return false;
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
        const std::size_t separator = ParentSeparator(path);
        if (separator == std::string::npos) return false;
        if (!CreateDirectoryTree(path.substr(0, separator))) return false;
        return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
    }
    // Already there, or a root that cannot be created but exists ("C:", "\\server\share"). Either way
    // what counts is a folder: a file of that name is no place to put anything.
    return FolderExists(path);
}

// ---- Disk space ----

namespace {
const DiskSpaceCalls realDiskSpaceCalls = {::GetDiskFreeSpaceExA};
const DiskSpaceCalls* diskSpaceCalls = &realDiskSpaceCalls;
}  // namespace

const DiskSpaceCalls& CurrentDiskSpaceCalls() { return *diskSpaceCalls; }

void SetDiskSpaceCalls(const DiskSpaceCalls* calls) { diskSpaceCalls = calls ? calls : &realDiskSpaceCalls; }

bool HasEnoughDiskSpace() {
    // Kilobytes of 1000 bytes. A negative size frees nothing, so it counts as none, and the sum stops
    // at the largest value instead of wrapping round to a small or negative one.
    int64_t needed = 0;
    for (int i = 0; i < ComponentCount(); ++i) {
        const int64_t size = Component(i).Size;
        if (!Component(i).Selected || size <= 0) continue;
        needed = size > INT64_MAX - needed ? INT64_MAX : needed + size;
    }
    // The query wants a root with its trailing backslash ("C:\", "\\server\share\").
    std::string root = DriveOf(WizardSettings.GetInstallFolder());
    if (!root.empty()) EnsureTrailingBackslash(root);
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    if (!diskSpaceCalls->GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) totalFree.QuadPart = 0;
    // Compared in 64 bits: free kilobytes beyond INT64_MAX cannot happen on a real disk.
    return static_cast<int64_t>(totalFree.QuadPart / 1000) >= needed;
}

std::string ExecutableFolder() { return FolderOf(ExecutablePath()); }
