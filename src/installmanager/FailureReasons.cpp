#include "installmanager/FailureReasons.h"

#include <windows.h>

#include "installmanager/Configuration.h"
#include "installmanager/Installation.h"
#include "installmanager/PathText.h"
#include "installmanager/Settings.h"
#include "platform/NameRules.h"

namespace {

// "<code>: <Windows' text>", or the code alone when Windows has no text for it.
std::string CodeAndText(uint32_t code) {
    const std::string text = SystemMessage(code);
    return text.empty() ? std::to_string(code) : std::to_string(code) + ": " + text;
}
}  // namespace

std::string HexText(uint64_t value, int digits) {
    const char* hex = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text += hex[(value >> shift) & 0xF];
    return text;
}

std::string SystemMessage(uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", buffer ? length : 0);
    if (buffer) LocalFree(buffer);
    // Line breaks inside the text become blanks; the ones at its end go.
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

namespace FailureReasons {

std::string PackageFailed(uint32_t result, const std::string& logFile) {
    std::string reason = "Windows Installer ended with " + CodeAndText(result);
    if (result == ERROR_INSTALL_ALREADY_RUNNING) {
        reason += " Another installation kept Windows Installer busy for ten minutes; run this setup again "
                  "when it has finished.";
    } else if (result == ERROR_INSTALL_USEREXIT) {
        reason += " The installation was cancelled.";
    }
    if (!logFile.empty()) {
        reason += " Its log: " + logFile;
    } else if (result != ERROR_INSTALL_ALREADY_RUNNING && result != ERROR_INSTALL_USEREXIT) {
        reason += WizardSettings.Unattended
                      ? " Start the setup with /log to have the installer's log written."
                      : " To learn more, tick \"Generate MSI log files for the installations\" on the ready "
                        "page and install it again.";
    }
    return reason;
}

std::string ProgramNotStarted(uint32_t error) {
    return "The setup program could not be started: " + CodeAndText(error);
}

std::string ProgramCrashed(uint32_t exitCode) {
    return "The setup program stopped unexpectedly (exception code " + HexText(exitCode, 8) + ").";
}

std::string SetupFileMissing(const TSetupComponent& component, const std::string& stagedPath) {
    if (component.StagingError == ERROR_FILE_NOT_FOUND || component.StagingError == ERROR_PATH_NOT_FOUND) {
        return "The setup file " + component.FileName + " is missing from the setup's folder (" +
               ExecutableFolder() + ").";
    }
    if (component.StagingError != ERROR_SUCCESS) {
        return "The setup file " + component.FileName + " could not be copied to " + FolderOf(stagedPath) + ": " +
               CodeAndText(component.StagingError);
    }
    return "The setup file was not found at " + stagedPath + ".";
}

std::string PackageInvalid(const std::string& fileName, PackageCheck check) {
    return "The setup file " + fileName +
           (check == PackageCheck::NoProductCode ? " describes no product (it has no ProductCode)"
                                                  : " does not open as a Windows Installer database") +
           ": " + CodeAndText(ERROR_INSTALL_PACKAGE_INVALID);
}

std::string NotHeld(const std::string& fileName, uint32_t error) {
    return "The staged copy of " + fileName + " could not be held against changes until it runs, so it was not "
           "started: " + CodeAndText(error);
}

std::string NotAPlainFileName(const std::string& fileName) {
    return "The setup file name \"" + fileName + "\" is not a plain file name (" + NameProblem(fileName) +
           "); the setup starts only files that lie beside it.";
}

std::string InstallerNotAvailable() {
    return "Windows Installer is not available on this computer (msi.dll could not be loaded from the system "
           "folder).";
}

std::string CannotBeRemoved(const TSetupComponent& component) {
    return "The setup program " + component.FileName + " cannot be removed by this setup: its section [" +
           component.SectionName + "] gives no UninstallArguments.";
}

std::string Cancelled() {
    return WizardSettings.Removing ? "Not removed: the removal was cancelled." : "Not installed: the installation was cancelled.";
}

}  // namespace FailureReasons
