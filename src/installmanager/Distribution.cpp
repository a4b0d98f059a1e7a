#include "installmanager/Distribution.h"

#include <windows.h>

#include <memory>

#include "installmanager/ExecutablePath.h"
#include "installmanager/FailureReasons.h"
#include "platform/FileSystem.h"
#include "platform/Sha256.h"

extern "C" const volatile TSealAnchor TarnwickSealAnchor = {
    {'T', 'w', 'k', 'S', 'e', 'a', 'l', 'A', 'n', 'c', 'h', 'o', 'r', '\x1a', '\x01', '\0'}, {}};

namespace {
std::unique_ptr<TSealedExecutable> own;

bool Zero(const uint8_t* digest) {
    for (std::size_t i = 0; i < Sha256Length; ++i) {
        if (digest[i]) return false;
    }
    return true;
}
}  // namespace

std::size_t FindSealAnchor(const std::string& image) {
    // The magic is the anchor's own, read from it: the program holds it nowhere else.
    char magic[sizeof TarnwickSealAnchor.Magic];
    for (std::size_t i = 0; i < sizeof magic; ++i) magic[i] = TarnwickSealAnchor.Magic[i];
    const std::size_t at = image.find(magic, 0, sizeof magic);
    if (at == std::string::npos || image.size() - at < sizeof(TSealAnchor) ||
        image.find(magic, at + 1, sizeof magic) != std::string::npos)
        return std::string::npos;
    return at;
}

bool TSealedExecutable::Damaged(const std::string& problem) {
    Problem = problem;
    State = SealState::Damaged;
    return false;
}

TSealedExecutable::~TSealedExecutable() {
    if (file) CloseHandle(static_cast<HANDLE>(file));
}

bool TSealedExecutable::ReadAt(uint64_t offset, void* buffer, uint32_t count) const {
    return file && ReadFileAt(file, offset, buffer, count);
}

bool TSealedExecutable::Open(const std::string& path, bool running) {
    // Others may read it, nobody may write, rename or delete it while the wizard relies on it.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Damaged("it cannot be read: " + SystemMessage(GetLastError()));
    file = handle;
    LARGE_INTEGER size = {};
    GetFileSizeEx(handle, &size);
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    std::string headers(static_cast<std::size_t>(fileSize < MaxHeadersLength ? fileSize : MaxHeadersLength), '\0');
    if (headers.empty() || !ReadAt(0, &headers[0], static_cast<uint32_t>(headers.size()))) return Damaged("it cannot be read");
    std::string problem = ReadImageLayout(headers, fileSize, Layout);
    if (!problem.empty()) return Damaged(problem);
    const uint64_t space = Layout.SealedLength();
    std::string start(static_cast<std::size_t>(space < SealHeaderLength ? space : SealHeaderLength), '\0');
    if (!start.empty() && !ReadAt(Layout.ImageEnd, &start[0], static_cast<uint32_t>(start.size())))
        return Damaged("it cannot be read");
    uint64_t containerLength = 0;
    State = SealPlacement(Layout, start, SealLength, containerLength, problem);
    if (State == SealState::Damaged) return Damaged(problem);
    std::string bytes;
    if (State == SealState::Present) {
        bytes.assign(SealLength, '\0');
        problem = ReadAt(Layout.ImageEnd, &bytes[0], SealLength) ? ReadSeal(bytes, Sha256Of, Seal) : "it cannot be read";
        if (!problem.empty()) return Damaged(problem);
    }
    // The seal must be the one the program was sealed with, and a sealed program must have it.
    uint8_t anchor[Sha256Length] = {};
    if (running) {
        for (std::size_t i = 0; i < Sha256Length; ++i) anchor[i] = TarnwickSealAnchor.Digest[i];
    } else if (Layout.ImageEnd <= 16u << 20) {
        std::string image(static_cast<std::size_t>(Layout.ImageEnd), '\0');
        const std::size_t at = ReadAt(0, &image[0], static_cast<uint32_t>(image.size())) ? FindSealAnchor(image)
                                                                                        : std::string::npos;
        if (at != std::string::npos) image.copy(reinterpret_cast<char*>(anchor), Sha256Length, at + sizeof TarnwickSealAnchor.Magic);
    }
    if (State == SealState::None && !Zero(anchor)) return Damaged("its seal is gone: its file was changed after it was sealed");
    if (State == SealState::Present &&
        (Zero(anchor) || bytes.compare(bytes.size() - Sha256Length, Sha256Length, reinterpret_cast<const char*>(anchor),
                                       Sha256Length) != 0))
        return Damaged("it carries a seal that is not its own");
    return true;
}

const TSealedExecutable& OwnExecutable() {
    if (!own) {
        own = std::make_unique<TSealedExecutable>();
        // The running image's own anchor, unless tests point the path at another file.
        own->Open(ExecutablePath(), !ExecutablePathOverridden());
    }
    return *own;
}

DistributionKind CurrentDistribution() {
    const TSealedExecutable& executable = OwnExecutable();
    if (executable.State != SealState::Present) return DistributionKind::Folder;
    return executable.Seal.Bundle() ? DistributionKind::Bundle : DistributionKind::Sealed;
}

void ForgetOwnExecutable() { own.reset(); }

std::string SealMismatchReason(const std::string& fileName) {
    return "The setup file " + fileName +
           " is not the one this setup was made with (its size or SHA-256 differs from the seal); it was not "
           "started. Download the setup again.";
}
