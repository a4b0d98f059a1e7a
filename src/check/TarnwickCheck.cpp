// TarnwickCheck: the distributor's check of a distribution folder before it ships. It reads the
// configuration file with the wizard's own code, lists every component as the wizard will see it, and
// reports as errors what would fail on the user's machine.
//
//   TarnwickCheck <distribution folder>      reads <folder>\TarnwickSetup.INI
//   TarnwickCheck <path of the INI file>     any name; the setup files lie beside it
//   ... COMPONENTS=Name1,Name2 INSTALLDIR=...  also checks the wizard's command-line choices
//
// Exit code 0 when no error was found (warnings allowed), 1 with errors, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "check/DistributionRules.h"
#include "installmanager/Configuration.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/Installation.h"
#include "installmanager/InstallCommandLines.h"
#include "installmanager/PathText.h"
#include "installmanager/ValueParse.h"

namespace {

// The log file is <description>.log, and Windows allows 255 characters in a name.
constexpr std::size_t MaxDescriptionLength = 255 - 4;
constexpr std::size_t MaxFileNameLength = 255;

class Report {
public:
    void Error(const std::string& text) {
        Line("error: " + text);
        ++errors;
    }
    void Warning(const std::string& text) {
        Line("warning: " + text);
        ++warnings;
    }
    void Line(const std::string& text) const { std::printf("%s%s\n", indent, text.c_str()); }
    // A named line, the names in one column.
    void Field(const std::string& name, const std::string& text) const {
        Line(name + std::string(name.size() < NameWidth ? NameWidth - name.size() : 1, ' ') + text);
    }
    // One key: its text as the wizard reads it, and what the wizard takes from it by which rule.
    void Key(const TComponentKeys& keys, ConfigKey key, const std::string& value = "",
             const std::string& rule = "") const {
        std::string line = "\"" + keys[key] + "\"";
        if (!value.empty()) line += " -> " + value + (rule.empty() ? "" : " (" + rule + ")");
        Field(ConfigKeyName(key), line);
    }

