#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/ControlOrder.h"
#include "ui/FormParts.h"
#include "ui/GroupBox.h"
#include "ui/Look.h"

// The controls of a form: made from its layout table, in Tab order, then ordered for screen readers.

namespace {

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

}  // namespace

namespace FormParts {

HFONT FontFor(const ControlLayout& control, int dpi) {
    return (control.options & coTitle) ? Look::TitleFont(dpi)
           : (control.options & coBold) ? Look::BoldFont(dpi)
                                        : Look::BodyFont(dpi);
}

bool OnGroupBox(const ControlLayout& control, const ControlLayout& group) {
    return control.groupBox && lstrcmpA(control.groupBox, group.name) == 0;
}

}  // namespace FormParts

bool TForm::CreateControls() {
    controls = Layout();
    const std::vector<const ControlLayout*> order = CreationOrder(controls);
    int id = 100;
    for (const ControlLayout* c : order) {
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
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FormParts::FontFor(*c, dpi)), FALSE);
        if (c->kind == ControlKind::Edit) SendMessageA(control, EM_LIMITTEXT, 0, 0);  // no length limit
        if (c->kind == ControlKind::GroupBox) GroupBox::Attach(control);
        if (c->window) *c->window = control;
        if (c->options & coDefault) defaultButton = control;
        if (c->options & coCancel) cancelButton = control;
    }
    ArrangeForScreenReaders();
    ClipGroupBoxes();
    ApplyColors();
    return true;
}

// The z-order screen readers need (see ScreenReaderOrder), made so.
void TForm::ArrangeForScreenReaders() {
    HWND above = HWND_TOP;
    for (const ControlLayout* c : ScreenReaderOrder(controls)) {
        if (!c->window || !*c->window) continue;
        SetWindowPos(*c->window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = *c->window;
    }
    // A list draws none of its own window text: it carries the name of the label or group box that
    // names it, for readers that take the name from there (Wine's oleacc among them).
    for (const ControlLayout& c : controls) {
        const ControlLayout* named = c.names ? LayoutNamed(c.names) : nullptr;
        if (named && named->kind == ControlKind::ListView && named->window && *named->window)
            SetWindowTextA(*named->window, c.caption);
    }
}

// Each group box's window leaves out the controls on it.
void TForm::ClipGroupBoxes() {
    for (const ControlLayout& group : controls) {
        if (group.kind != ControlKind::GroupBox || !group.window || !*group.window) continue;
        std::vector<HWND> inside;
        for (const ControlLayout& c : controls) {
            if (FormParts::OnGroupBox(c, group) && c.window && *c.window) inside.push_back(*c.window);
        }
        GroupBox::Clip(*group.window, inside);
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

HWND TForm::FirstTabStop() const {
    // Children are created in Tab order, so the first usable tab stop is the first in that order.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
    }
    return nullptr;
}

