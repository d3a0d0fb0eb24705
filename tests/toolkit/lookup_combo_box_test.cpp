#include "platform/keys.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/controls/lookup_combo_box.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/popup_widget.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct TComboFixture {
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWidget Root;
    std::unique_ptr<TWidgetWindow> Window;
    TLookupComboBox* Combo = nullptr;
    int32_t Changes = 0;

    explicit TComboFixture(std::vector<std::string> Items) {
        Combo = &Root.Add<TLookupComboBox>();
        Combo->SetBounds(TRect::FromSize(10, 10, 150, 22));
        Combo->SetItems(std::move(Items));
        Combo->OnChange = [this] { ++Changes; };
        Window = std::make_unique<TWidgetWindow>(
            System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Combo", .Bounds = TRect::FromSize(100, 100, 300, 200)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
    }
    // The drop-down button's centre and the centre of list entry Index on
    // the desktop, the list dropping below the box.
    TPoint Button() const {
        TRect R = Combo->ScreenRect();
        return {R.Right - 2 - TLookupComboBox::ButtonWidth / 2, (R.Top + R.Bottom) / 2};
    }
    TPoint Entry(int32_t Index) const {
        TRect R = Combo->ScreenRect();
        return {R.Left + 20, R.Bottom + 2 + Index * Combo->ItemHeight() + Combo->ItemHeight() / 2};
    }
};

} // namespace

// ---- completion and the arrow keys

TEST(LookupComboTyping, TypedTextCompletesWithTheRestSelected) {
    TComboFixture F({"Apple", "Apricot", "Banana"});
    F.Combo->SetFocus();
    F.System.ScriptText("a");
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), "Apple");
    EXPECT_EQ(F.Combo->ItemIndex(), 0);
    EXPECT_EQ(F.Combo->SelectionStart(), 1u);
    EXPECT_EQ(F.Combo->SelectedText(), "pple");
    // The next key replaces the completed rest.
    F.System.ScriptText("p");
    F.System.ScriptText("r");
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), "Apricot");
    EXPECT_EQ(F.Combo->ItemIndex(), 1);
    EXPECT_EQ(F.Combo->SelectedText(), "icot");
    EXPECT_EQ(F.Changes, 3);
    // Text that starts no item stays as typed.
    F.System.ScriptKey(KeyDelete);
    F.System.ScriptText("x");
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), "Aprx");
    EXPECT_EQ(F.Combo->ItemIndex(), -1);
    EXPECT_EQ(F.Combo->SelectionLength(), 0u);
}

TEST(LookupComboTyping, CompletionKeepsMultiByteCharactersWhole) {
    const std::string Erable = "\xC3\x89rable", Ete = "\xC3\x89t\xC3\xA9"; // Érable, Été
    TComboFixture F({Erable, Ete});
    F.Combo->SetFocus();
    F.System.ScriptText("\xC3\x89");
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), Erable);
    EXPECT_EQ(F.Combo->SelectionStart(), 2u);
    F.System.ScriptText("t");
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), Ete);
    EXPECT_EQ(F.Combo->SelectedText(), "\xC3\xA9");
    F.System.ScriptKey(KeyBackspace);
    F.System.ScriptKey(KeyBackspace);
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), "\xC3\x89");
}

TEST(LookupComboTyping, ArrowsStepFromTheBestMatchAndNotifyEachTime) {
    TComboFixture F({"One", "Two", "Three"});
    F.Combo->SetFocus();
    F.Combo->SetText("Two");
    F.Changes = 0;
    std::vector<std::string> Seen;
    auto Press = [&](uint8_t Key) {
        F.System.ScriptKey(Key);
        F.System.ScriptStep([&] { Seen.push_back(F.Combo->Text()); });
    };
    Press(KeyUp);       // Two is exact: the one before
    Press(KeyPageUp);   // One is exact and first: stays
    Press(KeyDown);     // after One
    Press(KeyPageDown); // after Two
    Press(KeyDown);     // the last stays
    RunScript(F.System);
    EXPECT_EQ(Seen, (std::vector<std::string>{"One", "One", "Two", "Three", "Three"}));
    EXPECT_EQ(F.Changes, 5);
    EXPECT_EQ(F.Combo->ItemIndex(), 2);
    EXPECT_EQ(F.Combo->SelectedText(), "Three");

    // Text that is not exactly its best match: Up selects the match itself.
    F.Combo->SetText("tw");
    F.System.ScriptKey(KeyUp);
    RunScript(F.System);
    EXPECT_EQ(F.Combo->Text(), "Two");
    EXPECT_EQ(F.Combo->ItemIndex(), 1);
}

TEST(LookupComboTyping, SettingTheTextUnfocusedSelectsTheLastEqualItem) {
    TComboFixture F({"alpha", "Beta", "BETA", "gamma"});
    F.Combo->SetText("beta");
    EXPECT_EQ(F.Combo->ItemIndex(), 2);
    F.Combo->SetText("delta");
    EXPECT_EQ(F.Combo->ItemIndex(), -1);
    F.Combo->SetItemIndex(3);
    EXPECT_EQ(F.Combo->Text(), "gamma");
}

// ---- the drop-down list

