#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/factory_list.h"
#include "core/data.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/dock_thing.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/flat_gadget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Tool buttons made by a factory, as a stored layout names them.
class TButtonFactory : public TFlatGadgetFactory {
public:
    TButtonFactory(TFactoryList& List, std::string_view Id)
        : TFlatGadgetFactory(List, nullptr, Id, Id, {}, {}) {
        SetControlClass(TToolButton::Class);
    }
};

// Plain tiles for the split dock.
class TTileFactory : public TWidgetFactory {
public:
    explicit TTileFactory(TFactoryList& List) : TWidgetFactory(List, nullptr, "Tile", "Test|Tile") {}
};

// A main window of 800 x 600 at (100, 100) on a 1280 x 800 desktop, whose
// client area is a five-dock host; factories for bars, boxes, buttons and
// tiles in a registry of the test's own.
struct TDockFixture {
    THeadlessWindowSystem System;
    TFactoryList Factories;
    TToolBarFactory* BarFactory;
    TToolBoxFactory* BoxFactory;
    TButtonFactory* ButtonFactory;
    TTileFactory* TileFactory;
    std::unique_ptr<TDockHost> Host;
    std::unique_ptr<TWidgetWindow> Main;

    explicit TDockFixture(TRect Desktop = {0, 0, 1280, 800})
        : System({{Desktop, Desktop}}) {
        BarFactory = new TToolBarFactory(Factories, nullptr, "Bar", "Test|Bar");
        BoxFactory = new TToolBoxFactory(Factories, nullptr, "Box", "Test|Box");
        ButtonFactory = new TButtonFactory(Factories, "Test|Button");
        TileFactory = new TTileFactory(Factories);
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
    ~TDockFixture() {
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
    }

    // A horizontal bar with Count buttons, not yet docked.
    std::unique_ptr<TToolBar> MakeBar(int32_t Count, std::string_view Caption = "Bar") {
        std::unique_ptr<TControl> Made = BarFactory->CreateControl();
        std::unique_ptr<TToolBar> Bar(static_cast<TToolBar*>(Made.release()));
        Bar->SetCaption(Caption);
        for (int32_t I = 0; I < Count; ++I) {
            std::unique_ptr<TControl> Button = ButtonFactory->CreateControl();
            Bar->DockNew(std::unique_ptr<TWidget>(static_cast<TWidget*>(Button.release())), ButtonFactory,
                         TRect::FromSize(1000 * (I + 1), 0, 10, 10));
        }
        return Bar;
    }

    TToolBar& DockBar(TDock& Dock, std::unique_ptr<TToolBar> Bar, TRect Rect = {0, 0, 50, 20}) {
        TToolBar& Result = *Bar;
        Dock.DockNew(std::move(Bar), BarFactory, Rect);
        Settle();
        return Result;
    }

    // The middle of Bar's title strip on the desktop.
    TPoint TitlePoint(TToolBox& Box) {
        const TRect Title = Box.TitleRect(Box.Width(), Box.Height());
        const TRect Screen = Box.ScreenRect();
        return {Screen.Left + Title.Left + 4, Screen.Top + Title.Top + Title.Height() / 2};
    }
};

uint8_t Red(uint32_t Pixel) { return uint8_t(Pixel >> 16); }

} // namespace

// ---- packing arithmetic

TEST(BandOverlap, FollowsTheThirdsRuleAndTheLeftEdgeRule) {
    const TRect B = TRect::FromSize(0, 0, 300, 30);
    // Left edges far apart: the vertical overlap decides (a third to two
    // thirds of the smaller height).
    EXPECT_TRUE(BandOverlap(TRect::FromSize(150, 10, 300, 30), B));  // 20 of 30
    EXPECT_FALSE(BandOverlap(TRect::FromSize(150, 25, 300, 30), B)); // 5 of 30
    EXPECT_FALSE(BandOverlap(TRect::FromSize(150, 2, 300, 30), B));  // 28 of 30
    // Left edges close together always overlap.
    EXPECT_TRUE(BandOverlap(TRect::FromSize(10, 2, 300, 30), B));
    // Boxes that do not touch never do.
    EXPECT_FALSE(BandOverlap(TRect::FromSize(150, 40, 300, 30), B));
    EXPECT_FALSE(BandOverlap(TRect::FromSize(400, 10, 300, 30), B));
    // Above the edge: only when more than a third of it was above.
    EXPECT_TRUE(BandOverlap(TRect::FromSize(150, -12, 300, 30), B));
    EXPECT_FALSE(BandOverlap(TRect::FromSize(150, -5, 300, 30), B));
    // A much lower box is overlapped whatever the thirds say.
    EXPECT_TRUE(BandOverlap(TRect::FromSize(150, 28, 300, 60), TRect::FromSize(0, 0, 300, 30)));
}

