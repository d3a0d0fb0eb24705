#pragma once

#include <string_view>

class TFactory;
class TFactoryList;
class TToolBarFactory;
class TToolWindowFactory;

// The factories the main window's layout is built and stored with: the
// tool bar and tool window factories, the player panel's and the editing
// area's (the timeline editor's host). Each is registered in List unless a
// factory of its id is there already (that one is used); the ones this
// object registered are freed with it.
//
//   TMainFactories Factories(DockList().Factories());
//   Box.DockNew(std::make_unique<TPlayerPanel>(), &Factories.PlayerPanel(), Rect);
class TMainFactories {
public:
    static constexpr std::string_view ToolBarId = "ToolBar";
    static constexpr std::string_view PlayerPanelId = "Player|Panel";
    static constexpr std::string_view AreaId = "Edit|Area";

    explicit TMainFactories(TFactoryList& List);
    ~TMainFactories();
    TMainFactories(const TMainFactories&) = delete;
    TMainFactories& operator=(const TMainFactories&) = delete;

    TToolBarFactory& ToolBar() const { return *FToolBar; }
    TToolWindowFactory& ToolWindow() const { return *FToolWindow; }
    TFactory& PlayerPanel() const { return *FPlayerPanel; }
    TFactory& Area() const { return *FArea; }

private:
    TToolBarFactory* FToolBar = nullptr;
    TToolWindowFactory* FToolWindow = nullptr;
    TFactory* FPlayerPanel = nullptr;
    TFactory* FArea = nullptr;
    TFactory* FOwned[4] = {};
};
