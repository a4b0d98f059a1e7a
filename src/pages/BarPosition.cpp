#include "pages/BarPosition.h"

namespace {
// The control's order: first the lower end, then the upper one (which wins for a range below 0).
int32_t Clamped(int64_t value, int32_t maximum) {
    if (value < 0) value = 0;
    if (value > maximum) value = maximum;
    return static_cast<int32_t>(value);
}
}  // namespace

void BarPosition::SetRange(int32_t newMaximum) {
    maximum = newMaximum;
    position = Clamped(position, maximum);
}

void BarPosition::Set(int32_t newPosition) { position = Clamped(newPosition, maximum); }

void BarPosition::Move(int32_t delta) { position = Clamped(static_cast<int64_t>(position) + delta, maximum); }

void BarPosition::Step() {
    if (maximum == 0) return;  // an empty range does not move
    int64_t value = static_cast<int64_t>(position) + step;
    if (value > maximum) value %= maximum;
    if (value < 0) value = value % maximum + maximum;
    position = static_cast<int32_t>(value);
}
