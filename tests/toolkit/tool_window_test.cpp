#include "commands/factory_list.h"
#include "core/data.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/docking/tool_window.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A control the size of a media browser: it names its default size.
class TBrowserLike : public TWidget {
public:
    static const TControlClass Class;
    static constexpr int32_t DefaultWidth = 200;
    static constexpr int32_t DefaultHeight = 150;
    std::string_view ClassName() const override { return "TBrowserLike"; }
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override {
        Width = DefaultWidth;
        Height = DefaultHeight;
        return true;
    }
};
const TControlClass TBrowserLike::Class{"TBrowserLike", &TWidget::Class, CreateControlOf<TBrowserLike>};

class TBrowserFactory : public TWidgetFactory {
public:
    explicit TBrowserFactory(TFactoryList& List) : TWidgetFactory(List, nullptr, "Browser", "Test|Browser") {
        SetControlClass(TBrowserLike::Class);
    }
};

class TLabelFactory : public TGadgetFactory {
public:
    explicit TLabelFactory(TFactoryList& List) : TGadgetFactory(List, nullptr, "Label", "Test|Label", {}, {}) {
        SetControlClass(TLabelGadget::Class);
    }
};

// A main window of 800 x 600 at (100, 100) on a 1280 x 800 desktop with the
// five docks, and a tool window holding a left-aligned label and a
// stretched browser-sized control to its right.
struct TToolWindowFixture {
    THeadlessWindowSystem System{{{TRect{0, 0, 1280, 800}, TRect{0, 0, 1280, 800}}}};
    TFactoryList Factories;
    TToolWindowFactory* WindowFactory;
    TBrowserFactory* BrowserFactory;
    TLabelFactory* LabelFactory;
    std::unique_ptr<TDockHost> Host;
    std::unique_ptr<TWidgetWindow> Main;

    TToolWindowFixture() {
        WindowFactory = new TToolWindowFactory(Factories, nullptr, "Tool window");
        BrowserFactory = new TBrowserFactory(Factories);
        LabelFactory = new TLabelFactory(Factories);
        Host = std::make_unique<TDockHost>();
        Main = std::make_unique<TWidgetWindow>(
            System, *Host,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Main", .Bounds = TRect::FromSize(100, 100, 800, 600)});
        DockList().SetSystem(&System);
        DockList().SetMainWindow(&Main->Native());
        DockList().SetFactories(&Factories);
        Main->Show(TActivate::Yes);
        Settle();
    }
    ~TToolWindowFixture() {
        Drag().Cancel();
        DockList().Clear();
        Main.reset();
        Host.reset();
        DockList().SetSystem(nullptr);
        DockList().SetMainWindow(nullptr);
        DockList().SetFactories(nullptr);
    }

    void Settle() {
        System.ProcessEvents();
        Main->Update();
        System.ProcessEvents();
        for (TDock* Dock : DockList().Docks())
            if (TWidgetWindow* Window = DockList().FloatingWindow(*Dock))
                Window->Update();
    }

    template <class T>
    std::unique_ptr<T> Make(TFactory& Factory) {
        std::unique_ptr<TControl> Made = Factory.CreateControl();
        return std::unique_ptr<T>(static_cast<T*>(Made.release()));
    }

    // The tool window, not yet docked or floating.
    std::unique_ptr<TToolWindow> MakeWindow(TWidget** Label = nullptr, TWidget** Browser = nullptr) {
        auto Window = Make<TToolWindow>(*WindowFactory);
        Window->SetCaption("Browser");
        auto Text = Make<TLabelGadget>(*LabelFactory);
        Text->SetText("Name");
        TWidget* MadeLabel = Window->DockNew(std::move(Text), LabelFactory, {0, 0, 60, 20});
        TWidget* MadeBrowser = Window->DockNew(Make<TBrowserLike>(*BrowserFactory), BrowserFactory,
                                               TRect::FromSize(200, 0, 200, 150));
        auto& LabelItem = static_cast<TToolWindowItem&>(*Window->FindItem(*MadeLabel));
        LabelItem.HorzAlign = TItemAlign::Near;
        LabelItem.HorzSize = -100;
        auto& BrowserItem = static_cast<TToolWindowItem&>(*Window->FindItem(*MadeBrowser));
        BrowserItem.HorzAlign = TItemAlign::Stretch;
        BrowserItem.VertAlign = TItemAlign::Stretch;
        BrowserItem.HorzSize = 100;
        BrowserItem.VertSize = 100;
        if (Label)
            *Label = MadeLabel;
        if (Browser)
            *Browser = MadeBrowser;
        return Window;
    }

    TToolWindow& Float(std::unique_ptr<TToolWindow> Window, TRect At = TRect::FromSize(300, 300, 10, 10)) {
        auto& Result = static_cast<TToolWindow&>(DockList().Float(std::move(Window), At));
        Settle();
        return Result;
    }

    TNativeWindow& NativeOf(TToolWindow& Window) { return DockList().FloatingWindow(Window)->Native(); }

    // What the window manager does when the user drags an edge.
    void Resize(TToolWindow& Window, int32_t GrowWidth, int32_t GrowHeight) {
        TNativeWindow& Native = NativeOf(Window);
        const TRect B = Native.Bounds();
        Native.SetBounds({B.Left, B.Top, B.Right + GrowWidth, B.Bottom + GrowHeight});
        Settle();
    }

    void Click(TToolWindow& Window, const TNCGadget& Gadget) {
        const TRect Screen = Gadget.Bounds().Translated(NativeOf(Window).Bounds().TopLeft());
        System.ScriptClick({Screen.Left + Screen.Width() / 2, Screen.Top + Screen.Height() / 2});
        RunScript(System);
        Settle();
    }
};

} // namespace

