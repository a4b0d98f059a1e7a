#include "ui/JpegImage.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "ui/ResourceIds.h"

namespace {

struct Rgb {
    int r, g, b;
};

// Owns a decoded bitmap and reads its pixels through the DIB section.
class Decoded {
public:
    explicit Decoded(HBITMAP bitmap) : bitmap_(bitmap) {
        if (bitmap_) valid_ = GetObjectA(bitmap_, sizeof(section_), &section_) == sizeof(section_);
    }
    ~Decoded() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;

    bool Valid() const { return valid_ && section_.dsBm.bmBits; }
    int Width() const { return section_.dsBm.bmWidth; }
    int Height() const { return section_.dsBm.bmHeight; }
    int BitsPerPixel() const { return section_.dsBm.bmBitsPixel; }
    // Row 0 is the top line: the loader makes top-down sections.
    Rgb At(int x, int y) const {
        const auto* row = static_cast<const unsigned char*>(section_.dsBm.bmBits) +
                          static_cast<size_t>(y) * section_.dsBm.bmWidthBytes;
        const unsigned char* p = row + x * 3;
        return {p[2], p[1], p[0]};
    }

private:
    HBITMAP bitmap_;
    DIBSECTION section_{};
    bool valid_ = false;
};

std::vector<unsigned char> BackgroundBytes() {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDR_BACKGROUND), MAKEINTRESOURCEA(10));
    if (!found) return {};
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(self, found)));
    return std::vector<unsigned char>(data, data + SizeofResource(self, found));
}

// Encodes pixels (RGB or grey, row by row) as a baseline JPEG of the highest quality, without
// colour subsampling, so that decoded values stay within a few steps of the originals; or, as photos
// often come, progressive and/or with the colour at half resolution both ways (4:2:0).
std::vector<unsigned char> Encode(int width, int height, int components, const std::vector<unsigned char>& pixels,
                                  bool progressive = false, bool subsampled = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (!subsampled) {
        for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    }
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) + info.next_scanline * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> result(buffer, buffer + size);
    free(buffer);
    return result;
}

void ExpectNear(const Rgb& actual, const Rgb& expected, const std::string& where) {
    constexpr int kTolerance = 12;
    EXPECT_NEAR(actual.r, expected.r, kTolerance) << where;
    EXPECT_NEAR(actual.g, expected.g, kTolerance) << where;
    EXPECT_NEAR(actual.b, expected.b, kTolerance) << where;
}

TEST(JpegImage, EmbeddedBackgroundDecodesToPageSizeWithItsLayout) {
    Decoded image(LoadJpegResource(GetModuleHandleA(nullptr), IDR_BACKGROUND));
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(image.Width(), 600);
    EXPECT_EQ(image.Height(), 400);
    EXPECT_EQ(image.BitsPerPixel(), 24);

    // Points chosen so that an image read upside down or with red and blue swapped fails.
    struct Probe {
        const char* what;
        int x, y;
        Rgb low, high;
    };
    const Probe probes[] = {
        {"white content area", 300, 200, {245, 245, 245}, {255, 255, 255}},
        {"white content area, lower right", 560, 330, {245, 245, 245}, {255, 255, 255}},
        {"grey rule above the buttons", 300, 355, {180, 180, 180}, {235, 235, 235}},
        {"green band", 80, 300, {15, 110, 70}, {70, 160, 120}},
        {"teal foot of the band", 80, 395, {0, 100, 90}, {45, 145, 135}},
        {"white emblem", 70, 60, {240, 240, 240}, {255, 255, 255}},
        {"green T of the emblem", 56, 60, {50, 130, 20}, {100, 175, 70}},
    };
    for (const Probe& probe : probes) {
        const Rgb p = image.At(probe.x, probe.y);
        const std::string where = std::string(probe.what) + " at " + std::to_string(probe.x) + "," + std::to_string(probe.y);
        EXPECT_GE(p.r, probe.low.r) << where;
        EXPECT_LE(p.r, probe.high.r) << where;
        EXPECT_GE(p.g, probe.low.g) << where;
        EXPECT_LE(p.g, probe.high.g) << where;
        EXPECT_GE(p.b, probe.low.b) << where;
        EXPECT_LE(p.b, probe.high.b) << where;
    }
}

TEST(JpegImage, PutsColoursInDibOrderOnPaddedRows) {
    // Width 3: 9 bytes of pixels per row, padded to 12 in the DIB.
    const std::vector<unsigned char> pixels = {
        255, 0, 0,     0, 255, 0,     0, 0, 255,    // red, green, blue
        255, 255, 255, 0, 0, 0,       255, 255, 0,  // white, black, yellow
    };
    const std::vector<unsigned char> jpeg = Encode(3, 2, 3, pixels);
    Decoded image(DecodeJpeg(jpeg.data(), jpeg.size()));
    ASSERT_TRUE(image.Valid());
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.Height(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const unsigned char* p = &pixels[(y * 3 + x) * 3];
            ExpectNear(image.At(x, y), {p[0], p[1], p[2]}, "pixel " + std::to_string(x) + "," + std::to_string(y));
        }
    }
}

