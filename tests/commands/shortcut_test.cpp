#include "commands/shortcut.h"

#include "core/text_table.h"

#include <gtest/gtest.h>

namespace {

std::string Name(TTextSlot Slot) {
    return GetText(Slot);
}

TEST(ShortCutText, ModifiersComeFirstInDesktopOrder) {
    const std::string Ctrl = Name(TTextSlot::ModifierNameCtrl);
    const std::string Shift = Name(TTextSlot::ModifierNameShift);
    const std::string Alt = Name(TTextSlot::ModifierNameAlt);
    EXPECT_EQ(ShortCutText(0x6041), Ctrl + "+" + Shift + "+A");
    EXPECT_EQ(ShortCutText(0xE05A), Ctrl + "+" + Shift + "+" + Alt + "+Z");
    EXPECT_EQ(ShortCutText(0x8073), Alt + "+" + Name(TTextSlot::KeyNameFunction) + "4");
    EXPECT_EQ(ShortCutText(0x4000 | KeyDelete), Ctrl + "+" + Name(TTextSlot::KeyNameDelete));
    EXPECT_EQ(ShortCutText(0x0031), "1");
}

TEST(ShortCutText, KeysByGroup) {
    const std::string Keypad = Name(TTextSlot::KeyNameKeypad);
    EXPECT_EQ(ShortCutText(0x00BA), ";");
    EXPECT_EQ(ShortCutText(0x00DC), "\\");
    EXPECT_EQ(ShortCutText(0x00C0), "`");
    EXPECT_EQ(ShortCutText(KeyClear), Keypad + " 5");
    EXPECT_EQ(ShortCutText(KeyPad0 + 7), Keypad + " 7");
    EXPECT_EQ(ShortCutText(KeyPadDecimal), Keypad + " .");
    EXPECT_EQ(ShortCutText(KeyPadDivide), Keypad + " /");
    EXPECT_EQ(ShortCutText(KeyF24), Name(TTextSlot::KeyNameFunction) + "24");
    EXPECT_EQ(ShortCutText(KeySpace), Name(TTextSlot::KeyNameSpace));
    EXPECT_EQ(ShortCutText(KeyPrintScreen), Name(TTextSlot::KeyNamePrintScreen));
    EXPECT_EQ(ShortCutText(0), Name(TTextSlot::KeyNameNone));
}

TEST(ShortCutText, ModifierAndLockKeysHaveNoText) {
    EXPECT_EQ(ShortCutText(0x0010), "");
    EXPECT_EQ(ShortCutText(0x6011), "");
    EXPECT_EQ(ShortCutText(KeyCapsLock), "");
    EXPECT_EQ(ShortCutText(KeyNumLock), "");
    EXPECT_EQ(ShortCutText(0xA4), "");
}

TEST(ShortCutText, OtherKeysAreSpecialKeysByNumber) {
    EXPECT_EQ(ShortCutText(KeyExtraBackslash), "< (special key $E2)");
    EXPECT_EQ(ShortCutText(KeyMediaPlay), "special key $B3");
    EXPECT_EQ(ShortCutText(0x4007), Name(TTextSlot::ModifierNameCtrl) + "+special key $07");
}

TEST(ShortCut, ValidValuesNameAKeyAndNothingElse) {
    EXPECT_TRUE(IsValidShortCut(0x404E));
    EXPECT_TRUE(IsValidShortCut(0xE0FE));
    EXPECT_FALSE(IsValidShortCut(0));
    EXPECT_FALSE(IsValidShortCut(0x4000));
    EXPECT_FALSE(IsValidShortCut(0x10041));
    EXPECT_FALSE(IsValidShortCut(-0x41));
    EXPECT_FALSE(IsValidShortCut(0x0141));
    EXPECT_FALSE(IsValidShortCut(0x2010));
}

TEST(ShortCut, TextControlsKeepTypingAndCaretKeys) {
    const uint16_t Ctrl = ShortCutCtrl, Alt = ShortCutAlt, Shift = ShortCutShift;
    EXPECT_TRUE(IsEditKey(Ctrl | 'C'));
    EXPECT_FALSE(IsEditKey(Ctrl | Alt | 'C'));
    EXPECT_TRUE(IsEditKey(Shift | 'C'));
    EXPECT_FALSE(IsEditKey(KeyF1 + 4));
    EXPECT_TRUE(IsEditKey(Shift | '7'));
    EXPECT_FALSE(IsEditKey(Ctrl | '7'));
    EXPECT_TRUE(IsEditKey(Ctrl | Shift | KeyLeft));
    EXPECT_TRUE(IsEditKey(Ctrl | KeyBackspace));
    EXPECT_TRUE(IsEditKey(KeyEnter));
    EXPECT_FALSE(IsEditKey(Ctrl | KeyEnter));
    EXPECT_TRUE(IsEditKey(KeyPad0 + 1));
    EXPECT_FALSE(IsEditKey(Shift | (KeyPad0 + 1)));
    EXPECT_TRUE(IsEditKey(KeyPad0)); // keypad 0 only loses to Ctrl and Alt
    EXPECT_TRUE(IsEditKey(Shift | KeyPad0));
    EXPECT_FALSE(IsEditKey(Alt | KeyPad0));
    EXPECT_FALSE(IsEditKey(KeyEscape));
    EXPECT_FALSE(IsEditKey(KeyPause));
    EXPECT_TRUE(IsEditKey(KeySemicolon));
    EXPECT_FALSE(IsEditKey(Ctrl | KeySemicolon));
}

} // namespace
