#include "toolkit/docking/tool_window.h"

#include "commands/factory.h"
#include "core/data.h"
#include "toolkit/docking/border_dock.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TToolWindow::Class{"TToolWindow", &TToolBox::Class, CreateControlOf<TToolWindow>};

namespace {

// Stored sizes are limited to this magnitude, like every stored coordinate
// of the docks.
constexpr int32_t MaxStoredSize = 1 << 20;

int32_t ClampSize(int64_t Value) { return int32_t(std::clamp<int64_t>(Value, 0, MaxStoredSize)); }

// Position and extent of a control of Size inside [From, To).
void AlignIn(TItemAlign How, int32_t From, int32_t To, int32_t Size, int32_t& Position, int32_t& Extent) {
    Extent = Size;
    switch (How) {
    case TItemAlign::Near:
        Position = From;
        break;
    case TItemAlign::Far:
        Position = int32_t(std::clamp<int64_t>(int64_t(To) - Size, INT32_MIN, INT32_MAX));
        break;
    case TItemAlign::Stretch:
        Position = From;
        Extent = int32_t(std::clamp<int64_t>(int64_t(To) - From, 0, INT32_MAX));
        break;
    default:
        Position = int32_t((int64_t(From) + To - Size) / 2);
        break;
    }
}

void ReadClient(TData& Data, const char* Name, TClientSize& Client) {
    if (!Data.Exists(Name)) {
        Client.Valid = false;
        return;
    }
    TDataSection Section(Data, Name);
    // Sizes from a damaged file would otherwise reach the window system.
    Client.Width = ClampSize(Data.ReadInt64("Client.Width", Client.Width));
    Client.Height = ClampSize(Data.ReadInt64("Client.Height", Client.Height));
    Client.Valid = true;
}

void WriteClient(TData& Data, const char* Name, const TClientSize& Client) {
    if (!Client.Valid)
        return;
    TDataSection Section(Data, Name);
    Data.WriteInteger("Client.Width", Client.Width);
    Data.WriteInteger("Client.Height", Client.Height);
}

bool IsLabelLike(const TWidget& Control) {
    return dynamic_cast<const TSeparator*>(&Control) || dynamic_cast<const TLabelGadget*>(&Control);
}

} // namespace

// ---- TToolWindowItemTableHook

void TToolWindowItemTableHook::GetInfo(TInfo& Info) {
    const TSize Size = FItem.DefaultSize();
    const bool Visible = FItem.WorkVisible;
    Info.Width = Size.Width;
    Info.Height = Size.Height;
    if (IsLabelLike(FItem.Control)) {
        Info.Kind = TTableKind::Inherit;
    } else {
        switch (FItem.ShowMode) {
        case TItemShowMode::KeepSpace:
            Info.Kind = Visible ? TTableKind::Visible : TTableKind::Fixed;
            break;
        case TItemShowMode::Floating:
            Info.Kind = Visible ? TTableKind::Floating : TTableKind::Hidden;
            break;
        default:
            Info.Kind = Visible ? TTableKind::Visible : TTableKind::Hidden;
            break;
        }
        if (!Visible && FItem.ShowMode != TItemShowMode::KeepSpace)
            Info.Width = Info.Height = 0;
    }
    Info.HorzPriority = FItem.HorzSize;
    Info.VertPriority = FItem.VertSize;
}

void TToolWindowItemTableHook::SetBounds(int32_t Width, int32_t Height, bool Show, const TRect& Rect) {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    AlignIn(FItem.HorzAlign, Rect.Left, Rect.Right, Width, X, W);
    AlignIn(FItem.VertAlign, Rect.Top, Rect.Bottom, Height, Y, H);
    FItem.WorkRect = TRect::FromSize(X, Y, W, H);
    FItem.WorkVisible = Show;
}

// ---- TToolWindowItem

TToolWindowItem::TToolWindowItem(TDock& TheDock, TWidget& TheControl, TFactory* TheFactory)
    : TDockItem(TheDock, TheControl, TheFactory), Hook(*this), NaturalSize(TheControl.Bounds().Size()) {}

TSize TToolWindowItem::DefaultSize() const {
    int32_t W = 0, H = 0;
    const bool Known = Factory ? Factory->GetDefaultSize(Control, W, H) : Control.GetDefaultSize(W, H);
    if (!Known)
        return NaturalSize;
    return {std::clamp(W, 0, MaxStoredSize), std::clamp(H, 0, MaxStoredSize)};
}

