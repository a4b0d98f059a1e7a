// The seal and the container inside the wizard's file: written and read back, found from the
// program's headers, and every kind of damage named; and the sealed INI read as Windows reads a file.
#include "installmanager/Seal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "SyntheticProgram.h"
#include "TempFolder.h"
#include "installmanager/Configuration.h"
#include "platform/Sha256.h"

namespace {

TSealedFile File(const std::string& name, uint64_t size, uint64_t offset, uint8_t fill) {
    TSealedFile file;
    file.Name = name;
    file.Size = size;
    file.Offset = offset;
    std::memset(file.Sha256, fill, sizeof file.Sha256);
    return file;
}

// The digest after a change to the body, so that a test reaches the checks behind it.
std::string Resealed(std::string bytes) {
    uint8_t digest[Sha256Length];
    Sha256Of(bytes.data(), bytes.size() - Sha256Length, digest);
    bytes.replace(bytes.size() - Sha256Length, Sha256Length, reinterpret_cast<const char*>(digest), Sha256Length);
    return bytes;
}

TEST(Seal, SystemSha256) {
    uint8_t digest[Sha256Length];
    ASSERT_TRUE(Sha256Of("abc", 3, digest));
    const uint8_t expected[] = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40, 0xde, 0x5d, 0xae, 0x22, 0x23,
                                0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17, 0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
    EXPECT_EQ(0, std::memcmp(expected, digest, Sha256Length));
}

TEST(Seal, ReadsBackWhatWasWrittenAndNamesEveryDamage) {
    TSeal bundle;
    bundle.Ini = "[Core]\r\nFileName=core.msi\r\n[Twice]\r\nFileName=CORE.msi\r\n[Tool]\r\nFileName=tool.exe\r\n";
    bundle.Files = {File("core.msi", 100, 0, 1), File("CORE.msi", 100, 0, 1), File("tool.exe", 20, 104, 2)};
    bundle.ContainerLength = 128;
    const std::string good = SealBytes(bundle, Sha256Of);
    ASSERT_EQ(0u, good.size() % SealAlignment);
    ASSERT_EQ(SealHeaderLength + bundle.Ini.size() + 3 * 60 + 2 + Sha256Length, good.size()) << "two bytes of padding";

    // Offsets of the first entry's fields: header, INI, name length, name.
    const std::size_t entry = SealHeaderLength + bundle.Ini.size();
    const std::size_t size = entry + 4 + 8, offset = size + 8;
    const auto changed = [&](std::size_t at, const std::string& bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    const struct {
        const char* name;
        std::string bytes;
        const char* problem;  // "" when sound
    } rows[] = {
        {"sound", good, ""},
        {"cut short", good.substr(0, good.size() - 1), "cut short"},
        {"one byte of the INI changed", changed(SealHeaderLength + 3, "X"), "does not match its own check sum"},
        {"not a seal", changed(0, "MZ"), "not a seal"},
        {"another version", changed(8, "\x02"), "another version"},
        {"a length that is no multiple of 8", changed(12, std::string(1, static_cast<char>(good.size() + 1))),
         "impossible lengths"},
        {"an entry past the container", Resealed(changed(offset, std::string("\x80\0\0\0\0\0\0\0", 8))),
         "lies outside the container"},
        {"overlapping entries", Resealed(changed(entry + 2 * 60 + 20, std::string("\x60\0\0\0\0\0\0\0", 8))), "overlap"},
        {"one name, two contents", Resealed(changed(entry + 60 + 12, std::string("\x60\0\0\0\0\0\0\0", 8))),
         "one file two contents"},
        {"a name with a path", Resealed(changed(entry + 4, "..\\core")), "does not name a file"},
        {"bytes hidden in the padding", Resealed(changed(good.size() - Sha256Length - 1, "\x01")),
         "does not account for"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TSeal read;
        const std::string problem = ReadSeal(row.bytes, Sha256Of, read);
        if (*row.problem == '\0') {
            ASSERT_EQ("", problem);
            EXPECT_EQ(bundle.Ini, read.Ini);
            ASSERT_EQ(3u, read.Files.size());
            EXPECT_EQ("tool.exe", read.Files[2].Name);
            EXPECT_EQ(104u, read.Files[2].Offset);
            EXPECT_EQ(0, std::memcmp(read.Files[2].Sha256, bundle.Files[2].Sha256, Sha256Length));
            EXPECT_EQ(128u, read.ContainerLength);
        } else {
            EXPECT_NE(std::string::npos, problem.find(row.problem)) << problem;
        }
    }

    // A sealed wizard (no container) has no offsets.
    TSeal sealed;
    sealed.Files = {File("core.msi", 100, 8, 1)};
    TSeal read;
    EXPECT_NE(std::string::npos, ReadSeal(SealBytes(sealed, Sha256Of), Sha256Of, read).find("container that is not there"));
}

// The seal is found from the program's headers: right after its sections, before a certificate table.
TEST(Seal, FoundFromTheHeadersBetweenImageAndCertificate) {
    TSeal seal;
    seal.Ini = "[A]\r\nFileName=a.msi\r\n";
    seal.Files = {File("a.msi", 16, 0, 3)};
    seal.ContainerLength = 16;
    const std::string sealed = SealBytes(seal, Sha256Of) + std::string(16, 'c');
    const std::string certificate(24, 's');
    const struct {
        const char* name;
        std::string file;
        SealState state;
        const char* problem;
    } rows[] = {
        {"unsealed", synthetic::Program(), SealState::None, ""},
        {"unsealed, signed", synthetic::With(synthetic::Program(), "", certificate), SealState::None, ""},
        {"a signing tool's alignment", synthetic::With(synthetic::Program(), std::string(4, '\0'), certificate),
         SealState::None, ""},
        {"sealed", synthetic::With(synthetic::Program(), sealed), SealState::Present, ""},
        {"sealed, signed", synthetic::With(synthetic::Program(), sealed, certificate), SealState::Present, ""},
        {"cut short by one byte", synthetic::With(synthetic::Program(), sealed).substr(0, 0x400 + sealed.size() - 1),
         SealState::Damaged, "cut short"},
        {"padded before the signature", synthetic::With(synthetic::Program(), sealed + std::string(8, 'j'), certificate),
         SealState::Damaged, "bytes were added"},
        {"junk after the program", synthetic::With(synthetic::Program(), std::string(64, 'j')), SealState::Damaged,
         "not a seal"},
        {"the signed file cut short", synthetic::With(synthetic::Program(), sealed, certificate).substr(0, 0x400 + 40),
         SealState::Damaged, "signature's place"},
        {"its sections cut off", synthetic::Program().substr(0, 0x300), SealState::Damaged, "cut short"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TImageLayout layout;
        std::string problem = ReadImageLayout(row.file.substr(0, 0x400), row.file.size(), layout);
        SealState state = SealState::Damaged;
        uint32_t sealLength = 0;
        uint64_t containerLength = 0;
        if (problem.empty()) {
            EXPECT_EQ(0x400u, layout.ImageEnd);
            const std::string start = row.file.substr(0x400, std::min<uint64_t>(SealHeaderLength, layout.SealedLength()));
            state = SealPlacement(layout, start, sealLength, containerLength, problem);
        }
        EXPECT_EQ(row.state, state) << problem;
        EXPECT_NE(std::string::npos, problem.find(row.problem)) << problem;
        if (row.state == SealState::Present) {
            TSeal read;
            EXPECT_EQ("", ReadSeal(row.file.substr(0x400, sealLength), Sha256Of, read));
            EXPECT_EQ(16u, containerLength);
        }
    }
}

// A sealed wizard reads its INI from bytes with its own reader; it must give what the profile
// functions give for the same file.
TEST(Seal, SealedIniReadsAsWindowsReadsTheFile) {
    const std::string inis[] = {
        "[Core]\r\nComponentDescription=Tarnwick Core\r\nFileName=core.msi\r\nRequired=1\r\n",
        "  [Spaced]  \n  componentdescription  =   padded value   \nSIZE=1536.9\n",
        "; a comment\nStray=before any section\n[Quoted]\nComponentDescription=\"in quotes\"\nVersion='1.0'\n"
        "FileName=\"half\nColProdID=\n",
        "[Twice]\nVersion=first\n[twice]\nVersion=second\n[Empty]\n[]\nVersion=nameless\n",
        "\xEF\xBB\xBF[Bom]\r\nFileName=a.msi\r\nno equals sign\r\nFileName=second.msi\r\n[Brackets]] ]\nVersion=x\n",
        "[Long]\nComponentDescription=" + std::string(3000, 'd') + "\n",
    };
    TempFolder folder;
    for (const std::string& text : inis) {
        SCOPED_TRACE(text.substr(0, 40));
        WriteTextFile(folder / "Setup.INI", text);
        std::vector<TComponentKeys> fromFile;
        ASSERT_TRUE(ReadConfigurationKeys(folder / "Setup.INI", fromFile));
        const std::vector<TComponentKeys> fromBytes = ConfigurationKeysFromText(text);
        ASSERT_EQ(fromFile.size(), fromBytes.size());
        for (std::size_t i = 0; i < fromFile.size(); ++i) {
            EXPECT_EQ(fromFile[i].Section, fromBytes[i].Section);
            for (int k = 0; k < static_cast<int>(ConfigKey::Count); ++k)
                EXPECT_EQ(fromFile[i].Texts[k], fromBytes[i].Texts[k]) << fromFile[i].Section << " " << ConfigKeyName(static_cast<ConfigKey>(k));
        }
    }
}

}  // namespace
