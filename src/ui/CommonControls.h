#pragma once
// The common controls, bound at run time. comctl32 is not a Known DLL: imported statically, it and
// what it loads would be looked for in the program's folder before our entry point could restrict
// the DLL search. Bound by name, after that restriction, so that the manifest's side-by-side
// redirection still gives version 6.
#include <windows.h>
#include <commctrl.h>

namespace CommonControls {

// Loads the library and registers the window classes the wizard uses; false when either fails
// (every control of those classes then fails to be created).
bool Initialize(DWORD classes);

// ImageList_Create, ImageList_Add, ImageList_AddMasked and ImageList_Destroy; before Initialize, or
// without the library, they fail (null, -1, -1, FALSE).
HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow);
int Add(HIMAGELIST list, HBITMAP bitmap, HBITMAP mask);
int AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask);
BOOL DestroyImageList(HIMAGELIST list);

}  // namespace CommonControls
