#pragma once
// JPEG pictures (the page background) decoded with libjpeg into GDI bitmaps.
#include <windows.h>

#include <cstddef>

// Decodes a complete JPEG image held in memory into a 24-bit top-down DIB section, at its own size or,
// with `width` and `height`, at that size: libjpeg decodes it at the nearest larger of its scales
// (eighths up to twice the size), so a larger picture is sharp rather than stretched, and a
// bilinear filter takes it the rest of the way.
// Returns nullptr when the data is missing, damaged or cut short (warnings count as failures, so a
// truncated file is never shown half grey), or when a side exceeds kMaxJpegSide pixels.
// The caller owns the bitmap and frees it with DeleteObject.
HBITMAP DecodeJpeg(const void* data, size_t size, int width = 0, int height = 0);

// Decodes the JPEG stored as RCDATA resource `id` of `module` as DecodeJpeg does; nullptr when the
// resource is missing or cannot be decoded. The caller owns the bitmap.
HBITMAP LoadJpegResource(HINSTANCE module, int id, int width = 0, int height = 0);

// Largest width or height accepted; keeps the bitmap's size well inside 32-bit arithmetic.
constexpr int kMaxJpegSide = 8192;
