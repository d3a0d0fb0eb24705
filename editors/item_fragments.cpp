#include "editors/item_fragments.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/changes.h"
#include "editors/clip_media.h"
#include "editors/sub_track_fragment.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_paint.h"
#include "platform/keys.h"
#include "playback/player_window.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/effect.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/transition.h"
#include "render/effect_description.h"
#include "render/timeline.h"
#include "render/timeline_element.h"
#include "render/transition_description.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

bool HasModifier(uint16_t Shift, uint16_t Bits) { return (Shift & Bits) != 0; }

constexpr TItemColors ClipColors{MakeColor(255, 192, 0, 80), MakeColor(255, 160, 0, 160)};
constexpr TItemColors TitleColors{MakeColor(255, 192, 0, 48), MakeColor(255, 160, 0, 160)};
constexpr TItemColors ClipEffectColors{MakeColor(64, 192, 255, 80), MakeColor(64, 192, 255, 160)};
constexpr TItemColors TransitionColors{MakeColor(255, 128, 0, 80), MakeColor(255, 128, 0, 160)};
constexpr TItemColors EffectColors{MakeColor(0, 192, 255, 80), MakeColor(0, 192, 255, 160)};
constexpr TItemColors SelectedColors{MakeColor(0, 80, 255, 80), MakeColor(0, 80, 255, 128)};
constexpr TItemColors FailedColors{MakeColor(255, 0, 0, 96), MakeColor(255, 0, 0, 192)};
constexpr TItemColors SelectedFailedColors{MakeColor(128, 0, 255, 96), MakeColor(128, 0, 255, 192)};

const TTextAttr& LabelFont() {
    static const TTextAttr Font{.FontName = "Arial", .Height = -11};
    return Font;
}

std::string FileLabel(const TClip& Clip) {
    if (const auto* File = dynamic_cast<const TFileClip*>(&Clip))
        return std::filesystem::path(File->FileName()).filename().string();
    return {};
}

} // namespace

// ---- TItemFragment

TItemFragment::TItemFragment(TArea& Area, TItem& Item) : TFragment(Area), FItem(&Item) {}

TSubTrackFragment& TItemFragment::Cell() const { return static_cast<TSubTrackFragment&>(*Parent()); }

TItemColors TItemFragment::Colors() const {
    const bool Selected = FItem->IsSelected();
    if (!HasRenderElement())
        return Selected ? SelectedFailedColors : FailedColors;
    return Selected ? SelectedColors : KindColors();
}

bool TItemFragment::IsItemSelected() const { return FItem->IsSelected(); }

void TItemFragment::SetHotEdges(int32_t Code) {
    bool Left = EdgesActive() && Code == int32_t(TItemEdge::Left);
    bool Right = EdgesActive() && Code == int32_t(TItemEdge::Right);
    if (Left == FLeftEdgeHot && Right == FRightEdgeHot)
        return;
    FLeftEdgeHot = Left;
    FRightEdgeHot = Right;
    SetCursor(Left || Right ? TCursorKind::SizeWE : TCursorKind::Arrow);
    Invalidate();
}

int32_t TItemFragment::CursorLineX() const {
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    const TProject* Shown = Desktop.Project();
    return Desktop.TimeToX(Shown ? Shown->Position() : 0) - AreaRect().Left;
}

void TItemFragment::SetCursorLineHot(bool Hot) {
    Hot = Hot && HighlightsCursorLine();
    if (Hot == FCursorLineHot)
        return;
    FCursorLineHot = Hot;
    Invalidate();
}

void TItemFragment::MouseMove(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    const int32_t X = Event.Position.X;
    const int32_t Y = Event.Position.Y;
    if (!FPressed) {
        SetHotEdges(EdgeCodeAt(X, Y));
        SetCursorLineHot(std::abs(X - CursorLineX()) <= 3);
        return;
    }
    TFragmentRef Self(this);
    TSubTrackFragment& Owner = Cell();
    TFragmentRef CellRef(&Owner);
    // Cell coordinates stay put while the items move under the mouse.
    const int32_t CellX = X + AreaRect().Left - Owner.AreaRect().Left;
    if (!FDragging) {
        if (X == FPressPoint.X)
            return;
        FDragging = true;
        TProject* Shown = Owner.Track().Project();
        if ((FLeftEdgeHot || FRightEdgeHot) && Shown)
            Shown->Select(CursorItem(), false);
        TCellDragMode Mode = HasModifier(Shift, ShortCutShift) ? TCellDragMode::BothEdges
                             : FLeftEdgeHot                   ? TCellDragMode::LeftEdge
                             : FRightEdgeHot                  ? TCellDragMode::RightEdge
                                                              : TCellDragMode::Move;
        if (!CellRef)
            return;
        Owner.DragStart(Mode, FPressPoint.X + FPressCellOffset);
    }
    if (CellRef && Self)
        Owner.DragStep(CellX, !HasModifier(Shift, ShortCutCtrl | ShortCutShift));
}

