#pragma once
// Drives a GUI program of another process from the outside, as a user would: it starts the program,
// finds its windows, reads what they show, presses buttons and keys, answers message boxes and takes
// screenshots. The end-to-end tests use it on TarnwickSetup.exe; it knows nothing of the wizard's code.
//
// Everything here works on the windows of one target process, identified by its process id. Calls
// that send a message to the target use a time-out, so a hung target fails a test instead of hanging
// it. Calls that make the target do something (a click, a key) return at once: a click may open a
// modal message box, and the driver must stay free to answer it. Check the outcome with WaitUntil.
//
// What we found out under Wine 8 (wine64, Xvfb, no window manager, prefix with unmanaged windows),
// measured with the smoke test's window program:
// - Foreground and focus: a new process's first window becomes the foreground window by itself.
//   SetForegroundWindow from the driver's process works at once on another process's window (Wine
//   has no foreground lock); GetForegroundWindow names it within a millisecond. Windows may refuse
//   it to a background process, so BringToFront waits, checks and falls back to AttachThreadInput
//   with the foreground thread. A message box becomes the foreground window when it opens, and its
//   owner is foreground again once it is answered. SetFocus on another thread's control needs
//   AttachThreadInput (Focus does it); GetGUIThreadInfo reports the focused control of any thread.
// - SendInput: keys go to the focused control of the foreground window, whoever sent them; keys sent
//   while another program is foreground reach that program, so call BringToFront first (the key
//   functions do not). Typed characters (VkKeyScan'd keys) arrive as WM_KEYDOWN/WM_CHAR, Alt+letter
//   as WM_SYSKEYDOWN/WM_SYSCHAR, so IsDialogMessage's Tab, Shift+Tab, Enter (default button), Esc
//   (IDCANCEL), Space and access keys work; Alt+F4 closes the window (WM_CLOSE).
// - Message boxes: top-level "#32770" windows whose text is the caption; the text is a static
//   control with id 0xFFFF, the icon a static with SS_ICON (id 1088 in Wine, 0x14 on Windows);
//   buttons carry IDYES/IDNO/IDOK. Enter presses the default button, N presses No. Unlike Windows,
//   Wine closes a Yes/No box (one without Cancel) on Esc, returning IDCANCEL: do not rely on Esc
//   being ignored there. Standard icons are loaded per process in Wine, so the icon is recognised by
//   comparing the pixels shown with LoadIcon's icon drawn locally (on Windows the handles match).
// - Buttons: Wine's buttons obey a posted BM_CLICK even when disabled, so Click refuses disabled or
//   hidden buttons and buttons of a disabled window (a modal box is up), as a mouse click would.
// - Cross-process list views: VirtualAllocEx/WriteProcessMemory/ReadProcessMemory around
//   LVM_GETITEMTEXTA / LVM_GETITEMA / LVM_GETCOLUMNA work unchanged; LVM_GETITEMSTATE needs no memory.
// - BitBlt from the screen DC reads what Xvfb shows, message boxes over pages included.
// - Timing (unmanaged windows, running wineserver): a new process's first window appears after
//   about 0.25 s; a click that opens a message box shows it after 60-75 ms; an answered box is gone
//   after about 10 ms; five typed characters are in an edit box after about 55 ms; moving a window
//   takes about 15 ms; Esc to process exit about 30 ms. Keep time-outs generous (seconds): they cost
//   nothing when the condition is met early, and a loaded machine is slower.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// Generous default: the tests wait for conditions that are usually met within milliseconds.
constexpr DWORD kDefaultTimeoutMs = 10000;

// Calls `condition` every 10 ms until it returns true or `timeoutMs` has passed. Returns whether it
// became true. The condition is checked once more at the deadline.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);

// ---------------------------------------------------------------------------------------------------
// Process

