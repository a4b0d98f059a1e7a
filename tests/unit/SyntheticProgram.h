#pragma once
// A minimal Windows program as bytes (PE32 headers and one 512-byte section), enough for the seal's
// reader, which never runs what it reads; with a seal, a container and a certificate table after it.
#include <cstdint>
#include <string>

#include "installmanager/Distribution.h"

namespace synthetic {

inline void Put32(std::string& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

constexpr std::size_t OptionalHeader = 0x40 + 24;
constexpr std::size_t SecurityDirectory = OptionalHeader + 128;  // PE32: data directory 4

inline std::string Program() {
    std::string bytes(0x400, '\0');
    bytes[0] = 'M', bytes[1] = 'Z';
    Put32(bytes, 0x3C, 0x40);
    bytes.replace(0x40, 4, "PE\0\0", 4);
    bytes[0x44] = 0x4C, bytes[0x45] = 0x01;  // i386
    bytes[0x46] = 1;                         // one section
    bytes[0x54] = static_cast<char>(0xE0);   // size of the optional header
    bytes[OptionalHeader] = 0x0B, bytes[OptionalHeader + 1] = 0x01;  // PE32
    Put32(bytes, OptionalHeader + 60, 0x200);                         // size of the headers
    Put32(bytes, OptionalHeader + 92, 16);                            // data directories
    const std::size_t section = OptionalHeader + 0xE0;
    bytes.replace(section, 5, ".text");
    Put32(bytes, section + 16, 0x200);  // raw size
    Put32(bytes, section + 20, 0x200);  // raw start
    return bytes;
}

// `program` with `after` appended and, when given, a certificate table after that (as signing adds it).
inline std::string With(std::string program, const std::string& after, const std::string& certificate = "") {
    program += after;
    if (!certificate.empty()) {
        Put32(program, SecurityDirectory, static_cast<uint32_t>(program.size()));
        Put32(program, SecurityDirectory + 4, static_cast<uint32_t>(certificate.size()));
        program += certificate;
    }
    return program;
}

// A program sealed with `seal` (its last 32 bytes are its digest), `container` after it: its anchor,
// in its section, names that seal, as TarnwickCheck writes it.
inline std::string Sealed(const std::string& seal, const std::string& container = "") {
    std::string program = Program();
    for (std::size_t i = 0; i < sizeof TarnwickSealAnchor.Magic; ++i) program[0x200 + i] = TarnwickSealAnchor.Magic[i];
    program.replace(0x200 + sizeof TarnwickSealAnchor.Magic, 32, seal.substr(seal.size() < 32 ? 0 : seal.size() - 32, 32));
    return program + seal + container;
}

}  // namespace synthetic
