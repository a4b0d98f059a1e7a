#include "ui/ImageLists.h"

#include "ui/CommonControls.h"

HIMAGELIST LoadImageStrip(HINSTANCE instance, int bitmapId) {
    HIMAGELIST list = CommonControls::CreateImageList(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list) return nullptr;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        CommonControls::AddMasked(list, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    return list;
}

void FreeImageStrip(HIMAGELIST list) {
    if (list) CommonControls::DestroyImageList(list);
}
