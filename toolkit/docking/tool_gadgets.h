#pragma once

#include "toolkit/controls/command_link.h"
#include "toolkit/layout/key_points.h"
#include "toolkit/widgets/flat_gadget.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TCommand;
class TToolSkin;

// What a separator in a tool bar is.
enum class TSeparatorKind : uint8_t {
    Horizontal, // a horizontal line (in a vertical bar)
    Vertical,   // a vertical line (in a horizontal bar)
    Blank,      // empty space
};

// A line or a gap between the items of a tool bar. Its thickness is Size
// pixels, or follows the skins' size percentage when SizeIsPercent.
class TSeparator : public TGadget {
public:
    static const TControlClass Class;
    // The values the designer set last; new separators start with them.
    static int32_t DefaultSize;
    static bool DefaultSizeIsPercent;

    TSeparator();
    std::string_view ClassName() const override { return "TSeparator"; }

    TSeparatorKind Kind() const { return FKind; }
    void SetKind(TSeparatorKind Kind);
    int32_t Size() const { return FSize; }
    bool SizeIsPercent() const { return FSizeIsPercent; }
    // Clamps to 1..200 (percent) or 1..255 and, when anything changed,
    // resizes the gadget to its default size keeping its centre.
    void SetSize(int32_t Size, bool IsPercent);
    // The thickness in pixels.
    int32_t PixelSize() const;

    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;
    void LoadControl(TData& Data) override;
    void SaveControl(TData& Data) override;

private:
    void Recentre();
    TSeparatorKind FKind = TSeparatorKind::Vertical;
    int32_t FSize;
    bool FSizeIsPercent;
};

// Reads the size a designer typed for a separator: leading blanks and
// signs ("-" toggles the sign), "$" for hexadecimal, digits, then an
// optional "%" after blanks. Saturates instead of overflowing; false for a
// text without digits.
bool ParseSeparatorSize(std::string_view Text, int32_t& Size, bool& IsPercent);

enum class TLabelAlign : uint8_t { Left, Center, Right };

// A caption in a tool bar.
class TLabelGadget : public TGadget {
public:
    static const TControlClass Class;
    std::string_view ClassName() const override { return "TLabelGadget"; }

    const std::string& Text() const { return FText; }
    void SetText(std::string_view Text);
    TLabelAlign Alignment = TLabelAlign::Center;

    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;
    void LoadControl(TData& Data) override;
    void SaveControl(TData& Data) override;

private:
    std::string FText;
};

// The state index a tool button paints: 0 normal, 1 hot (or designing),
// 2 pressed or checked, 3 disabled.
int32_t ToolButtonState(const TGadget& Gadget);

// A flat button bound to a command: it shows the command's caption, state
// and hint, and runs it on a click (or on the press and every repeat tick
// when the command auto-repeats). The command and the skin are not owned;
// the command registry must outlive the button.
class TToolButton : public TFlatGadget {
public:
    static const TControlClass Class;

    TToolButton() = default;
    std::string_view ClassName() const override { return "TToolButton"; }

    TCommand* Command() const { return FLink.Command(); }
    void SetCommand(TCommand* Command);
    TToolSkin* Skin() const { return FSkin; }
    void SetSkin(TToolSkin* Skin);
    const std::string& Caption() const { return FCaption; }
    const std::string& Hint() const { return FHint; }

    void Click() override;
    void Execute() override;
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;

private:
    void Follow(TCommandChangeFlags Flags);

    TCommandLink FLink{MakeDelegate<&TToolButton::Follow>(this), CommandChangeLoaded};
    TToolSkin* FSkin = nullptr;
    std::string FCaption;
    std::string FHint;
};

// A flat button with a picture of four states side by side (normal, hot,
// pressed, disabled), taken from the program's resource table by name.
class TFlatButton : public TFlatGadget {
public:
    static const TControlClass Class;
    std::string_view ClassName() const override { return "TFlatButton"; }

    // The program's picture resources: names to pictures. A name is looked
    // up here, never turned into a path.
    using TResourceTable = std::function<const TPixels*(std::string_view Name)>;
    static void SetResources(TResourceTable Table);

    const std::string& ResourceName() const { return FResourceName; }
    // Loads the named picture and cuts it into the four states; a name the
    // table does not hold raises an error and leaves no states.
    void SetResourceName(std::string_view Name);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string_view Caption);
    bool HasStates() const { return FStates[0] != nullptr; }
    TColor Color = 0; // 0: the face look; the window colour: the window look

    void Paint(TPixels& Pixels) override;
    bool DialogChar(TWidgetKeyEvent& Event) override;

private:
    std::string FResourceName;
    std::string FCaption;
    std::array<std::unique_ptr<TPixels>, 4> FStates;
};

// A small check square: a click toggles it.
class TCheckGadget : public TFlatGadget {
public:
    static const TControlClass Class;
    TCheckGadget();
    std::string_view ClassName() const override { return "TCheckGadget"; }

    bool IsChecked() const { return FIsChecked; }
    void SetIsChecked(bool Value);
    std::function<void(TCheckGadget&)> OnChange;
    bool WindowStyle = false;

    void Click() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;

private:
    bool FIsChecked = false;
};

// A button that shows a colour (its transparency over black and white).
class TColorButton : public TFlatGadget {
public:
    static const TControlClass Class;
    std::string_view ClassName() const override { return "TColorButton"; }
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Color);
    void Paint(TPixels& Pixels) override;

private:
    TColor FButtonColor = MakeColor(0, 0, 0);
};

// A horizontal value bar: press and drag (or the wheel) to set a value in
// Min..Max; the default value owns a band of pixels so that it is easy to
// hit.
class TSlideBar : public TFlatGadget {
public:
    static const TControlClass Class;
    TSlideBar();
    std::string_view ClassName() const override { return "TSlideBar"; }

    int32_t Position() const { return FPosition; }
    int32_t Min() const { return FMin; }
    int32_t Max() const { return FMax; }
    int32_t DefaultValue() const { return FDefault; }
    void SetRange(int32_t Position, int32_t Min, int32_t Max);
    void SetPosition(int32_t Position);
    void SetMax(int32_t Max);
    void SetDefaultValue(int32_t Value);
    TColor BackColor;
    TColor BarColor = MakeColor(255, 160, 0);
    bool IsTracking() const { return FIsTracking; }
    std::function<void(TSlideBar&)> OnBeginTrack;
    std::function<void(TSlideBar&, int32_t Position)> OnChange;
    std::function<void(TSlideBar&)> OnEndTrack;

    // The value at pixel X, or the pixel of a value; false when the bar
    // maps nothing (too small, or Min >= Max).
    bool ValueAt(int32_t X, int32_t& Value) const;
    bool PixelOf(int32_t Value, int32_t& X) const;

    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;
    ~TSlideBar() override;

private:
    std::optional<TKeyPoints> BuildMap(int32_t& Band) const;
    void EndTracking();
    int32_t FPosition = 0;
    int32_t FMin = 0;
    int32_t FMax = 100;
    int32_t FDefault = 0;
    bool FIsTracking = false;
};
