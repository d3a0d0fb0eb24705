#include "commands/factory_list.h"
#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/controls/memo_control.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

using namespace std::chrono_literals;

namespace {

struct TEditFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;

    TEditControl& AddEdit(TRect Bounds) {
        auto& Edit = Root.Add<TEditControl>();
        Edit.SetBounds(Bounds);
        return Edit;
    }
    void Open() {
        Window = std::make_unique<TWidgetWindow>(
            System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Edits", .Bounds = TRect::FromSize(100, 100, 300, 200)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
    // A point of W's client area on the desktop.
    TPoint Screen(const TWidget& W, TPoint Client) const {
        TPoint Origin = W.WindowClientOrigin();
        return {100 + Origin.X + Client.X, 100 + Origin.Y + Client.Y};
    }
    uint32_t Pixel(const TWidget& W, TPoint Client) const {
        TPoint Origin = W.WindowClientOrigin();
        return PresentedAt(System, *Window, Origin.X + Client.X, Origin.Y + Client.Y);
    }
};

// A 4-byte, a 3-byte and a 2-byte character.
const std::string Grin = "\xF0\x9F\x98\x80";
const std::string Euro = "\xE2\x82\xAC";
const std::string EAcute = "\xC3\xA9";

bool OnBoundary(const std::string& Text, size_t Offset) {
    return Offset == Text.size() || (Offset < Text.size() && (static_cast<unsigned char>(Text[Offset]) & 0xC0) != 0x80);
}

} // namespace

// ---- typing UTF-8

TEST(EditControlTyping, MultiByteCharactersAreTypedMovedOverAndDeletedWhole) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 200, 22));
    F.Open();
    ASSERT_TRUE(Edit.SetFocus());
    F.System.ScriptText("a" + EAcute + Euro);
    F.System.ScriptText(Grin + "b");
    F.System.ScriptKey(KeyLeft);
    F.System.ScriptKey(KeyBackspace); // the grin, four bytes
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), "a" + EAcute + Euro + "b");
    EXPECT_EQ(Edit.Editor().Caret(), 6u);

    F.System.ScriptKey(KeyLeft);
    F.System.ScriptKey(KeyLeft, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Edit.SelectedText(), EAcute);
    F.System.ScriptKey(KeyRight, ShortCutShift);
    F.System.ScriptKey(KeyRight, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Edit.SelectedText(), Euro);
    F.System.ScriptKey(KeyDelete);
    F.System.ScriptKey(KeyHome);
    F.System.ScriptKey(KeyDelete);
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), EAcute + "b");
    for (size_t Offset : {Edit.Editor().Caret(), Edit.Editor().Anchor()})
        EXPECT_TRUE(OnBoundary(Edit.Text(), Offset));
}

TEST(EditControlTyping, CtrlArrowsJumpByWordsAndEndsGoToTheEnds) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 200, 22));
    Edit.SetText("hello w" + std::string("\xC3\xB6") + "rld again");
    F.Open();
    Edit.SetFocus();
    Edit.SetSelection(0, 0);
    std::vector<size_t> Stops;
    for (int I = 0; I < 3; ++I) {
        F.System.ScriptKey(KeyRight, ShortCutCtrl);
        F.System.ScriptStep([&] { Stops.push_back(Edit.Editor().Caret()); });
    }
    F.System.ScriptKey(KeyLeft, ShortCutCtrl | ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Stops, (std::vector<size_t>{6, 13, 18}));
    EXPECT_EQ(Edit.SelectedText(), "again");
    F.System.ScriptKey(KeyHome, ShortCutShift);
    RunScript(F.System);
    // The anchor stays at the end the selection started from.
    EXPECT_EQ(Edit.SelectionStart(), 0u);
    EXPECT_EQ(Edit.SelectionLength(), 18u);
    EXPECT_EQ(Edit.Editor().Caret(), 0u);
}

