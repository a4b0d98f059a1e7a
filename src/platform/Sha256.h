#pragma once
// SHA-256 through the system's own cryptography: CryptoAPI's AES provider in advapi32, which the
// wizard imports anyway (Windows XP SP3 and later). No hashing code of our own.
#include <cstddef>
#include <cstdint>

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when the system offers no SHA-256, or a call failed on the way.
    bool Valid() const { return hash != 0 && ok; }
    void Add(const void* data, std::size_t size);
    // The digest of everything added; false when it cannot be had.
    bool Finish(uint8_t* digest);

private:
    uintptr_t hash = 0;  // HCRYPTHASH
    bool ok = true;
};

// The digest of one block (the seal's HashFunction).
bool Sha256Of(const void* data, std::size_t size, uint8_t* digest);
