#include "toolkit/docking/tool_box.h"

#include "canvas/text_attr.h"
#include "commands/command_list.h"
#include "commands/factory.h"
#include "core/data.h"
#include "platform/keys.h"
#include "platform/window/window_system.h"
#include "toolkit/docking/dock_thing.h"
#include "toolkit/docking/tool_box_popup.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TToolBox::Class{"TToolBox", &TDock::Class, CreateControlOf<TToolBox>};

namespace {

constexpr int32_t MaxStoredCoord = 1 << 20;

int32_t ClampCoord(int64_t Value) { return int32_t(std::clamp<int64_t>(Value, -MaxStoredCoord, MaxStoredCoord)); }

// The caption colours of the platform, from the colour scheme: the active
// caption is the selection colour, the inactive one the shadow.
TColor ActiveCaption() { return SystemColors().Highlight; }
TColor InactiveCaption() { return SystemColors().ButtonShadow; }
TColor CaptionText(bool Active) { return Active ? SystemColors().HighlightText : SystemColors().Window; }

TAttachment AxisAttachment(int32_t Near, int32_t Far, int32_t Extent) {
    const int64_t T = std::max(0, Extent - 32);
    if (int64_t(Near) + Far > 0)
        return Far > T ? TAttachment::NearToFar : TAttachment::FarToFar;
    return Near < -T ? TAttachment::FarToNear : TAttachment::NearToNear;
}

// The near coordinate of a box of Size along one axis.
int64_t AttachedNear(TAttachment Attachment, int32_t MainNear, int32_t MainFar, int32_t DeltaNear,
                     int32_t DeltaFar, int32_t StoredExtent, int32_t Size) {
    switch (Attachment) {
    case TAttachment::NearToNear:
        return int64_t(MainNear) + DeltaNear;
    case TAttachment::NearToFar:
        return int64_t(MainFar) + DeltaFar - StoredExtent;
    case TAttachment::FarToNear:
        return int64_t(MainNear) + DeltaNear + StoredExtent - Size;
    case TAttachment::FarToFar:
        return int64_t(MainFar) + DeltaFar - Size;
    }
    return MainNear;
}

// The smallest move along one axis that keeps [Near, Far) reachable on
// [DeskNear, DeskFar): 8 pixels of the grab part [GrabNear, GrabFar) when it
// is longer than that, else the window's whole extent.
int64_t ReachOffset(int64_t Near, int64_t Far, int64_t GrabNear, int64_t GrabFar, int64_t DeskNear,
                    int64_t DeskFar) {
    const int64_t Grab = TToolBox::ReachableGrab;
    if (GrabFar - GrabNear > Grab) {
        if (GrabFar < DeskNear + Grab)
            return DeskNear + Grab - GrabFar;
        if (GrabNear > DeskFar - Grab)
            return DeskFar - Grab - GrabNear;
        return 0;
    }
    if (Far - Near > DeskFar - DeskNear || Near < DeskNear)
        return DeskNear - Near;
    if (Far > DeskFar)
        return DeskFar - Far;
    return 0;
}

void ReadPlacement(TData& Data, const char* Name, TFloatPlacement& Placement, const TRect& Current,
                   const TRect& Main) {
    if (!Data.Exists(Name)) {
        Placement.Valid = false;
        return;
    }
    TDataSection Section(Data, Name);
    auto Read = [&](const char* Key, int64_t Default) { return ClampCoord(Data.ReadInt64(Key, Default)); };
    Placement.Delta.Left = Read("Delta.Left", int64_t(Current.Left) - Main.Left);
    Placement.Delta.Top = Read("Delta.Top", int64_t(Current.Top) - Main.Top);
    Placement.Delta.Right = Read("Delta.Right", int64_t(Current.Right) - Main.Right);
    Placement.Delta.Bottom = Read("Delta.Bottom", int64_t(Current.Bottom) - Main.Bottom);
    Placement.Width = std::clamp(Data.ReadInteger("Width", Current.Width()), 0, MaxStoredCoord);
    Placement.Height = std::clamp(Data.ReadInteger("Height", Current.Height()), 0, MaxStoredCoord);
    Placement.Valid = true;
}

void WritePlacement(TData& Data, const char* Name, const TFloatPlacement& Placement) {
    if (!Placement.Valid)
        return;
    TDataSection Section(Data, Name);
    Data.WriteInteger("Delta.Left", Placement.Delta.Left);
    Data.WriteInteger("Delta.Top", Placement.Delta.Top);
    Data.WriteInteger("Delta.Right", Placement.Delta.Right);
    Data.WriteInteger("Delta.Bottom", Placement.Delta.Bottom);
    Data.WriteInteger("Width", Placement.Width);
    Data.WriteInteger("Height", Placement.Height);
}

// The gradient of a caption strip: rows (or columns) from B toward A.
void PaintGradient(TPixels& Pixels, const TRect& Rect, TColor A, TColor B, bool Across) {
    const int32_t Count = Across ? Rect.Width() : Rect.Height();
    for (int32_t I = 0; I < Count; ++I) {
        const TColor Color = MixColors(A, B, uint8_t(255 - 255 * I / std::max(1, Count)));
        if (Across)
            Pixels.FillRect({Rect.Left + I, Rect.Top, Rect.Left + I + 1, Rect.Bottom}, Color);
        else
            Pixels.FillRect({Rect.Left, Rect.Top + I, Rect.Right, Rect.Top + I + 1}, Color);
    }
}

} // namespace

