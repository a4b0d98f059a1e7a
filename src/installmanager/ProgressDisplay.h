#pragma once
// What the installation run and the installer message handler write on the progress page. The page
// implements it; unit tests put a recorder in its place.
#include <cstdint>
#include <string>

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void SetCurrentProduct(const std::string& text) = 0;
    virtual void SetAction(const std::string& text) = 0;
    virtual void SetActionDetail(const std::string& text) = 0;
    virtual void SetBarRange(int32_t maximum) = 0;  // range 0 .. maximum
    virtual void SetBarPosition(int32_t position) = 0;
    virtual void SetBarStep(int32_t step) = 0;
    virtual void StepBar() = 0;
    virtual void MoveBar(int32_t delta) = 0;
    virtual void BarToMinimum() = 0;
    virtual void BarToMaximum() = 0;
    virtual void EnableCancel(bool enabled) = 0;
    virtual void ShowCancel(bool visible) = 0;
    // Lets the application handle every window message waiting in the queue.
    virtual void ProcessMessages() = 0;
};

// The display the run writes to; the progress page installs itself here when it is created.
ProgressDisplay& CurrentProgressDisplay();
void SetProgressDisplay(ProgressDisplay* display);
