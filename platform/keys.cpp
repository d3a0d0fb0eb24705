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

// Keypad keys while Num Lock is off act as the navigation keys printed on
// them, as they do in every text field of the desktop.
uint8_t KeypadNavigation(int32_t Keycode) {
    switch (Keycode) {
    case SDLK_KP_0: return KeyInsert;
    case SDLK_KP_1: return KeyEnd;
    case SDLK_KP_2: return KeyDown;
    case SDLK_KP_3: return KeyPageDown;
    case SDLK_KP_4: return KeyLeft;
    case SDLK_KP_5: return KeyClear;
    case SDLK_KP_6: return KeyRight;
    case SDLK_KP_7: return KeyHome;
    case SDLK_KP_8: return KeyUp;
    case SDLK_KP_9: return KeyPageUp;
    case SDLK_KP_PERIOD: return KeyDelete;
    default: return 0;
    }
}

// Keys without a character: SDL gives them codes derived from their scancode.
uint8_t NamedKey(int32_t Keycode) {
    if (Keycode >= SDLK_F1 && Keycode <= SDLK_F12)
        return static_cast<uint8_t>(KeyF1 + (Keycode - SDLK_F1));
    if (Keycode >= SDLK_F13 && Keycode <= SDLK_F24)
        return static_cast<uint8_t>(KeyF1 + 12 + (Keycode - SDLK_F13));
    if (Keycode >= SDLK_KP_1 && Keycode <= SDLK_KP_9)
        return static_cast<uint8_t>(KeyPad0 + 1 + (Keycode - SDLK_KP_1));
    switch (Keycode) {
    case SDLK_KP_0: return KeyPad0;
    case SDLK_KP_MULTIPLY: return KeyPadMultiply;
    case SDLK_KP_PLUS: return KeyPadPlus;
    case SDLK_KP_COMMA: return KeyPadSeparator;
    case SDLK_KP_MINUS: return KeyPadMinus;
    case SDLK_KP_PERIOD: return KeyPadDecimal;
    case SDLK_KP_DIVIDE: return KeyPadDivide;
    case SDLK_KP_ENTER: return KeyEnter;
    case SDLK_CLEAR:
    case SDLK_KP_CLEAR: return KeyClear;
    case SDLK_PAGEUP: return KeyPageUp;
    case SDLK_PAGEDOWN: return KeyPageDown;
    case SDLK_END: return KeyEnd;
    case SDLK_HOME: return KeyHome;
    case SDLK_LEFT: return KeyLeft;
    case SDLK_UP: return KeyUp;
    case SDLK_RIGHT: return KeyRight;
    case SDLK_DOWN: return KeyDown;
    case SDLK_INSERT: return KeyInsert;
    case SDLK_PRINTSCREEN: return KeyPrintScreen;
    case SDLK_PAUSE: return KeyPause;
    case SDLK_CAPSLOCK: return KeyCapsLock;
    case SDLK_NUMLOCKCLEAR: return KeyNumLock;
    case SDLK_SCROLLLOCK: return KeyScrollLock;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return KeyShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return KeyCtrl;
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_MODE: return KeyAlt;
    case SDLK_LGUI: return KeyLeftSuper;
    case SDLK_RGUI: return KeyRightSuper;
    case SDLK_APPLICATION:
    case SDLK_MENU: return KeyMenu;
    case SDLK_SELECT: return KeySelect;
    case SDLK_EXECUTE: return KeyExecute;
    case SDLK_HELP: return KeyHelp;
    case SDLK_SLEEP: return KeySleep;
    case SDLK_MUTE:
    case SDLK_AUDIOMUTE: return KeyVolumeMute;
    case SDLK_VOLUMEDOWN: return KeyVolumeDown;
    case SDLK_VOLUMEUP: return KeyVolumeUp;
    case SDLK_AUDIONEXT: return KeyMediaNext;
    case SDLK_AUDIOPREV: return KeyMediaPrevious;
    case SDLK_AUDIOSTOP: return KeyMediaStop;
    case SDLK_AUDIOPLAY: return KeyMediaPlay;
    default: return 0;
    }
}

