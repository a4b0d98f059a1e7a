// Defines the GUIDs of oleacc.h here: the import library's IID_IAccessible is not the one Wine's
// oleacc answers to.
#include <initguid.h>

#include "WizardDriver.h"

#include <commctrl.h>
#include <oleacc.h>
#include <msi.h>

#include <cstddef>
#include <cstdlib>
#include <cstdio>
#include <cstring>

namespace driver {

namespace {

// Longest the driver waits for the target to answer one sent message.
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollIntervalMs = 10;

// Sends a message with a time-out; `ok` tells whether the target answered.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT answered =
        SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &result);
    if (ok) *ok = answered != 0;
    return answered ? static_cast<LRESULT>(result) : 0;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string WithoutAccessMarks(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" stands for one "&"
        result += text[i];
    }
    return result;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// Collects the windows that the enumeration passes to a filter; the callback must be a named
// CALLBACK function, a lambda does not have the calling convention on 32-bit Windows.
struct WindowSearch {
    DWORD processId;  // 0: any process
    const std::function<bool(HWND)>* accept;
    bool firstOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    if ((search->processId == 0 || ProcessOf(window) == search->processId) && (*search->accept)(window)) {
        search->found.push_back(window);
        if (search->firstOnly) return FALSE;
    }
    return TRUE;
}

// Top-level windows of a process in Z order (top first), filtered by `accept`.
std::vector<HWND> TopLevelWindows(DWORD processId, const std::function<bool(HWND)>& accept) {
    WindowSearch search{processId, &accept, false, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsMessageBox(HWND window) { return ClassOf(window) == "#32770" && IsWindowVisible(window); }

// Memory in another process for the list-view messages that take a pointer. The structures are those
// of the driver's own bitness, which the target shares (both are built for the same architecture).
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                               FALSE, ProcessOf(owner));
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_ && !keep_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Valid() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ && WriteProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ && ReadProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    // For posted messages: the target reads the block some time later, so it must stay allocated.
    // It is a page per call in a short-lived test process, freed when that process ends.
    void KeepForTarget() { keep_ = true; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
    bool keep_ = false;
};

constexpr size_t kTextCapacity = 1024;

struct RemoteItem {
    LVITEMA item;
    char text[kTextCapacity];
};

struct RemoteColumn {
    LVCOLUMNA column;
    char text[kTextCapacity];
};

bool SendInputs(std::vector<INPUT> inputs) {
    if (inputs.empty()) return true;
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0 /* MAPVK_VK_TO_VSC */));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (virtualKey) {  // keys of the extended block carry the extended flag on a real keyboard
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    return input;
}

// Key presses with modifiers held around them, released in reverse order.
bool PressWith(const std::vector<WORD>& modifiers, WORD virtualKey) {
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) inputs.push_back(KeyInput(*m, true));
    return SendInputs(inputs);
}

// Reads what the screen shows in `area` (screen coordinates) as COLORREFs, row by row from the top.
bool CaptureScreen(const RECT& area, std::vector<COLORREF>* pixels) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory && picture && bits) {
        HGDIOBJ previous = SelectObject(memory, picture);
        copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
        if (copied) {
            const auto* source = static_cast<const unsigned char*>(bits);  // B, G, R, unused
            pixels->resize(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < pixels->size(); ++i, source += 4) (*pixels)[i] = RGB(source[2], source[1], source[0]);
        }
    }
    if (picture) DeleteObject(picture);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied;
}

// Draws `icon` stretched to width x height on `background`, as COLORREFs row by row from the top.
bool DrawIconPixels(HICON icon, int width, int height, COLORREF background, std::vector<COLORREF>* pixels) {
    if (!icon) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC memory = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool drawn = false;
    if (memory && picture && bits) {
        HGDIOBJ previous = SelectObject(memory, picture);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        drawn = DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
        if (drawn) {
            const auto* source = static_cast<const unsigned char*>(bits);
            pixels->resize(static_cast<size_t>(width) * height);
            for (size_t i = 0; i < pixels->size(); ++i, source += 4) (*pixels)[i] = RGB(source[2], source[1], source[0]);
        }
    }
    if (picture) DeleteObject(picture);
    if (memory) DeleteDC(memory);
    return drawn;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();  // unsigned differences survive the counter's wrap
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(kPollIntervalMs);
    }
}

// ---------------------------------------------------------------------------------------------------
// Process

