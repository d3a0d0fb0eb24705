#pragma once

#include "core/object.h"
#include "platform/keys.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The desktop's system-wide hot keys: key combinations reported to the
// program even when they produce no ordinary key press.
class THotKeyRegistry {
public:
    virtual ~THotKeyRegistry() = default;
    virtual void RegisterHotKey(int32_t Identifier, uint16_t ShortCut) = 0;
    virtual void UnregisterHotKey(int32_t Identifier) = 0;
};

// Print Screen with each of the eight modifier combinations; each hot key's
// identifier is its shortcut value. Print Screen gives no ordinary key
// press on many desktops, so the form asks for it as hot keys.
constexpr std::array<uint16_t, 8> PrintScreenHotKeys = {
    KeyPrintScreen,
    ShortCutShift | KeyPrintScreen,
    ShortCutCtrl | KeyPrintScreen,
    ShortCutAlt | KeyPrintScreen,
    ShortCutShift | ShortCutCtrl | KeyPrintScreen,
    ShortCutShift | ShortCutAlt | KeyPrintScreen,
    ShortCutCtrl | ShortCutAlt | KeyPrintScreen,
    ShortCutShift | ShortCutCtrl | ShortCutAlt | KeyPrintScreen};

enum class TShortCutFormResult { None, Ok, Cancel };

// The small modal form that captures one key combination for a command.
// This is its logic, without a window: the window delivers key presses (as
// shortcut values) and hot-key notifications, and closes when ModalResult
// is no longer None. While a form exists it is Current(), and key dispatch
// leaves every key to it.
class TShortCutForm : public TObject {
public:
    // Hot keys, when given, are registered while the form is shown.
    explicit TShortCutForm(THotKeyRegistry* HotKeys = nullptr);
    ~TShortCutForm() override;
    TShortCutForm(const TShortCutForm&) = delete;
    TShortCutForm& operator=(const TShortCutForm&) = delete;

    std::string_view ClassName() const override { return "TShortCutForm"; }

    static TShortCutForm* Current();

    const std::string& Caption() const { return FCaption; }
    const std::string& Prompt() const { return FPrompt; }

    void Show();
    void Hide();
    bool Showing() const { return FShowing; }

    // A key press. Escape alone cancels; a combination with a key name closes
    // the form with it; a lone modifier key keeps it open.
    void KeyDown(uint16_t Value);
    // A hot-key notification, its identifier being the shortcut value.
    void HotKey(int32_t Identifier);

    TShortCutFormResult ModalResult() const { return FModalResult; }
    uint16_t Value() const { return FValue; }

private:
    void Accept(int32_t Value);

    THotKeyRegistry* FHotKeys;
    std::string FCaption;
    std::string FPrompt;
    bool FShowing = false;
    TShortCutFormResult FModalResult = TShortCutFormResult::None;
    uint16_t FValue = 0;
};

// Runs a shown form modally: delivers the user's key presses to it until it
// has a modal result or the user closes its window.
using TShortCutFormLoop = std::function<void(TShortCutForm& Form)>;

// Shows the shortcut form modally. True with the captured value in Value
// when the user pressed an acceptable combination; false when cancelled,
// when the window was closed without one, or when a form is already open.
bool DefineShortCut(uint16_t& Value, const TShortCutFormLoop& RunModal,
                    THotKeyRegistry* HotKeys = nullptr);