TEST(ToolWindow, TheTableSizesTheWindowAroundItsContentWithTheTitleAndBorders) {
    TToolWindowFixture F;
    TWidget *Label = nullptr, *Browser = nullptr;
    TToolWindow& Window = F.Float(F.MakeWindow(&Label, &Browser));
    const TRect M = Window.NCMargins();
    EXPECT_EQ(M.Top, 2 + TToolBox::TitleSize);
    // Side by side: the label's default width and the browser's.
    int32_t LabelWidth = 0, LabelHeight = 0;
    ASSERT_TRUE(Label->GetDefaultSize(LabelWidth, LabelHeight));
    EXPECT_EQ(Window.Table().Width(), LabelWidth + TBrowserLike::DefaultWidth);
    EXPECT_EQ(Window.Table().Height(), std::max(LabelHeight, TBrowserLike::DefaultHeight));
    const TRect Client = Window.ClientRect();
    EXPECT_EQ(Client.Width(), Window.Table().Width());
    EXPECT_EQ(Client.Height(), Window.Table().Height());
    EXPECT_EQ(F.NativeOf(Window).Bounds().Size(), (TSize{Client.Width() + M.Left + M.Right,
                                                        Client.Height() + M.Top + M.Bottom}));
    // The label sits at the left of its cell, the browser fills its own
    // (children are placed in client coordinates).
    EXPECT_EQ(Label->Bounds().Left, 0);
    EXPECT_EQ(Browser->Bounds().Right, Client.Width());
    EXPECT_EQ(Browser->Bounds().Height(), Client.Height());
}

TEST(ToolWindow, DraggingTheRightEdgeGrowsOnlyTheStretchedControlUnlessTheWidthIsLocked) {
    TToolWindowFixture F;
    TWidget *Label = nullptr, *Browser = nullptr;
    TToolWindow& Window = F.Float(F.MakeWindow(&Label, &Browser));
    const int32_t W = Window.Width(), H = Window.Height();
    EXPECT_EQ(Window.HitTest({W - 2, H / 2}, 0), THitTest::ResizeRight);
    EXPECT_EQ(Window.HitTest({1, H / 2}, 0), THitTest::ResizeLeft);
    EXPECT_EQ(Window.HitTest({W - 2, H - 2}, 0), THitTest::ResizeBottomRight);
    EXPECT_EQ(Window.HitTest({W / 2, 1}, 0), THitTest::ResizeTop);
    EXPECT_EQ(Window.HitTest({W / 2, H / 2}, 0), THitTest::Normal);

    const TRect LabelBefore = Label->Bounds(), BrowserBefore = Browser->Bounds();
    F.Resize(Window, 80, 0);
    EXPECT_EQ(Label->Bounds(), LabelBefore);
    EXPECT_EQ(Browser->Bounds().Width(), BrowserBefore.Width() + 80);
    EXPECT_EQ(Browser->Bounds().Left, BrowserBefore.Left);
    ASSERT_TRUE(Window.NormalClient.Valid);
    EXPECT_EQ(Window.NormalClient.Width, Window.ClientRect().Width());
    EXPECT_FALSE(Window.MaximizedClient.Valid);

    // Width-locked: only the top and bottom bands size it.
    const int32_t NewW = Window.Width();
    Window.IsWidthLocked = true;
    EXPECT_EQ(Window.HitTest({NewW - 2, H / 2}, 0), THitTest::Normal);
    EXPECT_EQ(Window.HitTest({1, H / 2}, 0), THitTest::Normal);
    EXPECT_EQ(Window.HitTest({NewW - 2, H - 2}, 0), THitTest::ResizeBottom);
    EXPECT_EQ(Window.HitTest({1, 1}, 0), THitTest::ResizeTop);
    Window.IsWidthLocked = false;
    Window.IsHeightLocked = true;
    EXPECT_EQ(Window.HitTest({NewW / 2, H - 1}, 0), THitTest::Normal);
    EXPECT_EQ(Window.HitTest({NewW - 1, H - 1}, 0), THitTest::ResizeRight);
}

