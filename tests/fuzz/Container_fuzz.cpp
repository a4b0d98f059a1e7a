// A wizard's file as the wizard finds its seal and container in it: from the headers (where the
// sections end, where a certificate table starts), never by searching. Whatever the bytes, what is
// found lies inside the file, and seal and container fill the space between image and certificate.
#include "installmanager/Seal.h"

#include "FuzzCheck.h"

namespace {
bool StandInHash(const void*, std::size_t, uint8_t* digest) {
    for (std::size_t i = 0; i < Sha256Length; ++i) digest[i] = static_cast<uint8_t>(i);
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    TImageLayout layout;
    if (!ReadImageLayout(file.substr(0, MaxHeadersLength), file.size(), layout).empty()) return 0;
    FUZZ_CHECK(layout.ImageEnd <= layout.CertificateStart && layout.CertificateStart <= layout.FileSize);
    FUZZ_CHECK(layout.FileSize == file.size());
    const uint64_t space = layout.SealedLength();
    const std::string start = file.substr(layout.ImageEnd, space < SealHeaderLength ? space : SealHeaderLength);
    uint32_t sealLength = 0;
    uint64_t containerLength = 0;
    std::string problem;
    const SealState state = SealPlacement(layout, start, sealLength, containerLength, problem);
    FUZZ_CHECK((state == SealState::Damaged) == !problem.empty());
    if (state != SealState::Present) return 0;
    FUZZ_CHECK(uint64_t{sealLength} + containerLength == space);
    // The check sum is the seal's own business (Seal_fuzz): made to fit here, so that the entries count.
    std::string sealBytes = file.substr(layout.ImageEnd, sealLength);
    StandInHash(nullptr, 0, reinterpret_cast<uint8_t*>(&sealBytes[sealBytes.size() - Sha256Length]));
    TSeal seal;
    if (!ReadSeal(sealBytes, StandInHash, seal).empty()) return 0;
    // Every file the wizard would stage from the container lies inside the file, before a certificate.
    for (const TSealedFile& entry : seal.Files) {
        const uint64_t from = layout.ImageEnd + sealLength + entry.Offset;
        FUZZ_CHECK(from + entry.Size <= layout.CertificateStart);
    }
    return 0;
}
