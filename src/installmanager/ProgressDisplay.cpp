#include "installmanager/ProgressDisplay.h"

namespace {
// Used until the progress page installs itself, so that the run never writes through a null display.
class NoDisplay final : public ProgressDisplay {
public:
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
    void ProcessMessages() override {}
};
NoDisplay noDisplay;
ProgressDisplay* current = &noDisplay;
}  // namespace

ProgressDisplay& CurrentProgressDisplay() { return *current; }
void SetProgressDisplay(ProgressDisplay* display) { current = display ? display : &noDisplay; }
