#include "toolkit/areas/area.h"

#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <cassert>

const TControlClass TArea::Class{"TArea", &TScrollingWidget::Class, CreateControlOf<TArea>};

// ---- TArea

TArea::TArea() {
    SetBackground(TWidgetBackground::None);
    SetTabStop(true);
    SetHasEdge(true);
    SetBounds(TRect::FromSize(0, 0, DefaultWidth, DefaultHeight));
    Areas().Register(*this);
    if (const TDesktopClass* Maker = Areas().DesktopClass())
        FDesktop = Maker->CreateDesktop(*this);
}

TArea::~TArea() {
    FIsDestroying = true;
    ReleaseWindowCapture();
    Areas().Unregister(*this);
    FDesktop.reset();
    FHotFragment = nullptr;
    FCaptureFragment = nullptr;
    FMenuFragment = nullptr;
}

void TArea::RecreateDesktop() {
    FDesktop.reset();
    if (const TDesktopClass* Maker = Areas().DesktopClass())
        FDesktop = Maker->CreateDesktop(*this);
    Invalidate();
    Relayout();
}

TFragment* TArea::FragmentAt(TPoint Point) const {
    // Later children lie on top, so they are asked first; a fragment answers
    // itself only when none of its children does.
    auto Hit = [](auto& Self, TFragment& Fragment, TPoint P) -> TFragment* {
        const TRect& Rect = Fragment.AreaRect();
        if (!Rect.Contains(P))
            return nullptr;
        const auto& Children = Fragment.Children();
        for (size_t I = Children.size(); I-- > 0;)
            if (TFragment* Found = Self(Self, *Children[I], P))
                return Found;
        return Fragment.HitTest(P.X - Rect.Left, P.Y - Rect.Top) != -1 ? &Fragment : nullptr;
    };
    return FDesktop ? Hit(Hit, *FDesktop, Point) : nullptr;
}

void TArea::Relayout() {
    if (FDesktop) {
        TFragmentRef Desktop(FDesktop.get());
        FDesktop->MeasurePass();
        if (Desktop)
            FDesktop->ArrangePass();
        UpdateScrollBars();
        if (TFragment* Live = Desktop.Get())
            Live->UpdateRects();
    } else {
        UpdateScrollBars();
    }
    TRect Client = ClientRect();
    FLaidOutSize = Client.Size();
    Invalidate();
}

void TArea::UpdateScrollBars() {
    if (FUpdatingScrollBars)
        return;
    FUpdatingScrollBars = true;
    TFragmentScrollInfo Info = FDesktop ? FDesktop->GetScrollInfo() : TFragmentScrollInfo{};
    SetScrollInfo(TScrollBarKind::Horizontal, Info.Horizontal.Position, Info.Horizontal.Range,
                  Info.Horizontal.Page);
    SetScrollInfo(TScrollBarKind::Vertical, Info.Vertical.Position, Info.Vertical.Range, Info.Vertical.Page);
    FUpdatingScrollBars = false;
}

void TArea::SetCaptureFragment(TFragment* Fragment) {
    if (Fragment == FCaptureFragment)
        return;
    TFragmentRef Old(FCaptureFragment), New(Fragment);
    FCaptureFragment = Fragment;
    if (Fragment)
        TakeWindowCapture();
    else
        ReleaseWindowCapture();
    if (TFragment* Lost = Old.Get())
        Lost->CaptureLost();
    if (TFragment* Gained = New.Get(); Gained && Gained == FCaptureFragment)
        Gained->CaptureGained();
    UpdateCursor();
}

void TArea::SetHotFragment(TFragment* Fragment) {
    if (Fragment == FHotFragment)
        return;
    TFragmentRef Old(FHotFragment), New(Fragment);
    FHotFragment = Fragment;
    if (TFragment* Left = Old.Get()) {
        Left->FIsHot = false;
        Left->MouseLeave();
    }
    // The old one's handler may have freed the new one or moved the hot
    // fragment on: only a new one still hot enters.
    if (TFragment* Entered = New.Get(); Entered && Entered == FHotFragment) {
        Entered->FIsHot = true;
        Entered->MouseEnter();
    }
    UpdateHint();
    UpdateCursor();
}

void TArea::UpdateHint() { FHint = FHotFragment ? FHotFragment->Hint() : std::string(); }

