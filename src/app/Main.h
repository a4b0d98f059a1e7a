#pragma once
#include "app/CommandLine.h"
#include "app/PageFlow.h"
#include "ui/Form.h"

// The hidden main form: loads the configuration when created, runs the page sequence from its show
// handler, carries the page position from page to page, and ends the application by closing.
class TfrmMain : public TForm {
public:
    TfrmMain();

    int PageTop = 0;
    int PageLeft = 0;

    int ShowPage(TForm& page);

protected:
    std::vector<ControlLayout> Layout() override { return {}; }
    void FormCreate() override;
    void FormShow() override;
    void FormDestroy() override;

private:
    // "/quiet" and "/passive", and "/uninstall" in any mode: the run alone, with the progress page or
    // without any window (a removal in the wizard asks first and shows its summary after).
    void RunWithoutInputPages();
    WizardStep WelcomeStep();
    WizardStep SelectionStep();
    WizardStep DestinationStep();
    WizardStep ContactInfoStep();
    WizardStep ReadyStep();
    WizardStep ProgressStep();
    WizardStep SummaryStep();
};

extern TfrmMain* frmMain;

// How this run goes; set before the main form is created.
extern RunMode WizardRunMode;
// Ends the run before it installs anything, with this exit code (a wrong switch value; unattended:
// also an unreadable configuration, too little disk space).
void StopBeforeInstalling(int exitCode);

// The wizard's exit code: 13000 when a restart is due and left to the caller ("-d"), else 0. Unattended
// runs end with the codes of ExitCodes.h.
int WizardExitCode();
