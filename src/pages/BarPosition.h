#pragma once
// Where a progress bar stands after each kind of change, computed as the progress control computes
// it: the progress page keeps it and tells the control once a frame instead of for every installer
// message. Plain logic, free of <windows.h>.
#include <cstdint>

struct BarPosition {
    int32_t maximum = 100;  // the range is 0 .. maximum, the control's defaults to begin with
    int32_t position = 0;
    int32_t step = 10;

    void SetRange(int32_t newMaximum);  // keeps the position inside the new range
    void Set(int32_t newPosition);      // clamped to the range
    void Move(int32_t delta);           // clamped to the range
    void Step();                        // one step; past either end the bar starts over from the other
};
