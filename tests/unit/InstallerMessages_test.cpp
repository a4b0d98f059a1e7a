#include "installmanager/InstallerMessages.h"

#include <msi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DisplayRecorder.h"
#include "installmanager/Settings.h"

namespace {

struct BoxCall {
    HWND owner;
    std::string text, caption;
    UINT style;
    int language;  // -1: MessageBoxA, which takes none
};
std::vector<BoxCall> boxes;
std::vector<UINT> beeps;
int boxResult = IDOK;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    boxes.push_back({owner, text, caption, style, -1});
    return boxResult;
}
int WINAPI RecordBoxEx(HWND owner, LPCSTR text, LPCSTR caption, UINT style, WORD language) {
    boxes.push_back({owner, text, caption, style, language});
    return boxResult;
}
BOOL WINAPI RecordBeep(UINT type) {
    beeps.push_back(type);
    return TRUE;
}

class InstallerMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInstallerHandlerState();
        InstallerMessageBoxCalls = {RecordBox, RecordBoxEx, RecordBeep};
        boxes.clear();
        beeps.clear();
        boxResult = IDOK;
        WizardSettings.CancelRequested = false;
    }
    void TearDown() override {
        RestoreInstallerMessageBoxCalls();
        ResetInstallerHandlerState();
        WizardSettings.CancelRequested = false;
    }
    static INT Send(UINT kind, const char* text) { return InstallerUIHandler(nullptr, kind, text); }
    static INT Progress(const char* text) { return Send(INSTALLMESSAGE_PROGRESS, text); }

    DisplayRecorder display;
};

TEST_F(InstallerMessagesTest, AnswersEachKind) {
    const struct {
        UINT kind;
        INT answer;
    } rows[] = {
        {INSTALLMESSAGE_INFO, IDOK},          {INSTALLMESSAGE_FILESINUSE, 0},
        {INSTALLMESSAGE_RESOLVESOURCE, 0},    {INSTALLMESSAGE_OUTOFDISKSPACE, IDOK},
        {INSTALLMESSAGE_ACTIONSTART, IDOK},   {INSTALLMESSAGE_ACTIONDATA, IDOK},
        {INSTALLMESSAGE_PROGRESS, IDOK},      {INSTALLMESSAGE_COMMONDATA, IDOK},
        {INSTALLMESSAGE_INITIALIZE, IDOK},    {INSTALLMESSAGE_TERMINATE, IDOK},
        {INSTALLMESSAGE_SHOWDIALOG, IDOK},    {0x0F000000, 0},
        {0x19000000, 0},  /* RMFILESINUSE */     {0xFF000000, 0},
    };
    int pumps = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(0, Send(row.kind, nullptr)) << std::hex << row.kind;
        EXPECT_EQ(pumps, display.pumps) << "a call without text pumps nothing";
        EXPECT_EQ(row.answer, Send(row.kind | MB_ICONWARNING, "x")) << std::hex << row.kind;
        EXPECT_EQ(++pumps, display.pumps) << "every call with text pumps the queue";
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InstallerMessagesTest, ShowsBoxesAndPassesTheirResultBack) {
    const struct {
        UINT kind;
        const char* caption;
        bool error;
    } rows[] = {
        {INSTALLMESSAGE_FATALEXIT, "FatalError", false},
        {INSTALLMESSAGE_ERROR, "Error", true},
        {INSTALLMESSAGE_WARNING, "Warning", false},
        {INSTALLMESSAGE_USER, "Warning", false},
    };
    Send(INSTALLMESSAGE_COMMONDATA, "1: 0 2: 1031 3: 1252 ");
    const UINT style = MB_ABORTRETRYIGNORE | MB_ICONWARNING | MB_DEFBUTTON2;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        boxes.clear();
        beeps.clear();
        boxResult = IDRETRY;
        EXPECT_EQ(IDRETRY, Send(row.kind | style, "Disk full"));
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(nullptr, boxes[0].owner);
        EXPECT_EQ("Disk full", boxes[0].text);
        EXPECT_EQ(row.caption, boxes[0].caption);
        EXPECT_EQ(style, boxes[0].style);
        EXPECT_EQ(row.error ? 1031 : -1, boxes[0].language);
        EXPECT_EQ(row.error ? std::vector<UINT>{MB_ICONWARNING} : std::vector<UINT>{}, beeps);
    }
    // The language follows the latest language message, cut to 16 bits.
    Send(INSTALLMESSAGE_COMMONDATA, "1: 0 2: 70000 ");
    Send(INSTALLMESSAGE_ERROR | MB_ICONERROR, "again");
    EXPECT_EQ(70000 & 0xFFFF, boxes.back().language);
    EXPECT_EQ(MB_ICONERROR, beeps.back());
}