Process::~Process() {
    Kill();
    if (handle_) CloseHandle(handle_);
}

bool Process::Start(const std::string& exePath, const std::string& arguments, const std::string& workingFolder) {
    if (Running()) return false;
    if (handle_) CloseHandle(handle_);  // an earlier run of this object has ended
    handle_ = nullptr;
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exePath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool Process::Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

bool Process::WaitForExit(DWORD timeoutMs) {
    return handle_ && WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_) GetExitCodeProcess(handle_, &code);
    return code;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(handle_, 0xDEAD);
    WaitForSingleObject(handle_, kDefaultTimeoutMs);
}

std::string Process::Backtraces() const {
    char folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "bt", 0, file)) return {};
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return {};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
    char commandLine[] = "winedbg --command \"bt all\"";
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &info)) {
        if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(out);
    // winedbg heads each thread "Backtracing for thread <tid> in process <pid> (...):", ids in hex.
    std::string kept, line;
    bool ours = false;
    FILE* text = fopen(file, "r");
    for (char buffer[1024]; text && fgets(buffer, sizeof buffer, text);) {
        line = buffer;
        unsigned thread = 0, process = 0;
        if (sscanf(buffer, "Backtracing for thread %x in process %x", &thread, &process) == 2) ours = process == id_;
        // Its own messages (it cannot attach to itself) are not part of the backtraces.
        ours = ours && (line.rfind("Backtrac", 0) == 0 || line.rfind("=>", 0) == 0 || line.rfind("  ", 0) == 0);
        if (ours) kept += line;
    }
    if (text) fclose(text);
    DeleteFileA(file);
    return kept;
}

// ---------------------------------------------------------------------------------------------------
// Top-level windows

const char* const kPageClasses[7] = {"TfrmWelcome",        "TfrmSelection", "TfrmDestination", "TfrmContactInfo",
                                     "TfrmReadyToInstall", "TfrmProgress",  "TfrmSuccess"};

HWND FindWindowOf(DWORD processId, const std::string& className) {
    const auto found = TopLevelWindows(
        processId, [&](HWND w) { return IsWindowVisible(w) && EqualNoCase(ClassOf(w), className); });
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    return TopLevelWindows(processId, [](HWND w) { return IsWindowVisible(w) != FALSE; });
}

HWND WaitForWindowOf(DWORD processId, const std::string& className, DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowOf(processId, className)) != nullptr; }, timeoutMs);
    return window;
}

std::string CurrentPage(DWORD processId) {
    const auto pages = TopLevelWindows(processId, [](HWND w) {
        if (!IsWindowVisible(w)) return false;
        const std::string name = ClassOf(w);
        for (const char* page : kPageClasses) {
            if (name == page) return true;
        }
        return false;
    });
    return pages.empty() ? std::string() : ClassOf(pages.front());
}

HWND WaitForPage(DWORD processId, const std::string& pageClass, DWORD timeoutMs) {
    HWND page = nullptr;
    WaitUntil(
        [&] {
            page = CurrentPage(processId) == pageClass ? FindWindowOf(processId, pageClass) : nullptr;
            return page != nullptr;
        },
        timeoutMs);
    return page;
}

bool WaitForNoVisibleWindow(DWORD processId, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            // The hidden main form sits off-screen but visible; only windows on the desktop count.
            return TopLevelWindows(processId, [](HWND w) {
                       if (!IsWindowVisible(w)) return false;
                       const RECT r = WindowRect(w);
                       return r.right > 0 && r.bottom > 0;
                   }).empty();
        },
        timeoutMs);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT WindowPosition(HWND window) {
    const RECT rect = WindowRect(window);
    return {rect.left, rect.top};
}

bool MoveWindowTo(HWND window, int left, int top) {
    Send(window, WM_ENTERSIZEMOVE, 0, 0);
    const BOOL moved = SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Send(window, WM_EXITSIZEMOVE, 0, 0);
    return moved && WaitUntil([&] {
               const POINT at = WindowPosition(window);
               return at.x == left && at.y == top;
           });
}

// ---------------------------------------------------------------------------------------------------
// Controls

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