TEST(ToolWindow, TheMinMaxButtonRollsUpToTheTitleAndBack) {
    TToolWindowFixture F;
    TToolWindow& Window = F.Float(F.MakeWindow());
    const TSize Before = F.NativeOf(Window).Bounds().Size();
    ASSERT_TRUE(Window.MinMaxButton().IsVisible());
    // Next to the close button at the right of the title.
    EXPECT_EQ(Window.MinMaxButton().Bounds().Right, Window.CloseButton().Bounds().Left);
    F.Click(Window, Window.MinMaxButton());
    EXPECT_TRUE(Window.IsMinimized());
    EXPECT_FALSE(Window.IsOpen());
    const TRect M = Window.NCMargins();
    EXPECT_EQ(F.NativeOf(Window).Bounds().Height(), M.Top + M.Bottom);
    EXPECT_EQ(F.NativeOf(Window).Bounds().Width(), Before.Width);
    // Rolled up, no sizing frame and no drops.
    EXPECT_EQ(Window.HitTest({Window.Width() - 1, 1}, 0), THitTest::Normal);
    EXPECT_FALSE(Window.AcceptsDrop(Window.Items()[0].get() ? &Window.Items()[0]->Control : nullptr, nullptr,
                                    {0, 0}, {}));
    F.Click(Window, Window.MinMaxButton());
    EXPECT_FALSE(Window.IsMinimized());
    EXPECT_TRUE(Window.IsOpen());
    EXPECT_EQ(F.NativeOf(Window).Bounds().Size(), Before);
}

TEST(ToolWindow, ClosingWithRollUpRollsUpWhileFloatingAndHidesWhileDocked) {
    TToolWindowFixture F;
    TToolWindow& Floating = F.Float(F.MakeWindow());
    Floating.CloseState = TCloseState::RollUp;
    F.Click(Floating, Floating.CloseButton());
    EXPECT_TRUE(Floating.IsMinimized());
    EXPECT_TRUE(F.NativeOf(Floating).IsVisible());
    // Showing it again unrolls it.
    Floating.Command().Execute(nullptr);
    EXPECT_FALSE(Floating.IsMinimized());

    TSplitDock& Centre = F.Host->Centre();
    auto Made = F.MakeWindow();
    TToolWindow& Docked = *Made;
    Docked.CloseState = TCloseState::RollUp;
    Centre.DockNew(std::move(Made), F.WindowFactory, {0, 0, Centre.ClientRect().Width(), Centre.ClientRect().Height()});
    F.Settle();
    ASSERT_EQ(Docked.ParentDock(), &Centre);
    EXPECT_TRUE(Docked.IsOpen());
    HideToolBox(Docked);
    F.Settle();
    EXPECT_FALSE(Docked.IsMinimized());
    EXPECT_FALSE(Docked.IsVisible());
    EXPECT_EQ(Docked.CloseState, TCloseState::Hide);
}

