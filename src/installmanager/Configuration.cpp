#include "installmanager/Configuration.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "installmanager/Distribution.h"
#include "installmanager/ExecutablePath.h"
#include "installmanager/IniText.h"
#include "installmanager/PathText.h"
#include "installmanager/Restart.h"
#include "installmanager/Settings.h"
#include "installmanager/Staging.h"
#include "installmanager/ValueParse.h"
#include "platform/FileSystem.h"

namespace {

// One array, sized once at loading: entry addresses stay valid until UnloadConfiguration.
std::unique_ptr<TSetupComponent[]> catalogue;
int catalogueCount = 0;

// Values are read up to 2047 characters.
constexpr DWORD ValueBufferSize = 2048;
constexpr DWORD FirstSectionNamesBufferSize = 16384;
constexpr DWORD MaxSectionNamesBufferSize = 64u << 20;

// The names of all sections in file order; false when even the largest buffer cannot hold them.
// The profile API reports a cut list by returning the buffer size minus 2, so the buffer grows
// until the whole list fits.
bool ReadSectionNames(const std::string& iniPath, std::vector<std::string>& names) {
    std::vector<char> buffer;
    DWORD length = 0;
    for (DWORD size = FirstSectionNamesBufferSize;; size *= 2) {
        if (size > MaxSectionNamesBufferSize) return false;
        buffer.assign(size, '\0');
        length = GetPrivateProfileSectionNamesA(buffer.data(), size, iniPath.c_str());
        if (length != size - 2) break;
    }
    names.clear();
    for (DWORD at = 0; at < length;) {
        const char* start = buffer.data() + at;
        const std::string name(start, strnlen(start, length - at));
        at += static_cast<DWORD>(name.size()) + 1;
        names.push_back(name);
    }
    return true;
}

class SectionReader {
public:
    SectionReader(const std::string& iniPath, const std::string& section)
        : iniPath(iniPath), section(section) {}

    std::string Text(const char* key, const char* fallback = "") const {
        char value[ValueBufferSize];
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key, fallback, value,
                                                      ValueBufferSize, iniPath.c_str());
        return std::string(value, length);
    }

private:
    const std::string& iniPath;
    const std::string& section;
};

}  // namespace

// Sizes are written as the user writes numbers.
char UserDecimalSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        return separator[0];
    return '.';
}

std::string ConfigurationFileName() { return ChangeFileExt(ExecutablePath(), ".INI"); }

namespace {
std::string configurationProblem;

// What a key that is not there reads as (see TComponentKeys).
const char* AbsentKeyText(ConfigKey key) { return key == ConfigKey::ColProdID ? "-1" : ""; }

bool Install(const std::vector<TComponentKeys>& sections) {
    const char decimalSeparator = UserDecimalSeparator();
    auto entries = std::make_unique<TSetupComponent[]>(sections.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        ComponentFromKeys(sections[i], decimalSeparator, entries[i]);
        entries[i].SectionName = sections[i].Section;
    }
    catalogue = std::move(entries);
    catalogueCount = static_cast<int>(sections.size());
    return true;
}
}  // namespace

bool LoadConfiguration() {
    if (catalogue) return true;
    const TSealedExecutable& executable = OwnExecutable();
    if (executable.State == SealState::Damaged) {
        configurationProblem = "This setup is damaged: " + executable.Problem + ". Download it again.";
        return false;
    }
    if (executable.State == SealState::None) return LoadConfigurationFrom(ConfigurationFileName());
    // Sealed: the INI it carries, whatever lies beside it; each section's file is the one its seal names.
    const std::vector<TComponentKeys> sections = ConfigurationKeysFromText(executable.Seal.Ini);
    if (!SealMatchesSections(executable.Seal, sections)) {
        configurationProblem = "This setup is damaged: its seal does not match its configuration. Download it again.";
        return false;
    }
    return Install(sections);
}

std::string ConfigurationProblem() { return configurationProblem; }

bool SealMatchesSections(const TSeal& seal, const std::vector<TComponentKeys>& sections) {
    bool matches = sections.size() == seal.Files.size();
    for (std::size_t i = 0; matches && i < sections.size(); ++i)
        matches = lstrcmpiA(sections[i][ConfigKey::FileName].c_str(), seal.Files[i].Name.c_str()) == 0;
    return matches;
}

