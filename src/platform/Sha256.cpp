#include "platform/Sha256.h"

#include <windows.h>
#include <wincrypt.h>

// The headers declare it only for newer targets than the wizard's; its value is fixed.
#ifndef CALG_SHA_256
#define CALG_SHA_256 0x0000800c
#endif

namespace {
// One verify-only context for the process: acquiring it loads the provider, which is not free.
HCRYPTPROV Provider() {
    static HCRYPTPROV provider = 0;
    if (!provider && !CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        provider = 0;
    return provider;
}
}  // namespace

Sha256::Sha256() {
    HCRYPTHASH created = 0;
    if (const HCRYPTPROV provider = Provider(); provider && CryptCreateHash(provider, CALG_SHA_256, 0, 0, &created))
        hash = created;
}

Sha256::~Sha256() {
    if (hash) CryptDestroyHash(static_cast<HCRYPTHASH>(hash));
}

void Sha256::Add(const void* data, std::size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (Valid() && size > 0) {
        const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        ok = CryptHashData(static_cast<HCRYPTHASH>(hash), bytes, piece, 0) != FALSE;
        bytes += piece;
        size -= piece;
    }
}

bool Sha256::Finish(uint8_t* digest) {
    DWORD length = 32;
    return Valid() && CryptGetHashParam(static_cast<HCRYPTHASH>(hash), HP_HASHVAL, digest, &length, 0) && length == 32;
}

bool Sha256Of(const void* data, std::size_t size, uint8_t* digest) {
    Sha256 hash;
    hash.Add(data, size);
    return hash.Finish(digest);
}
