#include "app/dialogs/dialog_form.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "platform/window/window_system.h"
#include "toolkit/skin/skin_colors.h"

void TDialogForm::SetCaption(std::string Caption) {
    FCaption = std::move(Caption);
    Invalidate();
}

int32_t TDialogForm::CaptionHeight() const {
    TTextInfo Info;
    MeasureText("Ag", SkinColors().MessageFont, TTextMode::Plain, Info);
    return Info.LineHeight + 10;
}

void TDialogForm::SetClientSize(int32_t ClientWidth, int32_t ClientHeight) {
    SetBounds(TRect::FromSize(Bounds().Left, Bounds().Top, ClientWidth + 2 * Border(), ClientHeight + 2 * Border()));
}

TModalResult TDialogForm::ShowModal(TWindowSystem& System) {
    TRect Work = System.DesktopWorkArea();
    int32_t X = Work.Left + (Work.Width() - Width()) / 2;
    int32_t Y = Work.Top + (Work.Height() - Height()) / 2;
    Popup(System, X, Y, nullptr);
    return ModalResult();
}

void TDialogForm::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    TRect Client{0, 0, ClientRect().Width(), ClientRect().Height()};
    Pixels.FillRect(Client, AlphaColor(Skin.FaceColor, 255));
    int32_t Strip = CaptionHeight();
    TRect Caption{Client.Left, Client.Top, Client.Right, Client.Top + Strip};
    Pixels.FillRect(Caption, AlphaColor(Skin.ShadowColor, 255));
    TTextAttr Font = Skin.MessageFont;
    Font.Bold = true;
    TTextInfo Info;
    MeasureText("Ag", Font, TTextMode::Plain, Info);
    Pixels.DrawText(Client.Left + Margin, Client.Top + (Strip - Info.LineHeight) / 2, TSmooth::Yes,
                    AlphaColor(Skin.FaceColor, 255), Font, FCaption);
}

std::vector<std::string> WrapText(const std::string& Text, const TTextAttr& Font, int32_t Width) {
    std::vector<std::string> Result;
    size_t Start = 0;
    while (Start <= Text.size()) {
        size_t End = Text.find('\n', Start);
        std::string Paragraph = Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
        std::string Line;
        size_t WordStart = 0;
        while (WordStart < Paragraph.size()) {
            size_t WordEnd = Paragraph.find(' ', WordStart);
            std::string Word =
                Paragraph.substr(WordStart, WordEnd == std::string::npos ? std::string::npos : WordEnd - WordStart);
            WordStart = WordEnd == std::string::npos ? Paragraph.size() : WordEnd + 1;
            std::string Longer = Line.empty() ? Word : Line + " " + Word;
            if (!Line.empty() && TextExtent(Longer, Font).Right > Width) {
                Result.push_back(Line);
                Line = Word;
            } else {
                Line = Longer;
            }
        }
        Result.push_back(Line);
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
    return Result;
}
