#pragma once
// The seal of a distribution, kept in the wizard's own file: the INI's bytes and, for each component
// in section order, its setup file's name, size and SHA-256; in a bundle also where the file's bytes
// lie in the container that follows the seal. Seal and container lie after the image's sections and
// before a certificate table, where an Authenticode signature made afterwards covers them:
//
//   [ image (headers, sections) ][ seal ][ container ][ certificate table, when signed ]
//
// The wizard finds the seal from its own headers (where the sections end), never by searching from
// the end of the file. Plain logic, free of <windows.h>: everything here reads hostile input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t Sha256Length = 32;

// SHA-256 of a block of bytes, into `digest`; false when it cannot be computed. The wizard and the
// checker pass the system's (platform/Sha256.h); the fuzz target a stand-in.
using HashFunction = bool (*)(const void* data, std::size_t size, uint8_t* digest);

struct TSealedFile {
    std::string Name;      // the component's FileName
    uint64_t Size = 0;
    uint64_t Offset = 0;   // in a bundle: where the bytes start in the container; else 0
    uint8_t Sha256[Sha256Length] = {};
};

struct TSeal {
    std::string Ini;                  // the configuration file's bytes
    std::vector<TSealedFile> Files;   // one per section of the INI, in order
    uint64_t ContainerLength = 0;     // a bundle's setup files after the seal; 0 in a sealed wizard
    bool Bundle() const { return ContainerLength != 0; }
};

constexpr std::size_t SealHeaderLength = 32;     // magic, version, lengths, counts
constexpr uint32_t MaxSealLength = 16u << 20;    // an INI and a few thousand entries fit many times
constexpr uint32_t MaxSealedFiles = 4096;
constexpr uint64_t MaxSealedFileSize = 1ull << 42;  // 4 TB: sums of sizes cannot overflow
constexpr uint32_t SealAlignment = 8;  // Authenticode's own alignment: signing adds no padding

// The seal's bytes: header, INI, entries, zeros up to a multiple of SealAlignment, and the SHA-256
// of all that as its last 32 bytes. Empty when hashing fails.
std::string SealBytes(const TSeal& seal, HashFunction hash);

// The lengths in a seal's first SealHeaderLength bytes; false, with the problem in words, when they
// are no seal header or out of bounds.
bool ReadSealHeader(const std::string& header, uint32_t& sealLength, uint64_t& containerLength, std::string& problem);

// Reads a whole seal of ReadSealHeader's length: checks its digest, then every length, name and
// range. "" when it is sound, else the problem in words.
std::string ReadSeal(const std::string& bytes, HashFunction hash, TSeal& seal);

// Where a Windows program's image ends (the end of its last section's data, or of its headers) and
// where its certificate table starts (the file's end when it has none), from the file's first bytes.
struct TImageLayout {
    uint64_t ImageEnd = 0;
    uint64_t CertificateStart = 0;
    uint64_t FileSize = 0;
    // A COFF symbol table (an unstripped build) lies after the sections too: such a file is never
    // sealed, and its symbols are no seal.
    bool HasSymbols = false;
    uint64_t SealedLength() const { return CertificateStart - ImageEnd; }
};
// How many of a file's first bytes ReadImageLayout needs at most.
constexpr std::size_t MaxHeadersLength = 64 * 1024;
std::string ReadImageLayout(const std::string& headers, uint64_t fileSize, TImageLayout& layout);

// What lies between the image and the certificate table.
enum class SealState { None, Present, Damaged };
// `start` holds the first bytes there (SealHeaderLength of them, or fewer when less lies there):
// nothing, or fewer than SealAlignment zero bytes (a signing tool's padding), is no seal; a seal
// header whose seal and container fill the space exactly is one; anything else is damage.
SealState SealPlacement(const TImageLayout& layout, const std::string& start, uint32_t& sealLength,
                        uint64_t& containerLength, std::string& problem);
