#pragma once

#include "toolkit/design/widget_factory.h"
#include "toolkit/widgets/widget.h"

// A gadget that repaints itself when the mouse enters or leaves it or a
// button goes down or up on it, only while it is enabled: a disabled flat
// gadget keeps its look whatever the mouse does.
class TFlatGadget : public TGadget {
public:
    static const TControlClass Class;

    std::string_view ClassName() const override { return "TFlatGadget"; }

    void StateChanged() override;
};

// The factory of flat gadgets: a gadget factory whose class is TFlatGadget.
class TFlatGadgetFactory : public TGadgetFactory {
public:
    TFlatGadgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                       std::string_view Id, THandler OnClick, THandler OnExecute);
    TFlatGadgetFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id,
                       THandler OnClick, THandler OnExecute);
    std::string_view ClassName() const override { return "TFlatGadgetFactory"; }

protected:
    ~TFlatGadgetFactory() override = default;
};
