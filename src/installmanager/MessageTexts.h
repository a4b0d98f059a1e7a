#pragma once
// Captions and messages that the pages and the install manager share.
namespace MessageTexts {
inline constexpr const char* Confirm = "Confirm";
inline constexpr const char* Information = "Information";
inline constexpr const char* Error = "Error";
inline constexpr const char* QuitQuestion = "Are you sure you want to quit?";
inline constexpr const char* CancelInstallQuestion =
    "Are you sure you want to cancel the installation process?\n\n"
    "Note that products already installed will not be uninstalled.";
inline constexpr const char* NotEnoughDiskSpace =
    "There is not enough disk space to install the selected components.";
inline constexpr const char* Succeeded = "Succeeded";
inline constexpr const char* Failed = "Failed";
inline constexpr const char* Removed = "Removed";
inline constexpr const char* RemoveQuestion = "Do you want to remove the Tarnwick components from this computer?";
inline constexpr const char* CancelRemovalQuestion = "Are you sure you want to cancel the removal?";
inline constexpr const char* ConfigurationFileError =
    "The setup failed to open the configuration file. Please alert ";
}  // namespace MessageTexts