TEST(PackBands, ANewBoxDroppedOverAnotherSnapsBelowItAndSharesThatBand) {
    // Box 2 was laid out in the second band (its wanted place lower down
    // is covered below); box 1 is dropped over box 0 by 12 of 20, its middle
    // nearer box 0's bottom, and beside box 2.
    for (int32_t Box2Top : {20, 40}) {
        std::vector<TBandBox> Boxes(3);
        Boxes[0].Wanted = TRect::FromSize(0, 0, 300, 20);
        Boxes[1].Wanted = TRect::FromSize(150, 8, 100, 20);
        Boxes[1].IsNew = true;
        Boxes[2].Wanted = TRect::FromSize(50, Box2Top, 100, 20);
        for (auto& Box : Boxes)
            Box.MinLength = std::min(100, Box.Wanted.Width());
        PackBands(Boxes, 600);
        // Box 0 fills the first band; box 1 takes the second, stretched to
        // the end.
        EXPECT_EQ(Boxes[0].Result, TRect(0, 0, 600, 20)) << Box2Top;
        EXPECT_EQ(Boxes[1].Result, TRect(150, 20, 600, 40)) << Box2Top;
        if (Box2Top == 20) {
            // Box 2 shares the second band, cut at box 1's left.
            EXPECT_EQ(Boxes[2].Result, TRect(50, 20, 150, 40));
        } else {
            // Box 2 wants a band below box 1's and keeps that order, packed
            // up against it.
            EXPECT_EQ(Boxes[2].Result, TRect(50, 40, 600, 60));
        }
    }
}

TEST(PackBands, BoxesTheEdgeCannotHoldGoToANewBandAndNothingOverlaps) {
    std::vector<TBandBox> Boxes(3);
    for (int32_t I = 0; I < 3; ++I) {
        Boxes[size_t(I)].Wanted = TRect::FromSize(I * 10, 0, 150, 20);
        Boxes[size_t(I)].MinLength = 100;
    }
    PackBands(Boxes, 250);
    for (size_t I = 0; I < 3; ++I)
        for (size_t J = I + 1; J < 3; ++J)
            EXPECT_FALSE(Boxes[I].Result.Intersects(Boxes[J].Result)) << I << " " << J;
    for (auto& Box : Boxes) {
        EXPECT_GE(Box.Result.Left, 0);
        EXPECT_LE(Box.Result.Right, 250);
        EXPECT_GE(Box.Result.Width(), 100);
    }
}

TEST(DockScore, PrefersTheDockWhoseCornerOrCentreIsNearest) {
    const TRect Near = TRect::FromSize(0, 0, 100, 40);
    const TRect Far = TRect::FromSize(0, 300, 100, 40);
    EXPECT_LT(DockScore({10, 10}, Near), DockScore({10, 10}, Far));
    // Values far off the desktop stay in range (64-bit squares).
    EXPECT_GT(DockScore({-1000000, -1000000}, Near), 0);
}

// ---- docking through the headless window system

TEST(Docks, DraggingABarFromTheTopDockToTheBottomDockPreviewsAndDocksIt) {
    TDockFixture F;
    TToolBar& Bar = F.DockBar(F.Host->Top(), F.MakeBar(3));
    ASSERT_NE(F.Host->Top().FindItem(Bar), nullptr);
    const int32_t BarHeight = Bar.Height();
    EXPECT_EQ(F.Host->Top().Thickness(), BarHeight);
    EXPECT_EQ(F.Host->Top().Height(), BarHeight);
    EXPECT_EQ(F.Host->Bottom().Height(), 0);

    const TPoint Grab = F.TitlePoint(Bar);
    const int32_t HotX = Grab.X - Bar.ScreenRect().Left;
    const TPoint Drop{400, 100 + 600 - 4}; // the main window's bottom edge
    TPreviewKind PreviewWhileOver = TPreviewKind::None;
    uint32_t PreviewPixel = 0;
    TPoint PreviewAt;
    F.System.ScriptMouseMove(Grab);
    F.System.ScriptMouseDown(Grab);
    F.System.ScriptMouseMove({Grab.X + 10, Grab.Y + 10});
    F.System.ScriptMouseMove(Drop);
    F.System.ScriptMouseMove({Drop.X + 1, Drop.Y});
    F.System.ScriptStep([&] {

        F.Settle();
        TBorderDock& Bottom = F.Host->Bottom();
        PreviewWhileOver = Bottom.PreviewKind();
        const TRect Preview = Bottom.PreviewRect().Translated(Bottom.Origin());
        PreviewAt = {Bottom.Bounds().Left + Preview.Left + Preview.Width() / 2,
                     Bottom.Bounds().Top + Preview.Top + Preview.Height() / 2};
        PreviewPixel = PresentedAt(F.System, *F.Main, PreviewAt.X, PreviewAt.Y);
    });
    F.System.ScriptMouseUp({Drop.X + 1, Drop.Y});
    RunScript(F.System);
    F.Settle();

    EXPECT_EQ(PreviewWhileOver, TPreviewKind::Insert);
    // The preview band is the face lightened.
    EXPECT_GT(Red(PreviewPixel), Red(Filled(SkinColors().FaceColor))) << PreviewAt.X << "," << PreviewAt.Y;
    // Committed: the bar sits in the bottom dock, the top dock is empty.
    EXPECT_EQ(F.Host->Top().FindItem(Bar), nullptr);
    TDockItem* Item = F.Host->Bottom().FindItem(Bar);
    ASSERT_NE(Item, nullptr);
    EXPECT_EQ(F.Host->Top().Height(), 0);
    EXPECT_EQ(F.Host->Bottom().Height(), BarHeight);
    EXPECT_EQ(Bar.Parent(), &F.Host->Bottom());
    // It starts where it was dropped and stretches to the end of the band.
    EXPECT_EQ(Bar.Bounds(), TRect(Drop.X + 1 - HotX - 100, 0, 800, BarHeight));
    EXPECT_EQ(F.Host->Bottom().Bounds(), TRect(0, 600 - BarHeight, 800, 600));
    EXPECT_EQ(F.Host->Bottom().PreviewKind(), TPreviewKind::None);
    EXPECT_FALSE(F.Host->Bottom().DockingMode());
    // The title strip is drawn where the bar now is: not the face colour.
    const TRect Title = Bar.TitleRect(Bar.Width(), Bar.Height());
    const TRect Where = Bar.WindowRect();
    const uint32_t TitlePixel =
        PresentedAt(F.System, *F.Main, Where.Left + Title.Left + 1, Where.Top + Title.Top + Title.Height() / 2);
    EXPECT_NE(TitlePixel, Filled(SkinColors().FaceColor));
}

