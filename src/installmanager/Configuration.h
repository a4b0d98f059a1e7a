#pragma once
// The component catalogue: one TSetupComponent per section of the configuration file beside the
// executable, in file order. Positions and entry addresses stay valid until UnloadConfiguration.
#include <cstdint>
#include <string>
#include <vector>

struct TSetupComponent {
    int32_t ComponentImageIndex = -1;
    std::string ComponentDescription;
    std::string Version;
    int64_t Size = 0;  // kilobytes of 1000 bytes
    std::string FileName;
    bool FileIsExe = false;
    bool Required = false;
    bool Selected = true;
    bool Succeeded = false;
    bool SetupFileSubFolder = false;
    std::string ColProdID = "-1";
    // A setup program's arguments for removing what it installed ("/uninstall"); empty: the wizard
    // cannot remove it.
    std::string UninstallArguments;

    // Kept beside the loaded fields: the section's name, by which the command line chooses components
    // ("COMPONENTS=Core,Tools") and the log names them.
    std::string SectionName;
    // Run-time, like Succeeded: Windows' error from staging the setup file (0 when it was copied),
    // the installer's result or the program's exit code, and why a component failed, in words.
    uint32_t StagingError = 0;
    uint32_t ResultCode = 0;
    std::string FailureReason;
    // Staging in this run: the staged copy, held open so that nobody can change it until it has run
    // (a HANDLE; null when it was not staged), and a reason in words when staging refused the file
    // (not the one the seal names, or it could not be held).
    void* StagedFile = nullptr;
    std::string StagingProblem;
};

// The keys of a component's section, in the order the wizard reads them.
enum class ConfigKey {
    ComponentImageIndex, ComponentDescription, Version, Size, FileName, FileIsExe, Required,
    SetupFileSubFolder, ColProdID, UninstallArguments, Count
};
const char* ConfigKeyName(ConfigKey key);  // "ComponentImageIndex", ...

// One section of the configuration file as the profile functions give its keys (blanks and quotes
// around a value removed, at most 2047 characters), before the wizard converts them. An absent key
// reads "", except ColProdID, which reads "-1".
struct TComponentKeys {
    std::string Section;
    std::string Texts[static_cast<int>(ConfigKey::Count)];
    const std::string& operator[](ConfigKey key) const { return Texts[static_cast<int>(key)]; }
};

// The configuration file's name: the running executable's path with its extension replaced by ".INI".
std::string ConfigurationFileName();

// Loads the catalogue from ConfigurationFileName(), or, when the wizard's own file carries a seal,
// from the INI in its seal (the file beside it is then ignored); true when the catalogue exists
// afterwards. A second call returns true without reading anything again.
bool LoadConfiguration();
// Why LoadConfiguration failed when the cause is not a missing INI (a damaged seal), in words for
// the error box and the log; "" otherwise.
std::string ConfigurationProblem();
// The same from a named file (tests and LoadConfiguration itself).
bool LoadConfigurationFrom(const std::string& iniPath);

// The sections of `iniPath` in file order, read as LoadConfigurationFrom reads them; false when it
// would not open the file.
bool ReadConfigurationKeys(const std::string& iniPath, std::vector<TComponentKeys>& sections);
// Whether a seal names the setup file of each of these sections, in their order (names matched
// without regard to case): a sealed wizard is damaged otherwise.
struct TSeal;
bool SealMatchesSections(const TSeal& seal, const std::vector<TComponentKeys>& sections);
// The sections of an INI's text, read as ReadConfigurationKeys reads a file (a sealed INI).
std::vector<TComponentKeys> ConfigurationKeysFromText(const std::string& iniText);
// Fills `entry` as the wizard does from one section, reading sizes with `decimalSeparator`.
void ComponentFromKeys(const TComponentKeys& keys, char decimalSeparator, TSetupComponent& entry);
// The user's decimal separator, with which the wizard reads sizes.
char UserDecimalSeparator();

// Whether `names` lists the section name (case ignored), as the command line's COMPONENTS= does.
bool NamedIn(const std::string& sectionName, const std::vector<std::string>& names);
// Selects the components whose section names are listed (case ignored) and, when `withRequired`,
// every required one; the others are not selected. Returns the names that no section has, in the
// order given (nothing is selected then).
std::vector<std::string> SelectComponentsByName(const std::vector<std::string>& names, bool withRequired = true);

// Frees the catalogue, then asks for the restart when one is due and not deferred to the caller.
void UnloadConfiguration();

bool ConfigurationLoaded();
int ComponentCount();
TSetupComponent& Component(int index);