// ---- TNCTitle

void TNCTitle::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    Event.Accept();
    TWeakPtr Life(this);
    FBox.SetCustomizeActive(true);
    if (Life.IsExpired())
        return;
    if (Event.Clicks == 2) {
        FPressed = false;
        FBox.ToggleMinimized();
        return;
    }
    FPressed = true;
    const TRect Screen = FBox.ScreenRect();
    FPressAt = {Event.ScreenPosition.X - Screen.Left, Event.ScreenPosition.Y - Screen.Top};
}

void TNCTitle::MouseMove(TWidgetMouseEvent& Event) {
    if (!FPressed)
        return;
    const TRect Screen = FBox.ScreenRect();
    const TPoint At{Event.ScreenPosition.X - Screen.Left, Event.ScreenPosition.Y - Screen.Top};
    if (std::abs(At.X - FPressAt.X) < DragDistance && std::abs(At.Y - FPressAt.Y) < DragDistance)
        return;
    FPressed = false;
    Event.Accept();
    if (FBox.OnStartDrag)
        FBox.OnStartDrag(FBox, FPressAt.X, FPressAt.Y);
    else
        FBox.StartDrag(FPressAt.X, FPressAt.Y);
}

void TNCTitle::MouseUp(TWidgetMouseEvent& /*Event*/) { FPressed = false; }

void TNCTitle::Paint(TPixels& Pixels) {
    const TRect Rect{0, 0, Bounds().Width(), Bounds().Height()};
    const bool Active = FBox.IsActive();
    const bool Docked = !FBox.IsFloating();
    const TColor Caption = Active ? ActiveCaption() : InactiveCaption();
    const TColor A = MixColors(Caption, SkinColors().FaceColor, 64);
    const TColor B = Caption;
    const bool ShowsTitle = FBox.IsFloating() ? FBox.IsTitleWhenFloat() : FBox.IsTitleWhenDocked();
    const TTitleAlign Align = FBox.TitleAlign();
    const bool Sideways = Align == TTitleAlign::Left || Align == TTitleAlign::Right;
    if (!ShowsTitle) {
        // The grip: standing upright on a horizontal box.
        if (Docked && !Active)
            Pixels.PixelOp(Rect, MakeColor(0, 0, 0), ShadowOp, 8);
        else
            PaintGradient(Pixels, Rect, A, B, FBox.Kind() == TToolBoxKind::Horizontal);
        return;
    }
    if (Docked && !Active)
        Pixels.PixelOp(Rect, MakeColor(0, 0, 0), ShadowOp, 8);
    else
        PaintGradient(Pixels, Rect, A, B, Sideways);
    const std::string& Text = FBox.Caption();
    if (Text.empty())
        return;
    TTextAttr Attr = SkinColors().CaptionFont;
    const TRect Extent = TextExtent(Text, Attr);
    const TColor TextColor = (Docked && !Active) ? MixColors(SkinColors().FaceColor, MakeColor(0, 0, 0), 96)
                                                 : CaptionText(Active);
    TPixels Raster(std::max(1, Extent.Right), std::max(1, Extent.Bottom));
    Raster.Clear();
    Raster.DrawText(0, 0, TSmooth::Yes, TextColor, Attr, Text);
    if (!Sideways) {
        const int32_t Y = (Rect.Height() - Raster.Height()) / 2;
        Pixels.Compose(TextIndent + 1, Y, Raster);
    } else {
        TPixels Turned(Raster.Height(), Raster.Width());
        Turned.Clear();
        Turned.CopyTransformed(0, 0, true, false, false, Raster);
        Pixels.Compose((Rect.Width() - Raster.Height()) / 2 - 1, TextIndent, Turned);
    }
}

// ---- TNCClose

void TNCClose::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsHot())
        return;
    Event.Accept();
    HideToolBox(FBox);
}

void TNCClose::Paint(TPixels& Pixels) {
    const int32_t W = Bounds().Width(), H = Bounds().Height();
    const bool Pressed = IsHot() && IsDown();
    const bool Active = FBox.IsActive();
    const int32_t Inset = Pressed ? 3 : 2;
    const int32_t Shift = Pressed ? 1 : 0;
    auto Cross = [&](TColor Color) {
        Pixels.Line(Inset + Shift, Inset + Shift, W - Inset + Shift - 1, H - Inset + Shift - 1, TSmooth::No, Color);
        Pixels.Line(W - Inset + Shift - 1, Inset + Shift, Inset + Shift, H - Inset + Shift - 1, TSmooth::No, Color);
    };
    if (FBox.IsFloating()) {
        PaintFloatTitleButton(Pixels, W, H, IsHot(), IsDown());
        Cross(CaptionText(Active));
        PaintFloatTitleButtonFrame(Pixels, W, H, IsHot(), IsDown());
    } else {
        PaintDockedTitleButton(Pixels, W, H, IsHot(), IsDown());
        if (Active)
            Cross(CaptionText(true));
        else
            Cross(AlphaColor(MixColors(SkinColors().FaceColor, MakeColor(0, 0, 0), IsHot() ? 128 : 64), 255));
        PaintDockedTitleButtonFrame(Pixels, W, H, IsHot(), IsDown());
    }
}

// ---- TToolBoxCommand

TToolBoxCommand::TToolBoxCommand(TCommandList& List, TToolBox& Box)
    : TCommand(List, nullptr, "ToolBox", "", "", ""), FBox(Box) {}

