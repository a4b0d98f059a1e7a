#pragma once
// Where the wizard's components come from: the folder beside it (the INI and the setup files), or
// its own file, which a distributor's check sealed (the INI and each setup file's size and SHA-256)
// or bundled (the setup files as well, in a container after the seal). See Seal.h for the layout.
#include <cstddef>
#include <cstdint>
#include <string>

#include "installmanager/Seal.h"

// The seal's anchor in the wizard's image: TarnwickCheck writes the digest of the seal it appends
// here (in the image, which Windows loads as it is and a signature covers), so that the running
// wizard knows from its own memory whether it was sealed and which seal is its own, whatever its file
// on disk has become since it started (renamed away and replaced, say). All zeros: not sealed.
struct TSealAnchor {
    char Magic[16];
    uint8_t Digest[Sha256Length];
};
extern "C" const volatile TSealAnchor TarnwickSealAnchor;
// Where the anchor lies in an image's bytes: its offset when it stands there exactly once, else npos.
std::size_t FindSealAnchor(const std::string& image);

// A wizard's file, open for reading while others may only read it (so that it cannot be replaced
// or changed behind the wizard), and what it carries.
class TSealedExecutable {
public:
    TSealedExecutable() = default;
    ~TSealedExecutable();
    TSealedExecutable(const TSealedExecutable&) = delete;
    TSealedExecutable& operator=(const TSealedExecutable&) = delete;

    // Opens `path` and reads its seal, which must be the one the anchor names: the running wizard's
    // own anchor (`running`), else the one in the file's image. False, with Problem in words, when
    // the file cannot be read or what it carries after its image is damaged or not its own; true for
    // an unsealed file (State None) too.
    bool Open(const std::string& path, bool running = false);

    SealState State = SealState::None;
    TImageLayout Layout;
    TSeal Seal;
    std::string Problem;
    uint64_t ContainerStart() const { return Layout.ImageEnd + SealLength; }
    // Reads `count` bytes at `offset` of the file; false when they cannot all be read.
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count) const;
    void* FileHandle() const { return file; }

private:
    bool Damaged(const std::string& problem);
    void* file = nullptr;  // HANDLE
    uint32_t SealLength = 0;
};

enum class DistributionKind { Folder, Sealed, Bundle };

// The running wizard's own file, read once (the first call); its kind, seal and container.
const TSealedExecutable& OwnExecutable();
DistributionKind CurrentDistribution();
// For tests: forget what was read, so that the next call reads ExecutablePath() again.
void ForgetOwnExecutable();

// Why a sealed file's setup file does not match its seal, for the summary and the log.
std::string SealMismatchReason(const std::string& fileName);
