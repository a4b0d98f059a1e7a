#pragma once
// The paths and command lines the installation run builds, as plain text (no Windows headers).
#include <string>

struct TSetupComponent;

// <install>\SetupFiles\[<ComponentDescription>\]<FileName>: where the staged copy of the entry's setup
// file lies. The description goes through NameFromDescription, here and for the log file.
std::string StagedSetupFilePath(const std::string& installFolder, const TSetupComponent& component);

// <log folder>\<ComponentDescription>.log
std::string ComponentLogFilePath(const std::string& logFolder, const TSetupComponent& component);

// The Windows Installer command line: INSTALLDIR="<folder>" TWK_CAME_LAUNCHER=1 REBOOT=ReallySuppress,
// followed by " REINSTALL=ALL REINSTALLMODE=vomus" when the product is already on the machine.
std::string PackageCommandLine(const std::string& installFolder, bool reinstall);

// "<path>" -r. The path is quoted: the default install folder lies under "Program Files", and an
// unquoted path with blanks would have Windows try C:\Program.exe first.
std::string SetupProgramCommandLine(const std::string& setupFilePath);
// "<path>" <arguments>: the setup program told to remove what it installed (its UninstallArguments).
std::string SetupProgramRemovalCommandLine(const std::string& setupFilePath, const std::string& arguments);