TEST(EditControlTyping, MaxLengthAndReadOnlyLimitTyping) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 200, 22));
    Edit.SetMaxLength(3);
    int32_t Changes = 0;
    Edit.OnChange = [&] { ++Changes; };
    F.Open();
    Edit.SetFocus();
    F.System.ScriptText("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86"); // four CJK characters
    F.System.ScriptText("x");
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
    EXPECT_EQ(Changes, 1);

    Edit.SetReadOnly(true);
    F.System.ScriptKey(KeyBackspace);
    F.System.ScriptText("y");
    F.System.ScriptKey('A', ShortCutCtrl);
    F.System.ScriptKey('C', ShortCutCtrl);
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
    EXPECT_EQ(F.System.ClipboardText(), Edit.Text());
    EXPECT_EQ(Changes, 1);
}

// ---- selection and the clipboard

TEST(EditControlClipboard, CopyCutAndPasteGoThroughTheWindowSystem) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 200, 22));
    Edit.SetText("copy this");
    F.Open();
    Edit.SetFocus();
    F.System.ScriptKey(KeyHome);
    F.System.ScriptKey(KeyRight, ShortCutCtrl | ShortCutShift);
    F.System.ScriptKey('C', ShortCutCtrl);
    F.System.ScriptKey(KeyEnd);
    F.System.ScriptKey('V', ShortCutCtrl);
    RunScript(F.System);
    EXPECT_EQ(F.System.ClipboardText(), "copy ");
    EXPECT_EQ(Edit.Text(), "copy thiscopy ");

    F.System.ScriptKey('A', ShortCutCtrl);
    F.System.ScriptKey('X', ShortCutCtrl);
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), "");
    EXPECT_EQ(F.System.ClipboardText(), "copy thiscopy ");

    // A single line takes the first line of what is pasted.
    F.System.SetClipboardText("first " + Grin + "\r\nsecond");
    F.System.ScriptKey(KeyInsert, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Edit.Text(), "first " + Grin);
    F.System.ScriptKey(KeyLeft, ShortCutShift);
    F.System.ScriptKey(KeyDelete, ShortCutShift); // cut
    RunScript(F.System);
    EXPECT_EQ(F.System.ClipboardText(), Grin);
    EXPECT_EQ(Edit.Text(), "first ");
}

TEST(EditControlMouse, ClickPlacesTheCaretDragSelectsAndDoubleClickTakesAWord) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 250, 22));
    Edit.SetText("alpha beta gamma");
    F.Open();
    int32_t Middle = Edit.ClientRect().Height() / 2;
    int32_t Right = Edit.ClientRect().Width() - 2;
    F.System.ScriptClick(F.Screen(Edit, {Right, Middle}));
    RunScript(F.System);
    EXPECT_TRUE(Edit.HasFocus());
    // The mouse gave the focus: no select-all, the caret is where it went.
    EXPECT_EQ(Edit.SelectionLength(), 0u);
    EXPECT_EQ(Edit.Editor().Caret(), Edit.Text().size());

    TTextInfo Whole;
    MeasureText(Edit.Text(), Edit.Font(), TTextMode::Plain, Whole);
    F.System.ScriptMouseDown(F.Screen(Edit, {0, Middle}));
    F.System.ScriptMouseMove(F.Screen(Edit, {TTextEditWidget::TextInsetX + Whole.Width / 2, Middle}));
    F.System.ScriptStep([&] {
        EXPECT_GT(Edit.SelectionLength(), 0u);
        EXPECT_LT(Edit.SelectionLength(), Edit.Text().size());
    });
    F.System.ScriptMouseMove(F.Screen(Edit, {Right + 40, Middle})); // past the edge
    F.System.ScriptMouseUp(F.Screen(Edit, {Right + 40, Middle}));
    RunScript(F.System);
    EXPECT_EQ(Edit.SelectedText(), "alpha beta gamma");

    TTextInfo Info;
    MeasureText("alpha be", Edit.Font(), TTextMode::Plain, Info);
    TPoint InBeta{TTextEditWidget::TextInsetX + Info.Width, Middle};
    F.System.ScriptMouseDown(F.Screen(Edit, InBeta));
    F.System.ScriptMouseUp(F.Screen(Edit, InBeta));
    F.System.ScriptMouseDown(F.Screen(Edit, InBeta), TMouseButton::Left, 2);
    F.System.ScriptMouseUp(F.Screen(Edit, InBeta));
    RunScript(F.System);
    EXPECT_EQ(Edit.SelectedText(), "beta");
}

