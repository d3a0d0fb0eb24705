#include "app/dialogs/message_form.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cmath>

namespace {

struct TButtonInfo {
    TTextSlot Caption;
    TMessageResult Result;
    TModalResult Modal; // what the pop-up reports (None: closed by hand)
};

constexpr TButtonInfo ButtonInfo[MessageButtonCount] = {
    {TTextSlot::ButtonYes, TMessageResult::Yes, TModalResult::Yes},
    {TTextSlot::ButtonNo, TMessageResult::No, TModalResult::No},
    {TTextSlot::ButtonOk, TMessageResult::Ok, TModalResult::Ok},
    {TTextSlot::ButtonCancel, TMessageResult::Cancel, TModalResult::Cancel},
    {TTextSlot::ButtonAbort, TMessageResult::Abort, TModalResult::Abort},
    {TTextSlot::ButtonRetry, TMessageResult::Retry, TModalResult::Retry},
    {TTextSlot::ButtonIgnore, TMessageResult::Ignore, TModalResult::Ignore},
    {TTextSlot::ButtonAll, TMessageResult::All, TModalResult::None},
    {TTextSlot::ButtonNoToAll, TMessageResult::NoToAll, TModalResult::None},
    {TTextSlot::ButtonYesToAll, TMessageResult::YesToAll, TModalResult::None},
    {TTextSlot::ButtonHelp, TMessageResult::None, TModalResult::None},
};

TTextSlot KindCaption(TMessageKind Kind) {
    switch (Kind) {
    case TMessageKind::Warning:
        return TTextSlot::MessageWarning;
    case TMessageKind::Error:
        return TTextSlot::MessageError;
    case TMessageKind::Information:
        return TTextSlot::MessageInformation;
    case TMessageKind::Confirmation:
        return TTextSlot::MessageConfirmation;
    case TMessageKind::Custom:
        break;
    }
    return TTextSlot::ApplicationName;
}

// A filled disc of Color centred in Box.
void Disc(TPixels& Pixels, const TRect& Box, TColor Color) {
    constexpr int Steps = 32;
    TPoint Points[Steps];
    double CX = (Box.Left + Box.Right) / 2.0, CY = (Box.Top + Box.Bottom) / 2.0, R = Box.Width() / 2.0;
    for (int Step = 0; Step < Steps; ++Step) {
        double Angle = 2 * 3.14159265358979323846 * Step / Steps;
        Points[Step] = {int32_t(std::lround(CX + R * std::cos(Angle))), int32_t(std::lround(CY + R * std::sin(Angle)))};
    }
    Pixels.FillPolygon(Points, Steps, TSmooth::Yes, Color);
}

void PaintIcon(TPixels& Pixels, const TRect& Box, TMessageKind Kind) {
    TTextAttr Mark;
    Mark.Height = -22;
    Mark.Bold = true;
    std::string_view Symbol;
    TColor Back = 0, Fore = MakeColor(255, 255, 255);
    switch (Kind) {
    case TMessageKind::Warning: {
        TPoint Triangle[] = {{Box.Left + Box.Width() / 2, Box.Top + 1}, {Box.Right - 1, Box.Bottom - 2}, {Box.Left + 1, Box.Bottom - 2}};
        Pixels.FillPolygon(Triangle, 3, TSmooth::Yes, MakeColor(0xF2, 0xB1, 0x1C));
        Fore = MakeColor(0x20, 0x20, 0x20);
        Symbol = "!";
        break;
    }
    case TMessageKind::Error:
        Back = MakeColor(0xD0, 0x33, 0x2C);
        Symbol = "x";
        break;
    case TMessageKind::Information:
        Back = MakeColor(0x2F, 0x6F, 0xC6);
        Symbol = "i";
        break;
    case TMessageKind::Confirmation:
        Back = MakeColor(0x2F, 0x6F, 0xC6);
        Symbol = "?";
        break;
    case TMessageKind::Custom:
        return;
    }
    if (Kind != TMessageKind::Warning)
        Disc(Pixels, Box, Back);
    TRect Extent = TextExtent(Symbol, Mark);
    int32_t Y = Kind == TMessageKind::Warning ? Box.Top + 8 : Box.Top + (Box.Height() - Extent.Height()) / 2;
    Pixels.DrawText(Box.Left + (Box.Width() - Extent.Width()) / 2, Y, TSmooth::Yes, Fore, Mark, Symbol);
}

} // namespace

