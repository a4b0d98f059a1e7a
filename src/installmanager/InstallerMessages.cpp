#include "installmanager/InstallerMessages.h"

#include <msi.h>

#include <limits>
#include <string>

#include "installmanager/MessageFields.h"
#include "installmanager/ProgressDisplay.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"

TInstallerHandlerState InstallerHandlerState;

namespace {

const TInstallerMessageBoxCalls RealMessageBoxCalls = {::MessageBoxA, ::MessageBoxExA, ::MessageBeep};

// The message kind is the top byte of the message type, the rest are message-box style flags.
constexpr UINT KindMask = 0xFF000000u;
constexpr UINT StyleMask = 0x00FFFFFFu;
constexpr UINT IconMask = 0xF0u;

// The sign of the bar's movement follows the phase's direction; the negation saturates, so that an
// absurd tick count cannot overflow.
int32_t InDirection(int32_t ticks) {
    if (InstallerHandlerState.ForwardProgress) return ticks;
    return ticks == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -ticks;
}

void ActionStart(const char* text) {
    ProgressDisplay& display = CurrentProgressDisplay();
    const std::string description = ActionDescription(text);
    display.SetAction(description);
    if (description.empty()) display.SetActionDetail(std::string());
}

void ActionData(const char* text) {
    if (InstallerHandlerState.ProgressTotal == 0) return;
    ProgressDisplay& display = CurrentProgressDisplay();
    display.SetActionDetail(ActionDetailLines(text));
    if (InstallerHandlerState.EnableActionData) display.StepBar();
}

void ResetProgress(const int32_t* field) {
    TInstallerHandlerState& state = InstallerHandlerState;
    ProgressDisplay& display = CurrentProgressDisplay();
    state.ProgressTotal = field[1];
    state.ForwardProgress = field[2] == 0;
    state.ProgressPosition = state.ForwardProgress ? 0 : state.ProgressTotal;
    display.SetBarRange(state.ProgressTotal);
    // A new phase announced while the script runs (the rollback, say) first shows the bar full.
    display.SetBarPosition(state.ScriptInProgress ? state.ProgressTotal : state.ProgressPosition);
    state.ScriptInProgress = field[3] == 1;
    if (state.ScriptInProgress) {
        display.SetAction("Initializing...");
        display.SetActionDetail(std::string());
    }
}

void Progress(const char* text) {
    if (!ParseProgressFields(text)) return;
    const int32_t* field = ParsedFields.Progress;
    switch (field[0]) {
    case 0:
        ResetProgress(field);
        break;
    case 1:  // action information: how far each action-data message moves the bar
        if (field[2] != 0) {
            CurrentProgressDisplay().SetBarStep(InDirection(field[1]));
            InstallerHandlerState.EnableActionData = true;
        } else {
            InstallerHandlerState.EnableActionData = false;
        }
        break;
    case 2:  // progress report
        if (InstallerHandlerState.ProgressTotal != 0) CurrentProgressDisplay().MoveBar(InDirection(field[1]));
        break;
    default:
        break;
    }
}

void CommonData(const char* text) {
    if (!ParseCommonDataFields(text)) return;
    const int32_t* field = ParsedFields.CommonData;
    switch (field[0]) {
    case 0:
        InstallerHandlerState.MessageLanguage = static_cast<uint16_t>(field[1] & 0xFFFF);
        break;
    case 2:
        CurrentProgressDisplay().ShowCancel(field[1] != 0);
        break;
    default:
        break;
    }
}

// No one is at the screen: the box's default answer, and its text in the log.
int AnswerUnattended(const char* caption, const char* text, UINT style) {
    const int answer = DefaultButtonOf(style);
    LogLine(std::string("Windows Installer message (") + caption + ", answered " + std::to_string(answer) +
            "): " + text);
    return answer;
}

}  // namespace

int DefaultButtonOf(UINT style) {
    static const int buttons[][3] = {
        {IDOK, 0, 0},        {IDOK, IDCANCEL, 0},  {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0},    {IDRETRY, IDCANCEL, 0}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
    };
    const UINT type = style & MB_TYPEMASK;
    const int* row = buttons[type < 7 ? type : 0];
    const UINT index = (style & MB_DEFMASK) >> 8;
    return index < 3 && row[index] != 0 ? row[index] : row[0];
}

TInstallerMessageBoxCalls InstallerMessageBoxCalls = RealMessageBoxCalls;

void RestoreInstallerMessageBoxCalls() { InstallerMessageBoxCalls = RealMessageBoxCalls; }

void ResetInstallerHandlerState() {
    InstallerHandlerState = TInstallerHandlerState();
    ParsedFields = TParsedFields();
}

INT WINAPI InstallerUIHandler(LPVOID /*context*/, UINT messageType, LPCSTR messageText) {
    if (messageText == nullptr) return 0;
    // The installer calls us on the user-interface thread: this is what keeps the page alive and lets
    // its Cancel button set CancelRequested.
    CurrentProgressDisplay().ProcessMessages();

    const UINT style = messageType & StyleMask;
    const TInstallerMessageBoxCalls& boxes = InstallerMessageBoxCalls;
    const bool unattended = WizardSettings.Unattended;
    switch (messageType & KindMask) {
    case INSTALLMESSAGE_FATALEXIT:
        if (unattended) return AnswerUnattended("FatalError", messageText, style);
        return boxes.MessageBoxA(nullptr, messageText, "FatalError", style);
    case INSTALLMESSAGE_ERROR:
        if (unattended) return AnswerUnattended("Error", messageText, style);
        boxes.MessageBeep(style & IconMask);
        return boxes.MessageBoxExA(nullptr, messageText, "Error", style, InstallerHandlerState.MessageLanguage);
    case INSTALLMESSAGE_WARNING:
    case INSTALLMESSAGE_USER:
        if (unattended) return AnswerUnattended("Warning", messageText, style);
        return boxes.MessageBoxA(nullptr, messageText, "Warning", style);
    case INSTALLMESSAGE_INFO:
        return IDOK;
    case INSTALLMESSAGE_FILESINUSE:
    case INSTALLMESSAGE_RESOLVESOURCE:
        return 0;
    case INSTALLMESSAGE_OUTOFDISKSPACE:
        return IDOK;
    case INSTALLMESSAGE_ACTIONSTART:
        ActionStart(messageText);
        return IDOK;
    case INSTALLMESSAGE_ACTIONDATA:
        ActionData(messageText);
        return IDOK;
    case INSTALLMESSAGE_PROGRESS:
        Progress(messageText);
        // The only way a cancel reaches the installer: it then stops and rolls the package back.
        return WizardSettings.CancelRequested ? IDCANCEL : IDOK;
    case INSTALLMESSAGE_COMMONDATA:
        CommonData(messageText);
        return IDOK;
    case INSTALLMESSAGE_INITIALIZE:
    case INSTALLMESSAGE_TERMINATE:
    case INSTALLMESSAGE_SHOWDIALOG:
        return IDOK;
    default:
        return 0;
    }
}
