#pragma once

#include "app/dialogs/dialog_form.h"

#include <string>

class TDialogButton;
class TEditControl;

// Asks for one line of text: a prompt, an edit box holding the text all
// selected, OK (the default: Enter) and Cancel (Escape).
//
//   std::string Name = "Holiday";
//   if (TInputForm().Execute(System, "Rename", "New name:", Name)) Rename(Name);
class TInputForm : public TDialogForm {
public:
    static constexpr int32_t EditWidth = 320;

    TInputForm();
    std::string_view ClassName() const override { return "TInputForm"; }

    // Shows the dialog modally. Text goes in and comes back as edited,
    // whatever closed the dialog; true only for OK.
    bool Execute(TWindowSystem& System, const std::string& Caption, const std::string& Prompt, std::string& Text);

    TEditControl& Edit() const { return *FEdit; }
    TDialogButton& OkButton() const { return *FOk; }
    TDialogButton& CancelButton() const { return *FCancel; }
    const std::string& Prompt() const { return FPrompt; }

    void Paint(TPixels& Pixels) override;

private:
    std::string FPrompt;
    TEditControl* FEdit;
    TDialogButton* FOk;
    TDialogButton* FCancel;
};
