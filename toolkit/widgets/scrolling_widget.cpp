#include "toolkit/widgets/scrolling_widget.h"

#include "core/numbers.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TScrollingWidget::Class{"TScrollingWidget", &TWidget::Class,
                                            CreateControlOf<TScrollingWidget>};

enum class TScrollBarPartKind : uint8_t { LessArrow, MoreArrow, Track, Thumb };

// One part of a drawn scroll bar. The arrows step a line on the press and
// on every repeat tick while held; the track pages toward the mouse until
// the thumb reaches it; the thumb follows the mouse while dragged.
class TScrollBarPart : public TNCGadget {
public:
    TScrollBarPart(TScrollingWidgetScrollBar& Bar, TScrollBarPartKind Kind) : FBar(Bar), FKind(Kind) {}

    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void RepeatTick() override;
    void CaptureEnd() override;
    void Paint(TPixels& Pixels) override;

private:
    // The mouse along the bar, in the widget's coordinates.
    int32_t MouseAlong(const TWidgetMouseEvent& Event) const {
        return FBar.Along(Event.Position + Bounds().TopLeft());
    }
    void Step();
    // Ends a press: the release, or the capture ending first.
    void Finish();
    void PaintArrow(TPixels& Pixels, const TRect& Rect);

    TScrollingWidgetScrollBar& FBar;
    TScrollBarPartKind FKind;
    bool FIsActive = false;  // a left press began here and is held
    int32_t FMouse = 0;      // the mouse along the bar (track)
    int32_t FGrab = 0;       // the mouse's offset into the thumb (thumb)
    TScrollCommand FPaging = TScrollCommand::PageDown;
};

void TScrollBarPart::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    Event.Accept();
    FIsActive = true;
    FMouse = MouseAlong(Event);
    if (FKind == TScrollBarPartKind::Thumb) {
        FGrab = FMouse - FBar.Along(FBar.ThumbRect().TopLeft());
        Invalidate();
        return;
    }
    if (FKind == TScrollBarPartKind::Track) {
        int32_t ThumbStart = FBar.Along(FBar.TrackRect().TopLeft()) + FBar.ThumbOffset();
        FPaging = FMouse < ThumbStart ? TScrollCommand::PageUp : TScrollCommand::PageDown;
    }
    Step();
}

void TScrollBarPart::MouseMove(TWidgetMouseEvent& Event) {
    if (!FIsActive)
        return;
    FMouse = MouseAlong(Event);
    if (FKind != TScrollBarPartKind::Thumb)
        return;
    int32_t Offset = FMouse - FGrab - FBar.Along(FBar.TrackRect().TopLeft());
    FBar.Widget().Scroll(FBar.Kind(), TScrollCommand::ThumbTrack, FBar.PositionAtThumbOffset(Offset));
}

void TScrollBarPart::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    Event.Accept();
    Finish();
}

// The window ends the capture before it hands on the release.
void TScrollBarPart::CaptureEnd() {
    Finish();
}

void TScrollBarPart::Finish() {
    if (!FIsActive)
        return;
    FIsActive = false;
    Invalidate();
    if (FKind == TScrollBarPartKind::Thumb)
        FBar.Widget().Scroll(FBar.Kind(), TScrollCommand::ThumbPosition, FBar.Position());
    FBar.Widget().Scroll(FBar.Kind(), TScrollCommand::EndScroll);
}

void TScrollBarPart::RepeatTick() {
    if (FIsActive)
        Step();
}

void TScrollBarPart::Step() {
    TScrollingWidget& Widget = FBar.Widget();
    switch (FKind) {
    case TScrollBarPartKind::LessArrow:
        Widget.Scroll(FBar.Kind(), TScrollCommand::LineUp);
        break;
    case TScrollBarPartKind::MoreArrow:
        Widget.Scroll(FBar.Kind(), TScrollCommand::LineDown);
        break;
    case TScrollBarPartKind::Track: {
        // Paging stops once the thumb has reached the mouse.
        int32_t ThumbStart = FBar.Along(FBar.TrackRect().TopLeft()) + FBar.ThumbOffset();
        bool Before = FMouse < ThumbStart;
        bool After = FMouse >= ThumbStart + FBar.ThumbLength();
        if ((FPaging == TScrollCommand::PageUp && Before) || (FPaging == TScrollCommand::PageDown && After))
            Widget.Scroll(FBar.Kind(), FPaging);
        break;
    }
    case TScrollBarPartKind::Thumb:
        break;
    }
}

