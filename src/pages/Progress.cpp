#include "pages/Progress.h"

#include <commctrl.h>

#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"
#include "ui/Application.h"

TfrmProgress* frmProgress;

TfrmProgress::TfrmProgress() : TWizardPage("TfrmProgress", false, FormBorder::DialogNoButtons) {}

TfrmProgress::~TfrmProgress() {
    if (&CurrentProgressDisplay() == this) SetProgressDisplay(nullptr);
}

std::vector<ControlLayout> TfrmProgress::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 441, 16, "Installing Tarnwick components", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 33,
         "Please wait while the install program installs the Tarnwick components. This may take "
         "several minutes.",
         -1, coWordWrap},
        {&lblCurrentProduct, "lblCurrentProduct", ControlKind::Label, 128, 232, 441, 17, "", -1, coBold | coWhite},
        {&lblActionDetail, "lblActionDetail", ControlKind::Label, 128, 280, 441, 73, "", -1, coWordWrap | coWhite},
        {&lblAction, "lblAction", ControlKind::Label, 128, 256, 441, 17, "", -1, coWhite},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 0, coDisabled},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Next >", 1, coDefault | coDisabled},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 2, coCancel},
        {&ProgressBar1, "ProgressBar1", ControlKind::ProgressBar, 128, 200, 441, 17, nullptr, 3, coNone},
    };
}

void TfrmProgress::FormCreate() {
    SendMessageA(ProgressBar1, PBM_SETRANGE32, 0, 100);
    SendMessageA(ProgressBar1, PBM_SETPOS, 0, 0);
    SetProgressDisplay(this);
}

void TfrmProgress::ControlCommand(HWND control, WORD code) {
    if (code == BN_CLICKED && control == cmdCancel) cmdCancelClick();
}

void TfrmProgress::cmdCancelClick() {
    // Only records the wish: the installer stops at its next progress message, later components
    // are skipped by the run.
    int answer = Ask(MessageTexts::CancelInstallQuestion, MessageTexts::Confirm, MB_YESNO | MB_ICONQUESTION);
    WizardSettings.CancelRequested = answer == IDYES;
}

void TfrmProgress::SetCurrentProduct(const std::string& text) { SetText(lblCurrentProduct, text); }
void TfrmProgress::SetAction(const std::string& text) { SetText(lblAction, text); }
void TfrmProgress::SetActionDetail(const std::string& text) { SetText(lblActionDetail, text); }
void TfrmProgress::SetBarRange(int32_t maximum) { SendMessageA(ProgressBar1, PBM_SETRANGE32, 0, maximum); }
void TfrmProgress::SetBarPosition(int32_t position) { SendMessageA(ProgressBar1, PBM_SETPOS, position, 0); }
void TfrmProgress::SetBarStep(int32_t step) { SendMessageA(ProgressBar1, PBM_SETSTEP, step, 0); }
void TfrmProgress::StepBar() { SendMessageA(ProgressBar1, PBM_STEPIT, 0, 0); }
void TfrmProgress::MoveBar(int32_t delta) { SendMessageA(ProgressBar1, PBM_DELTAPOS, delta, 0); }

void TfrmProgress::BarToMinimum() {
    SetBarPosition(static_cast<int32_t>(SendMessageA(ProgressBar1, PBM_GETRANGE, TRUE, 0)));
}

void TfrmProgress::BarToMaximum() {
    SetBarPosition(static_cast<int32_t>(SendMessageA(ProgressBar1, PBM_GETRANGE, FALSE, 0)));
}

void TfrmProgress::EnableCancel(bool enabled) { EnableWindow(cmdCancel, enabled); }
void TfrmProgress::ShowCancel(bool visible) { ShowWindow(cmdCancel, visible ? SW_SHOW : SW_HIDE); }
void TfrmProgress::ProcessMessages() { Application::ProcessMessages(); }
