#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "pages/WizardPage.h"

// The summary page: every selected component with its outcome; Finish (or Esc, or the close box)
// ends the wizard.
class TfrmSuccess : public TWizardPage {
public:
    TfrmSuccess();

    HWND lblTitle = nullptr, lblText = nullptr, GroupBox1 = nullptr, lsvComponents = nullptr;
    HWND cmdBack = nullptr, cmdNext = nullptr, cmdCancel = nullptr;

    void FillSummaryList();

protected:
    std::vector<ControlLayout> Layout() override;
    void FormCreate() override;
    void FormShow() override;
    // No quit question here: closing the page ends the wizard just as Finish does.
    bool FormCloseQuery() override { return true; }
    // The row's tip goes with the page.
    void FormClose() override;
    void ControlCommand(HWND control, WORD code) override;
    LRESULT ControlNotify(NMHDR* header) override;

private:
    void cmdNextClick();
    void cmdBackClick();
    // Why a failed component was not installed: the list's own tip under the mouse, and for the
    // keyboard (and a screen reader) a tip under the focused row while the list has the focus.
    std::string RowReason(int row);
    void ShowFocusedRowReason();
    // Shows `text` under the row, or hides the tip when it is empty.
    void ShowRowTip(int row, std::string text);
    HWND rowTip = nullptr;
};

extern TfrmSuccess* frmSuccess;