TEST(Docks, UndockingTheOnlyBoxOfABandClosesThatBand) {
    TDockFixture F;
    TBorderDock& Top = F.Host->Top();
    TToolBar& First = F.DockBar(Top, F.MakeBar(2, "First"));
    const int32_t H = First.Height();
    // Each dropped below the last, clear of it: it goes into a band of its
    // own right below.
    TToolBar& Second = F.DockBar(Top, F.MakeBar(2, "Second"), TRect::FromSize(0, H + 15, 50, 20));
    TToolBar& Third = F.DockBar(Top, F.MakeBar(2, "Third"), TRect::FromSize(0, 2 * H + 30, 50, 20));
    ASSERT_EQ(Top.FindItem(Second)->AroundRect.Top, H);
    ASSERT_EQ(Top.FindItem(Third)->AroundRect.Top, 2 * H);
    ASSERT_EQ(Top.Height(), 3 * H);

    std::unique_ptr<TWidget> Taken = Top.Undock(Second);
    ASSERT_NE(Taken, nullptr);
    F.Settle();
    // The third bar moves up into the emptied band and the dock shrinks.
    EXPECT_EQ(Top.FindItem(Third)->AroundRect, TRect(0, H, 800, 2 * H));
    EXPECT_EQ(Top.FindItem(First)->AroundRect, TRect(0, 0, 800, H));
    EXPECT_EQ(Top.Height(), 2 * H);
    // Its anchor follows, so the next layout keeps it there.
    Top.Relayout();
    EXPECT_EQ(Top.FindItem(Third)->AroundRect.Top, H);
}

TEST(Docks, EscapeInTheMiddleOfADragRestoresThePlacement) {
    TDockFixture F;
    TToolBar& Bar = F.DockBar(F.Host->Top(), F.MakeBar(2));
    const TRect Before = F.Host->Top().FindItem(Bar)->AroundRect;
    const TPoint Grab = F.TitlePoint(Bar);
    F.System.ScriptMouseMove(Grab);
    F.System.ScriptMouseDown(Grab);
    F.System.ScriptMouseMove({Grab.X + 10, Grab.Y + 10});
    F.System.ScriptMouseMove({400, 696});
    F.System.ScriptKey(KeyEscape);
    F.System.ScriptMouseUp({400, 696});
    RunScript(F.System);
    F.Settle();
    ASSERT_NE(F.Host->Top().FindItem(Bar), nullptr);
    EXPECT_EQ(F.Host->Top().FindItem(Bar)->AroundRect, Before);
    EXPECT_TRUE(Bar.IsVisible());
    EXPECT_EQ(F.Host->Bottom().Items().size(), 0u);
    EXPECT_EQ(F.Host->Bottom().Height(), 0);
}

