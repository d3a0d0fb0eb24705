#include "app/dialogs/about_form.h"
#include "app/dialogs/artwork.h"
#include "app/dialogs/input_form.h"
#include "app/dialogs/message_form.h"
#include "app/dialogs/splash_form.h"
#include "app/dialogs/wait_form.h"

#include "../toolkit/widget_test_support.h"
#include "canvas/text_attr.h"
#include "core/error.h"
#include "platform/keys.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/skin/skin_colors.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// The centre of a widget on the desktop.
TPoint Centre(const TWidget& Widget) {
    TRect R = Widget.ScreenRect();
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

// Whether Window shows Text drawn at client point (X, Y) of Widget in Font
// and Color on Background: the text is drawn the same way into a raster of
// its own and compared pixel for pixel (colour channels only).
bool ShowsText(const THeadlessWindowSystem& System, const TWidget& Widget, int32_t X, int32_t Y,
               const std::string& Text, const TTextAttr& Font, TColor Color, TColor Background) {
    TRect Extent = TextExtent(Text, Font);
    if (Extent.IsEmpty())
        return false;
    int32_t Width = Extent.Right + 2, Height = Extent.Bottom + 2;
    TPixels Expected(Width, Height);
    Expected.FillAll(Background);
    Expected.DrawText(0, 0, TSmooth::Yes, Color, Font, Text);
    TPixelView Shown = System.Presented(Widget.Window()->Native());
    TPoint Origin = Widget.Window()->Native().Bounds().TopLeft();
    TRect Screen = Widget.ScreenRect();
    TRect Client = Widget.ClientRect();
    int32_t Left = Screen.Left - Origin.X + Client.Left + X, Top = Screen.Top - Origin.Y + Client.Top + Y;
    int32_t Inked = 0;
    for (int32_t Row = 0; Row < Height; ++Row)
        for (int32_t Column = 0; Column < Width; ++Column) {
            const uint8_t* Want = Expected.Row(Row) + Column * 4;
            const uint8_t* Got = Shown.At(Left + Column, Top + Row);
            if (Want[0] != Got[0] || Want[1] != Got[1] || Want[2] != Got[2])
                return false;
            Inked += Want[0] != Expected.Row(0)[0];
        }
    return Inked > 0;
}

TColor Opaque(TColor Color) {
    return AlphaColor(Color, 255);
}

struct TMessageCase {
    const char* Name;
    uint16_t Buttons;
    std::function<void(THeadlessWindowSystem&, TMessageForm&)> Input;
    TMessageResult Result;
};

constexpr uint16_t YesNoCancel = MessageButton(TMessageButton::Yes) | MessageButton(TMessageButton::No) |
                                 MessageButton(TMessageButton::Cancel);

void Click(THeadlessWindowSystem& System, TMessageForm& Form, TMessageButton Button) {
    System.ScriptStep([&System, &Form, Button] { System.ScriptClick(Centre(*Form.Button(Button))); });
}

class MessageDialogResult : public testing::TestWithParam<TMessageCase> {};

TEST_P(MessageDialogResult, IsTheButtonPressed) {
    THeadlessWindowSystem System;
    TMessageForm Form("Save the changes to Holiday?", TMessageKind::Confirmation, GetParam().Buttons, 0);
    GetParam().Input(System, Form);
    EXPECT_EQ(Form.Execute(System), GetParam().Result);
    EXPECT_FALSE(Form.IsPoppedUp());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MessageDialogResult,
    testing::Values(
        TMessageCase{"ClickNo", YesNoCancel, [](auto& S, auto& F) { Click(S, F, TMessageButton::No); },
                     TMessageResult::No},
        TMessageCase{"EnterIsYes", YesNoCancel, [](auto& S, auto&) { S.ScriptKey(KeyEnter); }, TMessageResult::Yes},
        TMessageCase{"EscapeIsCancel", YesNoCancel, [](auto& S, auto&) { S.ScriptKey(KeyEscape); },
                     TMessageResult::Cancel},
        TMessageCase{"EscapeWithoutCancelIsNo",
                     MessageButton(TMessageButton::Yes) | MessageButton(TMessageButton::No),
                     [](auto& S, auto&) { S.ScriptKey(KeyEscape); }, TMessageResult::No},
        TMessageCase{"AcceleratorOfNo", YesNoCancel, [](auto& S, auto&) { S.ScriptKey('N', ShortCutAlt); },
                     TMessageResult::No},
        TMessageCase{"ClickAll", MessageButton(TMessageButton::All) | MessageButton(TMessageButton::Cancel),
                     [](auto& S, auto& F) { Click(S, F, TMessageButton::All); }, TMessageResult::All},
        TMessageCase{"ClickYesToAll",
                     MessageButton(TMessageButton::YesToAll) | MessageButton(TMessageButton::NoToAll),
                     [](auto& S, auto& F) { Click(S, F, TMessageButton::YesToAll); }, TMessageResult::YesToAll},
        TMessageCase{"ClickRetry", MessageButton(TMessageButton::Abort) | MessageButton(TMessageButton::Retry) |
                                       MessageButton(TMessageButton::Ignore),
                     [](auto& S, auto& F) { Click(S, F, TMessageButton::Retry); }, TMessageResult::Retry},
        TMessageCase{"NoButtonsMeansOk", 0, [](auto& S, auto&) { S.ScriptKey(KeyEnter); }, TMessageResult::Ok}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(MessageDialog, ShowsItsButtonsInTheFixedOrderAndItsTextWrapped) {
    THeadlessWindowSystem System;
    std::string Text = "The project file could not be written because the disk is full. "
                       "Free some room on it and try again, or save the project somewhere else.";
    TMessageForm Form(Text, TMessageKind::Error,
                      MessageButton(TMessageButton::Cancel) | MessageButton(TMessageButton::Retry) |
                          MessageButton(TMessageButton::Help),
                      77);
    std::vector<int32_t> HelpAsked;
    Form.OnHelp = [&](int32_t Context) { HelpAsked.push_back(Context); };
    ASSERT_GT(Form.Lines().size(), 1u);
    // Cancel, Retry, Help from left to right.
    EXPECT_LT(Form.Button(TMessageButton::Cancel)->Bounds().Left, Form.Button(TMessageButton::Retry)->Bounds().Left);
    EXPECT_LT(Form.Button(TMessageButton::Retry)->Bounds().Left, Form.Button(TMessageButton::Help)->Bounds().Left);
    EXPECT_EQ(Form.Button(TMessageButton::Ok), nullptr);
    bool Shown = false;
    bool OpenAfterHelp = false;
    System.ScriptStep([&] {
        const TSkinColors& Skin = SkinColors();
        int32_t Top = Form.CaptionHeight() + TDialogForm::Margin;
        TTextInfo Info;
        MeasureText("Ag", Skin.MessageFont, TTextMode::Plain, Info);
        int32_t Left = TDialogForm::Margin + TMessageForm::IconSize + TDialogForm::Margin;
        Shown = ShowsText(System, Form, Left, Top, Form.Lines()[0], Skin.MessageFont, Opaque(Skin.TextColor),
                          Opaque(Skin.FaceColor)) &&
                ShowsText(System, Form, Left, Top + Info.LineHeight, Form.Lines()[1], Skin.MessageFont,
                          Opaque(Skin.TextColor), Opaque(Skin.FaceColor));
        System.ScriptClick(Centre(*Form.Button(TMessageButton::Help)));
        System.ScriptStep([&] { OpenAfterHelp = Form.IsPoppedUp(); });
        System.ScriptKey(KeyEscape);
    });
    EXPECT_EQ(Form.Execute(System), TMessageResult::Cancel);
    EXPECT_TRUE(Shown);
    EXPECT_TRUE(OpenAfterHelp);
    EXPECT_EQ(HelpAsked, std::vector<int32_t>{77});
}

TEST(InputDialog, ReturnsTheEditedTextAndWhetherOkClosedIt) {
    struct TCase {
        const char* Name;
        std::function<void(THeadlessWindowSystem&, TInputForm&)> Input;
        bool Result;
        std::string Text;
    } Cases[] = {
        // The text starts all selected, so typing replaces it.
        {"TypeAndEnter", [](auto& S, auto&) { S.ScriptText("Summer"); S.ScriptKey(KeyEnter); }, true, "Summer"},
        {"TypeAndEscape", [](auto& S, auto&) { S.ScriptText("Summer"); S.ScriptKey(KeyEscape); }, false, "Summer"},
        {"ClickOk", [](auto& S, auto& F) { S.ScriptStep([&S, &F] { S.ScriptClick(Centre(F.OkButton())); }); },
         true, "Holiday"},
        {"ClickCancel",
         [](auto& S, auto& F) { S.ScriptStep([&S, &F] { S.ScriptClick(Centre(F.CancelButton())); }); }, false,
         "Holiday"},
    };
    for (const TCase& Case : Cases) {
        THeadlessWindowSystem System;
        TInputForm Form;
        Case.Input(System, Form);
        std::string Text = "Holiday";
        EXPECT_EQ(Form.Execute(System, "Rename", "New name:", Text), Case.Result) << Case.Name;
        EXPECT_EQ(Text, Case.Text) << Case.Name;
    }
}

TEST(InputDialog, ShowsItsCaptionPromptAndFocusedText) {
    THeadlessWindowSystem System;
    TInputForm Form;
    bool Prompt = false, Caption = false, Focused = false;
    System.ScriptStep([&] {
        const TSkinColors& Skin = SkinColors();
        Prompt = ShowsText(System, Form, TDialogForm::Margin, Form.CaptionHeight() + TDialogForm::Margin,
                           "New name:", Skin.MessageFont, Opaque(Skin.TextColor), Opaque(Skin.FaceColor));
        TTextAttr Bold = Skin.MessageFont;
        Bold.Bold = true;
        TTextInfo Info;
        MeasureText("Ag", Bold, TTextMode::Plain, Info);
        Caption = ShowsText(System, Form, TDialogForm::Margin, (Form.CaptionHeight() - Info.LineHeight) / 2,
                            "Rename", Bold, Opaque(Skin.FaceColor), Opaque(Skin.ShadowColor));
        Focused = Form.Edit().HasFocus() && Form.Edit().SelectedText() == "Holiday";
        System.ScriptKey(KeyEscape);
    });
    std::string Text = "Holiday";
    Form.Execute(System, "Rename", "New name:", Text);
    EXPECT_TRUE(Prompt);
    EXPECT_TRUE(Caption);
    EXPECT_TRUE(Focused);
}

TEST(ProgressDialog, PercentIsComputedIn64BitsAndClamped) {
    constexpr int64_t Max = std::numeric_limits<int64_t>::max(), Min = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(ProgressPercent(50, 0, 200), 25);
    EXPECT_EQ(ProgressPercent(-5, 0, 10), 0);
    EXPECT_EQ(ProgressPercent(15, 0, 10), 100);
    EXPECT_EQ(ProgressPercent(7, 7, 7), 100);
    EXPECT_EQ(ProgressPercent(Max / 2, 0, Max), 50);
    EXPECT_EQ(ProgressPercent(0, Min, Max), 50);
    EXPECT_EQ(ProgressPercent(30'000'000'000'000'000, 0, 40'000'000'000'000'000), 75);
}

TEST(ProgressDialog, ShowsNothingForARunOfLessThanTwoSteps) {
    THeadlessWindowSystem System;
    TWaitForm Wait(System);
    Wait.ExecuteBegin("Rendering %", 0, 1);
    EXPECT_FALSE(Wait.IsActive());
    EXPECT_EQ(Wait.FormWindow(), nullptr);
    EXPECT_FALSE(Wait.Progress(0));
    Wait.ExecuteEnd();
}

TEST(ProgressDialog, DisablesTheOtherWindowsShowsProgressAndStopsOnCancel) {
    THeadlessWindowSystem System;
    TWidget Root;
    TWidgetWindow Main(System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Main", .Bounds = TRect::FromSize(100, 100, 600, 400)});
    Main.Show(TActivate::Yes);
    TWaitForm Wait(System);
    Wait.ExecuteBegin("Rendering %", 0, 200);
    ASSERT_TRUE(Wait.IsActive());
    EXPECT_EQ(Wait.Caption(), "Rendering 0%");
    EXPECT_FALSE(Main.Native().IsEnabled());
    EXPECT_THROW(Wait.ExecuteBegin("Again %", 0, 10), EError);
    EXPECT_TRUE(Wait.Progress(50));
    EXPECT_EQ(Wait.Percent(), 25);
    EXPECT_EQ(Wait.Caption(), "Rendering 25%");
    EXPECT_EQ(Wait.FormWindow()->Native().Title(), "Rendering 25%");
    // Centred on the window that was active.
    EXPECT_EQ(Wait.FormWindow()->Native().Bounds().TopLeft(),
              (TPoint{100 + (600 - TWaitForm::FormWidth) / 2, 100 + (400 - TWaitForm::FormHeight) / 2}));
    // The bar is filled a quarter of the way in the skin's own blue.
    const TSkinColors& Skin = SkinColors();
    EXPECT_TRUE(ShowsText(System, Wait, 12, 12, "Rendering 25%", Skin.MessageFont, Opaque(Skin.TextColor),
                          Opaque(Skin.FaceColor)));
    System.ScriptClick(Centre(Wait.CancelButton()));
    RunScript(System);
    EXPECT_TRUE(Wait.IsCancelled());
    EXPECT_FALSE(Wait.Progress(60));
    Wait.ExecuteEnd();
    EXPECT_EQ(Wait.FormWindow(), nullptr);
    EXPECT_TRUE(Main.Native().IsEnabled());
    // A run begun again starts uncancelled.
    Wait.ExecuteBegin("Rendering %", 0, 10);
    EXPECT_TRUE(Wait.Progress(1));
    System.ScriptCloseRequest(Wait.FormWindow()->Native());
    RunScript(System);
    EXPECT_FALSE(Wait.Progress(2));
    EXPECT_TRUE(Wait.IsActive());
    Wait.ExecuteEnd();
}

TEST(AboutBox, ShowsTheProgramsVersionAndClosesOnEnterEscapeSpaceOrAClick) {
    EXPECT_EQ(ProgramVersion(), "0.1.0.0");
    for (uint8_t Key : {KeyEnter, KeyEscape, KeySpace, uint8_t(0)}) {
        THeadlessWindowSystem System;
        TAboutForm About;
        EXPECT_EQ(About.Caption(), "Quillmoor 0.1.0.0");
        bool Shown = false;
        System.ScriptStep([&] {
            // The picture with its texts fills the box inside the border.
            TPixelView View = System.Presented(About.PopupWindow()->Native());
            int32_t B = About.Border();
            const uint8_t* Corner = View.At(B + 300, B + AboutHeight - 45);
            Shown = Corner[0] == About.Picture().Row(AboutHeight - 45)[300 * 4];
            if (Key)
                System.ScriptKey(Key);
            else
                System.ScriptClick(Centre(About));
        });
        About.Execute(System);
        EXPECT_TRUE(Shown);
        EXPECT_FALSE(About.IsPoppedUp());
    }
}

TEST(AboutBox, DrawsItsTextsInHalfOpaqueBlackOverThePicture) {
    TAboutForm About;
    TPixels Plain(AboutWidth, AboutHeight);
    PaintAboutPicture(Plain);
    // Somewhere on the caption's line the picture is darkened, never made
    // fully black (the ink is half opaque), and above it nothing changed.
    int32_t Darkened = 0;
    bool FullBlack = false;
    for (int32_t Y = AboutHeight - 50; Y < AboutHeight - 36; ++Y)
        for (int32_t X = 0; X < AboutWidth; ++X) {
            const uint8_t* With = About.Picture().Row(Y) + X * 4;
            const uint8_t* Without = Plain.Row(Y) + X * 4;
            Darkened += With[1] < Without[1];
            FullBlack = FullBlack || (With[0] == 0 && With[1] == 0 && With[2] == 0);
        }
    EXPECT_GT(Darkened, 50);
    EXPECT_FALSE(FullBlack);
    for (int32_t X = 0; X < AboutWidth; ++X)
        EXPECT_EQ(std::memcmp(About.Picture().Row(20) + X * 4, Plain.Row(20) + X * 4, 4), 0);
}

TEST(SplashForm, IsCentredAtThePicturesSizeAndShowsIt) {
    THeadlessWindowSystem System{{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}};
    TSplashForm Splash(System, nullptr);
    System.ProcessEvents();
    TNativeWindow& Native = Splash.FormWindow().Native();
    EXPECT_TRUE(Native.IsVisible());
    EXPECT_EQ(Native.Bounds(), TRect::FromSize((1920 - SplashWidth) / 2, (1040 - SplashHeight) / 2, SplashWidth,
                                               SplashHeight));
    TPixels Picture(SplashWidth, SplashHeight);
    PaintSplashPicture(Picture);
    TPixelView Shown = System.Presented(Native);
    for (TPoint At : {TPoint{5, 5}, TPoint{60, 60}, TPoint{200, 70}, TPoint{10, SplashHeight - 2}})
        EXPECT_EQ(std::memcmp(Shown.At(At.X, At.Y), Picture.Row(At.Y) + At.X * 4, 3), 0) << At.X << "," << At.Y;
}

TEST(ProgramIcon, IsATransparentSquareWithAnOpaqueTile) {
    for (int32_t Size : {16, 48, 256}) {
        TPixels Icon(Size, Size);
        PaintProgramIcon(Icon);
        EXPECT_EQ(Icon.Row(0)[3], 0) << Size;                       // the rounded corner is clear
        EXPECT_EQ(Icon.Row(Size / 2)[(Size / 2) * 4 + 3], 255) << Size; // the middle is solid
    }
}

} // namespace
