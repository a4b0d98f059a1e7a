#pragma once
#include "pages/WizardPage.h"

// Takes the user's first name, last name and e-mail address for the usage report.
class TfrmContactInfo : public TWizardPage {
public:
    TfrmContactInfo();

    HWND lblTitle = nullptr, lblText = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr;
    HWND lblFirstName = nullptr, txtFirstName = nullptr;
    HWND lblLastName = nullptr, txtLastName = nullptr;
    HWND lblEmail = nullptr, txtEmail = nullptr;

    // Stores the three entries exactly as typed.
    void SaveContactDetails();

protected:
    std::vector<ControlLayout> Layout() override;
    void FormShow() override;
    void FormClose() override;
    void ControlCommand(HWND control, WORD code) override;

private:
    void cmdNextClick();
    void cmdBackClick();
    void cmdCancelClick();
};

extern TfrmContactInfo* frmContactInfo;
