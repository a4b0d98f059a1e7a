#include "ui/Look.h"

#include <initializer_list>
#include <vector>

#include "ui/Application.h"
#include "ui/JpegImage.h"
#include "ui/ResourceIds.h"
#include "ui/Scaling.h"

namespace {

// What one display DPI needs; a wizard moved between monitors keeps each set it has used.
struct DpiLook {
    int dpi;
    HFONT body, bold, title, main;
    HBITMAP background;
};
std::vector<DpiLook> looks;
HICON icons[4];

bool SystemHighContrast() {
#ifdef TARNWICK_TEST_SEAMS
    // The end-to-end tests turn it on here: Wine always reports high contrast as off.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwick Tests", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD value = 0, size = sizeof value, type = 0;
        const bool set = RegQueryValueExA(key, "HighContrast", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                             ERROR_SUCCESS && type == REG_DWORD;
        RegCloseKey(key);
        if (set) return value != 0;
    }
#endif
    HIGHCONTRASTA state = {};
    state.cbSize = sizeof state;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) && (state.dwFlags & HCF_HIGHCONTRASTON);
}
bool (*highContrastQuery)() = SystemHighContrast;

HFONT MakeFont(const char* face, int pixels, int weight, int dpi) {
    return CreateFontA(-ScaleToDpi(pixels, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

DpiLook& At(int dpi) {
    for (DpiLook& look : looks) {
        if (look.dpi == dpi) return look;
    }
    looks.push_back(DpiLook{dpi, nullptr, nullptr, nullptr, nullptr, nullptr});
    return looks.back();
}

HFONT CachedFont(int dpi, HFONT DpiLook::*font, const char* face, int pixels, int weight) {
    DpiLook& look = At(dpi);
    if (!(look.*font)) look.*font = MakeFont(face, pixels, weight, dpi);
    return look.*font;
}

}  // namespace

namespace Look {

HFONT BodyFont(int dpi) { return CachedFont(dpi, &DpiLook::body, "Verdana", 11, FW_NORMAL); }
HFONT BoldFont(int dpi) { return CachedFont(dpi, &DpiLook::bold, "Verdana", 11, FW_BOLD); }
HFONT TitleFont(int dpi) { return CachedFont(dpi, &DpiLook::title, "Verdana", 13, FW_BOLD); }
HFONT MainFont(int dpi) { return CachedFont(dpi, &DpiLook::main, "MS Sans Serif", 11, FW_NORMAL); }

HBITMAP Background(int dpi) {
    DpiLook& look = At(dpi);
    if (!look.background) {
        look.background = LoadJpegResource(Application::Instance(), IDR_BACKGROUND, ScaleToDpi(600, dpi),
                                           ScaleToDpi(400, dpi));
    }
    return look.background;
}

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

bool HighContrast() { return highContrastQuery(); }
void SetHighContrastQuery(bool (*query)()) { highContrastQuery = query ? query : SystemHighContrast; }

COLORREF TextColor(bool highContrast, bool title) {
    if (highContrast) return GetSysColor(COLOR_WINDOWTEXT);
    return title ? TitleColor : RGB(0, 0, 0);
}
COLORREF PanelColor(bool highContrast) { return highContrast ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255); }
HBRUSH PanelBrush(bool highContrast) { return highContrast ? GetSysColorBrush(COLOR_WINDOW) : WhiteBrush(); }

HICON AppIcon(int size) {
    // The icon holds 16, 32 and 48 pixel pictures; Windows scales the nearest to other sizes.
    int slot = size <= 16 ? 0 : size <= 24 ? 1 : size <= 32 ? 2 : 3;
    const int sizes[] = {16, 24, 32, 48};
    if (!icons[slot]) {
        icons[slot] = static_cast<HICON>(LoadImageA(Application::Instance(), MAKEINTRESOURCEA(IDI_APPICON),
                                                    IMAGE_ICON, sizes[slot], sizes[slot], LR_DEFAULTCOLOR));
    }
    return icons[slot];
}

void Release() {
    for (DpiLook& look : looks) {
        for (HFONT font : {look.body, look.bold, look.title, look.main}) {
            if (font) DeleteObject(font);
        }
        if (look.background) DeleteObject(look.background);
    }
    looks.clear();
    for (HICON& icon : icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

}  // namespace Look
