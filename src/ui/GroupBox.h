#pragma once
// The group box: a real group box window, which screen readers find the group by, over the frame and
// caption that its form paints into its background. The window shows that background and leaves
// out the controls on it, so that they draw.
#include <windows.h>

#include <vector>

namespace GroupBox {

// Makes the group box window `box` show what its form painted under it.
void Attach(HWND box);
// Gives `box` a region without the controls `inside` it (the window owns the region from then on).
void Clip(HWND box, const std::vector<HWND>& inside);
// Paints the frame and caption of a group box at `box` (form pixels) into the form's background.
void Paint(HDC dc, const RECT& box, const char* caption, bool white, bool highContrast, int dpi);

}  // namespace GroupBox
