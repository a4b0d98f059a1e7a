#include "installmanager/ProgressDisplay.h"

namespace {
// Used until the progress page installs itself, so that the run never writes through a null display.
SilentDisplay noDisplay;
ProgressDisplay* current = &noDisplay;
}  // namespace

ProgressDisplay& CurrentProgressDisplay() { return *current; }
void SetProgressDisplay(ProgressDisplay* display) { current = display ? display : &noDisplay; }