void TItemFragment::MouseLeave() {
    if (!FPressed)
        SetHotEdges(-1);
    SetCursorLineHot(false);
}

void TItemFragment::MouseDown(TWidgetMouseEvent& Event) {
    const TMouseButton Button = Event.Button;
    const uint16_t Shift = Event.Modifiers;
    const int32_t X = Event.Position.X;
    const int32_t Y = Event.Position.Y;
    TFragmentRef Self(this);
    TFragment::MouseDown(Event);
    TTrackItem* Target = CursorItem();
    TProject* Shown = Target && Target->Track() ? Target->Track()->Project() : nullptr;
    if (!Shown || !Self)
        return;
    FPressPoint = {X, Y};
    FPressCellOffset = AreaRect().Left - Cell().AreaRect().Left;
    FPressed = true;
    FDragging = false;
    if (Button == TMouseButton::Left && Area().PressClicks() >= 2 && PreviewInPlayer(X))
        return;
    TUpdateGuard Bracket(Shown->Changes());
    SetHotEdges(EdgeCodeAt(X, Y));
    if (!FItem->IsSelected()) {
        Shown->Select(FItem.Get(), HasModifier(Shift, ShortCutCtrl | ShortCutShift));
        Shown->MoveCursorIntoItem(Target);
    }
    if (Button == TMouseButton::Right && HighlightsCursorLine() && !FCursorLineHot) {
        TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
        TVideoTime Time = Desktop.XToTime(X + AreaRect().Left);
        Shown->SetPosition(std::clamp<TVideoTime>(Time, 0, Shown->Timeline().GetDuration()));
    }
}

bool TItemFragment::PreviewInPlayer(int32_t X) {
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    TPlayerWindow* Player = Desktop.BoundPlayer();
    TTrackItem* Target = CursorItem();
    if (!Player || !Desktop.Project() || !Target || !Target->Element())
        return false;
    // The item alone, from the time under the mouse.
    const TVideoTime Offset = std::max<TVideoTime>(0, Desktop.XToTime(X + AreaRect().Left) - Target->Element()->Start());
    Player->ShowItem(Desktop.Project()->Timeline(), *Target->Element(), Offset);
    return true;
}

void TItemFragment::MouseUp(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    const int32_t X = Event.Position.X;
    const int32_t Y = Event.Position.Y;
    TFragmentRef Self(this);
    const bool WasDragging = std::exchange(FDragging, false);
    const bool WasPressed = std::exchange(FPressed, false);
    TTrackItem* Target = CursorItem();
    TProject* Shown = Target && Target->Track() ? Target->Track()->Project() : nullptr;
    if (WasDragging) {
        Cell().DragEnd();
    } else if (WasPressed && Shown && !HasModifier(Shift, ShortCutCtrl | ShortCutShift)) {
        TUpdateGuard Bracket(Shown->Changes());
        Shown->Select(FItem.Get(), false);
        Shown->MoveCursorIntoItem(Target);
    }
    // The drag's end may have rebuilt the row, and this fragment with it.
    if (!Self)
        return;
    TFragment::MouseUp(Event);
    if (Self)
        SetHotEdges(EdgeCodeAt(X, Y));
}

void TItemFragment::CaptureLost() {
    FPressed = false;
    if (std::exchange(FDragging, false))
        Cell().DragEnd();
}

