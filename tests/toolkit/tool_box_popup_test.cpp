#include "toolkit/docking/tool_box_popup.h"

#include "commands/factory_list.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/flat_gadget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Lets the tests switch the activation as the window would.
class TTestPopup : public TToolBoxPopupWidget {
public:
    using TToolBoxPopupWidget::ActivationChanged;
};

class TButtonFactory : public TFlatGadgetFactory {
public:
    explicit TButtonFactory(TFactoryList& List)
        : TFlatGadgetFactory(List, nullptr, "Button", "Test|Button", {}, {}) {
        SetControlClass(TToolButton::Class);
    }
};

uint32_t FrameAt(TTestPopup& Popup, int32_t X, int32_t Y) {
    TPixels Pixels(Popup.Width(), Popup.Height());
    Pixels.FillAll(MakeColor(10, 20, 30));
    Popup.PaintFrame(Pixels);
    return Pixels.GetPixel(X, Y);
}

} // namespace

TEST(ToolBoxPopup, TheFrameShowsTheCaptionColoursWhileActiveAndBlackAndWhiteOtherwise) {
    TTestPopup Popup;
    Popup.SetSizable(false);
    Popup.SetBounds(TRect::FromSize(0, 0, 40, 30));
    const TColor Caption = SystemColors().Highlight;
    const TColor Black = MakeColor(0, 0, 0), White = MakeColor(255, 255, 255);

    EXPECT_FALSE(Popup.IsActive());
    for (TPoint Outer : {TPoint{0, 0}, TPoint{39, 15}, TPoint{20, 29}, TPoint{39, 29}})
        EXPECT_EQ(FrameAt(Popup, Outer.X, Outer.Y), Filled(Black)) << Outer.X << "," << Outer.Y;
    for (TPoint Inner : {TPoint{1, 1}, TPoint{38, 15}, TPoint{20, 28}})
        EXPECT_EQ(FrameAt(Popup, Inner.X, Inner.Y), Filled(White)) << Inner.X << "," << Inner.Y;
    // The client area is not the frame's.
    EXPECT_EQ(FrameAt(Popup, 2, 2), Filled(MakeColor(10, 20, 30)));

    Popup.ActivationChanged(true);
    EXPECT_TRUE(Popup.IsActive());
    EXPECT_EQ(FrameAt(Popup, 0, 0), Filled(MixColors(Caption, Black, 192)));
    EXPECT_EQ(FrameAt(Popup, 1, 1), Filled(Caption));
    EXPECT_EQ(FrameAt(Popup, 38, 28), Filled(Caption));
}

TEST(ToolBoxPopup, ASizablePopupDrawsItsGripInTheBottomRightCorner) {
    TTestPopup Popup;
    Popup.SetBounds(TRect::FromSize(0, 0, 40, 30));
    ASSERT_TRUE(Popup.IsSizable());
    const TColor Light = MakeColor(224, 224, 224), Dark = MakeColor(128, 128, 128);
    // Inactive: grey lines, the dark ones outermost.
    EXPECT_EQ(FrameAt(Popup, 38, 25), Filled(Light)); // the 5-pixel upright line, top
    EXPECT_EQ(FrameAt(Popup, 38, 24), Filled(MakeColor(255, 255, 255)));
    EXPECT_EQ(FrameAt(Popup, 39, 23), Filled(Dark)); // the 7-pixel upright line, top
    EXPECT_EQ(FrameAt(Popup, 39, 22), Filled(MakeColor(0, 0, 0)));
    EXPECT_EQ(FrameAt(Popup, 34, 28), Filled(Light)); // the 6-pixel flat line, left end
    EXPECT_EQ(FrameAt(Popup, 33, 28), Filled(MakeColor(255, 255, 255)));
    EXPECT_EQ(FrameAt(Popup, 32, 29), Filled(Dark)); // the 8-pixel flat line, left end
    EXPECT_EQ(FrameAt(Popup, 31, 29), Filled(MakeColor(0, 0, 0)));

    Popup.ActivationChanged(true);
    const TColor Caption = SystemColors().Highlight;
    EXPECT_EQ(FrameAt(Popup, 38, 26), Filled(MixColors(Caption, MakeColor(255, 255, 255), 64)));
    EXPECT_EQ(FrameAt(Popup, 39, 26), Filled(MixColors(Caption, SkinColors().ShadowColor, 64)));
}

