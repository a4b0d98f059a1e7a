#pragma once
#include "pages/WizardPage.h"

// The first page: greets the user and offers Next and Cancel.
class TfrmWelcome : public TWizardPage {
public:
    TfrmWelcome();

    HWND lblTitle = nullptr, lblText = nullptr, lblText1 = nullptr;
    HWND cmdCancel = nullptr, cmdNext = nullptr, cmdBack = nullptr;

protected:
    std::vector<ControlLayout> Layout() override;
    void ControlCommand(HWND control, WORD code) override;

private:
    void cmdNextClick();
    void cmdCancelClick();
};

extern TfrmWelcome* frmWelcome;