// The colours of the parts, from the skin: a trough lighter than the face,
// a thumb darker than it, each darker again while hot and pressed.
namespace {

TColor TroughColor() {
    return MixColors(SkinColors().FaceColor, SkinColors().HighlightColor, 144);
}

TColor PagingColor() {
    return MixColors(SkinColors().FaceColor, SkinColors().ShadowColor, 112);
}

TColor ThumbColor(bool IsHot, bool IsDown) {
    const TSkinColors& Colors = SkinColors();
    if (IsDown)
        return MixColors(Colors.ShadowColor, Colors.TextColor, 64);
    return MixColors(Colors.FaceColor, Colors.ShadowColor, IsHot ? 192 : 112);
}

} // namespace

void TScrollBarPart::Paint(TPixels& Pixels) {
    TRect Rect{0, 0, Bounds().Width(), Bounds().Height()};
    bool Vertical = FBar.Kind() == TScrollBarKind::Vertical;
    switch (FKind) {
    case TScrollBarPartKind::LessArrow:
    case TScrollBarPartKind::MoreArrow:
        PaintArrow(Pixels, Rect);
        break;
    case TScrollBarPartKind::Track: {
        Pixels.FillRect(Rect, TroughColor());
        if (!FIsActive || !IsHot())
            break;
        // The stretch being paged over, from the thumb to the track's end.
        int32_t ThumbStart = FBar.ThumbOffset();
        int32_t ThumbEnd = ThumbStart + FBar.ThumbLength();
        int32_t From = FPaging == TScrollCommand::PageUp ? 0 : ThumbEnd;
        int32_t To = FPaging == TScrollCommand::PageUp ? ThumbStart : FBar.TrackLength();
        TRect Paged = Vertical ? TRect{0, From, Rect.Right, To} : TRect{From, 0, To, Rect.Bottom};
        Pixels.FillRect(Paged, PagingColor());
        break;
    }
    case TScrollBarPartKind::Thumb: {
        // Inset across so that a line of trough shows on both sides.
        TRect Inner = Vertical ? TRect{2, 0, Rect.Right - 2, Rect.Bottom} : TRect{0, 2, Rect.Right, Rect.Bottom - 2};
        Pixels.FillRect(Inner, ThumbColor(IsHot(), FIsActive));
        break;
    }
    }
}

void TScrollBarPart::PaintArrow(TPixels& Pixels, const TRect& Rect) {
    bool Less = FKind == TScrollBarPartKind::LessArrow;
    bool CanMove = FBar.Widget().IsEnabledInTree() &&
                   (Less ? FBar.Position() > 0 : FBar.Position() < FBar.MaxPosition());
    bool Pressed = FIsActive && IsHot();
    TButtonState State{CanMove, false, Pressed, IsHot()};
    Pixels.FillRect(Rect, SkinColors().FaceColor);
    PaintButtonBackground(Rect, Pixels, State);
    PaintButtonFrame(Rect, Pixels, State);

    // A solid triangle of rows 1, 3, 5 ... pixels wide, pointing away from
    // the track; crisp at every size.
    TColor Color = CanMove ? SkinColors().TextColor : SkinColors().DisabledTextColor;
    int32_t Half = std::max(2, std::min(Rect.Width(), Rect.Height()) / 4);
    int32_t Shift = Pressed ? 1 : 0;
    int32_t Cx = Rect.Width() / 2 + Shift - (Rect.Width() % 2 == 0 ? 1 : 0);
    int32_t Cy = Rect.Height() / 2 + Shift - (Rect.Height() % 2 == 0 ? 1 : 0);
    bool Vertical = FBar.Kind() == TScrollBarKind::Vertical;
    // Row I (0 at the tip) is 2I + 1 wide; the tip sits Half / 2 before the
    // centre so that the triangle is centred along the bar.
    for (int32_t I = 0; I <= Half; ++I) {
        int32_t Along = Less ? I - Half / 2 : Half / 2 - I;
        if (Vertical)
            Pixels.FillRect({Cx - I, Cy + Along, Cx + I + 1, Cy + Along + 1}, Color);
        else
            Pixels.FillRect({Cx + Along, Cy - I, Cx + Along + 1, Cy + I + 1}, Color);
    }
}

