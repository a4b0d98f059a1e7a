#include "pages/Success.h"

#include "installmanager/Configuration.h"
#include "installmanager/MessageTexts.h"
#include "ui/ResourceIds.h"

TfrmSuccess* frmSuccess;

TfrmSuccess::TfrmSuccess() : TWizardPage("TfrmSuccess") {}

std::vector<ControlLayout> TfrmSuccess::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 441, 16, "Installation complete", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 41,
         "The installation is complete. Click Finish to exit the install program.", -1, coWordWrap},
        // The group box is a painted frame; Tab goes from Finish straight to the list on it.
        {nullptr, "GroupBox1", ControlKind::GroupBox, 128, 168, 441, 177, "Installation summary", -1, coWhite},
        {&lsvComponents, "lsvComponents", ControlKind::ListView, 8, 16, 425, 153, nullptr, 3, coNoHeader,
         "GroupBox1"},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 1, coDisabled},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Finish", 0, coDefault | coCancel},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 2, coDisabled},
    };
}

void TfrmSuccess::FormCreate() {
    ListView_SetBkColor(lsvComponents, RGB(255, 255, 255));
    SetListColumns(lsvComponents, {{nullptr, 300, LVCFMT_LEFT}, {nullptr, 100, LVCFMT_LEFT}});
    SetListPictures(lsvComponents, IDB_PROGRESS);
}

void TfrmSuccess::FormShow() { FillSummaryList(); }

void TfrmSuccess::FillSummaryList() {
    ListView_DeleteAllItems(lsvComponents);
    int row = 0;
    for (int i = 0; i < ComponentCount(); ++i) {
        TSetupComponent& entry = Component(i);
        if (!entry.Selected) continue;
        std::string text = entry.ComponentDescription;
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        item.pszText = &text[0];
        item.iImage = entry.Succeeded ? 0 : 1;
        item.lParam = reinterpret_cast<LPARAM>(&entry);
        int inserted = static_cast<int>(SendMessageA(lsvComponents, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (inserted < 0) continue;
        std::string outcome = entry.Succeeded ? MessageTexts::Succeeded : MessageTexts::Failed;
        ListView_SetItemText(lsvComponents, inserted, 1, &outcome[0]);
        ++row;
    }
}

void TfrmSuccess::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
}

void TfrmSuccess::cmdNextClick() { SetModalResult(mrNext); }
void TfrmSuccess::cmdBackClick() { SetModalResult(mrBack); }
