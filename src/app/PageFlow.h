#pragma once
// The order of the wizard's steps: which step follows a page's result.
enum class WizardStep { Welcome, Selection, Destination, ContactInfo, Ready, Progress, Summary, End };

// The step that follows `step` when its page closed with `result` (1 Next, 2 Cancel, 4 Back).
// The summary page always leads to the end; so does every result a page cannot give.
WizardStep NextStep(WizardStep step, int result);