TEST(LookupComboDropDown, AClickOnAnEntryAcceptsItAndHoverHighlights) {
    TComboFixture F({"One", "Two", "Three"});
    TRect Shown;
    uint32_t Highlighted = 0;
    F.System.ScriptClick(F.Button());
    F.System.ScriptMouseMove(F.Entry(2));
    F.System.ScriptStep([&] {
        auto* List = dynamic_cast<TPopupWidget*>(F.Combo->DropDownList());
        ASSERT_NE(List, nullptr);
        Shown = List->PopupWindow()->Native().Bounds();
        EXPECT_EQ(F.Combo->DropDownHighlight(), 2);
        // The highlighted row, right of its text, is the selection colour.
        Highlighted = PresentedAt(F.System, *List->PopupWindow(), Shown.Width() - 8,
                                  2 + 2 * F.Combo->ItemHeight() + F.Combo->ItemHeight() / 2);
    });
    F.System.ScriptClick(F.Entry(1));
    RunScript(F.System);
    TRect Box = F.Combo->ScreenRect();
    EXPECT_EQ(Shown, TRect::FromSize(Box.Left, Box.Bottom, Box.Width(), 3 * F.Combo->ItemHeight() + 4));
    EXPECT_EQ(Highlighted, Filled(AlphaColor(SystemColors().Highlight, 255)));
    EXPECT_EQ(F.Combo->Text(), "Two");
    EXPECT_EQ(F.Combo->ItemIndex(), 1);
    EXPECT_EQ(F.Changes, 1);
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_TRUE(F.Combo->HasFocus());
    EXPECT_TRUE(MouseHandler().Popups().empty());
}

struct TDropCase {
    const char* Name;
    std::vector<uint8_t> Keys;
    std::string Text;
    int32_t Changes;
};

void PrintTo(const TDropCase& Case, std::ostream* Out) { *Out << Case.Name; }

class LookupComboDropKeys : public ::testing::TestWithParam<TDropCase> {};

TEST_P(LookupComboDropKeys, KeysMoveTheHighlightAndEnterOrEscapeEndTheList) {
    const TDropCase& Case = GetParam();
    TComboFixture F({"One", "Two", "Three"});
    F.Combo->SetFocus();
    F.Combo->SetItemIndex(0);
    F.System.ScriptKey(KeyDown, ShortCutAlt);
    for (uint8_t Key : Case.Keys)
        F.System.ScriptKey(Key);
    RunScript(F.System);
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_EQ(F.Combo->Text(), Case.Text);
    EXPECT_EQ(F.Changes, Case.Changes);
}

INSTANTIATE_TEST_SUITE_P(
    Toolkit, LookupComboDropKeys,
    ::testing::Values(TDropCase{"EnterAcceptsTheHighlight", {KeyDown, KeyDown, KeyEnter}, "Three", 1},
                      TDropCase{"EscapeCancels", {KeyDown, KeyEscape}, "One", 0},
                      TDropCase{"EndThenUp", {KeyEnd, KeyUp, KeyEnter}, "Two", 1},
                      TDropCase{"F4OpensToo", {KeyEscape, KeyF1 + 3, KeyDown, KeyEnter}, "Two", 1}),
    [](const ::testing::TestParamInfo<TDropCase>& Info) { return std::string(Info.param.Name); });

TEST(LookupComboDropDown, AClickOutsideCancels) {
    TComboFixture F({"One", "Two"});
    F.Combo->SetText("One");
    F.Changes = 0;
    F.System.ScriptClick(F.Button());
    F.System.ScriptClick({390, 290}); // inside the main window, away from both
    RunScript(F.System);
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_EQ(F.Combo->Text(), "One");
    EXPECT_EQ(F.Changes, 0);
}

// ---- destroyed while its list runs, or by its own handler

TEST(LookupComboLifetime, DestroyedInsideTheDropDownLoopEndsTheLoopCleanly) {
    TComboFixture F({"One", "Two"});
    F.System.ScriptClick(F.Button());
    F.System.ScriptStep([&] {
        ASSERT_TRUE(F.Combo->IsDroppedDown());
        F.Root.RemoveChild(*F.Combo);
        F.Combo = nullptr;
    });
    F.System.ScriptClick({150, 150});
    RunScript(F.System);
    EXPECT_TRUE(F.Root.Children().empty());
    EXPECT_TRUE(MouseHandler().Popups().empty());
    EXPECT_EQ(MouseHandler().Hot(), &F.Root);
}

TEST(LookupComboLifetime, DestroyedByItsChangeOrExitHandler) {
    TComboFixture F({"One", "Two"});
    F.Combo->OnChange = [&] { F.Root.RemoveChild(*F.Combo); };
    F.System.ScriptClick(F.Button());
    F.System.ScriptClick(F.Entry(1));
    RunScript(F.System);
    EXPECT_TRUE(F.Root.Children().empty());
    EXPECT_TRUE(MouseHandler().Popups().empty());

    auto& Again = F.Root.Add<TLookupComboBox>();
    Again.SetBounds(TRect::FromSize(10, 10, 150, 22));
    Again.SetItems({"One", "Two"});
    auto& Other = F.Root.Add<TEditControl>();
    Other.SetBounds(TRect::FromSize(10, 50, 150, 22));
    Again.OnExit = [&] { F.Root.RemoveChild(Again); };
    Again.SetFocus();
    F.System.ScriptText("t");
    F.System.ScriptKey(KeyTab);
    F.System.ScriptText("x");
    RunScript(F.System);
    EXPECT_EQ(F.Root.Children().size(), 1u);
    EXPECT_EQ(Other.Text(), "x");
}
