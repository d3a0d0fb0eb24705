#include "toolkit/widgets/flat_gadget.h"

const TControlClass TFlatGadget::Class{"TFlatGadget", &TGadget::Class, CreateControlOf<TFlatGadget>};

void TFlatGadget::StateChanged() {
    if (IsEnabledInTree())
        Changed();
}

TFlatGadgetFactory::TFlatGadgetFactory(TFactoryList& List, TFactoryCategory* Category,
                                       std::string_view Name, std::string_view Id,
                                       THandler OnClick, THandler OnExecute)
    : TGadgetFactory(List, Category, Name, Id, std::move(OnClick), std::move(OnExecute)) {
    SetControlClass(TFlatGadget::Class);
}

TFlatGadgetFactory::TFlatGadgetFactory(TFactoryCategory* Category, std::string_view Name,
                                       std::string_view Id, THandler OnClick, THandler OnExecute)
    : TGadgetFactory(Category, Name, Id, std::move(OnClick), std::move(OnExecute)) {
    SetControlClass(TFlatGadget::Class);
}
