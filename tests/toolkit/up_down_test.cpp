#include "core/data.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/controls/number_text.h"
#include "toolkit/controls/up_down.h"
#include "toolkit/controls/up_down_edit.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;

    void Open() {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Numbers", .Bounds = TRect::FromSize(100, 100, 300, 200)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
    // The centre of W on the desktop.
    TPoint Centre(const TWidget& W) const {
        TRect R = W.WindowRect();
        return {100 + (R.Left + R.Right) / 2, 100 + (R.Top + R.Bottom) / 2};
    }
    TUpDownEdit& AddField(int32_t Min, int32_t Max, int32_t Value) {
        auto& Field = Root.Add<TUpDownEdit>();
        Field.SetBounds(TRect::FromSize(10, 10, 120, 40));
        Field.SetLimits(Min, Max);
        Field.SetValue(Value);
        return Field;
    }
};

int64_t Millis(TWindowSystem::TClock::duration D) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(D).count();
}

} // namespace

// ---- texts

struct TTextCase {
    const char* Name;
    TUpDownDisplay Display;
    int32_t Min, Max, Value;
    const char* Text;
};

class UpDownTextCases : public ::testing::TestWithParam<TTextCase> {};

TEST_P(UpDownTextCases, ShowsTheValueInItsDisplayKind) {
    const TTextCase& C = GetParam();
    EXPECT_EQ(UpDownText(C.Value, C.Display, C.Min, C.Max), C.Text);
}

