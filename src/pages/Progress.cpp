#include "pages/Progress.h"

#include <commctrl.h>

#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"
#include "ui/Application.h"

TfrmProgress* frmProgress;

namespace {
constexpr DWORD FrameMs = 50;  // 20 frames a second: smooth to the eye, a small share of the run's time
constexpr UINT_PTR FrameTimerId = 1;
}  // namespace

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
    if (WizardSettings.Removing) {
        SetText(lblTitle, "Removing Tarnwick components");
        SetText(lblText, "Please wait while the install program removes the Tarnwick components. This may take "
                         "several minutes.");
    }
}

void TfrmProgress::ControlCommand(HWND control, WORD code) {
    if (code == BN_CLICKED && control == cmdCancel) cmdCancelClick();
}

void TfrmProgress::cmdCancelClick() {
    // Only records the wish: the installer stops at its next progress message, later components
    // are skipped by the run. An unattended run asks no question: its Cancel means it.
    if (WizardSettings.Unattended) {
        WizardSettings.CancelRequested = true;
        return;
    }
    const char* question = WizardSettings.Removing ? MessageTexts::CancelRemovalQuestion : MessageTexts::CancelInstallQuestion;
    int answer = Ask(question, MessageTexts::Confirm, MB_YESNO | MB_ICONQUESTION);
    WizardSettings.CancelRequested = answer == IDYES;
}

void TfrmProgress::SetCurrentProduct(const std::string& text) { SetText(lblCurrentProduct, text); }

void TfrmProgress::SetAction(const std::string& text) {
    action = text;
    ChangeBeforeFrame();
}

void TfrmProgress::SetActionDetail(const std::string& text) {
    actionDetail = text;
    ChangeBeforeFrame();
}

void TfrmProgress::SetBarRange(int32_t maximum) {
    bar.SetRange(maximum);
    ChangeBeforeFrame();
}

void TfrmProgress::SetBarPosition(int32_t position) {
    bar.Set(position);
    ChangeBeforeFrame();
}

void TfrmProgress::SetBarStep(int32_t step) { bar.step = step; }

void TfrmProgress::StepBar() {
    bar.Step();
    ChangeBeforeFrame();
}

void TfrmProgress::MoveBar(int32_t delta) {
    bar.Move(delta);
    ChangeBeforeFrame();
}

void TfrmProgress::BarToMinimum() { SetBarPosition(0); }
void TfrmProgress::BarToMaximum() { SetBarPosition(bar.maximum); }

void TfrmProgress::EnableCancel(bool enabled) { EnableWindow(cmdCancel, enabled); }
void TfrmProgress::ShowCancel(bool visible) { ShowWindow(cmdCancel, visible ? SW_SHOW : SW_HIDE); }

void TfrmProgress::ProcessMessages() {
    // Once a frame is soon enough for a click on Cancel too.
    const DWORD now = GetTickCount();
    if (now - lastFrame < FrameMs) return;
    lastFrame = now;
    DrawFrame();
    Application::ProcessMessages();
}

void TfrmProgress::ChangeBeforeFrame() {
    if (changed || !hwnd) return;
    changed = true;
    // Shows the last changes also when no installer message follows them (a setup program runs, the
    // installer copies a large file): the run or a message box handles the queue meanwhile.
    SetTimer(hwnd, FrameTimerId, FrameMs, FrameTimer);
}

void TfrmProgress::DrawFrame() {
    if (!changed) return;
    changed = false;
    KillTimer(hwnd, FrameTimerId);
    if (GetText(lblAction) != action) SetText(lblAction, action);
    if (GetText(lblActionDetail) != actionDetail) SetText(lblActionDetail, actionDetail);
    SendMessageA(ProgressBar1, PBM_SETRANGE32, 0, bar.maximum);
    SendMessageA(ProgressBar1, PBM_SETPOS, bar.position, 0);
}

void CALLBACK TfrmProgress::FrameTimer(HWND window, UINT, UINT_PTR, DWORD) {
    if (frmProgress && frmProgress->Handle() == window) frmProgress->DrawFrame();
}
