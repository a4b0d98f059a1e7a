#include "ui/Dpi.h"

#include "ui/Scaling.h"
#include "platform/SystemLibrary.h"

namespace {

struct Entries {
    bool bound;
    UINT(WINAPI* GetDpiForSystem)();
    BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
    HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR monitor, int type, UINT* dpiX, UINT* dpiY);
};
Entries entries;

const Entries& Bound() {
    if (!entries.bound) {
        entries.bound = true;
        const HMODULE user = GetModuleHandleA("user32.dll");
        ResolveEntry(user, "GetDpiForSystem", entries.GetDpiForSystem);
        ResolveEntry(user, "AdjustWindowRectExForDpi", entries.AdjustWindowRectExForDpi);
        // Windows 8.1 and later; kept for the process's life.
        ResolveEntry(LoadSystemLibrary("shcore.dll"), "GetDpiForMonitor", entries.GetDpiForMonitor);
    }
    return entries;
}

constexpr int MonitorEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

namespace Dpi {

int OfSystem() {
    if (Bound().GetDpiForSystem) return static_cast<int>(entries.GetDpiForSystem());
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : DesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DesignDpi;
}

int OfMonitorAt(const RECT& area) {
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
    if (Bound().GetDpiForMonitor && monitor &&
        SUCCEEDED(entries.GetDpiForMonitor(monitor, MonitorEffectiveDpi, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return OfSystem();
}

void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    if (Bound().AdjustWindowRectExForDpi &&
        entries.AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        return;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace Dpi
