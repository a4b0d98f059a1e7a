#include "pages/WizardPage.h"

#include "installmanager/MessageTexts.h"

TWizardPage::TWizardPage(const char* className, bool centerOnFirstShow, FormBorder border)
    : TForm(FormLayout{className, border, 600, 400, centerOnFirstShow}) {}

bool TWizardPage::ConfirmQuit() {
    return Ask(MessageTexts::QuitQuestion, MessageTexts::Confirm, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool TWizardPage::FormCloseQuery() { return GetModalResult() != mrCancel || ConfirmQuit(); }
