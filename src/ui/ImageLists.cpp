#include "ui/ImageLists.h"

#include <cstdint>
#include <vector>

#include "ui/CommonControls.h"
#include "ui/Scaling.h"

namespace {

constexpr int StripSide = 16;
constexpr COLORREF Transparent = RGB(255, 0, 255);

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The strip's pictures, each resized to side x side, side by side in one premultiplied 32-bit bitmap.
HBITMAP ResizedStrip(HBITMAP strip, int side, int& count) {
    BITMAP shape{};
    if (!GetObjectA(strip, sizeof shape, &shape) || shape.bmHeight != StripSide || shape.bmWidth < StripSide) return nullptr;
    count = shape.bmWidth / StripSide;
    const int width = count * StripSide;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * StripSide);
    BITMAPINFO info = TopDown32(width, StripSide);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, strip, 0, StripSide, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != StripSide) return nullptr;
    for (uint32_t& pixel : pixels) {
        // DIB pixels are 0x00RRGGBB; the key colour becomes fully transparent, the rest opaque.
        pixel = (pixel & 0xFFFFFF) == 0xFF00FF ? 0 : (pixel | 0xFF000000u);
    }
    std::vector<uint32_t> picture(static_cast<size_t>(StripSide) * StripSide), scaled(static_cast<size_t>(side) * side);
    void* bits = nullptr;
    BITMAPINFO target = TopDown32(count * side, side);
    HBITMAP result = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!result || !bits) {
        if (result) DeleteObject(result);
        return nullptr;
    }
    auto* out = static_cast<uint32_t*>(bits);
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < StripSide; ++y)
            for (int x = 0; x < StripSide; ++x)
                picture[static_cast<size_t>(y) * StripSide + x] = pixels[static_cast<size_t>(y) * width + i * StripSide + x];
        ResamplePixels(picture.data(), StripSide, StripSide, scaled.data(), side, side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                out[static_cast<size_t>(y) * count * side + i * side + x] = scaled[static_cast<size_t>(y) * side + x];
    }
    return result;
}

}  // namespace

HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId, int side) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HIMAGELIST list = nullptr;
    if (side == StripSide || side <= 0) {
        list = CommonControls::CreateImageList(StripSide, StripSide, ILC_COLOR24 | ILC_MASK, 2, 0);
        if (list && strip) CommonControls::AddMasked(list, strip, Transparent);
    } else {
        int count = 0;
        HBITMAP resized = strip ? ResizedStrip(strip, side, count) : nullptr;
        list = CommonControls::CreateImageList(side, side, ILC_COLOR32, count > 0 ? count : 2, 0);
        if (list && resized) CommonControls::Add(list, resized, nullptr);
        if (resized) DeleteObject(resized);
    }
    if (strip) DeleteObject(strip);
    return list;
}

void FreeImageStrip(HIMAGELIST list) {
    if (list) CommonControls::DestroyImageList(list);
}
