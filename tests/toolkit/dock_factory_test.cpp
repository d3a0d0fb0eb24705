#include "commands/factory_list.h"
#include "core/data.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/docking/border_dock.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/widgets/widget_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A stored outermost dock holding one item made by FactoryId, whose own
// stored form has Caption.
std::string OneItemLayout(std::string_view FactoryId, std::string_view Caption) {
    TData Data;
    Data.Enter("List");
    Data.WriteInteger("Count", 1);
    Data.Enter("Item[0]");
    Data.WriteString("FactoryId", FactoryId);
    Data.Enter("Dock");
    Data.WriteString("Caption", Caption);
    Data.Leave();
    Data.Leave();
    Data.Leave();
    return Data.SaveToText();
}

struct TFactoryScope {
    TFactoryList Factories;
    TFactoryScope() { DockList().SetFactories(&Factories); }
    ~TFactoryScope() { DockList().SetFactories(nullptr); }
};

} // namespace

TEST(DockFactories, RegisteringTwiceKeepsOneBorderDockFactoryThatMakesBorderDocks) {
    TFactoryList Factories;
    RegisterDockFactories(Factories);
    RegisterDockFactories(Factories);
    TFactory* Factory = Factories.Find("BorderDock");
    ASSERT_NE(Factory, nullptr);
    EXPECT_NE(dynamic_cast<TBorderDockFactory*>(Factory), nullptr);
    std::unique_ptr<TControl> Made = Factory->CreateControl();
    EXPECT_NE(dynamic_cast<TBorderDock*>(Made.get()), nullptr);
}

TEST(DockFactories, AStoredBorderDockIsRebuiltByItsIdAndSavesBackTheSame) {
    TFactoryScope Scope;
    RegisterDockFactories(Scope.Factories);
    const std::string Stored = OneItemLayout("BorderDock", "Edge");

    TDock Outer;
    {
        TData Data;
        Data.LoadFromText(Stored);
        Outer.LoadControl(Data);
    }
    ASSERT_EQ(Outer.Items().size(), 1u);
    auto* Rebuilt = dynamic_cast<TBorderDock*>(&Outer.Items()[0]->Control);
    ASSERT_NE(Rebuilt, nullptr);
    EXPECT_EQ(Rebuilt->Caption(), "Edge");
    EXPECT_EQ(Outer.Items()[0]->Factory, Scope.Factories.Find("BorderDock"));

    TData First;
    Outer.SaveControl(First);
    TDock Again;
    {
        TData Data;
        Data.LoadFromText(First.SaveToText());
        Again.LoadControl(Data);
    }
    TData Second;
    Again.SaveControl(Second);
    EXPECT_EQ(Second.SaveToText(), First.SaveToText());
    ASSERT_EQ(Again.Items().size(), 1u);
}

TEST(DockFactories, ABorderDockStoredInsideAToolBoxIsSkippedLikeAnUnknownId) {
    TFactoryScope Scope;
    RegisterDockFactories(Scope.Factories);
    TToolBar Bar;
    TData Data;
    Data.LoadFromText(OneItemLayout("BorderDock", "Edge"));
    Bar.LoadControl(Data);
    EXPECT_TRUE(Bar.Items().empty());
}

TEST(DockList, FloatingDocksHideAndShowWithTheMainWindow) {
    const TRect Desk{0, 0, 1024, 768};
    THeadlessWindowSystem System({{Desk, Desk}});
    TWidget MainRoot;
    TWidgetWindow Main(System, MainRoot,
                       {.Kind = TWindowKind::Main, .Title = "Main", .Bounds = TRect::FromSize(100, 100, 400, 300)});
    DockList().SetSystem(&System);
    DockList().SetMainWindow(&Main.Native());
    Main.Show(TActivate::Yes);
    System.ProcessEvents();
    auto& Shown = DockList().Float(std::make_unique<TToolBar>(), TRect::FromSize(600, 100, 80, 30));
    auto& Hidden = DockList().Float(std::make_unique<TToolBar>(), TRect::FromSize(600, 200, 80, 30),
                                    TFloatShow::Hidden);
    System.ProcessEvents();
    TNativeWindow& ShownWindow = DockList().FloatingWindow(Shown)->Native();
    TNativeWindow& HiddenWindow = DockList().FloatingWindow(Hidden)->Native();
    ASSERT_TRUE(ShownWindow.IsVisible());
    ASSERT_FALSE(HiddenWindow.IsVisible());

    Main.Native().Minimize();
    System.ProcessEvents();
    EXPECT_FALSE(ShownWindow.IsVisible());
    EXPECT_FALSE(HiddenWindow.IsVisible());

    Main.Native().Restore();
    System.ProcessEvents();
    EXPECT_TRUE(ShownWindow.IsVisible());
    EXPECT_FALSE(HiddenWindow.IsVisible());

    Main.Hide();
    System.ProcessEvents();
    EXPECT_FALSE(ShownWindow.IsVisible());
    Main.Show(TActivate::Yes);
    System.ProcessEvents();
    EXPECT_TRUE(ShownWindow.IsVisible());

    DockList().Clear();
    DockList().SetMainWindow(nullptr);
    DockList().SetSystem(nullptr);
}
