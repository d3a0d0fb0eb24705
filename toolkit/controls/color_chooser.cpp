#include "toolkit/controls/color_chooser.h"

#include "canvas/color_hsv.h"
#include "core/text_table.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/skin/skin_colors.h"

namespace {

constexpr TColor Black = MakeColor(0, 0, 0, 255);

// A caption beside a number field: the text, left-aligned and centred
// vertically, in the skin's text colour.
class TChooserLabel : public TWidget {
public:
    explicit TChooserLabel(std::string Text) : FText(std::move(Text)) {
        TTextInfo Info;
        MeasureText(FText, SkinColors().MessageFont, TTextMode::Plain, Info);
        SetBounds({0, 0, Info.Width + 1, Info.TotalHeight});
    }
    std::string_view ClassName() const override { return "TChooserLabel"; }

    void Paint(TPixels& Pixels) override {
        TTextInfo Info;
        MeasureText(FText, SkinColors().MessageFont, TTextMode::Plain, Info);
        TColor Color = IsEnabledInTree() ? SkinColors().TextColor : SkinColors().DisabledTextColor;
        Pixels.DrawText(0, (Height() - Info.TotalHeight) / 2, TSmooth::Yes, AlphaColor(Color, 255),
                        SkinColors().MessageFont, FText);
    }

private:
    std::string FText;
};

TColor WithChannel(TColor Color, TColorChooser::TField Field, int32_t Value) {
    auto Byte = uint8_t(Value);
    switch (Field) {
    case TColorChooser::TField::Red:
        return MakeColor(Byte, ColorGreen(Color), ColorBlue(Color), ColorAlpha(Color));
    case TColorChooser::TField::Green:
        return MakeColor(ColorRed(Color), Byte, ColorBlue(Color), ColorAlpha(Color));
    case TColorChooser::TField::Blue:
        return MakeColor(ColorRed(Color), ColorGreen(Color), Byte, ColorAlpha(Color));
    default:
        return AlphaColor(Color, Byte);
    }
}

} // namespace

TColorChooser::TColorChooser() {
    FColorBox = &Add<TColorBox>();
    FAlphaBox = &Add<TColorAlphaBox>();
    for (size_t I = 0; I < FieldCount; ++I) {
        TColorChooserEdit& Edit = Add<TColorChooserEdit>();
        int32_t Width = 0, Height = 0;
        Edit.GetDefaultSize(Width, Height);
        Edit.SetBounds({0, 0, Width, Height});
        FFields[I] = &Edit;
    }
    Field(TField::Hue).SetWrapping(true);
    FClose = &Add<TDialogButton>();
    FClose->SetCaption(GetText(TTextSlot::ColorChooserClose));
    FClose->SetValue(TModalResult::Ok);
    FClose->SetDefault(true);
    FClose->SetBounds({0, 0, 73, 25});

    FColorBox->OnChange = [this] {
        TColor Chosen = FColorBox->ChosenColor();
        // A transparent colour takes the swatch's alpha too, so that it shows.
        uint8_t Alpha = ColorAlpha(FColor) == 0 ? ColorAlpha(Chosen) : ColorAlpha(FColor);
        PartChanged(TSource::ColorBox, AlphaColor(Chosen, Alpha));
    };
    FAlphaBox->OnChange = [this] {
        PartChanged(TSource::AlphaBox, AlphaColor(FColor, ColorAlpha(FAlphaBox->ChosenColor())));
    };
    for (TField Which : {TField::Red, TField::Green, TField::Blue, TField::Alpha})
        Field(Which).OnChange = [this, Which] {
            PartChanged(Which == TField::Alpha ? TSource::Alpha : TSource::Rgb,
                        WithChannel(FColor, Which, Field(Which).Value()));
        };
    for (TField Which : {TField::Hue, TField::Saturation, TField::Value})
        Field(Which).OnChange = [this] {
            TColor Hsv = MakeHsv(uint8_t(Field(TField::Hue).Value()), uint8_t(Field(TField::Saturation).Value()),
                                 uint8_t(Field(TField::Value).Value()), ColorAlpha(FColor));
            PartChanged(TSource::Hsv, HsvToRgb(Hsv));
        };

    BuildLayout();
    ShowColor(TSource::None);
}

TColorChooser::~TColorChooser() = default;

