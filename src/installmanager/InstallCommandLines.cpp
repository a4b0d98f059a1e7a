#include "installmanager/InstallCommandLines.h"

#include "installmanager/Configuration.h"
#include "installmanager/PathText.h"
#include "platform/NameRules.h"
#include "installmanager/Settings.h"

namespace {
std::string WithTrailingBackslash(std::string path) {
    EnsureTrailingBackslash(path);
    return path;
}
}  // namespace

std::string StagedSetupFilePath(const std::string& installFolder, const TSetupComponent& component) {
    std::string path = WithTrailingBackslash(installFolder) + "SetupFiles\\";
    if (component.SetupFileSubFolder) path += NameFromDescription(component.ComponentDescription) + "\\";
    return path + component.FileName;
}

std::string ComponentLogFilePath(const std::string& logFolder, const TSetupComponent& component) {
    return WithTrailingBackslash(logFolder) + NameFromDescription(component.ComponentDescription) + ".log";
}

std::string PackageCommandLine(const std::string& installFolder, bool reinstall) {
    std::string commandLine = "INSTALLDIR=\"" + installFolder + "\" TWK_CAME_LAUNCHER=1 REBOOT=ReallySuppress";
    if (reinstall) commandLine += " REINSTALL=ALL REINSTALLMODE=vomus";
    return commandLine;
}

std::string SetupProgramCommandLine(const std::string& setupFilePath) {
    return SetupProgramRemovalCommandLine(setupFilePath, "-r");
}

std::string SetupProgramRemovalCommandLine(const std::string& setupFilePath, const std::string& arguments) {
    return "\"" + setupFilePath + "\" " + arguments;
}