// A program started by the driver. The destructor ends it if it is still running.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `exePath` with `arguments` (the text after the program name; may be empty) in
    // `workingFolder` (empty: the driver's own). Returns false when the program could not start.
    bool Start(const std::string& exePath, const std::string& arguments, const std::string& workingFolder);
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_; }
    bool Running() const;
    // Waits until the program has ended; false on time-out (the program keeps running).
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeoutMs);
    // The full 32-bit exit code once ended; STILL_ACTIVE (259) while running.
    DWORD ExitCode() const;
    // Ends the program at once if it runs (exit code 0xDEAD) and waits for it to be gone.
    void Kill();
    // Where each of its threads is, as Wine's debugger backtraces them (winedbg "bt all", filtered
    // to this process); "" where there is no winedbg. For a failure to name what the program waits
    // for; takes some seconds.
    std::string Backtraces() const;

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// ---------------------------------------------------------------------------------------------------
// Top-level windows

// The visible top-level window of class `className` owned by process `processId`, or nullptr.
HWND FindWindowOf(DWORD processId, const std::string& className);
HWND WaitForWindowOf(DWORD processId, const std::string& className, DWORD timeoutMs = kDefaultTimeoutMs);

// Every visible top-level window of the process, top of the Z order first.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

// The wizard's page classes, in page order.
extern const char* const kPageClasses[7];
// The class name of the page showing now (the visible page window nearest the top of the Z order),
// or "" when no page is visible.
std::string CurrentPage(DWORD processId);
// Waits until `pageClass` is the page showing and returns its window, or nullptr on time-out.
HWND WaitForPage(DWORD processId, const std::string& pageClass, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits until no window of the process is visible any more (for example after the last page).
bool WaitForNoVisibleWindow(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);

RECT WindowRect(HWND window);                 // screen coordinates of the whole window
RECT ClientRectOnScreen(HWND window);         // screen coordinates of the client area
POINT WindowPosition(HWND window);            // top-left corner of the whole window
// Moves a top-level window's top-left corner to (left, top) in screen coordinates, the way the end
// of a user's drag does (WM_ENTERSIZEMOVE, the move, WM_EXITSIZEMOVE). Waits until it has moved.
bool MoveWindowTo(HWND window, int left, int top);

// ---------------------------------------------------------------------------------------------------
// Controls

std::string ClassOf(HWND window);
// Direct child windows of `parent`, top of the Z order first.
std::vector<HWND> ChildrenOf(HWND parent);
// The direct child whose top-left corner lies at (x, y) of `parent`'s client area; with a class name
// (case-insensitive, e.g. "Button", "Edit", "Static") only a child of that class. nullptr if none.
HWND ChildAt(HWND parent, int x, int y, const std::string& className = "");
// A button among all descendants whose caption is `caption`; "&Next >" and "Next >" both match
// "&Next >". nullptr if none.
HWND ChildButton(HWND parent, const std::string& caption);
// Position and size of a child in its parent's client area.
RECT ChildBounds(HWND child);

// The window's text through WM_GETTEXT (works for another process's edit boxes too).
std::string TextOf(HWND window);
bool IsEnabled(HWND window);
bool IsShown(HWND window);           // the window and all its parents are visible
int CheckState(HWND button);         // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE; -1 on failure
bool IsDefaultButton(HWND button);   // has the BS_DEFPUSHBUTTON style

// Presses a button by posting BM_CLICK: returns at once, so a modal box that the click opens does
// not block the driver. False, and nothing happens, when a user could not click it: the button is
// hidden or disabled, or its window is disabled (a modal box is up).
bool Click(HWND button);
// Replaces an edit box's text (WM_SETTEXT); the target sees EN_CHANGE as after typing.
bool SetText(HWND edit, const std::string& text);
// Asks a top-level window to close as its close box, Alt+F4 and the system menu do (posted
// WM_SYSCOMMAND SC_CLOSE). False when the window has no system menu (no close box).
bool PressCloseBox(HWND window);
// Gives `control` the keyboard focus (its top-level window should be the foreground window).
bool Focus(HWND control);
// The control with the keyboard focus in the thread that owns `window`, or nullptr.
HWND FocusedControl(HWND window);

// ---------------------------------------------------------------------------------------------------
// Keyboard, as a user types: the keys go to the foreground window's focused control.

// Makes `window` the foreground (active) window and waits until it is. False on time-out.
bool BringToFront(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
bool PressKey(WORD virtualKey);      // VK_RETURN, VK_ESCAPE, VK_TAB, VK_SPACE, ...
bool PressShiftKey(WORD virtualKey); // Shift+key, e.g. Shift+Tab
bool PressAlt(char letter);          // Alt+letter, the access key of a caption's &letter
bool PressAltKey(WORD virtualKey);   // Alt+key, e.g. Alt+F4
bool TypeText(const std::string& text);

// ---------------------------------------------------------------------------------------------------
// List views (SysListView32) of another process

int ListRowCount(HWND list);
int ListColumnCount(HWND list);
std::string ListColumnTitle(HWND list, int column);
int ListColumnWidth(HWND list, int column);
std::string ListCell(HWND list, int row, int column);
// Every row's texts, one string per column.
std::vector<std::vector<std::string>> ListRows(HWND list);
bool ListTicked(HWND list, int row);   // the check box of the row is ticked
bool ListSelected(HWND list, int row);
int ListImage(HWND list, int row);     // image index of the row's picture; -2 on failure
// Ticks or unticks a row's check box as a click on it does; returns at once (posted), so a message
// box that the change opens does not block the driver. Check the result with ListTicked.
bool SetListTick(HWND list, int row, bool ticked);
// Selects and focuses one row (the keyboard's current row), as a click on its text does; posted.
bool SelectListRow(HWND list, int row);

// ---------------------------------------------------------------------------------------------------
// Message boxes

// A visible message box ("#32770") of the process whose caption is `caption`, or nullptr.
HWND FindMessageBox(DWORD processId, const std::string& caption);
HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs = kDefaultTimeoutMs);
// Any visible message box of the process, or nullptr.
HWND FindAnyMessageBox(DWORD processId);
// The message text of a box (its static text control), with line breaks as "\n".
std::string MessageBoxText(HWND box);
// Whether the box has a button with this id (IDOK, IDYES, IDNO, IDCANCEL).
bool MessageBoxHasButton(HWND box, int buttonId);
// Which standard icon the box shows: IDI_QUESTION, IDI_INFORMATION (= IDI_ASTERISK), IDI_ERROR
// (= IDI_HAND), IDI_WARNING (= IDI_EXCLAMATION) as their integer ids, or 0 for none/unknown.
int MessageBoxIcon(HWND box);
// Presses the box's button `buttonId` (posted BM_CLICK) and waits until the box has gone.
bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs = kDefaultTimeoutMs);
// Makes the box foreground, presses `virtualKey` (e.g. VK_RETURN, 'N') and waits until it has gone.
bool AnswerMessageBoxWithKey(HWND box, WORD virtualKey, DWORD timeoutMs = kDefaultTimeoutMs);