TEST(EditControlPaint, SelectionAndTypedTextShowInThePixels) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 200, 22));
    F.Open();
    Edit.SetFocus();
    F.System.ScriptText("    ");
    F.System.ScriptKey('A', ShortCutCtrl);
    RunScript(F.System);
    TPoint Caret = Edit.CaretPoint();
    // Blanks draw no ink: their selection is the highlight colour alone.
    EXPECT_EQ(F.Pixel(Edit, {TTextEditWidget::TextInsetX + 1, Caret.Y + 2}),
              Filled(AlphaColor(SystemColors().Highlight, 255)));
    F.System.ScriptKey(KeyEnd);
    RunScript(F.System);
    EXPECT_EQ(F.Pixel(Edit, {TTextEditWidget::TextInsetX + 1, Caret.Y + 2}),
              Filled(AlphaColor(SystemColors().Window, 255)));

    auto Row = [&] {
        std::vector<uint32_t> Pixels;
        for (int32_t X = 0; X < Edit.ClientRect().Width(); ++X)
            for (int32_t Y = 0; Y < Edit.ClientRect().Height(); ++Y)
                Pixels.push_back(F.Pixel(Edit, {X, Y}));
        return Pixels;
    };
    auto Before = Row();
    F.System.ScriptText("W");
    RunScript(F.System);
    EXPECT_NE(Row(), Before);
}

// ---- focus, caret and scrolling

TEST(EditControlFocus, TabSelectsAllRunsTheHandlersAndTheCaretBlinksOnlyWhileFocused) {
    TEditFixture F;
    auto& First = F.AddEdit(TRect::FromSize(10, 10, 120, 22));
    auto& Second = F.AddEdit(TRect::FromSize(10, 40, 120, 22));
    Second.SetText("whole");
    std::vector<std::string> Log;
    First.OnEnter = [&] { Log.push_back("enter 1"); };
    First.OnExit = [&] { Log.push_back("exit 1"); };
    Second.OnEnter = [&] { Log.push_back("enter 2"); };
    Second.OnExit = [&] { Log.push_back("exit 2"); };
    F.Open();
    First.SetFocus();
    F.System.ScriptKey(KeyTab);
    RunScript(F.System);
    EXPECT_EQ(Log, (std::vector<std::string>{"enter 1", "exit 1", "enter 2"}));
    EXPECT_EQ(Second.SelectedText(), "whole");
    EXPECT_FALSE(First.IsCaretShown());

    // The caret of an empty box blinks at the text's start.
    Second.SetText("");
    F.System.ProcessEvents();
    TPoint Caret = Second.CaretPoint();
    TPoint Probe{Caret.X, Caret.Y + Second.LineHeight() / 2};
    uint32_t Ink = Filled(AlphaColor(SystemColors().WindowText, 255));
    uint32_t Paper = Filled(AlphaColor(SystemColors().Window, 255));
    EXPECT_TRUE(Second.IsCaretShown());
    EXPECT_EQ(F.Pixel(Second, Probe), Ink);
    F.System.AdvanceClock(TTextEditWidget::CaretBlink);
    F.System.ProcessEvents();
    EXPECT_FALSE(Second.IsCaretShown());
    EXPECT_EQ(F.Pixel(Second, Probe), Paper);
    F.System.AdvanceClock(TTextEditWidget::CaretBlink);
    F.System.ProcessEvents();
    EXPECT_EQ(F.Pixel(Second, Probe), Ink);

    F.System.ScriptKey(KeyTab, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Log.back(), "enter 1");
    for (int I = 0; I < 3; ++I) {
        F.System.AdvanceClock(TTextEditWidget::CaretBlink);
        F.System.ProcessEvents();
        EXPECT_EQ(F.Pixel(Second, Probe), Paper);
    }
}