TMessageForm::TMessageForm(const std::string& Text, TMessageKind Kind, uint16_t Buttons, int32_t HelpContext)
    : FKind(Kind), FHelpContext(HelpContext) {
    SetCaption(FormatMessageText(GetText(KindCaption(Kind)), ""));
    if ((Buttons & ((1u << MessageButtonCount) - 1)) == 0)
        Buttons = MessageButton(TMessageButton::Ok);
    const TTextAttr& Font = SkinColors().MessageFont;
    FLines = WrapText(Text, Font, 420);
    int32_t TextWidth = 0;
    for (const std::string& Line : FLines)
        TextWidth = std::max(TextWidth, TextExtent(Line, Font).Right);
    TTextInfo Info;
    MeasureText("Ag", Font, TTextMode::Plain, Info);
    int32_t TextHeight = int32_t(FLines.size()) * Info.LineHeight;
    bool HasIcon = Kind != TMessageKind::Custom;
    FTextLeft = Margin + (HasIcon ? IconSize + Margin : 0);

    int32_t Count = 0;
    for (int32_t Index = 0; Index < MessageButtonCount; ++Index)
        Count += (Buttons >> Index) & 1;
    int32_t ButtonsWidth = Count * ButtonWidth + (Count - 1) * ButtonGap;
    int32_t Width = std::max(FTextLeft + TextWidth + Margin, ButtonsWidth + 2 * Margin);
    int32_t Body = std::max(TextHeight, HasIcon ? IconSize : 0);
    int32_t ButtonTop = CaptionHeight() + Margin + Body + Margin;
    SetClientSize(Width, ButtonTop + ButtonHeight + Margin);

    int32_t X = (Width - ButtonsWidth) / 2;
    TDialogButton* Default = nullptr;
    for (int32_t Index = 0; Index < MessageButtonCount; ++Index) {
        if (((Buttons >> Index) & 1) == 0)
            continue;
        const TButtonInfo& Entry = ButtonInfo[Index];
        auto& Button = Add<TDialogButton>();
        Button.SetBounds(TRect::FromSize(X, ButtonTop, ButtonWidth, ButtonHeight));
        Button.SetCaption(GetText(Entry.Caption));
        Button.SetValue(Entry.Modal);
        Button.SetTabStop(true);
        X += ButtonWidth + ButtonGap;
        FButtons[Index] = &Button;
        if (TMessageButton(Index) == TMessageButton::Help) {
            Button.OnClick = [this] {
                if (OnHelp)
                    OnHelp(FHelpContext);
            };
            continue;
        }
        TMessageResult Result = Entry.Result;
        bool ClosesByHand = Entry.Modal == TModalResult::None;
        Button.OnClick = [this, Result, ClosesByHand] {
            FResult = Result;
            if (ClosesByHand)
                ClosePopup(true);
        };
    }
    for (TMessageButton Candidate : {TMessageButton::Ok, TMessageButton::Yes})
        if (!Default && FButtons[uint8_t(Candidate)])
            Default = FButtons[uint8_t(Candidate)];
    if (Default)
        Default->SetDefault(true);
    for (TMessageButton Candidate : {TMessageButton::Cancel, TMessageButton::No, TMessageButton::Ok})
        if (!FEscapeButton && FButtons[uint8_t(Candidate)])
            FEscapeButton = FButtons[uint8_t(Candidate)];
}

TMessageResult TMessageForm::Execute(TWindowSystem& System) {
    FResult = TMessageResult::None;
    TModalResult Modal = ShowModal(System);
    // Enter without a default button, or the pop-up closed from outside.
    if (FResult == TMessageResult::None && Modal == TModalResult::Cancel)
        FResult = TMessageResult::Cancel;
    return FResult;
}

void TMessageForm::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Key == KeyEscape && FEscapeButton) {
        Event.Accept();
        FEscapeButton->Click();
        return;
    }
    TDialogForm::KeyDown(Event);
}

void TMessageForm::Paint(TPixels& Pixels) {
    TDialogForm::Paint(Pixels);
    int32_t Top = CaptionHeight() + Margin;
    PaintIcon(Pixels, TRect::FromSize(Margin, Top, IconSize, IconSize), FKind);
    const TSkinColors& Skin = SkinColors();
    TTextInfo Info;
    MeasureText("Ag", Skin.MessageFont, TTextMode::Plain, Info);
    for (const std::string& Line : FLines) {
        Pixels.DrawText(FTextLeft, Top, TSmooth::Yes, AlphaColor(Skin.TextColor, 255), Skin.MessageFont, Line);
        Top += Info.LineHeight;
    }
}

TMessageResult MessageDialog(TWindowSystem& System, const std::string& Text, TMessageKind Kind, uint16_t Buttons,
                             int32_t HelpContext) {
    TMessageForm Form(Text, Kind, Buttons, HelpContext);
    return Form.Execute(System);
}
