#include "check/Sealing.h"

#include <windows.h>

#include <cstring>

#include "installmanager/Distribution.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/Staging.h"
#include "platform/FileSystem.h"
#include "platform/NameRules.h"
#include "platform/Sha256.h"

namespace {

class File {
public:
    File(const std::string& path, bool write)
        : handle(CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, write ? 0 : FILE_SHARE_READ, nullptr,
                             write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
    ~File() {
        if (Open()) CloseHandle(handle);
    }
    bool Open() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE handle;
};

// Copies `size` bytes of `from` (from `start`) to the end of `to`, then zeros up to `padTo`.
bool Append(HANDLE from, uint64_t start, uint64_t size, HANDLE to, uint64_t padTo) {
    std::vector<char> buffer(StagingPieceSize);
    for (uint64_t done = 0; done < padTo;) {
        const uint64_t left = (done < size ? size : padTo) - done;
        const DWORD piece = left < StagingPieceSize ? static_cast<DWORD>(left) : StagingPieceSize;
        DWORD moved = 0;
        if (done < size) {
            if (!ReadFileAt(from, start + done, buffer.data(), piece)) return false;
        } else {
            std::memset(buffer.data(), 0, piece);
        }
        if (!WriteFile(to, buffer.data(), piece, &moved, nullptr) || moved != piece) return false;
        done += piece;
    }
    return true;
}

uint64_t Padded(uint64_t size) { return size + (SealAlignment - size % SealAlignment) % SealAlignment; }

}  // namespace

bool HashRange(void* file, uint64_t start, uint64_t size, uint8_t* digest) {
    Sha256 hash;
    std::vector<char> buffer(StagingPieceSize);
    for (uint64_t done = 0; done < size;) {
        const DWORD piece = size - done < StagingPieceSize ? static_cast<DWORD>(size - done) : StagingPieceSize;
        if (!ReadFileAt(file, start + done, buffer.data(), piece)) return false;
        hash.Add(buffer.data(), piece);
        done += piece;
    }
    return hash.Finish(digest);
}

bool HashFile(const std::string& path, uint64_t& size, uint8_t* digest) {
    const File file(path, false);
    LARGE_INTEGER length = {};
    if (!file.Open() || !GetFileSizeEx(file.handle, &length)) return false;
    size = static_cast<uint64_t>(length.QuadPart);
    return HashRange(file.handle, 0, size, digest);
}

std::string WriteSealedWizard(const std::string& wizard, const std::string& iniBytes,
                              const std::vector<TComponentKeys>& sections, const std::string& folder, bool bundle,
                              const std::string& output) {
    TSealedExecutable source;
    if (!source.Open(wizard)) return wizard + " cannot be sealed: " + source.Problem;
    if (source.State != SealState::None) return wizard + " is sealed already: seal the wizard as it was built";
    if (source.Layout.HasSymbols) return wizard + " carries a symbol table: seal the stripped wizard as it was built";
    if (source.Layout.CertificateStart != source.Layout.FileSize || source.Layout.SealedLength() != 0)
        return wizard + " is signed or has bytes after its image: seal the unsigned wizard as it was built, then sign";

    TSeal seal;
    seal.Ini = iniBytes;
    std::vector<std::size_t> firsts;  // the entries whose bytes the container holds: each name once
    for (const TComponentKeys& keys : sections) {
        TSealedFile file;
        file.Name = keys[ConfigKey::FileName];
        if (!HashFile(folder + "\\" + file.Name, file.Size, file.Sha256))
            return "the setup file " + file.Name + " cannot be read: " + SystemMessage(GetLastError());
        const TSealedFile* earlier = nullptr;
        for (std::size_t i = 0; i < seal.Files.size() && !earlier; ++i) {
            if (SameName(seal.Files[i].Name, file.Name)) earlier = &seal.Files[i];
        }
        if (bundle && earlier) {
            file.Offset = earlier->Offset;
        } else if (bundle) {
            file.Offset = seal.ContainerLength;
            seal.ContainerLength += Padded(file.Size);
            firsts.push_back(seal.Files.size());
        }
        seal.Files.push_back(file);
    }
    if (seal.Files.size() > MaxSealedFiles) return "the INI lists more components than a seal can hold";
    const std::string sealBytes = SealBytes(seal, Sha256Of);
    if (sealBytes.empty()) return "SHA-256 is not available on this computer";
    if (sealBytes.size() > MaxSealLength) return "the INI is too large for a seal";

    // The wizard's image with its anchor naming this seal (the image is small: read whole).
    std::string image(static_cast<std::size_t>(source.Layout.FileSize), '\0');
    const std::size_t anchor = source.ReadAt(0, &image[0], static_cast<uint32_t>(image.size())) ? FindSealAnchor(image)
                                                                                                : std::string::npos;
    if (anchor == std::string::npos) return wizard + " is not a Tarnwick Setup Wizard that can be sealed (no seal anchor)";
    image.replace(anchor + sizeof TarnwickSealAnchor.Magic, Sha256Length, sealBytes, sealBytes.size() - Sha256Length,
                  Sha256Length);

    bool written = false;
    {
        const File out(output, true);
        DWORD moved = 0, sealMoved = 0;
        written = out.Open() && WriteFile(out.handle, image.data(), static_cast<DWORD>(image.size()), &moved, nullptr) &&
                  moved == image.size() &&
                  WriteFile(out.handle, sealBytes.data(), static_cast<DWORD>(sealBytes.size()), &sealMoved, nullptr) &&
                  sealMoved == sealBytes.size();
        for (std::size_t i = 0; written && i < firsts.size(); ++i) {
            const TSealedFile& file = seal.Files[firsts[i]];
            const File in(folder + "\\" + file.Name, false);
            written = in.Open() && Append(in.handle, 0, file.Size, out.handle, Padded(file.Size));
        }
    }
    if (!written) {
        const DWORD error = GetLastError();
        DeleteFileA(output.c_str());
        return output + " cannot be written: " + SystemMessage(error);
    }
    return std::string();
}