// No one at the screen: each box is answered with its default button, without a box or a sound.
TEST_F(InstallerMessagesTest, UnattendedRunsAnswerWithTheDefaultButton) {
    const struct {
        UINT style;
        int answer;
    } rows[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_ICONWARNING | MB_DEFBUTTON2, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNO | MB_DEFBUTTON3, IDYES},  // no third button: the first
        {MB_RETRYCANCEL | MB_ICONERROR, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
    };
    WizardSettings.Unattended = true;
    for (const auto& row : rows) {
        for (UINT kind : {INSTALLMESSAGE_FATALEXIT, INSTALLMESSAGE_ERROR, INSTALLMESSAGE_WARNING, INSTALLMESSAGE_USER})
            EXPECT_EQ(row.answer, Send(kind | row.style, "Disk full")) << row.style;
    }
    WizardSettings.Unattended = false;
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(beeps.empty());
}

TEST_F(InstallerMessagesTest, ForwardPhase) {
    Progress("1: 0 2: 1000 3: 0 4: 0 ");
    Progress("1: 2 2: 250 ");
    Progress("1: 1 2: 10 3: 1 ");
    Send(INSTALLMESSAGE_ACTIONDATA, "File: a.dll,  Size: 4096");
    Progress("1: 1 2: 10 3: 0 ");  // action data no longer moves the bar
    Send(INSTALLMESSAGE_ACTIONDATA, "File: b.dll");
    Progress("1: 3 2: 500 ");       // "add to total": ignored
    EXPECT_EQ((std::vector<std::string>{"range 1000", "pos 0", "move 250", "step 10", "detail File: a.dll\r\nSize: 4096",
                                        "stepit", "detail File: b.dll"}),
              display.calls);
    EXPECT_EQ(260, display.barPosition);
}

TEST_F(InstallerMessagesTest, BackwardPhase) {
    Progress("1: 0 2: 1000 3: 1 4: 0 ");
    Progress("1: 2 2: 250 ");
    Progress("1: 1 2: 10 3: 1 ");
    Send(INSTALLMESSAGE_ACTIONDATA, "File: a.dll");
    EXPECT_EQ((std::vector<std::string>{"range 1000", "pos 1000", "move -250", "step -10", "detail File: a.dll", "stepit"}),
              display.calls);
    EXPECT_EQ(740, display.barPosition);
    EXPECT_FALSE(InstallerHandlerState.ForwardProgress);
    EXPECT_EQ(1000, InstallerHandlerState.ProgressPosition);
}

TEST_F(InstallerMessagesTest, ResetWhileTheScriptRunsFirstShowsTheBarFull) {
    Send(INSTALLMESSAGE_ACTIONDATA, "before");
    Progress("1: 0 2: 300 3: 0 4: 1 ");
    EXPECT_EQ("Initializing...", display.action);
    EXPECT_EQ("", display.detail);
    EXPECT_TRUE(InstallerHandlerState.ScriptInProgress);
    display.calls.clear();
    Progress("1: 0 2: 500 3: 0 4: 0 ");
    EXPECT_EQ((std::vector<std::string>{"range 500", "pos 500"}), display.calls);
    EXPECT_FALSE(InstallerHandlerState.ScriptInProgress);
    Progress("1: 0 2: 500 3: 0 4: 0 ");
    EXPECT_EQ("pos 0", display.calls.back());
}

TEST_F(InstallerMessagesTest, NothingMovesBeforeTheFirstReset) {
    Progress("1: 1 2: 10 3: 1 ");
    Progress("1: 2 2: 40 ");
    Send(INSTALLMESSAGE_ACTIONDATA, "File: a.dll,  Size: 1");
    EXPECT_EQ((std::vector<std::string>{"step 10"}), display.calls);
    EXPECT_EQ(0, display.barPosition);
    EXPECT_EQ("", display.detail);
}

TEST_F(InstallerMessagesTest, ActionStartKeepsOrClearsTheDetail) {
    Progress("1: 0 2: 100 3: 0 4: 0 ");
    Send(INSTALLMESSAGE_ACTIONDATA, "File: a.dll");
    Send(INSTALLMESSAGE_ACTIONSTART, "Action 16:01:44: InstallFiles. Copying new files");
    EXPECT_EQ("Copying new files", display.action);
    EXPECT_EQ("File: a.dll", display.detail);
    Send(INSTALLMESSAGE_ACTIONSTART, "Action 16:01:45: INSTALL. ");
    EXPECT_EQ("", display.action);
    EXPECT_EQ("", display.detail);
}

