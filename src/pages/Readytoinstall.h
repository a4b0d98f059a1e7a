#pragma once
#include "pages/WizardPage.h"

// The last input page: the log switch, and one more disk-space check before the installation.
class TfrmReadyToInstall : public TWizardPage {
public:
    TfrmReadyToInstall();

    HWND lblTitle = nullptr, lblText = nullptr, lblText2 = nullptr, lblText3 = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr;
    HWND chkLogFile = nullptr, lblLogPath = nullptr, cmdChange = nullptr;

    void SaveLogSettings();

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

extern TfrmReadyToInstall* frmReadyToInstall;