    const char* indent = "";
    int errors = 0;
    int warnings = 0;

private:
    static constexpr std::size_t NameWidth = 21;
};

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The first `count` bytes of a file (fewer when it is shorter); false when it cannot be read.
bool ReadFirstBytes(const std::string& path, DWORD count, std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.assign(count, '\0');
    DWORD read = 0;
    const bool ok = ReadFile(file, &bytes[0], count, &read, nullptr) != FALSE;
    CloseHandle(file);
    bytes.resize(read);
    return ok;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A package as the wizard opens it before it installs it: an installer database with a product code.
void CheckPackageContents(const TSetupComponent& entry, const std::string& path, Report& report) {
    static const bool installerBound = BindWindowsInstaller(InstallerCalls);
    if (!installerBound) {
        report.Warning("Windows Installer (msi.dll) is not available here: " + entry.FileName + " was not opened");
        return;
    }
    std::string productCode;
    const PackageCheck check = CheckPackage(path, productCode);
    if (check == PackageCheck::Product) report.Field("product code", productCode);
    else report.Error(FailureReasons::PackageInvalid(entry.FileName, check));
}

// The setup file beside the wizard: present, and of the kind FileIsExe says.
void CheckSetupFile(const TSetupComponent& entry, const std::string& folder, Report& report) {
    const std::string problem = NameProblem(entry.FileName, MaxFileNameLength);
    if (!problem.empty()) {
        report.Error("FileName " + Quoted(entry.FileName) + " cannot be a file beside the wizard: " + problem);
        return;
    }
    const std::string path = folder + "\\" + entry.FileName;
    std::string firstBytes;
    if (!IsFile(path)) {
        report.Error("the setup file " + entry.FileName + " is missing from " + folder);
    } else if (!ReadFirstBytes(path, 8, firstBytes)) {
        report.Error("the setup file " + entry.FileName + " cannot be read");
    } else {
        const SetupFileKind kind = KindOfSetupFile(firstBytes);
        const SetupFileKind expected = entry.FileIsExe ? SetupFileKind::Program : SetupFileKind::InstallerPackage;
        if (kind == expected) {
            report.Field("setup file", std::string("found: ") + KindName(kind) + ", as FileIsExe says");
            if (kind == SetupFileKind::InstallerPackage) CheckPackageContents(entry, path, report);
        } else {
            report.Error("the setup file " + entry.FileName + " is " + KindName(kind) + ", but FileIsExe " +
                         (entry.FileIsExe ? "makes the wizard start it as a program"
                                          : "makes the wizard hand it to Windows Installer"));
        }
    }
}

// One component as the wizard will see it, with what would fail on the user's machine.
void CheckComponent(const TComponentKeys& keys, const TSetupComponent& entry, char separator,
                    const std::string& folder, Report& report) {
    std::printf("\n[%s] %s\n", keys.Section.c_str(), entry.ComponentDescription.c_str());
    report.indent = "  ";
    const auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
    report.Key(keys, ConfigKey::ComponentDescription);
    report.Key(keys, ConfigKey::Version);
    report.Key(keys, ConfigKey::Size, std::to_string(entry.Size) + " KB", SizeRule(keys[ConfigKey::Size], separator));
    report.Key(keys, ConfigKey::FileName);
    report.Key(keys, ConfigKey::FileIsExe, flag(entry.FileIsExe), BooleanRule(keys[ConfigKey::FileIsExe]));
    report.Key(keys, ConfigKey::Required, flag(entry.Required), BooleanRule(keys[ConfigKey::Required]));
    report.Key(keys, ConfigKey::SetupFileSubFolder, flag(entry.SetupFileSubFolder),
               BooleanRule(keys[ConfigKey::SetupFileSubFolder]));
    report.Key(keys, ConfigKey::ComponentImageIndex, std::to_string(entry.ComponentImageIndex),
               IntegerRule(keys[ConfigKey::ComponentImageIndex]));
    report.Key(keys, ConfigKey::ColProdID, entry.ColProdID == "-1" ? "not reported" : "reported when installed");

    // Sizes follow the user's decimal separator, which may not be this machine's.
    const char other = separator == ',' ? '.' : ',';
    const int64_t otherSize = ParseSize(keys[ConfigKey::Size], other);
    if (otherSize != entry.Size) {
        report.Warning("Size " + Quoted(keys[ConfigKey::Size]) + " gives " + std::to_string(otherSize) +
                       " KB to a user whose decimal separator is \"" + other + "\"");
    }

    const std::string problem = NameProblem(entry.ComponentDescription, MaxDescriptionLength);
    if (problem.empty()) {
        report.Field("staged as", StagedSetupFilePath("<install folder>", entry));
        if (!entry.FileIsExe) report.Field("log file", ComponentLogFilePath("<install folder>\\Logs", entry));
    } else {
        report.Error("ComponentDescription " + Quoted(entry.ComponentDescription) +
                     " cannot name the component's log file and sub-folder: " + problem);
    }
    CheckSetupFile(entry, folder, report);
    report.indent = "";
}

// The distribution's INI and folder from the command-line argument.
void Locate(const std::string& argument, std::string& ini, std::string& folder) {
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(argument.c_str(), sizeof full, full, nullptr);
    const std::string path = length > 0 && length < sizeof full ? std::string(full, length) : argument;
    if (IsFolder(path)) {
        folder = path;
        if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        ini = folder + "\\TarnwickSetup.INI";
    } else {
        ini = path;
        folder = FolderOf(path);
    }
}

// The wizard's choices from an unattended command line, checked against the INI as the wizard will:
// a name no section has, or a value it cannot use, ends that run with exit code 87.
void CheckChoices(const CommandLineSwitches& switches, const std::vector<TComponentKeys>& sections,
                  const std::vector<TSetupComponent>& entries, Report& report) {
    if (!switches.Problem.empty()) report.Error(switches.Problem + " (the wizard would end with 87)");
    if (!switches.ComponentsGiven || switches.Components.empty()) return;
    std::string known;
    for (const TComponentKeys& keys : sections) known += (known.empty() ? "" : ", ") + keys.Section;
    for (const std::string& name : switches.Components) {
        bool found = false;
        for (const TComponentKeys& keys : sections) found = found || NamedIn(keys.Section, {name});
        if (!found) {
            report.Error("COMPONENTS= names " + Quoted(name) + ", which no section of the INI has (the wizard would "
                         "end with 87; the sections: " + known + ")");
        }
    }
    std::string chosen;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Required || NamedIn(sections[i].Section, switches.Components))
            chosen += " [" + sections[i].Section + "]" + (entries[i].Required ? " (required)" : "");
    }
    std::printf("COMPONENTS= installs:%s\n", chosen.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: TarnwickCheck <distribution folder | INI file> [COMPONENTS=Name1,Name2 INSTALLDIR=...]\n"
                    "Lists the components as the Tarnwick Setup Wizard will see them and reports what would\n"
                    "fail on the user's machine, and what the wizard's command-line choices after it would\n"
                    "do. Exit code 0: no errors; 1: errors found.\n");
        return 2;
    }
    // The rest as the wizard would see it on its command line.
    std::string choices;
    for (int i = 2; i < argc; ++i) choices += std::string(" \"") + argv[i] + "\"";
    const CommandLineSwitches switches = ParseSwitches(choices);
    std::string ini, folder;
    Locate(argv[1], ini, folder);
    std::printf("Tarnwick distribution check of %s\n", ini.c_str());
    Report report;

    std::vector<TComponentKeys> sections;
    if (!ReadConfigurationKeys(ini, sections)) {
        report.Error("the wizard cannot open " + ini + ": it would show its configuration file error and end");
        std::printf("\n1 error\n");
        return 1;
    }
    const std::string wizard = ChangeFileExt(ini, ".exe");
    if (!IsFile(wizard)) {
        report.Warning(wizard + " is missing: the wizard reads the INI file named after itself, beside itself");
    }
    const char separator = UserDecimalSeparator();
    std::printf("Sizes read with the decimal separator \"%c\", this machine's.\n", separator);

    std::vector<TSetupComponent> entries;
    for (const TComponentKeys& keys : sections) {
        entries.emplace_back();
        ComponentFromKeys(keys, separator, entries.back());
        CheckComponent(keys, entries.back(), separator, folder, report);
    }

    std::printf("\n");
    CheckChoices(switches, sections, entries, report);
    if (sections.empty()) report.Error("the INI file lists no components: the wizard has nothing to install");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            if (entries[i].ComponentDescription.empty() ||
                !SameName(entries[i].ComponentDescription, entries[j].ComponentDescription))
                continue;
            report.Error("[" + sections[i].Section + "] and [" + sections[j].Section + "] have the same description " +
                         Quoted(entries[j].ComponentDescription) + ": their log files and sub-folders collide");
        }
    }
    std::printf("%lu component%s, %d error%s, %d warning%s\n", static_cast<unsigned long>(entries.size()),
                entries.size() == 1 ? "" : "s",
                report.errors, report.errors == 1 ? "" : "s", report.warnings, report.warnings == 1 ? "" : "s");
    return report.errors > 0 ? 1 : 0;
}
