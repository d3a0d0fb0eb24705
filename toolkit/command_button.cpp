#include "toolkit/command_button.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "platform/keys.h"
#include "toolkit/widget_window.h"

const TControlClass TCommandButton::Class{"TCommandButton", &TCommonButton::Class,
                                          CreateControlOf<TCommandButton>};
const TControlClass TDialogButton::Class{"TDialogButton", &TCommonButton::Class,
                                         CreateControlOf<TDialogButton>};

// ---- TCommandButton

namespace {

constexpr TCommandChangeFlags EnabledFlags = CommandChangeIsOn | CommandChangeEnabled;

} // namespace

TCommandButton::~TCommandButton() {
    Unbind();
}

void TCommandButton::Unbind() {
    if (FList)
        FList->Changes().RemoveChangeHandler(MakeDelegate<&TCommandButton::CommandsChanged>(this));
    FList = nullptr;
    FCommand = nullptr;
}

void TCommandButton::SetCommand(TCommand* Command) {
    if (Command == FCommand)
        return;
    Unbind();
    FCommand = Command;
    FList = Command ? Command->List() : nullptr;
    if (FList)
        FList->Changes().AddChangeHandler(MakeDelegate<&TCommandButton::CommandsChanged>(this));
    Follow(CommandChangeCaption | CommandChangeChecked | EnabledFlags | CommandChangeHint);
}

void TCommandButton::CommandsChanged(TObject* /*Sender*/, TCommandChangeFlags Flags) {
    if (HasAny(Flags, CommandChangeRegistry) && FCommand) {
        // The command left the registry (it is being freed, or moved to
        // another one): let go of it.
        bool Registered = false;
        for (int32_t I = 0; FList && I < FList->Count(); ++I)
            Registered = Registered || FList->Get(I) == FCommand;
        if (!Registered) {
            Unbind();
            Follow(CommandChangeCaption | CommandChangeChecked | EnabledFlags | CommandChangeHint);
            return;
        }
    }
    Follow(Flags);
}

void TCommandButton::Follow(TCommandChangeFlags Flags) {
    if (HasAny(Flags, CommandChangeCaption))
        SetCaption(FCommand ? std::string_view(FCommand->Caption()) : std::string_view());
    if (HasAny(Flags, CommandChangeChecked))
        SetChecked(FCommand && FCommand->Checked());
    if (HasAny(Flags, EnabledFlags))
        SetEnabled(IsDesigning() || (FCommand && FCommand->IsOn() && FCommand->Enabled()));
    if (HasAny(Flags, CommandChangeHint))
        SetHint(FCommand ? std::string_view(FCommand->Hint()) : std::string_view());
}

void TCommandButton::Click() {
    auto Life = LifeToken();
    TCommonButton::Click();
    if (Life.expired() || !FCommand || IsDesigning())
        return;
    FCommand->Execute(this);
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
    auto Life = LifeToken();
    TCommonButton::Click();
    if (Life.expired() || IsDesigning() || FValue == TModalResult::None)
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