void TToolWindowItem::LoadItem(TData& Data) {
    TDockItem::LoadItem(Data);
    NaturalSize = AroundRect.Size();
    HorzAlign = TItemAlign(std::clamp<int32_t>(Data.ReadInteger("HorzAlign", int32_t(HorzAlign)), 0, 3));
    VertAlign = TItemAlign(std::clamp<int32_t>(Data.ReadInteger("VertAlign", int32_t(VertAlign)), 0, 3));
    HorzSize = std::clamp(Data.ReadInteger("HorzSize", HorzSize), -100, 100);
    VertSize = std::clamp(Data.ReadInteger("VertSize", VertSize), -100, 100);
    ShowMode = TItemShowMode(std::clamp<int32_t>(Data.ReadInteger("ShowMode", int32_t(ShowMode)), 0, 2));
}

void TToolWindowItem::SaveItem(TData& Data) {
    TDockItem::SaveItem(Data);
    Data.WriteInteger("HorzAlign", int32_t(HorzAlign));
    Data.WriteInteger("VertAlign", int32_t(VertAlign));
    Data.WriteInteger("HorzSize", HorzSize);
    Data.WriteInteger("VertSize", VertSize);
    Data.WriteInteger("ShowMode", int32_t(ShowMode));
}

// ---- TMinMaxNC

void TMinMaxNC::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsHot())
        return;
    Event.Accept();
    FWindow.ToggleMinimized();
}

TTitleAlign TMinMaxNC::PointsTo() const {
    TAttachment Horz, Vert;
    FWindow.GetAttachment(Horz, Vert);
    auto Far = [](TAttachment A) { return A == TAttachment::FarToNear || A == TAttachment::FarToFar; };
    switch (FWindow.TitleAlign()) {
    case TTitleAlign::Left:
    case TTitleAlign::Right:
        return Far(Horz) ? TTitleAlign::Right : TTitleAlign::Left;
    default:
        return Far(Vert) ? TTitleAlign::Bottom : TTitleAlign::Top;
    }
}

void TMinMaxNC::Paint(TPixels& Pixels) {
    const int32_t W = Bounds().Width(), H = Bounds().Height();
    PaintFloatTitleButton(Pixels, W, H, IsHot(), IsDown());
    TTitleAlign Side = PointsTo();
    if (FWindow.IsMinimized()) {
        constexpr TTitleAlign Opposite[] = {TTitleAlign::Right, TTitleAlign::Bottom, TTitleAlign::Left,
                                            TTitleAlign::Top};
        Side = Opposite[size_t(Side)];
    }
    const int32_t M = std::min(W, H);
    const int32_t D = (M - 2) / 2;
    const int32_t E = D / 2;
    int32_t CX = (W - 1) / 2, CY = (H - 1) / 2;
    if (IsHot() && IsDown()) {
        ++CX;
        ++CY;
    }
    TPoint Points[3];
    switch (Side) {
    case TTitleAlign::Left:
        Points[0] = {CX - E, CY};
        Points[1] = {CX - E + D, CY - D};
        Points[2] = {CX - E + D, CY + D};
        break;
    case TTitleAlign::Right:
        Points[0] = {CX + E, CY};
        Points[1] = {CX + E - D, CY - D};
        Points[2] = {CX + E - D, CY + D};
        break;
    case TTitleAlign::Bottom:
        Points[0] = {CX, CY + E};
        Points[1] = {CX - D, CY + E - D};
        Points[2] = {CX + D, CY + E - D};
        break;
    default:
        Points[0] = {CX, CY - E};
        Points[1] = {CX - D, CY - E + D};
        Points[2] = {CX + D, CY - E + D};
        break;
    }
    const TColor Color = FWindow.IsActive() ? SystemColors().HighlightText : SystemColors().Window;
    Pixels.FillPolygon(Points, 3, TSmooth::No, Color);
    PaintFloatTitleButtonFrame(Pixels, W, H, IsHot(), IsDown());
}

// ---- TToolWindow

TToolWindow::TToolWindow() {
    FMinMax = static_cast<TMinMaxNC*>(&AddNCGadget(std::make_unique<TMinMaxNC>(*this)));
    FMinMax->SetVisible(false);
}

// The table goes first and lets go of the hooks; the items follow with the
// dock.
TToolWindow::~TToolWindow() = default;

