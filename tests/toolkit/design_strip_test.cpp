#include "toolkit/design/design_strip.h"

#include "commands/factory_list.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The remembered separator defaults, put back after each test.
struct TDefaultsRestorer {
    int32_t Size = TSeparator::DefaultSize;
    bool IsPercent = TSeparator::DefaultSizeIsPercent;
    ~TDefaultsRestorer() {
        TSeparator::DefaultSize = Size;
        TSeparator::DefaultSizeIsPercent = IsPercent;
    }
};

bool HasChild(const TWidget& Parent, const TWidget& Child) {
    return std::any_of(Parent.Children().begin(), Parent.Children().end(),
                       [&](const auto& Each) { return Each.get() == &Child; });
}

template <class T>
std::unique_ptr<T> Make(TFactory& Factory) {
    std::unique_ptr<TControl> Made = Factory.CreateControl();
    return std::unique_ptr<T>(static_cast<T*>(Made.release()));
}

} // namespace

TEST(DesignStrips, SelectingASeparatorShowsItsSizeAtTheBottomOfTheHostAndEditsIt) {
    TDefaultsRestorer Restore;
    TSeparator::DefaultSize = 8;
    TSeparator::DefaultSizeIsPercent = false;
    TFactoryList Factories;
    auto* Factory = new TSeparatorFactory(Factories, nullptr, "Line", "Test|Line", TSeparatorKind::Horizontal);
    auto Separator = Make<TSeparator>(*Factory);
    EXPECT_EQ(Separator->Kind(), TSeparatorKind::Horizontal);

    TWidget Host;
    Host.SetBounds(TRect::FromSize(0, 0, 300, 200));
    Factory->DesignSelect(*Separator, &Host);
    TSeparatorDesignFrame& Strip = SeparatorDesignFrame();
    EXPECT_EQ(DesignStripHost(Strip), &Host);
    EXPECT_TRUE(HasChild(Host, Strip));
    EXPECT_TRUE(Strip.IsVisible());
    EXPECT_EQ(Strip.Bounds(), TRect(0, 176, 300, 200));
    EXPECT_EQ(Strip.EditBox().Text(), "8");
    EXPECT_EQ(Strip.Bound(), Separator.get());

    Strip.EditBox().SetText("  12 %");
    EXPECT_EQ(Separator->Size(), 12);
    EXPECT_TRUE(Separator->SizeIsPercent());
    EXPECT_EQ(TSeparator::DefaultSize, 12);
    EXPECT_TRUE(TSeparator::DefaultSizeIsPercent);
    // Clamped as the separator clamps, and remembered clamped.
    Strip.EditBox().SetText("900");
    EXPECT_EQ(Separator->Size(), 255);
    EXPECT_FALSE(Separator->SizeIsPercent());
    EXPECT_EQ(TSeparator::DefaultSize, 255);
    // Text without digits changes nothing.
    Strip.EditBox().SetText("wide");
    EXPECT_EQ(Separator->Size(), 255);

    Factory->DesignDeselect(&Host);
    EXPECT_EQ(DesignStripHost(Strip), nullptr);
    EXPECT_FALSE(HasChild(Host, Strip));
    EXPECT_EQ(Strip.Bound(), nullptr);
    // Unbound, editing reaches no separator.
    Strip.EditBox().SetText("3");
    EXPECT_EQ(Separator->Size(), 255);
}

TEST(DesignStrips, SelectingALabelShowsItsTextAndEditingRenamesIt) {
    TFactoryList Factories;
    auto* Factory = new TLabelGadgetFactory(Factories, nullptr, "Label", "Test|Label");
    auto Label = Make<TLabelGadget>(*Factory);
    Label->SetText("Volume");
    TWidget First, Second;
    First.SetBounds(TRect::FromSize(0, 0, 200, 100));
    Second.SetBounds(TRect::FromSize(0, 0, 400, 60));

    Factory->DesignSelect(*Label, &First);
    TLabelGadgetDesignFrame& Strip = LabelGadgetDesignFrame();
    EXPECT_EQ(Strip.EditBox().Text(), "Volume");
    Strip.EditBox().SetText("Speed");
    EXPECT_EQ(Label->Text(), "Speed");

    // One strip per kind: selecting in another host moves it there.
    Factory->DesignSelect(*Label, &Second);
    EXPECT_EQ(&LabelGadgetDesignFrame(), &Strip);
    EXPECT_FALSE(HasChild(First, Strip));
    EXPECT_TRUE(HasChild(Second, Strip));
    EXPECT_EQ(Strip.Bounds(), TRect(0, 36, 400, 60));
    Factory->DesignDeselect(&Second);
    EXPECT_FALSE(HasChild(Second, Strip));
}

TEST(DesignStrips, AHostDestroyedWithTheStripInsideLeavesNoDanglingStrip) {
    TFactoryList Factories;
    auto* Factory = new TLabelGadgetFactory(Factories, nullptr, "Label", "Test|Label");
    auto Label = Make<TLabelGadget>(*Factory);
    {
        TWidget Host;
        Host.SetBounds(TRect::FromSize(0, 0, 200, 100));
        Factory->DesignSelect(*Label, &Host);
    }
    TLabelGadgetDesignFrame& Strip = LabelGadgetDesignFrame();
    EXPECT_EQ(DesignStripHost(Strip), nullptr);
    TWidget Host;
    Host.SetBounds(TRect::FromSize(0, 0, 200, 100));
    Factory->DesignSelect(*Label, &Host);
    EXPECT_TRUE(HasChild(Host, Strip));
    Factory->DesignDeselect(&Host);
}

TEST(DesignStrips, TheStripIsDrawnAlongTheBottomOfTheHostWindow) {
    const TRect Desk{0, 0, 800, 600};
    THeadlessWindowSystem System({{Desk, Desk}});
    TWidget Root;
    TWidgetWindow Window(System, Root, {.Kind = TWindowKind::Main, .Title = "Host", .Bounds = TRect::FromSize(0, 0, 300, 200)});
    Window.Show(TActivate::Yes);
    System.ProcessEvents();
    TFactoryList Factories;
    auto* Factory = new TSeparatorFactory(Factories, nullptr, "Gap", "Test|Gap", TSeparatorKind::Blank);
    auto Separator = Make<TSeparator>(*Factory);
    Window.Update();
    const uint32_t Before = PresentedAt(System, Window, 150, 176);
    Factory->DesignSelect(*Separator, &Root);
    Window.Update();
    // The strip's top line is darker than the face below it; nothing above
    // the strip changed.
    const uint32_t Line = PresentedAt(System, Window, 150, 176);
    const uint32_t Face = PresentedAt(System, Window, 2, 178);
    EXPECT_EQ(Face, Filled(SkinColors().FaceColor));
    EXPECT_LT(Line & 0xFF, Face & 0xFF);
    EXPECT_NE(Line, Before);
    EXPECT_EQ(PresentedAt(System, Window, 150, 175), Before);
    Factory->DesignDeselect(&Root);
}