TEST(EditControlScroll, LongTextScrollsToKeepTheCaretInsideTheBox) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 60, 22));
    F.Open();
    Edit.SetFocus();
    std::string Long;
    for (int I = 0; I < 10; ++I)
        Long += "word" + EAcute + " ";
    F.System.ScriptText(Long);
    RunScript(F.System);
    int32_t AreaRight = Edit.ClientRect().Width() - TTextEditWidget::TextInsetX;
    EXPECT_GT(Edit.ScrollX(), 0);
    EXPECT_GE(Edit.CaretPoint().X, TTextEditWidget::TextInsetX);
    EXPECT_LT(Edit.CaretPoint().X, AreaRight);
    F.System.ScriptKey(KeyHome);
    RunScript(F.System);
    EXPECT_EQ(Edit.ScrollX(), 0);
    EXPECT_EQ(Edit.CaretPoint().X, TTextEditWidget::TextInsetX);
    for (int I = 0; I < 25; ++I) {
        F.System.ScriptKey(KeyRight);
        F.System.ScriptStep([&] {
            EXPECT_GE(Edit.CaretPoint().X, TTextEditWidget::TextInsetX);
            EXPECT_LT(Edit.CaretPoint().X, AreaRight);
        });
    }
    RunScript(F.System);
    // Deleting the text scrolls it back.
    F.System.ScriptKey('A', ShortCutCtrl);
    F.System.ScriptKey(KeyDelete);
    RunScript(F.System);
    EXPECT_EQ(Edit.ScrollX(), 0);
}

TEST(LocalEdit, CentresTheTextAndHidingItWhileFocusedMovesTheFocusOn) {
    TEditFixture F;
    auto& Panel = F.Root.Add<TWidget>();
    Panel.SetBounds(TRect::FromSize(0, 0, 300, 200));
    auto& Other = Panel.Add<TEditControl>();
    Other.SetBounds(TRect::FromSize(10, 60, 100, 22));
    auto& Local = Panel.Add<TLocalEdit>();
    Local.SetBounds(TRect::FromSize(10, 10, 100, 22));
    int32_t Exits = 0;
    Local.OnExit = [&] { ++Exits; };
    F.Open();
    Local.SetFocus();
    int32_t Centre = Local.ClientRect().Width() / 2;
    EXPECT_NEAR(Local.CaretPoint().X, Centre, 1);
    Local.SetText("ab");
    EXPECT_LT(Local.CaretPoint().X, Centre); // the caret at the start of centred text

    Local.SetVisible(false);
    EXPECT_EQ(F.Window->Focused(), &Other);
    EXPECT_EQ(Exits, 1);

    // A plain edit box hidden while focused leaves no focus.
    Other.SetVisible(false);
    EXPECT_EQ(F.Window->Focused(), nullptr);
}

// ---- controls destroyed by their own handlers

TEST(EditControlLifetime, ABoxDestroyedByItsOwnExitOrChangeHandlerLeavesNothingBehind) {
    TEditFixture F;
    auto* First = &F.AddEdit(TRect::FromSize(10, 10, 120, 22));
    auto& Second = F.AddEdit(TRect::FromSize(10, 40, 120, 22));
    First->OnExit = [&] { F.Root.RemoveChild(*First); };
    F.Open();
    First->SetFocus();
    F.System.ScriptKey(KeyTab);
    F.System.ScriptText("still works");
    F.System.ScriptAdvance(2 * TTextEditWidget::CaretBlink);
    RunScript(F.System);
    EXPECT_EQ(F.Root.Children().size(), 1u);
    EXPECT_EQ(F.Window->Focused(), &Second);
    EXPECT_EQ(Second.Text(), "still works");

    Second.OnChange = [&] { F.Root.RemoveChild(Second); };
    F.System.ScriptText("x");
    F.System.ScriptText("y");
    F.System.ScriptKey(KeyBackspace);
    F.System.ScriptAdvance(2 * TTextEditWidget::CaretBlink);
    RunScript(F.System);
    EXPECT_TRUE(F.Root.Children().empty());
    EXPECT_EQ(F.Window->Focused(), nullptr);
}

