#include "ui/Scaling.h"

namespace {

// Fixed point with 16 fraction bits: exact enough for pictures of a few thousand pixels.
constexpr int64_t One = 1 << 16;

// Where target pixel `index` samples the source, in fixed point, pixel centres aligned; the first and
// last source pixels are the limits.
int64_t SourcePosition(int index, int sourceSize, int targetSize) {
    const int64_t position = ((2 * index + 1) * sourceSize * One) / (2 * targetSize) - One / 2;
    const int64_t last = static_cast<int64_t>(sourceSize - 1) * One;
    return position < 0 ? 0 : position > last ? last : position;
}

uint32_t Blend(uint32_t a, uint32_t b, int64_t weightB) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int64_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        const int64_t c = (ca * (One - weightB) + cb * weightB + One / 2) >> 16;
        result |= static_cast<uint32_t>(c) << shift;
    }
    return result;
}

}  // namespace

void ResamplePixels(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* target, int targetWidth,
                    int targetHeight) {
    for (int y = 0; y < targetHeight; ++y) {
        const int64_t sy = SourcePosition(y, sourceHeight, targetHeight);
        const int y0 = static_cast<int>(sy >> 16);
        const int y1 = y0 + 1 < sourceHeight ? y0 + 1 : y0;
        const int64_t fy = sy & (One - 1);
        for (int x = 0; x < targetWidth; ++x) {
            const int64_t sx = SourcePosition(x, sourceWidth, targetWidth);
            const int x0 = static_cast<int>(sx >> 16);
            const int x1 = x0 + 1 < sourceWidth ? x0 + 1 : x0;
            const int64_t fx = sx & (One - 1);
            const uint32_t* row0 = source + static_cast<int64_t>(y0) * sourceWidth;
            const uint32_t* row1 = source + static_cast<int64_t>(y1) * sourceWidth;
            target[static_cast<int64_t>(y) * targetWidth + x] =
                Blend(Blend(row0[x0], row0[x1], fx), Blend(row1[x0], row1[x1], fx), fy);
        }
    }
}
