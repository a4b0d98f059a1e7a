#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

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

}  // namespace

HBITMAP DecodeJpeg(const void* data, size_t size) {
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
    jpeg_start_decompress(&info);

    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }

    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;  // top-down: row 0 is the picture's first line
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }

    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    auto* const rows = static_cast<unsigned char*>(bits);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows + static_cast<size_t>(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return bitmap;
}

HBITMAP LoadJpegResource(HINSTANCE module, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);  // resource memory lives as long as the module
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? DecodeJpeg(data, SizeofResource(module, found)) : nullptr;
}
