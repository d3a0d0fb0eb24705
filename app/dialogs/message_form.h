#pragma once

#include "app/dialogs/dialog_form.h"

#include <cstdint>
#include <functional>
#include <string>

class TDialogButton;

enum class TMessageKind : uint8_t { Warning, Error, Information, Confirmation, Custom };

// The buttons a message dialog can show, in the order it shows them; a set
// of them is a mask of MessageButton bits (Yes, No and Cancel is 11).
enum class TMessageButton : uint8_t { Yes, No, Ok, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };
constexpr int32_t MessageButtonCount = 11;
constexpr uint16_t MessageButton(TMessageButton Button) { return uint16_t(1u << uint8_t(Button)); }

// What closed a message dialog.
enum class TMessageResult : int32_t {
    None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7, All = 8, NoToAll = 9,
    YesToAll = 10,
};

// A message box drawn by the toolkit: an icon for the kind (none for a
// custom message), the text wrapped to fit the screen, and the buttons of
// the set in their fixed order with captions from the text table. The first
// of OK and Yes is the default (Enter); Escape answers as the Cancel
// button, else No, else OK. The Help button does not close the dialog: it
// calls OnHelp with the help context.
//
//   if (MessageDialog(System, Text, TMessageKind::Confirmation,
//                     MessageButton(TMessageButton::Yes) | MessageButton(TMessageButton::No), 0) ==
//       TMessageResult::Yes) ...
class TMessageForm : public TDialogForm {
public:
    static constexpr int32_t IconSize = 32;

    TMessageForm(const std::string& Text, TMessageKind Kind, uint16_t Buttons, int32_t HelpContext);
    std::string_view ClassName() const override { return "TMessageForm"; }

    TMessageResult Execute(TWindowSystem& System);
    // The dialog's button for Button, or null when the set has none.
    TDialogButton* Button(TMessageButton Button) const { return FButtons[uint8_t(Button)]; }
    const std::vector<std::string>& Lines() const { return FLines; }

    std::function<void(int32_t HelpContext)> OnHelp;

    void Paint(TPixels& Pixels) override;
    void KeyDown(TWidgetKeyEvent& Event) override;

private:
    TMessageKind FKind;
    int32_t FHelpContext;
    std::vector<std::string> FLines;
    int32_t FTextLeft = 0;
    TDialogButton* FButtons[MessageButtonCount] = {};
    TDialogButton* FEscapeButton = nullptr;
    TMessageResult FResult = TMessageResult::None;
};

// Shows a message dialog and returns the button pressed.
TMessageResult MessageDialog(TWindowSystem& System, const std::string& Text, TMessageKind Kind, uint16_t Buttons,
                             int32_t HelpContext);