TEST(Docks, ABoxReleasedOutsideEveryDockFloatsWhereItWasReleased) {
    TDockFixture F;
    TToolBar& Bar = F.DockBar(F.Host->Top(), F.MakeBar(2));
    const TPoint Grab = F.TitlePoint(Bar);
    const TPoint Hot{Grab.X - Bar.ScreenRect().Left, Grab.Y - Bar.ScreenRect().Top};
    const TPoint Release{500, 400}; // over the centre split dock, which takes no tool box
    F.System.ScriptMouseMove(Grab);
    F.System.ScriptMouseDown(Grab);
    F.System.ScriptMouseMove({Grab.X + 10, Grab.Y + 10});
    F.System.ScriptMouseMove(Release);
    F.System.ScriptMouseUp(Release);
    RunScript(F.System);
    F.Settle();
    EXPECT_EQ(F.Host->Top().FindItem(Bar), nullptr);
    ASSERT_TRUE(DockList().IsFloating(Bar));
    TWidgetWindow* Window = DockList().FloatingWindow(Bar);
    ASSERT_NE(Window, nullptr);
    EXPECT_TRUE(Window->Native().IsVisible());
    EXPECT_EQ(Window->Native().Bounds().TopLeft(), (TPoint{Release.X - Hot.X, Release.Y - Hot.Y}));
    // Floating, the bar has the thicker border and its window is its size.
    EXPECT_EQ(Bar.NCMargins().Left, 2);
    EXPECT_EQ(Window->Native().Bounds().Size(), Bar.Bounds().Size());
}