// ---- TScrollingWidgetScrollBar

TScrollingWidgetScrollBar::TScrollingWidgetScrollBar(TScrollingWidget& Widget, TScrollBarKind Kind)
    : FWidget(Widget), FKind(Kind), FThickness(TScrollingWidget::SkinThickness()) {}

int32_t TScrollingWidgetScrollBar::MaxPosition() const {
    return std::max(0, FRange - FPage);
}

int32_t TScrollingWidgetScrollBar::Clamp(int64_t Position) const {
    return int32_t(std::clamp<int64_t>(Position, 0, MaxPosition()));
}

TRect TScrollingWidgetScrollBar::BarRect() const {
    if (FSize == 0)
        return {};
    int32_t Edge = FWidget.HasEdge() ? TScrollingWidget::EdgeWidth : 0;
    int32_t W = FWidget.Width(), H = FWidget.Height();
    TRect Bar;
    if (FKind == TScrollBarKind::Vertical)
        Bar = {W - Edge - FSize, Edge, W - Edge, H - Edge - FWidget.HorzScrollBar().Size()};
    else
        Bar = {Edge, H - Edge - FSize, W - Edge - FWidget.VertScrollBar().Size(), H - Edge};
    return Bar.IsEmpty() ? TRect{} : Bar;
}

int32_t TScrollingWidgetScrollBar::ArrowLength() const {
    TRect Bar = BarRect();
    int32_t Length = FKind == TScrollBarKind::Vertical ? Bar.Height() : Bar.Width();
    return std::min(FThickness, Length / 2);
}

int32_t TScrollingWidgetScrollBar::TrackLength() const {
    TRect Bar = BarRect();
    int32_t Length = FKind == TScrollBarKind::Vertical ? Bar.Height() : Bar.Width();
    return std::max(0, Length - 2 * ArrowLength());
}

int32_t TScrollingWidgetScrollBar::ThumbLength() const {
    int32_t Track = TrackLength();
    if (FRange <= 0 || Track < TScrollingWidget::MinThumbLength)
        return 0;
    int32_t Length = MulDivRound(Track, std::min(FPage, FRange), FRange);
    return std::clamp(Length, TScrollingWidget::MinThumbLength, Track);
}

int32_t TScrollingWidgetScrollBar::ThumbOffset() const {
    int32_t Max = MaxPosition();
    return Max > 0 ? MulDivRound(TrackLength() - ThumbLength(), FPosition, Max) : 0;
}

int32_t TScrollingWidgetScrollBar::PositionAtThumbOffset(int32_t Offset) const {
    int32_t Free = TrackLength() - ThumbLength();
    if (Free <= 0)
        return 0;
    return Clamp(MulDivRound(std::clamp(Offset, 0, Free), MaxPosition(), Free));
}

namespace {

// The stretch [From, From + Length) along a bar, across its whole thickness.
TRect Span(const TRect& Bar, TScrollBarKind Kind, int32_t From, int32_t Length) {
    if (Bar.IsEmpty() || Length <= 0)
        return {};
    if (Kind == TScrollBarKind::Vertical)
        return {Bar.Left, Bar.Top + From, Bar.Right, Bar.Top + From + Length};
    return {Bar.Left + From, Bar.Top, Bar.Left + From + Length, Bar.Bottom};
}

} // namespace

