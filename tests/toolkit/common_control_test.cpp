#include "canvas/text_attr.h"
#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/factory_list.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/design/common_control_factory.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/flat_gadget.h"
#include "toolkit/widgets/popup_widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A window at (100, 100) whose root holds the controls under test.
struct TFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;

    template <class T>
    T& Add(TRect Bounds, std::string_view Caption = {}) {
        auto& Control = Root.Add<T>();
        Control.SetBounds(Bounds);
        Control.SetCaption(Caption);
        return Control;
    }
    void Open() {
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Buttons",
                           .Bounds = TRect::FromSize(100, 100, 300, 120)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
    // The screen point of a point inside Control.
    TPoint At(const TWidget& Control, int32_t X, int32_t Y) const {
        TRect R = Control.ScreenRect();
        return {R.Left + X, R.Top + Y};
    }
    uint32_t Pixel(const TWidget& Control, int32_t X, int32_t Y) const {
        TRect R = Control.WindowRect();
        return PresentedAt(System, *Window, R.Left + X, R.Top + Y);
    }
    // The brightness of the darkest pixel inside Control's edges.
    int32_t DarkestInside(const TWidget& Control) const;
    // Every presented pixel of Control, row by row.
    std::vector<uint32_t> Pixels(const TWidget& Control) const {
        std::vector<uint32_t> All;
        for (int32_t Y = 0; Y < Control.Height(); ++Y)
            for (int32_t X = 0; X < Control.Width(); ++X)
                All.push_back(Pixel(Control, X, Y));
        return All;
    }
};

int32_t Brightness(uint32_t Pixel) {
    return int32_t(Pixel & 0xFF) + int32_t(Pixel >> 8 & 0xFF) + int32_t(Pixel >> 16 & 0xFF);
}

int32_t TFixture::DarkestInside(const TWidget& Control) const {
    int32_t Darkest = 3 * 255;
    for (int32_t Y = 3; Y < Control.Height() - 3; ++Y)
        for (int32_t X = 3; X < Control.Width() - 3; ++X)
            Darkest = std::min(Darkest, Brightness(Pixel(Control, X, Y)));
    return Darkest;
}

// Records who executed a command.
struct TRecorder {
    std::vector<TObject*> Senders;
    void Execute(TCommand*, TObject* Sender) { Senders.push_back(Sender); }
};

TCommand* MakeCommand(TCommandList& List, TRecorder& Recorder) {
    return new TCommand(List, nullptr, "Test|Run", "&Run", "Runs it", "", {},
                        MakeDelegate<&TRecorder::Execute>(&Recorder));
}

} // namespace

// ---- clicking

TEST(CommonButton, ClicksWhenReleasedOverItAfterPressingOnIt) {
    TFixture F;
    auto& Button = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "&Open");
    int32_t Clicks = 0;
    Button.OnClick = [&] { ++Clicks; };
    F.Open();
    F.System.ScriptClick(F.At(Button, 20, 10));
    // Pressed on it, released outside: no click.
    F.System.ScriptMouseDown(F.At(Button, 20, 10));
    F.System.ScriptMouseMove(F.At(Button, 200, 10));
    F.System.ScriptMouseUp(F.At(Button, 200, 10));
    // Held for a while: a button does not repeat.
    F.System.ScriptMouseDown(F.At(Button, 20, 10));
    F.System.ScriptAdvance(600ms);
    F.System.ScriptMouseUp(F.At(Button, 20, 10));
    RunScript(F.System);
    EXPECT_EQ(Clicks, 2);
}

TEST(CommonButton, SpaceAndEnterClickOnlyTheFocusedButton) {
    TFixture F;
    auto& First = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "First");
    auto& Second = F.Add<TCommonButton>(TRect::FromSize(100, 10, 80, 25), "Second");
    std::vector<int32_t> Clicked;
    First.OnClick = [&] { Clicked.push_back(1); };
    Second.OnClick = [&] { Clicked.push_back(2); };
    F.Open();
    Second.SetFocus();
    F.System.ScriptKey(KeySpace);
    F.System.ScriptKey(KeyEnter);
    F.System.ScriptKey(KeyTab);
    F.System.ScriptKey(KeySpace);
    RunScript(F.System);
    EXPECT_EQ(Clicked, (std::vector<int32_t>{2, 2, 1}));
    EXPECT_EQ(F.Window->Focused(), &First);
}