void TArea::UpdateCursor() {
    TFragment* Source = FCaptureFragment ? FCaptureFragment : FHotFragment;
    FCursor = Source ? Source->Cursor() : TCursorKind::Arrow;
    if (FIsDestroying)
        return;
    if (TWidgetWindow* Host = Window(); Host && (FMouseInside || FCaptureFragment))
        Host->Native().SetCursor(FCursor);
}

void TArea::ScrollBy(int32_t DX, int32_t DY) {
    if (!FDesktop) {
        TScrollingWidget::ScrollBy(DX, DY);
        return;
    }
    FDesktop->Scrolled(DX, DY);
    UpdateScrollBars();
}

void TArea::TakeWindowCapture() {
    if (FIsDestroying)
        return;
    if (TWidgetWindow* Host = Window())
        Host->SetCapture(*this);
}

void TArea::ReleaseWindowCapture() {
    if (TWidgetWindow* Host = Window(); Host && Host->Capture() == this)
        Host->ReleaseCapture();
}

void TArea::CaptureEnd() {
    TScrollingWidget::CaptureEnd();
    // The window took the capture away: the fragment holding it loses it.
    if (FCaptureFragment && !FIsDestroying)
        SetCaptureFragment(nullptr);
}

void TArea::FragmentDestroyed(TFragment& Fragment) {
    if (&Fragment == FMenuFragment)
        FMenuFragment = nullptr;
    bool Held = &Fragment == FCaptureFragment, Hot = &Fragment == FHotFragment;
    if (!Held && !Hot)
        return;
    if (Held) {
        FCaptureFragment = nullptr;
        ReleaseWindowCapture();
    }
    if (Hot)
        FHotFragment = nullptr;
    UpdateHint();
    UpdateCursor();
}

// ---- the widget's side

namespace {

// Paints Fragment and the children that can show within Clip (canvas
// coordinates), each clipped to its visible rectangle with the origin at its
// own top-left. A fragment whose visible rectangle misses Clip is skipped
// with its subtree: its children are visible only within it. Painting does
// not change the tree, so the walk holds no references.
void PaintFragment(TFragment& Fragment, TPixels& Pixels, const TRect& Clip, TPoint Origin) {
    const TRect FragmentClip = Clip.Intersected(Fragment.VisibleRect().Translated(Origin));
    if (FragmentClip.IsEmpty())
        return;
    const TPoint FragmentOrigin = Origin + Fragment.AreaRect().TopLeft();
    const TRect Extent = TRect::FromSize(FragmentOrigin.X, FragmentOrigin.Y, Fragment.Width(), Fragment.Height());
    if (FragmentClip.Intersects(Extent)) {
        Pixels.SetClipRect(FragmentClip);
        Pixels.Origin = FragmentOrigin;
        Fragment.Paint(Pixels);
    }
    const auto [First, Last] = Fragment.ChildrenWithin(FragmentClip.Translated({-Origin.X, -Origin.Y}));
    const auto& Children = Fragment.Children();
    for (size_t I = First; I < Last && I < Children.size(); ++I)
        PaintFragment(*Children[I], Pixels, FragmentClip, Origin);
}

} // namespace

void TArea::Paint(TPixels& Pixels) {
    const TRect Client{0, 0, ClientWidth(), ClientHeight()};
    if (!FDesktop || !FDesktop->IsOpaque() || FDesktop->AreaRect().Intersected(Client) != Client)
        Pixels.FillRect(Client, SystemColors().Window);
    if (!FDesktop)
        return;
    // Children follow their parent so that they are drawn over it.
    TPixelsStateSaver Saver(Pixels);
    PaintFragment(*FDesktop, Pixels, Pixels.ClipRect(), Pixels.Origin);
}

void TArea::Layout() {
    if (ClientRect().Size() != FLaidOutSize)
        Relayout();
}

void TArea::Changed() { Relayout(); }

void TArea::MouseEnter() {
    TScrollingWidget::MouseEnter();
    FMouseInside = true;
}

void TArea::MouseLeave() {
    TWeakPtr Life(this);
    TScrollingWidget::MouseLeave();
    SetHotFragment(nullptr);
    if (!Life.IsExpired())
        FMouseInside = false;
}

