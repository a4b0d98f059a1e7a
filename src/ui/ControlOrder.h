#pragma once
// The order of a form's control windows, from its layout table alone (no window needed, so that a
// unit test can check it): the order they are created in, which is the Tab order, and the z-order
// that screen readers depend on.
#include <vector>

#include "ui/Form.h"

// The controls that get windows (pictures are painted), in Tab order; those Tab never reaches follow
// in declaration order.
std::vector<const ControlLayout*> CreationOrder(const std::vector<ControlLayout>& controls);

// The z-order, top first, for screen readers: a label that names a control lies right before it (an
// edit box or a list takes its accessible name from there), a group box right before the first
// control on it (where a screen reader looks for the group of the focused control), every other label
// under all controls, as drawn text would (a label's box may reach under a list or a group box). Tab
// order is unchanged: labels and group boxes are no tab stops.
std::vector<const ControlLayout*> ScreenReaderOrder(const std::vector<ControlLayout>& controls);
