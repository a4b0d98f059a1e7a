#pragma once
// The wizard's process-wide settings and the folder, disk-space and staging operations on them.
#include <cstdint>
#include <string>

// Windows paths are limited to 259 characters; longer ones are refused rather than cut.
constexpr std::size_t MaxPathLength = 259;

class TWizardSettings {
public:
    // Returns the install folder, first filling in the Program Files folder + "\Tarnwick" when empty.
    std::string GetInstallFolder();
    void SetInstallFolder(std::string folder);
    // The "Logs" folder inside the install folder as stored (no default filled in).
    std::string GetLogFolder();
    std::string GetContactFirstName() const;
    std::string GetContactLastName() const;
    std::string GetContactEmail() const;
    void SetContactFirstName(std::string value);
    void SetContactLastName(std::string value);
    void SetContactEmail(std::string value);

    bool LoggingEnabled = false;
    bool CancelRequested = false;
    bool RestartRequired = false;
    bool DeferRestart = false;
    // No one at the screen ("/quiet", "/passive"): no question, no message box, no sound, no restart
    // prompt; what a box would have said goes to the log.
    bool Unattended = false;
    // "/uninstall": the run removes the selected components instead of installing them.
    bool Removing = false;

private:
    std::string installFolder;
    std::string logFolder;
    std::string contactFirstName;
    std::string contactLastName;
    std::string contactEmail;
};

extern TWizardSettings WizardSettings;

std::string GetProgramFilesFolder();
// Appends a backslash unless the text already ends in one (an empty text becomes "\").
void EnsureTrailingBackslash(std::string& path);
// True when the folder exists afterwards; creates missing parents. Paths over MaxPathLength fail.
bool CreateDirectoryTree(const std::string& path);
// Replaces every blank by `with`, in place; returns the same text.
std::string& ReplaceSpaces(std::string& text, char with);
// True when the install folder's drive has room for the selected components.
bool HasEnoughDiskSpace();
// The folder of the running executable, without a trailing backslash.
std::string ExecutableFolder();