TSize TToolWindow::MinimumContent() const { return {Skins().Scale(128), Skins().Scale(64)}; }

TClientSize* TToolWindow::CurrentClient() {
    TNativeWindow* Main = DockList().MainWindow();
    if (!Main)
        return nullptr;
    return Main->State() == TWindowState::Maximized ? &MaximizedClient : &NormalClient;
}

TSize TToolWindow::WantedClient() const {
    const TSize Minimum = MinimumContent();
    return {std::max(FTable.Width(), Minimum.Width), std::max(FTable.Height(), Minimum.Height)};
}

TSize TToolWindow::ClientSize() const {
    const TSize Wanted = WantedClient();
    const TRect M = NCMargins();
    TSize Size{std::max(0, Width() - M.Left - M.Right), std::max(0, Height() - M.Top - M.Bottom)};
    if (FIsMinimized && FLaidClient.Width >= 0)
        Size = FLaidClient;
    if (DockList().MainWindow()) {
        const TClientSize* Stored = const_cast<TToolWindow*>(this)->CurrentClient();
        if (Stored && Stored->Valid && (IsFloating() || !ParentDock()))
            Size = {Stored->Width, Stored->Height};
    }
    return {std::max(Size.Width, Wanted.Width), std::max(Size.Height, Wanted.Height)};
}

TTitleAlign TToolWindow::EffectiveTitleSide() const {
    TTitleAlign Side = TitleAlign();
    if (TDock* Parent = ParentDock()) {
        switch (Parent->Align()) {
        case TDockAlign::Top:
            if (Side == TTitleAlign::Bottom)
                Side = TTitleAlign::Top;
            break;
        case TDockAlign::Bottom:
            if (Side == TTitleAlign::Top)
                Side = TTitleAlign::Bottom;
            break;
        case TDockAlign::Left:
            if (Side == TTitleAlign::Right)
                Side = TTitleAlign::Left;
            break;
        case TDockAlign::Right:
            if (Side == TTitleAlign::Left)
                Side = TTitleAlign::Right;
            break;
        default:
            break;
        }
    }
    return Side;
}

void TToolWindow::SetMinimized(bool Value) {
    if (Value == FIsMinimized)
        return;
    TUpdateGuard Guard(ToolBoxes().Changes());
    FIsMinimized = Value;
    if (StoredVisible()) {
        if (Value) {
            CloseState = TCloseState::RollUp;
            if (IsFocusInside())
                if (TWidgetWindow* Window = this->Window())
                    Window->SetFocused(nullptr);
        } else if (IsFloating()) {
            if (TWidgetWindow* Window = DockList().FloatingWindow(*this))
                Window->Native().Activate();
        } else if (!Designing()) {
            if (TWidget* Focus = FindFocusTarget(); Focus && Focus != this)
                Focus->SetFocus();
        }
    }
    FMinMax->Invalidate();
    InvalidateNC({0, 0, Width(), Height()});
    RequestLayout();
    Relayout();
    ToolBoxes().Changes().Change(ToolBoxChangeCaption);
    RefreshIsOpen();
}

bool TToolWindow::IsOpen() const { return !FIsMinimized && TToolBox::IsOpen(); }

void TToolWindow::ShowBox() {
    if (FIsMinimized)
        SetMinimized(false);
    TToolBox::ShowBox();
    if (TWidgetWindow* Window = DockList().FloatingWindow(*this)) {
        Window->Native().Raise();
        Window->Native().Activate();
    }
}

void TToolWindow::CloseBox() {
    if (CloseState == TCloseState::RollUp && IsFloating()) {
        SetMinimized(true);
        return;
    }
    CloseState = TCloseState::Hide;
    TToolBox::CloseBox();
}

void TToolWindow::SwitchLayout() {
    std::swap(FIsMinimized, FAltIsMinimized);
    std::swap(CloseState, FAltCloseState);
    if (FIsMinimized && IsFocusInside())
        if (TWidgetWindow* Window = this->Window())
            Window->SetFocused(nullptr);
    TToolBox::SwitchLayout();
    FMinMax->Invalidate();
    InvalidateNC({0, 0, Width(), Height()});
    Relayout();
    RefreshIsOpen();
}