RECT ChildBounds(HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND ChildAt(HWND parent, int x, int y, const std::string& className) {
    for (HWND child : ChildrenOf(parent)) {
        const RECT bounds = ChildBounds(child);
        if (bounds.left == x && bounds.top == y && (className.empty() || EqualNoCase(ClassOf(child), className))) {
            return child;
        }
    }
    return nullptr;
}

HWND ChildButton(HWND parent, const std::string& caption) {
    const std::string wanted = WithoutAccessMarks(caption);
    const std::function<bool(HWND)> accept = [&](HWND child) {
        return EqualNoCase(ClassOf(child), "Button") && WithoutAccessMarks(TextOf(child)) == wanted;
    };
    WindowSearch search{0, &accept, true, {}};
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::string TextOf(HWND window) {
    bool ok = false;
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0, &ok);
    if (!ok || length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = Send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &ok);
    if (!ok) return {};
    return std::string(buffer.data(), static_cast<size_t>(copied < length ? copied : length));
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
bool IsShown(HWND window) { return IsWindowVisible(window) != FALSE; }

int CheckState(HWND button) {
    bool ok = false;
    const LRESULT state = Send(button, BM_GETCHECK, 0, 0, &ok);
    return ok ? static_cast<int>(state) : -1;
}

bool IsDefaultButton(HWND button) {
    return (GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool Click(HWND button) {
    // Wine's buttons obey BM_CLICK even when disabled; a user's click could not reach such a button,
    // nor one of a window disabled by a modal box, nor a hidden one.
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    const HWND top = GetAncestor(button, GA_ROOT);
    if (top && !IsWindowEnabled(top)) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool PressCloseBox(HWND window) {
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

bool SetText(HWND edit, const std::string& text) {
    bool ok = false;
    const LRESULT done = Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok);
    return ok && done;
}

bool Focus(HWND control) {
    const DWORD target = GetWindowThreadProcessId(control, nullptr);
    const DWORD self = GetCurrentThreadId();
    const bool attached = target != self && AttachThreadInput(self, target, TRUE);
    SetFocus(control);
    if (attached) AttachThreadInput(self, target, FALSE);
    return WaitUntil([&] { return FocusedControl(control) == control; }, 2000);
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// ---------------------------------------------------------------------------------------------------
// Keyboard

bool BringToFront(HWND window, DWORD timeoutMs) {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    if (WaitUntil([&] { return GetForegroundWindow() == window; }, timeoutMs / 2)) return true;
    // Windows refuses the foreground to a process that does not own it; joining the input of the
    // current foreground thread lifts that.
    const DWORD self = GetCurrentThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = foreground && foreground != self && AttachThreadInput(self, foreground, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(self, foreground, FALSE);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, timeoutMs / 2);
}

bool PressKey(WORD virtualKey) { return PressWith({}, virtualKey); }
bool PressShiftKey(WORD virtualKey) { return PressWith({VK_SHIFT}, virtualKey); }
bool PressAltKey(WORD virtualKey) { return PressWith({VK_MENU}, virtualKey); }

bool PressAlt(char letter) {
    const SHORT scan = VkKeyScanA(letter);
    if (scan == -1) return false;
    return PressWith({VK_MENU}, static_cast<WORD>(scan & 0xFF));
}

bool TypeText(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) {
            // No key on this layout makes the character: send it as a character.
            INPUT down{};
            down.type = INPUT_KEYBOARD;
            down.ki.wScan = static_cast<unsigned char>(c);
            down.ki.dwFlags = KEYEVENTF_UNICODE;
            INPUT up = down;
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            if (!SendInputs({down, up})) return false;
            continue;
        }
        std::vector<WORD> modifiers;
        if (scan & 0x100) modifiers.push_back(VK_SHIFT);
        if (scan & 0x200) modifiers.push_back(VK_CONTROL);
        if (scan & 0x400) modifiers.push_back(VK_MENU);
        if (!PressWith(modifiers, static_cast<WORD>(scan & 0xFF))) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// List views

int ListRowCount(HWND list) {
    bool ok = false;
    const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0, &ok);
    return ok ? static_cast<int>(count) : -1;
}

int ListColumnCount(HWND list) {
    const HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    if (!header) return 0;
    bool ok = false;
    const LRESULT count = Send(header, HDM_GETITEMCOUNT, 0, 0, &ok);
    return ok && count > 0 ? static_cast<int>(count) : 0;
}

std::string ListColumnTitle(HWND list, int column) {
    RemoteBlock block(list, sizeof(RemoteColumn));
    if (!block.Valid()) return {};
    RemoteColumn local{};
    local.column.mask = LVCF_TEXT;
    local.column.pszText = block.At(offsetof(RemoteColumn, text));
    local.column.cchTextMax = kTextCapacity;
    if (!block.Write(0, &local, sizeof(local))) return {};
    if (!Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(block.At(0)))) return {};
    if (!block.Read(0, &local, sizeof(local))) return {};
    local.text[kTextCapacity - 1] = '\0';
    return local.text;
}

int ListColumnWidth(HWND list, int column) {
    return static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string ListCell(HWND list, int row, int column) {
    RemoteBlock block(list, sizeof(RemoteItem));
    if (!block.Valid()) return {};
    RemoteItem local{};
    local.item.mask = LVIF_TEXT;
    local.item.iItem = row;
    local.item.iSubItem = column;
    local.item.pszText = block.At(offsetof(RemoteItem, text));
    local.item.cchTextMax = kTextCapacity;
    if (!block.Write(0, &local, sizeof(local))) return {};
    bool ok = false;
    const LRESULT length =
        Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.At(0)), &ok);
    if (!ok || length <= 0) return {};
    if (!block.Read(0, &local, sizeof(local))) return {};
    const size_t size = static_cast<size_t>(length) < kTextCapacity ? static_cast<size_t>(length) : kTextCapacity - 1;
    if (local.item.pszText != block.At(offsetof(RemoteItem, text))) {
        // The list may point pszText at its own storage instead of copying into ours.
        std::string text(size, '\0');
        SIZE_T done = 0;
        HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, ProcessOf(list));
        const bool read = process && ReadProcessMemory(process, local.item.pszText, &text[0], size, &done);
        if (process) CloseHandle(process);
        return read ? text.substr(0, strnlen(text.c_str(), done)) : std::string();
    }
    return std::string(local.text, strnlen(local.text, size));
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    const int count = ListRowCount(list);
    int columns = ListColumnCount(list);
    if (columns <= 0) columns = 1;  // a list without columns still has the item text
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) cells.push_back(ListCell(list, row, column));
        rows.push_back(cells);
    }
    return rows;
}

