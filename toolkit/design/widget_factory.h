#pragma once

#include "commands/factory.h"

#include <functional>
#include <string_view>

class TFactoryList;

// The factory of a widget kind: narrows the control class to TWidget (a
// derived kind narrows it further with SetControlClass) and forwards every
// operation to the control, as the base factory does.
class TWidgetFactory : public TFactory {
public:
    TWidgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                   std::string_view Id);
    TWidgetFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TWidgetFactory"; }

protected:
    ~TWidgetFactory() override = default;
};

// The factory of a gadget kind: every gadget it makes gets the click and
// execute handlers the factory was given.
class TGadgetFactory : public TFactory {
public:
    using THandler = std::function<void()>;

    TGadgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                   std::string_view Id, THandler OnClick, THandler OnExecute);
    TGadgetFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id,
                   THandler OnClick, THandler OnExecute);
    std::string_view ClassName() const override { return "TGadgetFactory"; }

    void InitControl(TControl& Control) override;

protected:
    ~TGadgetFactory() override = default;

private:
    THandler FOnClick;
    THandler FOnExecute;
};
