#pragma once
// The GDI objects every page shares, one set per display DPI: created on first use, freed once at exit.
#include <windows.h>

namespace Look {

constexpr COLORREF TitleColor = RGB(108, 180, 37);

// Heights are 96-DPI pixels, scaled to `dpi`.
HFONT BodyFont(int dpi);   // Verdana, 11 pixels (8 point at 96 dpi)
HFONT BoldFont(int dpi);   // the same in bold
HFONT TitleFont(int dpi);  // Verdana, 13 pixels, bold
HFONT MainFont(int dpi);   // "MS Sans Serif" 8 point, the hidden main form's

// The 600 x 400 page picture, scaled to `dpi`.
HBITMAP Background(int dpi);
HBRUSH WhiteBrush();

HICON AppIcon(int size);

void Release();

}  // namespace Look
