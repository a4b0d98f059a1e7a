#pragma once
#include "installmanager/ProgressDisplay.h"
#include "pages/BarPosition.h"
#include "pages/WizardPage.h"

// Shown without modality while the components are installed; the run and the installer message
// handler write its labels and bar through the ProgressDisplay interface.
class TfrmProgress : public TWizardPage, public ProgressDisplay {
public:
    TfrmProgress();
    ~TfrmProgress() override;

    HWND lblTitle = nullptr, lblText = nullptr, lblCurrentProduct = nullptr;
    HWND lblActionDetail = nullptr, lblAction = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr, ProgressBar1 = nullptr;

    void SetCurrentProduct(const std::string& text) override;
    void SetAction(const std::string& text) override;
    void SetActionDetail(const std::string& text) override;
    void SetBarRange(int32_t maximum) override;
    void SetBarPosition(int32_t position) override;
    void SetBarStep(int32_t step) override;
    void StepBar() override;
    void MoveBar(int32_t delta) override;
    void BarToMinimum() override;
    void BarToMaximum() override;
    void EnableCancel(bool enabled) override;
    void ShowCancel(bool visible) override;
    void ProcessMessages() override;

protected:
    std::vector<ControlLayout> Layout() override;
    void FormCreate() override;
    void ControlCommand(HWND control, WORD code) override;

private:
    void cmdCancelClick();

    // The installer sends several messages for every file it installs; changing the controls for
    // each of them (a round trip to the window system and a drawing each) and handling the queue for
    // each took longer than the installation itself. So the page keeps what it is to show and hands
    // it to the controls, and handles the queue, once a frame.
    void ChangeBeforeFrame();
    void DrawFrame();
    static void CALLBACK FrameTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    DWORD lastFrame = 0;
    bool changed = false;
    std::string action, actionDetail;
    BarPosition bar;
};

extern TfrmProgress* frmProgress;