void TToolBoxCommand::Execute(TObject* Sender) {
    if (!IsOn() || !Enabled())
        return;
    if (FBox.IsOpen())
        HideToolBox(FBox);
    else
        ShowToolBox(FBox);
    TCommand::Execute(Sender);
}

void TToolBoxCommand::Update() {
    SetChecked(FBox.IsOpen());
    TCommand::Update();
}

// ---- TToolBox

TToolBox::TToolBox() {
    SetStoredVisible(false);
    FTitle = static_cast<TNCTitle*>(&AddNCGadget(std::make_unique<TNCTitle>(*this)));
    FClose = static_cast<TNCClose*>(&AddNCGadget(std::make_unique<TNCClose>(*this)));
    FCommand = new TToolBoxCommand(CommandList(), *this);
    Stages().Changes().AddChangeHandler(MakeDelegate<&TToolBox::StageChanged>(this));
    ToolBoxes().Add(*this);
}

TToolBox::~TToolBox() {
    // The stage registry outlives the tool-box registry, which frees the
    // boxes left at exit.
    Stages().Changes().RemoveChangeHandler(MakeDelegate<&TToolBox::StageChanged>(this));
    ToolBoxes().Remove(*this);
    if (FCommand && FCommand->List())
        FCommand->Free();
}

void TToolBox::RelayoutIfAwaited() {
    if (!IsDestroying() && AwaitsRelayout())
        Relayout();
}

void TToolBox::StageChanged(TObject* /*Sender*/, TStageChangeFlags /*Flags*/) { RelayoutIfAwaited(); }

bool TToolBox::IsHosted() const {
    return Parent() && !ParentDock();
}

bool TToolBox::ShowsTitle() const {
    return IsFloating() ? FIsTitleWhenFloat : FIsTitleWhenDocked;
}

bool TToolBox::IsActive() const {
    if (IsFloating())
        return !Designing() || FIsCustomizeActive;
    return Designing() && FIsCustomizeActive;
}

void TToolBox::SetCaption(std::string_view Caption) {
    if (Caption == TDock::Caption())
        return;
    TDock::SetCaption(Caption);
    InvalidateNC({0, 0, Width(), Height()});
    TUpdateGuard Guard(ToolBoxes().Changes());
    FCommand->SetName(Caption);
    FCommand->SetCaption(Caption);
    FCommand->SetHint(Caption);
    ToolBoxes().Changes().Change(ToolBoxChangeCaption);
}

void TToolBox::OptionsChanged() {
    InvalidateNC({0, 0, Width(), Height()});
    RequestLayout();
    Relayout();
}

void TToolBox::SetKind(TToolBoxKind Kind) {
    if (Kind == FKind)
        return;
    OrientationChanged();
    FKind = Kind;
    OptionsChanged();
    ToolBoxes().Changes().Change(ToolBoxChangeKind);
}

void TToolBox::SetTitleOptions(TTitleAlign Align, bool IsTitleWhenDocked, bool IsTitleWhenFloat) {
    if (Align == FTitleAlign && IsTitleWhenDocked == FIsTitleWhenDocked && IsTitleWhenFloat == FIsTitleWhenFloat)
        return;
    FTitleAlign = Align;
    FIsTitleWhenDocked = IsTitleWhenDocked;
    FIsTitleWhenFloat = IsTitleWhenFloat;
    OptionsChanged();
}

void TToolBox::SetLocked(bool Locked) {
    if (Locked == FIsLocked)
        return;
    FIsLocked = Locked;
    OptionsChanged();
    ToolBoxes().Changes().Change(ToolBoxChangeLock);
}

void TToolBox::SetAssociation(TToolBoxAssociation* Association) {
    if (Association == FAssociation)
        return;
    TUpdateGuard Commands(FCommand->List() ? &FCommand->List()->Changes() : nullptr);
    TUpdateGuard Guard(ToolBoxes().Changes());
    FAssociation = Association;
    FCommand->SetIsOn(Association == nullptr);
    ToolBoxes().Changes().Change(ToolBoxChangeAssociation);
}

void TToolBox::SetCustomizeActive(bool Value) {
    if (!Designing() || Value == FIsCustomizeActive)
        return;
    {
        TUpdateGuard Guard(ToolBoxes().Changes());
        if (Value)
            for (TToolBox* Box : ToolBoxes().Boxes())
                if (Box != this && Box->FIsCustomizeActive) {
                    Box->FIsCustomizeActive = false;
                    Box->InvalidateNC({0, 0, Box->Width(), Box->Height()});
                }
        FIsCustomizeActive = Value;
        InvalidateNC({0, 0, Width(), Height()});
        ToolBoxes().Changes().Change(ToolBoxChangeCustomizeActive);
    }
}

TRect TToolBox::NCMargins() const {
    if (IsHosted())
        return {};
    const int32_t Border = IsFloating() ? 2 : 1;
    TRect M{Border, Border, Border, Border};
    if (ShowsTitle()) {
        switch (FTitleAlign) {
        case TTitleAlign::Left:
            M.Left += TitleSize;
            break;
        case TTitleAlign::Top:
            M.Top += TitleSize;
            break;
        case TTitleAlign::Right:
            M.Right += TitleSize;
            break;
        case TTitleAlign::Bottom:
            M.Bottom += TitleSize;
            break;
        default:
            break;
        }
    } else if (!FIsLocked) {
        if (FKind == TToolBoxKind::Horizontal)
            (FTitleAlign == TTitleAlign::Right ? M.Right : M.Left) += GripSize;
        else
            (FTitleAlign == TTitleAlign::Bottom ? M.Bottom : M.Top) += GripSize;
    }
    return M;
}

