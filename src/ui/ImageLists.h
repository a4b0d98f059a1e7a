#pragma once
#include <windows.h>
#include <commctrl.h>

// A 16 x 16 image list from a bitmap strip resource whose magenta pixels are transparent.
// The caller frees it with FreeImageStrip.
HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId);
void FreeImageStrip(HIMAGELIST list);
