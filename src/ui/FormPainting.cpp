#include "ui/Form.h"

#include "ui/GroupBox.h"
#include "ui/Look.h"

// What a form paints: its background (the page picture, or the window colour in high contrast) with
// the group boxes' frames, cached in one bitmap, and the colours of its controls.

void TForm::DropPaintedBackground() {
    if (backgroundBrush) DeleteObject(backgroundBrush);
    if (backgroundBitmap) DeleteObject(backgroundBitmap);
    backgroundBrush = nullptr;
    backgroundBitmap = nullptr;
}

// The colours the form layer gives controls (the page's own painting reads highContrast itself).
void TForm::ApplyColors() {
    for (const ControlLayout& c : controls) {
        if (c.kind != ControlKind::ListView || !(c.options & coWhite) || !c.window || !*c.window) continue;
        ListView_SetBkColor(*c.window, Look::PanelColor(highContrast));
        ListView_SetTextBkColor(*c.window, Look::PanelColor(highContrast));
        ListView_SetTextColor(*c.window, Look::TextColor(highContrast, false));
    }
}

HBRUSH TForm::ControlColor(HDC dc, HWND control) {
    const ControlLayout* c = LayoutOf(control);
    SetTextColor(dc, Look::TextColor(highContrast, c && (c->options & coTitle)));
    if (c && (c->options & coWhite)) {
        SetBkColor(dc, Look::PanelColor(highContrast));
        return Look::PanelBrush(highContrast);
    }
    // "Transparent": paint with the page picture, aligned to where the control sits on it.
    SetBkMode(dc, TRANSPARENT);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    return BackgroundBrush();
}

HBRUSH TForm::BackgroundBrush() {
    // Everything the form paints (picture, group boxes) in one bitmap, so that a label's box shows
    // exactly what lies under it.
    if (!backgroundBrush) {
        RECT client;
        GetClientRect(hwnd, &client);
        HDC screen = GetDC(hwnd);
        backgroundBitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, backgroundBitmap);
        PaintBackground(memory);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(hwnd, screen);
        backgroundBrush = CreatePatternBrush(backgroundBitmap);
    }
    return backgroundBrush;
}

void TForm::PaintBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    bool hasPicture = false;
    for (const ControlLayout& c : controls) hasPicture |= c.kind == ControlKind::Picture;
    // In high contrast no picture lies behind the text: the window colour does.
    if (hasPicture && highContrast) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    } else if (HBITMAP picture = hasPicture ? Look::Background(dpi) : nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    for (const ControlLayout& c : controls) {
        if (c.kind != ControlKind::GroupBox) continue;
        const ScaledBounds b = BoundsOf(c);
        const RECT box = {b.left, b.top, b.left + b.width, b.top + b.height};
        GroupBox::Paint(dc, box, c.caption, (c.options & coWhite) != 0, highContrast, dpi);
    }
}


void TForm::SystemColorsChanged(bool colours) {
    // A high-contrast theme switched on or off, or other system colours: paint anew with them.
    const bool now = Look::HighContrast();
    if (!colours && now == highContrast) return;
    highContrast = now;
    DropPaintedBackground();
    ApplyColors();
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);  // common controls learn of it from their parent
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