TRect TToolBox::TitleRect(int32_t W, int32_t H) const {
    if (IsHosted())
        return {};
    const int32_t Border = IsFloating() ? 2 : 1;
    const TRect Inner{Border, Border, W - Border, H - Border};
    int32_t Size = 0;
    TTitleAlign Side = FTitleAlign;
    if (ShowsTitle()) {
        if (FTitleAlign >= TTitleAlign::None)
            return {};
        Size = TitleSize;
    } else if (!FIsLocked) {
        Size = GripSize;
        if (FKind == TToolBoxKind::Horizontal)
            Side = FTitleAlign == TTitleAlign::Right ? TTitleAlign::Right : TTitleAlign::Left;
        else
            Side = FTitleAlign == TTitleAlign::Bottom ? TTitleAlign::Bottom : TTitleAlign::Top;
    } else {
        return {};
    }
    switch (Side) {
    case TTitleAlign::Left:
        return {Inner.Left, Inner.Top, Inner.Left + Size, Inner.Bottom};
    case TTitleAlign::Right:
        return {Inner.Right - Size, Inner.Top, Inner.Right, Inner.Bottom};
    case TTitleAlign::Bottom:
        return {Inner.Left, Inner.Bottom - Size, Inner.Right, Inner.Bottom};
    default:
        return {Inner.Left, Inner.Top, Inner.Right, Inner.Top + Size};
    }
}

void TToolBox::LayoutNC(int32_t Width, int32_t Height) {
    if (IsHosted()) {
        FTitle->SetVisible(false);
        FClose->SetVisible(false);
        return;
    }
    const TRect Title = TitleRect(Width, Height);
    FTitle->SetBounds(Title);
    if (!ShowsTitle()) {
        FTitle->SetVisible(!FIsLocked);
        FTitle->TextIndent = 0;
        FClose->SetVisible(false);
        return;
    }
    FTitle->SetVisible(!Title.IsEmpty());
    switch (FTitleAlign) {
    case TTitleAlign::Top:
    case TTitleAlign::Bottom: {
        const int32_t Size = Title.Height() - 2;
        FTitle->TextIndent = 4;
        FClose->SetBounds(TRect::FromSize(Title.Right - Size - 1, Title.Top + 1, Size, Size));
        FClose->SetVisible(true);
        break;
    }
    case TTitleAlign::Left:
    case TTitleAlign::Right: {
        const int32_t Size = Title.Width() - 2;
        FClose->SetBounds(TRect::FromSize(Title.Left + 1, Title.Top + 1, Size, Size));
        FClose->SetVisible(true);
        FTitle->TextIndent = Title.Width() + 4;
        break;
    }
    default:
        FTitle->TextIndent = 4;
        FClose->SetVisible(false);
        break;
    }
}

void TToolBox::PaintFrame(TPixels& Pixels) {
    if (IsHosted())
        return;
    const int32_t W = Width(), H = Height();
    const TColor White = MakeColor(255, 255, 255), Black = MakeColor(0, 0, 0);
    Pixels.PixelOp({0, 0, W, 1}, White, HighlightOp, 16);
    Pixels.PixelOp({0, 1, 1, H}, White, HighlightOp, 16);
    Pixels.PixelOp({1, H - 1, W, H}, Black, ShadowOp, 16);
    Pixels.PixelOp({W - 1, 1, W, H - 1}, Black, ShadowOp, 16);
}

void TToolBox::GetGrabRect(TRect& Rect) const {
    if (!ShowsTitle() || FTitleAlign >= TTitleAlign::None) {
        Rect = {};
        return;
    }
    if (FTitleAlign == TTitleAlign::Top || FTitleAlign == TTitleAlign::Bottom)
        Rect.Right = std::max(Rect.Left, Rect.Right - TitleSize);
    else
        Rect.Top = std::min(Rect.Bottom, Rect.Top + TitleSize);
}

const TFloatPlacement* TToolBox::CurrentPlacement() const {
    TNativeWindow* Main = DockList().MainWindow();
    if (!Main)
        return nullptr;
    switch (Main->State()) {
    case TWindowState::Normal:
        return &NormalPlacement;
    case TWindowState::Maximized:
        return &MaximizedPlacement;
    default:
        return nullptr;
    }
}

TFloatPlacement* TToolBox::CurrentPlacementSlot() { return const_cast<TFloatPlacement*>(CurrentPlacement()); }

void TToolBox::GetAttachment(TAttachment& Horz, TAttachment& Vert) const {
    Horz = Vert = TAttachment::NearToNear;
    const TFloatPlacement* Placement = CurrentPlacement();
    if (!Placement || !Placement->Valid)
        return;
    Horz = AxisAttachment(Placement->Delta.Left, Placement->Delta.Right, Placement->Width);
    Vert = AxisAttachment(Placement->Delta.Top, Placement->Delta.Bottom, Placement->Height);
}

