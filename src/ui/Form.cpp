#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/ImageLists.h"
#include "ui/Look.h"
#include "ui/Scaling.h"

namespace {

TForm* mainForm;
constexpr const char* FormProperty = "TarnwickForm";
constexpr const char* OriginalProcProperty = "TarnwickOriginalProc";

// Whether the layout puts `control` on the group box `group`.
bool OnGroupBox(const ControlLayout& control, const ControlLayout& group) {
    return control.groupBox && lstrcmpA(control.groupBox, group.name) == 0;
}

// Puts `window` right before (above) `target` in the z-order of their parent.
void PlaceBefore(HWND window, HWND target) {
    const HWND previous = GetWindow(target, GW_HWNDPREV);
    if (previous == window) return;
    SetWindowPos(window, previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

DWORD FormStyle(FormBorder border) {
    switch (border) {
    case FormBorder::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case FormBorder::DialogNoButtons: return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    case FormBorder::Main: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    }
    return WS_POPUP | WS_CAPTION;
}

bool IsPushButton(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0) return false;
    LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

struct ControlClass {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(const ControlLayout& control) {
    switch (control.kind) {
    case ControlKind::Label: {
        DWORD style = SS_NOPREFIX | ((control.options & coWordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP);
        return {"STATIC", style, 0};
    }
    case ControlKind::Button:
        return {"BUTTON", DWORD((control.options & coDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case ControlKind::CheckBox: return {"BUTTON", BS_AUTOCHECKBOX, 0};
    case ControlKind::Edit: return {"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case ControlKind::ListView: {
        // The pages own their image lists and free them; the list must not free them too.
        DWORD style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
        if (control.options & coNoHeader) style |= LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER;
        return {WC_LISTVIEWA, style, DWORD((control.options & coBorder) ? WS_EX_CLIENTEDGE : 0)};
    }
    case ControlKind::ProgressBar: return {PROGRESS_CLASSA, 0, 0};
    case ControlKind::GroupBox: return {"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Picture: break;
    }
    return {"STATIC", 0, 0};
}

HFONT FontFor(const ControlLayout& control, int dpi) {
    return (control.options & coTitle) ? Look::TitleFont(dpi)
           : (control.options & coBold) ? Look::BoldFont(dpi)
                                        : Look::BodyFont(dpi);
}

void SetIcons(HWND window, int dpi) {
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Look::AppIcon(ScaleToDpi(32, dpi))));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Look::AppIcon(ScaleToDpi(16, dpi))));
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

TForm* MainForm() { return mainForm; }

TForm::TForm(const FormLayout& layout) : formLayout(layout) {}

TForm::~TForm() { Destroy(); }

bool TForm::Create() {
    if (hwnd) return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(Application::Instance(), formLayout.className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = Application::Instance();
        wc.hIcon = Look::AppIcon(32);
        wc.hIconSm = Look::AppIcon(16);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = formLayout.className;
        if (!RegisterClassExA(&wc)) return false;
    }
    // Laid out for the system's DPI until it is shown on a monitor with another.
    dpi = Dpi::OfSystem();
    highContrast = Look::HighContrast();
    const SIZE frame = FrameSize();
    // Pages start at a fixed design position; the sequencer moves them before they are shown.
    // Pages belong to the main form: one task-bar entry for the whole wizard.
    HWND owner = mainForm ? mainForm->hwnd : nullptr;
    hwnd = CreateWindowExA(0, formLayout.className, Application::Title(), FormStyle(formLayout.border), 351, 216,
                           frame.cx, frame.cy, owner, nullptr, Application::Instance(), this);
    if (!hwnd) return false;
    if (!mainForm) mainForm = this;
    SetIcons(hwnd, dpi);
    if (!CreateControls()) return false;
    FormCreate();
    return true;
}

bool CreateOrReport(TForm& form) {
    if (form.Create()) return true;
    Application::ShowError("Windows refused to create a window of the wizard.");
    return false;
}

void TForm::Destroy() {
    if (!hwnd) return;
    FormDestroy();
    DestroyWindow(hwnd);
    hwnd = nullptr;
    DropPaintedBackground();
    for (const ListPictures& pictures : listPictures) FreeImageStrip(pictures.images);
    listPictures.clear();
    listColumns.clear();
    if (mainForm == this) mainForm = nullptr;
}

void TForm::DropPaintedBackground() {
    if (backgroundBrush) DeleteObject(backgroundBrush);
    if (backgroundBitmap) DeleteObject(backgroundBitmap);
    backgroundBrush = nullptr;
    backgroundBitmap = nullptr;
}

SIZE TForm::FrameSize() const {
    RECT frame = {0, 0, ScaleToDpi(formLayout.clientWidth, dpi), ScaleToDpi(formLayout.clientHeight, dpi)};
    Dpi::AdjustWindowRect(frame, FormStyle(formLayout.border), 0, dpi);
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

bool TForm::CreateControls() {
    controls = Layout();
    // Tab order follows the windows' order, so controls are created in Tab order; controls that Tab
    // never reaches follow in declaration order.
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : controls) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
        int ka = a->tabOrder < 0 ? 1 << 20 : a->tabOrder;
        int kb = b->tabOrder < 0 ? 1 << 20 : b->tabOrder;
        return ka < kb;
    });
    int id = 100;
    for (const ControlLayout* c : order) {
        if (c->kind == ControlKind::Picture) continue;
        const ScaledBounds bounds = BoundsOf(*c);
        ControlClass cls = ClassFor(*c);
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.style;
        if (!(c->options & coHidden)) style |= WS_VISIBLE;
        if (c->options & coDisabled) style |= WS_DISABLED;
        if (c->tabOrder >= 0) style |= WS_TABSTOP;
        HWND control = CreateWindowExA(cls.exStyle, cls.className, c->caption ? c->caption : "", style,
                                       bounds.left, bounds.top, bounds.width, bounds.height, hwnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                                       Application::Instance(), nullptr);
        if (!control) return false;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*c, dpi)), FALSE);
        if (c->kind == ControlKind::Edit) SendMessageA(control, EM_LIMITTEXT, 0, 0);  // no length limit
        if (c->kind == ControlKind::GroupBox) {
            // The form paints the frame and caption; the window shows what the form painted.
            SetPropA(control, OriginalProcProperty,
                     reinterpret_cast<HANDLE>(SetWindowLongPtrA(control, GWLP_WNDPROC,
                                                                reinterpret_cast<LONG_PTR>(GroupBoxProc))));
        }
        if (c->window) *c->window = control;
        if (c->options & coDefault) defaultButton = control;
        if (c->options & coCancel) cancelButton = control;
    }
    ArrangeForScreenReaders();
    ClipGroupBoxes();
    ApplyColors();
    return true;
}

// The z-order, for screen readers: a label that names a control lies right before it (an edit box
// or a list takes its accessible name from there), a group box right before the first control on it
// (where a screen reader looks for the group of the focused control), every other label under all
// controls, as drawn text would (a label's box may reach under a list or a group box). Tab order is
// unchanged: labels and group boxes are no tab stops.
void TForm::ArrangeForScreenReaders() {
    const auto windowOf = [](const ControlLayout* c) { return c && c->window ? *c->window : nullptr; };
    for (const ControlLayout& c : controls) {
        if (c.kind == ControlKind::Label && !c.names && windowOf(&c))
            SetWindowPos(*c.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (const ControlLayout& c : controls) {
        const ControlLayout* target = c.names ? LayoutNamed(c.names) : nullptr;
        const HWND named = windowOf(target);
        if (c.kind != ControlKind::Label || !windowOf(&c) || !named) continue;
        PlaceBefore(*c.window, named);
        // A list draws none of its own window text: it carries the label's for readers that take
        // the name from there (Wine's oleacc among them).
        if (target->kind == ControlKind::ListView) SetWindowTextA(named, c.caption);
    }
    for (const ControlLayout& group : controls) {
        if (group.kind != ControlKind::GroupBox || !windowOf(&group)) continue;
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const ControlLayout* c = LayoutOf(child);
            if (c && OnGroupBox(*c, group)) {
                PlaceBefore(*group.window, child);
                break;
            }
        }
    }
}

// A group box window lies over its controls: its region leaves them out, so that they draw.
void TForm::ClipGroupBoxes() {
    for (const ControlLayout& group : controls) {
        if (group.kind != ControlKind::GroupBox || !group.window || !*group.window) continue;
        RECT box;
        GetWindowRect(*group.window, &box);
        HRGN region = CreateRectRgn(0, 0, box.right - box.left, box.bottom - box.top);
        for (const ControlLayout& c : controls) {
            if (!OnGroupBox(c, group) || !c.window || !*c.window) continue;
            RECT r;
            GetWindowRect(*c.window, &r);
            HRGN hole = CreateRectRgn(r.left - box.left, r.top - box.top, r.right - box.left, r.bottom - box.top);
            CombineRgn(region, region, hole, RGN_DIFF);
            DeleteObject(hole);
        }
        SetWindowRgn(*group.window, region, TRUE);  // the window owns the region from here on
    }
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

LRESULT CALLBACK TForm::GroupBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(box, OriginalProcProperty));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(box, &paint);
        if (TForm* form = FromWindow(box)) {
            RECT r;
            GetClientRect(box, &r);
            POINT origin = {0, 0};
            MapWindowPoints(box, form->hwnd, &origin, 1);
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

void TForm::PlaceControls() {
    for (const ControlLayout& c : controls) {
        if (!c.window || !*c.window) continue;
        const ScaledBounds bounds = BoundsOf(c);
        SetWindowPos(*c.window, nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(*c.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c, dpi)), TRUE);
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
    SetIcons(hwnd, dpi);
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

const ControlLayout* TForm::LayoutNamed(const char* name) const {
    for (const ControlLayout& c : controls) {
        if (lstrcmpA(c.name, name) == 0) return &c;
    }
    return nullptr;
}

const ControlLayout* TForm::LayoutOf(HWND control) const {
    for (const ControlLayout& c : controls) {
        if (c.window && *c.window == control) return &c;
    }
    return nullptr;
}

TForm* TForm::FromWindow(HWND window) {
    HWND top = window ? GetAncestor(window, GA_ROOT) : nullptr;
    return top ? static_cast<TForm*>(GetPropA(top, FormProperty)) : nullptr;
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<TForm*>(create->lpCreateParams);
        form->hwnd = window;
        SetPropA(window, FormProperty, form);
    }
    auto* form = static_cast<TForm*>(GetPropA(window, FormProperty));
    if (message == WM_NCDESTROY) RemovePropA(window, FormProperty);
    if (!form || message == WM_NCDESTROY) return DefWindowProcA(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) ControlCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: return ControlNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ERASEBKGND: PaintBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_CLOSE: Close(); return 0;
    case WM_DPICHANGED: ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: {
        // A high-contrast theme switched on or off, or other system colours: paint anew with them.
        const bool now = Look::HighContrast();
        if (message == WM_SETTINGCHANGE && now == highContrast) break;
        highContrast = now;
        DropPaintedBackground();
        ApplyColors();
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);  // common controls learn of it from their parent
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        break;
    }
    case WM_ACTIVATE: {
        // A top-level window that is not a dialog forgets its focused control when another window
        // (a message box, say) takes over: remember it and give it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) lastFocus = focus;
        } else if (lastFocus && IsWindow(lastFocus) && IsWindowEnabled(lastFocus) && IsWindowVisible(lastFocus)) {
            SetFocus(lastFocus);
            return 0;
        }
        break;
    }
    default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
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
        if (c.kind == ControlKind::GroupBox) PaintGroupBox(dc, c);
    }
}

