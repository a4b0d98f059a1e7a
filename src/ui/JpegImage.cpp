#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

#include <vector>

#include "ui/Scaling.h"

namespace {

// libjpeg's own error handler ends the process; this one jumps back into DecodeJpeg instead. It is
// ours in full (no jpeg_std_error): the standard one brings libjpeg's message texts and a printf to
// format them into the program, and a GUI program has nowhere to show them.
struct ErrorTrap {
    jpeg_error_mgr manager;
    jmp_buf escape;
};

void ErrorExit(j_common_ptr info) {
    longjmp(reinterpret_cast<ErrorTrap*>(info->err)->escape, 1);
}

// Warnings (level -1) mean damaged data that libjpeg would paper over, for example a missing end
// of the file; treat them as errors. Trace messages (level >= 0) are ignored.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0) ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}  // no console in a GUI program
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetErrorManager(j_common_ptr info) {
    info->err->num_warnings = 0;
    info->err->msg_code = 0;
}

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;  // top-down: row 0 is the picture's first line
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap && !*bits) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

size_t Stride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }

// The smallest of libjpeg's scales (eighths, 1 to 16) at which the picture covers width x height.
unsigned ScaleEighths(JDIMENSION imageWidth, JDIMENSION imageHeight, int width, int height) {
    for (unsigned eighths = 1; eighths < 16; ++eighths) {
        if ((imageWidth * eighths + 7) / 8 >= static_cast<JDIMENSION>(width) &&
            (imageHeight * eighths + 7) / 8 >= static_cast<JDIMENSION>(height))
            return eighths;
    }
    return 16;
}

// A 24-bit top-down DIB of width x height resampled from `source` (opaque, so no premultiplying).
HBITMAP Resized(HBITMAP source, int sourceWidth, int sourceHeight, int width, int height) {
    DIBSECTION section{};
    if (GetObjectA(source, sizeof section, &section) != sizeof section) return nullptr;
    const auto* from = static_cast<const unsigned char*>(section.dsBm.bmBits);
    std::vector<uint32_t> pixels(static_cast<size_t>(sourceWidth) * sourceHeight);
    for (int y = 0; y < sourceHeight; ++y) {
        const unsigned char* row = from + static_cast<size_t>(y) * Stride(sourceWidth);
        for (int x = 0; x < sourceWidth; ++x)
            pixels[static_cast<size_t>(y) * sourceWidth + x] =
                0xFF000000u | row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    }
    std::vector<uint32_t> scaled(static_cast<size_t>(width) * height);
    ResamplePixels(pixels.data(), sourceWidth, sourceHeight, scaled.data(), width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (!bitmap) return nullptr;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = static_cast<unsigned char*>(bits) + static_cast<size_t>(y) * Stride(width);
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = scaled[static_cast<size_t>(y) * width + x];
            row[3 * x] = pixel & 0xFF, row[3 * x + 1] = (pixel >> 8) & 0xFF, row[3 * x + 2] = (pixel >> 16) & 0xFF;
        }
    }
    return bitmap;
}

}  // namespace

HBITMAP DecodeJpeg(const void* data, size_t size, int targetWidth, int targetHeight) {
    // libjpeg takes the length as unsigned long, 32 bits on Windows.
    if (!data || size == 0 || size > 0x7FFFFFFFu) return nullptr;

    jpeg_decompress_struct info{};
    ErrorTrap trap;
    trap.manager = jpeg_error_mgr{};  // no trace output, no message tables
    trap.manager.error_exit = ErrorExit;
    trap.manager.emit_message = EmitMessage;
    trap.manager.output_message = OutputMessage;
    trap.manager.format_message = FormatMessage;
    trap.manager.reset_error_mgr = ResetErrorManager;
    info.err = &trap.manager;

    // Only plain values live across setjmp; volatile so they keep what was stored before a jump.
    HBITMAP volatile bitmap = nullptr;
    if (setjmp(trap.escape)) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // Refuse oversized pictures before libjpeg allocates anything for them.
    if (info.image_width > static_cast<JDIMENSION>(kMaxJpegSide) ||
        info.image_height > static_cast<JDIMENSION>(kMaxJpegSide)) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_EXT_BGR;  // the byte order of a 24-bit DIB
    const bool sized = targetWidth > 0 && targetHeight > 0 && targetWidth <= kMaxJpegSide && targetHeight <= kMaxJpegSide;
    if (sized) {
        info.scale_num = ScaleEighths(info.image_width, info.image_height, targetWidth, targetHeight);
        info.scale_denom = 8;
    }
    jpeg_start_decompress(&info);

    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }

    void* bits = nullptr;
    bitmap = CreateTopDownDib(width, height, &bits);
    if (!bitmap) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }

    const size_t stride = Stride(width);
    auto* const rows = static_cast<unsigned char*>(bits);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows + static_cast<size_t>(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (!sized || (width == targetWidth && height == targetHeight)) return bitmap;
    HBITMAP resized = Resized(bitmap, width, height, targetWidth, targetHeight);
    DeleteObject(bitmap);
    return resized;
}

HBITMAP LoadJpegResource(HINSTANCE module, int id, int width, int height) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);  // resource memory lives as long as the module
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? DecodeJpeg(data, SizeofResource(module, found), width, height) : nullptr;
}
