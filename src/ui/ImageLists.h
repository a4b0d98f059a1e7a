#pragma once
#include <windows.h>
#include <commctrl.h>

// An image list of square pictures from a bitmap strip resource of 16 x 16 pictures whose magenta
// pixels are transparent, at `side` pixels: the strip as it is at 16, else resized with a bilinear
// filter into pictures with an alpha channel (soft edges rather than doubled pixels).
// The caller frees it with FreeImageStrip.
HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId, int side = 16);
void FreeImageStrip(HIMAGELIST list);