TEST(CommonButton, SpaceHeldShowsThePushedLookUntilReleased) {
    TFixture F;
    auto& Button = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "Go");
    F.Open();
    Button.SetFocus();
    bool PushedWhileHeld = false;
    F.System.ScriptEvent(TKeyEvent{&F.Window->Native(), TKeyEventKind::Down, KeySpace, 0, KeySpace});
    F.System.ScriptStep([&] { PushedWhileHeld = Button.IsPushed(); });
    F.System.ScriptEvent(TKeyEvent{&F.Window->Native(), TKeyEventKind::Up, KeySpace, 0, KeySpace});
    RunScript(F.System);
    EXPECT_TRUE(PushedWhileHeld);
    EXPECT_FALSE(Button.IsPushed());
}

TEST(CommonButton, AltWithTheAcceleratorFocusesAndClicks) {
    TFixture F;
    auto& Open = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "&Open");
    auto& Save = F.Add<TCommonButton>(TRect::FromSize(100, 10, 80, 25), "Sa&ve && close");
    auto& Hidden = F.Add<TCommonButton>(TRect::FromSize(190, 10, 80, 25), "&Hidden");
    Hidden.SetVisible(false);
    std::vector<std::string> Clicked;
    for (TCommonButton* B : {&Open, &Save, &Hidden})
        B->OnClick = [&Clicked, B] { Clicked.push_back(B->Caption()); };
    F.Open();
    EXPECT_EQ(Save.AcceleratorKey(), 'V');
    Open.SetFocus();
    F.System.ScriptKey('V', ShortCutAlt);
    F.System.ScriptKey('H', ShortCutAlt); // hidden: nobody answers
    F.System.ScriptKey('V');              // without Alt: not an accelerator
    RunScript(F.System);
    EXPECT_EQ(Clicked, (std::vector<std::string>{"Sa&ve && close"}));
    EXPECT_EQ(F.Window->Focused(), &Save);
}

TEST(CommonButton, DefaultSizeFollowsTheCaptionWithoutItsMarker) {
    TCommonButton Button;
    int32_t W = 0, H = 0;
    ASSERT_TRUE(Button.GetDefaultSize(W, H));
    EXPECT_EQ(W, 25);
    EXPECT_EQ(H, 25);
    TTextInfo Info;
    MeasureText("Cancel", SkinColors().MessageFont, TTextMode::Plain, Info);
    ASSERT_GT(Info.Width, 0);
    Button.SetCaption("&Cancel");
    ASSERT_TRUE(Button.GetDefaultSize(W, H));
    EXPECT_EQ(W, Info.Width + 32);
    EXPECT_EQ(H, Info.TotalHeight + 12);

    TCommonCheckBox Box;
    ASSERT_TRUE(Box.GetDefaultSize(W, H));
    EXPECT_EQ(W, 20);
    EXPECT_EQ(H, 16);
    Box.SetCaption("&Cancel");
    ASSERT_TRUE(Box.GetDefaultSize(W, H));
    EXPECT_EQ(W, Info.Width + 22);
    EXPECT_EQ(H, std::max(Info.TotalHeight, 16));
}

// ---- looks