void TForm::PaintGroupBox(HDC dc, const ControlLayout& group) {
    const ScaledBounds bounds = BoundsOf(group);
    RECT box = {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
    if (group.options & coWhite) FillRect(dc, &box, Look::PanelBrush(highContrast));
    HGDIOBJ oldFont = SelectObject(dc, Look::BodyFont(dpi));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    // The frame runs through the middle of the caption, which interrupts it.
    RECT frame = box;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (group.caption && *group.caption) {
        SIZE extent;
        GetTextExtentPoint32A(dc, group.caption, lstrlenA(group.caption), &extent);
        const int indent = ScaleToDpi(8, dpi), margin = ScaleToDpi(2, dpi);
        RECT text = {box.left + indent, box.top, box.left + indent + extent.cx + 2 * margin, box.top + metrics.tmHeight};
        if (group.options & coWhite) FillRect(dc, &text, Look::PanelBrush(highContrast));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Look::TextColor(highContrast, false));
        TextOutA(dc, text.left + margin, text.top, group.caption, lstrlenA(group.caption));
    }
    SelectObject(dc, oldFont);
}

bool TForm::PreTranslateMessage(MSG& msg) {
    if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        HWND target = cancelButton;
        if (msg.wParam == VK_RETURN) {
            // Enter presses the focused push button, otherwise the default button.
            HWND focus = GetFocus();
            target = focus && IsChild(hwnd, focus) && IsPushButton(focus) ? focus : defaultButton;
        }
        if (target && IsWindowVisible(target) && IsWindowEnabled(target)) PressButton(target);
        return true;
    }
    return IsDialogMessageA(hwnd, &msg) != FALSE;
}

