#include "ui/ImageLists.h"

HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list) return nullptr;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        ImageList_AddMasked(list, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    return list;
}
