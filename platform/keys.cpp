#include "platform/keys.h"

#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

uint16_t ShortCutFromKey(uint32_t KeyCode, uint16_t Modifiers) {
    if ((KeyCode & ShortCutKeyMask) == 0 || KeyCode > ShortCutKeyMask)
        return 0;
    return static_cast<uint16_t>(KeyCode | (Modifiers & ShortCutModifiers));
}

uint16_t ModifiersFromSdl(uint16_t SdlModifiers) {
    uint16_t Result = 0;
    if (SdlModifiers & KMOD_SHIFT)
        Result |= ShortCutShift;
    if (SdlModifiers & KMOD_CTRL)
        Result |= ShortCutCtrl;
    if (SdlModifiers & KMOD_ALT)
        Result |= ShortCutAlt;
    return Result;
}

namespace {

struct TKeyPair {
    int32_t From;
    uint8_t To;
};

template <size_t N>
uint8_t Lookup(const TKeyPair (&Table)[N], int32_t From) {
    for (const TKeyPair& Pair : Table)
        if (Pair.From == From)
            return Pair.To;
    return 0;
}

// Keypad keys while Num Lock is off act as the navigation keys printed on
// them, as they do in every text field of the desktop.
constexpr TKeyPair KeypadNavigation[] = {
    {SDLK_KP_0, KeyInsert},   {SDLK_KP_1, KeyEnd},         {SDLK_KP_2, KeyDown},
    {SDLK_KP_3, KeyPageDown}, {SDLK_KP_4, KeyLeft},        {SDLK_KP_5, KeyClear},
    {SDLK_KP_6, KeyRight},    {SDLK_KP_7, KeyHome},        {SDLK_KP_8, KeyUp},
    {SDLK_KP_9, KeyPageUp},   {SDLK_KP_PERIOD, KeyDelete},
};

// Keys without a character: SDL gives them codes derived from their scancode.
constexpr TKeyPair NamedKeys[] = {
    {SDLK_KP_0, KeyPad0},
    {SDLK_KP_MULTIPLY, KeyPadMultiply},
    {SDLK_KP_PLUS, KeyPadPlus},
    {SDLK_KP_COMMA, KeyPadSeparator},
    {SDLK_KP_MINUS, KeyPadMinus},
    {SDLK_KP_PERIOD, KeyPadDecimal},
    {SDLK_KP_DIVIDE, KeyPadDivide},
    {SDLK_KP_ENTER, KeyEnter},
    {SDLK_CLEAR, KeyClear},
    {SDLK_KP_CLEAR, KeyClear},
    {SDLK_PAGEUP, KeyPageUp},
    {SDLK_PAGEDOWN, KeyPageDown},
    {SDLK_END, KeyEnd},
    {SDLK_HOME, KeyHome},
    {SDLK_LEFT, KeyLeft},
    {SDLK_UP, KeyUp},
    {SDLK_RIGHT, KeyRight},
    {SDLK_DOWN, KeyDown},
    {SDLK_INSERT, KeyInsert},
    {SDLK_PRINTSCREEN, KeyPrintScreen},
    {SDLK_PAUSE, KeyPause},
    {SDLK_CAPSLOCK, KeyCapsLock},
    {SDLK_NUMLOCKCLEAR, KeyNumLock},
    {SDLK_SCROLLLOCK, KeyScrollLock},
    {SDLK_LSHIFT, KeyShift},
    {SDLK_RSHIFT, KeyShift},
    {SDLK_LCTRL, KeyCtrl},
    {SDLK_RCTRL, KeyCtrl},
    {SDLK_LALT, KeyAlt},
    {SDLK_RALT, KeyAlt},
    {SDLK_MODE, KeyAlt},
    {SDLK_LGUI, KeyLeftSuper},
    {SDLK_RGUI, KeyRightSuper},
    {SDLK_APPLICATION, KeyMenu},
    {SDLK_MENU, KeyMenu},
    {SDLK_SELECT, KeySelect},
    {SDLK_EXECUTE, KeyExecute},
    {SDLK_HELP, KeyHelp},
    {SDLK_SLEEP, KeySleep},
    {SDLK_MUTE, KeyVolumeMute},
    {SDLK_AUDIOMUTE, KeyVolumeMute},
    {SDLK_VOLUMEDOWN, KeyVolumeDown},
    {SDLK_VOLUMEUP, KeyVolumeUp},
    {SDLK_AUDIONEXT, KeyMediaNext},
    {SDLK_AUDIOPREV, KeyMediaPrevious},
    {SDLK_AUDIOSTOP, KeyMediaStop},
    {SDLK_AUDIOPLAY, KeyMediaPlay},
};

// Keys whose SDL code is an ASCII control character.
constexpr TKeyPair ControlCharacters[] = {
    {SDLK_BACKSPACE, KeyBackspace}, {SDLK_TAB, KeyTab},     {SDLK_RETURN, KeyEnter},
    {SDLK_ESCAPE, KeyEscape},       {SDLK_SPACE, KeySpace}, {SDLK_DELETE, KeyDelete},
};

// The punctuation keys by position (US layout).
constexpr TKeyPair PunctuationPositions[] = {
    {SDL_SCANCODE_MINUS, KeyMinus},
    {SDL_SCANCODE_EQUALS, KeyEquals},
    {SDL_SCANCODE_LEFTBRACKET, KeyLeftBracket},
    {SDL_SCANCODE_RIGHTBRACKET, KeyRightBracket},
    {SDL_SCANCODE_BACKSLASH, KeyBackslash},
    {SDL_SCANCODE_NONUSHASH, KeyBackslash},
    {SDL_SCANCODE_SEMICOLON, KeySemicolon},
    {SDL_SCANCODE_APOSTROPHE, KeyQuote},
    {SDL_SCANCODE_GRAVE, KeyGrave},
    {SDL_SCANCODE_COMMA, KeyComma},
    {SDL_SCANCODE_PERIOD, KeyPeriod},
    {SDL_SCANCODE_SLASH, KeySlash},
    {SDL_SCANCODE_NONUSBACKSLASH, KeyExtraBackslash},
};

// The punctuation keys by the character they type (US layout), for key
// presses whose position is unknown or is a letter's.
constexpr TKeyPair PunctuationCharacters[] = {
    {';', KeySemicolon},      {'=', KeyEquals},     {'+', KeyEquals},       {',', KeyComma},
    {'-', KeyMinus},          {'.', KeyPeriod},     {'/', KeySlash},        {'`', KeyGrave},
    {'[', KeyLeftBracket},    {'\\', KeyBackslash}, {']', KeyRightBracket}, {'\'', KeyQuote},
    {'<', KeyExtraBackslash},
};

uint8_t NamedKey(int32_t Keycode) {
    if (Keycode >= SDLK_F1 && Keycode <= SDLK_F12)
        return static_cast<uint8_t>(KeyF1 + (Keycode - SDLK_F1));
    if (Keycode >= SDLK_F13 && Keycode <= SDLK_F24)
        return static_cast<uint8_t>(KeyF1 + 12 + (Keycode - SDLK_F13));
    if (Keycode >= SDLK_KP_1 && Keycode <= SDLK_KP_9)
        return static_cast<uint8_t>(KeyPad0 + 1 + (Keycode - SDLK_KP_1));
    return Lookup(NamedKeys, Keycode);
}

// Keys that type a character, by their position (US layout).
uint8_t KeyAtPosition(int32_t Scancode) {
    if (Scancode >= SDL_SCANCODE_A && Scancode <= SDL_SCANCODE_Z)
        return static_cast<uint8_t>(KeyA + (Scancode - SDL_SCANCODE_A));
    if (Scancode >= SDL_SCANCODE_1 && Scancode <= SDL_SCANCODE_9)
        return static_cast<uint8_t>(Key0 + 1 + (Scancode - SDL_SCANCODE_1));
    if (Scancode == SDL_SCANCODE_0)
        return Key0;
    return Lookup(PunctuationPositions, Scancode);
}

} // namespace

