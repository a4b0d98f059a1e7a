#include "ui/Look.h"

#include <initializer_list>

#include "ui/Application.h"
#include "ui/JpegImage.h"
#include "ui/ResourceIds.h"

namespace {

HFONT bodyFont, boldFont, titleFont, mainFont;
HBITMAP background;
HICON icons[3];

HFONT MakeFont(const char* face, int pixels, int weight) {
    return CreateFontA(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace

namespace Look {

HFONT BodyFont() {
    if (!bodyFont) bodyFont = MakeFont("Verdana", 11, FW_NORMAL);
    return bodyFont;
}

HFONT BoldFont() {
    if (!boldFont) boldFont = MakeFont("Verdana", 11, FW_BOLD);
    return boldFont;
}

HFONT TitleFont() {
    if (!titleFont) titleFont = MakeFont("Verdana", 13, FW_BOLD);
    return titleFont;
}

HFONT MainFont() {
    if (!mainFont) mainFont = MakeFont("MS Sans Serif", 11, FW_NORMAL);
    return mainFont;
}

HBITMAP Background() {
    if (!background) background = LoadJpegResource(Application::Instance(), IDR_BACKGROUND);
    return background;
}

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

HICON AppIcon(int size) {
    int slot = size <= 16 ? 0 : size <= 32 ? 1 : 2;
    if (!icons[slot]) {
        icons[slot] = static_cast<HICON>(LoadImageA(Application::Instance(), MAKEINTRESOURCEA(IDI_APPICON),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    }
    return icons[slot];
}

void Release() {
    for (HFONT* font : {&bodyFont, &boldFont, &titleFont, &mainFont}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
    if (background) DeleteObject(background);
    background = nullptr;
    for (HICON& icon : icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

}  // namespace Look
