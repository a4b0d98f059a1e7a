// A small window program of our own for the driver's smoke test: one page-like window with the kinds
// of controls the wizard's pages have, at page coordinates, driven from another process as the
// wizard is. Its exit code reports what it saw, so the test can check input that reached it.
//
//   driver-target.exe [class name]      the window's class (default "TfrmWelcome")
//
// The title label shows the last answer to the Next button's question ("Answer 7" for No).
// Exit codes: Next answered Yes: 13000 + 1 (check box ticked) + 2 (second row ticked) + 4 (edit text
// "Hello, World!"); Cancel or Esc: 2; the disabled Back button: 4 (must never happen); close box: 3.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

enum ControlId { kTitle = 10, kList = 20, kEdit = 30, kCheck = 40, kBack = 50 };

const COLORREF kBackground = RGB(10, 200, 30);  // the smoke test finds it in the screenshot

HWND g_list = nullptr;
HWND g_edit = nullptr;
HWND g_check = nullptr;
bool g_filling = true;  // no required-row rule while the rows are added

HWND Create(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HIMAGELIST MakeImages() {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 2, 0);
    HDC screen = GetDC(nullptr);
    for (COLORREF colour : {RGB(200, 0, 0), RGB(0, 0, 200)}) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, 16, 16};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return images;
}

void FillList() {
    struct Column {
        const char* title;
        int width;
        int format;
    };
    const Column columns[] = {{" Components", 250, LVCFMT_LEFT}, {"Version", 75, LVCFMT_LEFT}, {"Space", 95, LVCFMT_RIGHT}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        SendMessageA(g_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    struct Row {
        const char* texts[3];
        int image;
        bool ticked;
    };
    const Row rows[] = {{{"Alpha component (Required)", "1.0", "~2,500 KB"}, 0, true},
                        {{"Beta library", "", "~0 KB"}, 1, false},
                        {{"Gamma", "3.1", "~1,000 KB"}, -1, true}};
    for (int r = 0; r < 3; ++r) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = r;
        item.iImage = rows[r].image;
        item.pszText = const_cast<char*>(rows[r].texts[0]);
        SendMessageA(g_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 1; c < 3; ++c) {
            LVITEMA sub{};
            sub.iSubItem = c;
            sub.pszText = const_cast<char*>(rows[r].texts[c]);
            SendMessageA(g_list, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&sub));
        }
        ListView_SetCheckState(g_list, r, rows[r].ticked);
    }
}

void CreateControls(HWND window) {
    Create(window, "Static", "Driver target", 0, 128, 104, 401, 16, kTitle);
    g_list = Create(window, WC_LISTVIEWA, "", WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                    128, 128, 441, 85, kList);
    ListView_SetExtendedListViewStyle(g_list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ListView_SetImageList(g_list, MakeImages(), LVSIL_SMALL);
    FillList();
    g_filling = false;
    g_edit = Create(window, "Edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 208, 224, 233, 21, kEdit);
    g_check = Create(window, "Button", "&Log files", WS_TABSTOP | BS_AUTOCHECKBOX, 128, 272, 441, 17, kCheck);
    HWND back = Create(window, "Button", "< &Back", WS_TABSTOP | BS_PUSHBUTTON, 320, 368, 89, 25, kBack);
    EnableWindow(back, FALSE);
    Create(window, "Button", "&Next >", WS_TABSTOP | BS_DEFPUSHBUTTON, 408, 368, 89, 25, IDOK);
    Create(window, "Button", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, 504, 368, 89, 25, IDCANCEL);
    SetFocus(g_edit);
}

void OnNext(HWND window) {
    const int answer = MessageBoxA(window, "Proceed with the test?\n\nSecond line.", "Confirm", MB_YESNO | MB_ICONQUESTION);
    SetDlgItemTextA(window, kTitle, ("Answer " + std::to_string(answer)).c_str());
    if (answer != IDYES) return;
    char text[64] = "";
    GetWindowTextA(g_edit, text, sizeof(text));
    int code = 13000;
    if (SendMessageA(g_check, BM_GETCHECK, 0, 0) == BST_CHECKED) code += 1;
    if (ListView_GetCheckState(g_list, 1)) code += 2;
    if (std::string(text) == "Hello, World!") code += 4;
    PostQuitMessage(code);
}

// The selection page's rule: the first row cannot be unticked.
void OnListChange(HWND window, const NMLISTVIEW& change) {
    if (g_filling || change.iItem != 0 || !(change.uChanged & LVIF_STATE)) return;
    if (ListView_GetCheckState(g_list, 0)) return;
    MessageBoxA(window, "This component is required.", "Information", MB_OK | MB_ICONINFORMATION);
    ListView_SetCheckState(g_list, 0, TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnNext(window); return 0;
        case IDCANCEL: PostQuitMessage(2); return 0;
        case kBack: PostQuitMessage(4); return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kList && header->code == LVN_ITEMCHANGED) {
            OnListChange(window, *reinterpret_cast<const NMLISTVIEW*>(lParam));
        }
        break;
    }
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CLOSE:
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string className = commandLine && *commandLine ? commandLine : "TfrmWelcome";

    WNDCLASSA cls{};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    cls.hbrBackground = CreateSolidBrush(kBackground);
    cls.lpszClassName = className.c_str();
    if (!RegisterClassA(&cls)) return 100;

    const DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, 600, 400};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, className.c_str(), "Tarnwick Setup Wizard", style, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 101;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return static_cast<int>(message.wParam);
}