INSTANTIATE_TEST_SUITE_P(
    UpDownEdit, UpDownTextCases,
    ::testing::Values(
        TTextCase{"PercentBothSignsPositive", TUpDownDisplay::Percent, -100, 100, 50, "+50%"},
        TTextCase{"PercentBothSignsNegative", TUpDownDisplay::Percent, -100, 100, -50, "-50%"},
        TTextCase{"PercentBothSignsZero", TUpDownDisplay::Percent, -100, 100, 0, "0%"},
        TTextCase{"PercentNoSign", TUpDownDisplay::Percent, 0, 100, 50, "50%"},
        TTextCase{"HexTwoDigits", TUpDownDisplay::Hexadecimal, 0, 255, 15, "$0F"},
        TTextCase{"HexTwoDigitsNegativeRange", TUpDownDisplay::Hexadecimal, -255, 255, -31, "-$1F"},
        TTextCase{"HexFourDigits", TUpDownDisplay::Hexadecimal, 0, 65535, 15, "$000F"},
        TTextCase{"HexEightDigits", TUpDownDisplay::Hexadecimal, 0, 65536, 15, "$0000000F"},
        TTextCase{"HexSmallestValue", TUpDownDisplay::Hexadecimal, Int32Min, 0, Int32Min, "-$80000000"},
        TTextCase{"DecimalSmallestValue", TUpDownDisplay::Decimal, Int32Min, Int32Max, Int32Min, "-2147483648"},
        TTextCase{"PercentSmallestValue", TUpDownDisplay::Percent, Int32Min, Int32Max, Int32Min, "-2147483648%"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(UpDownEdit, MeasuringTheSmallestValueCountsTenDigitsWithoutOverflow) {
    EXPECT_EQ(UpDownMeasureText(TUpDownDisplay::Decimal, Int32Min, Int32Max, '8'), "-8888888888");
    EXPECT_EQ(UpDownMeasureText(TUpDownDisplay::Decimal, 0, 9, '8'), "8");
    EXPECT_EQ(UpDownMeasureText(TUpDownDisplay::Percent, 0, 100, '8'), "888%");
    EXPECT_EQ(UpDownMeasureText(TUpDownDisplay::Percent, -100, 100, '8'), "+888%");
    EXPECT_EQ(UpDownMeasureText(TUpDownDisplay::Hexadecimal, -1, 70000, '8'), "-$88888888");
    // The smallest value is as wide as the largest with its sign.
    TUpDownEdit Wide, Narrow;
    Wide.SetLimits(Int32Min, 0);
    Narrow.SetLimits(-999999999, 0);
    EXPECT_GT(Wide.TextWidth(), Narrow.TextWidth());
}

// ---- reading typed numbers

struct TReadCase {
    const char* Name;
    const char* Text;
    bool Readable;
    int32_t Value;
    bool HasPercent;
};

class NumberTextCases : public ::testing::TestWithParam<TReadCase> {};

TEST_P(NumberTextCases, ReadsSignsHexAndPercentAndSaturates) {
    const TReadCase& C = GetParam();
    std::optional<TNumberText> Number = ReadNumberText(C.Text);
    ASSERT_EQ(Number.has_value(), C.Readable);
    if (!Number)
        return;
    EXPECT_EQ(Number->Value, C.Value);
    EXPECT_EQ(Number->HasPercent, C.HasPercent);
}

INSTANTIATE_TEST_SUITE_P(
    UpDownEdit, NumberTextCases,
    ::testing::Values(TReadCase{"Hex", "$1F", true, 31, false}, TReadCase{"HexLowerNegative", "  -$ 1f", true, -31, false},
                      TReadCase{"SignsFlip", "+-+-5", true, 5, false}, TReadCase{"Percent", "50 %", true, 50, true},
                      TReadCase{"SignedPercent", "-12%", true, -12, true},
                      TReadCase{"TrailingTextIgnored", "12abc", true, 12, false},
                      TReadCase{"HugeSaturatesHigh", "99999999999", true, Int32Max, false},
                      TReadCase{"HugeSaturatesLow", "-99999999999999999999", true, Int32Min, false},
                      TReadCase{"HugeHex", "$FFFFFFFFFFFF", true, Int32Max, false},
                      TReadCase{"Smallest", "-2147483648", true, Int32Min, false},
                      TReadCase{"Empty", "", false, 0, false}, TReadCase{"OnlyDollar", "$", false, 0, false},
                      TReadCase{"Letters", "abc", false, 0, false}, TReadCase{"OnlySigns", " - ", false, 0, false}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- typing, stepping and wrapping

TEST(UpDownEdit, TypedTextBecomesTheClampedValueAndAnUnreadableTextChangesNothing) {
    TFixture F;
    auto& Field = F.AddField(0, 1000, 5);
    std::vector<int32_t> Changes;
    Field.OnChange = [&] { Changes.push_back(Field.Value()); };
    F.Open();
    F.System.ScriptClick(F.Centre(Field.TextGadget()));
    RunScript(F.System);
    ASSERT_TRUE(Field.IsEditing());
    EXPECT_TRUE(Field.EditBox().HasFocus());
    EXPECT_FALSE(Field.TextGadget().IsVisible());
    // The whole text is selected: typing replaces it.
    F.System.ScriptText("99999999999");
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), 1000);
    // What was typed stays while typing.
    EXPECT_EQ(Field.EditBox().Text(), "99999999999");
    F.System.ScriptKey(KeyA, ShortCutCtrl);
    F.System.ScriptText("$1F");
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), 31);
    F.System.ScriptKey(KeyA, ShortCutCtrl);
    F.System.ScriptText("x");
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), 31);
    // Enter shows the drawn text again, with the value's own text.
    F.System.ScriptKey(KeyEnter);
    RunScript(F.System);
    EXPECT_FALSE(Field.IsEditing());
    EXPECT_TRUE(Field.TextGadget().IsVisible());
    EXPECT_EQ(Field.TextGadget().Caption(), "31");
    EXPECT_EQ(Changes, (std::vector<int32_t>{1000, 31}));
}

TEST(UpDownEdit, StepsAreAddedInSixtyFourBitsAndClampedOrWrapped) {
    TUpDownEdit Field;
    Field.SetLimits(Int32Min, Int32Max);
    Field.SetValue(Int32Max);
    Field.StepBy(1, TStepEnds::Clamp);
    EXPECT_EQ(Field.Value(), Int32Max);
    Field.StepBy(Int32Max, TStepEnds::Clamp);
    EXPECT_EQ(Field.Value(), Int32Max);
    Field.StepBy(1, TStepEnds::Wrap);
    EXPECT_EQ(Field.Value(), Int32Min);
    Field.StepBy(-1, TStepEnds::Clamp);
    EXPECT_EQ(Field.Value(), Int32Min);
    Field.StepBy(-1, TStepEnds::Wrap);
    EXPECT_EQ(Field.Value(), Int32Max);
    Field.StepBy(int64_t(Int32Min) * 2, TStepEnds::Clamp);
    EXPECT_EQ(Field.Value(), Int32Min);
}

