#pragma once

#include "toolkit/controls/command_link.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/widgets/popup_widget.h"

class TCommand;

// A push button bound to a command: it shows the command's caption and
// hint, looks checked while the command is checked, is enabled while the
// command is on and enabled (or in design mode), follows the command's
// changes, and a click executes the command. Freeing the command unbinds
// the button; the command registry must outlive the button.
//
//   auto& Save = Form.Add<TCommandButton>();
//   Save.SetCommand(&SaveCommand);
class TCommandButton : public TCommonButton {
public:
    static const TControlClass Class;

    TCommandButton() = default;
    std::string_view ClassName() const override { return "TCommandButton"; }

    TCommand* Command() const { return FLink.Command(); }
    // Binds the button to Command (null: none) and takes over its state.
    void SetCommand(TCommand* Command);

    // OnClick, then the command.
    void Click() override;
    void BeginDesign(const TDesignHook& Hook) override;
    void EndDesign() override;

private:
    void Follow(TCommandChangeFlags Flags);

    TCommandLink FLink{MakeDelegate<&TCommandButton::Follow>(this),
                       CommandChangeCaption | CommandChangeChecked | CommandChangeIsOn |
                           CommandChangeEnabled | CommandChangeHint};
};

// A button of a modal pop-up or dialog: a click sets the modal result of
// the pop-up it is in to the button's value, which closes it. A default
// button also answers Enter anywhere in the pop-up and shows the default
// frame while no other button has the focus.
class TDialogButton : public TCommonButton {
public:
    static const TControlClass Class;

    TDialogButton() = default;
    std::string_view ClassName() const override { return "TDialogButton"; }

    TModalResult Value() const { return FValue; }
    void SetValue(TModalResult Value) { FValue = Value; }
    bool IsDefault() const { return FIsDefault; }
    void SetDefault(bool IsDefault);

    // OnClick, then the pop-up's modal result.
    void Click() override;
    bool DialogChar(TWidgetKeyEvent& Event) override;
    bool ShowsDefaultFrame() const override;
    // The pop-up the button is in, or null.
    TPopupWidget* Form() const;

private:
    TModalResult FValue = TModalResult::None;
    bool FIsDefault = false;
};