// ---------------------------------------------------------------------------------------------------
// Installed products

// Removes, without any window, every Windows Installer product whose name starts with `namePrefix`.
void UninstallProducts(const std::string& namePrefix);

// ---------------------------------------------------------------------------------------------------
// Screenshots

// Saves what the screen shows in `area` (screen coordinates) as a 24-bit BMP file. Windows on top of
// the area (a message box over a page) are part of the picture, as the user sees them.
bool SaveScreenshot(const RECT& area, const std::string& bmpPath);
// Saves the whole window (frame and title bar included) as the screen shows it.
bool SaveWindowScreenshot(HWND window, const std::string& bmpPath);
// What the screen shows in `area` (screen coordinates), row by row from the top; empty on failure.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// ---------------------------------------------------------------------------------------------------
// Accessibility, as a screen reader sees another process's windows (oleacc, Microsoft Active
// Accessibility). Under Wine 8 names work; roles and states of buttons, lists and progress bars are
// stubs, and an edit box or list takes the text of the STATIC right before it in the z-order without
// Windows' stop at a WS_GROUP|WS_TABSTOP control, so check the z-order itself too.

// The accessible name of the window's client object (get_accName of CHILDID_SELF); "" when none,
// "<no object>" when oleacc gives no object for the window.
std::string AccessibleName(HWND window);

}  // namespace driver
