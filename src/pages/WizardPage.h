#pragma once
// What every wizard page shares: the window (600 x 400, fixed border, close box only), the
// background picture and the quit question on Cancel.
#include "ui/Form.h"

class TWizardPage : public TForm {
protected:
    explicit TWizardPage(const char* className, bool centerOnFirstShow = false,
                         FormBorder border = FormBorder::Dialog);

    // Asks the quit question; true when the user answered Yes.
    bool ConfirmQuit();
    // A page may close unless the result is Cancel and the user declines to quit.
    bool FormCloseQuery() override;

    static ControlLayout Background() {
        return {nullptr, "imgBackground", ControlKind::Picture, 0, 0, 601, 401, nullptr, -1, coNone};
    }
};
