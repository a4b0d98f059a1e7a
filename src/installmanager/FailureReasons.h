#pragma once
// Why a component was not installed, in words a user can act on: the one place that makes these
// texts, for the summary page's rows and for the log.
#include <cstdint>
#include <string>

struct TSetupComponent;
enum class PackageCheck;  // Installation.h

// "0x" and `digits` hexadecimal digits of `value` (an exception code: 8; an address: twice its bytes).
std::string HexText(uint64_t value, int digits);

// Windows' own text for an error code or installer result (the system's message table), on one
// line; "" when Windows has none.
std::string SystemMessage(uint32_t code);

namespace FailureReasons {
// A package that Windows Installer did not install: its result and Windows' text for it, and the log
// file when one was written (`logFile` "" when logging was off).
std::string PackageFailed(uint32_t result, const std::string& logFile);
// A setup program that Windows could not start (`error` from CreateProcess).
std::string ProgramNotStarted(uint32_t error);
// A setup program that crashed: its exit code is the exception's status code.
std::string ProgramCrashed(uint32_t exitCode);
// The setup file is not at its staged path: why the copy failed, or that the file is missing.
std::string SetupFileMissing(const TSetupComponent& component, const std::string& stagedPath);
// A setup file that is no Windows Installer package that could be installed (`check` says why), with
// the installer's code for it (1620) and Windows' text. The distribution check uses the same words.
std::string PackageInvalid(const std::string& fileName, PackageCheck check);
// A staged file that could not be held open against writers until it has run.
std::string NotHeld(const std::string& fileName, uint32_t error);
std::string NotAPlainFileName(const std::string& fileName);
std::string InstallerNotAvailable();
// A setup program whose section has no UninstallArguments: the wizard cannot remove it.
std::string CannotBeRemoved(const TSetupComponent& component);
std::string Cancelled();
}  // namespace FailureReasons
