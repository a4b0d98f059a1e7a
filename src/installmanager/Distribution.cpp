#include "installmanager/Distribution.h"

#include <windows.h>

#include <memory>

#include "installmanager/ExecutablePath.h"
#include "installmanager/FailureReasons.h"
#include "platform/Sha256.h"

namespace {
std::unique_ptr<TSealedExecutable> own;
}  // namespace

TSealedExecutable::~TSealedExecutable() {
    if (file) CloseHandle(static_cast<HANDLE>(file));
}

bool TSealedExecutable::ReadAt(uint64_t offset, void* buffer, uint32_t count) const {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return file && ReadFile(static_cast<HANDLE>(file), buffer, count, &read, &at) && read == count;
}

bool TSealedExecutable::Open(const std::string& path) {
    // Others may read it, nobody may write, rename or delete it while the wizard relies on it. Where
    // another program already has it open for writing (a virus scanner, say), it is read all the
    // same: the seal checks its own digest, and every file from it is checked as it is staged.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
        handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        Problem = "it cannot be read: " + SystemMessage(GetLastError());
        State = SealState::Damaged;
        return false;
    }
    file = handle;
    LARGE_INTEGER size = {};
    GetFileSizeEx(handle, &size);
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    std::string headers(static_cast<std::size_t>(fileSize < MaxHeadersLength ? fileSize : MaxHeadersLength), '\0');
    std::string start(SealHeaderLength, '\0');
    Problem = headers.empty() || !ReadAt(0, &headers[0], static_cast<uint32_t>(headers.size()))
                  ? "it cannot be read"
                  : ReadImageLayout(headers, fileSize, Layout);
    if (Problem.empty()) {
        const uint64_t space = Layout.SealedLength();
        start.resize(static_cast<std::size_t>(space < SealHeaderLength ? space : SealHeaderLength));
        if (!start.empty() && !ReadAt(Layout.ImageEnd, &start[0], static_cast<uint32_t>(start.size())))
            Problem = "it cannot be read";
    }
    uint64_t containerLength = 0;
    State = Problem.empty() ? SealPlacement(Layout, start, SealLength, containerLength, Problem) : SealState::Damaged;
    if (State == SealState::Present) {
        std::string bytes(SealLength, '\0');
        Problem = ReadAt(Layout.ImageEnd, &bytes[0], SealLength) ? ReadSeal(bytes, Sha256Of, Seal) : "it cannot be read";
        if (!Problem.empty()) State = SealState::Damaged;
    }
    return State != SealState::Damaged;
}

const TSealedExecutable& OwnExecutable() {
    if (!own) {
        own = std::make_unique<TSealedExecutable>();
        own->Open(ExecutablePath());
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
