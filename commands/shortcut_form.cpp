#include "commands/shortcut_form.h"

#include "commands/shortcut.h"
#include "core/text_table.h"

#include <cassert>

namespace {

TShortCutForm* CurrentForm = nullptr;

} // namespace

TShortCutForm::TShortCutForm(THotKeyRegistry* HotKeys)
    : FHotKeys(HotKeys), FCaption(GetText(TTextSlot::ShortCutFormCaption)),
      FPrompt(GetText(TTextSlot::ShortCutFormPrompt)) {
    assert(!CurrentForm && "one shortcut form at a time");
    CurrentForm = this;
}

TShortCutForm::~TShortCutForm() {
    Hide();
    if (CurrentForm == this)
        CurrentForm = nullptr;
}

TShortCutForm* TShortCutForm::Current() {
    return CurrentForm;
}

void TShortCutForm::Show() {
    if (FShowing)
        return;
    FShowing = true;
    if (FHotKeys)
        for (uint16_t Key : PrintScreenHotKeys)
            FHotKeys->RegisterHotKey(Key, Key);
}

void TShortCutForm::Hide() {
    if (!FShowing)
        return;
    FShowing = false;
    if (FHotKeys)
        for (uint16_t Key : PrintScreenHotKeys)
            FHotKeys->UnregisterHotKey(Key);
}

void TShortCutForm::KeyDown(uint16_t Value) {
    if (FModalResult != TShortCutFormResult::None)
        return;
    if (Value == KeyEscape) {
        FModalResult = TShortCutFormResult::Cancel;
        return;
    }
    Accept(Value);
}

void TShortCutForm::HotKey(int32_t Identifier) {
    if (FModalResult == TShortCutFormResult::None)
        Accept(Identifier);
}

void TShortCutForm::Accept(int32_t Value) {
    if (!IsValidShortCut(Value))
        return;
    FValue = static_cast<uint16_t>(Value);
    FModalResult = TShortCutFormResult::Ok;
}

bool DefineShortCut(uint16_t& Value, const TShortCutFormLoop& RunModal, THotKeyRegistry* HotKeys) {
    if (TShortCutForm::Current())
        return false;
    // The form's destructor hides it and clears the global reference on
    // every path, exceptions from the modal loop included.
    TShortCutForm Form(HotKeys);
    Form.Show();
    RunModal(Form);
    Form.Hide();
    if (Form.ModalResult() != TShortCutFormResult::Ok)
        return false;
    Value = Form.Value();
    return true;
}
