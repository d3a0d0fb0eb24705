#include "toolkit/docking/tool_gadgets.h"

#include "canvas/text_attr.h"
#include "commands/command.h"
#include "core/data.h"
#include "platform/keys.h"
#include "toolkit/docking/dock.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

const TControlClass TSeparator::Class{"TSeparator", &TGadget::Class, CreateControlOf<TSeparator>};
const TControlClass TLabelGadget::Class{"TLabelGadget", &TGadget::Class, CreateControlOf<TLabelGadget>};
const TControlClass TToolButton::Class{"TToolButton", &TFlatGadget::Class, CreateControlOf<TToolButton>};
const TControlClass TFlatButton::Class{"TFlatButton", &TFlatGadget::Class, CreateControlOf<TFlatButton>};
const TControlClass TCheckGadget::Class{"TCheckGadget", &TFlatGadget::Class, CreateControlOf<TCheckGadget>};
const TControlClass TColorButton::Class{"TColorButton", &TFlatGadget::Class, CreateControlOf<TColorButton>};
const TControlClass TSlideBar::Class{"TSlideBar", &TFlatGadget::Class, CreateControlOf<TSlideBar>};

namespace {

const TColor White = MakeColor(255, 255, 255);
const TColor Black = MakeColor(0, 0, 0);

// Asks the dock holding Gadget to lay out again, or resizes the gadget to
// its default size around its centre when it is in no dock.
void DefaultSizeChanged(TGadget& Gadget) {
    if (auto* Dock = dynamic_cast<TDock*>(Gadget.Parent()); Dock && Dock->FindItem(Gadget)) {
        Dock->Relayout();
        return;
    }
    int32_t W = 0, H = 0;
    if (!Gadget.GetDefaultSize(W, H))
        return;
    const TRect B = Gadget.Bounds();
    const int32_t CX = B.Left + B.Width() / 2, CY = B.Top + B.Height() / 2;
    Gadget.SetBounds(TRect::FromSize(CX - W / 2, CY - H / 2, W, H));
}

void DesignOutline(TPixels& Pixels, int32_t W, int32_t H) {
    Pixels.FrameRect({0, 0, W, H}, SystemColors().ButtonHighlight);
}

} // namespace

// ---- TSeparator

int32_t TSeparator::DefaultSize = 8;
bool TSeparator::DefaultSizeIsPercent = false;

TSeparator::TSeparator() : FSize(DefaultSize), FSizeIsPercent(DefaultSizeIsPercent) {}

int32_t TSeparator::PixelSize() const {
    if (!FSizeIsPercent)
        return FSize;
    return int32_t((int64_t(FSize) - 1) * Skins().Size() / 100 + 1);
}

bool TSeparator::GetDefaultSize(int32_t& Width, int32_t& Height) {
    const int32_t S = PixelSize();
    const int32_t Long = 48 * Skins().Size() / 100;
    switch (FKind) {
    case TSeparatorKind::Horizontal:
        Width = Long;
        Height = S;
        break;
    case TSeparatorKind::Vertical:
        Width = S;
        Height = Long;
        break;
    default:
        Width = Height = S;
        break;
    }
    return true;
}

void TSeparator::Recentre() { DefaultSizeChanged(*this); }

void TSeparator::SetKind(TSeparatorKind Kind) {
    if (Kind == FKind)
        return;
    FKind = Kind;
    Recentre();
}

void TSeparator::SetSize(int32_t Size, bool IsPercent) {
    Size = std::clamp(Size, 1, IsPercent ? 200 : 255);
    if (Size == FSize && IsPercent == FSizeIsPercent)
        return;
    FSize = Size;
    FSizeIsPercent = IsPercent;
    Recentre();
}

void TSeparator::Paint(TPixels& Pixels) {
    const int32_t W = Width(), H = Height();
    if (IsDesigning())
        DesignOutline(Pixels, W, H);
    if (FKind == TSeparatorKind::Horizontal)
        Pixels.PixelOp({0, H / 2, W, H / 2 + 1}, Black, ShadowOp, 32);
    else if (FKind == TSeparatorKind::Vertical)
        Pixels.PixelOp({W / 2, 0, W / 2 + 1, H}, Black, ShadowOp, 32);
}

