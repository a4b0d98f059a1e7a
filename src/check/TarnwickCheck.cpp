// TarnwickCheck: the distributor's check of a distribution folder before it ships. It reads the
// configuration file with the wizard's own code, lists every component as the wizard will see it, and
// reports as errors what would fail on the user's machine.
//
//   TarnwickCheck <distribution folder>      reads <folder>\TarnwickSetup.INI
//   TarnwickCheck <path of the INI file>     any name; the setup files lie beside it
//   TarnwickCheck <path of a wizard>         a sealed wizard or a bundle: what it carries
//   ... COMPONENTS=Name1,Name2 INSTALLDIR=...  also checks the wizard's command-line choices
//   ... /seal <output.exe>                   when there is no error: the wizard sealed
//   ... /bundle <output.exe>                 when there is no error: the wizard with the files inside
//
// Exit code 0 when no error was found (warnings allowed), 1 with errors, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "check/DistributionRules.h"
#include "check/Sealing.h"
#include "installmanager/Configuration.h"
#include "installmanager/Distribution.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/Installation.h"
#include "installmanager/InstallCommandLines.h"
#include "installmanager/PathText.h"
#include "installmanager/ValueParse.h"
#include "platform/FileSystem.h"
#include "platform/NameRules.h"

namespace {

// The log file is <description>.log.
constexpr std::size_t MaxDescriptionLength = MaxNameLength - 4;
constexpr std::size_t MaxFileNameLength = MaxNameLength;

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

// The product code of each package file the check opened, by file name (for /uninstall's list).
std::vector<std::pair<std::string, std::string>> productCodes;

// A package as the wizard opens it before it installs it: an installer database with a product code.
void CheckPackageContents(const TSetupComponent& entry, const std::string& path, Report& report) {
    static const bool installerBound = BindWindowsInstaller(InstallerCalls);
    if (!installerBound) {
        report.Warning("Windows Installer (msi.dll) is not available here: " + entry.FileName + " was not opened");
        return;
    }
    std::string productCode;
    const PackageCheck check = CheckPackage(path, productCode);
    if (check == PackageCheck::Product) {
        report.Field("product code", productCode);
        productCodes.emplace_back(entry.FileName, productCode);
    }
    else report.Error(FailureReasons::PackageInvalid(entry.FileName, check));
}

// The sealed wizard a check is about (null for a folder with an unsealed wizard), and which of its
// entries the component at hand is.
struct SealedWizard {
    const TSealedExecutable* file = nullptr;
    std::size_t entry = 0;
};

// A setup file against the seal: the one beside a sealed wizard, or the bytes inside a bundle.
bool MatchesSeal(const std::string& path, const SealedWizard& sealed, Report& report) {
    const TSealedFile& expected = sealed.file->Seal.Files[sealed.entry];
    uint64_t size = 0;
    uint8_t digest[Sha256Length] = {};
    const bool read = sealed.file->Seal.Bundle()
                          ? HashRange(sealed.file->FileHandle(), sealed.file->ContainerStart() + expected.Offset,
                                      size = expected.Size, digest)
                          : HashFile(path, size, digest);
    if (read && size == expected.Size && std::memcmp(digest, expected.Sha256, Sha256Length) == 0) {
        report.Field("sealed", std::to_string(expected.Size) + " bytes, SHA-256 as sealed");
        return true;
    }
    report.Error(sealed.file->Seal.Bundle() ? "the bundle's copy of " + expected.Name + " does not match its seal: the bundle is damaged"
                                            : SealMismatchReason(expected.Name));
    return false;
}

// The setup file beside the wizard (or inside a bundle): present, and of the kind FileIsExe says.
void CheckSetupFile(const TSetupComponent& entry, const std::string& folder, const SealedWizard& sealed,
                    Report& report) {
    const std::string problem = NameProblem(entry.FileName, MaxFileNameLength);
    if (!problem.empty()) {
        report.Error("FileName " + Quoted(entry.FileName) + " cannot be a file beside the wizard: " + problem);
        return;
    }
    const std::string path = folder + "\\" + entry.FileName;
    const bool inside = sealed.file && sealed.file->Seal.Bundle();
    std::string firstBytes(8, '\0');
    if (inside) {
        const TSealedFile& file = sealed.file->Seal.Files[sealed.entry];
        firstBytes.resize(file.Size < 8 ? static_cast<std::size_t>(file.Size) : 8);
        if (!firstBytes.empty())
            sealed.file->ReadAt(sealed.file->ContainerStart() + file.Offset, &firstBytes[0], static_cast<uint32_t>(firstBytes.size()));
    }
    if (!inside && !FileExists(path)) {
        report.Error("the setup file " + entry.FileName + " is missing from " + folder);
    } else if (!inside && !ReadFirstBytes(path, 8, firstBytes)) {
        report.Error("the setup file " + entry.FileName + " cannot be read");
    } else if (sealed.file && !MatchesSeal(path, sealed, report)) {
        return;
    } else {
        const SetupFileKind kind = KindOfSetupFile(firstBytes);
        const SetupFileKind expected = entry.FileIsExe ? SetupFileKind::Program : SetupFileKind::InstallerPackage;
        if (kind == expected) {
            report.Field("setup file", std::string(inside ? "inside the bundle: " : "found: ") + KindName(kind) +
                                           ", as FileIsExe says");
            if (kind == SetupFileKind::InstallerPackage && !inside) CheckPackageContents(entry, path, report);
        } else {
            report.Error("the setup file " + entry.FileName + " is " + KindName(kind) + ", but FileIsExe " +
                         (entry.FileIsExe ? "makes the wizard start it as a program"
                                          : "makes the wizard hand it to Windows Installer"));
        }
    }
}

// One component as the wizard will see it, with what would fail on the user's machine.
void CheckComponent(const TComponentKeys& keys, const TSetupComponent& entry, char separator,
                    const std::string& folder, const SealedWizard& sealed, Report& report) {
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
    if (entry.FileIsExe) report.Key(keys, ConfigKey::UninstallArguments);

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
    CheckSetupFile(entry, folder, sealed, report);
    report.indent = "";
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// The distribution's INI, folder and wizard from the command-line argument.
void Locate(const std::string& argument, std::string& ini, std::string& folder, std::string& wizard) {
    const std::string path = FullPath(argument);
    if (FolderExists(path)) {
        folder = path;
        if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        ini = folder + "\\TarnwickSetup.INI";
    } else {
        ini = path;
        folder = FolderOf(path);
    }
    const bool isWizard = path.size() > 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".exe") == 0;
    wizard = isWizard ? path : ChangeFileExt(ini, ".exe");
    if (isWizard) ini = ChangeFileExt(path, ".INI");
}

std::string WholeFile(const std::string& path) {
    std::string bytes;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// A sealed wizard reads the INI's bytes with its own reader: it must read them as Windows does here.
void CheckSealedReading(const std::vector<TComponentKeys>& sections, const std::string& iniBytes, Report& report) {
    const std::vector<TComponentKeys> sealed = ConfigurationKeysFromText(iniBytes);
    for (std::size_t i = 0; i < sections.size() || i < sealed.size(); ++i) {
        std::string difference;
        if (i >= sections.size() || i >= sealed.size() || sections[i].Section != sealed[i].Section) {
            difference = "its sections";
        } else {
            for (int k = 0; k < static_cast<int>(ConfigKey::Count) && difference.empty(); ++k) {
                if (sections[i].Texts[k] != sealed[i].Texts[k])
                    difference = "[" + sections[i].Section + "] " + ConfigKeyName(static_cast<ConfigKey>(k));
            }
        }
        if (!difference.empty()) {
            report.Error("a sealed wizard would read " + difference + " of the INI otherwise than Windows reads it here; "
                         "write it as plain key=value lines");
            return;
        }
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
    if (switches.Uninstall) return;  // CheckRemoval lists what goes
    std::string chosen;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Required || NamedIn(sections[i].Section, switches.Components))
            chosen += " [" + sections[i].Section + "]" + (entries[i].Required ? " (required)" : "");
    }
    std::printf("COMPONENTS= installs:%s\n", chosen.c_str());
}

// What "/uninstall" (with COMPONENTS= when given) would remove, in its order, and how.
void CheckRemoval(const CommandLineSwitches& switches, const std::vector<TComponentKeys>& sections,
                  const std::vector<TSetupComponent>& entries, Report& report) {
    std::printf("/uninstall removes, in this order:\n");
    for (std::size_t i = entries.size(); i-- > 0;) {
        const TSetupComponent& entry = entries[i];
        if (switches.ComponentsGiven && !NamedIn(sections[i].Section, switches.Components)) continue;
        const std::string section = "[" + sections[i].Section + "]";
        if (entry.FileIsExe && entry.UninstallArguments.empty()) {
            report.Warning(section + " is a setup program without UninstallArguments: /uninstall cannot remove it "
                           "(the run would end with 1603)");
            continue;
        }
        std::string how = "the product of " + entry.FileName;
        for (const auto& [file, code] : productCodes) {
            if (lstrcmpiA(file.c_str(), entry.FileName.c_str()) == 0) how = "Windows Installer product " + code;
        }
        if (entry.FileIsExe)
            how = "setup program " + SetupProgramRemovalCommandLine(StagedSetupFilePath("<install folder>", entry),
                                                                    entry.UninstallArguments);
        std::printf("  %s %s\n", section.c_str(), how.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The rest as the wizard would see it on its command line, but for the output switch.
    std::string choices, outputSwitch, output;
    for (int i = 2; i < argc; ++i) {
        if (lstrcmpiA(argv[i], "/seal") == 0 || lstrcmpiA(argv[i], "/bundle") == 0) {
            if (i + 1 >= argc) argc = 0;  // the usage below
            else outputSwitch = argv[i], output = FullPath(argv[++i]);
            continue;
        }
        choices += std::string(" \"") + argv[i] + "\"";
    }
    if (argc < 2) {
        std::printf("usage: TarnwickCheck <distribution folder | INI file | wizard> [/uninstall] [COMPONENTS=Name1,Name2 INSTALLDIR=...]\n"
                    "                     [/seal <output.exe> | /bundle <output.exe>]\n"
                    "Lists the components as the Tarnwick Setup Wizard will see them and reports what would\n"
                    "fail on the user's machine, and what the wizard's command-line choices after it would\n"
                    "do. With /seal, writes a copy of the wizard with the INI and each setup file's size and\n"
                    "SHA-256 sealed inside it; with /bundle, one with the setup files inside it too (both only\n"
                    "when there is no error). With /uninstall, lists what the wizard would remove and how.\n"
                    "Exit code 0: no errors; 1: errors found.\n");
        return 2;
    }
    const CommandLineSwitches switches = ParseSwitches(choices);
    std::string ini, folder, wizard;
    Locate(argv[1], ini, folder, wizard);
    Report report;
    TSealedExecutable wizardFile;
    const bool wizardThere = FileExists(wizard);
    if (wizardThere && !wizardFile.Open(wizard)) {
        std::printf("Tarnwick distribution check of %s\n", wizard.c_str());
        report.Error(wizard + " is damaged: " + wizardFile.Problem + " (the wizard would show that and end with 1619)");
        std::printf("\n1 error\n");
        return 1;
    }
    const bool sealed = wizardFile.State == SealState::Present;
    std::printf("Tarnwick distribution check of %s\n", (sealed ? wizard : ini).c_str());

    std::vector<TComponentKeys> sections;
    std::string iniBytes;
    if (sealed) {
        sections = ConfigurationKeysFromText(wizardFile.Seal.Ini);
        std::printf("%s\n", wizardFile.Seal.Bundle()
                               ? "It is a bundle: its INI and setup files are inside it, and files beside it are ignored."
                               : "It is sealed: it reads the INI in its seal (one beside it is ignored) and starts only "
                                 "setup files that match the seal.");
        if (!SealMatchesSections(wizardFile.Seal, sections)) report.Error("its seal does not match its configuration (the wizard would end with 1619)");
    } else {
        if (!ReadConfigurationKeys(ini, sections)) {
            report.Error("the wizard cannot open " + ini + ": it would show its configuration file error and end");
            std::printf("\n1 error\n");
            return 1;
        }
        if (!wizardThere) {
            report.Warning(wizard + " is missing: the wizard reads the INI file named after itself, beside itself");
        }
        if (!output.empty()) {
            iniBytes = WholeFile(ini);
            CheckSealedReading(sections, iniBytes, report);
        }
    }
    const char separator = UserDecimalSeparator();
    std::printf("Sizes read with the decimal separator \"%c\", this machine's.\n", separator);

    std::vector<TSetupComponent> entries;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        entries.emplace_back();
        ComponentFromKeys(sections[i], separator, entries.back());
        const SealedWizard about = {sealed && i < wizardFile.Seal.Files.size() ? &wizardFile : nullptr, i};
        CheckComponent(sections[i], entries.back(), separator, folder, about, report);
    }

    std::printf("\n");
    CheckChoices(switches, sections, entries, report);
    if (switches.Uninstall) CheckRemoval(switches, sections, entries, report);
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
    if (!output.empty()) {
        const bool bundle = lstrcmpiA(outputSwitch.c_str(), "/bundle") == 0;
        std::string problem = sealed ? wizard + " is sealed already: seal the wizard as it was built" : std::string();
        if (problem.empty() && !wizardThere) problem = "there is no wizard to seal";
        // Writing over an input would destroy it before it is read.
        bool input = lstrcmpiA(FullPath(output).c_str(), FullPath(wizard).c_str()) == 0;
        for (const TSetupComponent& entry : entries)
            input = input || lstrcmpiA(FullPath(output).c_str(), FullPath(folder + "\\" + entry.FileName).c_str()) == 0;
        if (problem.empty() && input) problem = "the output must be another file than the wizard and its setup files";
        if (!problem.empty()) report.Error(problem);
        if (report.errors > 0) {
            std::printf("%s: nothing written, as there are errors\n", outputSwitch.c_str());
        } else if (!(problem = WriteSealedWizard(wizard, iniBytes, sections, folder, bundle, output)).empty()) {
            report.Error(problem);
        } else {
            std::printf("wrote %s: %s\n", output.c_str(),
                        bundle ? "the wizard with its INI and setup files inside it, sealed"
                               : "the wizard with its INI and its setup files' sizes and SHA-256 sealed");
        }
    }
    std::printf("%lu component%s, %d error%s, %d warning%s\n", static_cast<unsigned long>(entries.size()),
                entries.size() == 1 ? "" : "s",
                report.errors, report.errors == 1 ? "" : "s", report.warnings, report.warnings == 1 ? "" : "s");
    return report.errors > 0 ? 1 : 0;
}