TRect TToolBox::PlaceFloating(int32_t W, int32_t H) {
    TRect Rect = TRect::FromSize(AroundRect().Left, AroundRect().Top, W, H);
    const TFloatPlacement* Placement = CurrentPlacement();
    if (Placement && Placement->Valid) {
        const TRect Main = DockList().MainWindow()->Bounds();
        TAttachment Horz, Vert;
        GetAttachment(Horz, Vert);
        const int64_t Left = AttachedNear(Horz, Main.Left, Main.Right, Placement->Delta.Left, Placement->Delta.Right,
                                          Placement->Width, W);
        const int64_t Top = AttachedNear(Vert, Main.Top, Main.Bottom, Placement->Delta.Top, Placement->Delta.Bottom,
                                         Placement->Height, H);
        Rect = TRect::FromSize(ClampCoord(Left), ClampCoord(Top), W, H);
    }
    if (DockingMode() || !DockList().System())
        return Rect;
    const TRect Desk = DockList().System()->DesktopBounds();
    TRect Title = TitleRect(W, H);
    int64_t DX = 0, DY = 0;
    if (Title.IsEmpty()) {
        DX = ReachOffset(Rect.Left, Rect.Right, 0, 0, Desk.Left, Desk.Right);
        DY = ReachOffset(Rect.Top, Rect.Bottom, 0, 0, Desk.Top, Desk.Bottom);
    } else {
        Title = Title.Translated(Rect.Left, Rect.Top);
        TRect Grab = Title;
        GetGrabRect(Grab);
        DX = ReachOffset(Rect.Left, Rect.Right, Grab.Left, Grab.Right, Desk.Left, Desk.Right);
        DY = ReachOffset(Rect.Top, Rect.Bottom, Grab.Top, Grab.Bottom, Desk.Top, Desk.Bottom);
    }
    return Rect.Translated(ClampCoord(DX), ClampCoord(DY));
}

TRect TToolBox::FloatingRect(TSize Natural) { return PlaceFloating(Natural.Width, Natural.Height); }

void TToolBox::Floated() {
    // Dropped at a new place: the placement is measured anew from there.
    if (TFloatPlacement* Slot = CurrentPlacementSlot())
        Slot->Valid = false;
    if (TWidgetWindow* Window = DockList().FloatingWindow(*this)) {
        Window->Native().SetHitTester([this](TPoint Point) { return HitTest(Point, 0); });
        Window->Native().SetTitle(Caption());
    }
    InvalidateNC({0, 0, Width(), Height()});
}

void TToolBox::ReadBack(uint32_t Mask) {
    TDock::ReadBack(Mask);
    if (!(Mask & ReadBackAround))
        return;
    TNativeWindow* Main = DockList().MainWindow();
    if (IsHosted() || !Main) {
        NormalPlacement.Valid = MaximizedPlacement.Valid = false;
        return;
    }
    if (!IsFloating())
        return;
    if (TFloatPlacement* Slot = CurrentPlacementSlot()) {
        const TRect M = Main->Bounds();
        const TRect R = AroundRect();
        Slot->Delta = {R.Left - M.Left, R.Top - M.Top, R.Right - M.Right, R.Bottom - M.Bottom};
        Slot->Width = R.Width();
        Slot->Height = R.Height();
        Slot->Valid = true;
    }
}

void TToolBox::Apply(bool Preview) {
    TDock::Apply(Preview);
    LayoutNC(Width(), Height());
}

bool TToolBox::AcceptsKind(TWidget& Control) {
    // A box holds controls only: a dock inside it (a border dock, another
    // box) would nest deeper than main dock, dock, box, controls.
    return !dynamic_cast<TDock*>(&Control) && TDock::AcceptsKind(Control);
}

void TToolBox::ItemDocked(TDockItem& /*Item*/) { ToolBoxes().Changes().Change(ToolBoxChangeDocked); }

void TToolBox::ItemUndocked(TWidget& /*Control*/, TFactory* /*Factory*/) {
    ToolBoxes().Changes().Change(ToolBoxChangeDocked);
}

bool TToolBox::IsOpen() const {
    if (Drag().IsDragging())
        if (auto* Thing = dynamic_cast<TDockThing*>(Drag().Thing()); Thing && &Thing->Control() == this)
            return true;
    if (TWidgetWindow* Window = DockList().FloatingWindow(*this))
        return Window->Native().IsVisible() && IsVisible();
    return StoredVisible() && IsVisible() && (ParentDock() || IsHosted());
}

void TToolBox::RefreshIsOpen() {
    const bool Open = IsOpen();
    if (Open == FIsOpen)
        return;
    TUpdateGuard Guard(ToolBoxes().Changes());
    FIsOpen = Open;
    ToolBoxes().Changes().Change(ToolBoxChangeIsOpen);
}

void TToolBox::ShowBox() {
    SetStoredVisible(true);
    if (TWidgetWindow* Window = DockList().FloatingWindow(*this)) {
        SetVisible(true);
        Relayout();
        Window->Show(TActivate::No);
    } else if (TDock* Parent = ParentDock()) {
        if (TDockItem* Item = Parent->FindItem(*this))
            Item->Visible = true;
        Parent->Relayout();
    } else {
        SetVisible(true);
    }
    ToolBoxes().Changes().Change(ToolBoxChangeShown);
    RefreshIsOpen();
}

void TToolBox::CloseBox() {
    SetStoredVisible(false);
    if (TWidgetWindow* Window = DockList().FloatingWindow(*this)) {
        Window->Hide();
    } else if (TDock* Parent = ParentDock()) {
        if (TDockItem* Item = Parent->FindItem(*this))
            Item->Visible = false;
        Parent->Relayout();
    } else {
        SetVisible(false);
    }
    ToolBoxes().Changes().Change(ToolBoxChangeShown);
    RefreshIsOpen();
}