void TSeparator::LoadControl(TData& Data) {
    FKind = TSeparatorKind(std::min<int32_t>(std::clamp(Data.ReadInteger("Kind", 0), 0, 2), 2));
    const int32_t Size = Data.ReadInteger("Size", FSize);
    const bool Percent = Data.ReadBool("SizeIsPercent", FSizeIsPercent);
    FSize = 0;
    SetSize(Size, Percent);
}

void TSeparator::SaveControl(TData& Data) {
    Data.WriteInteger("Kind", int32_t(FKind));
    Data.WriteInteger("Size", FSize);
    Data.WriteBool("SizeIsPercent", FSizeIsPercent);
}

bool ParseSeparatorSize(std::string_view Text, int32_t& Size, bool& IsPercent) {
    size_t I = 0;
    bool Negative = false;
    while (I < Text.size() && (Text[I] == ' ' || Text[I] == '-' || Text[I] == '+')) {
        if (Text[I] == '-')
            Negative = !Negative;
        ++I;
    }
    int32_t Base = 10;
    if (I < Text.size() && Text[I] == '$') {
        Base = 16;
        ++I;
    }
    int64_t Value = 0;
    bool AnyDigit = false;
    for (; I < Text.size(); ++I) {
        const char C = Text[I];
        int32_t Digit = -1;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (Base == 16 && std::isxdigit(static_cast<unsigned char>(C)))
            Digit = std::tolower(static_cast<unsigned char>(C)) - 'a' + 10;
        if (Digit < 0)
            break;
        AnyDigit = true;
        // Saturates: a long run of digits stays at the largest value.
        Value = std::min<int64_t>(Value * Base + Digit, INT32_MAX);
    }
    if (!AnyDigit)
        return false;
    while (I < Text.size() && Text[I] == ' ')
        ++I;
    IsPercent = I < Text.size() && Text[I] == '%';
    Size = int32_t(Negative ? -Value : Value);
    return true;
}

// ---- TLabelGadget

void TLabelGadget::SetText(std::string_view Text) {
    if (Text == FText)
        return;
    FText = Text;
    Invalidate();
    DefaultSizeChanged(*this);
}

bool TLabelGadget::GetDefaultSize(int32_t& Width, int32_t& Height) {
    if (FText.empty()) {
        Width = Height = 8;
        return true;
    }
    const TRect Extent = TextExtent(FText, TTextAttr{});
    Width = Extent.Right;
    Height = Extent.Bottom;
    return true;
}

void TLabelGadget::Paint(TPixels& Pixels) {
    const int32_t W = Width(), H = Height();
    if (IsDesigning())
        DesignOutline(Pixels, W, H);
    if (FText.empty())
        return;
    const TTextAttr Attr;
    const TRect Extent = TextExtent(FText, Attr);
    int32_t X = Alignment == TLabelAlign::Left ? 0 : Alignment == TLabelAlign::Right ? W - Extent.Right
                                                                                   : (W - Extent.Right) / 2;
    int32_t Y = (H - Extent.Bottom) / 2;
    if (Checked()) {
        Pixels.PixelOp({0, 0, W, H}, White, HighlightOp, 64);
        ++X;
        ++Y;
    }
    Pixels.DrawText(X, Y, TSmooth::Yes, IsEnabled() ? SystemColors().ButtonText : SystemColors().GrayText, Attr,
                    FText);
}

void TLabelGadget::LoadControl(TData& Data) { SetText(Data.ReadString("Text", FText)); }

void TLabelGadget::SaveControl(TData& Data) { Data.WriteString("Text", FText); }

// ---- TToolButton

int32_t ToolButtonState(const TGadget& Gadget) {
    if (Gadget.IsDesigning())
        return 1;
    if (!Gadget.IsEnabled())
        return 3;
    if (Gadget.Checked() || (Gadget.IsHot() && Gadget.IsDown()))
        return 2;
    return Gadget.IsHot() ? 1 : 0;
}