// ---- the memo

TEST(MemoControl, EnterBreaksLinesAndUpDownKeepTheColumn) {
    TEditFixture F;
    auto& Memo = F.Root.Add<TMemoControl>();
    Memo.SetBounds(TRect::FromSize(10, 10, 200, 100));
    F.Open();
    Memo.SetFocus();
    F.System.ScriptText("abcdef");
    F.System.ScriptKey(KeyEnter);
    F.System.ScriptText("x");
    F.System.ScriptKey(KeyEnter);
    F.System.ScriptText("abc" + Grin + "ef");
    RunScript(F.System);
    EXPECT_EQ(Memo.Text(), "abcdef\nx\nabc" + Grin + "ef");
    EXPECT_FALSE(Memo.HasFocus() && Memo.SelectionLength() > 0);

    // From the end of the third line, up to the short line's end, up again
    // to the same column as before.
    F.System.ScriptKey(KeyLeft);
    F.System.ScriptKey(KeyLeft);
    size_t Column = 0;
    F.System.ScriptStep([&] { Column = Memo.Editor().Caret() - Memo.Editor().LineStart(Memo.Editor().Caret()); });
    F.System.ScriptKey(KeyUp);
    F.System.ScriptStep([&] { EXPECT_EQ(Memo.Editor().Caret(), 8u); });
    F.System.ScriptKey(KeyUp);
    RunScript(F.System);
    EXPECT_EQ(Column, 7u); // after the grin
    EXPECT_EQ(Memo.Editor().LineOf(Memo.Editor().Caret()), 0);
    // "abcdef" is narrower per character than the grin's column, so the caret
    // lands at or near the same x: within the first line, past "abc".
    EXPECT_GE(Memo.Editor().Caret(), 3u);
    F.System.ScriptKey(KeyDown, ShortCutShift);
    F.System.ScriptKey(KeyDown, ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Memo.Editor().LineOf(Memo.Editor().Caret()), 2);
    EXPECT_EQ(Memo.Editor().Caret(), 9 + Column);
    EXPECT_TRUE(OnBoundary(Memo.Text(), Memo.Editor().Caret()));

    F.System.ScriptKey(KeyHome, ShortCutCtrl);
    F.System.ScriptKey(KeyEnd, ShortCutCtrl | ShortCutShift);
    RunScript(F.System);
    EXPECT_EQ(Memo.SelectedText(), Memo.Text());
}

TEST(MemoControl, ScrollsVerticallyToKeepTheCaretAndTheWheelScrolls) {
    TEditFixture F;
    auto& Memo = F.Root.Add<TMemoControl>();
    Memo.SetBounds(TRect::FromSize(10, 10, 150, 60));
    F.Open();
    Memo.SetFocus();
    for (int I = 0; I < 20; ++I) {
        F.System.ScriptText("line " + std::to_string(I));
        F.System.ScriptKey(KeyEnter);
    }
    RunScript(F.System);
    int32_t Height = Memo.LineHeight();
    EXPECT_EQ(Memo.Editor().LineCount(), 21);
    EXPECT_GT(Memo.ScrollY(), 0);
    TPoint Caret = Memo.CaretPoint();
    EXPECT_GE(Caret.Y, TTextEditWidget::TextInsetY);
    EXPECT_LE(Caret.Y + Height, Memo.ClientRect().Height() - TTextEditWidget::TextInsetY);

    // A page is the lines in view less one.
    int32_t Page = std::max(1, (Memo.ClientRect().Height() - 2 * TTextEditWidget::TextInsetY) / Height - 1);
    F.System.ScriptKey(KeyPageUp);
    RunScript(F.System);
    EXPECT_EQ(Memo.Editor().LineOf(Memo.Editor().Caret()), 20 - Page);
    for (int32_t Line = 20 - Page; Line > 0; Line -= Page)
        F.System.ScriptKey(KeyPageUp);
    RunScript(F.System);
    EXPECT_EQ(Memo.Editor().LineOf(Memo.Editor().Caret()), 0);
    EXPECT_EQ(Memo.ScrollY(), 0);

    F.System.ScriptWheel(F.Screen(Memo, {20, 20}), -120);
    RunScript(F.System);
    EXPECT_EQ(Memo.ScrollY(), 3 * Height);
    F.System.ScriptWheel(F.Screen(Memo, {20, 20}), 240);
    RunScript(F.System);
    EXPECT_EQ(Memo.ScrollY(), 0);

    // Tab is not the memo's: it moves the focus.
    F.System.ScriptKey(KeyTab);
    RunScript(F.System);
    EXPECT_EQ(Memo.Text().find('\t'), std::string::npos);
}