void TToolBox::FitToMainWindow() {
    if (IsDestroying() || !DockList().MainWindow() || !IsFloating())
        return;
    if (Drag().IsDragging())
        if (auto* Thing = dynamic_cast<TDockThing*>(Drag().Thing()); Thing && &Thing->Control() == this)
            return;
    Relayout();
}

void TToolBox::SwitchLayout() {
    if (FAssociation && FAssociation->IsDialog())
        return;
    const bool Visible = StoredVisible();
    if (FAltVisible != Visible) {
        if (FAltVisible)
            ShowBox();
        else
            CloseBox();
    }
    FAltVisible = Visible;
}

THitTest TToolBox::HitTest(TPoint Point, uint16_t Modifiers) const {
    if (!IsFloating())
        return THitTest::Normal;
    const bool Ctrl = (Modifiers & ShortCutCtrl) != 0;
    if ((FIsLocked || Ctrl) && TitleRect(Width(), Height()).Contains(Point) &&
        !(FClose->IsVisible() && FClose->Bounds().Contains(Point)))
        return THitTest::Draggable;
    return THitTest::Normal;
}

void TToolBox::StartDrag(int32_t X, int32_t Y) {
    if (!DockList().System() || (FIsLocked && !ToolBoxes().CustomizePermission()))
        return;
    TFactory* Factory = FFactory;
    if (TDock* Parent = ParentDock())
        if (TDockItem* Item = Parent->FindItem(*this); Item && Item->Factory)
            Factory = Item->Factory;
    Drag().BeginDrag(*DockList().System(), std::make_unique<TDockThing>(*this, Factory, X, Y),
                     DockList().MainWindow());
}

void TToolBox::BeginDesignItems() {
    const bool Was = Designing();
    TDock::BeginDesignItems();
    if (!Was)
        InvalidateNC({0, 0, Width(), Height()});
}

void TToolBox::EndDesignItems() {
    const bool Was = Designing();
    TDock::EndDesignItems();
    FIsCustomizeActive = false;
    if (Was)
        InvalidateNC({0, 0, Width(), Height()});
}

void TToolBox::LoadProps(TData& Data) {
    TDock::LoadProps(Data);
    if (Data.Exists("AltLayout")) {
        TDataSection Section(Data, "AltLayout");
        FAltVisible = Data.ReadBool("IsVisible", StoredVisible());
    } else {
        FAltVisible = StoredVisible();
    }
    if (Data.Exists("Command")) {
        TDataSection Section(Data, "Command");
        FCommand->LoadFromData(Data);
    }
    const uint8_t Align = Data.ReadByte("TitleAlign", uint8_t(FTitleAlign));
    FTitleAlign = TTitleAlign(std::min<uint8_t>(Align, uint8_t(TTitleAlign::None)));
    FIsTitleWhenFloat = Data.ReadBool("IsTitleWhenFloat", FIsTitleWhenFloat);
    FIsTitleWhenDocked = Data.ReadBool("IsTitleWhenDocked", FIsTitleWhenDocked);
    SetKind(TToolBoxKind(std::clamp(Data.ReadInteger("Kind", int32_t(FKind)), 0, 1)));
    SetAssociation(ToolBoxes().AssociationById(std::clamp(Data.ReadInteger("Association", 0), 0,
                                                          TToolBoxAssociation::MaxId)));
    FIsLocked = Data.ReadBool("IsLocked", FIsLocked);
    if (Data.Exists("Floating")) {
        TDataSection Section(Data, "Floating");
        TNativeWindow* Main = DockList().MainWindow();
        const TRect MainRect = Main ? Main->Bounds() : TRect{};
        ReadPlacement(Data, "Normal", NormalPlacement, AroundRect(), MainRect);
        ReadPlacement(Data, "Maximized", MaximizedPlacement, AroundRect(), MainRect);
    }
    if (!Caption().empty())
        FCommand->SetCaption(Caption());
}

void TToolBox::SaveProps(TData& Data) {
    TDock::SaveProps(Data);
    {
        TDataSection Section(Data, "AltLayout");
        Data.WriteBool("IsVisible", FAltVisible);
    }
    {
        TDataSection Section(Data, "Command");
        FCommand->SaveToData(Data);
    }
    Data.WriteInteger("TitleAlign", int32_t(FTitleAlign));
    Data.WriteBool("IsTitleWhenFloat", FIsTitleWhenFloat);
    Data.WriteBool("IsTitleWhenDocked", FIsTitleWhenDocked);
    Data.WriteInteger("Kind", int32_t(FKind));
    Data.WriteInteger("Association", FAssociation ? FAssociation->Id() : 0);
    Data.WriteBool("IsLocked", FIsLocked);
    TDataSection Section(Data, "Floating");
    WritePlacement(Data, "Normal", NormalPlacement);
    WritePlacement(Data, "Maximized", MaximizedPlacement);
}

void TToolBox::Loaded() {
    if (OnCreated)
        OnCreated(*this);
    TDock::Loaded();
    RefreshIsOpen();
}

// ---- functions on any tool box