TEST(CommonButton, RestHotPushedAndFocusedLooksDiffer) {
    TFixture F;
    auto& Button = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "Go");
    auto& Other = F.Add<TCommonButton>(TRect::FromSize(100, 10, 80, 25), "Other");
    F.Open();
    Other.SetFocus();
    RunScript(F.System);
    uint32_t Face = Filled(SkinColors().FaceColor);
    // A face pixel away from the caption and the edges.
    const int32_t X = 6, Y = 12;
    uint32_t Rest = F.Pixel(Button, X, Y);
    EXPECT_EQ(Rest, Face);
    F.System.ScriptMouseMove(F.At(Button, 40, 12));
    RunScript(F.System);
    uint32_t Hot = F.Pixel(Button, X, Y);
    EXPECT_GT(Brightness(Hot), Brightness(Rest));
    F.System.ScriptMouseDown(F.At(Button, 40, 12));
    RunScript(F.System);
    uint32_t Pushed = F.Pixel(Button, X, Y);
    EXPECT_LT(Brightness(Pushed), Brightness(Rest));
    F.System.ScriptMouseUp(F.At(Button, 40, 12));
    F.System.ScriptMouseMove({50, 50}); // off the window
    RunScript(F.System);
    EXPECT_EQ(F.Pixel(Button, X, Y), Rest);
    // A click gives a button the focus.
    EXPECT_TRUE(Button.HasFocus());
    Other.SetFocus();
    RunScript(F.System);

    // The focused button wears the dark default frame; the other does not.
    uint32_t Frame = Filled(AlphaColor(SkinColors().TextColor, 255));
    EXPECT_EQ(F.Pixel(Other, 0, 12), Frame);
    EXPECT_NE(F.Pixel(Button, 0, 12), Frame);
    Button.SetFocus();
    RunScript(F.System);
    EXPECT_EQ(F.Pixel(Button, 0, 12), Frame);
    EXPECT_NE(F.Pixel(Other, 0, 12), Frame);
}

TEST(CommonButton, TheAcceleratorLetterIsUnderlinedOnOneRow) {
    TFixture F;
    auto& Marked = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "&Open");
    auto& Plain = F.Add<TCommonButton>(TRect::FromSize(100, 10, 80, 25), "Open");
    F.Open();
    std::vector<uint32_t> A = F.Pixels(Marked), B = F.Pixels(Plain);
    ASSERT_EQ(A.size(), B.size());
    std::vector<int32_t> Rows;
    int32_t Left = 1000, Right = -1;
    for (size_t I = 0; I < A.size(); ++I)
        if (A[I] != B[I]) {
            auto Row = int32_t(I) / Marked.Width(), Column = int32_t(I) % Marked.Width();
            if (Rows.empty() || Rows.back() != Row)
                Rows.push_back(Row);
            Left = std::min(Left, Column);
            Right = std::max(Right, Column);
        }
    ASSERT_EQ(Rows.size(), 1u);
    // Under the first letter only: the underline is no wider than an "O"
    // and starts where the caption starts.
    TTextInfo Info;
    MeasureText("Open", SkinColors().MessageFont, TTextMode::Plain, Info);
    int32_t TextLeft = (Marked.Width() - Info.Width) / 2;
    EXPECT_EQ(Left, TextLeft + Info.Positions[0].X);
    EXPECT_LE(Right, TextLeft + Info.Positions[1].X);
}

TEST(CommonButton, DisabledButtonsGreyTheirCaptionAndIgnoreInput) {
    TFixture F;
    auto& Enabled = F.Add<TCommonButton>(TRect::FromSize(10, 10, 80, 25), "HIM");
    auto& Disabled = F.Add<TCommonButton>(TRect::FromSize(100, 10, 80, 25), "HIM");
    Disabled.SetEnabled(false);
    int32_t Clicks = 0;
    Disabled.OnClick = [&] { ++Clicks; };
    F.Open();
    // Grey text blended onto the face is never darker than the grey itself;
    // the enabled caption is.
    int32_t Grey = Brightness(Filled(AlphaColor(SkinColors().DisabledTextColor, 255)));
    EXPECT_LT(F.DarkestInside(Enabled), Grey);
    EXPECT_GE(F.DarkestInside(Disabled), Grey);
    EXPECT_LT(F.DarkestInside(Disabled), Brightness(Filled(SkinColors().FaceColor)));
    F.System.ScriptClick(F.At(Disabled, 20, 10));
    F.System.ScriptKey('H', ShortCutAlt);
    RunScript(F.System);
    EXPECT_EQ(Clicks, 0);
    EXPECT_FALSE(Disabled.SetFocus());
}

// ---- check boxes

