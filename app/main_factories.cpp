#include "app/main_factories.h"

#include "app/main_window.h"
#include "commands/factory_list.h"
#include "toolkit/areas/area.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_window.h"

namespace {

// Makes player panels: the preview with its transport bar.
class TPlayerPanelFactory : public TWidgetFactory {
public:
    TPlayerPanelFactory(TFactoryList& List, std::string_view Id) : TWidgetFactory(List, nullptr, "", Id) {
        SetControlClass(TPlayerPanel::Class);
    }
    std::string_view ClassName() const override { return "TPlayerPanelFactory"; }

protected:
    ~TPlayerPanelFactory() override = default;
};

// The factory registered under Id, or a new one Make registers (remembered
// in Owned to be freed).
template <class T, class F>
T* FindOrMake(TFactoryList& List, std::string_view Id, TFactory*& Owned, F Make) {
    if (auto* Found = dynamic_cast<T*>(List.Find(Id)))
        return Found;
    T* Made = Make();
    Owned = Made;
    return Made;
}

} // namespace

TMainFactories::TMainFactories(TFactoryList& List) {
    FToolBar = FindOrMake<TToolBarFactory>(List, ToolBarId, FOwned[0],
                                           [&] { return new TToolBarFactory(List, nullptr, "", ToolBarId); });
    FToolWindow = FindOrMake<TToolWindowFactory>(List, TToolWindowFactory::DefaultId, FOwned[1],
                                                 [&] { return new TToolWindowFactory(List, nullptr, ""); });
    FPlayerPanel = FindOrMake<TFactory>(List, PlayerPanelId, FOwned[2],
                                        [&] { return new TPlayerPanelFactory(List, PlayerPanelId); });
    FArea = FindOrMake<TFactory>(List, AreaId, FOwned[3], [&] { return new TAreaFactory(List, nullptr, "", AreaId); });
}

TMainFactories::~TMainFactories() {
    for (TFactory* Factory : FOwned)
        if (Factory)
            Factory->Free();
}