uint8_t VirtualKeyFromSdl(int32_t Keycode, int32_t Scancode, uint16_t SdlModifiers) {
    if (Keycode & SDLK_SCANCODE_MASK) {
        if (!(SdlModifiers & KMOD_NUM))
            if (uint8_t Navigation = Lookup(KeypadNavigation, Keycode))
                return Navigation;
        return NamedKey(Keycode);
    }
    if (Keycode >= 'a' && Keycode <= 'z')
        return static_cast<uint8_t>(KeyA + (Keycode - 'a'));
    if (Keycode >= '0' && Keycode <= '9')
        return static_cast<uint8_t>(Key0 + (Keycode - '0'));
    if (uint8_t Control = Lookup(ControlCharacters, Keycode))
        return Control;
    // Every other key types a character: punctuation, a symbol on the digit
    // row, a letter of a non-Latin layout. Its position decides, so that each
    // key keeps one code whatever its layout prints on it; only a punctuation
    // character on a letter position (as on AZERTY and Dvorak) is named by
    // the character, or it would take the letter's code.
    uint8_t Positioned = KeyAtPosition(Scancode);
    bool LetterPosition = Positioned >= KeyA && Positioned <= KeyA + 25;
    if (Positioned != 0 && !(LetterPosition && Keycode < 0x80))
        return Positioned;
    return Lookup(PunctuationCharacters, Keycode);
}

uint16_t ShortCutFromSdlKey(int32_t Keycode, int32_t Scancode, uint16_t SdlModifiers) {
    if (SdlModifiers & KMOD_GUI)
        return 0;
    return ShortCutFromKey(VirtualKeyFromSdl(Keycode, Scancode, SdlModifiers),
                           ModifiersFromSdl(SdlModifiers));
}

char KeyCharacter(uint8_t KeyCode) {
    if ((KeyCode >= Key0 && KeyCode <= Key0 + 9) || (KeyCode >= KeyA && KeyCode <= KeyA + 25))
        return static_cast<char>(KeyCode);
    if (KeyCode == KeySpace)
        return ' ';
    for (const TKeyPair& Pair : PunctuationCharacters)
        if (Pair.To == KeyCode)
            return static_cast<char>(Pair.From);
    return 0;
}