std::vector<TComponentKeys> ConfigurationKeysFromText(const std::string& iniText) {
    const std::vector<TIniSection> parsed = ParseIniText(iniText);
    std::vector<TComponentKeys> sections(parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        sections[i].Section = parsed[i].Name;
        for (int k = 0; k < static_cast<int>(ConfigKey::Count); ++k) {
            const ConfigKey key = static_cast<ConfigKey>(k);
            sections[i].Texts[k] = IniValue(parsed, parsed[i].Name, ConfigKeyName(key), AbsentKeyText(key));
        }
    }
    return sections;
}

const char* ConfigKeyName(ConfigKey key) {
    static const char* const names[] = {"ComponentImageIndex", "ComponentDescription", "Version", "Size",
                                        "FileName", "FileIsExe", "Required", "SetupFileSubFolder", "ColProdID",
                                        "UninstallArguments"};
    static_assert(std::size(names) == static_cast<std::size_t>(ConfigKey::Count), "one name per key");
    return names[static_cast<int>(key)];
}

bool ReadConfigurationKeys(const std::string& iniPath, std::vector<TComponentKeys>& sections) {
    if (iniPath.size() > MaxPathLength || !OpensAsExistingFile(iniPath)) return false;
    std::vector<std::string> names;
    if (!ReadSectionNames(iniPath, names)) return false;
    sections.clear();
    sections.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const SectionReader read(iniPath, names[i]);
        sections[i].Section = names[i];
        for (int k = 0; k < static_cast<int>(ConfigKey::Count); ++k) {
            const ConfigKey key = static_cast<ConfigKey>(k);
            sections[i].Texts[k] = read.Text(ConfigKeyName(key), AbsentKeyText(key));
        }
    }
    return true;
}

void ComponentFromKeys(const TComponentKeys& keys, char decimalSeparator, TSetupComponent& entry) {
    entry.ComponentImageIndex = ParseInteger(keys[ConfigKey::ComponentImageIndex], -1);
    entry.ComponentDescription = keys[ConfigKey::ComponentDescription];
    entry.Version = keys[ConfigKey::Version];
    entry.Size = ParseSize(keys[ConfigKey::Size], decimalSeparator);
    entry.FileName = keys[ConfigKey::FileName];
    entry.FileIsExe = ParseBoolean(keys[ConfigKey::FileIsExe], false);
    entry.Required = ParseBoolean(keys[ConfigKey::Required], false);
    entry.Selected = true;
    entry.Succeeded = false;
    entry.SetupFileSubFolder = ParseBoolean(keys[ConfigKey::SetupFileSubFolder], false);
    entry.ColProdID = keys[ConfigKey::ColProdID];
    entry.UninstallArguments = keys[ConfigKey::UninstallArguments];
}

bool LoadConfigurationFrom(const std::string& iniPath) {
    if (catalogue) return true;
    std::vector<TComponentKeys> sections;
    return ReadConfigurationKeys(iniPath, sections) && Install(sections);
}

bool NamedIn(const std::string& sectionName, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (lstrcmpiA(sectionName.c_str(), name.c_str()) == 0) return true;
    }
    return false;
}

std::vector<std::string> SelectComponentsByName(const std::vector<std::string>& names, bool withRequired) {
    std::vector<std::string> unknown;
    for (const std::string& name : names) {
        bool found = false;
        for (int i = 0; i < catalogueCount && !found; ++i) found = NamedIn(catalogue[i].SectionName, {name});
        if (!found) unknown.push_back(name);
    }
    for (int i = 0; i < catalogueCount; ++i) {
        TSetupComponent& entry = catalogue[i];
        entry.Selected = unknown.empty() && ((withRequired && entry.Required) || NamedIn(entry.SectionName, names));
    }
    return unknown;
}

void UnloadConfiguration() {
    ReleaseStagedFiles();
    catalogue.reset();
    catalogueCount = 0;
    // Unattended runs never restart Windows themselves: their exit code tells the caller.
    if (WizardSettings.RestartRequired && !WizardSettings.DeferRestart && !WizardSettings.Unattended)
        RequestSystemRestart();
}

bool ConfigurationLoaded() { return catalogue != nullptr; }

int ComponentCount() { return catalogueCount; }

TSetupComponent& Component(int index) {
    // Positions come from 0 .. ComponentCount() - 1; anything else is a programming error, which stops
    // the program rather than touch memory that is no component.
    if (index < 0 || index >= catalogueCount) std::abort();
    return catalogue[static_cast<std::size_t>(index)];
}
