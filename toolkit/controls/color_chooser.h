#pragma once

#include "toolkit/controls/color_box.h"
#include "toolkit/controls/up_down_edit.h"
#include "toolkit/layout/table.h"
#include "toolkit/widgets/popup_widget.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TDialogButton;
class TWindowSystem;

// The pop-up that edits one colour with alpha: the shared palette, the
// alpha column, and number fields (0..255, always editing) for red, green,
// blue, hue (wrapping), saturation, value and alpha, all kept in step: a
// change in any part updates the colour and then every other part, and
// runs OnChange. Enter or the close button accept, Escape cancels.
//
//   TColorChooser Chooser;
//   Chooser.SetColor(Title.Color());
//   Chooser.OnChange = [&] { Preview(Chooser.Color()); };
//   if (Chooser.PopupAt(System, At.X, At.Y, &Button))
//       Title.SetColor(Chooser.Color());
class TColorChooser : public TPopupWidget {
public:
    enum class TField : uint8_t { Red, Green, Blue, Hue, Saturation, Value, Alpha };
    static constexpr size_t FieldCount = 7;

    TColorChooser();
    ~TColorChooser() override;
    std::string_view ClassName() const override { return "TColorChooser"; }

    TColor Color() const { return FColor; }
    // Sets the colour and shows it in every part, without OnChange.
    void SetColor(TColor Color);

    // Shows every part with the colour, runs the pop-up at (X, Y) beside
    // Control, then ends both boxes' edit targets. True when accepted.
    bool PopupAt(TWindowSystem& System, int32_t X, int32_t Y, TWidget* Control);

    TColorBox& ColorBox() const { return *FColorBox; }
    TColorAlphaBox& AlphaBox() const { return *FAlphaBox; }
    TColorChooserEdit& Field(TField Which) const { return *FFields[size_t(Which)]; }
    TDialogButton& CloseButton() const { return *FClose; }

    std::function<void()> OnChange;

    void Layout() override;
    void PaintFrame(TPixels& Pixels) override;

private:
    // Where a change came from, so that part is not written back.
    enum class TSource : uint8_t { None, ColorBox, AlphaBox, Rgb, Hsv, Alpha };

    void BuildLayout();
    void PartChanged(TSource Source, TColor NewColor);
    void ShowColor(TSource Source);

    TColor FColor = MakeColor(255, 255, 255, 255);
    bool FIsUpdating = false;
    TColorBox* FColorBox;
    TColorAlphaBox* FAlphaBox;
    std::array<TColorChooserEdit*, FieldCount> FFields{};
    TDialogButton* FClose;
    // The hooks first, so the table lets go of them before they go.
    std::vector<std::unique_ptr<TTableHook>> FHooks;
    TTable FTable;
};