TEST(Docks, BorderDocksRefuseBoxesOfTheWrongOrientationOrSize) {
    TDockFixture F;
    auto Bar = F.MakeBar(1);
    const TRect Small = TRect::FromSize(0, 0, 60, 30);
    EXPECT_TRUE(F.Host->Top().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    EXPECT_TRUE(F.Host->Bottom().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    EXPECT_FALSE(F.Host->Left().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    EXPECT_FALSE(F.Host->Right().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    // Taller than a third of the main window.
    EXPECT_FALSE(F.Host->Top().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, TRect::FromSize(0, 0, 60, 201)));
    Bar->SetKind(TToolBoxKind::Vertical);
    EXPECT_TRUE(F.Host->Left().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, TRect::FromSize(0, 0, 30, 60)));
    EXPECT_FALSE(F.Host->Left().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, TRect::FromSize(0, 0, 267, 60)));
    EXPECT_FALSE(F.Host->Top().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, TRect::FromSize(0, 0, 30, 60)));
    // Split docks and tool boxes take no tool box.
    EXPECT_FALSE(F.Host->Centre().AcceptsDrop(Bar.get(), F.BarFactory, {400, 300}, Small));
    auto Other = F.MakeBar(0, "Other");
    EXPECT_FALSE(Other->AcceptsDrop(Bar.get(), F.BarFactory, {0, 0}, Small));
    // A locked box only while customising.
    Bar->SetKind(TToolBoxKind::Horizontal);
    Bar->SetLocked(true);
    EXPECT_FALSE(F.Host->Top().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    ToolBoxes().SetCustomizing(true);
    EXPECT_TRUE(F.Host->Top().AcceptsDrop(Bar.get(), F.BarFactory, {10, 10}, Small));
    ToolBoxes().SetCustomizing(false);
}

// ---- stored form

TEST(DockStore, SaveLoadSaveGivesTheSameTextAndBuildsEachControlOnce) {
    TDockFixture F;
    F.DockBar(F.Host->Top(), F.MakeBar(3, "One"));
    F.DockBar(F.Host->Top(), F.MakeBar(2, "Two"), TRect::FromSize(400, 0, 50, 20));
    std::string First;
    {
        TData Data;
        F.Host->SaveControl(Data);
        First = Data.SaveToText();
    }
    const size_t BoxesBefore = ToolBoxes().Boxes().size();
    std::vector<TRect> RectsBefore;
    for (auto& Item : F.Host->Top().Items())
        RectsBefore.push_back(Item->AroundRect);

    TDockHost Other;
    TWidgetWindow OtherWindow(F.System, Other,
                              {.Kind = TWindowKind::Main, .Title = "Other", .Bounds = TRect::FromSize(100, 100, 800, 600)});
    {
        TData Data;
        Data.LoadFromText(First);
        Other.LoadControl(Data);
    }
    OtherWindow.Show(TActivate::No);
    F.System.ProcessEvents();
    OtherWindow.Update();
    EXPECT_EQ(ToolBoxes().Boxes().size(), BoxesBefore + 2);
    ASSERT_EQ(Other.Top().Items().size(), 2u);
    for (size_t I = 0; I < 2; ++I) {
        EXPECT_EQ(Other.Top().Items()[I]->AroundRect, RectsBefore[I]) << I;
        EXPECT_EQ(Other.Top().Items()[I]->NestedDock()->Items().size(), I == 0 ? 3u : 2u);
    }
    TData Again;
    Other.SaveControl(Again);
    EXPECT_EQ(Again.SaveToText(), First);
}

TEST(DockStore, DamagedLayoutsAreClampedOrSkippedWithoutLosingTheRest) {
    TDockFixture F;
    // Written through the document's own writer so that only the values
    // are hostile, not the syntax.
    TData Data;
    auto Item = [&](int32_t Index, std::string_view Id, auto&& Body) {
        TDataSection Section(Data, ListItemName("Item[", Index));
        Data.WriteString("FactoryId", Id);
        Body();
    };
    {
        TDataSection Top(Data, "Top");
        TDataSection List(Data, "List");
        Data.WriteInteger("Count", 2000000000);
        Item(0, "Test|Bar", [&] {
            Data.WriteInteger("TabOrder", 99999999);
            TDataSection Dock(Data, "Dock");
            Data.WriteString("Caption", "Good");
            Data.WriteRect("AroundRect", {-999999999, -999999999, 999999999, 999999999});
            Data.WriteInteger("Kind", 77);
            Data.WriteInteger("Association", 9999);
            Data.WriteInteger("TitleAlign", 200);
            TDataSection Inner(Data, "List");
            Data.WriteInteger("Count", 3);
            Item(0, "Test|Button", [] {});
            Item(1, "Test|Box", [&] {
                // A tool box inside a tool box, itself holding one more.
                TDataSection Nested(Data, "Dock");
                TDataSection NestedList(Data, "List");
                Data.WriteInteger("Count", 1);
                Item(0, "Test|Box", [] {});
            });
            Item(2, "No|Such|Factory", [] {});
        });
        Item(1, "Test|Box", [&] {
            TDataSection Dock(Data, "Dock");
            Data.WriteString("Caption", "Second");
        });
        Item(2, "Test|Tile", [] {});
    }
    {
        TDataSection Centre(Data, "Centre");
        TDataSection Table(Data, "Table");
        Data.WriteInteger("Count", 3);
        const TPoint Cells[] = {{0, 0}, {0, 0}, {5000000, -3}};
        for (int32_t I = 0; I < 3; ++I) {
            TDataSection Cell(Data, ListItemName("Cell[", I));
            Data.WriteInteger("IndexX", Cells[I].X);
            Data.WriteInteger("IndexY", Cells[I].Y);
            TDataSection Stored(Data, "Item");
            Data.WriteString("FactoryId", "Test|Tile");
        }
    }
    F.Host->LoadControl(Data);
    F.Settle();
    // Both boxes of the top dock are there; the tile (not a tool box) is not.
    ASSERT_EQ(F.Host->Top().Items().size(), 2u);
    auto* Good = dynamic_cast<TToolBar*>(F.Host->Top().Items()[0]->NestedDock());
    ASSERT_NE(Good, nullptr);
    EXPECT_EQ(Good->Caption(), "Good");
    EXPECT_EQ(Good->Kind(), TToolBoxKind::Vertical);
    EXPECT_EQ(Good->Association(), nullptr);
    EXPECT_EQ(Good->TitleAlign(), TTitleAlign::None);
    // Inside the bar only the button: no tool box in a tool box, no unknown
    // factory.
    ASSERT_EQ(Good->Items().size(), 1u);
    EXPECT_NE(dynamic_cast<TToolButton*>(&Good->Items()[0]->Control), nullptr);
    EXPECT_EQ(F.Host->Top().Items()[1]->NestedDock()->Caption(), "Second");
    // The stored rectangle was clamped, not trusted.
    const TRect Around = F.Host->Top().Items()[0]->AroundRect;
    EXPECT_LE(std::abs(int64_t(Around.Left)), 1 << 20);
    // The duplicate and out-of-range cells were skipped: one tile.
    EXPECT_EQ(F.Host->Centre().Items().size(), 1u);
}

// ---- splitters

TEST(SplitDock, DraggingASplitterStopsAtTheNeighboursMinimum) {
    TDockFixture F;
    TSplitDock& Centre = F.Host->Centre();
    auto Tile = [&] {
        std::unique_ptr<TControl> Made = F.TileFactory->CreateControl();
        return std::unique_ptr<TWidget>(static_cast<TWidget*>(Made.release()));
    };
    const TRect Client = Centre.ClientRect();
    TWidget* Left = Centre.DockNew(Tile(), F.TileFactory, {0, 0, Client.Width(), Client.Height()});
    TWidget* Right = Centre.DockNew(Tile(), F.TileFactory,
                                    TRect::FromSize(Client.Width() - 200, 0, 200, Client.Height()));
    F.Settle();
    ASSERT_NE(Left, nullptr);
    ASSERT_NE(Right, nullptr);
    ASSERT_EQ(Centre.Table().ColCount(), 2);
    const int32_t Split = Right->Bounds().Left - TSplitDock::SplitterWidth / 2;
    EXPECT_GT(Split, 0);
    EXPECT_EQ(Left->Bounds().Right, Right->Bounds().Left - TSplitDock::SplitterWidth);
    const TRect Screen = Centre.ScreenRect();
    const TPoint From{Screen.Left + Split, Screen.Top + 100};
    TCursorKind Hover = TCursorKind::Arrow;
    F.System.ScriptMouseMove({From.X, From.Y});
    F.System.ScriptStep([&] { Hover = F.Main->Native().Cursor(); });
    F.System.ScriptMouseDown(From);
    F.System.ScriptMouseMove({Screen.Left - 500, From.Y});
    F.System.ScriptMouseUp({Screen.Left - 500, From.Y});
    RunScript(F.System);
    F.Settle();
    EXPECT_EQ(Hover, TCursorKind::SizeWE);
    EXPECT_EQ(Left->Bounds().Width(), TSplitDockHook::MinimumTile);
    EXPECT_EQ(Right->Bounds().Left, TSplitDockHook::MinimumTile + TSplitDock::SplitterWidth);
    EXPECT_EQ(Right->Bounds().Right, Client.Width());
}

// ---- tool boxes

TEST(ToolBoxPlacement, ABoxOffASmallScreenComesBackUntilEightPixelsOfItsGrabAreaShow) {
    TDockFixture F({0, 0, 640, 480});
    auto Made = F.MakeBar(2);
    TToolBar& Bar = static_cast<TToolBar&>(DockList().Float(std::move(Made), TRect::FromSize(50, 50, 10, 10)));
    F.Settle();
    const TSize Size = Bar.Bounds().Size();
    struct TCase {
        TPoint At;
    };
    for (TPoint At : {TPoint{2000, 100}, TPoint{-2000, 100}, TPoint{100, 2000}, TPoint{100, -2000}}) {
        Bar.NormalPlacement.Valid = false;
        Bar.SetAroundRect(TRect::FromSize(At.X, At.Y, Size.Width, Size.Height));
        const TRect Placed = Bar.PlaceFloating(Size.Width, Size.Height);
        TRect Grab = Bar.TitleRect(Size.Width, Size.Height).Translated(Placed.Left, Placed.Top);
        Bar.GetGrabRect(Grab);
        const TRect OnDesk = Grab.Intersected({0, 0, 640, 480});
        EXPECT_GE(std::min(OnDesk.Width(), Grab.Width()), std::min(8, Grab.Width())) << At.X << "," << At.Y;
        EXPECT_FALSE(OnDesk.IsEmpty()) << At.X << "," << At.Y;
        EXPECT_EQ(Placed.Size(), Size);
    }
}

TEST(ToolBoxPlacement, MovingTheMainWindowMovesAnAttachedBox) {
    TDockFixture F;
    auto Made = F.MakeBar(1);
    TToolBar& Bar = static_cast<TToolBar&>(DockList().Float(std::move(Made), TRect::FromSize(150, 160, 10, 10)));
    F.Settle();
    const TRect Before = DockList().FloatingWindow(Bar)->Native().Bounds();
    ASSERT_TRUE(Bar.NormalPlacement.Valid);
    F.Main->Native().SetBounds(TRect::FromSize(130, 140, 800, 600));
    ToolBoxes().FitAllToMainWindow();
    const TRect After = DockList().FloatingWindow(Bar)->Native().Bounds();
    EXPECT_EQ(After, Before.Translated(30, 40));
}

TEST(ToolBox, TheCloseButtonHidesTheBoxAndItsCommandReadsUnchecked) {
    TDockFixture F;
    auto Made = F.MakeBar(1);
    TToolBar& Bar = static_cast<TToolBar&>(DockList().Float(std::move(Made), TRect::FromSize(300, 300, 10, 10)));
    F.Settle();
    Bar.Command().Update();
    EXPECT_TRUE(Bar.Command().Checked());
    TWidgetWindow* Window = DockList().FloatingWindow(Bar);
    Window->Update();
    const TRect Close = Bar.CloseButton().Bounds().Translated(Window->Native().Bounds().TopLeft());
    ASSERT_FALSE(Close.IsEmpty());
    F.System.ScriptClick({Close.Left + Close.Width() / 2, Close.Top + Close.Height() / 2});
    RunScript(F.System);
    EXPECT_FALSE(Window->Native().IsVisible());
    Bar.Command().Update();
    EXPECT_FALSE(Bar.Command().Checked());
    // The command shows it again.
    Bar.Command().Execute(nullptr);
    EXPECT_TRUE(Window->Native().IsVisible());
}

// A box whose nest awaits a relayout (here: one of its buttons was hidden
// through its item, and the relayout put off) relayouts when the stage
// switches or customising ends; nothing else happens to it before.
struct TAwaitedRelayout {
    TDockFixture F;
    TToolBar* Floating = nullptr;
    TToolBar* Docked = nullptr;

    TAwaitedRelayout() {
        Floating = &static_cast<TToolBar&>(DockList().Float(F.MakeBar(3, "Floating"), TRect::FromSize(300, 300, 10, 10)));
        Docked = &F.DockBar(F.Host->Top(), F.MakeBar(3, "Docked"));
        F.Settle();
    }

    // Hides Bar's last button through its item and puts the relayout off.
    TWidget& HideLastLater(TToolBar& Bar) {
        TDockItem& Item = *Bar.Items().back();
        Item.Visible = false;
        Bar.RelayoutLater();
        return Item.Control;
    }
};

TEST(ToolBox, ABoxAwaitingARelayoutRelayoutsWhenTheStageSwitches) {
    TAwaitedRelayout T;
    TToolBar& Floating = *T.Floating;
    TToolBar& Docked = *T.Docked;
    const int32_t FloatingWidth = DockList().FloatingWindow(Floating)->Native().Bounds().Width();
    const int32_t DockedContent = Docked.ContentBounds().Width();
    TWidget& FloatingButton = T.HideLastLater(Floating);
    TWidget& DockedButton = T.HideLastLater(Docked);
    EXPECT_TRUE(Floating.AwaitsRelayout());
    EXPECT_TRUE(Docked.AwaitsRelayout()); // its root dock
    EXPECT_TRUE(FloatingButton.IsVisible());
    EXPECT_TRUE(DockedButton.IsVisible());

    TStage& Was = Stages().Current();
    TStage& Other = Stages().Stage(Was.Id() == 1 ? 1 : 0);
    Stages().SetCurrent(Other);
    T.F.Settle();
    EXPECT_FALSE(FloatingButton.IsVisible());
    EXPECT_FALSE(DockedButton.IsVisible());
    EXPECT_FALSE(Floating.AwaitsRelayout());
    EXPECT_FALSE(T.Docked->AwaitsRelayout());
    // Both bars now line up two buttons: the floating window shrinks.
    EXPECT_LT(DockList().FloatingWindow(Floating)->Native().Bounds().Width(), FloatingWidth);
    EXPECT_LT(Docked.ContentBounds().Width(), DockedContent);

    // A box that does not await a relayout is left alone by a switch.
    TDockItem& Second = *Floating.Items()[1];
    Second.Visible = false;
    Stages().SetCurrent(Was);
    EXPECT_TRUE(Second.Control.IsVisible());
    Floating.Relayout();
    EXPECT_FALSE(Second.Control.IsVisible());
}

TEST(ToolBox, ABoxMarkedForARelayoutWhileCustomisingRelayoutsWhenCustomisingEnds) {
    TAwaitedRelayout T;
    ToolBoxes().SetCustomizing(true);
    TWidget& FloatingButton = T.HideLastLater(*T.Floating);
    TWidget& DockedButton = T.HideLastLater(*T.Docked);
    EXPECT_TRUE(FloatingButton.IsVisible());
    EXPECT_TRUE(DockedButton.IsVisible());
    ToolBoxes().SetCustomizing(false);
    EXPECT_FALSE(FloatingButton.IsVisible());
    EXPECT_FALSE(DockedButton.IsVisible());
    EXPECT_FALSE(T.Floating->AwaitsRelayout());
    EXPECT_FALSE(T.Docked->AwaitsRelayout());
}

TEST(ToolBox, MarginsFollowTheTitleOptions) {
    TDockFixture F;
    TToolBar& Bar = F.DockBar(F.Host->Top(), F.MakeBar(1));
    EXPECT_EQ(Bar.NCMargins(), TRect(1, 1 + TToolBox::TitleSize, 1, 1));
    Bar.SetTitleOptions(TTitleAlign::Left, true, true);
    EXPECT_EQ(Bar.NCMargins(), TRect(1 + TToolBox::TitleSize, 1, 1, 1));
    Bar.LayoutNC(Bar.Width(), Bar.Height());
    // The close button sits at the top of a left title, the caption below it.
    EXPECT_EQ(Bar.CloseButton().Bounds(), TRect::FromSize(2, 2, 12, 12));
    EXPECT_EQ(Bar.Title().TextIndent, TToolBox::TitleSize + 4);
    Bar.SetTitleOptions(TTitleAlign::Top, false, true);
    EXPECT_EQ(Bar.NCMargins(), TRect(1 + TToolBox::GripSize, 1, 1, 1));
    Bar.SetLocked(true);
    EXPECT_EQ(Bar.NCMargins(), TRect(1, 1, 1, 1));
}

// ---- tool bars and their buttons

namespace {

struct TCommandFixture : TDockFixture {
    TCommandList Commands;
    int32_t Runs = 0;
    std::vector<int64_t> RunTimes;
    TCommand* Command;
    TToolBar* Bar = nullptr;

    TCommandFixture() {
        Command = new TCommand(Commands, nullptr, "Test|Run", "Run", "", "", {},
                               MakeDelegate<&TCommandFixture::Run>(this));
        auto Made = MakeBar(3);
        Bar = static_cast<TToolBar*>(&DockList().Float(std::move(Made), TRect::FromSize(300, 300, 10, 10)));
        Settle();
        Button(0).SetCommand(Command);
        DockList().FloatingWindow(*Bar)->Update();
    }
    // The bar and its buttons go before the command registry they follow.
    ~TCommandFixture() { DockList().Clear(); }
    void Run(TCommand*, TObject*) {
        ++Runs;
        RunTimes.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(System.Now().time_since_epoch()).count());
    }
    TToolButton& Button(int32_t Index) {
        return static_cast<TToolButton&>(Bar->OrderedItems()[size_t(Index)]->Control);
    }
    TPoint Centre(TWidget& Widget) {
        const TRect R = Widget.ScreenRect();
        return {R.Left + R.Width() / 2, R.Top + R.Height() / 2};
    }
};

} // namespace

