#include "pages/Contactinfo.h"

#include "installmanager/Settings.h"

TfrmContactInfo* frmContactInfo;

TfrmContactInfo::TfrmContactInfo() : TWizardPage("TfrmContactInfo") {}

std::vector<ControlLayout> TfrmContactInfo::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 401, 16,
         "Please provide your name and email address", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 57,
         "Tarnwick uses this information to keep you informed about new additions to the Web site. "
         "All information is kept confidential, so you will not be spammed. Leave the fields blank if "
         "you prefer not to be informed of anything.",
         -1, coWordWrap},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 3, coNone},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Next >", 4, coDefault},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 5, coCancel},
        {&lblFirstName, "lblFirstName", ControlKind::Label, 128, 224, 60, 13, "First name", -1, coNone,
         nullptr, "txtFirstName"},
        {&txtFirstName, "txtFirstName", ControlKind::Edit, 208, 224, 233, 21, "", 0, coNone},
        {&lblLastName, "lblLastName", ControlKind::Label, 128, 256, 59, 13, "Last name", -1, coNone,
         nullptr, "txtLastName"},
        {&txtLastName, "txtLastName", ControlKind::Edit, 208, 256, 233, 21, "", 1, coNone},
        {&lblEmail, "lblEmail", ControlKind::Label, 128, 288, 31, 13, "Email", -1, coNone,
         nullptr, "txtEmail"},
        {&txtEmail, "txtEmail", ControlKind::Edit, 208, 288, 233, 21, "", 2, coNone},
    };
}

void TfrmContactInfo::FormShow() {
    SetText(txtEmail, WizardSettings.GetContactEmail());
    SetText(txtFirstName, WizardSettings.GetContactFirstName());
    SetText(txtLastName, WizardSettings.GetContactLastName());
}

void TfrmContactInfo::FormClose() { SaveContactDetails(); }

void TfrmContactInfo::SaveContactDetails() {
    WizardSettings.SetContactEmail(GetText(txtEmail));
    WizardSettings.SetContactFirstName(GetText(txtFirstName));
    WizardSettings.SetContactLastName(GetText(txtLastName));
}

void TfrmContactInfo::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
    else if (control == cmdCancel) cmdCancelClick();
}

void TfrmContactInfo::cmdNextClick() { SetModalResult(mrNext); }
void TfrmContactInfo::cmdBackClick() { SetModalResult(mrBack); }
void TfrmContactInfo::cmdCancelClick() { SetModalResult(mrCancel); }
