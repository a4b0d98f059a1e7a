#include "pages/Success.h"

#include "installmanager/Configuration.h"
#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"
#include "ui/ResourceIds.h"
#include "ui/Scaling.h"

TfrmSuccess* frmSuccess;

TfrmSuccess::TfrmSuccess() : TWizardPage("TfrmSuccess") {}

std::vector<ControlLayout> TfrmSuccess::Layout() {
    return {
        Background(),
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 441, 16, "Installation complete", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 41,
         "The installation is complete. Click Finish to exit the install program.", -1, coWordWrap},
        // Tab goes from Finish straight to the list on the group box.
        // The group names its list too: a screen reader announces the list on focus by that name.
        {&GroupBox1, "GroupBox1", ControlKind::GroupBox, 128, 168, 441, 177, "Installation summary", -1, coWhite,
         nullptr, "lsvComponents"},
        {&lsvComponents, "lsvComponents", ControlKind::ListView, 8, 16, 425, 153, nullptr, 3, coNoHeader | coWhite,
         "GroupBox1"},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 1, coDisabled},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Finish", 0, coDefault | coCancel},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 2, coDisabled},
    };
}

void TfrmSuccess::FormCreate() {
    ListView_SetExtendedListViewStyle(lsvComponents, LVS_EX_INFOTIP);
    rowTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                             0, hwnd, nullptr, nullptr, nullptr);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = lsvComponents;
    tool.lpszText = const_cast<char*>("");
    SendMessageA(rowTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(rowTip, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(425, CurrentDpi()));
    SetListColumns(lsvComponents, {{nullptr, 300, LVCFMT_LEFT}, {nullptr, 100, LVCFMT_LEFT}});
    SetListPictures(lsvComponents, IDB_PROGRESS);
}

void TfrmSuccess::FormShow() {
    if (WizardSettings.Removing) {
        SetText(lblTitle, "Removal complete");
        SetText(lblText, "The removal is complete. Click Finish to exit the install program.");
    }
    FillSummaryList();
}

void TfrmSuccess::FormClose() { ShowRowTip(-1, std::string()); }

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
        std::string outcome = !entry.Succeeded ? MessageTexts::Failed
                              : WizardSettings.Removing ? MessageTexts::Removed : MessageTexts::Succeeded;
        ListView_SetItemText(lsvComponents, inserted, 1, &outcome[0]);
        ++row;
    }
}

std::string TfrmSuccess::RowReason(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !SendMessageA(lsvComponents, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return std::string();
    const auto* entry = reinterpret_cast<const TSetupComponent*>(item.lParam);
    return entry && !entry->Succeeded ? entry->FailureReason : std::string();
}

void TfrmSuccess::ShowFocusedRowReason() {
    const int row = ListView_GetNextItem(lsvComponents, -1, LVNI_FOCUSED);
    ShowRowTip(row, GetFocus() == lsvComponents ? RowReason(row) : std::string());
}

void TfrmSuccess::ShowRowTip(int row, std::string text) {
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = lsvComponents;
    if (text.empty()) {
        SendMessageA(rowTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    tool.lpszText = &text[0];
    SendMessageA(rowTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    RECT r = {};
    ListView_GetItemRect(lsvComponents, row, &r, LVIR_BOUNDS);
    POINT below = {r.left + ScaleToDpi(16, CurrentDpi()), r.bottom};
    ClientToScreen(lsvComponents, &below);
    SendMessageA(rowTip, TTM_TRACKPOSITION, 0, MAKELPARAM(below.x, below.y));
    SendMessageA(rowTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TfrmSuccess::ControlNotify(NMHDR* header) {
    if (header->hwndFrom != lsvComponents) return 0;
    switch (header->code) {
    case LVN_GETINFOTIPA: {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
        const std::string reason = RowReason(tip->iItem);
        if (!reason.empty() && tip->cchTextMax > 0) lstrcpynA(tip->pszText, reason.c_str(), tip->cchTextMax);
        return 0;
    }
    case LVN_ITEMCHANGED:
    case NM_SETFOCUS:
    case NM_KILLFOCUS:
        ShowFocusedRowReason();
        return 0;
    default:
        return 0;
    }
}

void TfrmSuccess::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
}

void TfrmSuccess::cmdNextClick() { SetModalResult(mrNext); }
void TfrmSuccess::cmdBackClick() { SetModalResult(mrBack); }
