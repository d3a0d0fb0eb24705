#include "commands/shortcut_form.h"

#include "core/text_table.h"
#include "platform/keys.h"

#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

class THotKeys : public THotKeyRegistry {
public:
    void RegisterHotKey(int32_t Identifier, uint16_t ShortCut) override {
        EXPECT_EQ(Identifier, ShortCut);
        Registered.insert(Identifier);
    }
    void UnregisterHotKey(int32_t Identifier) override { Registered.erase(Identifier); }
    std::set<int32_t> Registered;
};

// A modal loop that delivers the given key presses while the form is open.
TShortCutFormLoop Presses(std::vector<uint16_t> Keys) {
    return [Keys](TShortCutForm& Form) {
        for (uint16_t Key : Keys)
            if (Form.ModalResult() == TShortCutFormResult::None)
                Form.KeyDown(Key);
    };
}

TEST(ShortCutForm, EscapeCancelsButShiftEscapeIsAShortCut) {
    uint16_t Value = 0x1234;
    EXPECT_FALSE(DefineShortCut(Value, Presses({KeyEscape, 0x4041})));
    EXPECT_EQ(Value, 0x1234);
    EXPECT_TRUE(DefineShortCut(Value, Presses({ShortCutShift | KeyEscape})));
    EXPECT_EQ(Value, 0x201B);
}

TEST(ShortCutForm, LoneModifiersKeepTheFormOpen) {
    uint16_t Value = 0;
    EXPECT_TRUE(DefineShortCut(
        Value, Presses({ShortCutShift | KeyShift, ShortCutCtrl | ShortCutShift | KeyCtrl, 0,
                        KeyCapsLock, ShortCutCtrl | ShortCutShift | 'Z'})));
    EXPECT_EQ(Value, 0x605A);
    // The window closed without an acceptable key: nothing is captured.
    EXPECT_FALSE(DefineShortCut(Value, Presses({ShortCutAlt | KeyAlt})));
}

TEST(ShortCutForm, PrintScreenArrivesAsAHotKeyWhileShown) {
    THotKeys HotKeys;
    uint16_t Value = 0;
    bool Captured = DefineShortCut(
        Value,
        [&](TShortCutForm& Form) {
            EXPECT_EQ(TShortCutForm::Current(), &Form);
            EXPECT_EQ(Form.Caption(), GetText(TTextSlot::ShortCutFormCaption));
            EXPECT_FALSE(Form.Prompt().empty());
            EXPECT_EQ(HotKeys.Registered.size(), 8u);
            EXPECT_TRUE(HotKeys.Registered.count(0xE02C));
            Form.HotKey(0x402C);
        },
        &HotKeys);
    EXPECT_TRUE(Captured);
    EXPECT_EQ(Value, 0x402C);
    EXPECT_TRUE(HotKeys.Registered.empty());
    EXPECT_EQ(TShortCutForm::Current(), nullptr);
}

TEST(ShortCutForm, FailingModalLoopStillClosesTheForm) {
    THotKeys HotKeys;
    uint16_t Value = 0;
    EXPECT_THROW(
        DefineShortCut(
            Value, [](TShortCutForm&) { throw std::runtime_error("window lost"); }, &HotKeys),
        std::runtime_error);
    EXPECT_EQ(TShortCutForm::Current(), nullptr);
    EXPECT_TRUE(HotKeys.Registered.empty());
}

TEST(ShortCutForm, SecondFormIsRefusedWhileOneIsOpen) {
    uint16_t Value = 0;
    bool Nested = true;
    DefineShortCut(Value, [&](TShortCutForm& Form) {
        uint16_t Inner = 0;
        Nested = DefineShortCut(Inner, Presses({0x4041}));
        EXPECT_EQ(TShortCutForm::Current(), &Form);
        Form.KeyDown(0x4042);
    });
    EXPECT_FALSE(Nested);
    EXPECT_EQ(Value, 0x4042);
}

} // namespace
