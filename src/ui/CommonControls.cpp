#include "ui/CommonControls.h"

#include "platform/SystemLibrary.h"

namespace {

struct Entries {
    BOOL(WINAPI* InitCommonControlsEx)(const INITCOMMONCONTROLSEX* classes);
    HIMAGELIST(WINAPI* ImageList_Create)(int width, int height, UINT flags, int initial, int grow);
    int(WINAPI* ImageList_Add)(HIMAGELIST list, HBITMAP bitmap, HBITMAP mask);
    int(WINAPI* ImageList_AddMasked)(HIMAGELIST list, HBITMAP bitmap, COLORREF mask);
    BOOL(WINAPI* ImageList_Destroy)(HIMAGELIST list);
};
Entries entries;

}  // namespace

namespace CommonControls {

bool Initialize(DWORD classes) {
    // Kept for the process's life: the controls live as long as the wizard.
    static const HMODULE library = LoadLibraryA("comctl32.dll");
    if (!library) return false;
    ResolveEntry(library, "InitCommonControlsEx", entries.InitCommonControlsEx);
    ResolveEntry(library, "ImageList_Create", entries.ImageList_Create);
    ResolveEntry(library, "ImageList_Add", entries.ImageList_Add);
    ResolveEntry(library, "ImageList_AddMasked", entries.ImageList_AddMasked);
    ResolveEntry(library, "ImageList_Destroy", entries.ImageList_Destroy);
    INITCOMMONCONTROLSEX controls = {sizeof controls, classes};
    return entries.InitCommonControlsEx && entries.InitCommonControlsEx(&controls);
}

HIMAGELIST CreateImageList(int width, int height, UINT flags, int initial, int grow) {
    return entries.ImageList_Create ? entries.ImageList_Create(width, height, flags, initial, grow) : nullptr;
}

int Add(HIMAGELIST list, HBITMAP bitmap, HBITMAP mask) {
    return entries.ImageList_Add ? entries.ImageList_Add(list, bitmap, mask) : -1;
}

int AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask) {
    return entries.ImageList_AddMasked ? entries.ImageList_AddMasked(list, bitmap, mask) : -1;
}

BOOL DestroyImageList(HIMAGELIST list) {
    return entries.ImageList_Destroy ? entries.ImageList_Destroy(list) : FALSE;
}

}  // namespace CommonControls