TEST(CommonCheckBox, ClickAndSpaceToggleAndTheTickIsDrawnOnlyWhenChecked) {
    TFixture F;
    auto& Box = F.Add<TCommonCheckBox>(TRect::FromSize(10, 10, 120, 17), "&Loop");
    std::vector<bool> Seen;
    Box.OnClick = [&] { Seen.push_back(Box.Checked()); };
    F.Open();
    auto TickPixels = [&] {
        TRect R = Box.BoxRect();
        uint32_t Ink = Filled(AlphaColor(SkinColors().TextColor, 255));
        int32_t Count = 0;
        for (int32_t Y = R.Top + 1; Y < R.Bottom - 1; ++Y)
            for (int32_t X = R.Left + 1; X < R.Right - 1; ++X)
                Count += F.Pixel(Box, X, Y) == Ink;
        return Count;
    };
    EXPECT_EQ(TickPixels(), 0);
    EXPECT_EQ(F.Pixel(Box, 6, 8), Filled(AlphaColor(SystemColors().Window, 255)));
    F.System.ScriptClick(F.At(Box, 60, 8)); // on the caption
    F.System.ScriptMouseMove({50, 50});
    RunScript(F.System);
    EXPECT_TRUE(Box.Checked());
    EXPECT_GE(TickPixels(), 8);
    Box.SetFocus();
    F.System.ScriptKey(KeySpace);
    RunScript(F.System);
    EXPECT_FALSE(Box.Checked());
    EXPECT_EQ(TickPixels(), 0);
    F.System.ScriptKey('L', ShortCutAlt);
    RunScript(F.System);
    EXPECT_EQ(Seen, (std::vector<bool>{true, false, true}));
}

TEST(CommonCheckBox, HoverLightsTheSquareAndDisabledUsesTheFace) {
    TFixture F;
    auto& Box = F.Add<TCommonCheckBox>(TRect::FromSize(10, 10, 120, 17), "Loop");
    F.Open();
    TRect R = Box.BoxRect();
    TPoint Inside{R.Left + 2, R.Top + 2};
    uint32_t Window = Filled(AlphaColor(SystemColors().Window, 255));
    EXPECT_EQ(F.Pixel(Box, Inside.X, Inside.Y), Window);
    F.System.ScriptMouseMove(F.At(Box, 40, 8));
    RunScript(F.System);
    EXPECT_NE(F.Pixel(Box, Inside.X, Inside.Y), Window);
    EXPECT_EQ(F.Pixel(Box, R.Left, R.Top + 5), Filled(AlphaColor(SystemColors().Highlight, 255)));
    Box.SetEnabled(false);
    RunScript(F.System);
    EXPECT_EQ(F.Pixel(Box, Inside.X, Inside.Y), Filled(SkinColors().FaceColor));
}

// ---- command buttons

TEST(CommandButton, FollowsItsCommandAndExecutesIt) {
    TCommandList List;
    TRecorder Recorder;
    std::vector<TObject*>& Senders = Recorder.Senders;
    TCommand* Command = MakeCommand(List, Recorder);
    TFixture F;
    auto& Button = F.Add<TCommandButton>(TRect::FromSize(10, 10, 80, 25));
    Button.SetCommand(Command);
    F.Open();
    EXPECT_EQ(Button.Caption(), "&Run");
    EXPECT_EQ(Button.Hint(), "Runs it");
    Command->SetCaption("&Walk");
    Command->SetHint("Walks");
    Command->SetChecked(true);
    EXPECT_EQ(Button.Caption(), "&Walk");
    EXPECT_EQ(Button.Hint(), "Walks");
    EXPECT_TRUE(Button.Checked());

    F.System.ScriptClick(F.At(Button, 20, 10));
    F.System.ScriptKey('W', ShortCutAlt);
    RunScript(F.System);
    EXPECT_EQ(Senders, (std::vector<TObject*>{&Button, &Button}));

    // Turned off, then disabled: greyed, and clicks do nothing.
    Command->TurnOff();
    EXPECT_FALSE(Button.IsEnabled());
    Command->TurnOn();
    EXPECT_TRUE(Button.IsEnabled());
    Command->SetEnabled(false);
    EXPECT_FALSE(Button.IsEnabled());
    RunScript(F.System);
    EXPECT_GE(F.DarkestInside(Button), Brightness(Filled(AlphaColor(SkinColors().DisabledTextColor, 255))));
    F.System.ScriptClick(F.At(Button, 20, 10));
    RunScript(F.System);
    EXPECT_EQ(Senders.size(), 2u);

    // In design mode it looks enabled whatever the command says, and a
    // click goes to the designer, not to the command.
    Button.BeginDesign({});
    EXPECT_TRUE(Button.IsEnabled());
    Button.EndDesign();
    EXPECT_FALSE(Button.IsEnabled());
}

