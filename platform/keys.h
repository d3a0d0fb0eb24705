#pragma once

#include <cstdint>

// The key vocabulary of the whole program: virtual-key codes (one byte) and
// the 16-bit shortcut value built from a code and the modifiers held with it.
// Stored shortcuts are these values, so the codes are fixed: letters and
// digits are their upper-case ASCII codes, the other keys the numbers below.
//
// Shortcut value: the virtual-key code in the low byte, Shift 0x2000,
// Ctrl 0x4000, Alt 0x8000; Ctrl+N is 0x404E.

constexpr uint16_t ShortCutShift = 0x2000;
constexpr uint16_t ShortCutCtrl = 0x4000;
constexpr uint16_t ShortCutAlt = 0x8000;
constexpr uint16_t ShortCutModifiers = ShortCutShift | ShortCutCtrl | ShortCutAlt;
constexpr uint16_t ShortCutKeyMask = 0x00FF;

constexpr uint8_t KeyBackspace = 8;
constexpr uint8_t KeyTab = 9;
constexpr uint8_t KeyClear = 12; // keypad 5 with Num Lock off
constexpr uint8_t KeyEnter = 13;
constexpr uint8_t KeyShift = 16;
constexpr uint8_t KeyCtrl = 17;
constexpr uint8_t KeyAlt = 18;
constexpr uint8_t KeyPause = 19;
constexpr uint8_t KeyCapsLock = 20;
constexpr uint8_t KeyEscape = 27;
constexpr uint8_t KeySpace = 32;
constexpr uint8_t KeyPageUp = 33;
constexpr uint8_t KeyPageDown = 34;
constexpr uint8_t KeyEnd = 35;
constexpr uint8_t KeyHome = 36;
constexpr uint8_t KeyLeft = 37;
constexpr uint8_t KeyUp = 38;
constexpr uint8_t KeyRight = 39;
constexpr uint8_t KeyDown = 40;
constexpr uint8_t KeySelect = 41;
constexpr uint8_t KeyExecute = 43;
constexpr uint8_t KeyPrintScreen = 44;
constexpr uint8_t KeyInsert = 45;
constexpr uint8_t KeyDelete = 46;
constexpr uint8_t KeyHelp = 47;
constexpr uint8_t Key0 = 0x30; // '0' to '9' are 0x30 to 0x39
constexpr uint8_t KeyA = 0x41; // 'A' to 'Z' are 0x41 to 0x5A
constexpr uint8_t KeyLeftSuper = 91;
constexpr uint8_t KeyRightSuper = 92;
constexpr uint8_t KeyMenu = 93;
constexpr uint8_t KeySleep = 95;
constexpr uint8_t KeyPad0 = 96; // keypad digits are 96 to 105
constexpr uint8_t KeyPadMultiply = 106;
constexpr uint8_t KeyPadPlus = 107;
constexpr uint8_t KeyPadSeparator = 108;
constexpr uint8_t KeyPadMinus = 109;
constexpr uint8_t KeyPadDecimal = 110;
constexpr uint8_t KeyPadDivide = 111;
constexpr uint8_t KeyF1 = 112; // F1 to F24 are 112 to 135
constexpr uint8_t KeyF24 = 135;
constexpr uint8_t KeyNumLock = 144;
constexpr uint8_t KeyScrollLock = 145;
constexpr uint8_t KeyVolumeMute = 173;
constexpr uint8_t KeyVolumeDown = 174;
constexpr uint8_t KeyVolumeUp = 175;
constexpr uint8_t KeyMediaNext = 176;
constexpr uint8_t KeyMediaPrevious = 177;
constexpr uint8_t KeyMediaStop = 178;
constexpr uint8_t KeyMediaPlay = 179;
// The punctuation keys, named by what they carry on a US keyboard; on other
// layouts the code follows the key's position.
constexpr uint8_t KeySemicolon = 186;
constexpr uint8_t KeyEquals = 187;
constexpr uint8_t KeyComma = 188;
constexpr uint8_t KeyMinus = 189;
constexpr uint8_t KeyPeriod = 190;
constexpr uint8_t KeySlash = 191;
constexpr uint8_t KeyGrave = 192;
constexpr uint8_t KeyLeftBracket = 219;
constexpr uint8_t KeyBackslash = 220;
constexpr uint8_t KeyRightBracket = 221;
constexpr uint8_t KeyQuote = 222;
constexpr uint8_t KeyExtraBackslash = 226; // the extra key beside left Shift on ISO keyboards

// The shortcut value of a key press: 0 when the code's low byte is 0 or the
// code does not fit a byte; otherwise the code with the bits of Modifiers
// (ShortCutShift, ShortCutCtrl, ShortCutAlt; other bits are ignored).
uint16_t ShortCutFromKey(uint32_t KeyCode, uint16_t Modifiers);

// The modifier bits of an SDL modifier state (SDL_Keymod). AltGr (the mode
// key) is a level shift that types characters, not Alt.
uint16_t ModifiersFromSdl(uint16_t SdlModifiers);

// The virtual-key code of an SDL key press (SDL_Keycode, SDL_Scancode,
// SDL_Keymod), 0 for keys without one. Letters and digits follow the layout
// (Ctrl+Z is the key labelled Z), keys of layouts without Latin letters and
// the punctuation keys follow their position on the keyboard, so a stored
// shortcut means the same key on every machine. The keypad gives its
// navigation keys while Num Lock is off. Scancode 0 means unknown.
uint8_t VirtualKeyFromSdl(int32_t Keycode, int32_t Scancode, uint16_t SdlModifiers);

// The shortcut value of an SDL key press; 0 while the Super (logo) key is
// held, because the encoding has no bit for it and the desktop owns those
// combinations.
uint16_t ShortCutFromSdlKey(int32_t Keycode, int32_t Scancode, uint16_t SdlModifiers);

// The character a key carries on a US keyboard, for keys that carry one and
// whose display text is not named otherwise; 0 for none.
char KeyCharacter(uint8_t KeyCode);
