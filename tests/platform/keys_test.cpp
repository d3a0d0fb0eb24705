#include "platform/keys.h"

#include <SDL2/SDL_events.h>
#include <gtest/gtest.h>

namespace {

// A key-down event as SDL delivers it.
SDL_KeyboardEvent KeyDown(SDL_Keycode Sym, SDL_Scancode Scancode, uint16_t Mod) {
    SDL_KeyboardEvent Event{};
    Event.type = SDL_KEYDOWN;
    Event.state = SDL_PRESSED;
    Event.keysym.sym = Sym;
    Event.keysym.scancode = Scancode;
    Event.keysym.mod = Mod;
    return Event;
}

uint16_t ShortCutOf(const SDL_KeyboardEvent& Event) {
    return ShortCutFromSdlKey(Event.keysym.sym, Event.keysym.scancode, Event.keysym.mod);
}

TEST(Keys, KeyEventsGiveTheStoredShortCutValues) {
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_n, SDL_SCANCODE_N, KMOD_LCTRL)), 0x404E);
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_F2, SDL_SCANCODE_F2, KMOD_LALT)), 0x8071);
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_z, SDL_SCANCODE_Z, KMOD_RCTRL | KMOD_LSHIFT)), 0x605A);
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_LCTRL | KMOD_RALT)), 0xC020);
}

TEST(Keys, LockStatesAndAltGrAddNoModifier) {
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_q, SDL_SCANCODE_Q, KMOD_CAPS | KMOD_NUM)), KeyA + 16);
    // AltGr types characters ("@" on German keyboards); it is not Alt.
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_q, SDL_SCANCODE_Q, KMOD_MODE)), KeyA + 16);
}

TEST(Keys, SuperCombinationsAreLeftToTheDesktop) {
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_n, SDL_SCANCODE_N, KMOD_LGUI)), 0);
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_n, SDL_SCANCODE_N, KMOD_RGUI | KMOD_CTRL)), 0);
}

TEST(Keys, NamedKeysMapToTheirCodes) {
    struct TCase {
        SDL_Keycode Sym;
        uint8_t Code;
    };
    const TCase Cases[] = {
        {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},          {SDLK_RETURN, 13},
        {SDLK_KP_ENTER, 13},      {SDLK_ESCAPE, 27},      {SDLK_PAGEUP, 33},
        {SDLK_PAGEDOWN, 34},      {SDLK_END, 35},         {SDLK_HOME, 36},
        {SDLK_LEFT, 37},          {SDLK_UP, 38},          {SDLK_RIGHT, 39},
        {SDLK_DOWN, 40},          {SDLK_PRINTSCREEN, 44}, {SDLK_INSERT, 45},
        {SDLK_DELETE, 46},        {SDLK_PAUSE, 19},       {SDLK_0, 0x30},
        {SDLK_9, 0x39},           {SDLK_a, 0x41},         {SDLK_z, 0x5A},
        {SDLK_F1, 0x70},          {SDLK_F12, 0x7B},       {SDLK_F13, 0x7C},
        {SDLK_F24, 0x87},         {SDLK_KP_0, 0x60},      {SDLK_KP_9, 0x69},
        {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},   {SDLK_KP_MINUS, 0x6D},
        {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F}, {SDLK_LSHIFT, 16},
        {SDLK_RCTRL, 17},         {SDLK_LALT, 18},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(VirtualKeyFromSdl(Case.Sym, SDL_SCANCODE_UNKNOWN, KMOD_NUM), Case.Code)
            << SDL_GetKeyName(Case.Sym);
}

TEST(Keys, KeypadGivesNavigationKeysWithNumLockOff) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_7, SDL_SCANCODE_KP_7, KMOD_NONE), KeyHome);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NONE), KeyClear);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NONE), KeyDelete);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, KMOD_NONE), KeyPadPlus);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_7, SDL_SCANCODE_KP_7, KMOD_NUM), KeyPad0 + 7);
}

TEST(Keys, PunctuationFollowsTheKeyPosition) {
    // US layout.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 0), KeySemicolon);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 0), KeyGrave);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 0), KeyQuote);
    // German: "ß" and "-" are different keys and keep different codes.
    uint8_t SharpS = VirtualKeyFromSdl(0xDF, SDL_SCANCODE_MINUS, 0);
    uint8_t Minus = VirtualKeyFromSdl(SDLK_MINUS, SDL_SCANCODE_SLASH, 0);
    EXPECT_EQ(SharpS, KeyMinus);
    EXPECT_EQ(Minus, KeySlash);
    EXPECT_EQ(VirtualKeyFromSdl(0xF6, SDL_SCANCODE_SEMICOLON, 0), KeySemicolon); // "ö"
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 0), KeyExtraBackslash);
    // Without a known position the character decides.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_COMMA, SDL_SCANCODE_UNKNOWN, 0), KeyComma);
}

TEST(Keys, LettersAndDigitsFollowTheLayout) {
    // QWERTZ: the key labelled Z sits where US keyboards have Y.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z, SDL_SCANCODE_Y, 0), 0x5A);
    // AZERTY digit row types "&" unshifted; it is still the 1 key.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_AMPERSAND, SDL_SCANCODE_1, 0), 0x31);
    // AZERTY "," sits on the US M position and must not take M's code.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_COMMA, SDL_SCANCODE_M, 0), KeyComma);
    // Cyrillic letters give the Latin letter of their position.
    EXPECT_EQ(VirtualKeyFromSdl(0x0444, SDL_SCANCODE_A, 0), 0x41);
    EXPECT_EQ(ShortCutOf(KeyDown(0x0441, SDL_SCANCODE_C, KMOD_CTRL)), 0x4043);
}

TEST(Keys, UnknownKeysGiveNoShortCut) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0), 0);
    EXPECT_EQ(ShortCutOf(KeyDown(SDLK_KP_MEMSTORE, SDL_SCANCODE_KP_MEMSTORE, KMOD_CTRL)), 0);
    EXPECT_EQ(ShortCutFromKey(0, ShortCutCtrl), 0);
    EXPECT_EQ(ShortCutFromKey(0x100, ShortCutCtrl), 0);
    EXPECT_EQ(ShortCutFromKey(0x141, ShortCutCtrl), 0);
    // Bits other than the three modifiers are not part of a shortcut.
    EXPECT_EQ(ShortCutFromKey(0x41, 0x1F00 | ShortCutAlt), 0x8041);
}

} // namespace