TRect TScrollingWidgetScrollBar::LessArrowRect() const {
    return Span(BarRect(), FKind, 0, ArrowLength());
}

TRect TScrollingWidgetScrollBar::MoreArrowRect() const {
    return Span(BarRect(), FKind, ArrowLength() + TrackLength(), ArrowLength());
}

TRect TScrollingWidgetScrollBar::TrackRect() const {
    return Span(BarRect(), FKind, ArrowLength(), TrackLength());
}

TRect TScrollingWidgetScrollBar::ThumbRect() const {
    return Span(BarRect(), FKind, ArrowLength() + ThumbOffset(), ThumbLength());
}

void TScrollingWidgetScrollBar::LayoutParts() {
    std::pair<TScrollBarPart*, TRect> Parts[] = {{FLessArrow, LessArrowRect()},
                                                 {FMoreArrow, MoreArrowRect()},
                                                 {FTrack, TrackRect()},
                                                 {FThumb, ThumbRect()}};
    for (auto& [Part, Rect] : Parts) {
        if (!Part)
            continue;
        Part->SetVisible(!Rect.IsEmpty());
        Part->SetBounds(Rect);
        // The arrows' looks follow the position, the track's the thumb.
        Part->Invalidate();
    }
}

// ---- TScrollingWidget

TScrollingWidget::TScrollingWidget() {
    for (TScrollBarKind Kind : {TScrollBarKind::Horizontal, TScrollBarKind::Vertical}) {
        auto Bar = std::make_unique<TScrollingWidgetScrollBar>(*this, Kind);
        auto Add = [&](TScrollBarPartKind PartKind) {
            auto& Part = static_cast<TScrollBarPart&>(
                AddNCGadget(std::make_unique<TScrollBarPart>(*Bar, PartKind)));
            Part.SetVisible(false);
            return &Part;
        };
        // The thumb last: it lies over the track.
        Bar->FLessArrow = Add(TScrollBarPartKind::LessArrow);
        Bar->FMoreArrow = Add(TScrollBarPartKind::MoreArrow);
        Bar->FTrack = Add(TScrollBarPartKind::Track);
        Bar->FThumb = Add(TScrollBarPartKind::Thumb);
        FBars[size_t(Kind)] = std::move(Bar);
    }
    Skins().Changes().AddChangeHandler(MakeDelegate<&TScrollingWidget::SkinsChanged>(this));
}

TScrollingWidget::~TScrollingWidget() {
    Skins().Changes().RemoveChangeHandler(MakeDelegate<&TScrollingWidget::SkinsChanged>(this));
    if (FIsPanning)
        EndPanning();
}

int32_t TScrollingWidget::SkinThickness() {
    return std::max(DefaultThickness, Skins().Scale(48));
}

void TScrollingWidget::SkinsChanged(TObject* /*Sender*/, TSkinChangeFlags /*Flags*/) {
    int32_t Thickness = SkinThickness();
    for (auto& Bar : FBars) {
        if (Bar->FThickness == Thickness)
            continue;
        int32_t OldSize = Bar->FSize;
        Bar->FThickness = Thickness;
        Bar->FSize = Bar->FPage < Bar->FRange ? Thickness : 0;
        BarChanged(*Bar, OldSize);
    }
}

void TScrollingWidget::SetScrollInfo(TScrollBarKind Kind, int32_t Position, int32_t Range, int32_t Page) {
    TScrollingWidgetScrollBar& Bar = ScrollBar(Kind);
    int32_t OldSize = Bar.FSize;
    if (Range <= 0) {
        Bar.FRange = Bar.FPage = Bar.FPosition = 0;
    } else {
        Bar.FRange = Range;
        Bar.FPage = std::max(0, Page);
        Bar.FPosition = Bar.Clamp(Position);
    }
    Bar.FSize = Bar.FPage < Bar.FRange ? Bar.FThickness : 0;
    BarChanged(Bar, OldSize);
}

