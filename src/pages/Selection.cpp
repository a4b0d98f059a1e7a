#include "pages/Selection.h"

#include "installmanager/Configuration.h"
#include "installmanager/MessageTexts.h"
#include "pages/SizeText.h"
#include "ui/ResourceIds.h"

TfrmSelection* frmSelection;

namespace {
std::string UserThousandsSeparator() {
    char separator[8] = "";
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator)) return ",";
    return separator;
}
}  // namespace

TfrmSelection::TfrmSelection() : TWizardPage("TfrmSelection") {}

std::vector<ControlLayout> TfrmSelection::Layout() {
    return {
        Background(),
        // The title names the list for screen readers.
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 401, 16,
         "Select the Tarnwick components to install", -1, coTitle, nullptr, "lsvComponent"},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 57,
         "Select which components or libraries you want to install or reinstall on your system. Note "
         "that unchecking an item will not uninstall it if it is already installed on your system. Use "
         "'Add or Remove Programs' in the Control Panel to uninstall an item.",
         -1, coWordWrap},
        {&lsvComponent, "lsvComponent", ControlKind::ListView, 128, 200, 441, 145, nullptr, 0, coBorder},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 1, coNone},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Next >", 2, coDefault},
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 3, coCancel},
    };
}

void TfrmSelection::FormCreate() {
    ListView_SetExtendedListViewStyle(lsvComponent, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetListColumns(lsvComponent,
                   {{" Components", 250, LVCFMT_LEFT}, {"Version", 75, LVCFMT_LEFT}, {"Space", 95, LVCFMT_RIGHT}});
    SetListPictures(lsvComponent, IDB_COMPONENTS);
}

void TfrmSelection::FormShow() { FillComponentList(); }

void TfrmSelection::FillComponentList() {
    ListView_DeleteAllItems(lsvComponent);
    std::string separator = UserThousandsSeparator();
    for (int i = 0; i < ComponentCount(); ++i) {
        TSetupComponent& entry = Component(i);
        std::string text = entry.ComponentDescription + (entry.Required ? " (Required)" : "");
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = &text[0];
        item.iImage = entry.ComponentImageIndex;  // -1 shows no picture
        item.lParam = 0;
        int row = static_cast<int>(SendMessageA(lsvComponent, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) continue;
        std::string version = entry.Version;
        std::string space = FormatSizeText(entry.Size, separator);
        ListView_SetItemText(lsvComponent, row, 1, &version[0]);
        ListView_SetItemText(lsvComponent, row, 2, &space[0]);
        ListView_SetCheckState(lsvComponent, row, entry.Selected);
        // The entry is attached after the tick so that setting the tick does not trip the
        // required-component rule.
        LVITEMA data = {};
        data.mask = LVIF_PARAM;
        data.iItem = row;
        data.lParam = reinterpret_cast<LPARAM>(&entry);
        SendMessageA(lsvComponent, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    }
}

TSetupComponent* TfrmSelection::RowEntry(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(lsvComponent, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<TSetupComponent*>(item.lParam);
}

bool TfrmSelection::AnyComponentChecked() {
    int rows = ListView_GetItemCount(lsvComponent);
    for (int row = 0; row < rows; ++row) {
        if (ListView_GetCheckState(lsvComponent, row)) return true;
    }
    return false;
}

void TfrmSelection::StoreSelection() {
    int rows = ListView_GetItemCount(lsvComponent);
    for (int row = 0; row < rows; ++row) {
        if (TSetupComponent* entry = RowEntry(row)) entry->Selected = ListView_GetCheckState(lsvComponent, row) != 0;
    }
}

bool TfrmSelection::FormCloseQuery() {
    if (GetModalResult() == mrCancel && !ConfirmQuit()) return false;
    StoreSelection();
    return true;
}

void TfrmSelection::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
    else if (control == cmdCancel) cmdCancelClick();
}

LRESULT TfrmSelection::ControlNotify(NMHDR* header) {
    if (header->hwndFrom == lsvComponent && header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->iItem >= 0) lsvComponentChange(change->iItem, change->uChanged);
    }
    return 0;
}

void TfrmSelection::lsvComponentChange(int row, UINT /*changed*/) {
    TSetupComponent* entry = RowEntry(row);
    if (entry && entry->Required && !ListView_GetCheckState(lsvComponent, row)) {
        Ask("This component is required.", MessageTexts::Information, MB_OK | MB_ICONINFORMATION);
        ListView_SetCheckState(lsvComponent, row, TRUE);
    }
}

void TfrmSelection::cmdNextClick() {
    if (AnyComponentChecked()) {
        SetModalResult(mrNext);
    } else {
        Ask("You must select at least one component to install.", MessageTexts::Information,
            MB_OK | MB_ICONINFORMATION);
    }
}

void TfrmSelection::cmdBackClick() { SetModalResult(mrBack); }
void TfrmSelection::cmdCancelClick() { SetModalResult(mrCancel); }