TEST(ToolWindow, MaximisingTheMainWindowSwitchesToTheStoredMaximisedSize) {
    TToolWindowFixture F;
    TToolWindow& Window = F.Float(F.MakeWindow());
    F.Resize(Window, 40, 30);
    const TClientSize Normal = Window.NormalClient;
    ASSERT_TRUE(Normal.Valid);
    Window.MaximizedClient = {Normal.Width + 100, Normal.Height + 50, true};
    F.Main->Native().Maximize();
    F.Settle();
    ToolBoxes().FitAllToMainWindow();
    F.Settle();
    EXPECT_EQ(Window.ClientRect().Width(), Normal.Width + 100);
    EXPECT_EQ(Window.ClientRect().Height(), Normal.Height + 50);
    // Sizing it now stores the maximised size and leaves the normal one.
    F.Resize(Window, 10, 0);
    EXPECT_EQ(Window.MaximizedClient.Width, Normal.Width + 110);
    EXPECT_EQ(Window.NormalClient.Width, Normal.Width);
    F.Main->Native().Restore();
    F.Settle();
    ToolBoxes().FitAllToMainWindow();
    F.Settle();
    EXPECT_EQ(Window.ClientRect().Width(), Normal.Width);
}

TEST(ToolWindow, AWindowSpanningTheMainWindowFollowsItsWidth) {
    TToolWindowFixture F;
    // From 10 pixels inside the main window's left edge to 10 inside its
    // right edge.
    TToolWindow& Window = F.Float(F.MakeWindow(), TRect::FromSize(110, 400, 780, 200));
    F.NativeOf(Window).SetBounds(TRect::FromSize(110, 400, 780, 200));
    F.Settle();
    ASSERT_TRUE(Window.NormalPlacement.Valid);
    F.Main->Native().SetBounds(TRect::FromSize(100, 100, 900, 600));
    ToolBoxes().FitAllToMainWindow();
    F.Settle();
    EXPECT_EQ(F.NativeOf(Window).Bounds().Width(), 880);
    EXPECT_EQ(F.NativeOf(Window).Bounds().Left, 110);
    // Locked, it keeps its width.
    Window.IsWidthLocked = true;
    F.Main->Native().SetBounds(TRect::FromSize(100, 100, 1000, 600));
    ToolBoxes().FitAllToMainWindow();
    F.Settle();
    EXPECT_EQ(F.NativeOf(Window).Bounds().Width(), 880);
}

TEST(ToolWindowAttachment, TheTitleSideDecidesTheEdgeAWindowKeepsItsDistanceTo) {
    TToolWindowFixture F;
    TToolWindow& Window = F.Float(F.MakeWindow());
    // Main window 800 x 600 at (100, 100).
    struct TCase {
        TTitleAlign Title;
        bool WidthLocked;
        TRect Delta;
        int32_t Width, Height;
        TAttachment Horz;
    };
    const TCase Cases[] = {
        // Left title, width-locked, right of the centre, below the main
        // window: its left edge keeps its distance to the right edge.
        {TTitleAlign::Left, true, {500, 700, -100, 800}, 200, 100, TAttachment::NearToFar},
        // The same window overlapping the main window vertically, its right
        // edge near the main window's: right to right.
        {TTitleAlign::Left, true, {500, 100, -100, -300}, 200, 100, TAttachment::FarToFar},
        // Unlocked and spanning the main window: left to left.
        {TTitleAlign::Left, false, {300, 700, -100, 800}, 400, 100, TAttachment::NearToNear},
        // A right title exactly on the centre line counts as the far side.
        // (the near side's rule would give left to left here).
        {TTitleAlign::Right, false, {300, 100, -300, -300}, 200, 100, TAttachment::FarToFar},
        // Right title on the far side, its right edge well beyond the main
        // window's: left to right.
        {TTitleAlign::Right, false, {600, 100, 300, -300}, 200, 100, TAttachment::NearToFar},
        // Right title on the near side, overlapping: left to left.
        {TTitleAlign::Right, false, {10, 100, -590, -300}, 200, 100, TAttachment::NearToNear},
        // Right title on the near side, below, locked: right to left.
        {TTitleAlign::Right, true, {-300, 700, -900, 800}, 200, 100, TAttachment::FarToNear},
    };
    for (const TCase& Case : Cases) {
        Window.SetTitleOptions(Case.Title, true, true);
        Window.IsWidthLocked = Case.WidthLocked;
        Window.NormalPlacement = {Case.Delta, Case.Width, Case.Height, true};
        TAttachment Horz, Vert;
        Window.GetAttachment(Horz, Vert);
        EXPECT_EQ(Horz, Case.Horz) << int(Case.Title) << " " << Case.Delta.Left << "," << Case.Delta.Right;
    }
}