void TScrollingWidget::BarChanged(TScrollingWidgetScrollBar& Bar, int32_t OldSize) {
    if (Bar.FSize == OldSize) {
        Bar.LayoutParts();
        return;
    }
    // The client area changed: both bars move, the children are laid out.
    Invalidate();
    LayoutNC(Width(), Height());
    RequestLayout();
}

int32_t TScrollingWidget::MoveBar(TScrollingWidgetScrollBar& Bar, int64_t Position) {
    int32_t New = Bar.Clamp(Position);
    int32_t Delta = New - Bar.FPosition;
    if (Delta != 0) {
        Bar.FPosition = New;
        Bar.LayoutParts();
    }
    return Delta;
}

void TScrollingWidget::Scroll(TScrollBarKind Kind, TScrollCommand Command, int32_t TrackPosition) {
    TScrollingWidgetScrollBar& Bar = ScrollBar(Kind);
    int64_t Position = Bar.FPosition;
    switch (Command) {
    case TScrollCommand::LineUp:
        Position -= LineStep;
        break;
    case TScrollCommand::LineDown:
        Position += LineStep;
        break;
    case TScrollCommand::PageUp:
        Position -= std::max(1, Bar.FPage * 9 / 10);
        break;
    case TScrollCommand::PageDown:
        Position += std::max(1, Bar.FPage * 9 / 10);
        break;
    case TScrollCommand::ThumbPosition:
    case TScrollCommand::ThumbTrack:
        Position = TrackPosition;
        break;
    case TScrollCommand::Top:
        Position = 0;
        break;
    case TScrollCommand::Bottom:
        Position = int64_t(Bar.FRange) - Bar.FPage;
        break;
    case TScrollCommand::EndScroll:
        return;
    }
    int32_t Delta = MoveBar(Bar, Position);
    if (Delta == 0)
        return;
    if (Kind == TScrollBarKind::Horizontal)
        ScrollBy(Delta, 0);
    else
        ScrollBy(0, Delta);
}

void TScrollingWidget::ScrollWithinRange(int32_t DX, int32_t DY) {
    int32_t MovedX = MoveBar(HorzScrollBar(), int64_t(HorzScrollBar().FPosition) + DX);
    int32_t MovedY = MoveBar(VertScrollBar(), int64_t(VertScrollBar().FPosition) + DY);
    if (MovedX != 0 || MovedY != 0)
        ScrollBy(MovedX, MovedY);
}

void TScrollingWidget::PostScrollRequest(int32_t DX, int32_t DY) {
    TWidgetWindow* Window = this->Window();
    TMessageQueue& Messages = Window ? Window->System().Messages() : UiMessages();
    Messages.Post([this, Life = TWeakPtr(this), DX, DY] {
        if (!Life.IsExpired())
            ScrollWithinRange(DX, DY);
    });
}

void TScrollingWidget::ScrollBy(int32_t DX, int32_t DY) {
    for (const auto& Child : Children()) {
        const TRect& B = Child->Bounds();
        Child->SetBounds(TRect::FromSize(B.Left - DX, B.Top - DY, B.Width(), B.Height()));
    }
    TRect Client = ClientRect();
    InvalidateClient({0, 0, Client.Width(), Client.Height()});
}

void TScrollingWidget::SetHasEdge(bool HasEdge) {
    if (HasEdge == FHasEdge)
        return;
    FHasEdge = HasEdge;
    Invalidate();
    LayoutNC(Width(), Height());
    RequestLayout();
}

TRect TScrollingWidget::NCMargins() const {
    int32_t Edge = FHasEdge ? EdgeWidth : 0;
    return {Edge, Edge, Edge + FBars[1]->FSize, Edge + FBars[0]->FSize};
}

void TScrollingWidget::LayoutNC(int32_t /*Width*/, int32_t /*Height*/) {
    for (auto& Bar : FBars)
        Bar->LayoutParts();
}

