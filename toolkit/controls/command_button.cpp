#include "toolkit/controls/command_button.h"

#include "commands/command.h"
#include "platform/keys.h"
#include "toolkit/widgets/widget_window.h"

const TControlClass TCommandButton::Class{"TCommandButton", &TCommonButton::Class,
                                          CreateControlOf<TCommandButton>};
const TControlClass TDialogButton::Class{"TDialogButton", &TCommonButton::Class,
                                         CreateControlOf<TDialogButton>};

// ---- TCommandButton

namespace {

constexpr TCommandChangeFlags EnabledFlags = CommandChangeIsOn | CommandChangeEnabled;

} // namespace

void TCommandButton::SetCommand(TCommand* Command) {
    FLink.Set(Command);
}

void TCommandButton::Follow(TCommandChangeFlags Flags) {
    const TCommand* Shown = Command();
    if (HasAny(Flags, CommandChangeCaption))
        SetCaption(Shown ? std::string_view(Shown->Caption()) : std::string_view());
    if (HasAny(Flags, CommandChangeChecked))
        SetChecked(Shown && Shown->Checked());
    if (HasAny(Flags, EnabledFlags))
        SetEnabled(IsDesigning() || (Shown && Shown->IsOn() && Shown->Enabled()));
    if (HasAny(Flags, CommandChangeHint))
        SetHint(Shown ? std::string_view(Shown->Hint()) : std::string_view());
}

void TCommandButton::Click() {
    TWeakPtr Life(this);
    TCommonButton::Click();
    if (Life.IsExpired() || !Command() || IsDesigning())
        return;
    Command()->Execute(this);
}

void TCommandButton::BeginDesign(const TDesignHook& Hook) {
    TCommonButton::BeginDesign(Hook);
    Follow(EnabledFlags);
}

void TCommandButton::EndDesign() {
    TCommonButton::EndDesign();
    Follow(EnabledFlags);
}

// ---- TDialogButton

void TDialogButton::SetDefault(bool IsDefault) {
    if (IsDefault == FIsDefault)
        return;
    FIsDefault = IsDefault;
    Changed();
}

TPopupWidget* TDialogButton::Form() const {
    for (TWidget* W = Parent(); W; W = W->Parent())
        if (auto* Popup = dynamic_cast<TPopupWidget*>(W))
            return Popup;
    return nullptr;
}

void TDialogButton::Click() {
    TWeakPtr Life(this);
    TCommonButton::Click();
    if (Life.IsExpired() || IsDesigning() || FValue == TModalResult::None)
        return;
    if (TPopupWidget* Popup = Form())
        Popup->SetModalResult(FValue);
}

bool TDialogButton::DialogChar(TWidgetKeyEvent& Event) {
    if (TCommonButton::DialogChar(Event))
        return true;
    bool Plain = (Event.Modifiers & ShortCutModifiers) == 0;
    if (!FIsDefault || Event.Key != KeyEnter || !Plain || IsDesigning() || !IsShowing() ||
        !IsEnabledInTree())
        return false;
    Event.Accept();
    Click();
    return true;
}

bool TDialogButton::ShowsDefaultFrame() const {
    if (HasFocus())
        return true;
    if (!FIsDefault)
        return false;
    TWidgetWindow* Window = this->Window();
    return !(Window && dynamic_cast<TCommonButton*>(Window->Focused()));
}