void TColorChooser::BuildLayout() {
    auto Space = [this](TTable& Node, int32_t Size) {
        auto Hook = std::make_unique<TSpaceTableHook>(Size);
        Node.SetHook(Hook.get());
        FHooks.push_back(std::move(Hook));
    };
    auto Place = [this](TTable& Node, TWidget& Control, TTableAlign Horz = TTableAlign::CenterFixed) {
        auto Hook = std::make_unique<TControlTableHook>(Control);
        Hook->HorzAlign = Horz;
        Node.SetHook(Hook.get());
        FHooks.push_back(std::move(Hook));
    };
    auto Label = [this](TTextSlot Slot) -> TWidget& { return Add<TChooserLabel>(GetText(Slot)); };

    Space(FTable.AddChild(0, 0), 4);
    TTable& Main = FTable.AddChild(1, 0);
    Space(FTable.AddChild(2, 0), 4);

    Space(Main.AddChild(0, 0), 6);
    Place(Main.AddChild(0, 1), *FColorBox);
    Space(Main.AddChild(0, 2), 8);
    TTable& Column = Main.AddChild(0, 3);
    Space(Main.AddChild(0, 4), 8);
    Place(Main.AddChild(0, 5), *FAlphaBox);
    Space(Main.AddChild(0, 6), 8);

    Space(Column.AddChild(0, 0), 8);
    TTable& Grid = Column.AddChild(1, 0);
    Space(Column.AddChild(2, 0), 4);
    TTable& AlphaRow = Column.AddChild(3, 0);
    Space(Column.AddChild(4, 0), 6);
    Place(Column.AddChild(5, 0), *FClose);
    Space(Column.AddChild(6, 0), 2);

    const TTextSlot Captions[] = {TTextSlot::ColorChooserRed, TTextSlot::ColorChooserGreen,
                                  TTextSlot::ColorChooserBlue, TTextSlot::ColorChooserHue,
                                  TTextSlot::ColorChooserSaturation, TTextSlot::ColorChooserValue};
    for (int32_t I = 0; I < 6; ++I) {
        int32_t Row = (I % 3) * 2, Col = I < 3 ? 0 : 4;
        Place(Grid.AddChild(Row, Col), Label(Captions[I]), TTableAlign::Near);
        Space(Grid.AddChild(Row, Col + 1), 4);
        Place(Grid.AddChild(Row, Col + 2), *FFields[size_t(I)]);
    }
    Space(Grid.AddChild(1, 0), 2);
    Space(Grid.AddChild(3, 0), 2);
    Space(Grid.AddChild(0, 3), 16);

    Place(AlphaRow.AddChild(0, 0), Label(TTextSlot::ColorChooserAlpha), TTableAlign::Near);
    Space(AlphaRow.AddChild(0, 1), 8);
    Place(AlphaRow.AddChild(0, 2), Field(TField::Alpha));

    FTable.Update();
    SetBounds({0, 0, FTable.Width() + 2 * Border(), FTable.Height() + 2 * Border()});
}

void TColorChooser::Layout() {
    TRect Client = ClientRect();
    FTable.SetBounds({0, 0, Client.Width(), Client.Height()});
}

void TColorChooser::PaintFrame(TPixels& Pixels) {
    TRect Outer{0, 0, Width(), Height()};
    TColor Caption = SystemColors().Highlight;
    Pixels.FrameRect(Outer, AlphaColor(MixColors(Caption, Black, 192), 255));
    Pixels.FillBand(Outer.Inflated(-1, -1), ClientRect(), AlphaColor(Caption, 255));
}

void TColorChooser::SetColor(TColor Color) {
    FColor = Color;
    ShowColor(TSource::None);
}

bool TColorChooser::PopupAt(TWindowSystem& System, int32_t X, int32_t Y, TWidget* Control) {
    ShowColor(TSource::None);
    TWeakPtr Life(this);
    bool Accepted = Popup(System, X, Y, Control);
    if (Life.IsExpired())
        return false;
    FColorBox->ClearEditTarget();
    FAlphaBox->ClearEditTarget();
    return Accepted;
}

void TColorChooser::PartChanged(TSource Source, TColor NewColor) {
    if (FIsUpdating)
        return;
    FColor = NewColor;
    TWeakPtr Life(this);
    ShowColor(Source);
    if (Life.IsExpired())
        return;
    if (std::function<void()> Handler = OnChange)
        Handler();
}

void TColorChooser::ShowColor(TSource Source) {
    FIsUpdating = true;
    if (Source != TSource::ColorBox)
        FColorBox->SetChosenColorQuietly(FColor);
    if (Source != TSource::AlphaBox)
        FAlphaBox->SetChosenColorQuietly(FColor);
    Field(TField::Red).SetValue(ColorRed(FColor));
    Field(TField::Green).SetValue(ColorGreen(FColor));
    Field(TField::Blue).SetValue(ColorBlue(FColor));
    // The fields the user moves keep their values: a grey has no hue, yet
    // the hue field must not jump back to 0 while the saturation is 0.
    if (Source != TSource::Hsv) {
        TColor Hsv = RgbToHsv(FColor);
        Field(TField::Hue).SetValue(HsvHue(Hsv));
        Field(TField::Saturation).SetValue(HsvSaturation(Hsv));
        Field(TField::Value).SetValue(HsvValue(Hsv));
    }
    Field(TField::Alpha).SetValue(ColorAlpha(FColor));
    FIsUpdating = false;
}