TEST(ToolWindowStore, SaveLoadSaveGivesTheSameTextAndStoresEachItemOnce) {
    TToolWindowFixture F;
    TToolWindow& Window = F.Float(F.MakeWindow());
    Window.CloseState = TCloseState::RollUp;
    Window.IsHeightLocked = true;
    F.Resize(Window, 30, 20);
    TData First;
    Window.SaveControl(First);
    const std::string Text = First.SaveToText();
    // Two items, each written once: under the table's cells.
    size_t Count = 0;
    for (size_t At = Text.find("FactoryId"); At != std::string::npos; At = Text.find("FactoryId", At + 1))
        ++Count;
    EXPECT_EQ(Count, 2u);

    auto Made = F.Make<TToolWindow>(*F.WindowFactory);
    TData In;
    In.LoadFromText(Text);
    Made->LoadControl(In);
    EXPECT_EQ(Made->Items().size(), 2u);
    const TRect At = Made->AroundRect();
    TToolWindow* Loaded = &F.Float(std::move(Made), At);
    EXPECT_EQ(Loaded->CloseState, TCloseState::RollUp);
    EXPECT_TRUE(Loaded->IsHeightLocked);
    TData Second;
    Loaded->SaveControl(Second);
    EXPECT_EQ(Second.SaveToText(), Text);
}

TEST(ToolWindowStore, DamagedSizesAreClampedAndItemsNoCellHoldsStillGoIntoTheTable) {
    TToolWindowFixture F;
    // Written through the document's own writer so that only the values
    // are hostile, not the syntax.
    TData In;
    {
        TDataSection Floating(In, "Floating");
        TDataSection Normal(In, "Normal");
        In.WriteInt64("Client.Width", 99999999999);
        In.WriteInteger("Client.Height", -5);
    }
    In.WriteInteger("CloseState", 7);
    {
        TDataSection List(In, "List");
        In.WriteInteger("Count", 2);
        {
            TDataSection Item(In, ListItemName("Item[", 0));
            In.WriteString("FactoryId", "Test|Browser");
            In.WriteRect("AroundRect", {0, 0, 200, 150});
            In.WriteInteger("HorzAlign", 9);
            In.WriteInteger("HorzSize", 500);
        }
        TDataSection Item(In, ListItemName("Item[", 1));
        In.WriteString("FactoryId", "Test|Browser");
        In.WriteRect("AroundRect", {0, 160, 200, 310});
    }
    auto Window = F.Make<TToolWindow>(*F.WindowFactory);
    Window->LoadControl(In);
    EXPECT_TRUE(Window->NormalClient.Valid);
    EXPECT_LE(Window->NormalClient.Width, 1 << 20);
    EXPECT_GT(Window->NormalClient.Width, 0);
    EXPECT_EQ(Window->NormalClient.Height, 0);
    EXPECT_EQ(Window->CloseState, TCloseState::RollUp);
    ASSERT_EQ(Window->Items().size(), 2u);
    for (auto& Item : Window->Items())
        EXPECT_NE(static_cast<TToolWindowItem&>(*Item).Hook.Table(), nullptr);
    auto& First = static_cast<TToolWindowItem&>(*Window->Items()[0]);
    EXPECT_EQ(First.HorzAlign, TItemAlign::Stretch);
    EXPECT_EQ(First.HorzSize, 100);
    // One above the other: the table is two rows high.
    Window->Table().Update();
    EXPECT_EQ(Window->Table().Height(), 2 * TBrowserLike::DefaultHeight);
}

TEST(ToolWindow, HidingAnItemCollapsesOrKeepsItsCellByShowMode) {
    TToolWindowFixture F;
    TWidget *Label = nullptr, *Browser = nullptr;
    TToolWindow& Window = F.Float(F.MakeWindow(&Label, &Browser));
    const int32_t Full = Window.Table().Width();
    const int32_t LabelWidth = Full - TBrowserLike::DefaultWidth;
    SetItemVisible(*Browser, false, TItemShowMode::KeepSpace);
    F.Settle();
    EXPECT_FALSE(Browser->IsVisible());
    EXPECT_EQ(Window.Table().Width(), Full);
    SetItemVisible(*Browser, false, TItemShowMode::Collapse);
    F.Settle();
    EXPECT_LE(Window.Table().Width(), LabelWidth);
    // A label takes its grid's kind: alone beside a collapsed control it
    // goes with it.
    EXPECT_FALSE(Label->IsVisible());
    SetItemVisible(*Browser, true, TItemShowMode::Collapse);
    F.Settle();
    EXPECT_TRUE(Browser->IsVisible());
    EXPECT_EQ(Window.Table().Width(), Full);
}

