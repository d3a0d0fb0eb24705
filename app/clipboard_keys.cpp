#include "app/clipboard_keys.h"

#include "platform/clipboard.h"
#include "platform/keys.h"
#include "project/clipboard.h"
#include "project/project.h"

namespace {

enum class TClipboardAction : uint8_t { None, Copy, Cut, Paste };

constexpr uint8_t Letter(char Character) {
    return uint8_t(KeyA + (Character - 'A'));
}

TClipboardAction ActionOf(uint8_t Key, uint16_t Modifiers) {
    if (Modifiers == ShortCutCtrl) {
        if (Key == Letter('C') || Key == KeyInsert)
            return TClipboardAction::Copy;
        if (Key == Letter('X'))
            return TClipboardAction::Cut;
        if (Key == Letter('V'))
            return TClipboardAction::Paste;
    } else if (Modifiers == ShortCutShift) {
        if (Key == KeyDelete)
            return TClipboardAction::Cut;
        if (Key == KeyInsert)
            return TClipboardAction::Paste;
    }
    return TClipboardAction::None;
}

} // namespace

bool HandleClipboardKey(TProject& Project, TClipboard& Clipboard, uint8_t Key, uint16_t Modifiers) {
    TClipboardAction Action = ActionOf(Key, Modifiers);
    if (Action == TClipboardAction::None)
        return false;
    if (Project.Tracking())
        return true;
    TProjectClipboard Edit(Project, Clipboard);
    switch (Action) {
    case TClipboardAction::Copy:
    case TClipboardAction::Cut:
        if (Project.HasSelection())
            Edit.Copy(Action == TClipboardAction::Cut ? TCopyMode::Cut : TCopyMode::Copy);
        break;
    case TClipboardAction::Paste:
        if (Edit.CanPaste())
            Edit.Paste({});
        break;
    case TClipboardAction::None:
        break;
    }
    return true;
}
