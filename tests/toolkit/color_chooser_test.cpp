#include "canvas/color_hsv.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/controls/color_chooser.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;

    void Open() {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Colours", .Bounds = TRect::FromSize(50, 50, 400, 300)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
};

// Puts the palette back as it was made, for the tests after this one.
struct TPaletteRestorer {
    TColors::TPalette Palette = Colors().Palette();
    TColors::TAlphas Alphas = Colors().Alphas();
    ~TPaletteRestorer() {
        Colors().SetPalette(Palette);
        Colors().SetAlphas(Alphas);
    }
};

} // namespace

// ---- HSV

TEST(ColorHsv, EveryGreyRoundTripsWithHueAndSaturationZero) {
    for (int32_t Level = 0; Level < 256; ++Level) {
        TColor Grey = MakeColor(uint8_t(Level), uint8_t(Level), uint8_t(Level), uint8_t(255 - Level));
        TColor Hsv = RgbToHsv(Grey);
        EXPECT_EQ(Hsv, MakeHsv(0, 0, uint8_t(Level), uint8_t(255 - Level))) << Level;
        EXPECT_EQ(HsvToRgb(Hsv), Grey) << Level;
    }
}

struct THueCase {
    const char* Name;
    TColor Rgb;
    uint8_t Hue;
};

class ColorHsvPure : public ::testing::TestWithParam<THueCase> {};

TEST_P(ColorHsvPure, PrimariesAndSecondariesHaveTheirHuesAndComeBack) {
    const THueCase& C = GetParam();
    TColor Hsv = RgbToHsv(C.Rgb);
    EXPECT_EQ(HsvHue(Hsv), C.Hue);
    EXPECT_EQ(HsvSaturation(Hsv), 255);
    EXPECT_EQ(HsvValue(Hsv), 255);
    EXPECT_EQ(HsvToRgb(Hsv), C.Rgb);
}

