#pragma once
// What the form layer's files share among themselves (not for the pages): the window styles, the
// control fonts and icons, and where a control sits.
#include "ui/Form.h"

namespace FormParts {

DWORD FormStyle(FormBorder border);
// The font a control of the layout is drawn with at `dpi`.
HFONT FontFor(const ControlLayout& control, int dpi);
// The window's title-bar and task-bar icons at `dpi`.
void SetIcons(HWND window, int dpi);
// Whether the layout puts `control` on the group box `group`.
bool OnGroupBox(const ControlLayout& control, const ControlLayout& group);

}  // namespace FormParts