bool ListTicked(HWND list, int row) {
    const LRESULT state = Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;  // state image 1: unticked, 2: ticked
}

bool ListSelected(HWND list, int row) {
    return (Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int ListImage(HWND list, int row) {
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.Valid()) return -2;
    LVITEMA local{};
    local.mask = LVIF_IMAGE;
    local.iItem = row;
    if (!block.Write(0, &local, sizeof(local))) return -2;
    if (!Send(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(0)))) return -2;
    if (!block.Read(0, &local, sizeof(local))) return -2;
    return local.iImage;
}

namespace {

bool PostItemState(HWND list, int row, UINT mask, UINT state) {
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.Valid()) return false;
    LVITEMA local{};
    local.stateMask = mask;
    local.state = state;
    if (!block.Write(0, &local, sizeof(local))) return false;
    if (!PostMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.At(0)))) {
        return false;
    }
    block.KeepForTarget();
    return true;
}

}  // namespace

bool SetListTick(HWND list, int row, bool ticked) {
    return PostItemState(list, row, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1));
}

bool SelectListRow(HWND list, int row) {
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    return PostItemState(list, -1, LVIS_SELECTED, 0) && PostItemState(list, row, both, both);
}

// ---------------------------------------------------------------------------------------------------
// Message boxes

HWND FindMessageBox(DWORD processId, const std::string& caption) {
    const auto boxes = TopLevelWindows(processId, [&](HWND w) { return IsMessageBox(w) && TextOf(w) == caption; });
    return boxes.empty() ? nullptr : boxes.front();
}

HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(processId, caption)) != nullptr; }, timeoutMs);
    return box;
}

HWND FindAnyMessageBox(DWORD processId) {
    const auto boxes = TopLevelWindows(processId, IsMessageBox);
    return boxes.empty() ? nullptr : boxes.front();
}

std::string MessageBoxText(HWND box) {
    for (HWND child : ChildrenOf(box)) {
        if (!EqualNoCase(ClassOf(child), "Static")) continue;
        const LONG_PTR type = GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) continue;
        std::string text = TextOf(child);
        if (text.empty()) continue;
        std::string result;  // the box may hold "\r\n"; tests compare with "\n"
        for (char c : text) {
            if (c != '\r') result += c;
        }
        return result;
    }
    return {};
}

bool MessageBoxHasButton(HWND box, int buttonId) {
    const HWND button = GetDlgItem(box, buttonId);
    return button && IsWindowVisible(button);
}

