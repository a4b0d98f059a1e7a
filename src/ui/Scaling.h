#pragma once
// The layout tables are in 96-DPI pixels; these scale them to a display's DPI. Plain arithmetic, free
// of <windows.h>, so that it also builds natively.
#include <cstdint>

constexpr int DesignDpi = 96;

// A coordinate or a size times dpi / 96, rounded to the nearest pixel (halves away from zero), as
// MulDiv rounds.
constexpr int ScaleToDpi(int value, int dpi) {
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = DesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / DesignDpi : -((-product + half) / DesignDpi));
}

struct ScaledBounds {
    int left, top, width, height;
};

// Bounds scale by their edges, not by their size: two controls that touch at 96 DPI (one's right edge
// is the other's left edge) still touch at every DPI, and nothing overlaps that did not.
constexpr ScaledBounds ScaleBounds(int left, int top, int width, int height, int dpi) {
    const int scaledLeft = ScaleToDpi(left, dpi), scaledTop = ScaleToDpi(top, dpi);
    return {scaledLeft, scaledTop, ScaleToDpi(left + width, dpi) - scaledLeft,
            ScaleToDpi(top + height, dpi) - scaledTop};
}

// Resizes a picture of premultiplied 0xAARRGGBB pixels (each colour already multiplied by its alpha,
// so that transparent pixels do not bleed into their neighbours) with a bilinear filter. Both pictures
// are row by row, without padding; sizes are at least 1.
void ResamplePixels(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* target, int targetWidth,
                    int targetHeight);
