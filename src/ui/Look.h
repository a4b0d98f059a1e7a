#pragma once
// The GDI objects every page shares: created once on first use, freed once at exit.
#include <windows.h>

namespace Look {

constexpr COLORREF TitleColor = RGB(108, 180, 37);

HFONT BodyFont();   // Verdana, 11 pixels (8 point at 96 dpi)
HFONT BoldFont();   // the same in bold
HFONT TitleFont();  // Verdana, 13 pixels, bold
HFONT MainFont();   // "MS Sans Serif" 8 point, the hidden main form's

// The 600 x 400 page picture.
HBITMAP Background();
HBRUSH WhiteBrush();

HICON AppIcon(int size);

void Release();

}  // namespace Look