void TToolButton::SetCommand(TCommand* Command) { FLink.Set(Command); }

void TToolButton::SetSkin(TToolSkin* Skin) {
    FSkin = Skin;
    Invalidate();
}

void TToolButton::Follow(TCommandChangeFlags Flags) {
    const TCommand* Shown = Command();
    if (HasAny(Flags, CommandChangeCaption)) {
        FCaption = Shown ? Shown->Caption() : std::string();
        Invalidate();
    }
    if (HasAny(Flags, CommandChangeChecked))
        SetChecked(Shown && Shown->Checked());
    if (HasAny(Flags, CommandChangeIsOn | CommandChangeEnabled))
        SetEnabled(Shown && Shown->IsOn() && Shown->Enabled());
    if (HasAny(Flags, CommandChangeHint))
        FHint = Shown ? Shown->Hint() : std::string();
}

void TToolButton::Click() {
    TWeakPtr Life(this);
    TFlatGadget::Click();
    if (Life.IsExpired() || !Command() || IsDesigning() || Command()->AutoRepeat())
        return;
    if (Command()->IsOn() && Command()->Enabled())
        Command()->Execute(this);
}

void TToolButton::Execute() {
    TWeakPtr Life(this);
    TFlatGadget::Execute();
    if (Life.IsExpired() || !Command() || IsDesigning() || !Command()->AutoRepeat())
        return;
    if (Command()->IsOn() && Command()->Enabled())
        Command()->Execute(this);
}

bool TToolButton::GetDefaultSize(int32_t& Width, int32_t& Height) {
    const int32_t W = FSkin ? FSkin->Width() : 100, H = FSkin ? FSkin->Height() : 100;
    Width = Skins().Scale(W);
    Height = Skins().Scale(H);
    return true;
}

void TToolButton::Paint(TPixels& Pixels) {
    const TRect Rect{0, 0, Width(), Height()};
    const int32_t Index = ToolButtonState(*this);
    const TButtonState State{IsEnabled(), Checked(), IsDown(), IsHot()};
    const TPixels* Picture = nullptr;
    if (FSkin)
        Picture = FSkin->GetState(TToolSkinState(Index));
    if (Picture) {
        PaintButtonBackground(Rect, Pixels, State);
        PaintButtonImage(Rect, Pixels, State, *Picture);
        PaintButtonFrame(Rect, Pixels, State);
        return;
    }
    const TColor Face = SkinColors().FaceColor;
    Pixels.FillRect(Rect.Inflated(-1, -1), MixColors(Face, SkinColors().HighlightColor, 32));
    Pixels.FrameRect(Rect, MixColors(Face, SkinColors().ShadowColor, 64));
    PaintButtonBackground(Rect, Pixels, State);
    PaintButtonText(Rect, Pixels, State, FCaption, TTextAttr{});
    PaintButtonFrame(Rect, Pixels, State);
}

// ---- TFlatButton

namespace {
TFlatButton::TResourceTable& Resources() {
    static TFlatButton::TResourceTable Table;
    return Table;
}
} // namespace

void TFlatButton::SetResources(TResourceTable Table) { Resources() = std::move(Table); }

void TFlatButton::SetResourceName(std::string_view Name) {
    auto Same = [](std::string_view A, std::string_view B) {
        return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
                   return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
               });
    };
    if (Same(Name, FResourceName))
        return;
    FResourceName = Name;
    for (auto& State : FStates)
        State.reset();
    Invalidate();
    if (Name.empty())
        return;
    const TPixels* Picture = Resources() ? Resources()(Name) : nullptr;
    if (!Picture)
        throw std::runtime_error("The picture resource \"" + std::string(Name) + "\" does not exist.");
    TPixels Recoloured(*Picture);
    SkinRecolor(Recoloured);
    const int32_t Quarter = Recoloured.Width() / 4;
    for (int32_t I = 0; I < 4; ++I) {
        auto State = std::make_unique<TPixels>(Quarter, Recoloured.Height());
        State->Clear();
        State->CopyFrom(-I * Quarter, 0, Recoloured);
        FStates[size_t(I)] = std::move(State);
    }
}