void TToolWindow::GetAttachment(TAttachment& Horz, TAttachment& Vert) const {
    TToolBox::GetAttachment(Horz, Vert);
    TNativeWindow* Main = DockList().MainWindow();
    if (!Main)
        return;
    const TFloatPlacement& Placement =
        Main->State() == TWindowState::Maximized ? MaximizedPlacement : NormalPlacement;
    if (!Placement.Valid || !ShowsTitle())
        return;
    const int64_t DL = Placement.Delta.Left, DT = Placement.Delta.Top;
    const int64_t DR = Placement.Delta.Right, DB = Placement.Delta.Bottom;
    const int64_t W = Placement.Width, H = Placement.Height;
    const int64_t Th = std::max<int64_t>(0, W - 32), Tv = std::max<int64_t>(0, H - 32);
    const bool OverlapsVert = DT + H >= 32 && DB - H <= -32;
    const bool OverlapsHorz = DL + W >= 32 && DR - W <= -32;
    auto Spans = [](int64_t Near, int64_t Extent, int64_t Far) {
        const int64_t A = (Near + Extent - Far) / 2;
        return -A / 2 <= Near && Near <= A && -A <= Far && Far <= A / 2;
    };
    const bool SpansHorz = Spans(DL, W, DR), SpansVert = Spans(DT, H, DB);
    switch (TitleAlign()) {
    case TTitleAlign::Left:
        if (DL + DR > 0) {
            if (DR <= Th && OverlapsVert)
                Horz = TAttachment::FarToFar;
            else if (IsWidthLocked)
                Horz = TAttachment::NearToFar;
            else
                Horz = SpansHorz ? TAttachment::NearToNear : TAttachment::NearToFar;
        }
        break;
    case TTitleAlign::Top:
        if (DT + DB > 0) {
            if (DB <= Tv && OverlapsHorz)
                Vert = TAttachment::FarToFar;
            else if (IsHeightLocked)
                Vert = TAttachment::NearToFar;
            else
                Vert = SpansVert ? TAttachment::NearToNear : TAttachment::NearToFar;
        }
        break;
    case TTitleAlign::Right:
        if (DL + DR >= 0)
            Horz = DR <= Th ? TAttachment::FarToFar : TAttachment::NearToFar;
        else if (DL >= -Th && OverlapsVert)
            Horz = TAttachment::NearToNear;
        else if (IsWidthLocked)
            Horz = TAttachment::FarToNear;
        else
            Horz = SpansHorz ? TAttachment::FarToFar : TAttachment::FarToNear;
        break;
    case TTitleAlign::Bottom:
        if (DT + DB > 0) {
            if (DT >= -Tv && OverlapsHorz)
                Vert = TAttachment::NearToNear;
            else if (IsHeightLocked)
                Vert = TAttachment::FarToNear;
            else
                Vert = SpansVert ? TAttachment::FarToFar : TAttachment::FarToNear;
        }
        break;
    default:
        break;
    }
}

void TToolWindow::GetGrabRect(TRect& Rect) const {
    TToolBox::GetGrabRect(Rect);
    if (Rect.IsEmpty() || !FMinMax->IsVisible())
        return;
    if (TitleAlign() == TTitleAlign::Top || TitleAlign() == TTitleAlign::Bottom)
        Rect.Right = std::max(Rect.Left, Rect.Right - MinMaxSize);
    else
        Rect.Top = std::min(Rect.Bottom, Rect.Top + MinMaxSize);
}

void TToolWindow::FitToMainWindow() {
    TNativeWindow* Main = DockList().MainWindow();
    const TFloatPlacement* Placement = nullptr;
    if (Main)
        Placement = Main->State() == TWindowState::Maximized ? &MaximizedPlacement : &NormalPlacement;
    if (IsFloating() && !IsExpandLocked && !Association() && Placement && Placement->Valid) {
        TAttachment Horz, Vert;
        GetAttachment(Horz, Vert);
        TClientSize* Stored = CurrentClient();
        const TRect MainRect = Main->Bounds();
        const TRect M = NCMargins();
        const TSize Wanted = WantedClient();
        TSize Client = ClientSize();
        // Fits one axis: the distances to the main window's edges stay, the
        // window's extent follows the main window's.
        auto Fit = [](bool Locked, TAttachment Attachment, int64_t Near, int64_t Extent, int64_t Far,
                      int64_t MainExtent, int64_t Margins, int32_t Minimum, int32_t& Result) {
            if (Locked || (Attachment != TAttachment::NearToNear && Attachment != TAttachment::FarToFar))
                return;
            const int64_t C = (Near + Extent - Far) / 2;
            if (Extent < C || Near < -C || Near > C || Far < -C || Far > C)
                return;
            Result = ClampSize(std::max<int64_t>(MainExtent - Near + Far - Margins, Minimum));
        };
        const TRect& D = Placement->Delta;
        Fit(IsWidthLocked, Horz, D.Left, Placement->Width, D.Right, MainRect.Width(), int64_t(M.Left) + M.Right,
            Wanted.Width, Client.Width);
        Fit(IsHeightLocked, Vert, D.Top, Placement->Height, D.Bottom, MainRect.Height(),
            int64_t(M.Top) + M.Bottom, Wanted.Height, Client.Height);
        if (Stored)
            *Stored = {Client.Width, Client.Height, true};
    }
    TToolBox::FitToMainWindow();
}