void TForm::PressButton(HWND button) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void TForm::ShowWindowNow() {
    // A page shows at the DPI of the monitor it shows on, which may not be the one it last showed on.
    RECT area;
    GetWindowRect(hwnd, &area);
    const int monitorDpi = Dpi::OfMonitorAt(area);
    if (monitorDpi != dpi) ApplyDpi(monitorDpi, nullptr);
    if (formLayout.centerOnFirstShow && !shownBefore) CenterOnWorkArea();
    shownBefore = true;
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    HWND focus = lastFocus && IsWindow(lastFocus) && IsWindowEnabled(lastFocus) && IsWindowVisible(lastFocus)
                     ? lastFocus
                     : InitialFocus();
    if (focus) SetFocus(focus);
    UpdateWindow(hwnd);
}

void TForm::CenterOnWorkArea() {
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TForm::FirstTabStop() const {
    // Children are created in Tab order, so the first usable tab stop is the first in that order.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
    }
    return nullptr;
}

void TForm::HideWindowNow() {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) lastFocus = focus;
    ShowWindow(hwnd, SW_HIDE);
}

int TForm::ShowModal() {
    // Once the application is ending no page may take input.
    if (Application::Terminated()) return mrCancel;
    modalResult = mrNone;
    // Like a dialog, the form disables the thread's other windows while it is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);

    FormShow();
    ShowWindowNow();
    inModalLoop = true;
    for (;;) {
        if (Application::Terminated()) {
            modalResult = mrCancel;
            break;
        }
        if (modalResult != mrNone) {
            if (FormCloseQuery()) {
                FormClose();
                break;
            }
            modalResult = mrNone;
        }
        Application::HandleMessage();
    }
    inModalLoop = false;
    for (HWND window : disabled) EnableWindow(window, TRUE);
    HideWindowNow();
    return modalResult;
}

void TForm::Show() {
    FormShow();
    // The main form's show handler runs the whole wizard; once that has ended nothing is shown.
    if (!Application::Terminated()) ShowWindowNow();
}

void TForm::Hide() { HideWindowNow(); }

void TForm::Close() {
    if (inModalLoop) {
        modalResult = mrCancel;
    } else if (mainForm == this) {
        Application::Terminate();
    } else if (formLayout.border != FormBorder::DialogNoButtons) {
        // A form without title-bar buttons offers no way to close it.
        HideWindowNow();
    }
}

bool TForm::Visible() const { return hwnd && IsWindowVisible(hwnd); }

int TForm::Left() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.left;
}

int TForm::Top() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.top;
}

void TForm::SetLeft(int left) {
    SetWindowPos(hwnd, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetTop(int top) {
    SetWindowPos(hwnd, nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::Ask(const char* text, const char* caption, UINT style) {
    return MessageBoxA(hwnd, text, caption, style);
}

std::string TForm::GetText(HWND control) {
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void TForm::SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }
