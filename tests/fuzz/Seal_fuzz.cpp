// The seal a wizard carries, as the wizard reads it: its header, lengths, entries and the INI inside.
// Half of the inputs get a correct check sum first, so that the checks behind it are reached too.
#include "installmanager/Seal.h"

#include <cstring>

#include "FuzzCheck.h"
#include "installmanager/IniText.h"
#include "platform/NameRules.h"

namespace {

// A stand-in for SHA-256 (the system's is not here): any fixed function of the bytes will do.
bool StandInHash(const void* data, std::size_t size, uint8_t* digest) {
    uint64_t h = 1469598103934665603ull;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    for (std::size_t i = 0; i < Sha256Length; ++i) {
        digest[i] = static_cast<uint8_t>(h >> (8 * (i % 8)));
        if (i % 8 == 7) h = h * 1099511628211ull + i;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) && bytes.size() >= Sha256Length)
        StandInHash(bytes.data(), bytes.size() - Sha256Length, reinterpret_cast<uint8_t*>(&bytes[bytes.size() - Sha256Length]));

    TSeal seal;
    const std::string problem = ReadSeal(bytes, StandInHash, seal);
    if (problem.empty()) {
        FUZZ_CHECK(bytes.size() % SealAlignment == 0 && bytes.size() <= MaxSealLength);
        for (const TSealedFile& file : seal.Files) {
            FUZZ_CHECK(IsPlainFileName(file.Name));
            FUZZ_CHECK(file.Size <= MaxSealedFileSize);
            if (seal.Bundle()) FUZZ_CHECK(file.Offset <= seal.ContainerLength && file.Size <= seal.ContainerLength - file.Offset);
            else FUZZ_CHECK(file.Offset == 0);
        }
        // A sound seal is in its one written form: writing what was read gives the same bytes.
        FUZZ_CHECK(SealBytes(seal, StandInHash) == bytes);
        // The INI inside, read as the wizard reads it.
        for (const TIniSection& section : ParseIniText(seal.Ini)) {
            FUZZ_CHECK(!section.Name.empty() && section.Name.find('\n') == std::string::npos);
            for (const auto& key : section.Keys) {
                const std::string value = IniValue({section}, section.Name, key.first, "fallback");
                FUZZ_CHECK(value.size() <= 2047 && value.find('\n') == std::string::npos);
            }
        }
    } else {
        FUZZ_CHECK(seal.Files.empty() && seal.Ini.empty());  // nothing half-read is handed on
    }
    return 0;
}