TEST(UpDownEdit, WrappingHueWrapsOnTheWheelButItsArrowClampsAtTheEnd) {
    TFixture F;
    auto& Hue = F.AddField(0, 255, 255);
    Hue.SetWrapping(true);
    F.Open();
    EXPECT_TRUE(Hue.UpDown().IncreaseArrow().IsEnabled());
    EXPECT_TRUE(Hue.UpDown().DecreaseArrow().IsEnabled());
    F.System.ScriptClick(F.Centre(Hue.UpDown().IncreaseArrow()));
    RunScript(F.System);
    EXPECT_EQ(Hue.Value(), 255);
    F.System.ScriptWheel(F.Centre(Hue.TextGadget()), 120);
    RunScript(F.System);
    EXPECT_EQ(Hue.Value(), 0);
    F.System.ScriptWheel(F.Centre(Hue.TextGadget()), -120);
    F.System.ScriptWheel(F.Centre(Hue.TextGadget()), -120);
    RunScript(F.System);
    EXPECT_EQ(Hue.Value(), 254);
}

TEST(UpDownEdit, NonWrappingFieldDisablesItsArrowAtTheEndsYetTheUpKeyWraps) {
    TFixture F;
    auto& Field = F.AddField(-5, 5, 5);
    F.Open();
    EXPECT_FALSE(Field.UpDown().IncreaseArrow().IsEnabled());
    EXPECT_TRUE(Field.UpDown().DecreaseArrow().IsEnabled());
    // The wheel clamps.
    F.System.ScriptWheel(F.Centre(Field.TextGadget()), 120);
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), 5);
    F.System.ScriptClick(F.Centre(Field.TextGadget()));
    F.System.ScriptKey(KeyUp);
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), -5);
    EXPECT_EQ(Field.EditBox().Text(), "-5");
    EXPECT_FALSE(Field.UpDown().DecreaseArrow().IsEnabled());
    EXPECT_TRUE(Field.UpDown().IncreaseArrow().IsEnabled());
    F.System.ScriptKey(KeyDown);
    RunScript(F.System);
    EXPECT_EQ(Field.Value(), 5);
    // Escape leaves editing; the arrows step by one.
    F.System.ScriptKey(KeyEscape);
    F.System.ScriptClick(F.Centre(Field.UpDown().DecreaseArrow()));
    RunScript(F.System);
    EXPECT_FALSE(Field.IsEditing());
    EXPECT_EQ(Field.Value(), 4);
}

TEST(UpDownEdit, HeldArrowRepeatsAtTheToolkitsIntervals) {
    TFixture F;
    auto& Field = F.AddField(0, 100, 0);
    F.Open();
    auto Start = F.System.Now();
    std::vector<int64_t> Times;
    Field.OnChange = [&] { Times.push_back(Millis(F.System.Now() - Start)); };
    TPoint Arrow = F.Centre(Field.UpDown().IncreaseArrow());
    F.System.ScriptMouseMove(Arrow);
    F.System.ScriptMouseDown(Arrow);
    F.System.ScriptAdvance(360ms);
    F.System.ScriptMouseUp(Arrow);
    F.System.ScriptAdvance(200ms);
    RunScript(F.System);
    EXPECT_EQ(Times, (std::vector<int64_t>{0, 250, 300, 350}));
    EXPECT_EQ(Field.Value(), 4);
}

