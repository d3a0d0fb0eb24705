#include "app/dialogs/about_form.h"

#include "app/dialogs/artwork.h"
#include "canvas/text_attr.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget_events.h"

#include <sstream>

#ifndef QM_VERSION
#error "QM_VERSION names the program's version"
#endif

std::string ProgramVersion() {
    // CMake's project version has up to four numbers; missing ones are 0.
    std::istringstream In(QM_VERSION);
    std::string Part, Result;
    int Count = 0;
    while (Count < 4 && std::getline(In, Part, '.')) {
        Result += (Count ? "." : "") + Part;
        ++Count;
    }
    for (; Count < 4; ++Count)
        Result += Count ? ".0" : "0";
    return Result;
}

TAboutForm::TAboutForm() : FPicture(AboutWidth, AboutHeight) {
    SetBorder(1);
    FCaption = FormatMessageText(GetText(TTextSlot::AboutCaption), ProgramVersion());
    PaintAboutPicture(FPicture);
    // Arial on 13-pixel lines, so that the three lines fill the 39 pixels
    // at the bottom and the first line clears the copyright line above.
    TTextAttr Font;
    Font.FontName = "Arial";
    Font.Height = -11;
    TColor Ink = MakeColor(0, 0, 0, 128);
    int32_t Bottom = AboutHeight;
    FPicture.DrawText(8, Bottom - 50, TSmooth::Yes, Ink, Font, GetText(TTextSlot::AboutCopyright));
    TRect Extent = TextExtent(FCaption, Font);
    FPicture.DrawText(AboutWidth - 16 - Extent.Right, Bottom - 50, TSmooth::Yes, Ink, Font, FCaption);
    int32_t Y = Bottom - 39;
    for (TTextSlot Slot : {TTextSlot::AboutLine1, TTextSlot::AboutLine2, TTextSlot::AboutLine3}) {
        FPicture.DrawText(8, Y, TSmooth::Yes, Ink, Font, GetText(Slot));
        Y += AboutLineHeight;
    }
    SetBounds(TRect::FromSize(0, 0, AboutWidth + 2 * Border(), AboutHeight + 2 * Border()));
}

void TAboutForm::Execute(TWindowSystem& System) {
    TRect Work = System.DesktopWorkArea();
    Popup(System, Work.Left + (Work.Width() - Width()) / 2, Work.Top + (Work.Height() - Height()) / 2, nullptr);
}

void TAboutForm::Paint(TPixels& Pixels) {
    Pixels.CopyFrom(0, 0, FPicture);
}

void TAboutForm::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Key == KeyEnter || Event.Key == KeyEscape || Event.Key == KeySpace) {
        Event.Accept();
        ClosePopup(Event.Key != KeyEscape);
        return;
    }
    TPopupWidget::KeyDown(Event);
}

void TAboutForm::MouseDown(TWidgetMouseEvent& Event) {
    Event.Accept();
    ClosePopup(true);
}