THitTest TToolWindow::HitTest(TPoint Point, uint16_t Modifiers) const {
    if (IsFloating() && (!FIsMinimized || Designing())) {
        const int32_t W = Width(), H = Height(), B = SizingBand;
        const bool Sides = !IsWidthLocked, Ends = !IsHeightLocked;
        const bool InTop = Point.Y >= 0 && Point.Y < B, InBottom = Point.Y >= H - B && Point.Y < H;
        const bool InLeft = Point.X >= 0 && Point.X < B, InRight = Point.X >= W - B && Point.X < W;
        if (Ends && InBottom) {
            if (Sides && Point.X < B)
                return THitTest::ResizeBottomLeft;
            if (Sides && Point.X >= W - B)
                return THitTest::ResizeBottomRight;
            return THitTest::ResizeBottom;
        }
        if (Ends && InTop) {
            if (Sides && Point.X < B)
                return THitTest::ResizeTopLeft;
            if (Sides && Point.X >= W - B)
                return THitTest::ResizeTopRight;
            return THitTest::ResizeTop;
        }
        if (Sides && InLeft)
            return THitTest::ResizeLeft;
        if (Sides && InRight)
            return THitTest::ResizeRight;
    }
    return TToolBox::HitTest(Point, Modifiers);
}

bool TToolWindow::AcceptsKind(TWidget& Control) {
    return !dynamic_cast<TDock*>(&Control) && TToolBox::AcceptsKind(Control);
}

bool TToolWindow::AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) {
    return !FIsMinimized && TToolBox::AcceptsDrop(Control, Factory, ScreenPoint, ScreenRect);
}

std::unique_ptr<TDockItem> TToolWindow::CreateItem(TWidget& Control, TFactory* Factory) {
    return std::make_unique<TToolWindowItem>(*this, Control, Factory);
}

void TToolWindow::PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) {
    TDock::PlaceItem(Item, Rect, Point);
    auto& Own = static_cast<TToolWindowItem&>(Item);
    Own.NaturalSize = Rect.Size();
    Own.WorkRect = Rect;
    Own.WorkVisible = true;
    FTable.Update();
    const TSize Client = ClientSize();
    FTable.SetBounds({0, 0, Client.Width, Client.Height});
    if (!FTable.Insert(Point.X, Point.Y, Rect, Own.Hook) && !Own.Hook.Table()) {
        if (!FTable.HasChildren() && !FTable.Hook())
            FTable.SetHook(&Own.Hook);
        else
            FTable.Insert(FTable.Bounds().Right - 1, FTable.Bounds().Top + FTable.Bounds().Height() / 2, Rect,
                          Own.Hook);
    }
    FPreview = {};
}

bool TToolWindow::PreviewInsert(TWidget& Control, TFactory* /*Factory*/, TPoint Point, const TRect& Rect) {
    if (Designing() && FSnapshot.IsEmpty() && !FTakingSnapshot && Width() > 0 && Height() > 0) {
        // The window as it looked before the drag: the preview draws it
        // faded under the insertion marker.
        FTakingSnapshot = true;
        FSnapshot.SetSize(Width(), Height());
        FSnapshot.Clear();
        PaintWidgetTree(*this, FSnapshot);
        FTakingSnapshot = false;
    }
    (void)Control;
    const TTableHit<TTable> Hit = FTable.HitTest(Point.X, Point.Y, Rect);
    const bool Changed = Hit.Target != FPreview.Target || Hit.Col != FPreview.Col || Hit.Row != FPreview.Row ||
                         Hit.ColAction != FPreview.ColAction || Hit.RowAction != FPreview.RowAction;
    FPreview = Hit;
    if (Changed)
        Invalidate();
    return Changed;
}

