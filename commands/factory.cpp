#include "commands/factory.h"

#include "commands/factory_control.h"
#include "commands/factory_list.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"

TFactory::TFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                   std::string_view Id)
    : TFactoryObject(Name), FId(Id) {
    if (List.Find(Id))
        RaiseError(FormatMessageText(GetText(TTextSlot::FactoryIdExists), Id));
    FCategory = Category;
    if (FCategory)
        FCategory->Append(this);
    List.Add(*this);
}

TFactory::TFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id)
    : TFactory(FactoryList(), Category, Name, Id) {}

TFactory::~TFactory() {
    if (FList && !FList->Destroying())
        FList->Remove(*this);
    if (FCategory && !FCategory->Destroying())
        FCategory->Delete(this);
}

void TFactory::SetControlClass(const TControlClass& NewClass) {
    if (FControlClass && !NewClass.InheritsFrom(*FControlClass)) {
        std::string Message =
            FormatMessageText(GetText(TTextSlot::InvalidControlClass), NewClass.Name());
        RaiseError(FormatMessageText(Message, ClassName()));
    }
    FControlClass = &NewClass;
}

void TFactory::InitControl(TControl&) {}

std::unique_ptr<TControl> TFactory::CreateControl() {
    std::unique_ptr<TControl> Control = FControlClass ? FControlClass->Create() : nullptr;
    if (!Control)
        RaiseError(FormatMessageText(GetText(TTextSlot::FactoryCannotCreate), FId));
    InitControl(*Control);
    return Control;
}

void TFactory::BeginDesign(TControl& Control, const TDesignHook& Hook) {
    Control.BeginDesign(Hook);
}

void TFactory::EndDesign(TControl& Control) {
    Control.EndDesign();
}

void TFactory::DesignSelect(TControl&, TControl*) {}

void TFactory::DesignDeselect(TControl*) {}

void TFactory::ActivateControl(TControl& Control) {
    Control.ActivateControl();
}

void TFactory::DeactivateControl(TControl& Control) {
    Control.DeactivateControl();
}

bool TFactory::GetDefaultSize(TControl& Control, int32_t& Width, int32_t& Height) {
    return Control.GetDefaultSize(Width, Height);
}

void TFactory::LoadControl(TControl& Control, TData& Data) {
    Control.LoadControl(Data);
}

void TFactory::Loaded(TControl& Control) {
    Control.Loaded();
}

void TFactory::SaveControl(TControl& Control, TData& Data) {
    Control.SaveControl(Data);
}
