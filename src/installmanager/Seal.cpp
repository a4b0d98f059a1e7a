#include "installmanager/Seal.h"

#include <cstring>

#include "platform/NameRules.h"

namespace {

constexpr char Magic[8] = {'T', 'w', 'k', 'S', 'e', 'a', 'l', '\x1a'};
constexpr uint32_t Version = 1;

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PutU64(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads little-endian numbers and byte runs, never past the end; a read that does not fit fails
// and every later one fails too.
class Reader {
public:
    Reader(const std::string& bytes, std::size_t at, std::size_t end) : at(at), bytes(bytes), end(end) {}
    uint64_t Number(int width) {
        if (!Fits(width)) return 0;
        uint64_t value = 0;
        for (int i = 0; i < width; ++i) value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
        at += width;
        return value;
    }
    std::string Bytes(uint64_t count) {
        if (!Fits(count)) return std::string();
        const std::string run = bytes.substr(at, count);
        at += count;
        return run;
    }
    bool Fits(uint64_t count) {
        ok = ok && count <= end - at;
        return ok;
    }
    bool ok = true;
    std::size_t at;

private:
    const std::string& bytes;
    std::size_t end;
};

uint64_t NumberAt(const std::string& bytes, std::size_t at, int width) {
    Reader reader(bytes, at, bytes.size());
    return reader.Number(width);
}

}  // namespace

std::string SealBytes(const TSeal& seal, HashFunction hash) {
    std::string body;
    for (const TSealedFile& file : seal.Files) {
        PutU32(body, static_cast<uint32_t>(file.Name.size()));
        body += file.Name;
        PutU64(body, file.Size);
        PutU64(body, file.Offset);
        body.append(reinterpret_cast<const char*>(file.Sha256), Sha256Length);
    }
    std::size_t length = SealHeaderLength + seal.Ini.size() + body.size() + Sha256Length;
    length += (SealAlignment - length % SealAlignment) % SealAlignment;
    std::string out(Magic, sizeof Magic);
    PutU32(out, Version);
    PutU32(out, static_cast<uint32_t>(length));
    PutU64(out, seal.ContainerLength);
    PutU32(out, static_cast<uint32_t>(seal.Ini.size()));
    PutU32(out, static_cast<uint32_t>(seal.Files.size()));
    out += seal.Ini;
    out += body;
    out.resize(length - Sha256Length, '\0');
    uint8_t digest[Sha256Length];
    if (!hash(out.data(), out.size(), digest)) return std::string();
    out.append(reinterpret_cast<const char*>(digest), Sha256Length);
    return out;
}

bool ReadSealHeader(const std::string& header, uint32_t& sealLength, uint64_t& containerLength, std::string& problem) {
    if (header.size() < SealHeaderLength || header.compare(0, sizeof Magic, Magic, sizeof Magic) != 0) {
        problem = "the data after the program is not a seal";
        return false;
    }
    if (NumberAt(header, 8, 4) != Version) {
        problem = "its seal is of another version";
        return false;
    }
    sealLength = static_cast<uint32_t>(NumberAt(header, 12, 4));
    containerLength = NumberAt(header, 16, 8);
    if (sealLength < SealHeaderLength + Sha256Length || sealLength > MaxSealLength || sealLength % SealAlignment != 0 ||
        containerLength > MaxSealedFiles * MaxSealedFileSize || containerLength % SealAlignment != 0) {
        problem = "its seal gives impossible lengths";
        return false;
    }
    return true;
}

std::string ReadSeal(const std::string& bytes, HashFunction hash, TSeal& seal) {
    uint32_t sealLength = 0;
    uint64_t containerLength = 0;
    std::string problem;
    if (!ReadSealHeader(bytes, sealLength, containerLength, problem)) return problem;
    if (bytes.size() != sealLength) return "its seal is cut short";
    uint8_t digest[Sha256Length];
    if (!hash(bytes.data(), sealLength - Sha256Length, digest)) return "its seal cannot be checked (SHA-256 is not available)";
    if (std::memcmp(digest, bytes.data() + sealLength - Sha256Length, Sha256Length) != 0)
        return "its seal does not match its own check sum";

    Reader read(bytes, 24, sealLength - Sha256Length);
    const uint64_t iniLength = read.Number(4);
    const uint64_t fileCount = read.Number(4);
    if (fileCount > MaxSealedFiles) return "its seal lists too many files";
    TSeal result;
    result.ContainerLength = containerLength;
    result.Ini = read.Bytes(iniLength);
    if (!read.ok) return "its seal's configuration runs past the seal";
    for (uint64_t i = 0; i < fileCount; ++i) {
        const std::string entry = "a file entry of its seal";
        TSealedFile file;
        const uint64_t nameLength = read.Number(4);
        if (nameLength > 255) return entry + " has an over-long name";
        file.Name = read.Bytes(nameLength);
        file.Size = read.Number(8);
        file.Offset = read.Number(8);
        const std::string digestBytes = read.Bytes(Sha256Length);
        if (!read.ok) return entry + " runs past the seal";
        std::memcpy(file.Sha256, digestBytes.data(), Sha256Length);
        if (!IsPlainFileName(file.Name)) return entry + " does not name a file";
        if (file.Size > MaxSealedFileSize) return entry + " gives an impossible size";
        if (!result.Bundle() && file.Offset != 0) return entry + " points into a container that is not there";
        if (result.Bundle() && (file.Offset > containerLength || file.Size > containerLength - file.Offset))
            return entry + " lies outside the container";
        result.Files.push_back(file);
    }
    // Only the alignment's zeros between the entries and the check sum: nothing else may hide in a seal.
    if (sealLength - Sha256Length - read.at >= SealAlignment) return "its seal holds bytes it does not account for";
    for (std::size_t at = read.at; at < sealLength - Sha256Length; ++at) {
        if (bytes[at] != '\0') return "its seal holds bytes it does not account for";
    }
    // Two entries share bytes only as one file named twice: the same range and digest. A name is one
    // file, staged once for every entry of that name.
    for (std::size_t i = 0; i < result.Files.size(); ++i) {
        const TSealedFile& file = result.Files[i];
        for (std::size_t j = 0; j < i; ++j) {
            const TSealedFile& other = result.Files[j];
            const bool same = file.Offset == other.Offset && file.Size == other.Size &&
                              std::memcmp(file.Sha256, other.Sha256, Sha256Length) == 0;
            if (!same && SameName(file.Name, other.Name)) return "its seal gives one file two contents";
            if (!same && result.Bundle() && file.Size != 0 && other.Size != 0 && file.Offset < other.Offset + other.Size &&
                other.Offset < file.Offset + file.Size)
                return "its seal has files that overlap in the container";
        }
    }
    seal = std::move(result);
    return std::string();
}

std::string ReadImageLayout(const std::string& headers, uint64_t fileSize, TImageLayout& layout) {
    const std::string notAProgram = "it is not a Windows program";
    if (headers.size() < 64 || headers[0] != 'M' || headers[1] != 'Z') return notAProgram;
    const uint64_t pe = NumberAt(headers, 0x3C, 4);
    if (pe > headers.size() || headers.size() - pe < 24 || headers.compare(pe, 4, "PE\0\0", 4) != 0) return notAProgram;
    const uint64_t sections = NumberAt(headers, pe + 6, 2);
    const uint64_t optionalLength = NumberAt(headers, pe + 20, 2);
    const uint64_t optional = pe + 24;
    const uint64_t magic = NumberAt(headers, optional, 2);
    // Where the count of data directories and the directories stand: PE32 and PE32+.
    const uint64_t countAt = magic == 0x10b ? 92 : magic == 0x20b ? 108 : 0;
    if (countAt == 0 || optionalLength < countAt + 4 + 5 * 8) return notAProgram;
    const uint64_t table = optional + optionalLength;
    if (table + sections * 40 > headers.size()) return "its headers are cut short";
    uint64_t imageEnd = NumberAt(headers, optional + 60, 4);  // SizeOfHeaders
    for (uint64_t i = 0; i < sections; ++i) {
        const uint64_t rawSize = NumberAt(headers, table + i * 40 + 16, 4);
        const uint64_t rawStart = NumberAt(headers, table + i * 40 + 20, 4);
        if (rawSize != 0) imageEnd = std::max(imageEnd, rawStart + rawSize);
    }
    uint64_t certificateStart = fileSize, certificateLength = 0;
    if (NumberAt(headers, optional + countAt, 4) > 4) {
        certificateStart = NumberAt(headers, optional + countAt + 4 + 4 * 8, 4);
        certificateLength = NumberAt(headers, optional + countAt + 4 + 4 * 8 + 4, 4);
        if (certificateLength == 0) certificateStart = fileSize;
    }
    if (imageEnd > fileSize) return "it is cut short";
    // A certificate table stands at the very end, after everything a signature covers.
    if (certificateLength != 0 && (certificateStart < imageEnd || certificateStart > fileSize ||
                                   certificateLength != fileSize - certificateStart))
        return "its signature's place does not fit the file (cut short or bytes added)";
    layout.HasSymbols = NumberAt(headers, pe + 12, 4) != 0;  // PointerToSymbolTable
    layout.ImageEnd = imageEnd;
    layout.CertificateStart = certificateStart;
    layout.FileSize = fileSize;
    return std::string();
}

SealState SealPlacement(const TImageLayout& layout, const std::string& start, uint32_t& sealLength,
                        uint64_t& containerLength, std::string& problem) {
    const uint64_t space = layout.SealedLength();
    if (layout.HasSymbols) return SealState::None;
    if (space < SealAlignment && start.find_first_not_of('\0') == std::string::npos) return SealState::None;
    if (!ReadSealHeader(start, sealLength, containerLength, problem)) return SealState::Damaged;
    if (sealLength + containerLength != space) {
        problem = sealLength + containerLength > space ? "it is cut short" : "bytes were added after its contents";
        return SealState::Damaged;
    }
    return SealState::Present;
}