void TFlatButton::SetCaption(std::string_view Caption) {
    FCaption = Caption;
    Invalidate();
}

void TFlatButton::Paint(TPixels& Pixels) {
    const TRect Rect{0, 0, Width(), Height()};
    const TButtonState State{IsEnabled(), Checked(), IsDown(), IsHot()};
    const bool WindowLook = Color == SystemColors().Window;
    (WindowLook ? PaintWindowButtonBackground : PaintButtonBackground)(Rect, Pixels, State);
    if (const TPixels* Picture = FStates[size_t(ToolButtonState(*this))].get())
        PaintButtonImage(Rect, Pixels, State, *Picture);
    else
        (WindowLook ? PaintWindowButtonText : PaintButtonText)(Rect, Pixels, State, FCaption, TTextAttr{});
    (WindowLook ? PaintWindowButtonFrame : PaintButtonFrame)(Rect, Pixels, State);
}

bool TFlatButton::DialogChar(TWidgetKeyEvent& Event) {
    const size_t Amp = FCaption.find('&');
    if (Amp == std::string::npos || Amp + 1 >= FCaption.size() || !(Event.Modifiers & ShortCutAlt))
        return false;
    if (std::toupper(static_cast<unsigned char>(FCaption[Amp + 1])) != Event.Key)
        return false;
    Click();
    return true;
}

// ---- TCheckGadget

TCheckGadget::TCheckGadget() { SetBounds({0, 0, 8, 8}); }

void TCheckGadget::SetIsChecked(bool Value) {
    if (Value == FIsChecked)
        return;
    FIsChecked = Value;
    Invalidate();
    if (OnChange)
        OnChange(*this);
}

void TCheckGadget::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Clicks > 1)
        return; // double clicks count as nothing
    TFlatGadget::MouseDown(Event);
}

void TCheckGadget::Click() {
    if (IsEnabled()) {
        TWeakPtr Life(this);
        SetIsChecked(!FIsChecked);
        if (Life.IsExpired())
            return;
    }
    TFlatGadget::Click();
}

bool TCheckGadget::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = Height = 32 * Skins().Size() / 100;
    return true;
}

void TCheckGadget::Paint(TPixels& Pixels) {
    const int32_t Side = std::min(Width(), Height());
    const TRect Square = TRect::FromSize((Width() - Side) / 2, (Height() - Side) / 2, Side, Side);
    const TButtonState State{IsEnabled(), FIsChecked, IsDown(), IsHot()};
    (WindowStyle ? PaintWindowButtonFrame : PaintButtonFrame)(Square, Pixels, State);
    const TColor K = WindowStyle ? MakeColor(255, 160, 0) : SystemColors().WindowText;
    const TColor Wn = SystemColors().Window;
    const bool Pressed = IsHot() && IsDown();
    TColor Fill;
    if (!IsEnabled())
        Fill = AlphaColor(FIsChecked ? K : Wn, 64);
    else if (!FIsChecked)
        Fill = Pressed ? MixColors(Wn, K, 128) : IsHot() ? MixColors(Wn, K, 64) : Wn;
    else
        Fill = Pressed ? MixColors(Wn, K, 128) : IsHot() ? MixColors(Wn, K, 192) : K;
    Pixels.BlendRect(Square.Inflated(-2, -2), Fill);
}

// ---- TColorButton

void TColorButton::SetButtonColor(TColor Color) {
    if (Color == FButtonColor)
        return;
    FButtonColor = Color;
    Invalidate();
}

void TColorButton::Paint(TPixels& Pixels) {
    const int32_t W = Width(), H = Height();
    const TRect Rect{0, 0, W, H};
    Pixels.FillRect(Rect, White);
    Pixels.FillRect({W / 3, H / 3, W - W / 3, H - H / 3}, Black);
    Pixels.BlendRect(Rect, FButtonColor);
    const TColor Light = MixColors(SystemColors().Highlight, SystemColors().Window, 128);
    if (IsEnabled()) {
        if (Checked() || (IsHot() && IsDown()))
            Pixels.FillBand(Rect, Rect.Inflated(-2, -2), SystemColors().Highlight);
        else if (IsHot())
            Pixels.FrameRect(Rect, Light);
        else
            Pixels.BlendFrameRect(Rect, AlphaColor(Black, 64));
    } else if (Checked()) {
        Pixels.FillBand(Rect, Rect.Inflated(-2, -2), Light);
    } else {
        Pixels.BlendFrameRect(Rect, AlphaColor(Black, 64));
    }
}

