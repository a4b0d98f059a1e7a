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

// Whether Windows runs in a high-contrast theme (SPI_GETHIGHCONTRAST): the pages then show no
// picture and no colour of their own, only the system's. Asked anew on every call.
bool HighContrast();
// The query behind HighContrast: the system's by default; null restores it.
void SetHighContrastQuery(bool (*query)());
// The colours of text on a page and of its white panels (the summary, the progress texts), or in
// high contrast the system's window text and window colours.
COLORREF TextColor(bool highContrast, bool title);
COLORREF PanelColor(bool highContrast);
HBRUSH PanelBrush(bool highContrast);

HICON AppIcon(int size);

void Release();

}  // namespace Look