TEST(ToolButtons, AClickRunsTheCommandOnceAndADisabledCommandGreysTheButton) {
    TCommandFixture F;
    F.System.ScriptClick(F.Centre(F.Button(0)));
    RunScript(F.System);
    EXPECT_EQ(F.Runs, 1);
    F.Command->SetEnabled(false);
    EXPECT_FALSE(F.Button(0).IsEnabled());
    EXPECT_EQ(ToolButtonState(F.Button(0)), 3);
    F.System.ScriptClick(F.Centre(F.Button(0)));
    RunScript(F.System);
    EXPECT_EQ(F.Runs, 1);
}

TEST(ToolButtons, AnAutoRepeatCommandRunsOnThePressAndEveryRepeatTick) {
    TCommandFixture F;
    F.Command->SetAutoRepeat(true);
    const auto Start = F.System.Now();
    const TPoint At = F.Centre(F.Button(0));
    F.System.ScriptMouseMove(At);
    F.System.ScriptMouseDown(At);
    F.System.ScriptAdvance(360ms);
    F.System.ScriptMouseUp(At);
    RunScript(F.System);
    const int64_t Origin = std::chrono::duration_cast<std::chrono::milliseconds>(Start.time_since_epoch()).count();
    std::vector<int64_t> Relative;
    for (int64_t T : F.RunTimes)
        Relative.push_back(T - Origin);
    EXPECT_EQ(Relative, (std::vector<int64_t>{0, 250, 300, 350}));
}