TEST(CommandButton, LetsGoOfAFreedCommand) {
    TCommandList List;
    TRecorder Recorder;
    std::vector<TObject*>& Senders = Recorder.Senders;
    TCommand* Command = MakeCommand(List, Recorder);
    TCommandButton Button;
    Button.SetCommand(Command);
    EXPECT_TRUE(Button.IsEnabled());
    Command->Free();
    EXPECT_EQ(Button.Command(), nullptr);
    EXPECT_FALSE(Button.IsEnabled());
    EXPECT_EQ(Button.Caption(), "");
    Button.Click(); // nothing to execute, nothing dangling
    EXPECT_TRUE(Senders.empty());
}

TEST(CommandButton, AButtonDestroyedByItsOwnCommandLeavesCleanly) {
    TCommandList List;
    TFixture F;
    auto* Button = &F.Add<TCommandButton>(TRect::FromSize(10, 10, 80, 25));
    struct TDestroyer {
        TWidget* Root;
        TCommandButton** Button;
        int32_t Runs = 0;
        void Execute(TCommand*, TObject*) {
            ++Runs;
            Root->RemoveChild(**Button).reset();
            *Button = nullptr;
        }
    } Destroyer{&F.Root, &Button};
    auto* Command = new TCommand(List, nullptr, "Test|Close", "&Close", "", "", {},
                                 MakeDelegate<&TDestroyer::Execute>(&Destroyer));
    Button->SetCommand(Command);
    F.Open();
    Button->SetFocus();
    F.System.ScriptKey(KeySpace);
    F.System.ScriptKey(KeyTab);
    RunScript(F.System);
    EXPECT_EQ(Destroyer.Runs, 1);
    EXPECT_EQ(Button, nullptr);
    EXPECT_EQ(F.Window->Focused(), nullptr);
    Command->SetCaption("Still listening?"); // the gone button no longer listens
}

// ---- destruction from inside a click

struct TSelfDestroyCase {
    const char* Name;
    int Input; // 0 mouse, 1 Space, 2 Enter, 3 accelerator
};

class CommonControlSelfDestroy : public ::testing::TestWithParam<TSelfDestroyCase> {};

TEST_P(CommonControlSelfDestroy, AControlDestroyedByItsClickHandlerLeavesNoPointerBehind) {
    TFixture F;
    auto& Keep = F.Add<TCommonCheckBox>(TRect::FromSize(100, 10, 80, 17), "Keep");
    auto& Box = F.Add<TCommonCheckBox>(TRect::FromSize(10, 10, 80, 17), "&Gone");
    int32_t Clicks = 0;
    Box.OnClick = [&] {
        ++Clicks;
        F.Root.RemoveChild(Box).reset();
    };
    F.Open();
    Box.SetFocus();
    switch (GetParam().Input) {
    case 0:
        F.System.ScriptClick(F.At(Box, 20, 8));
        break;
    case 1:
        F.System.ScriptKey(KeySpace);
        break;
    case 2:
        F.System.ScriptKey(KeyEnter);
        break;
    default:
        Keep.SetFocus();
        F.System.ScriptKey('G', ShortCutAlt);
        break;
    }
    F.System.ScriptMouseMove(F.At(Keep, 5, 5));
    F.System.ScriptAdvance(300ms);
    F.System.ScriptKey(KeyTab);
    RunScript(F.System);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(F.Root.Children().size(), 1u);
    EXPECT_EQ(MouseHandler().Pressed(), nullptr);
    EXPECT_EQ(MouseHandler().Hot(), &Keep);
    EXPECT_EQ(F.Window->Capture(), nullptr);
    EXPECT_EQ(F.Window->Focused(), &Keep);
}