// ---- TSlideBar

TSlideBar::TSlideBar() : BackColor(SystemColors().Window) { SetBounds({0, 0, 64, 12}); }

TSlideBar::~TSlideBar() {
    if (FIsTracking) {
        FIsTracking = false;
        if (OnEndTrack)
            OnEndTrack(*this);
    }
}

void TSlideBar::SetRange(int32_t Position, int32_t Min, int32_t Max) {
    Position = std::clamp(Position, Min, std::max(Min, Max));
    if (Position == FPosition && Min == FMin && Max == FMax)
        return;
    FPosition = Position;
    FMin = Min;
    FMax = Max;
    Invalidate();
    if (OnChange)
        OnChange(*this, FPosition);
}

void TSlideBar::SetPosition(int32_t Position) {
    Position = std::clamp(Position, FMin, std::max(FMin, FMax));
    if (Position == FPosition)
        return;
    FPosition = Position;
    Invalidate();
    if (OnChange)
        OnChange(*this, FPosition);
}

void TSlideBar::SetMax(int32_t Max) {
    if (Max == FMax)
        return;
    FMax = Max;
    Invalidate();
    if (FPosition > Max)
        FPosition = Max;
}

void TSlideBar::SetDefaultValue(int32_t Value) {
    FDefault = Value;
    Invalidate();
}

std::optional<TKeyPoints> TSlideBar::BuildMap(int32_t& Band) const {
    const int32_t W = Width();
    if (W <= 2 || Height() <= 2 || FMin >= FMax)
        return std::nullopt;
    Band = std::max<int32_t>(2, int32_t(std::lround(double(W - 2) / (double(FMax) - FMin))));
    if (FMax <= 0) {
        TKeyPoints Map(FMin, 0, 1, W - 1);
        Map.Add(FDefault, Band);
        if (FDefault != 0)
            Map.Add(0, 1);
        Map.Layout();
        return Map;
    }
    if (FMin < 0) {
        TKeyPoints Map(FMin, FMax, 1, W - 2);
        if (FDefault == 0) {
            Map.Add(0, Band);
        } else if (FDefault < 0) {
            Map.Add(FDefault, Band);
            Map.Add(0, 1);
        } else {
            Map.Add(0, 1);
            Map.Add(FDefault, Band);
        }
        Map.Layout();
        return Map;
    }
    TKeyPoints Map(0, FMax, 0, W - 2);
    if (FDefault != 0)
        Map.Add(0, 1);
    Map.Add(FDefault, Band);
    Map.Layout();
    return Map;
}

bool TSlideBar::ValueAt(int32_t X, int32_t& Value) const {
    int32_t Band = 0;
    auto Map = BuildMap(Band);
    if (!Map)
        return false;
    Value = int32_t(std::clamp<int64_t>(Map->ToSource(X), FMin, FMax));
    return true;
}

bool TSlideBar::PixelOf(int32_t Value, int32_t& X) const {
    int32_t Band = 0;
    auto Map = BuildMap(Band);
    if (!Map)
        return false;
    X = int32_t(Map->ToDest(Value));
    return true;
}

void TSlideBar::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsEnabled())
        return;
    Event.Accept();
    FIsTracking = true;
    Invalidate();
    TWeakPtr Life(this);
    if (OnBeginTrack)
        OnBeginTrack(*this);
    if (Life.IsExpired())
        return;
    if (int32_t Value = 0; ValueAt(Event.Position.X, Value))
        SetPosition(Value);
}

void TSlideBar::MouseMove(TWidgetMouseEvent& Event) {
    if (!FIsTracking)
        return;
    if (int32_t Value = 0; ValueAt(Event.Position.X, Value))
        SetPosition(Value);
}