bool TArea::RouteMouse(const TWidgetMouseEvent& Event) {
    TWeakPtr Life(this);
    TFragmentRef Hit(FragmentAt(Event.Position));
    TFragmentRef Target(FCaptureFragment ? FCaptureFragment : Hit.Get());
    // While a fragment holds the capture, only it can be hot.
    if (FCaptureFragment)
        SetHotFragment(Hit.Get() == FCaptureFragment ? FCaptureFragment : nullptr);
    else
        SetHotFragment(Hit.Get());
    // Leave and enter handlers may have rebuilt the tree or freed the area:
    // a target that went away gets nothing.
    if (Life.IsExpired())
        return true;
    TFragment* Fragment = Target.Get();
    if (!Fragment)
        return false;
    TWidgetMouseEvent Local = Event;
    Local.Position = Event.Position - Fragment->AreaRect().TopLeft();
    switch (Event.Kind) {
    case TMouseEventKind::Down:
        FPressClicks = Event.Clicks;
        Fragment->MouseDown(Local);
        if (Event.Button != TMouseButton::Right || Life.IsExpired())
            break;
        if (TFragment* Live = Target.Get())
            if (TLocalMenu* Menu = Live->GetLocalMenu(Local.Position.X, Local.Position.Y);
                Menu && !Life.IsExpired() && Target)
                ShowLocalMenu(*Target.Get(), *Menu, Local.Position, Event.ScreenPosition);
        break;
    case TMouseEventKind::Move:
        Fragment->MouseMove(Local);
        break;
    case TMouseEventKind::Up:
        Fragment->MouseUp(Local);
        break;
    case TMouseEventKind::Wheel:
        Fragment->MouseWheel(Local);
        break;
    }
    return true;
}

void TArea::ShowLocalMenu(TFragment& Target, TLocalMenu& Menu, TPoint Local, TPoint ScreenPosition) {
    TWeakPtr Life(this);
    FMenuFragment = &Target;
    // The fragment whose menu was open hears that it closed, also when
    // preparing or showing it failed; one freed meanwhile hears nothing.
    auto Closed = [&] {
        if (Life.IsExpired())
            return;
        if (TFragment* Owner = FMenuFragment) {
            FMenuFragment = nullptr;
            Owner->LocalMenuClosed(Menu);
        }
    };
    try {
        Target.PrepareLocalMenu(Menu, Local.X, Local.Y);
        if (!Life.IsExpired() && FMenuFragment)
            Menu.Popup(*this, ScreenPosition);
    } catch (...) {
        Closed();
        throw;
    }
    Closed();
}

void TArea::MouseDown(TWidgetMouseEvent& Event) {
    TWeakPtr Life(this);
    RouteMouse(Event);
    if (!Life.IsExpired())
        TScrollingWidget::MouseDown(Event);
}

void TArea::MouseMove(TWidgetMouseEvent& Event) {
    TWeakPtr Life(this);
    RouteMouse(Event);
    if (!Life.IsExpired())
        TScrollingWidget::MouseMove(Event);
}

void TArea::MouseUp(TWidgetMouseEvent& Event) {
    TWeakPtr Life(this);
    RouteMouse(Event);
    if (!Life.IsExpired())
        TScrollingWidget::MouseUp(Event);
}

bool TArea::MouseWheel(TWidgetMouseEvent& Event) {
    // A horizontal wheel is the scroll bars' alone.
    if (Event.IsHorizontalWheel)
        return TScrollingWidget::MouseWheel(Event);
    TWeakPtr Life(this);
    if (RouteMouse(Event) || Life.IsExpired())
        return true;
    return TScrollingWidget::MouseWheel(Event);
}

void TArea::KeyDown(TWidgetKeyEvent& Event) {
    if (!FDesktop)
        return;
    // A key no fragment accepts goes on to the parent widgets.
    FDesktop->KeyDown(Event);
}

void TArea::DropFiles(TWidgetDropEvent& Event) {
    TFragment* Fragment = FragmentAt(Event.Position);
    if (!Fragment)
        return;
    TWidgetDropEvent Local = Event;
    Local.Position = Event.Position - Fragment->AreaRect().TopLeft();
    Event.Accept();
    Fragment->DropFiles(Local);
}

bool TArea::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = DefaultWidth;
    Height = DefaultHeight;
    return true;
}

// ---- TAreaFactory

