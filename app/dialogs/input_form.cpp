#include "app/dialogs/input_form.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/text_table.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/skin/skin_colors.h"

namespace {

int32_t LineHeight() {
    TTextInfo Info;
    MeasureText("Ag", SkinColors().MessageFont, TTextMode::Plain, Info);
    return Info.LineHeight;
}

} // namespace

TInputForm::TInputForm() {
    FEdit = &Add<TEditControl>();
    FOk = &Add<TDialogButton>();
    FOk->SetCaption(GetText(TTextSlot::ButtonOk));
    FOk->SetValue(TModalResult::Ok);
    FOk->SetDefault(true);
    FCancel = &Add<TDialogButton>();
    FCancel->SetCaption(GetText(TTextSlot::ButtonCancel));
    FCancel->SetValue(TModalResult::Cancel);
    int32_t Width = EditWidth + 2 * Margin;
    int32_t Y = CaptionHeight() + Margin + LineHeight() + 4;
    int32_t EditHeight = FEdit->DefaultHeight();
    FEdit->SetBounds(TRect::FromSize(Margin, Y, EditWidth, EditHeight));
    Y += EditHeight + Margin;
    int32_t X = Width - Margin - 2 * ButtonWidth - ButtonGap;
    FOk->SetBounds(TRect::FromSize(X, Y, ButtonWidth, ButtonHeight));
    FCancel->SetBounds(TRect::FromSize(X + ButtonWidth + ButtonGap, Y, ButtonWidth, ButtonHeight));
    SetClientSize(Width, Y + ButtonHeight + Margin);
}

bool TInputForm::Execute(TWindowSystem& System, const std::string& Caption, const std::string& Prompt,
                         std::string& Text) {
    SetCaption(Caption);
    FPrompt = Prompt;
    FEdit->SetText(Text);
    FEdit->SelectAll();
    FEdit->SetTabStop(true);
    // The edit box takes the focus as soon as the dialog's window is up.
    System.Messages().Post([Edit = TWeakPtr(FEdit)] {
        if (Edit)
            Edit->SetFocus();
    });
    TModalResult Result = ShowModal(System);
    Text = FEdit->Text();
    return Result == TModalResult::Ok;
}

void TInputForm::Paint(TPixels& Pixels) {
    TDialogForm::Paint(Pixels);
    const TSkinColors& Skin = SkinColors();
    Pixels.DrawText(Margin, CaptionHeight() + Margin, TSmooth::Yes, AlphaColor(Skin.TextColor, 255),
                    Skin.MessageFont, FPrompt);
}