void TItemFragment::PaintBox(TPixels& Pixels, const TRect& Box) const {
    const TItemColors Look = Colors();
    FPaintedSelected = IsItemSelected();
    const int32_t W = Box.Width(), H = Box.Height();
    if (W <= 0 || H <= 0)
        return;
    if (W <= 2 || H <= 2) {
        Pixels.BlendRect(Box, Look.Border);
        return;
    }
    const TRect Inner{Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1};
    // Over the plain row the fill is one opaque colour: filling is far
    // cheaper than blending every pixel.
    const std::optional<TColor> Below = LiesOnRow() ? Cell().PlainBackground() : std::nullopt;
    if (Below)
        Pixels.FillRect(Inner, ColorOver(Look.Fill, *Below));
    else
        Pixels.BlendRect(Inner, Look.Fill);
    bool HasContent = false;
    if (W > 4 && H > 4) {
        TPixelsStateSaver Saver(Pixels);
        Pixels.SetClipRect(Pixels.ClipRect().Intersected(Inner.Translated(Pixels.Origin)));
        HasContent = PaintContent(Pixels, Inner);
        // The selection tints the pictures too, so it reads over them.
        if (HasContent && FItem->IsSelected())
            Pixels.BlendRect(Inner, Look.Fill);
    }
    // The border with its corner pixels left out (two on taller boxes), so
    // that the box reads as rounded.
    const int32_t Round = H >= 12 && W >= 8 ? 2 : 1;
    Pixels.BlendRect({Box.Left + Round, Box.Top, Box.Right - Round, Box.Top + 1}, Look.Border);
    Pixels.BlendRect({Box.Left + Round, Box.Bottom - 1, Box.Right - Round, Box.Bottom}, Look.Border);
    Pixels.BlendRect({Box.Left, Box.Top + Round, Box.Left + 1, Box.Bottom - Round}, Look.Border);
    Pixels.BlendRect({Box.Right - 1, Box.Top + Round, Box.Right, Box.Bottom - Round}, Look.Border);
    if (Round == 2) {
        Pixels.BlendRect({Box.Left + 1, Box.Top + 1, Box.Left + 2, Box.Top + 2}, Look.Border);
        Pixels.BlendRect({Box.Right - 2, Box.Top + 1, Box.Right - 1, Box.Top + 2}, Look.Border);
        Pixels.BlendRect({Box.Left + 1, Box.Bottom - 2, Box.Left + 2, Box.Bottom - 1}, Look.Border);
        Pixels.BlendRect({Box.Right - 2, Box.Bottom - 2, Box.Right - 1, Box.Bottom - 1}, Look.Border);
    }
    if (FLeftEdgeHot)
        Pixels.BlendRect({Box.Left, Box.Top, Box.Left + 2, Box.Bottom}, AlphaColor(Look.Border, 255));
    if (FRightEdgeHot)
        Pixels.BlendRect({Box.Right - 2, Box.Top, Box.Right, Box.Bottom}, AlphaColor(Look.Border, 255));
    if (FCursorLineHot) {
        const int32_t X = CursorLineX();
        Pixels.BlendRect({X, Box.Top, X + 1, Box.Bottom}, MakeColor(0, 80, 255, 255));
    }
    if (W <= 4)
        return;
    const std::string Text = Label();
    if (Text.empty())
        return;
    // Shaped and rasterised once per text, then only stamped.
    const TLabelStamp& Stamp = TimelineLabelStamps().Get(Text, LabelFont(), AlphaColor(SkinColors().TextColor, 255));
    const TRect& Ink = Stamp.Ink;
    TPixelsStateSaver Saver(Pixels);
    TRect Inset{Box.Left + 2, Box.Top + 2, Box.Right - 2, Box.Bottom - 2};
    Pixels.SetClipRect(Pixels.ClipRect().Intersected(Inset.Translated(Pixels.Origin)));
    // Centred, but a label wider than its box starts at the box's left, so
    // that the start of a name shows. Over pictures the label sits at the
    // top on a backing of the window colour.
    int32_t X = Ink.Width() <= Inset.Width() ? Box.Left + (W - Ink.Width()) / 2 - Ink.Left : Inset.Left - Ink.Left;
    int32_t Y = HasContent ? Inset.Top + 1 - Ink.Top : Box.Top + (H - Ink.Height()) / 2 - Ink.Top;
    if (HasContent) {
        X = Inset.Left + 2 - Ink.Left;
        const TRect Backing{X + Ink.Left - 2, Y + Ink.Top - 1, X + Ink.Right + 2, Y + Ink.Bottom + 1};
        Pixels.BlendRect(Backing, AlphaColor(SystemColors().Window, 192));
    }
    TLabelStamps::Draw(Pixels, X, Y, Stamp);
}

void TItemFragment::Paint(TPixels& Pixels) { PaintBox(Pixels, {0, 0, Width(), Height()}); }

// ---- TTrackItemFragment

