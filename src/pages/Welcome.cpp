#include "pages/Welcome.h"

TfrmWelcome* frmWelcome;

TfrmWelcome::TfrmWelcome() : TWizardPage("TfrmWelcome", true) {}

std::vector<ControlLayout> TfrmWelcome::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 401, 16,
         "Welcome to the Tarnwick Setup Wizard!", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 169,
         "This installation program will install the free components and libraries available on "
         "Tarnwick that you choose. These components and libraries come with documentation, as well "
         "as examples or sample applications.",
         -1, coWordWrap},
        {&lblText1, "lblText1", ControlKind::Label, 128, 328, 441, 17, "Click Next to begin the installation.",
         -1, coNone},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 2, coCancel},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Next >", 1, coDefault},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 0, coDisabled},
    };
}

void TfrmWelcome::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdCancel) cmdCancelClick();
}

void TfrmWelcome::cmdNextClick() { SetModalResult(mrNext); }
void TfrmWelcome::cmdCancelClick() { SetModalResult(mrCancel); }