TEST(ToolWindowStore, TheCentreDockTakesToolWindowsFromAStoredLayoutButNoToolBar) {
    TToolWindowFixture F;
    TSplitDock& Centre = F.Host->Centre();
    const TRect Client = Centre.ClientRect();
    Centre.DockNew(F.MakeWindow(), F.WindowFactory, {0, 0, Client.Width(), Client.Height()});
    Centre.DockNew(F.MakeWindow(), F.WindowFactory, {0, Client.Height() / 2, Client.Width(), Client.Height()});
    F.Settle();
    ASSERT_EQ(Centre.Items().size(), 2u);
    TData Stored;
    Centre.SaveControl(Stored);
    const std::string Text = Stored.SaveToText();

    // Read into the centre dock of another host: both windows come back
    // with their controls, one above the other.
    TDockHost Other;
    Other.SetBounds(F.Host->Bounds());
    TData In;
    In.LoadFromText(Text);
    Other.Centre().LoadControl(In);
    Other.Centre().Loaded();
    Other.Layout();
    ASSERT_EQ(Other.Centre().Items().size(), 2u);
    for (const auto& Item : Other.Centre().Items()) {
        auto* Window = dynamic_cast<TToolWindow*>(&Item->Control);
        ASSERT_NE(Window, nullptr);
        EXPECT_EQ(Window->Items().size(), 2u);
    }
    EXPECT_LT(Other.Centre().Items()[0]->Control.Bounds().Bottom, Other.Centre().Items()[1]->Control.Bounds().Top + 1);

    // A drop of a tool window is welcome where a tool bar's is not.
    TDockHost Empty;
    auto Loose = F.MakeWindow();
    const TRect Drop = TRect::FromSize(0, 0, 200, 150);
    EXPECT_TRUE(Empty.Centre().AcceptsDrop(Loose.get(), F.WindowFactory, {10, 10}, Drop));
    TToolBarFactory* BarFactory = new TToolBarFactory(F.Factories, nullptr, "Bar", "Test|Bar");
    std::unique_ptr<TControl> Bar = BarFactory->CreateControl();
    EXPECT_FALSE(Empty.Centre().AcceptsDrop(static_cast<TWidget*>(Bar.get()), BarFactory, {10, 10}, Drop));
}

TEST(ToolWindowStore, DraggingTheCentreSplitterMovesItByTheMouseDistance) {
    TToolWindowFixture F;
    TSplitDock& Centre = F.Host->Centre();
    const TRect Client = Centre.ClientRect();
    TWidget* Top = Centre.DockNew(F.MakeWindow(), F.WindowFactory, {0, 0, Client.Width(), Client.Height()});
    TWidget* Bottom =
        Centre.DockNew(F.MakeWindow(), F.WindowFactory, {0, Client.Height() / 2, Client.Width(), Client.Height()});
    F.Settle();
    for (int32_t Distance : {60, -45, 7}) {
        const TRect Upper = Top->Bounds(), Lower = Bottom->Bounds();
        ASSERT_EQ(Lower.Top, Upper.Bottom + TSplitDock::SplitterWidth);
        const TRect Screen = Centre.ScreenRect();
        // Grabbed anywhere across the strip, the splitter follows the mouse.
        const TPoint From{Screen.Left + Upper.Width() / 2, Screen.Top + Upper.Bottom + 1};
        F.System.ScriptMouseMove(From);
        F.System.ScriptMouseDown(From);
        F.System.ScriptMouseMove({From.X, From.Y + Distance});
        F.System.ScriptMouseUp({From.X, From.Y + Distance});
        RunScript(F.System);
        F.Settle();
        EXPECT_EQ(Top->Bounds().Bottom, Upper.Bottom + Distance) << Distance;
        EXPECT_EQ(Bottom->Bounds().Top, Lower.Top + Distance) << Distance;
        EXPECT_EQ(Bottom->Bounds().Bottom, Lower.Bottom) << Distance;
    }
}