TTrackItemFragment::TTrackItemFragment(TArea& Area, TTrackItem& Item) : TItemFragment(Area, Item) {}

TTrackItem& TTrackItemFragment::TrackItem() const { return static_cast<TTrackItem&>(Item()); }

TVideoTime TTrackItemFragment::StartTime() const { return TrackItem().Position(); }

TVideoTime TTrackItemFragment::EndTime() const { return TrackItem().End(); }

bool TTrackItemFragment::HasRenderElement() const { return TrackItem().Element() != nullptr; }

// ---- clips

TClipFragment::TClipFragment(TArea& Area, TClip& Clip) : TTrackItemFragment(Area, Clip) {}

TClip& TClipFragment::Clip() const { return static_cast<TClip&>(Item()); }

bool TClipFragment::EdgesActive() const { return Clip().IsStretchable(); }

int32_t TClipFragment::HitTest(int32_t X, int32_t Y) const {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
        return -1;
    const int32_t Fifth = Height() / 5;
    int32_t Left = 0, Right = Width();
    if (Y >= Fifth && Y < Height() - Fifth) {
        // The middle band leaves the overlaps to the transitions there.
        if (Leading)
            Left = std::max(Left, Leading->Left() + Leading->Width() - this->Left());
        if (Trailing)
            Right = std::min(Right, Trailing->Left() - this->Left());
        if (X < Left || X >= Right)
            return -1;
    }
    return int32_t(EdgeAt(X, Left, Right));
}

std::string TAudioClipFragment::Label() const { return FileLabel(Clip()); }
TItemColors TAudioClipFragment::KindColors() const { return ClipColors; }
std::string TVideoClipFragment::Label() const { return FileLabel(Clip()); }
TItemColors TVideoClipFragment::KindColors() const { return ClipColors; }

namespace {

// The columns of Inner that the canvas would show, in fragment coordinates.
std::pair<int32_t, int32_t> VisibleColumns(const TPixels& Pixels, const TRect& Inner) {
    const int32_t From = std::max(Inner.Left, Pixels.ClipRect().Left - Pixels.Origin.X);
    const int32_t To = std::min(Inner.Right, Pixels.ClipRect().Right - Pixels.Origin.X);
    return {From, To};
}

// Inner less the parts the clip's transitions cover, so that the pictures
// leave the transitions (drawn before the next clip) in sight.
TRect BetweenTransitions(const TClipFragment& Clip, TRect Inner) {
    if (Clip.Leading)
        Inner.Left = std::max(Inner.Left, Clip.Leading->Left() + Clip.Leading->Width() - Clip.Left());
    if (Clip.Trailing)
        Inner.Right = std::min(Inner.Right, Clip.Trailing->Left() - Clip.Left());
    return Inner;
}

} // namespace

bool TVideoClipFragment::PaintContent(TPixels& Pixels, const TRect& Box) const {
    const TRect Inner = BetweenTransitions(*this, Box);
    const auto* File = dynamic_cast<const TFileClip*>(&Clip());
    if (!File || Inner.Height() < 8 || Inner.Width() <= 0)
        return false;
    const TPixels* Tile = TimelineDesktopOf(*this).Media().Thumbnail(File->FileName(), Inner.Height());
    if (!Tile)
        return false;
    const auto [From, To] = VisibleColumns(Pixels, Inner);
    // One tile and a one-pixel gap per step, from the clip's start, so the
    // pictures stay put while the clip scrolls.
    TPixelsStateSaver Saver(Pixels);
    Pixels.SetClipRect(Pixels.ClipRect().Intersected(Inner.Translated(Pixels.Origin)));
    const int32_t Step = Tile->Width() + 1;
    for (int32_t X = Box.Left + std::max(0, (From - Box.Left) / Step * Step); X < To; X += Step)
        Pixels.CopyFrom(X, Inner.Top, *Tile);
    return true;
}