void FloatToolBox(TToolBox& Box) {
    const TRect Screen = Box.ScreenRect();
    std::unique_ptr<TWidget> Owned;
    if (TDock* Parent = Box.ParentDock())
        Owned = Parent->Undock(Box);
    else if (TWidget* Host = Box.Parent()) {
        Host->SetVisible(false);
        Owned = Host->RemoveChild(Box);
    }
    if (!Owned)
        return;
    TRect At = Screen.IsEmpty() ? Box.AroundRect() : Screen;
    Box.SetAroundRect(At);
    DockList().Float(std::move(Owned), At, TFloatShow::Hidden);
}

void ShowToolBox(TToolBox& Box) {
    if (Box.IsOpen())
        return;
    if (Box.IsHosted())
        FloatToolBox(Box);
    TUpdateGuard Guard(ToolBoxes().Changes());
    Box.ShowBox();
    if (!Box.Designing())
        if (TWidget* Focus = Box.FindFocusTarget(); Focus && Focus != &Box)
            Focus->SetFocus();
}

void HideToolBox(TToolBox& Box) {
    if (!Box.IsOpen())
        return;
    TUpdateGuard Guard(ToolBoxes().Changes());
    if (Box.IsFocusInside())
        if (TWidgetWindow* Window = Box.Window())
            Window->SetFocused(nullptr);
    Box.CloseBox();
}

// ---- TToolBoxAssociation

TToolBoxAssociation::TToolBoxAssociation(int32_t Id, std::string Name, bool IsDialog)
    : FId(std::clamp(Id, 0, MaxId)), FName(std::move(Name)), FIsDialog(IsDialog) {
    ToolBoxes().FTable[size_t(FId)] = this;
}

TToolBoxAssociation::~TToolBoxAssociation() {
    for (TToolBox* Box : ToolBoxes().Boxes())
        if (Box->Association() == this)
            Box->SetAssociation(nullptr);
    if (ToolBoxes().FTable[size_t(FId)] == this)
        ToolBoxes().FTable[size_t(FId)] = nullptr;
}

TToolBox* TToolBoxAssociation::FirstBox() const {
    for (TToolBox* Box : ToolBoxes().Boxes())
        if (Box->Association() == this)
            return Box;
    return nullptr;
}

bool TToolBoxAssociation::IsUsed() const { return FirstBox() != nullptr; }

bool TToolBoxAssociation::IsAnyOpen() const {
    for (TToolBox* Box : ToolBoxes().Boxes())
        if (Box->Association() == this && Box->IsOpen())
            return true;
    return false;
}

void TToolBoxAssociation::ShowAll() {
    TUpdateGuard Guard(ToolBoxes().Changes());
    std::vector<TToolBox*> Boxes = ToolBoxes().Boxes();
    for (TToolBox* Box : Boxes)
        if (Box->Association() == this)
            ShowToolBox(*Box);
}

void TToolBoxAssociation::HideAll() {
    TUpdateGuard Guard(ToolBoxes().Changes());
    std::vector<TToolBox*> Boxes = ToolBoxes().Boxes();
    for (TToolBox* Box : Boxes)
        if (Box->Association() == this)
            HideToolBox(*Box);
}

void TToolBoxAssociation::Host(TToolBox& Box, TWidget& HostWidget) {
    std::unique_ptr<TWidget> Owned;
    if (TDock* Parent = Box.ParentDock())
        Owned = Parent->Undock(Box);
    else if (DockList().IsFloating(Box))
        Owned = DockList().TakeFloating(Box);
    else if (TWidget* Old = Box.Parent(); Old && Old != &HostWidget)
        Owned = Old->RemoveChild(Box);
    if (Owned)
        HostWidget.AddChild(std::move(Owned));
    Box.SetVisible(true);
    Box.SetStoredVisible(true);
}

namespace {

// The modal form of a dialog association: Ctrl+Enter accepts, Escape
// cancels; plain Enter stays with the controls.
class TToolBoxForm : public TWidget {
public:
    TModalResult Result = TModalResult::None;
    void KeyDown(TWidgetKeyEvent& Event) override {
        if (Event.Key == KeyEnter && (Event.Modifiers & ShortCutCtrl)) {
            Result = TModalResult::Ok;
            Event.Accept();
        } else if (Event.Key == KeyEscape) {
            Result = TModalResult::Cancel;
            Event.Accept();
        }
    }
    void Layout() override {
        for (auto& Child : Children())
            Child->SetBounds(ClientRect());
    }
};

} // namespace

TModalResult TToolBoxAssociation::ShowAsDialog() {
    TToolBox* Box = FirstBox();
    TWindowSystem* System = DockList().System();
    if (!Box || !System)
        return TModalResult::Cancel;
    TUpdateGuard Guard(ToolBoxes().Changes());
    TToolBoxForm Form;
    Host(*Box, Form);
    Box->Relayout();
    const TSize Size = Box->ContentBounds().Size();
    const TRect Desk = System->DesktopWorkArea();
    const int32_t W = std::max(Size.Width, 64), H = std::max(Size.Height, 32);
    TWidgetWindow Window(*System, Form,
                         {.Kind = TWindowKind::Dialog, .Title = Box->Caption(),
                          .Bounds = TRect::FromSize(Desk.Left + (Desk.Width() - W) / 2,
                                                    Desk.Top + (Desk.Height() - H) / 2, W, H),
                          .Owner = DockList().MainWindow()});
    TModalResult Result = TModalResult::Cancel;
    try {
        Box->ActivateControl();
        Window.Show(TActivate::Yes);
        if (TWidget* Focus = Box->FindFocusTarget())
            Focus->SetFocus();
        System->RunLoop([&] { return Form.Result != TModalResult::None || !Window.Native().IsVisible(); });
        Result = Form.Result == TModalResult::None ? TModalResult::Cancel : Form.Result;
    } catch (...) {
        Box->SetVisible(false);
        Box->DeactivateControl();
        DockList().Float(Form.RemoveChild(*Box), Box->AroundRect(), TFloatShow::Hidden);
        throw;
    }
    Box->SetVisible(false);
    Box->DeactivateControl();
    // The form goes with this call: the box waits, hidden, as a floating
    // box until it is next shown.
    DockList().Float(Form.RemoveChild(*Box), Box->AroundRect(), TFloatShow::Hidden);
    Box->CloseBox();
    return Result;
}