TEST(JpegImage, DecodesGreyPicturesToEqualChannels) {
    const std::vector<unsigned char> pixels = {0, 64, 128, 192, 255, 32, 96, 160, 224, 16};
    const std::vector<unsigned char> jpeg = Encode(5, 2, 1, pixels);
    Decoded image(DecodeJpeg(jpeg.data(), jpeg.size()));
    ASSERT_TRUE(image.Valid());
    for (int i = 0; i < 10; ++i) {
        const int v = pixels[i];
        ExpectNear(image.At(i % 5, i / 5), {v, v, v}, "grey pixel " + std::to_string(i));
    }
}

TEST(JpegImage, DecodesProgressiveAndSubsampledPictures) {
    // A picture a distributor might put in place of ours: two colours, top and bottom half.
    constexpr int kSide = 32;
    const Rgb top = {230, 120, 30}, bottom = {30, 90, 200};
    std::vector<unsigned char> pixels;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb& c = y < kSide / 2 ? top : bottom;
            pixels.insert(pixels.end(), {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                         static_cast<unsigned char>(c.b)});
        }
    }
    const struct {
        const char* what;
        bool progressive, subsampled;
    } kinds[] = {{"progressive", true, false}, {"4:2:0", false, true}, {"progressive 4:2:0", true, true}};
    for (const auto& kind : kinds) {
        const std::vector<unsigned char> jpeg = Encode(kSide, kSide, 3, pixels, kind.progressive, kind.subsampled);
        Decoded image(DecodeJpeg(jpeg.data(), jpeg.size()));
        ASSERT_TRUE(image.Valid()) << kind.what;
        ASSERT_EQ(image.Width(), kSide) << kind.what;
        // Rows near the middle blend the halves' colours when the colour is at half resolution.
        for (int y : {0, 5, 12, 20, 27, 31}) {
            for (int x : {0, 13, 31}) {
                ExpectNear(image.At(x, y), y < kSide / 2 ? top : bottom,
                           std::string(kind.what) + " pixel " + std::to_string(x) + "," + std::to_string(y));
            }
        }
    }
}

TEST(JpegImage, RejectsMissingDamagedAndOversizedData) {
    const std::vector<unsigned char> background = BackgroundBytes();
    ASSERT_GT(background.size(), 1000u);
    auto prefix = [&](size_t n) { return std::vector<unsigned char>(background.begin(), background.begin() + n); };

    std::vector<unsigned char> garbage(4096);
    unsigned seed = 12345;
    for (auto& byte : garbage) byte = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);

    // Intact headers, scrambled picture data from the middle on.
    std::vector<unsigned char> scrambled = background;
    for (size_t i = scrambled.size() / 2; i + 2 < scrambled.size(); ++i) scrambled[i] = garbage[i % garbage.size()] | 0x01;

    // A valid small picture whose frame header claims 60000 x 60000 pixels.
    std::vector<unsigned char> huge = Encode(3, 2, 3, std::vector<unsigned char>(18, 128));
    for (size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // start of frame: length, precision, height, width
            huge[i + 5] = huge[i + 7] = 0xEA;
            huge[i + 6] = huge[i + 8] = 0x60;
            break;
        }
    }

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"no bytes", {}},
        {"start marker only", {0xFF, 0xD8}},
        {"headers only", prefix(600)},
        {"first half", prefix(background.size() / 2)},
        {"all but the end marker", prefix(background.size() - 2)},
        {"random bytes", garbage},
        {"random bytes after a start marker", [&] { auto v = garbage; v[0] = 0xFF; v[1] = 0xD8; return v; }()},
        {"scrambled picture data", scrambled},
        {"oversized frame", huge},
    };
    for (const Case& c : cases) {
        HBITMAP bitmap = DecodeJpeg(c.bytes.empty() ? nullptr : c.bytes.data(), c.bytes.size());
        EXPECT_EQ(bitmap, nullptr) << c.what;
        if (bitmap) DeleteObject(bitmap);
    }
    // The same buffer stays decodable after all the failures above: no state leaks between calls.
    Decoded again(DecodeJpeg(background.data(), background.size()));
    EXPECT_TRUE(again.Valid());
}

TEST(JpegImage, ResourceThatIsMissingOrNotRawDataGivesNoBitmap) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadJpegResource(self, 9999), nullptr);
    EXPECT_EQ(LoadJpegResource(self, IDB_COMPONENTS), nullptr);  // a BITMAP resource, not RCDATA
}

}  // namespace