void TScrollingWidget::PaintFrame(TPixels& Pixels) {
    // The whole border in the face colour first: the edge shades it, the
    // bars' parts paint over their own rectangles, and the square between
    // the two bars keeps it.
    Pixels.FillBand({0, 0, Width(), Height()}, ClientRect(), SkinColors().FaceColor);
    if (FHasEdge)
        PaintEdge({0, 0, Width(), Height()}, Pixels, EdgeWidth, TEdgeDepth::Deep, TEdgeKind::Sunken,
                  TEdgeKind::Sunken);
}

// ---- Panning with the middle button

void TScrollingWidget::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Middle || FIsPanning)
        return;
    TRect Client = ClientRect();
    TWidgetWindow* Window = this->Window();
    if (!Window || !TRect{0, 0, Client.Width(), Client.Height()}.Contains(Event.Position))
        return;
    Event.Accept();
    FIsPanning = true;
    FPanLast = Event.ScreenPosition;
    FPanWindow = TWeakPtr(Window);
    FPanRestoreCursor = Window->Native().Cursor();
    Window->Native().SetCursor(TCursorKind::SizeAll);
    // The toolkit reports no loss of the mouse to another window: watch
    // for it while panning.
    FPanWatch = Window->System().StartTimer(std::chrono::milliseconds(50), TTimerRepeat::Repeat,
                                            [this] { CheckPanCapture(); });
}

void TScrollingWidget::MouseMove(TWidgetMouseEvent& Event) {
    if (!FIsPanning)
        return;
    CheckPanCapture();
    if (!FIsPanning)
        return;
    Event.Accept();
    TPoint Now = Event.ScreenPosition;
    if (Now == FPanLast)
        return;
    TPoint Last = FPanLast;
    FPanLast = Now;
    ScrollWithinRange(Last.X - Now.X, Last.Y - Now.Y);
}

void TScrollingWidget::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Middle || !FIsPanning)
        return;
    Event.Accept();
    EndPanning();
}

void TScrollingWidget::CheckPanCapture() {
    if (!FIsPanning)
        return;
    bool Held = !FPanWindow.IsExpired() && FPanWindow->Capture() == this;
    if (!Held)
        EndPanning();
}

void TScrollingWidget::EndPanning() {
    FIsPanning = false;
    if (FPanWindow.IsExpired())
        return;
    if (FPanWatch)
        FPanWindow->System().StopTimer(FPanWatch);
    FPanWatch = 0;
    if (FPanWindow->Native().Cursor() == TCursorKind::SizeAll)
        FPanWindow->Native().SetCursor(FPanRestoreCursor);
    FPanWindow.Reset();
}

bool TScrollingWidget::MouseWheel(TWidgetMouseEvent& Event) {
    bool Across = Event.IsHorizontalWheel || (Event.Modifiers & ShortCutShift) != 0;
    TScrollingWidgetScrollBar& Bar = Across ? HorzScrollBar() : VertScrollBar();
    if (Bar.MaxPosition() == 0)
        return false; // nothing to scroll here: the parent may
    // Turning the wheel up (positive) goes toward the start; tilting it
    // right (positive) toward the end. Movement worth less than a pixel is
    // kept for the next event, so fine-grained wheels scroll too.
    int64_t Toward = Event.IsHorizontalWheel ? Event.WheelDelta : -int64_t(Event.WheelDelta);
    int64_t Units = Toward * WheelLines * LineStep + Bar.FWheelRest;
    auto Pixels = int32_t(Units / 120);
    Bar.FWheelRest = int32_t(Units % 120);
    if (Across)
        ScrollWithinRange(Pixels, 0);
    else
        ScrollWithinRange(0, Pixels);
    return true;
}

// ---- TScrollingWidgetFactory

TScrollingWidgetFactory::TScrollingWidgetFactory(TFactoryList& List, TFactoryCategory* Category,
                                                 std::string_view Name, std::string_view Id)
    : TWidgetFactory(List, Category, Name, Id) {
    SetControlClass(TScrollingWidget::Class);
}

TScrollingWidgetFactory::TScrollingWidgetFactory(TFactoryCategory* Category, std::string_view Name,
                                                 std::string_view Id)
    : TWidgetFactory(Category, Name, Id) {
    SetControlClass(TScrollingWidget::Class);
}
