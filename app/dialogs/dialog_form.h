#pragma once

#include "toolkit/widgets/popup_widget.h"

#include <string>
#include <vector>

struct TTextAttr;

// The shell's small modal dialogs: a pop-up with a caption strip across its
// top, centred on the desktop's work area and run by ShowModal until one of
// its buttons (or Enter, Escape) closes it.
//
//   TInputForm Form;            // a TDialogForm
//   if (Form.ShowModal(System) == TModalResult::Ok) ...
class TDialogForm : public TPopupWidget {
public:
    static constexpr int32_t Margin = 12;
    static constexpr int32_t ButtonWidth = 80;
    static constexpr int32_t ButtonHeight = 26;
    static constexpr int32_t ButtonGap = 8;

    std::string_view ClassName() const override { return "TDialogForm"; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string Caption);
    // The height of the caption strip (client coordinates start above it).
    int32_t CaptionHeight() const;

    // Makes the pop-up's size fit a client area of ClientWidth x ClientHeight
    // (below the caption strip included).
    void SetClientSize(int32_t ClientWidth, int32_t ClientHeight);

    // Shows the dialog centred on the work area and runs it; the button (or
    // key) that closed it.
    TModalResult ShowModal(TWindowSystem& System);

    void Paint(TPixels& Pixels) override;

private:
    std::string FCaption;
};

// Text broken into lines no wider than Width: at line breaks, and at
// blanks where a line would grow too wide (a single word wider than Width
// keeps a line of its own).
std::vector<std::string> WrapText(const std::string& Text, const TTextAttr& Font, int32_t Width);