// ---- factories

TEST(EditFactories, MakeTheirControlsWithTheDefaultSizes) {
    TFactoryList List;
    auto* Edits = new TEditControlFactory(List, nullptr, "Edit", "Test|Edit");
    auto* Memos = new TMemoControlFactory(List, nullptr, "Memo", "Test|Memo");
    std::unique_ptr<TControl> Edit = Edits->CreateControl();
    std::unique_ptr<TControl> Memo = Memos->CreateControl();
    ASSERT_NE(dynamic_cast<TEditControl*>(Edit.get()), nullptr);
    ASSERT_NE(dynamic_cast<TMemoControl*>(Memo.get()), nullptr);
    int32_t Width = 0, Height = 0;
    EXPECT_TRUE(Edits->GetDefaultSize(*Edit, Width, Height));
    EXPECT_EQ(Width, 64);
    // Frame 2 on both sides, the font's 12 pixels and 6 of room.
    EXPECT_EQ(Height, 2 * 2 + 12 + 6);
    EXPECT_FALSE(Memos->GetDefaultSize(*Memo, Width, Height));
}

// ---- the frame, clicks into inactive windows and the caret's timer

TEST(EditControlLook, FrameIsASolidSkinLineThatTurnsToTheHighlightWithTheFocus) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 120, 22));
    auto& Other = F.AddEdit(TRect::FromSize(10, 40, 120, 22));
    F.Open();
    Other.SetFocus();
    RunScript(F.System);
    auto Border = [&](const TEditControl& E, int32_t X, int32_t Y) {
        TPoint Origin = E.WindowOrigin();
        return PresentedAt(F.System, *F.Window, Origin.X + X, Origin.Y + Y);
    };
    uint32_t Shadow = Filled(AlphaColor(SkinColors().ShadowColor, 255));
    uint32_t Highlight = Filled(AlphaColor(SystemColors().Highlight, 255));
    // Every side of the outline, unbroken.
    for (TPoint P : {TPoint{0, 11}, TPoint{119, 11}, TPoint{60, 0}, TPoint{60, 21}, TPoint{0, 0}, TPoint{119, 21}})
        EXPECT_EQ(Border(Edit, P.X, P.Y), Shadow) << P.X << "," << P.Y;
    EXPECT_NE(Shadow, Filled(SkinColors().FaceColor));
    Edit.SetFocus();
    RunScript(F.System);
    for (TPoint P : {TPoint{0, 11}, TPoint{119, 11}, TPoint{60, 0}, TPoint{60, 21}})
        EXPECT_EQ(Border(Edit, P.X, P.Y), Highlight) << P.X << "," << P.Y;
    EXPECT_EQ(Border(Other, 0, 11), Shadow);
    // The inner ring is tinted with the highlight only while focused.
    EXPECT_NE(Border(Edit, 1, 11), Border(Other, 1, 11));
}