INSTANTIATE_TEST_SUITE_P(ColorHsv, ColorHsvPure,
                         ::testing::Values(THueCase{"Red", MakeColor(255, 0, 0), 0},
                                           THueCase{"Yellow", MakeColor(255, 255, 0), 43},
                                           THueCase{"Green", MakeColor(0, 255, 0), 85},
                                           THueCase{"Cyan", MakeColor(0, 255, 255), 128},
                                           THueCase{"Blue", MakeColor(0, 0, 255), 171},
                                           THueCase{"Magenta", MakeColor(255, 0, 255), 213}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ColorHsv, EveryColourComesBackWithinAFewSteps) {
    // The 8-bit forms lose a little; no channel may drift far.
    int32_t Worst = 0;
    for (int32_t R = 0; R < 256; R += 15)
        for (int32_t G = 0; G < 256; G += 17)
            for (int32_t B = 0; B < 256; B += 13) {
                TColor Rgb = MakeColor(uint8_t(R), uint8_t(G), uint8_t(B), 77);
                TColor Back = HsvToRgb(RgbToHsv(Rgb));
                EXPECT_EQ(ColorAlpha(Back), 77);
                for (int32_t Shift : {0, 8, 16})
                    Worst = std::max(Worst, std::abs(int32_t((Rgb >> Shift) & 255) - int32_t((Back >> Shift) & 255)));
            }
    EXPECT_LE(Worst, 8);
}

// ---- the chooser

TEST(ColorChooser, EveryFieldTakesZeroTo255AndAlwaysEdits) {
    TColorChooser Chooser;
    for (auto Which : {TColorChooser::TField::Red, TColorChooser::TField::Green, TColorChooser::TField::Blue,
                       TColorChooser::TField::Hue, TColorChooser::TField::Saturation, TColorChooser::TField::Value,
                       TColorChooser::TField::Alpha}) {
        auto& Field = Chooser.Field(Which);
        EXPECT_EQ(Field.Min(), 0);
        EXPECT_EQ(Field.Max(), 255);
        EXPECT_TRUE(Field.IsEditAlways());
        EXPECT_TRUE(Field.IsEditing());
        EXPECT_EQ(Field.IsWrapping(), Which == TColorChooser::TField::Hue);
    }
    // The table's wanted size and the two-pixel border.
    EXPECT_GT(Chooser.Width(), TColorBox::BoxWidth + TColorAlphaBox::BoxWidth + 6 + 8 + 8 + 8 + 4);
    EXPECT_GE(Chooser.Height(), TColorBox::BoxHeight + 4 + 4 + 4);
}

TEST(ColorChooser, YellowShowsItsHsvAndTheHsvFieldsGiveItBack) {
    TColorChooser Chooser;
    int32_t Changes = 0;
    Chooser.OnChange = [&] { ++Changes; };
    Chooser.SetColor(MakeColor(255, 255, 0, 200));
    using F = TColorChooser::TField;
    EXPECT_EQ(Chooser.Field(F::Hue).Value(), 43);
    EXPECT_EQ(Chooser.Field(F::Saturation).Value(), 255);
    EXPECT_EQ(Chooser.Field(F::Value).Value(), 255);
    EXPECT_EQ(Chooser.Field(F::Alpha).Value(), 200);
    EXPECT_EQ(Chooser.ColorBox().ChosenColor(), MakeColor(255, 255, 0, 200));
    EXPECT_EQ(Changes, 0);

    Chooser.Field(F::Saturation).SetValue(0);
    EXPECT_EQ(Chooser.Color(), MakeColor(255, 255, 255, 200));
    // The hue stays where it was, though a grey has none.
    EXPECT_EQ(Chooser.Field(F::Hue).Value(), 43);
    Chooser.Field(F::Saturation).SetValue(255);
    EXPECT_EQ(Chooser.Color(), MakeColor(255, 255, 0, 200));
    Chooser.Field(F::Blue).SetValue(255);
    EXPECT_EQ(Chooser.Field(F::Saturation).Value(), 0);
    EXPECT_EQ(Chooser.Field(F::Value).Value(), 255);
    Chooser.AlphaBox().SetChosenColor(MakeColor(1, 2, 3, 64));
    EXPECT_EQ(Chooser.Color(), MakeColor(255, 255, 255, 64));
    EXPECT_EQ(Chooser.Field(F::Alpha).Value(), 64);
    EXPECT_EQ(Changes, 4);
}

TEST(ColorChooser, ATransparentColourTakesTheSwatchsAlphaFromTheColourBox) {
    TColorChooser Chooser;
    Chooser.SetColor(MakeColor(10, 20, 30, 0));
    Chooser.ColorBox().SetChosenColor(MakeColor(255, 0, 0, 255));
    EXPECT_EQ(Chooser.Color(), MakeColor(255, 0, 0, 255));
    Chooser.Field(TColorChooser::TField::Alpha).SetValue(100);
    Chooser.ColorBox().SetChosenColor(MakeColor(0, 0, 255, 255));
    EXPECT_EQ(Chooser.Color(), MakeColor(0, 0, 255, 100));
}

struct TCloseCase {
    const char* Name;
    uint8_t Key;
    bool Result;
};

class ColorChooserClose : public ::testing::TestWithParam<TCloseCase> {};

TEST_P(ColorChooserClose, EnterAcceptsAndEscapeCancelsEvenFromAField) {
    TFixture F;
    F.Open();
    TColorChooser Chooser;
    Chooser.SetColor(MakeColor(0, 128, 255));
    F.System.ScriptStep([&] {
        // Typed into the red field first: the keys start in a number field.
        ASSERT_TRUE(Chooser.Field(TColorChooser::TField::Red).EditBox().SetFocus());
    });
    F.System.ScriptKey(KeyA, ShortCutCtrl);
    F.System.ScriptText("300");
    F.System.ScriptKey(GetParam().Key);
    EXPECT_EQ(Chooser.PopupAt(F.System, 100, 100, nullptr), GetParam().Result);
    EXPECT_EQ(Chooser.Color(), MakeColor(255, 128, 255));
}

INSTANTIATE_TEST_SUITE_P(ColorChooser, ColorChooserClose,
                         ::testing::Values(TCloseCase{"Enter", KeyEnter, true}, TCloseCase{"Escape", KeyEscape, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ColorChooser, RightClickedSwatchFollowsTheChooserInEveryColourBox) {
    TPaletteRestorer Restore;
    TFixture F;
    auto& Other = F.Root.Add<TColorBox>();
    Other.SetBounds(TRect::FromSize(10, 10, TColorBox::BoxWidth, TColorBox::BoxHeight));
    F.Open();
    TColorChooser Chooser;
    const int32_t Cell = 3 * TColors::Columns + 2;
    // Where the pop-up will show its swatch.
    Chooser.Layout();
    TRect Shown = TPopupWidget::Place({500, 300}, {Chooser.Width(), Chooser.Height()}, {}, {0, 0, 800, 560});
    TRect Box = Chooser.ColorBox().Bounds();
    TRect S = TColorBox::SwatchRect(Cell);
    TPoint Swatch{Shown.Left + Chooser.Border() + Box.Left + S.Left + 8,
                  Shown.Top + Chooser.Border() + Box.Top + S.Top + 8};
    F.System.ScriptClick(Swatch, TMouseButton::Right);
    F.System.ScriptStep([&] {
        EXPECT_EQ(Chooser.ColorBox().EditTarget(), Cell);
        EXPECT_EQ(Chooser.Color() & 0xFFFFFF, Colors().Palette()[Cell] & 0xFFFFFF);
        Chooser.Field(TColorChooser::TField::Green).SetValue(7);
        Chooser.Field(TColorChooser::TField::Red).SetValue(9);
    });
    F.System.ScriptKey(KeyEnter);
    TColor Before = Colors().Palette()[Cell];
    EXPECT_TRUE(Chooser.PopupAt(F.System, 500, 300, nullptr));
    TColor After = Colors().Palette()[Cell];
    EXPECT_NE(After, Before);
    EXPECT_EQ(ColorRed(After), 9);
    EXPECT_EQ(ColorGreen(After), 7);
    EXPECT_EQ(Chooser.ColorBox().EditTarget(), std::nullopt);
    // The other box draws the new palette: its swatch shows the new colour.
    F.Window->Update();
    EXPECT_EQ(PresentedAt(F.System, *F.Window, 10 + S.Left + 2, 10 + S.Top + 2) & 0xFFFFFF,
              Filled(MakeColor(9, 7, ColorBlue(After))) & 0xFFFFFF);
    // A left press chooses without an edit target.
    Other.SetChosenColor(MakeColor(1, 1, 1));
    EXPECT_EQ(Colors().Palette()[Cell], After);
}
