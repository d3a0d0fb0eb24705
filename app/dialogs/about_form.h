#pragma once

#include "app/dialogs/dialog_form.h"
#include "canvas/pixels.h"

#include <string>

// The about box: the about picture with the program's texts over it in
// small Arial, black at half opacity: the copyright line 8 pixels in from the
// left and 50 above the bottom, the caption with the version right-aligned
// 16 pixels from the right on the same line, and three lines below from 39
// pixels above the bottom. Enter, Escape and Space close it.
class TAboutForm : public TPopupWidget {
public:
    static constexpr int32_t AboutLineHeight = 13;

    TAboutForm();
    std::string_view ClassName() const override { return "TAboutForm"; }

    // "Quillmoor 0.1.0.0": the program's name with its version.
    const std::string& Caption() const { return FCaption; }
    // Shows the box centred on the work area until a key or click closes it.
    void Execute(TWindowSystem& System);

    // The picture with its texts, as shown.
    const TPixels& Picture() const { return FPicture; }
    void Paint(TPixels& Pixels) override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void MouseDown(TWidgetMouseEvent& Event) override;

private:
    std::string FCaption;
    TPixels FPicture;
};

// The program's version as four numbers joined by "." (major, minor,
// release, build).
std::string ProgramVersion();
