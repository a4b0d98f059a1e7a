#pragma once
// The display's DPI, where Windows can tell it: per monitor (Windows 8.1 and later), per window
// (Windows 10), else the system's. The newer entry points are bound at run time, so the wizard still
// starts on systems without them and then sees one DPI for every monitor.
#include <windows.h>

namespace Dpi {

int OfSystem();
// The DPI of the monitor that holds most of `area` (screen coordinates).
int OfMonitorAt(const RECT& area);
// The outer rectangle of a window whose client area is `rect`, with the frame drawn at `dpi`.
void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace Dpi

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