namespace {

constexpr int kStandardIcons[] = {32514 /* IDI_QUESTION */, 32516 /* IDI_INFORMATION */, 32513 /* IDI_ERROR */,
                                  32515 /* IDI_WARNING */};

// Which standard icon the screen shows in `area`: each candidate is drawn as the static control draws
// it (stretched to the control, on the colour of its corner) and compared pixel by pixel.
int IconShownIn(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<COLORREF> shown;
    if (width <= 0 || height <= 0 || !CaptureScreen(area, &shown)) return 0;
    for (int id : kStandardIcons) {
        std::vector<COLORREF> drawn;
        if (!DrawIconPixels(LoadIconA(nullptr, MAKEINTRESOURCEA(id)), width, height, shown[0], &drawn)) continue;
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            const COLORREF a = shown[i], b = drawn[i];
            if (abs(GetRValue(a) - GetRValue(b)) > 24 || abs(GetGValue(a) - GetGValue(b)) > 24 ||
                abs(GetBValue(a) - GetBValue(b)) > 24) {
                ++differing;
            }
        }
        if (differing * 20 < shown.size()) return id;  // under 5 % of the pixels differ
    }
    return 0;
}

}  // namespace

int MessageBoxIcon(HWND box) {
    for (HWND child : ChildrenOf(box)) {
        if (!EqualNoCase(ClassOf(child), "Static")) continue;
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child)) continue;
        // On Windows the standard icons are shared handles, the same in every process.
        const HICON handle = reinterpret_cast<HICON>(Send(child, STM_GETICON, 0, 0));
        for (int id : kStandardIcons) {
            if (handle && handle == LoadIconA(nullptr, MAKEINTRESOURCEA(id))) return id;
        }
        // Wine loads them per process, so compare what the box shows; it may not be painted yet.
        int id = 0;
        WaitUntil([&] { return (id = IconShownIn(WindowRect(child))) != 0; }, 2000);
        return id;
    }
    return 0;
}

bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
    const HWND button = GetDlgItem(box, buttonId);
    if (!button || !Click(button)) return false;
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

bool AnswerMessageBoxWithKey(HWND box, WORD virtualKey, DWORD timeoutMs) {
    if (!BringToFront(box, timeoutMs) || !PressKey(virtualKey)) return false;
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

// ---------------------------------------------------------------------------------------------------
// Screenshots

bool SaveScreenshot(const RECT& area, const std::string& bmpPath) {
    std::vector<COLORREF> pixels;
    if (!CaptureScreen(area, &pixels)) return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, the usual order of a BMP file
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    header.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<unsigned char> rows(header.biSizeImage, 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* out = &rows[static_cast<size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
            *out++ = GetBValue(c);
            *out++ = GetGValue(c);
            *out++ = GetRValue(c);
        }
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* out = std::fopen(bmpPath.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                   std::fwrite(rows.data(), rows.size(), 1, out) == 1;
    written = std::fclose(out) == 0 && written;
    return written;
}

bool SaveWindowScreenshot(HWND window, const std::string& bmpPath) {
    return SaveScreenshot(WindowRect(window), bmpPath);
}

std::vector<COLORREF> ScreenPixels(const RECT& area) {
    std::vector<COLORREF> pixels;
    if (!CaptureScreen(area, &pixels)) pixels.clear();
    return pixels;
}

std::string AccessibleName(HWND window) {
    static const bool initialized = SUCCEEDED(CoInitialize(nullptr));
    (void)initialized;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        return "<no object>";
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string text;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        const int length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            text.resize(static_cast<size_t>(length));
            WideCharToMultiByte(CP_ACP, 0, name, -1, &text[0], length, nullptr, nullptr);
            text.resize(static_cast<size_t>(length - 1));
        }
        SysFreeString(name);
    }
    object->Release();
    return text;
}

}  // namespace driver

namespace driver {

void UninstallProducts(const std::string& namePrefix) {
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    // Enumerating while removing shifts the indexes, so collect first.
    std::vector<std::string> products;
    char code[39];
    for (DWORD i = 0; MsiEnumProductsA(i, code) == ERROR_SUCCESS; ++i) {
        char name[256] = "";
        DWORD length = sizeof name;
        MsiGetProductInfoA(code, "ProductName", name, &length);
        if (std::string(name).rfind(namePrefix, 0) == 0) products.push_back(code);
    }
    for (const std::string& product : products) {
        MsiConfigureProductA(product.c_str(), INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
    }
}

}  // namespace driver
