#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/FormParts.h"
#include "ui/ImageLists.h"

// A form at the DPI of its monitor: the layout tables are in 96-DPI pixels, and the window, every
// control's bounds, the fonts, the list columns and the list pictures scale by DPI / 96.

SIZE TForm::FrameSize() const {
    RECT frame = {0, 0, ScaleToDpi(formLayout.clientWidth, dpi), ScaleToDpi(formLayout.clientHeight, dpi)};
    Dpi::AdjustWindowRect(frame, FormParts::FormStyle(formLayout.border), 0, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

ScaledBounds TForm::BoundsOf(const ControlLayout& control) const {
    int left = control.left, top = control.top;
    if (const ControlLayout* group = control.groupBox ? LayoutNamed(control.groupBox) : nullptr) {
        left += group->left;
        top += group->top;
    }
    return ScaleBounds(left, top, control.width, control.height, dpi);
}

void TForm::PlaceControls() {
    for (const ControlLayout& c : controls) {
        if (!c.window || !*c.window) continue;
        const ScaledBounds bounds = BoundsOf(c);
        SetWindowPos(*c.window, nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(*c.window, WM_SETFONT, reinterpret_cast<WPARAM>(FormParts::FontFor(c, dpi)), TRUE);
    }
    ClipGroupBoxes();
}

void TForm::ApplyDpi(int newDpi, const RECT* suggested) {
    if (newDpi <= 0) return;
    const bool changed = newDpi != dpi;
    dpi = newDpi;
    // At the place Windows suggests, with exactly the client size the layout asks for at this DPI.
    RECT now;
    GetWindowRect(hwnd, &now);
    const SIZE frame = FrameSize();
    const int left = suggested ? suggested->left : now.left, top = suggested ? suggested->top : now.top;
    SetWindowPos(hwnd, nullptr, left, top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame is not drawn at the window's DPI (a system without per-monitor frames), the
    // client area comes out different: correct the size by what is missing.
    RECT client;
    GetClientRect(hwnd, &client);
    const int missingWidth = ScaleToDpi(formLayout.clientWidth, dpi) - client.right;
    const int missingHeight = ScaleToDpi(formLayout.clientHeight, dpi) - client.bottom;
    if (missingWidth || missingHeight) {
        SetWindowPos(hwnd, nullptr, 0, 0, frame.cx + missingWidth, frame.cy + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!changed) return;
    FormParts::SetIcons(hwnd, dpi);
    PlaceControls();
    ScaleLists();
    DropPaintedBackground();  // made again at the new size when next needed
    InvalidateRect(hwnd, nullptr, TRUE);
}

void TForm::SetListColumns(HWND list, const std::vector<ListColumn>& columns) {
    ListColumns scaled = {list, {}};
    for (const ListColumn& c : columns) {
        LVCOLUMNA column = {};
        column.mask = c.caption ? LVCF_TEXT | LVCF_WIDTH | LVCF_FMT : LVCF_WIDTH;
        column.fmt = c.format;
        column.cx = ScaleToDpi(c.width, dpi);
        column.pszText = const_cast<char*>(c.caption);
        SendMessageA(list, LVM_INSERTCOLUMNA, scaled.widths.size(), reinterpret_cast<LPARAM>(&column));
        scaled.widths.push_back(c.width);
    }
    listColumns.push_back(scaled);
}

void TForm::SetListPictures(HWND list, int bitmapId) {
    HIMAGELIST images = LoadImageStrip(Application::Instance(), bitmapId, ScaleToDpi(16, dpi));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    listPictures.push_back({list, bitmapId, images});
}

void TForm::ScaleLists() {
    for (const ListColumns& columns : listColumns) {
        for (size_t i = 0; i < columns.widths.size(); ++i)
            SendMessageA(columns.list, LVM_SETCOLUMNWIDTH, i, ScaleToDpi(columns.widths[i], dpi));
    }
    for (ListPictures& pictures : listPictures) {
        HIMAGELIST images = LoadImageStrip(Application::Instance(), pictures.bitmapId, ScaleToDpi(16, dpi));
        SendMessageA(pictures.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        FreeImageStrip(pictures.images);
        pictures.images = images;
    }
}

