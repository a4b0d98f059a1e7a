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

// A display that shows nothing: the one in place until the progress page installs itself, and the
// one of a run without any window, which only keeps the thread's messages flowing through `pump`.
class SilentDisplay final : public ProgressDisplay {
public:
    explicit SilentDisplay(void (*pump)() = nullptr) : pump(pump) {}
    void SetCurrentProduct(const std::string&) override {}
    void SetAction(const std::string&) override {}
    void SetActionDetail(const std::string&) override {}
    void SetBarRange(int32_t) override {}
    void SetBarPosition(int32_t) override {}
    void SetBarStep(int32_t) override {}
    void StepBar() override {}
    void MoveBar(int32_t) override {}
    void BarToMinimum() override {}
    void BarToMaximum() override {}
    void EnableCancel(bool) override {}
    void ShowCancel(bool) override {}
    void ProcessMessages() override {
        if (pump) pump();
    }

private:
    void (*pump)();
};

// The display the run writes to; the progress page installs itself here when it is created.
ProgressDisplay& CurrentProgressDisplay();
void SetProgressDisplay(ProgressDisplay* display);