// Keys that type a character, by the position of the key (US layout).
uint8_t KeyAtPosition(int32_t Scancode) {
    if (Scancode >= SDL_SCANCODE_A && Scancode <= SDL_SCANCODE_Z)
        return static_cast<uint8_t>(KeyA + (Scancode - SDL_SCANCODE_A));
    if (Scancode >= SDL_SCANCODE_1 && Scancode <= SDL_SCANCODE_9)
        return static_cast<uint8_t>(Key0 + 1 + (Scancode - SDL_SCANCODE_1));
    switch (Scancode) {
    case SDL_SCANCODE_0: return Key0;
    case SDL_SCANCODE_MINUS: return KeyMinus;
    case SDL_SCANCODE_EQUALS: return KeyEquals;
    case SDL_SCANCODE_LEFTBRACKET: return KeyLeftBracket;
    case SDL_SCANCODE_RIGHTBRACKET: return KeyRightBracket;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return KeyBackslash;
    case SDL_SCANCODE_SEMICOLON: return KeySemicolon;
    case SDL_SCANCODE_APOSTROPHE: return KeyQuote;
    case SDL_SCANCODE_GRAVE: return KeyGrave;
    case SDL_SCANCODE_COMMA: return KeyComma;
    case SDL_SCANCODE_PERIOD: return KeyPeriod;
    case SDL_SCANCODE_SLASH: return KeySlash;
    case SDL_SCANCODE_NONUSBACKSLASH: return KeyExtraBackslash;
    default: return 0;
    }
}

// US punctuation by character, for key presses whose position is unknown.
uint8_t PunctuationKey(int32_t Keycode) {
    switch (Keycode) {
    case ';': return KeySemicolon;
    case '=':
    case '+': return KeyEquals;
    case ',': return KeyComma;
    case '-': return KeyMinus;
    case '.': return KeyPeriod;
    case '/': return KeySlash;
    case '`': return KeyGrave;
    case '[': return KeyLeftBracket;
    case '\\': return KeyBackslash;
    case ']': return KeyRightBracket;
    case '\'': return KeyQuote;
    case '<': return KeyExtraBackslash;
    default: return 0;
    }
}

} // namespace

uint8_t VirtualKeyFromSdl(int32_t Keycode, int32_t Scancode, uint16_t SdlModifiers) {
    if (Keycode & SDLK_SCANCODE_MASK) {
        if (!(SdlModifiers & KMOD_NUM))
            if (uint8_t Navigation = KeypadNavigation(Keycode))
                return Navigation;
        return NamedKey(Keycode);
    }
    if (Keycode >= 'a' && Keycode <= 'z')
        return static_cast<uint8_t>(KeyA + (Keycode - 'a'));
    if (Keycode >= '0' && Keycode <= '9')
        return static_cast<uint8_t>(Key0 + (Keycode - '0'));
    switch (Keycode) {
    case SDLK_BACKSPACE: return KeyBackspace;
    case SDLK_TAB: return KeyTab;
    case SDLK_RETURN: return KeyEnter;
    case SDLK_ESCAPE: return KeyEscape;
    case SDLK_SPACE: return KeySpace;
    case SDLK_DELETE: return KeyDelete;
    case SDLK_UNKNOWN: return 0;
    default: break;
    }
    // Every other key types a character: punctuation, a symbol on the digit
    // row, a letter of a non-Latin layout. Its position decides, so that each
    // key keeps one code whatever its layout prints on it; only a punctuation
    // character on a letter position (as on AZERTY and Dvorak) is named by
    // the character, or it would take the letter's code.
    uint8_t Positioned = KeyAtPosition(Scancode);
    bool LetterPosition = Positioned >= KeyA && Positioned <= KeyA + 25;
    if (Positioned != 0 && !(LetterPosition && Keycode < 0x80))
        return Positioned;
    return PunctuationKey(Keycode);
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
    switch (KeyCode) {
    case KeySpace: return ' ';
    case KeySemicolon: return ';';
    case KeyEquals: return '=';
    case KeyComma: return ',';
    case KeyMinus: return '-';
    case KeyPeriod: return '.';
    case KeySlash: return '/';
    case KeyGrave: return '`';
    case KeyLeftBracket: return '[';
    case KeyBackslash: return '\\';
    case KeyRightBracket: return ']';
    case KeyQuote: return '\'';
    case KeyExtraBackslash: return '<';
    default: return 0;
    }
}
