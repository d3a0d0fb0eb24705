#include "toolkit/design/common_control_factory.h"

#include "toolkit/controls/command_button.h"
#include "toolkit/controls/common_control.h"

TCommonControlFactory::TCommonControlFactory(TFactoryList& List, TFactoryCategory* Category,
                                             std::string_view Name, std::string_view Id)
    : TFactory(List, Category, Name, Id) {
    SetControlClass(TCommonControl::Class);
}

TCommonControlFactory::TCommonControlFactory(TFactoryCategory* Category, std::string_view Name,
                                             std::string_view Id)
    : TFactory(Category, Name, Id) {
    SetControlClass(TCommonControl::Class);
}

TCommonButtonFactory::TCommonButtonFactory(TFactoryList& List, TFactoryCategory* Category,
                                           std::string_view Name, std::string_view Id)
    : TCommonControlFactory(List, Category, Name, Id) {
    SetControlClass(TCommonButton::Class);
}

TCommonButtonFactory::TCommonButtonFactory(TFactoryCategory* Category, std::string_view Name,
                                           std::string_view Id)
    : TCommonControlFactory(Category, Name, Id) {
    SetControlClass(TCommonButton::Class);
}

TCommonCheckBoxFactory::TCommonCheckBoxFactory(TFactoryList& List, TFactoryCategory* Category,
                                               std::string_view Name, std::string_view Id)
    : TCommonControlFactory(List, Category, Name, Id) {
    SetControlClass(TCommonCheckBox::Class);
}

TCommonCheckBoxFactory::TCommonCheckBoxFactory(TFactoryCategory* Category, std::string_view Name,
                                               std::string_view Id)
    : TCommonControlFactory(Category, Name, Id) {
    SetControlClass(TCommonCheckBox::Class);
}

TCommandButtonFactory::TCommandButtonFactory(TFactoryList& List, TFactoryCategory* Category,
                                             std::string_view Name, std::string_view Id,
                                             TCommand* Command)
    : TCommonButtonFactory(List, Category, Name, Id), FCommand(Command) {
    SetControlClass(TCommandButton::Class);
}

TCommandButtonFactory::TCommandButtonFactory(TFactoryCategory* Category, std::string_view Name,
                                             std::string_view Id, TCommand* Command)
    : TCommonButtonFactory(Category, Name, Id), FCommand(Command) {
    SetControlClass(TCommandButton::Class);
}

void TCommandButtonFactory::InitControl(TControl& Control) {
    TCommonButtonFactory::InitControl(Control);
    if (auto* Button = dynamic_cast<TCommandButton*>(&Control))
        Button->SetCommand(FCommand);
}

TDialogButtonFactory::TDialogButtonFactory(TFactoryList& List, TFactoryCategory* Category,
                                           std::string_view Name, std::string_view Id,
                                           TDialogButtonSetup Button)
    : TCommonButtonFactory(List, Category, Name, Id), FButton(std::move(Button)) {
    SetControlClass(TDialogButton::Class);
}

TDialogButtonFactory::TDialogButtonFactory(TFactoryCategory* Category, std::string_view Name,
                                           std::string_view Id, TDialogButtonSetup Button)
    : TCommonButtonFactory(Category, Name, Id), FButton(std::move(Button)) {
    SetControlClass(TDialogButton::Class);
}

void TDialogButtonFactory::InitControl(TControl& Control) {
    TCommonButtonFactory::InitControl(Control);
    if (auto* Dialog = dynamic_cast<TDialogButton*>(&Control)) {
        Dialog->SetCaption(FButton.Caption);
        Dialog->SetHint(FButton.Hint);
        Dialog->SetValue(FButton.Value);
        Dialog->SetDefault(FButton.IsDefault);
    }
}
