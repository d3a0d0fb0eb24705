#include "toolkit/design/widget_factory.h"

#include "toolkit/widgets/widget.h"

TWidgetFactory::TWidgetFactory(TFactoryList& List, TFactoryCategory* Category,
                               std::string_view Name, std::string_view Id)
    : TFactory(List, Category, Name, Id) {
    SetControlClass(TWidget::Class);
}

TWidgetFactory::TWidgetFactory(TFactoryCategory* Category, std::string_view Name,
                               std::string_view Id)
    : TFactory(Category, Name, Id) {
    SetControlClass(TWidget::Class);
}

TGadgetFactory::TGadgetFactory(TFactoryList& List, TFactoryCategory* Category,
                               std::string_view Name, std::string_view Id, THandler OnClick,
                               THandler OnExecute)
    : TFactory(List, Category, Name, Id), FOnClick(std::move(OnClick)),
      FOnExecute(std::move(OnExecute)) {
    SetControlClass(TGadget::Class);
}

TGadgetFactory::TGadgetFactory(TFactoryCategory* Category, std::string_view Name,
                               std::string_view Id, THandler OnClick, THandler OnExecute)
    : TFactory(Category, Name, Id), FOnClick(std::move(OnClick)), FOnExecute(std::move(OnExecute)) {
    SetControlClass(TGadget::Class);
}

void TGadgetFactory::InitControl(TControl& Control) {
    TFactory::InitControl(Control);
    if (auto* Gadget = dynamic_cast<TGadget*>(&Control)) {
        Gadget->OnClick = FOnClick;
        Gadget->OnExecute = FOnExecute;
    }
}
