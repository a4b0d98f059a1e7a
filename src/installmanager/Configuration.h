#pragma once
// The component catalogue: one TSetupComponent per section of the configuration file beside the
// executable, in file order. Positions and entry addresses stay valid until UnloadConfiguration.
#include <cstdint>
#include <string>

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
};

// The configuration file's name: the running executable's path with its extension replaced by ".INI".
std::string ConfigurationFileName();

// Loads the catalogue from ConfigurationFileName(); true when the catalogue exists afterwards.
// A second call returns true without reading the file again.
bool LoadConfiguration();
// The same from a named file (tests and LoadConfiguration itself).
bool LoadConfigurationFrom(const std::string& iniPath);

// Frees the catalogue, then asks for the restart when one is due and not deferred to the caller.
void UnloadConfiguration();

bool ConfigurationLoaded();
int ComponentCount();
TSetupComponent& Component(int index);
