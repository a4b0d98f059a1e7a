#include "pages/Readytoinstall.h"

#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"

TfrmReadyToInstall* frmReadyToInstall;

TfrmReadyToInstall::TfrmReadyToInstall() : TWizardPage("TfrmReadyToInstall") {}

std::vector<ControlLayout> TfrmReadyToInstall::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 401, 16, "Ready to install!", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 17,
         "The install program is ready to begin the installation.", -1, coNone},
        {&lblText2, "lblText2", ControlKind::Label, 128, 168, 441, 17,
         "Click Install to begin the installation of the components and libraries.", -1, coNone},
        {&lblText3, "lblText3", ControlKind::Label, 128, 192, 441, 41,
         "If you want to review or change any of the installation settings, click Back. To cancel the "
         "installation and exit the Wizard, click Cancel.",
         -1, coWordWrap},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 2, coNone},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Install", 3, coDefault},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 4, coCancel},
        {&chkLogFile, "chkLogFile", ControlKind::CheckBox, 128, 272, 441, 17,
         "Generate MSI log files for the installations", 0, coWhite},
        // Never shown: the log files always go to the install folder's Logs folder.
        {&lblLogPath, "lblLogPath", ControlKind::Label, 144, 296, 329, 17, "[RUN TIME]", -1, coBold | coHidden},
        {&cmdChange, "cmdChange", ControlKind::Button, 480, 295, 89, 26, "Ch&ange...", 1, coHidden},
    };
}

void TfrmReadyToInstall::FormShow() {
    SendMessageA(chkLogFile, BM_SETCHECK, WizardSettings.LoggingEnabled ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmReadyToInstall::FormClose() { SaveLogSettings(); }

void TfrmReadyToInstall::SaveLogSettings() {
    WizardSettings.LoggingEnabled = SendMessageA(chkLogFile, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmReadyToInstall::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
    else if (control == cmdCancel) cmdCancelClick();
}

void TfrmReadyToInstall::cmdNextClick() {
    if (HasEnoughDiskSpace()) {
        SetModalResult(mrNext);
    } else {
        Ask(MessageTexts::NotEnoughDiskSpace, MessageTexts::Information, MB_OK | MB_ICONINFORMATION);
    }
}

void TfrmReadyToInstall::cmdBackClick() { SetModalResult(mrBack); }
void TfrmReadyToInstall::cmdCancelClick() { SetModalResult(mrCancel); }