bool TToolBoxAssociation::ShowAsPopup(int32_t X, int32_t Y, TWidget* Control) {
    TToolBox* Box = FirstBox();
    TWindowSystem* System = DockList().System();
    if (!Box || !System)
        return false;
    if (!FPopup)
        FPopup = std::make_unique<TToolBoxPopupWidget>();
    TUpdateGuard Guard(ToolBoxes().Changes());
    Host(*Box, *FPopup);
    Box->Relayout();
    const TSize Size = Box->ContentBounds().Size();
    const int32_t Border = FPopup->Border();
    FPopup->SetBounds(TRect::FromSize(0, 0, Size.Width + 2 * Border, Size.Height + 2 * Border));
    // Child bounds are in the pop-up's client coordinates.
    Box->SetBounds(TRect::FromSize(0, 0, Size.Width, Size.Height));
    bool Result = false;
    try {
        Box->ActivateControl();
        Result = FPopup->Popup(*System, X, Y, Control);
    } catch (...) {
        Box->SetVisible(false);
        Box->DeactivateControl();
        throw;
    }
    Box->SetVisible(false);
    Box->DeactivateControl();
    return Result;
}

// ---- TToolBoxes

TToolBoxes::TToolBoxes() {
    // Made first, the stage registry is destroyed after this one, so the
    // boxes freed here can still leave its notifier.
    (void)Stages();
}

TToolBoxes::~TToolBoxes() = default;

TToolBoxes& ToolBoxes() {
    static TToolBoxes Boxes;
    return Boxes;
}

void TToolBoxes::Add(TToolBox& Box) {
    TUpdateGuard Guard(FChanges);
    FBoxes.push_back(&Box);
    FChanges.Change(ToolBoxChangeRegistry);
}

void TToolBoxes::Remove(TToolBox& Box) {
    TUpdateGuard Guard(FChanges);
    FBoxes.erase(std::remove(FBoxes.begin(), FBoxes.end(), &Box), FBoxes.end());
    FChanges.Change(ToolBoxChangeRegistry);
}

int32_t TToolBoxes::FindByCaption(std::string_view Caption) const {
    auto Same = [](std::string_view A, std::string_view B) {
        return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
                   return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
               });
    };
    for (size_t I = FBoxes.size(); I-- > 0;)
        if (Same(FBoxes[I]->Caption(), Caption))
            return int32_t(I);
    return -1;
}

void TToolBoxes::SetCustomizing(bool Value) {
    if (Value == FCustomizing)
        return;
    TUpdateGuard Guard(FChanges);
    FCustomizing = Value;
    FChanges.Change(ToolBoxChangeCustomizing);
    std::vector<TToolBox*> Boxes = FBoxes;
    for (TToolBox* Box : Boxes) {
        if (Value) {
            Box->BeginDesignItems();
        } else {
            Box->SetCustomizeActive(false);
            Box->EndDesignItems();
        }
    }
    // Layouts put off while the boxes changed mode are done now.
    Boxes = FBoxes;
    for (TToolBox* Box : Boxes)
        Box->RelayoutIfAwaited();
}

TToolBoxAssociation* TToolBoxes::AssociationById(int32_t Id) const {
    if (Id <= 0 || Id > TToolBoxAssociation::MaxId)
        return nullptr;
    return FTable[size_t(Id)];
}

void TToolBoxes::FitAllToMainWindow() {
    std::vector<TToolBox*> Boxes = FBoxes;
    for (TToolBox* Box : Boxes)
        Box->FitToMainWindow();
}

// ---- TToolBoxFactory

TToolBoxFactory::TToolBoxFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                                 std::string_view Id)
    : TDockFactory(List, Category, Name, Id) {
    SetControlClass(TToolBox::Class);
}

void TToolBoxFactory::InitControl(TControl& Control) {
    TDockFactory::InitControl(Control);
    if (auto* Box = dynamic_cast<TToolBox*>(&Control)) {
        Box->SetFactory(this);
        Box->OnStartDrag = OnStartDrag;
        Box->OnCreated = OnCreated;
        Box->SetBounds({0, 0, 16, 16});
    }
}

std::unique_ptr<TControl> TToolBoxFactory::CreateControl() {
    TUpdateGuard Guard(ToolBoxes().Changes());
    std::unique_ptr<TControl> Control = TDockFactory::CreateControl();
    if (auto* Box = dynamic_cast<TToolBox*>(Control.get())) {
        if (ToolBoxes().Customizing())
            Box->BeginDesignItems();
        if (Box->OnCreated)
            Box->OnCreated(*Box);
        Box->RefreshIsOpen();
    }
    return Control;
}