bool TAudioClipFragment::PaintContent(TPixels& Pixels, const TRect& Box) const {
    const TRect Inner = BetweenTransitions(*this, Box);
    const auto* File = dynamic_cast<const TFileClip*>(&Clip());
    if (!File || Inner.Height() < 4 || Inner.Width() <= 0)
        return false;
    const TAudioPeaks* Peaks = TimelineDesktopOf(*this).Media().Peaks(File->FileName(), File->MediaDuration());
    if (!Peaks)
        return false;
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    const auto [From, To] = VisibleColumns(Pixels, Inner);
    const int32_t Middle = (Inner.Top + Inner.Bottom) / 2, Half = Inner.Height() / 2;
    const TColor Wave = Item().IsSelected() ? MakeColor(0, 48, 160, 200) : MakeColor(150, 84, 0, 200);
    // Media time at a fragment column: the clip's trim start plus the time
    // from the clip's start.
    const TVideoTime MediaStart = File->TrimBegin() - Desktop.PixelsToTime(0);
    for (int32_t X = From; X < To; ++X) {
        const TVideoTime T0 = MediaStart + Desktop.PixelsToTime(X), T1 = MediaStart + Desktop.PixelsToTime(X + 1);
        const int32_t Level = Peaks->PeakIn(T0, std::max(T1, T0 + 1)) * Half / 255;
        Pixels.BlendRect({X, Middle - Level, X + 1, Middle + std::max(Level, 1)}, Wave);
    }
    return true;
}

std::string TTitleClipFragment::Label() const {
    const std::string& Text = static_cast<const TTitleClip&>(Clip()).Text();
    return Text.substr(0, Text.find_first_of("\r\n"));
}

TItemColors TTitleClipFragment::KindColors() const { return TitleColors; }

void TTitleClipFragment::Paint(TPixels& Pixels) {
    PaintBox(Pixels, {0, 0, Width(), Height()});
    // A "T" mark in the corner tells titles from clips at a glance.
    if (Width() > 14 && Height() > 12) {
        const TColor Mark = AlphaColor(Colors().Border, 255);
        Pixels.FillRect({3, 3, 10, 4}, Mark);
        Pixels.FillRect({6, 3, 7, 11}, Mark);
    }
}

// ---- transitions

TTransitionFragment::TTransitionFragment(TArea& Area, TTransition& Transition)
    : TTrackItemFragment(Area, Transition) {}

TTransition& TTransitionFragment::Transition() const { return static_cast<TTransition&>(Item()); }

std::string TTransitionFragment::Label() const {
    return Transition().TransitionElement() ? Transition().Description().DisplayName() : std::string();
}

TItemColors TTransitionFragment::KindColors() const { return TransitionColors; }

int32_t TTransitionFragment::HitTest(int32_t X, int32_t Y) const {
    int32_t Left = From ? 1 : 0, Right = Width() - (To ? 1 : 0);
    if (X < Left || X >= Right || Y < 0 || Y >= Height())
        return -1;
    return int32_t(EdgeAt(X, Left, Right));
}

void TTransitionFragment::Paint(TPixels& Pixels) {
    PaintBox(Pixels, {0, 0, Width(), Height()});
    // The crossing diagonals of a transition.
    if (Width() > 6 && Height() > 6) {
        const TColor Line = AlphaColor(Colors().Border, 160);
        Pixels.Line(1, 1, Width() - 2, Height() - 2, TSmooth::Yes, Line);
        Pixels.Line(1, Height() - 2, Width() - 2, 1, TSmooth::Yes, Line);
    }
}

// ---- effects

TEffectFragment::TEffectFragment(TArea& Area, TEffect& Effect) : TTrackItemFragment(Area, Effect) {}

TEffect& TEffectFragment::Effect() const { return static_cast<TEffect&>(Item()); }

std::string TEffectFragment::Label() const {
    return Effect().EffectElement() ? Effect().Description().DisplayName() : std::string();
}

TItemColors TEffectFragment::KindColors() const { return EffectColors; }

TClipEffectFragment::TClipEffectFragment(TArea& Area, TClipEffect& Effect) : TItemFragment(Area, Effect) {}

TClipEffect& TClipEffectFragment::ClipEffect() const { return static_cast<TClipEffect&>(Item()); }

std::string TClipEffectFragment::Label() const {
    return ClipEffect().Element() ? ClipEffect().Description().DisplayName() : std::string();
}

TItemColors TClipEffectFragment::KindColors() const { return ClipEffectColors; }

TVideoTime TClipEffectFragment::StartTime() const {
    return ClipEffect().Clip() ? ClipEffect().Clip()->Position() : 0;
}

TVideoTime TClipEffectFragment::EndTime() const { return ClipEffect().Clip() ? ClipEffect().Clip()->End() : 0; }

bool TClipEffectFragment::HasRenderElement() const { return ClipEffect().Element() != nullptr; }

TTrackItem* TClipEffectFragment::CursorItem() const { return ClipEffect().Clip(); }