TEST(EditControlFocus, AClickIntoAnInactiveWindowActivatesItAndFocusesTheClickedBox) {
    TEditFixture F;
    auto& First = F.AddEdit(TRect::FromSize(10, 10, 120, 22));
    auto& Second = F.AddEdit(TRect::FromSize(10, 40, 120, 22));
    F.Open();
    First.SetFocus();
    TWidget OtherRoot;
    TWidgetWindow Other(F.System, OtherRoot,
                        TWindowOptions{.Kind = TWindowKind::Main, .Title = "Other", .Bounds = TRect::FromSize(500, 100, 100, 100)});
    Other.Show(TActivate::Yes);
    RunScript(F.System);
    ASSERT_FALSE(F.Window->Native().HasFocus());
    // Click into the second box of the inactive window: the window comes
    // forward and the keys go to the clicked box.
    F.System.ScriptClick(F.Screen(Second, {20, 8}));
    F.System.ScriptText("x");
    RunScript(F.System);
    EXPECT_TRUE(F.Window->Native().HasFocus());
    EXPECT_TRUE(Second.HasFocus());
    EXPECT_EQ(Second.Text(), "x");
    EXPECT_EQ(First.Text(), "");
}

TEST(EditControlFocus, AClickOnAPlainWidgetOfAnInactiveWindowBringsBackItsFocus) {
    TEditFixture F;
    auto& Edit = F.AddEdit(TRect::FromSize(10, 10, 120, 22));
    auto& Plain = F.Root.Add<TWidget>();
    Plain.SetBounds(TRect::FromSize(10, 60, 100, 40));
    F.Open();
    Edit.SetFocus();
    TWidget OtherRoot;
    TWidgetWindow Other(F.System, OtherRoot,
                        TWindowOptions{.Kind = TWindowKind::Main, .Title = "Other", .Bounds = TRect::FromSize(500, 100, 100, 100)});
    Other.Show(TActivate::Yes);
    RunScript(F.System);
    F.System.ScriptClick(F.Screen(Plain, {5, 5}));
    RunScript(F.System);
    EXPECT_TRUE(F.Window->Native().HasFocus());
    EXPECT_TRUE(Edit.HasFocus());
}

TEST(EditControlLifetime, AFocusedBoxOutlivingItsWindowAndWindowSystemGoesQuietly) {
    // Regression: the caret's timer kept a plain pointer to the window
    // system and stopped its timer there when the box went, after the
    // system was gone (a use after free under the sanitizers).
    TWidget Root;
    auto& Edit = Root.Add<TEditControl>();
    Edit.SetBounds(TRect::FromSize(10, 10, 120, 22));
    {
        THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
        TWidgetWindow Window(System, Root,
                             TWindowOptions{.Kind = TWindowKind::Main, .Title = "Short", .Bounds = TRect::FromSize(100, 100, 300, 200)});
        Window.Show(TActivate::Yes);
        System.ProcessEvents();
        ASSERT_TRUE(Edit.SetFocus());
        System.AdvanceClock(1200ms);
        System.ProcessEvents();
        EXPECT_TRUE(Edit.HasFocus());
    }
    Edit.SetText("still here");
    EXPECT_EQ(Edit.Text(), "still here");
}

TEST(EditControlLifetime, TheCaretStopsBlinkingWhenItsWindowGoesAndTheSystemStays) {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    auto& Edit = Root.Add<TEditControl>();
    Edit.SetBounds(TRect::FromSize(10, 10, 120, 22));
    {
        TWidgetWindow Window(System, Root,
                             TWindowOptions{.Kind = TWindowKind::Main, .Title = "Short", .Bounds = TRect::FromSize(100, 100, 300, 200)});
        Window.Show(TActivate::Yes);
        System.ProcessEvents();
        ASSERT_TRUE(Edit.SetFocus());
    }
    // The pending tick finds the window gone and does not come again.
    bool Before = Edit.IsCaretShown();
    System.AdvanceClock(600ms);
    System.ProcessEvents();
    bool After = Edit.IsCaretShown();
    System.AdvanceClock(600ms);
    System.ProcessEvents();
    EXPECT_TRUE(Before);
    EXPECT_EQ(Edit.IsCaretShown(), After);
}
