#include "app/PageFlow.h"

namespace {
constexpr int Next = 1, Back = 4;

struct Transition {
    WizardStep step;
    WizardStep onNext;
    WizardStep onBack;
};

// Back on the welcome and summary pages cannot happen (the buttons are disabled); it ends the
// wizard like any other unexpected result. The progress step has no page result of its own.
constexpr Transition Transitions[] = {
    {WizardStep::Welcome, WizardStep::Selection, WizardStep::End},
    {WizardStep::Selection, WizardStep::Destination, WizardStep::Welcome},
    {WizardStep::Destination, WizardStep::ContactInfo, WizardStep::Selection},
    {WizardStep::ContactInfo, WizardStep::Ready, WizardStep::Destination},
    {WizardStep::Ready, WizardStep::Progress, WizardStep::ContactInfo},
    {WizardStep::Progress, WizardStep::Summary, WizardStep::Summary},
    {WizardStep::Summary, WizardStep::End, WizardStep::End},
};
}  // namespace

WizardStep NextStep(WizardStep step, int result) {
    for (const Transition& t : Transitions) {
        if (t.step != step) continue;
        if (step == WizardStep::Progress) return WizardStep::Summary;
        if (result == Next) return t.onNext;
        if (result == Back) return t.onBack;
        return WizardStep::End;
    }
    return WizardStep::End;
}