TEST(ToolBars, NarrowingABarShowsTheScrollersThatScrollWithinLimits) {
    TDockFixture F;
    TToolBar& Bar = F.DockBar(F.Host->Top(), F.MakeBar(20));
    EXPECT_FALSE(Bar.StartScrollerShown());
    F.Main->Native().SetBounds(TRect::FromSize(100, 100, 300, 600));
    F.Settle();
    F.Settle();
    ASSERT_TRUE(Bar.StartScrollerShown());
    ASSERT_TRUE(Bar.EndScrollerShown());
    EXPECT_FALSE(Bar.StartScroller().IsEnabled());
    EXPECT_TRUE(Bar.EndScroller().IsEnabled());
    const TRect First = Bar.OrderedItems().front()->Control.Bounds();
    Bar.ScrollBy(-1000000);
    const TRect Last = Bar.OrderedItems().back()->Control.Bounds();
    // The last item ends exactly at the client's end, never inside it.
    EXPECT_EQ(Last.Right, Bar.ClientRect().Width());
    EXPECT_TRUE(Bar.StartScroller().IsEnabled());
    EXPECT_FALSE(Bar.EndScroller().IsEnabled());
    Bar.ScrollBy(1000000);
    EXPECT_EQ(Bar.OrderedItems().front()->Control.Bounds(), First);
}