void TToolWindow::PreviewMove(TWidget& /*Control*/) {
    FPreview = {};
    Invalidate();
}

void TToolWindow::CancelPreview() {
    FPreview = {};
    FSnapshot = TPixels();
    TToolBox::CancelPreview();
}

void TToolWindow::Arrange(bool Preview) {
    (void)Preview;
    FTable.Update();
    const TSize Client = ClientSize();
    FTable.SetBounds({0, 0, Client.Width, Client.Height});
    SetContentBounds({0, 0, Client.Width, Client.Height});
}

TSize TToolWindow::NaturalSize(bool /*Preview*/) {
    const TRect M = NCMargins();
    const TSize Wanted = WantedClient();
    TSize Client = ClientSize();
    if (TDock* Parent = ParentDock()) {
        const bool Vertical = Parent->Align() == TDockAlign::Left || Parent->Align() == TDockAlign::Right;
        const bool Horizontal = Parent->Align() == TDockAlign::Top || Parent->Align() == TDockAlign::Bottom;
        if (!(IsExpandLocked || IsWidthLocked || Vertical))
            Client.Width = Wanted.Width;
        if (!(IsExpandLocked || IsHeightLocked || Horizontal))
            Client.Height = Wanted.Height;
    }
    TSize Size{Client.Width + M.Left + M.Right, Client.Height + M.Top + M.Bottom};
    if (FIsMinimized) {
        // Only the title strip along the title side stays.
        const TTitleAlign Side = EffectiveTitleSide();
        if (Side == TTitleAlign::Left || Side == TTitleAlign::Right)
            Size.Width = M.Left + M.Right;
        else
            Size.Height = M.Top + M.Bottom;
    }
    return Size;
}

void TToolWindow::Apply(bool Preview) {
    const TRect Client = ClientRect();
    const TSize Size = Client.Size();
    if (!FIsMinimized && Size.Width > 0 && Size.Height > 0) {
        // The window got its final size from its host: lay the table out in
        // the client area it really has.
        FTable.SetBounds({0, 0, Size.Width, Size.Height});
        if (!Preview)
            for (auto& Item : Items()) {
                Item->AroundRect = Item->WorkRect;
                Item->Visible = Item->WorkVisible;
            }
        FLaidClient = Size;
    }
    if (FIsMinimized)
        for (auto& Item : Items())
            Item->WorkVisible = false;
    TToolBox::Apply(Preview);
    FMinMax->Invalidate();
}

void TToolWindow::RememberClient(TSize Size) {
    if (!DockList().MainWindow()) {
        NormalClient.Valid = MaximizedClient.Valid = false;
        return;
    }
    TClientSize* Slot = CurrentClient();
    if (Slot)
        *Slot = {Size.Width, Size.Height, true};
}

void TToolWindow::Layout() {
    if (IsFloating() && !FIsMinimized && !IsDestroying()) {
        const TRect Client = ClientRect();
        if (FLaidClient.Width >= 0 && Client.Size() != FLaidClient && Client.Width() > 0 && Client.Height() > 0) {
            // Sized by the user through the window system: the new size is
            // remembered for the main window's state, the placement measured
            // from where the window now is.
            RememberClient(Client.Size());
            ReadBack(ReadBackAround);
        }
    } else if (ParentDock() && !IsDestroying() && ClientRect().Size() != FLaidClient) {
        // Sized by its dock alone (a splitter moved): the content follows.
        Apply(false);
    }
    TToolBox::Layout();
}

void TToolWindow::LayoutNC(int32_t Width, int32_t Height) {
    TToolBox::LayoutNC(Width, Height);
    const TRect Strip = TitleRect(Width, Height);
    const bool Shown = IsFloating() && ShowsTitle() && !Strip.IsEmpty() && TitleAlign() < TTitleAlign::None;
    FMinMax->SetVisible(Shown);
    if (!Shown)
        return;
    if (TitleAlign() == TTitleAlign::Top || TitleAlign() == TTitleAlign::Bottom) {
        const int32_t Size = Strip.Height() - 2;
        FMinMax->SetBounds(TRect::FromSize(Strip.Right - 2 * Size - 1, Strip.Top + 1, Size, Size));
    } else {
        const int32_t Size = Strip.Width() - 2;
        FMinMax->SetBounds(TRect::FromSize(Strip.Left + 1, Strip.Top + 1 + Size, Size, Size));
        Title().TextIndent += Size;
    }
}