TEST(UpDownEdit, ValueIsStoredBeforeTheWidgetsKeysAndAMissingKeyKeepsIt) {
    TUpDownEdit Field;
    Field.SetLimits(-10, 10);
    Field.SetValue(-7);
    TData Data;
    Field.SaveControl(Data);
    TUpDownEdit Loaded;
    Loaded.SetLimits(-10, 10);
    Loaded.LoadControl(Data);
    EXPECT_EQ(Loaded.Value(), -7);
    EXPECT_EQ(Loaded.TextGadget().Caption(), "-7");
    TData Empty;
    Loaded.LoadControl(Empty);
    EXPECT_EQ(Loaded.Value(), -7);
}

TEST(UpDownEdit, LimitsPullTheValueInsideAndDefaultSizeFitsTheText) {
    TUpDownEdit Field;
    Field.SetLimits(0, 1000);
    Field.SetValue(900);
    int32_t Width = 0, Height = 0;
    ASSERT_TRUE(Field.GetDefaultSize(Width, Height));
    EXPECT_EQ(Height, Field.TextHeight() + 4);
    EXPECT_GE(Width, Field.TextWidth() + 4 + 8);
    Field.SetMax(50);
    EXPECT_EQ(Field.Value(), 50);
    Field.SetMin(60);
    EXPECT_EQ(Field.Min(), 60);
    EXPECT_EQ(Field.Max(), 60);
    EXPECT_EQ(Field.Value(), 60);
}

// ---- the up-down on its own

TEST(UpDown, StripDragTenUpAndThreeRightReportsThirteenSteps) {
    TFixture F;
    auto& Spin = F.Root.Add<TUpDown>();
    Spin.SetBounds(TRect::FromSize(50, 20, 20, 90));
    F.Open();
    int32_t Steps = 0, Begins = 0, Ends = 0;
    Spin.OnStep = [&](int32_t Count) { Steps += Count; };
    Spin.OnDragBegin = [&] { ++Begins; };
    Spin.OnDragEnd = [&] { ++Ends; };
    TPoint Strip = F.Centre(Spin.Middle());
    ASSERT_GT(Spin.Middle().Height(), 0);
    F.System.ScriptMouseMove(Strip);
    F.System.ScriptMouseDown(Strip);
    F.System.ScriptStep([&] { EXPECT_TRUE(Spin.IsDragging()); });
    F.System.ScriptMouseMove({Strip.X + 1, Strip.Y - 4});
    F.System.ScriptMouseMove({Strip.X + 3, Strip.Y - 10});
    F.System.ScriptMouseUp({Strip.X + 3, Strip.Y - 10});
    RunScript(F.System);
    EXPECT_EQ(Steps, 13);
    EXPECT_EQ(Begins, 1);
    EXPECT_EQ(Ends, 1);
    EXPECT_FALSE(Spin.IsDragging());
}

TEST(UpDown, ArrowsWheelAndKeysStepAndTheStripFollowsTheArrows) {
    TFixture F;
    auto& Spin = F.Root.Add<TUpDown>();
    Spin.SetBounds(TRect::FromSize(50, 20, 20, 90));
    Spin.SetTabStop(true);
    F.Open();
    std::vector<int32_t> Steps;
    Spin.OnStep = [&](int32_t Count) { Steps.push_back(Count); };
    F.System.ScriptClick(F.Centre(Spin.IncreaseArrow()));
    F.System.ScriptClick(F.Centre(Spin.DecreaseArrow()));
    F.System.ScriptWheel(F.Centre(Spin), 360);
    RunScript(F.System);
    ASSERT_TRUE(Spin.SetFocus());
    F.System.ScriptKey(KeyUp);
    F.System.ScriptKey(KeyDown);
    RunScript(F.System);
    EXPECT_EQ(Steps, (std::vector<int32_t>{1, -1, 3, 1, -1}));
    // The arrows sit at the ends, each 4/9 of the height.
    EXPECT_EQ(Spin.IncreaseArrow().Bounds(), TRect::FromSize(0, 0, 20, 40));
    EXPECT_EQ(Spin.DecreaseArrow().Bounds(), TRect::FromSize(0, 50, 20, 40));
    Spin.SetArrowsEnabled(false, true);
    EXPECT_TRUE(Spin.Middle().IsEnabled());
    Spin.SetArrowsEnabled(false, false);
    EXPECT_FALSE(Spin.Middle().IsEnabled());
}