void TSlideBar::MouseUp(TWidgetMouseEvent& Event) {
    if (!FIsTracking)
        return;
    TWeakPtr Life(this);
    if (int32_t Value = 0; ValueAt(Event.Position.X, Value))
        SetPosition(Value);
    if (!Life.IsExpired())
        EndTracking();
}

void TSlideBar::EndTracking() {
    FIsTracking = false;
    Invalidate();
    if (OnEndTrack)
        OnEndTrack(*this);
}

bool TSlideBar::MouseWheel(TWidgetMouseEvent& Event) {
    if (FMin >= FMax)
        return false;
    int64_t Step = Event.WheelDelta / 120;
    if (!(Event.Modifiers & (ShortCutCtrl | ShortCutShift)))
        Step *= (int64_t(FMax) - FMin) / 10 + 1;
    int64_t Target = int64_t(FPosition) + Step;
    if ((FPosition < FDefault && Target > FDefault) || (FPosition > FDefault && Target < FDefault))
        Target = FDefault;
    SetPosition(int32_t(std::clamp<int64_t>(Target, FMin, FMax)));
    return true;
}

void TSlideBar::Paint(TPixels& Pixels) {
    const int32_t W = Width(), H = Height();
    const bool WindowLook = BackColor == SystemColors().Window;
    const TColor HighlightC = SystemColors().Highlight;
    TColor Frame;
    if (FIsTracking)
        Frame = AlphaColor(HighlightC, 128);
    else if (IsHot() && IsEnabled())
        Frame = AlphaColor(HighlightC, WindowLook ? 64 : 96);
    else if (WindowLook)
        Frame = AlphaColor(SystemColors().WindowText, IsEnabled() ? 24 : 8);
    else
        Frame = AlphaColor(HighlightC, IsEnabled() ? 64 : 16);
    Pixels.BlendRect({1, 0, W - 1, 1}, Frame);
    Pixels.BlendRect({1, H - 1, W - 1, H}, Frame);
    Pixels.BlendRect({0, 1, 1, H - 1}, Frame);
    Pixels.BlendRect({W - 1, 1, W, H - 1}, Frame);
    const TColor Corner = AlphaColor(Frame, uint8_t(ColorAlpha(Frame) / 2));
    for (TPoint P : {TPoint{0, 0}, TPoint{W - 1, 0}, TPoint{0, H - 1}, TPoint{W - 1, H - 1}})
        Pixels.BlendRect(TRect::FromSize(P.X, P.Y, 1, 1), Corner);
    int32_t Band = 0;
    auto Map = BuildMap(Band);
    if (!Map)
        return;
    const int32_t At = int32_t(Map->ToDest(FPosition));
    int32_t From = 1, To = W - 1;
    if (FMax <= 0) {
        From = At;
    } else if (FMin < 0) {
        const int32_t Zero = int32_t(Map->ToDest(0));
        From = std::min(Zero, At);
        To = std::max(Zero, At) + 1;
    } else {
        From = 0;
        To = At + 1;
    }
    if (IsEnabled()) {
        Pixels.FillRect({1, 1, W - 1, H - 1}, BackColor);
        Pixels.FillRect({std::max(1, From), 1, std::min(W - 1, To), H - 1}, BarColor);
        if (FDefault > 0) {
            const int32_t L = int32_t(Map->ToDest(FDefault));
            const TColor Mark = MixColors(BackColor, BarColor, 128);
            Pixels.BlendRect({L - Band, 2, L - Band + 1, H - 2}, AlphaColor(Mark, 128));
            Pixels.BlendRect({L, 2, L + 1, H - 2}, AlphaColor(Mark, 255));
            Pixels.BlendRect({L + Band, 2, L + Band + 1, H - 2}, AlphaColor(Mark, 128));
        }
    } else {
        Pixels.BlendRect({std::max(1, From), 1, std::min(W - 1, To), H - 1},
                         AlphaColor(SystemColors().ButtonShadow, 128));
    }
}