TEST(ToolBars, ADroppedButtonGoesAfterTheLastItemWhoseCentreIsLeftOfItsCentre) {
    TDockFixture F;
    auto Made = F.MakeBar(3);
    TToolBar& Bar = *Made;
    DockList().Float(std::move(Made), TRect::FromSize(300, 300, 10, 10));
    F.Settle();
    auto Items = Bar.OrderedItems();
    const TRect Second = Items[1]->AroundRect;
    std::unique_ptr<TControl> Button = F.ButtonFactory->CreateControl();
    TWidget* Added = Bar.DockNew(std::unique_ptr<TWidget>(static_cast<TWidget*>(Button.release())), F.ButtonFactory,
                                 TRect::FromSize(Second.Left + Second.Width() / 2 + 1, 0, Second.Width(), 10));
    auto After = Bar.OrderedItems();
    ASSERT_EQ(After.size(), 4u);
    EXPECT_EQ(&After[2]->Control, Added);
    for (int32_t I = 0; I < 4; ++I)
        EXPECT_EQ(After[size_t(I)]->Order, I);
}

TEST(Separators, SizesFollowTheSkinPercentAndTheReaderSaturates) {
    TSeparator Separator;
    Separator.SetSize(11, true);
    const int32_t Was = Skins().Size();
    Skins().SetSize(50);
    EXPECT_EQ(Separator.PixelSize(), 6);
    Separator.SetSize(11, false);
    EXPECT_EQ(Separator.PixelSize(), 11);
    Skins().SetSize(Was);
    int32_t Size = 0;
    bool Percent = false;
    EXPECT_TRUE(ParseSeparatorSize("  -$1F %", Size, Percent));
    EXPECT_EQ(Size, -31);
    EXPECT_TRUE(Percent);
    EXPECT_TRUE(ParseSeparatorSize("99999999999999999999999", Size, Percent));
    EXPECT_EQ(Size, INT32_MAX);
    EXPECT_FALSE(ParseSeparatorSize("abc", Size, Percent));
    TLabelGadget Label;
    int32_t W = 0, H = 0;
    ASSERT_TRUE(Label.GetDefaultSize(W, H));
    EXPECT_EQ(W, 8);
    EXPECT_EQ(H, 8);
}
