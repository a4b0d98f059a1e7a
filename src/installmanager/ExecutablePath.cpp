#include "installmanager/ExecutablePath.h"

#include <windows.h>

#include <vector>

namespace {
std::string overridePath;

std::string ModulePath() {
    // The buffer grows until the whole path fits: a cut path would name the wrong file.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<char> buffer(size);
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) return std::string();
        if (length < size) return std::string(buffer.data(), length);
    }
    return std::string();
}
}  // namespace

std::string ExecutablePath() { return overridePath.empty() ? ModulePath() : overridePath; }

void OverrideExecutablePath(std::string path) { overridePath = std::move(path); }

bool ExecutablePathOverridden() { return !overridePath.empty(); }