void TToolWindow::Paint(TPixels& Pixels) {
    if (!Designing() || !DockingMode() || FTakingSnapshot) {
        TToolBox::Paint(Pixels);
        return;
    }
    const TRect M = NCMargins();
    const bool Inserting = PreviewKind() == TPreviewKind::Insert;
    if (!FSnapshot.IsEmpty()) {
        if (Inserting) {
            TToolBox::Paint(Pixels);
            Pixels.ComposeFaded(-M.Left, -M.Top, 64, FSnapshot);
        } else {
            Pixels.CopyFrom(-M.Left, -M.Top, FSnapshot);
        }
    } else {
        TToolBox::Paint(Pixels);
    }
    FTable.PaintDesign(Pixels, 0);
    TTable* Target = FPreview.Target;
    if (!Target)
        return;
    const TColor Highlight = SystemColors().Highlight, HighlightText = SystemColors().HighlightText;
    const TRect Node = Target->Bounds();
    Pixels.FrameRect(Node, Highlight);
    // The insertion marker: a bar 3 pixels wide on the boundary where the
    // new column (row) goes, or inside the leaf that is split.
    auto Bar = [&](TRect R) {
        Pixels.FillRect(R, Highlight);
        if (R.Width() > 2 && R.Height() > 2)
            Pixels.FrameRect(R, HighlightText);
    };
    auto Boundary = [&](bool Cols, int32_t Index) -> int32_t {
        const int32_t Count = Cols ? Target->ColCount() : Target->RowCount();
        const bool Leaf = Count == 0;
        const int32_t Start = Cols ? Node.Left : Node.Top, End = Cols ? Node.Right : Node.Bottom;
        if (Leaf)
            return Index <= 0 ? Start + (End - Start) / 4 : Start + 3 * (End - Start) / 4;
        if (Index >= Count)
            return (Cols ? Target->ColAt(Count - 1) : Target->RowAt(Count - 1)).End;
        return (Cols ? Target->ColAt(Index) : Target->RowAt(Index)).Start;
    };
    if (FPreview.ColAction != TTableAction::None) {
        const int32_t X = Boundary(true, FPreview.Col);
        Bar({X - 1, Node.Top, X + 2, Node.Bottom});
    }
    if (FPreview.RowAction != TTableAction::None) {
        const int32_t Y = Boundary(false, FPreview.Row);
        Bar({Node.Left, Y - 1, Node.Right, Y + 2});
    }
}

// ---- stored form

void TToolWindow::LoadProps(TData& Data) {
    TToolBox::LoadProps(Data);
    if (Data.Exists("Floating")) {
        TDataSection Section(Data, "Floating");
        ReadClient(Data, "Normal", NormalClient);
        ReadClient(Data, "Maximized", MaximizedClient);
    }
    CloseState = TCloseState(std::clamp(Data.ReadInteger("CloseState", 0), 0, 1));
    FIsMinimized = Data.ReadBool("IsMinimized", false);
    IsWidthLocked = Data.ReadBool("IsWidthLocked", IsWidthLocked);
    IsHeightLocked = Data.ReadBool("IsHeightLocked", IsHeightLocked);
    IsExpandLocked = Data.ReadBool("IsExpandLocked", IsExpandLocked);
    FAltIsMinimized = FIsMinimized;
    FAltCloseState = CloseState;
    if (Data.Exists("AltLayout")) {
        TDataSection Section(Data, "AltLayout");
        FAltIsMinimized = Data.ReadBool("IsMinimized", FIsMinimized);
        FAltCloseState = TCloseState(std::clamp(Data.ReadInteger("CloseState", int32_t(CloseState)), 0, 1));
    }
}

void TToolWindow::SaveProps(TData& Data) {
    TToolBox::SaveProps(Data);
    {
        TDataSection Section(Data, "Floating");
        WriteClient(Data, "Normal", NormalClient);
        WriteClient(Data, "Maximized", MaximizedClient);
    }
    Data.WriteInteger("CloseState", int32_t(CloseState));
    Data.WriteBool("IsMinimized", FIsMinimized);
    Data.WriteBool("IsWidthLocked", IsWidthLocked);
    Data.WriteBool("IsHeightLocked", IsHeightLocked);
    Data.WriteBool("IsExpandLocked", IsExpandLocked);
    TDataSection Section(Data, "AltLayout");
    Data.WriteBool("IsMinimized", FAltIsMinimized);
    Data.WriteInteger("CloseState", int32_t(FAltCloseState));
}

