#pragma once
#include <windows.h>
#include <commctrl.h>

#include "pages/WizardPage.h"

struct TSetupComponent;

// Lists the catalogue with tick boxes; required components stay ticked and something must be ticked.
class TfrmSelection : public TWizardPage {
public:
    TfrmSelection();

    HWND lblTitle = nullptr, lblText = nullptr, lsvComponent = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr;

    void FillComponentList();
    void StoreSelection();
    bool AnyComponentChecked();

protected:
    std::vector<ControlLayout> Layout() override;
    void FormCreate() override;
    void FormShow() override;
    bool FormCloseQuery() override;
    void ControlCommand(HWND control, WORD code) override;
    LRESULT ControlNotify(NMHDR* header) override;

private:
    void cmdBackClick();
    void cmdNextClick();
    void cmdCancelClick();
    void lsvComponentChange(int row, UINT changed);
    TSetupComponent* RowEntry(int row);
};

extern TfrmSelection* frmSelection;
