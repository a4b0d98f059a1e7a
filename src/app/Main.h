#pragma once
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
    WizardStep WelcomeStep();
    WizardStep SelectionStep();
    WizardStep DestinationStep();
    WizardStep ContactInfoStep();
    WizardStep ReadyStep();
    WizardStep ProgressStep();
    WizardStep SummaryStep();
};

extern TfrmMain* frmMain;

// The wizard's exit code: 13000 when a restart is due and left to the caller ("-d"), else 0.
int WizardExitCode();