namespace {

// The tool window's items as its table stores them.
class TToolWindowTableItems : public TTableItems<TTableHook> {
public:
    explicit TToolWindowTableItems(TToolWindow& Window, TDockItem* (*Build)(TToolWindow&, TData&))
        : FWindow(Window), FBuild(Build) {}
    bool IsStored(const TTableHook& Hook) const override { return Find(Hook) && Find(Hook)->Factory; }
    void SaveItem(TData& Data, const TTableHook& Hook) override {
        if (TToolWindowItem* Item = Find(Hook))
            FWindow.WriteItem(Data, *Item);
    }
    TTableHook* LoadItem(TData& Data) override {
        TDockItem* Item = FBuild(FWindow, Data);
        return Item ? &static_cast<TToolWindowItem*>(Item)->Hook : nullptr;
    }

private:
    TToolWindowItem* Find(const TTableHook& Hook) const {
        for (auto& Item : FWindow.Items())
            if (&static_cast<TToolWindowItem&>(*Item).Hook == &Hook)
                return static_cast<TToolWindowItem*>(Item.get());
        return nullptr;
    }
    TToolWindow& FWindow;
    TDockItem* (*FBuild)(TToolWindow&, TData&);
};

} // namespace

void TToolWindow::SaveItems(TData& Data) {
    // Every item is stored once: in the table cell that holds it, or in the
    // list when no cell does.
    {
        TDataSection List(Data, "List");
        int32_t Count = 0;
        for (auto& Item : Items())
            if (Item->Factory && !static_cast<TToolWindowItem&>(*Item).Hook.Table()) {
                TDataSection Section(Data, ListItemName("Item[", Count++));
                WriteItem(Data, *Item);
            }
        Data.WriteInteger("Count", Count);
    }
    TToolWindowTableItems Stored(*this, [](TToolWindow&, TData&) -> TDockItem* { return nullptr; });
    TDataSection Table(Data, "Table");
    FTable.Save(Data, &Stored);
}

void TToolWindow::LoadItems(TData& Data) {
    const size_t Before = Items().size();
    TDock::LoadItems(Data);
    if (Data.Exists("Table")) {
        TToolWindowTableItems Stored(*this, [](TToolWindow& Window, TData& In) { return Window.BuildItem(In); });
        TDataSection Table(Data, "Table");
        FTable.Load(Data, &Stored);
    }
    // Items no cell holds go in one by one at the centre of their stored
    // rectangle, with the table laid out in the client area.
    for (size_t I = Before; I < Items().size(); ++I) {
        auto& Item = static_cast<TToolWindowItem&>(*Items()[I]);
        if (Item.Hook.Table())
            continue;
        Item.WorkRect = Item.AroundRect;
        Item.WorkVisible = Item.Visible;
        FTable.Update();
        const TSize Client = ClientSize();
        FTable.SetBounds({0, 0, Client.Width, Client.Height});
        const TRect R = Item.AroundRect;
        if (!FTable.HasChildren() && !FTable.Hook())
            FTable.SetHook(&Item.Hook);
        else if (!FTable.Insert(R.Left + R.Width() / 2, R.Top + R.Height() / 2, R, Item.Hook))
            FTable.Insert(FTable.Bounds().Right - 1, FTable.Bounds().Top + FTable.Bounds().Height() / 2, R,
                          Item.Hook);
    }
    FTable.Pack();
}

// ---- TToolWindowFactory

TToolWindowFactory::TToolWindowFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                                       std::string_view Id)
    : TToolBoxFactory(List, Category, Name, Id) {
    SetControlClass(TToolWindow::Class);
}

// ---- SetItemVisible

void SetItemVisible(TWidget& Control, bool Visible, TItemShowMode ShowMode) {
    TDock* Dock = DockList().DockOf(Control);
    TDockItem* Item = Dock ? Dock->FindItem(Control) : nullptr;
    if (!Item) {
        Control.SetVisible(Visible);
        return;
    }
    Item->Visible = Visible;
    if (auto* Own = dynamic_cast<TToolWindowItem*>(Item))
        Own->ShowMode = ShowMode;
    Dock->RootDock().Relayout();
}