TEST(ToolBoxPopup, TheFrameAnswersSizingOnlyAtItsRightAndBottomEdges) {
    TTestPopup Popup;
    Popup.SetBounds(TRect::FromSize(0, 0, 40, 30));
    struct TCase {
        TPoint At;
        THitTest Expected;
    };
    const TCase Cases[] = {
        {{39, 29}, THitTest::ResizeBottomRight}, {{32, 28}, THitTest::ResizeBottomRight},
        {{38, 10}, THitTest::ResizeRight},       {{39, 2}, THitTest::ResizeRight},
        {{39, 1}, THitTest::Normal},             {{39, 21}, THitTest::ResizeRight},
        {{10, 28}, THitTest::ResizeBottom},      {{2, 29}, THitTest::ResizeBottom},
        {{1, 29}, THitTest::Normal},             {{31, 29}, THitTest::ResizeBottom},
        {{0, 10}, THitTest::Normal},             {{10, 0}, THitTest::Normal},
        {{20, 15}, THitTest::Normal},            {{35, 25}, THitTest::Normal},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(Popup.FrameHitTest(Case.At), Case.Expected) << Case.At.X << "," << Case.At.Y;
    Popup.SetSizable(false);
    EXPECT_EQ(Popup.FrameHitTest({39, 29}), THitTest::Normal);
}

TEST(ToolBoxPopup, ShowAsPopupHostsTheBoxInsideTheFrameAndHidesItAfterwards) {
    const TRect Desk{0, 0, 1024, 768};
    THeadlessWindowSystem System({{Desk, Desk}});
    TFactoryList Factories;
    auto* BarFactory = new TToolBarFactory(Factories, nullptr, "Bar", "Test|Bar");
    auto* ButtonFactory = new TButtonFactory(Factories);
    DockList().SetSystem(&System);
    {
        TToolBoxAssociation Association(30, "Test", false);
        std::unique_ptr<TControl> Made = BarFactory->CreateControl();
        std::unique_ptr<TToolBar> Owned(static_cast<TToolBar*>(Made.release()));
        for (int32_t I = 0; I < 3; ++I) {
            std::unique_ptr<TControl> Button = ButtonFactory->CreateControl();
            Owned->DockNew(std::unique_ptr<TWidget>(static_cast<TWidget*>(Button.release())), ButtonFactory,
                           TRect::FromSize(100 * I, 0, 10, 10));
        }
        TToolBar& Bar = *Owned;
        DockList().Float(std::move(Owned), TRect::FromSize(50, 50, 100, 30), TFloatShow::Hidden);
        Bar.SetAssociation(&Association);

        TRect Shown, BoxBounds;
        uint32_t Corner = 0, Inside = 0;
        bool WasActive = false;
        System.ScriptStep([&] {
            ASSERT_EQ(MouseHandler().Popups().size(), 1u);
            auto* Popup = dynamic_cast<TToolBoxPopupWidget*>(MouseHandler().Popups().front());
            ASSERT_NE(Popup, nullptr);
            Popup->PopupWindow()->Update();
            Shown = Popup->PopupWindow()->Native().Bounds();
            BoxBounds = Bar.Bounds();
            WasActive = Popup->IsActive();
            Corner = PresentedAt(System, *Popup->PopupWindow(), 0, 0);
            Inside = PresentedAt(System, *Popup->PopupWindow(), 1, 1);
        });
        System.ScriptKey(KeyEscape);
        EXPECT_FALSE(Association.ShowAsPopup(300, 200, nullptr));

        // The box fills the client area: the pop-up is its size plus the
        // two-pixel frame on each side, and the box starts at the client's
        // corner.
        EXPECT_EQ(Shown.Left, 300);
        EXPECT_EQ(Shown.Top, 200);
        EXPECT_EQ(BoxBounds.TopLeft(), (TPoint{0, 0}));
        EXPECT_EQ(Shown.Width(), BoxBounds.Width() + 4);
        EXPECT_EQ(Shown.Height(), BoxBounds.Height() + 4);
        EXPECT_GT(BoxBounds.Width(), 3 * 10 - 1);
        const TColor Caption = SystemColors().Highlight;
        if (WasActive) {
            EXPECT_EQ(Corner, Filled(MixColors(Caption, MakeColor(0, 0, 0), 192)));
            EXPECT_EQ(Inside, Filled(Caption));
        } else {
            EXPECT_EQ(Corner, Filled(MakeColor(0, 0, 0)));
            EXPECT_EQ(Inside, Filled(MakeColor(255, 255, 255)));
        }
        EXPECT_FALSE(Bar.IsVisible());
        EXPECT_TRUE(MouseHandler().Popups().empty());
        Bar.SetAssociation(nullptr);
        DockList().Clear();
    }
    DockList().SetSystem(nullptr);
}