TAreaFactory::TAreaFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                           std::string_view Id)
    : TScrollingWidgetFactory(List, Category, Name, Id) {
    SetControlClass(TArea::Class);
}

TAreaFactory::TAreaFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id)
    : TScrollingWidgetFactory(Category, Name, Id) {
    SetControlClass(TArea::Class);
}

// ---- TAreas

TAreas& Areas() {
    static TAreas Registry;
    return Registry;
}

// The drag controller is made before the registry (it is asked for here), so
// it is still there when the registry goes.
TAreas::TAreas() {
    Drag().AddStartHandler(MakeDelegate<&TAreas::DragThingStarted>(this));
    Drag().AddMoveHandler(MakeDelegate<&TAreas::DragThingMoved>(this));
    Drag().AddEndHandler(MakeDelegate<&TAreas::DragThingEnded>(this));
}

TAreas::~TAreas() {
    Drag().RemoveStartHandler(MakeDelegate<&TAreas::DragThingStarted>(this));
    Drag().RemoveMoveHandler(MakeDelegate<&TAreas::DragThingMoved>(this));
    Drag().RemoveEndHandler(MakeDelegate<&TAreas::DragThingEnded>(this));
}

void TAreas::DragThingStarted(TThing* /*Thing*/) { DragStarted(); }

void TAreas::DragThingMoved(TThing* /*Thing*/) { DragMoved(); }

void TAreas::DragThingEnded(TThing* /*Thing*/, TDragResult Result) { DragEnded(Result == TDragResult::Dropped); }

void TAreas::Register(TArea& Area) { FAreas.push_back(&Area); }

void TAreas::Unregister(TArea& Area) { std::erase(FAreas, &Area); }

bool TAreas::IsRegistered(const TArea* Area) const {
    return std::find(FAreas.begin(), FAreas.end(), Area) != FAreas.end();
}

void TAreas::SetDesktopClass(const TDesktopClass* Class) {
    if (Class == FDesktopClass)
        return;
    TUpdateGuard Guard(FChanges);
    FDesktopClass = Class;
    if (Class) {
        // A rebuild may create or free areas: each one still registered is
        // rebuilt once.
        std::vector<TArea*> Snapshot = FAreas;
        for (TArea* Area : Snapshot)
            if (IsRegistered(Area))
                Area->RecreateDesktop();
    }
    FChanges.Change(AreasChangeAll);
}

void TAreas::SetSnapToGrid(bool Value) {
    if (Value == FIsSnapToGrid)
        return;
    TUpdateGuard Guard(FChanges);
    FIsSnapToGrid = Value;
    FChanges.Change(AreasChangeAll);
}

void TAreas::SetSnapToObject(bool Value) {
    if (Value == FIsSnapToObject)
        return;
    TUpdateGuard Guard(FChanges);
    FIsSnapToObject = Value;
    FChanges.Change(AreasChangeAll);
}

template <class F>
void TAreas::ForEachAreaFragment(F&& Visit) {
    std::vector<TArea*> Snapshot = FAreas;
    for (TArea* Area : Snapshot)
        if (IsRegistered(Area) && Area->Desktop())
            ForEachFragment(*Area->Desktop(), Visit);
}

void TAreas::DragStarted() {
    ForEachAreaFragment([](TFragment& Fragment) { Fragment.DragStarted(); });
}

void TAreas::DragMoved() {
    ForEachAreaFragment([](TFragment& Fragment) { Fragment.DragMoved(); });
}

void TAreas::DragEnded(bool Dropped) {
    // One bracket per document the desktops show, so a drop that edits a
    // document reports once, after every fragment has heard of the end.
    std::vector<TChanges*> Documents;
    for (TArea* Area : FAreas)
        if (TDesktop* Desktop = Area->Desktop(); Desktop && Desktop->DocumentChanges())
            if (std::find(Documents.begin(), Documents.end(), Desktop->DocumentChanges()) == Documents.end())
                Documents.push_back(Desktop->DocumentChanges());
    std::vector<std::unique_ptr<TUpdateGuard>> Brackets;
    for (TChanges* Document : Documents)
        Brackets.push_back(std::make_unique<TUpdateGuard>(*Document));
    ForEachAreaFragment([Dropped](TFragment& Fragment) { Fragment.DragEnded(Dropped); });
}
