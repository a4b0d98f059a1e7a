#pragma once
// JPEG pictures (the page background) decoded with libjpeg into GDI bitmaps.
#include <windows.h>

#include <cstddef>

// Decodes a complete JPEG image held in memory into a 24-bit top-down DIB section.
// Returns nullptr when the data is missing, damaged or cut short (warnings count as failures, so a
// truncated file is never shown half grey), or when a side exceeds kMaxJpegSide pixels.
// The caller owns the bitmap and frees it with DeleteObject.
HBITMAP DecodeJpeg(const void* data, size_t size);

// Decodes the JPEG stored as RCDATA resource `id` of `module`; nullptr when the resource is missing
// or cannot be decoded. The caller owns the bitmap.
HBITMAP LoadJpegResource(HINSTANCE module, int id);

// Largest width or height accepted; keeps the bitmap's size well inside 32-bit arithmetic.
constexpr int kMaxJpegSide = 8192;
