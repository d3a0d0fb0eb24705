#include "toolkit/controls/memo_control.h"

const TControlClass TMemoControl::Class{"TMemoControl", &TTextEditWidget::Class, CreateControlOf<TMemoControl>};

TMemoControlFactory::TMemoControlFactory(TFactoryList& List, TFactoryCategory* Category,
                                         std::string_view Name, std::string_view Id)
    : TWidgetFactory(List, Category, Name, Id) {
    SetControlClass(TMemoControl::Class);
}

TMemoControlFactory::TMemoControlFactory(TFactoryCategory* Category, std::string_view Name,
                                         std::string_view Id)
    : TWidgetFactory(Category, Name, Id) {
    SetControlClass(TMemoControl::Class);
}
