// The 96-DPI layout at other DPIs: the rounding rule, and a form laid out again on WM_DPICHANGED.
#include "ui/Scaling.h"

#include <gtest/gtest.h>

#include "ui/CommonControls.h"
#include "ui/Dpi.h"
#include "ui/Form.h"
#include "ui/JpegImage.h"
#include "ui/ResourceIds.h"

namespace {

TEST(Scaling, EdgesRoundToTheNearestPixelAndNeighboursKeepTouching) {
    const struct {
        int value, dpi, scaled;
    } rows[] = {{0, 144, 0},    {1, 144, 2},    {3, 144, 5},  {11, 144, 17}, {600, 144, 900},
                {400, 144, 600}, {409, 144, 614}, {1, 120, 1},  {2, 120, 3},   {11, 120, 14},
                {600, 120, 750}, {89, 192, 178},  {-3, 144, -5}, {11, 96, 11},  {7, 72, 5}};
    for (const auto& row : rows) EXPECT_EQ(row.scaled, ScaleToDpi(row.value, row.dpi)) << row.value << " at " << row.dpi;

    // A row of controls that touch at 96 DPI, as the pages' buttons and labels do: each one's right
    // edge is the next one's left edge at every DPI, and nothing overlaps.
    for (int dpi : {96, 120, 144, 168, 192}) {
        const ScaledBounds a = ScaleBounds(320, 368, 89, 25, dpi), b = ScaleBounds(409, 368, 95, 25, dpi);
        EXPECT_EQ(a.left + a.width, b.left) << dpi;
        EXPECT_EQ(a.top, b.top) << dpi;
        EXPECT_EQ(ScaleToDpi(600, dpi), ScaleBounds(0, 0, 600, 400, dpi).width) << dpi;
    }
}

// The page picture at other DPIs: libjpeg's own scale where one fits (12/8 at 144 DPI), else the next
// larger one resampled; either way the picture keeps its layout.
TEST(Scaling, BackgroundDecodesAtTheDisplaysSize) {
    for (int dpi : {144, 110}) {
        const int width = ScaleToDpi(600, dpi), height = ScaleToDpi(400, dpi);
        HBITMAP bitmap = LoadJpegResource(GetModuleHandleA(nullptr), IDR_BACKGROUND, width, height);
        DIBSECTION section = {};
        ASSERT_EQ(static_cast<int>(sizeof section), GetObjectA(bitmap, sizeof section, &section)) << dpi;
        EXPECT_EQ(width, section.dsBm.bmWidth);
        EXPECT_EQ(height, section.dsBmih.biHeight < 0 ? -section.dsBmih.biHeight : section.dsBmih.biHeight);
        const auto pixel = [&](int x, int y) {  // blue, green, red of the design point (x, y)
            const auto* row = static_cast<const unsigned char*>(section.dsBm.bmBits) +
                              static_cast<size_t>(ScaleToDpi(y, dpi)) * section.dsBm.bmWidthBytes;
            const unsigned char* p = row + 3 * ScaleToDpi(x, dpi);
            return std::vector<int>{p[0], p[1], p[2]};
        };
        EXPECT_GE(pixel(300, 200)[1], 245) << "white content area at " << dpi;
        const std::vector<int> band = pixel(80, 300);  // the green band
        EXPECT_TRUE(band[1] > band[2] + 40 && band[1] > 110) << dpi;
        DeleteObject(bitmap);
    }
}

// A small form with what the pages have: a label, an edit in a group box, a list with columns and
// pictures.
class TestForm : public TForm {
public:
    TestForm() : TForm(FormLayout{"TarnwickScalingTest", FormBorder::Dialog, 600, 400, false}) {}
    HWND label = nullptr, edit = nullptr, list = nullptr;

protected:
    std::vector<ControlLayout> Layout() override {
        return {{&label, "label", ControlKind::Label, 128, 104, 401, 16, "Title", -1, coTitle},
                {nullptr, "group", ControlKind::GroupBox, 128, 168, 441, 177, "Group", -1, coNone},
                {&edit, "edit", ControlKind::Edit, 8, 16, 233, 21, "", 0, coNone, "group"},
                {&list, "list", ControlKind::ListView, 128, 200, 441, 145, nullptr, 1, coBorder}};
    }
    void FormCreate() override {
        SetListColumns(list, {{"Name", 250, LVCFMT_LEFT}, {"Size", 95, LVCFMT_RIGHT}});
        SetListPictures(list, IDB_COMPONENTS);
    }
};

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int PictureSide(HWND list) {
    int width = 0, height = 0;
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ImageList_GetIconSize(images, &width, &height);
    return width == height ? width : -1;
}

TEST(Scaling, DpiChangedLaysTheFormOutAgainInTheSuggestedPlace) {
    ASSERT_EQ(96, Dpi::OfSystem()) << "the unit tests run on a 96-DPI display";
    CommonControls::Initialize(ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES);
    TestForm form;
    ASSERT_TRUE(form.Create());
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(600, client.right);
    EXPECT_EQ(16, PictureSide(form.list));

    RECT suggested = {40, 50, 1000, 700};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(144, form.CurrentDpi());
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(900, client.right);
    EXPECT_EQ(600, client.bottom);
    RECT window;
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(40, window.left);
    EXPECT_EQ(50, window.top);
    const RECT label = ChildRect(form.label), edit = ChildRect(form.edit), list = ChildRect(form.list);
    EXPECT_EQ((std::vector<LONG>{192, 156, 794, 180}), (std::vector<LONG>{label.left, label.top, label.right, label.bottom}));
    EXPECT_EQ((std::vector<LONG>{204, 276, 554, 308}), (std::vector<LONG>{edit.left, edit.top, edit.right, edit.bottom}));
    EXPECT_EQ((std::vector<LONG>{192, 300, 854, 518}), (std::vector<LONG>{list.left, list.top, list.right, list.bottom}));
    EXPECT_EQ(375, SendMessageA(form.list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(143, SendMessageA(form.list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(24, PictureSide(form.list));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form.label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(-20, font.lfHeight);  // the title's 13 pixels

    // Back on a 96-DPI monitor, everything is as it was made.
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(600, client.right);
    EXPECT_EQ(250, SendMessageA(form.list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(16, PictureSide(form.list));
    form.Destroy();
}

}  // namespace
