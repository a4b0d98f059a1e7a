// The progress page keeps where its bar stands and tells the control once a frame: after every kind
// of change the kept position must be where the progress control itself would stand.
#include "pages/BarPosition.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include <gtest/gtest.h>

namespace {

enum class Change { Range, Set, Move, StepSize, Step };
struct Row {
    const char* what;
    std::vector<std::pair<Change, int32_t>> changes;
};

TEST(BarPosition, StandsWhereTheProgressControlStands) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    const std::vector<Row> rows = {
        {"clamped at both ends", {{Change::Step, 0}, {Change::Move, -25}, {Change::Set, 101}, {Change::Move, 7}, {Change::Set, -1}}},
        {"steps past the end start over", {{Change::Range, 95}, {Change::Set, 90}, {Change::Step, 0}, {Change::Step, 0}}},
        {"steps below 0 start from the top", {{Change::StepSize, -30}, {Change::Set, 10}, {Change::Step, 0}, {Change::Step, 0}}},
        {"a smaller range keeps the bar inside", {{Change::Set, 80}, {Change::Range, 50}, {Change::Range, 400}, {Change::Move, 300}}},
        {"an empty range", {{Change::Range, 0}, {Change::Set, 5}, {Change::Step, 0}, {Change::Move, 3}, {Change::Range, 10}}},
        {"a step of the whole range", {{Change::Range, 1000}, {Change::StepSize, 1000}, {Change::Set, 999}, {Change::Step, 0}, {Change::Step, 0}}},
    };
    for (const Row& row : rows) {
        HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(bar, nullptr);
        BarPosition kept;
        for (const auto& [change, value] : row.changes) {
            switch (change) {
            case Change::Range: kept.SetRange(value), SendMessageA(bar, PBM_SETRANGE32, 0, value); break;
            case Change::Set: kept.Set(value), SendMessageA(bar, PBM_SETPOS, value, 0); break;
            case Change::Move: kept.Move(value), SendMessageA(bar, PBM_DELTAPOS, value, 0); break;
            case Change::StepSize: kept.step = value, SendMessageA(bar, PBM_SETSTEP, value, 0); break;
            case Change::Step: kept.Step(), SendMessageA(bar, PBM_STEPIT, 0, 0); break;
            }
            EXPECT_EQ(kept.position, static_cast<int32_t>(SendMessageA(bar, PBM_GETPOS, 0, 0))) << row.what;
            EXPECT_EQ(kept.maximum, static_cast<int32_t>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0))) << row.what;
        }
        DestroyWindow(bar);
    }
}

}  // namespace
