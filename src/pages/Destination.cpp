#include "pages/Destination.h"

#include <cstring>

#include "ui/FolderBrowser.h"
#include "installmanager/MessageTexts.h"
#include "installmanager/Settings.h"

TfrmDestination* frmDestination;

TfrmDestination::TfrmDestination() : TWizardPage("TfrmDestination") {}

std::vector<ControlLayout> TfrmDestination::Layout() {
    return {
        Background(),
        {&cmdCancel, "cmdCancel", ControlKind::Button, 504, 368, 89, 25, "&Cancel", 3, coCancel},
        {&cmdBack, "cmdBack", ControlKind::Button, 320, 368, 89, 25, "< &Back", 1, coNone},
        {&cmdNext, "cmdNext", ControlKind::Button, 408, 368, 89, 25, "&Next >", 2, coDefault},
        {&lblTitle, "lblTitle", ControlKind::Label, 128, 104, 441, 16, "Confirm installation folder", -1, coTitle},
        {&lblText, "lblText", ControlKind::Label, 128, 144, 441, 41,
         "The Tarnwick components will be installed in the following folder. Click the 'Change...' "
         "button to install to a different folder if desired. Use the 'Make new folder' option to "
         "create the folder if it does not already exist.",
         -1, coWordWrap},
        {&lblText2, "lblText2", ControlKind::Label, 128, 264, 441, 17, "Installation folder:", -1, coNone},
        {&lblDestinationFolder, "lblDestinationFolder", ControlKind::Label, 128, 288, 345, 17, "", -1, coBold},
        {&cmdChange, "cmdChange", ControlKind::Button, 480, 287, 89, 25, "Ch&ange...", 0, coNone},
        {&Label1, "Label1", ControlKind::Label, 128, 192, 441, 41,
         "Note: If you are reinstalling a component that is already installed on your system, it will "
         "be reinstalled in the original folder instead of the following folder. To change the "
         "location of a previously installed component, you must ",
         -1, coWordWrap},
        {&Label2, "Label2", ControlKind::Label, 128, 232, 441, 17,
         "first uninstall it using 'Add or Remove Programs' in the Control Panel.", -1, coNone},
        {&Label3, "Label3", ControlKind::Label, 128, 328, 441, 17, "Click Next to continue.", -1, coNone},
    };
}

void TfrmDestination::FormShow() { SetText(lblDestinationFolder, WizardSettings.GetInstallFolder()); }

void TfrmDestination::FormClose() { SaveInstallFolder(); }

void TfrmDestination::SaveInstallFolder() { WizardSettings.SetInstallFolder(GetText(lblDestinationFolder)); }

void TfrmDestination::ControlCommand(HWND control, WORD code) {
    if (code != BN_CLICKED) return;
    if (control == cmdNext) cmdNextClick();
    else if (control == cmdBack) cmdBackClick();
    else if (control == cmdCancel) cmdCancelClick();
    else if (control == cmdChange) cmdChangeClick();
}

void TfrmDestination::cmdChangeClick() {
    char buffer[FolderBufferSize] = {};
    // A folder too long for the browser's buffer is not preselected rather than cut short.
    std::string shown = GetText(lblDestinationFolder);
    if (shown.size() < FolderBufferSize) std::memcpy(buffer, shown.c_str(), shown.size() + 1);
    if (BrowseForFolder(buffer, hwnd, "Select the destination directory.")) SetText(lblDestinationFolder, buffer);
}

void TfrmDestination::cmdNextClick() {
    SaveInstallFolder();
    if (HasEnoughDiskSpace()) {
        SetModalResult(mrNext);
    } else {
        Ask(MessageTexts::NotEnoughDiskSpace, MessageTexts::Information, MB_OK | MB_ICONINFORMATION);
    }
}

void TfrmDestination::cmdBackClick() { SetModalResult(mrBack); }
void TfrmDestination::cmdCancelClick() { SetModalResult(mrCancel); }
