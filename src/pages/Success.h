#pragma once
#include <windows.h>
#include <commctrl.h>

#include "pages/WizardPage.h"

// The summary page: every selected component with its outcome; Finish (or Esc, or the close box)
// ends the wizard.
class TfrmSuccess : public TWizardPage {
public:
    TfrmSuccess();

    HWND lblTitle = nullptr, lblText = nullptr, lsvComponents = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr;

    void FillSummaryList();

protected:
    std::vector<ControlLayout> Layout() override;
    void FormCreate() override;
    void FormShow() override;
    // No quit question here: closing the page ends the wizard just as Finish does.
    bool FormCloseQuery() override { return true; }
    void ControlCommand(HWND control, WORD code) override;

private:
    void cmdNextClick();
    void cmdBackClick();
};

extern TfrmSuccess* frmSuccess;
