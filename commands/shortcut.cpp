#include "commands/shortcut.h"

#include "core/text.h"
#include "core/text_table.h"

#include <algorithm>
#include <iterator>

namespace {

struct TKeyName {
    uint8_t Key;
    TTextSlot Slot;
};

// The keys whose names are wording of the application's own.
constexpr TKeyName KeyNames[] = {
    {0, TTextSlot::KeyNameNone},
    {KeyBackspace, TTextSlot::KeyNameBackspace},
    {KeyTab, TTextSlot::KeyNameTab},
    {KeyEnter, TTextSlot::KeyNameEnter},
    {KeyPause, TTextSlot::KeyNamePause},
    {KeyEscape, TTextSlot::KeyNameEscape},
    {KeySpace, TTextSlot::KeyNameSpace},
    {KeyPageUp, TTextSlot::KeyNamePageUp},
    {KeyPageDown, TTextSlot::KeyNamePageDown},
    {KeyEnd, TTextSlot::KeyNameEnd},
    {KeyHome, TTextSlot::KeyNameHome},
    {KeyLeft, TTextSlot::KeyNameLeft},
    {KeyUp, TTextSlot::KeyNameUp},
    {KeyRight, TTextSlot::KeyNameRight},
    {KeyDown, TTextSlot::KeyNameDown},
    {KeyPrintScreen, TTextSlot::KeyNamePrintScreen},
    {KeyInsert, TTextSlot::KeyNameInsert},
    {KeyDelete, TTextSlot::KeyNameDelete},
};

// Modifier, lock and input-method keys: not usable as a shortcut.
constexpr uint8_t UnnamedKeys[] = {16, 17, 18,  20,  21,  23,  24,  25,  28,  29,
                                   30, 31, 144, 145, 160, 161, 162, 163, 164, 165};

std::string HexByte(uint8_t Value) {
    static const char Digits[] = "0123456789ABCDEF";
    return {Digits[Value >> 4], Digits[Value & 15]};
}

std::string KeyText(uint8_t Key) {
    for (const TKeyName& Name : KeyNames)
        if (Name.Key == Key)
            return GetText(Name.Slot);
    const std::string& Keypad = GetText(TTextSlot::KeyNameKeypad);
    if (Key == KeyClear)
        return Keypad + " 5";
    if ((Key >= Key0 && Key <= Key0 + 9) || (Key >= KeyA && Key <= KeyA + 25))
        return std::string(1, static_cast<char>(Key));
    if (Key >= KeyPad0 && Key <= KeyPad0 + 9)
        return Keypad + " " + static_cast<char>('0' + (Key - KeyPad0));
    switch (Key) {
    case KeyPadMultiply:
        return Keypad + " *";
    case KeyPadPlus:
        return Keypad + " +";
    case KeyPadMinus:
        return Keypad + " -";
    case KeyPadDecimal:
        return Keypad + " .";
    case KeyPadDivide:
        return Keypad + " /";
    default:
        break;
    }
    if (Key >= KeyF1 && Key <= KeyF24)
        return GetText(TTextSlot::KeyNameFunction) + std::to_string(Key - KeyF1 + 1);
    // The punctuation keys read as their US characters.
    if ((Key >= KeySemicolon && Key <= KeyGrave) || (Key >= KeyLeftBracket && Key <= KeyQuote))
        return std::string(1, KeyCharacter(Key));
    if (std::find(std::begin(UnnamedKeys), std::end(UnnamedKeys), Key) != std::end(UnnamedKeys))
        return {};
    std::string Special = FormatMessageText(GetText(TTextSlot::KeyNameSpecial), HexByte(Key));
    char Character = KeyCharacter(Key);
    if (static_cast<unsigned char>(Character) >= '!')
        return std::string(1, Character) + " (" + Special + ")";
    return Special;
}

} // namespace

std::string ShortCutText(uint16_t Value) {
    uint8_t Key = static_cast<uint8_t>(Value & ShortCutKeyMask);
    std::string Text = KeyText(Key);
    if (Text.empty() || Key == 0)
        return Text;
    if (Value & ShortCutAlt)
        Text = GetText(TTextSlot::ModifierNameAlt) + "+" + Text;
    if (Value & ShortCutShift)
        Text = GetText(TTextSlot::ModifierNameShift) + "+" + Text;
    if (Value & ShortCutCtrl)
        Text = GetText(TTextSlot::ModifierNameCtrl) + "+" + Text;
    return Text;
}

bool IsValidShortCut(int32_t Value) {
    if (Value <= 0 || Value > 0xFFFF)
        return false;
    if (Value & ~(ShortCutKeyMask | ShortCutModifiers))
        return false;
    uint8_t Key = static_cast<uint8_t>(Value & ShortCutKeyMask);
    return Key != 0 && !KeyText(Key).empty();
}

bool IsEditKey(uint16_t Value) {
    uint8_t Key = static_cast<uint8_t>(Value & ShortCutKeyMask);
    uint16_t Modifiers = Value & ShortCutModifiers;
    bool CtrlOrAlt = (Modifiers & (ShortCutCtrl | ShortCutAlt)) != 0;
    if (Key <= 4 || Key == KeyBackspace || Key == KeyTab || Key == KeyClear || Key == KeyShift ||
        Key == KeyCtrl || (Key >= KeyPageUp && Key <= KeyDown) || Key == KeyInsert ||
        Key == KeyDelete)
        return true;
    if (Key == KeyEnter || Key == KeySpace || (Key >= KeyPad0 + 1 && Key <= KeyPad0 + 9) ||
        Key == KeyPadMultiply || Key == KeyPadPlus || Key == KeyPadMinus || Key == KeyPadDivide)
        return Modifiers == 0;
    if (Key >= Key0 && Key <= Key0 + 9)
        return !CtrlOrAlt;
    if (Key >= KeyA && Key <= KeyA + 25)
        return (Modifiers & ShortCutAlt) == 0;
    if (Key == KeyAlt || Key == KeyPause || Key == KeyCapsLock || Key == KeyEscape ||
        Key == KeySelect || Key == 42 || Key == KeyHelp ||
        (Key >= KeyLeftSuper && Key <= KeyMenu) || (Key >= KeyF1 && Key <= KeyF24))
        return false;
    return !CtrlOrAlt;
}
