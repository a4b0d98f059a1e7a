#include "ui/GroupBox.h"

#include "ui/Form.h"
#include "ui/Look.h"
#include "ui/Scaling.h"

namespace {

constexpr const char* OriginalProcProperty = "TarnwickOriginalProc";

LRESULT CALLBACK GroupBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(box, OriginalProcProperty));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(box, &paint);
        if (TForm* form = TForm::FromWindow(box)) {
            RECT r;
            GetClientRect(box, &r);
            POINT origin = {0, 0};
            MapWindowPoints(box, form->Handle(), &origin, 1);
            SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
            FillRect(dc, &r, form->BackgroundBrush());
        }
        EndPaint(box, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        RemovePropA(box, OriginalProcProperty);
        break;
    default:
        break;
    }
    return CallWindowProcA(original, box, message, wParam, lParam);
}

}  // namespace

namespace GroupBox {

void Attach(HWND box) {
    SetPropA(box, OriginalProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc))));
}

void Clip(HWND box, const std::vector<HWND>& inside) {
    RECT outer;
    GetWindowRect(box, &outer);
    HRGN region = CreateRectRgn(0, 0, outer.right - outer.left, outer.bottom - outer.top);
    for (HWND control : inside) {
        RECT r;
        GetWindowRect(control, &r);
        HRGN hole = CreateRectRgn(r.left - outer.left, r.top - outer.top, r.right - outer.left, r.bottom - outer.top);
        CombineRgn(region, region, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    SetWindowRgn(box, region, TRUE);
}

void Paint(HDC dc, const RECT& box, const char* caption, bool white, bool highContrast, int dpi) {
    if (white) FillRect(dc, &box, Look::PanelBrush(highContrast));
    HGDIOBJ oldFont = SelectObject(dc, Look::BodyFont(dpi));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    // The frame runs through the middle of the caption, which interrupts it.
    RECT frame = box;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (caption && *caption) {
        SIZE extent;
        GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &extent);
        const int indent = ScaleToDpi(8, dpi), margin = ScaleToDpi(2, dpi);
        RECT text = {box.left + indent, box.top, box.left + indent + extent.cx + 2 * margin, box.top + metrics.tmHeight};
        if (white) FillRect(dc, &text, Look::PanelBrush(highContrast));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Look::TextColor(highContrast, false));
        TextOutA(dc, text.left + margin, text.top, caption, lstrlenA(caption));
    }
    SelectObject(dc, oldFont);
}

}  // namespace GroupBox