INSTANTIATE_TEST_SUITE_P(Widget, CommonControlSelfDestroy,
                         ::testing::Values(TSelfDestroyCase{"Mouse", 0}, TSelfDestroyCase{"Space", 1},
                                           TSelfDestroyCase{"Enter", 2},
                                           TSelfDestroyCase{"Accelerator", 3}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---- dialog buttons

struct TDialogCase {
    const char* Name;
    int Input; // 0 click Cancel, 1 Enter on the text field, 2 Escape, 3 Alt+N, 4 Enter on Cancel
    bool Result;
    TModalResult Modal;
};

class DialogButtonResult : public ::testing::TestWithParam<TDialogCase> {};

TEST_P(DialogButtonResult, SetsThePopupsModalResult) {
    TFixture F;
    F.Open();
    TPopupWidget Dialog;
    Dialog.SetBounds(TRect::FromSize(0, 0, 200, 60));
    auto& Field = Dialog.Add<TWidget>(); // something focusable that is not a button
    Field.SetBounds(TRect::FromSize(4, 4, 60, 20));
    Field.SetTabStop(true);
    auto& Ok = Dialog.Add<TDialogButton>();
    Ok.SetBounds(TRect::FromSize(4, 30, 60, 24));
    Ok.SetCaption("OK");
    Ok.SetValue(TModalResult::Ok);
    Ok.SetDefault(true);
    auto& Cancel = Dialog.Add<TDialogButton>();
    Cancel.SetBounds(TRect::FromSize(70, 30, 60, 24));
    Cancel.SetCaption("Cancel");
    Cancel.SetValue(TModalResult::Cancel);
    auto& No = Dialog.Add<TDialogButton>();
    No.SetBounds(TRect::FromSize(136, 30, 60, 24));
    No.SetCaption("&No");
    No.SetValue(TModalResult::No);
    std::vector<std::string> Clicked;
    for (TDialogButton* B : {&Ok, &Cancel, &No})
        B->OnClick = [&Clicked, B] { Clicked.push_back(B->Caption()); };
    bool OkFramedAtRest = false, OkFramedWhileCancelFocused = true;
    F.System.ScriptStep([&] {
        Field.SetFocus();
        OkFramedAtRest = Ok.ShowsDefaultFrame();
    });
    switch (GetParam().Input) {
    case 0:
        // The pop-up's client area starts inside its border of 2.
        F.System.ScriptClick({300 + 2 + 70 + 10, 300 + 2 + 30 + 10});
        break;
    case 1:
        F.System.ScriptKey(KeyEnter);
        break;
    case 2:
        F.System.ScriptKey(KeyEscape);
        break;
    case 3:
        F.System.ScriptKey('N', ShortCutAlt);
        break;
    default:
        F.System.ScriptStep([&] {
            Cancel.SetFocus();
            OkFramedWhileCancelFocused = Ok.ShowsDefaultFrame();
        });
        F.System.ScriptKey(KeyEnter);
        break;
    }
    bool Result = Dialog.Popup(F.System, 300, 300, nullptr);
    EXPECT_EQ(Result, GetParam().Result);
    EXPECT_EQ(Dialog.ModalResult(), GetParam().Modal);
    EXPECT_TRUE(OkFramedAtRest);
    EXPECT_FALSE(GetParam().Input == 4 && OkFramedWhileCancelFocused);
    std::vector<std::string> Expected;
    if (GetParam().Input == 0 || GetParam().Input == 4)
        Expected = {"Cancel"};
    else if (GetParam().Input == 1)
        Expected = {"OK"};
    else if (GetParam().Input == 3)
        Expected = {"&No"};
    EXPECT_EQ(Clicked, Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Widget, DialogButtonResult,
    ::testing::Values(TDialogCase{"ClickCancel", 0, false, TModalResult::Cancel},
                      TDialogCase{"EnterClicksTheDefault", 1, true, TModalResult::Ok},
                      TDialogCase{"Escape", 2, false, TModalResult::Cancel},
                      TDialogCase{"Accelerator", 3, true, TModalResult::No},
                      TDialogCase{"EnterOnAFocusedButton", 4, false, TModalResult::Cancel}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- factories

TEST(CommonControlFactories, MakeTheirKindsAndPrepareThem) {
    TFactoryList Factories;
    TCommandList Commands;
    TRecorder Recorder;
    std::vector<TObject*>& Senders = Recorder.Senders;
    TCommand* Command = MakeCommand(Commands, Recorder);
    auto* Controls = new TCommonControlFactory(Factories, nullptr, "Control", "Test|Control");
    auto* Buttons = new TCommonButtonFactory(Factories, nullptr, "Button", "Test|Button");
    auto* Boxes = new TCommonCheckBoxFactory(Factories, nullptr, "Box", "Test|Box");
    auto* Bound = new TCommandButtonFactory(Factories, nullptr, "Run", "Test|Run", Command);
    auto* Dialogs = new TDialogButtonFactory(Factories, nullptr, "OK", "Test|OK",
                                             {"&OK", "Accepts", TModalResult::Ok, true});
    int32_t Executed = 0;
    auto* Flat = new TFlatGadgetFactory(Factories, nullptr, "Flat", "Test|Flat", {},
                                        [&] { ++Executed; });
    EXPECT_EQ(Controls->ControlClass(), &TCommonControl::Class);
    EXPECT_NE(dynamic_cast<TCommonButton*>(Buttons->CreateControl().get()), nullptr);
    EXPECT_NE(dynamic_cast<TCommonCheckBox*>(Boxes->CreateControl().get()), nullptr);

    std::unique_ptr<TControl> Made = Bound->CreateControl();
    auto* Button = dynamic_cast<TCommandButton*>(Made.get());
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->Command(), Command);
    EXPECT_EQ(Button->Caption(), "&Run");
    Button->Click();
    EXPECT_EQ(Senders, (std::vector<TObject*>{Button}));

    Made = Dialogs->CreateControl();
    auto* Dialog = dynamic_cast<TDialogButton*>(Made.get());
    ASSERT_NE(Dialog, nullptr);
    EXPECT_EQ(Dialog->Caption(), "&OK");
    EXPECT_EQ(Dialog->Hint(), "Accepts");
    EXPECT_EQ(Dialog->Value(), TModalResult::Ok);
    EXPECT_TRUE(Dialog->IsDefault());

    Made = Flat->CreateControl();
    auto* Gadget = dynamic_cast<TFlatGadget*>(Made.get());
    ASSERT_NE(Gadget, nullptr);
    Gadget->Execute();
    EXPECT_EQ(Executed, 1);
    // A narrower class than the factory's own cannot be refused later on.
    EXPECT_TRUE(TDialogButton::Class.InheritsFrom(TCommonControl::Class));
}

TEST(FlatGadget, RepaintsOnHoverOnlyWhileEnabled) {
    TFixture F;
    auto& Gadget = F.Root.Add<TFlatGadget>();
    Gadget.SetBounds(TRect::FromSize(10, 10, 40, 20));
    F.Open();
    RunScript(F.System);
    uint32_t Rest = F.Pixel(Gadget, 20, 10);
    F.System.ScriptMouseMove(F.At(Gadget, 20, 10));
    RunScript(F.System);
    EXPECT_NE(F.Pixel(Gadget, 20, 10), Rest);
    F.System.ScriptMouseMove({50, 50});
    RunScript(F.System);
    EXPECT_EQ(F.Pixel(Gadget, 20, 10), Rest);
    Gadget.SetEnabled(false);
    RunScript(F.System);
    int32_t Presents = F.System.PresentCount(F.Window->Native());
    F.System.ScriptMouseMove(F.At(Gadget, 20, 10));
    F.System.ScriptMouseMove({50, 50});
    RunScript(F.System);
    EXPECT_EQ(F.System.PresentCount(F.Window->Native()), Presents);
}