TEST_F(InstallerMessagesTest, CommonData) {
    const struct {
        const char* text;
        bool visible;
    } rows[] = {
        {"1: 2 2: 0 ", false},
        {"1: 1 2: Tarnwick ", false},                        // a caption: ignored
        {"Message type: 0, Argument: 1033, 0", false},        // Wine's other form: ignored
        {"1: 2 2: 1 ", true},
        {"1: 2 2:", true},                                    // cut off: ignored
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IDOK, Send(INSTALLMESSAGE_COMMONDATA, row.text));
        EXPECT_EQ(row.visible, display.cancelVisible) << row.text;
    }
    EXPECT_EQ(0, InstallerHandlerState.MessageLanguage);
}

TEST_F(InstallerMessagesTest, ConfirmedCancelIsAnsweredOnProgressMessagesOnly) {
    WizardSettings.CancelRequested = true;
    EXPECT_EQ(IDCANCEL, Progress("1: 2 2: 10 "));
    EXPECT_EQ(IDCANCEL, Progress("not a progress text"));
    for (UINT kind : {INSTALLMESSAGE_ACTIONSTART, INSTALLMESSAGE_ACTIONDATA, INSTALLMESSAGE_COMMONDATA,
                      INSTALLMESSAGE_INFO, INSTALLMESSAGE_TERMINATE})
        EXPECT_EQ(IDOK, Send(kind, "1: 2 2: 1 ")) << std::hex << kind;
    WizardSettings.CancelRequested = false;  // the user declined a later question
    EXPECT_EQ(IDOK, Progress("1: 2 2: 10 "));
}

struct TracedMessage {
    UINT type;
    bool hasText;
    std::string text;
};

// Reads a trace written by tests/fixtures/trace: "<type in hex>\t<text>" lines, the text with "\\"
// for a backslash and "\xHH" for other bytes; a line without a tab is a message without text.
std::vector<TracedMessage> ReadTrace(const char* path) {
    std::vector<TracedMessage> messages;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return messages;
    char buffer[8192];
    while (std::fgets(buffer, sizeof buffer, file)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.size() < 8 || line[0] == '#') continue;
        TracedMessage message{static_cast<UINT>(std::stoul(line.substr(0, 8), nullptr, 16)), line.size() > 8, ""};
        for (std::size_t i = 9; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'x') {
                message.text += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                message.text += line[i];
            }
        }
        messages.push_back(message);
    }
    std::fclose(file);
    return messages;
}

// A trace recorded from Wine's msi.dll by tests/fixtures/trace while it installed the alpha test
// package into C:\Program Files\Tarnwick; replayed message by message.
TEST_F(InstallerMessagesTest, ReplaysARecordedInstallation) {
    const std::vector<TracedMessage> trace = ReadTrace(TARNWICK_UNIT_TEST_DATA "/alpha-install.trace");
    ASSERT_GT(trace.size(), 100u);
    std::vector<std::string> details;
    int withText = 0;
    for (const TracedMessage& message : trace) {
        const INT answer = InstallerUIHandler(nullptr, message.type, message.hasText ? message.text.c_str() : nullptr);
        withText += message.hasText;
        const UINT kind = message.type & 0xFF000000;
        if (kind == INSTALLMESSAGE_PROGRESS || kind == INSTALLMESSAGE_ACTIONSTART || kind == INSTALLMESSAGE_COMMONDATA) {
            EXPECT_EQ(IDOK, answer) << message.text;
        }
        if (kind == INSTALLMESSAGE_ACTIONDATA) details.push_back(display.detail);
    }

    EXPECT_EQ(withText, display.pumps);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(1033, InstallerHandlerState.MessageLanguage);
    // Wine announces one forward phase and reports the file's bytes; the bar ends full.
    EXPECT_EQ(1u, display.Calls("range ").size());
    EXPECT_GT(display.barMaximum, 0);
    EXPECT_EQ(display.barMaximum, display.barPosition);
    EXPECT_NE(details.end(), std::find(details.begin(), details.end(), "File: alpha.txt\r\nDirectory: INSTALLDIR\r\nSize: 28"));
    // The installer hides the Cancel button for its last step and shows it again.
    EXPECT_EQ((std::vector<std::string>{"cancel hidden", "cancel shown"}), display.Calls("cancel "));
    EXPECT_TRUE(display.cancelVisible);
    EXPECT_EQ("Publishing product information", display.action);
    EXPECT_EQ("1: {6FFE34E9-3923-4074-A292-5E0676C4448A} ", display.detail);
}

}  // namespace
