#pragma once
#include "pages/WizardPage.h"

// Shows the install folder, lets the user pick another, and checks the disk space on Next.
class TfrmDestination : public TWizardPage {
public:
    TfrmDestination();

    HWND cmdCancel = nullptr, cmdBack = nullptr, cmdNext = nullptr;
    HWND lblTitle = nullptr, lblText = nullptr, lblText2 = nullptr, lblDestinationFolder = nullptr;
    HWND cmdChange = nullptr, Label1 = nullptr, Label2 = nullptr, Label3 = nullptr;

    void SaveInstallFolder();

protected:
    std::vector<ControlLayout> Layout() override;
    void FormShow() override;
    void FormClose() override;
    // Next, not the first tab stop (Change...), has the focus at first: Enter means Next.
    HWND InitialFocus() const override { return cmdNext; }
    void ControlCommand(HWND control, WORD code) override;

private:
    void cmdChangeClick();
    void cmdNextClick();
    void cmdBackClick();
    void cmdCancelClick();
};

extern TfrmDestination* frmDestination;
