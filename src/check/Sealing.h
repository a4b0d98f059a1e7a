#pragma once
// The distributor's side of sealing: a copy of the wizard with the distribution's INI and each setup
// file's size and SHA-256 sealed inside it (TarnwickCheck /seal), or with the setup files themselves
// in a container after the seal as well (/bundle). See installmanager/Seal.h for the layout.
#include <cstdint>
#include <string>
#include <vector>

#include "installmanager/Configuration.h"

// The size and SHA-256 of a file, or of `size` bytes of an open file from `start`; read in pieces.
bool HashFile(const std::string& path, uint64_t& size, uint8_t* digest);
bool HashRange(void* file, uint64_t start, uint64_t size, uint8_t* digest);

// Writes `output`: the unsealed, unsigned `wizard`, then the seal of `iniBytes` and of the setup file
// of every section (from `folder`), then, for a bundle, the files (each named file once, in section
// order, padded to the seal's alignment). The same inputs give the same bytes. "" when written, else
// the problem in words (nothing is left at `output` then).
std::string WriteSealedWizard(const std::string& wizard, const std::string& iniBytes,
                              const std::vector<TComponentKeys>& sections, const std::string& folder, bool bundle,
                              const std::string& output);
