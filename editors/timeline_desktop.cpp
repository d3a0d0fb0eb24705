#include "editors/timeline_desktop.h"

#include "canvas/blend_tables.h"
#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/changes.h"
#include "core/text_table.h"
#include "core/time_text.h"
#include "editors/clip_media.h"
#include "editors/header_icons.h"
#include "editors/item_fragments.h"
#include "editors/sub_track_fragment.h"
#include "editors/timeline_paint.h"
#include "editors/timeline_snap.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "playback/player_window.h"
#include "playback/player_windows.h"
#include "project/clip_infos.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/track_item.h"
#include "render/timeline.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cmath>

namespace {

bool HasModifier(uint16_t Shift, uint16_t Bits) { return (Shift & Bits) != 0; }

TColor Opaque(TColor Color) { return AlphaColor(Color, 255); }

// The time bar's shade at row Y of Height rows: from the window colour at
// the top toward the text colour at the bottom.
TColor BarShade(int32_t Y, int32_t Height) {
    const TBlendTables& Tables = BlendTables();
    int32_t V = Height > 0 ? 255 * Y / Height : 0;
    uint8_t Weight = Tables.Mul[16][Tables.Pow1[128][V]];
    return Opaque(MixColors(Opaque(SystemColors().Window), Opaque(SkinColors().TextColor), Weight));
}

// Behind the bands and below the last.
TColor TimelineBackground() { return Opaque(MixColors(SystemColors().Window, SkinColors().FaceColor, 160)); }

} // namespace

TTimelineDesktop& TimelineDesktopOf(const TFragment& Fragment) {
    return static_cast<TTimelineDesktop&>(const_cast<TFragment&>(Fragment).Root());
}

std::unique_ptr<TDesktop> TTimelineDesktopClass::CreateDesktop(TArea& Area) const {
    return std::make_unique<TTimelineDesktop>(Area, &FProject);
}

// ---- TTimelineDesktop

TTimelineDesktop::TTimelineDesktop(TArea& Area, TProject* Project) : TProjectDesktop(Area, Project) {
    SetScales(std::sqrt(2.0), TimelineMaxScale, TimelineNormalScale, TimelineMinScale);
    FMedia = std::make_unique<TClipMedia>(ClipInfos(), UiMessages());
    FMedia->OnChange = [this](TClipInfoChangeFlags Flags) { MediaChanged(Flags); };
    FTimeBar = &Add<TTimeBarFragment>();
    FTracks = &Add<TTracksFragment>();
    FTimeMark = &Add<TTimeMarkFragment>();
    FTracks->Rebuild();
    FBuilt = true;
}

TTimelineDesktop::~TTimelineDesktop() {
    FBuilt = false;
    FMedia->OnChange = nullptr;
}

void TTimelineDesktop::MediaChanged(TClipInfoChangeFlags Flags) {
    if (!FBuilt)
        return;
    const bool Video = HasAny(Flags, ClipInfoChangeVideo);
    const bool Audio = HasAny(Flags, ClipInfoChangeAudio);
    for (TTrackFragment* Band : FTracks->Bands())
        for (const TTrackFragment::TRow& Row : Band->Rows())
            for (const auto& Child : Row.Content->Children())
                if ((Video && dynamic_cast<TVideoClipFragment*>(Child.get())) ||
                    (Audio && dynamic_cast<TAudioClipFragment*>(Child.get())))
                    Child->Invalidate();
}

int32_t TTimelineDesktop::PageWidth() const { return std::max(0, Width() - HeaderWidth()); }

int32_t TTimelineDesktop::TimeToX(TVideoTime Time) const {
    return ClampFragmentCoordinate(int64_t(HeaderWidth()) + TimeToPixels(Time) - FScrollX);
}

TVideoTime TTimelineDesktop::XToTime(int32_t X) const {
    return PixelsToTime(int64_t(X) + FScrollX - HeaderWidth());
}

int64_t TTimelineDesktop::HorizontalRange() const { return FTracks ? FTracks->MaxWidth() * 5 / 4 : 0; }

int64_t TTimelineDesktop::VerticalRange() const { return FTracks ? FTracks->TotalHeight() : 0; }

void TTimelineDesktop::ClampScroll() {
    int64_t MaxX = std::max<int64_t>(0, HorizontalRange() - PageWidth());
    int64_t MaxY = std::max<int64_t>(0, VerticalRange() - std::max(0, Height() - TimeBarHeight()));
    FScrollX = int32_t(std::clamp<int64_t>(FScrollX, 0, std::min<int64_t>(MaxX, INT32_MAX / 2)));
    FScrollY = int32_t(std::clamp<int64_t>(FScrollY, 0, std::min<int64_t>(MaxY, INT32_MAX / 2)));
}

void TTimelineDesktop::Zoom(int32_t Steps, int32_t AnchorX) {
    int32_t From = ZoomStep();
    int32_t To = std::clamp(From + Steps, -TimelineZoomStepLimit, TimelineZoomStepLimit);
    double Scale = ScaleOfZoomStep(To);
    if (Scale == PixelsPerSecond())
        return;
    FZoom = {};
    FZoom.Pending = true;
    FZoom.Position = FScrollX;
    FZoom.Range = HorizontalRange();
    FZoom.Page = PageWidth();
    if (AnchorX >= 0) {
        // The anchor is taken a quarter further from the middle, so that
        // repeated zooms drift toward the pointer.
        int64_t A = int64_t(AnchorX) - HeaderWidth();
        A += (A - FZoom.Page / 2) / 4;
        FZoom.Anchor = A;
        FZoom.HasAnchor = true;
    }
    SetScale(Scale);
    FZoom.Pending = false;
}

void TTimelineDesktop::ZoomNormal() { Zoom(-ZoomStep()); }

void TTimelineDesktop::ScrollTo(int32_t X, int32_t Y) {
    FScrollX = X;
    FScrollY = Y;
    ClampScroll();
    Area().Relayout();
}

void TTimelineDesktop::KeepCursorVisible() {
    if (!Project())
        return;
    int64_t Cursor = TimeToPixels(Project()->Position());
    int64_t Page = PageWidth();
    if (Page <= 0)
        return;
    int64_t X = FScrollX;
    if (Cursor < X)
        X = Cursor - Page / 8;
    else if (Cursor >= X + Page)
        X = Cursor - Page + Page / 8;
    else
        return;
    ScrollTo(int32_t(std::clamp<int64_t>(X, 0, INT32_MAX / 2)), FScrollY);
}

TPlayerWindow* TTimelineDesktop::BoundPlayer() const {
    return PlayerWindows().Target(Area().Parent());
}

void TTimelineDesktop::ShowTimeInPlayer(TVideoTime Time, TPlay Play) {
    TProject* Shown = Project();
    if (!Shown)
        return;
    if (TPlayerWindow* Player = BoundPlayer()) {
        Player->ShowProject(Shown->Timeline(), Time);
        if (Play == TPlay::Yes)
            Player->Play();
    }
    Shown->SetPosition(Time);
    KeepCursorVisible();
}

void TTimelineDesktop::Measure() {}

void TTimelineDesktop::Arrange() {
    TDesktop::Arrange();
    const int32_t W = Work().Width, H = Work().Height, Bar = TimeBarHeight();
    // The size is committed only after this: the page is read from the work box.
    if (FZoom.Pending) {
        int64_t NewRange = HorizontalRange();
        int64_t Page = std::max(0, W - HeaderWidth());
        int64_t Position = 0;
        if (FZoom.HasAnchor && FZoom.Page > 0 && FZoom.Range > 0) {
            Position = (FZoom.Position + FZoom.Anchor) * NewRange / FZoom.Range -
                       std::min(std::max<int64_t>(FZoom.Anchor, 0), Page - 1) * Page / FZoom.Page;
        } else if (FZoom.Range > 0) {
            Position = (FZoom.Position + Page / 2) * NewRange / FZoom.Range - Page / 2;
        }
        FScrollX = int32_t(std::clamp<int64_t>(Position, 0, INT32_MAX / 2));
        FZoom.Pending = false;
    }
    int64_t MaxX = std::max<int64_t>(0, HorizontalRange() - std::max(0, W - HeaderWidth()));
    int64_t MaxY = std::max<int64_t>(0, VerticalRange() - std::max(0, H - Bar));
    FScrollX = int32_t(std::clamp<int64_t>(FScrollX, 0, std::min<int64_t>(MaxX, INT32_MAX / 2)));
    FScrollY = int32_t(std::clamp<int64_t>(FScrollY, 0, std::min<int64_t>(MaxY, INT32_MAX / 2)));
    FTimeBar->Work() = {0, 0, W, Bar};
    FTracks->Work() = {0, Bar, W, std::max(0, H - Bar)};
    int32_t MarkX = ClampFragmentCoordinate(int64_t(HeaderWidth()) + TimeToPixels(Project() ? Project()->Position() : 0) -
                                            FScrollX - Scaled(3));
    FTimeMark->Work() = {MarkX, 0, 2 * Scaled(3) + 1, H};
}

TFragmentScrollInfo TTimelineDesktop::GetScrollInfo() const {
    TFragmentScrollInfo Info;
    auto Limit = [](int64_t Value) { return int32_t(std::clamp<int64_t>(Value, 0, INT32_MAX / 2)); };
    Info.Horizontal = {FScrollX, Limit(HorizontalRange()), PageWidth()};
    Info.Vertical = {FScrollY, Limit(VerticalRange()), std::max(0, Height() - TimeBarHeight())};
    return Info;
}

void TTimelineDesktop::MoveTimeMark() {
    FTimeMark->Invalidate();
    int32_t MarkX = ClampFragmentCoordinate(int64_t(HeaderWidth()) + TimeToPixels(Project() ? Project()->Position() : 0) -
                                            FScrollX - Scaled(3));
    FTimeMark->SetBox({MarkX, 0, 2 * Scaled(3) + 1, Height()});
    FTimeMark->UpdateRects();
    FTimeMark->Invalidate();
}

void TTimelineDesktop::TellItemsTheCursorMoved() {
    // Only an item under the mouse can show the cursor's line, and the
    // mouse is over what is in view.
    for (TTrackFragment* Band : FTracks->Bands())
        for (const TTrackFragment::TRow& Row : Band->Rows()) {
            const auto& Items = Row.Content->Children();
            const auto [First, Last] = Row.Content->ChildrenWithin(Row.Content->VisibleRect());
            for (size_t I = First; I < Last && I < Items.size(); ++I)
                static_cast<TItemFragment&>(*Items[I]).CursorMoved();
        }
}

void TTimelineDesktop::RepaintSelection() {
    for (TTrackFragment* Band : FTracks->Bands()) {
        // A selected track tints its whole band.
        if (Band->SelectionShownChanged()) {
            Band->Invalidate();
            continue;
        }
        for (const TTrackFragment::TRow& Row : Band->Rows()) {
            if (Row.Header->SelectionShownChanged())
                Row.Header->Invalidate();
            if (Row.Content->SelectionShownChanged()) {
                Row.Content->Invalidate();
                continue;
            }
            // Items out of view repaint whole when they scroll in.
            const auto& Items = Row.Content->Children();
            const auto [First, Last] = Row.Content->ChildrenWithin(Row.Content->VisibleRect());
            for (size_t I = First; I < Last && I < Items.size(); ++I)
                if (static_cast<const TItemFragment&>(*Items[I]).SelectionShownChanged())
                    Items[I]->Invalidate();
        }
    }
}

bool TTimelineDesktop::HandleKey(uint8_t Key, uint16_t Shift) {
    TProject* Shown = Project();
    const bool Ctrl = HasModifier(Shift, ShortCutCtrl), Alt = HasModifier(Shift, ShortCutAlt),
               ShiftKey = HasModifier(Shift, ShortCutShift);
    if (Alt)
        return false;
    auto MoveCursor = [&](TVideoTime Time) {
        if (!Shown)
            return;
        Shown->SetPosition(std::clamp<TVideoTime>(Time, 0, MaxProjectPosition));
        KeepCursorVisible();
    };
    TStepKind Kind = Ctrl ? TStepKind::Frame : ShiftKey ? TStepKind::TenSeconds : TStepKind::Second;
    switch (Key) {
    case KeyLeft:
        MoveCursor(StepBack(Kind));
        return true;
    case KeyRight:
        MoveCursor(StepForward(Kind));
        return true;
    case KeyHome:
        MoveCursor(0);
        return true;
    case KeyEnd:
        if (Shown)
            MoveCursor(Shown->Timeline().GetDuration());
        return true;
    case KeyDelete:
        if (Shown && !Shown->Tracking() && !Ctrl && !ShiftKey)
            Shown->DeleteSelection();
        return true;
    case KeyPadPlus:
    case KeyEquals:
        Zoom(1);
        return true;
    case KeyPadMinus:
    case KeyMinus:
        Zoom(-1);
        return true;
    case KeyPad0:
    case Key0:
        ZoomNormal();
        return true;
    case KeyPageUp:
        ScrollPage(TScrollDirection::Left);
        return true;
    case KeyPageDown:
        ScrollPage(TScrollDirection::Right);
        return true;
    default:
        return false;
    }
}

void TTimelineDesktop::KeyDown(TWidgetKeyEvent& Event) {
    const uint8_t Key = Event.Key;
    const uint16_t Shift = Event.Modifiers;
    if (HandleKey(Key, Shift))
        Event.Accept();
    else
        TDesktop::KeyDown(Event);
}

void TTimelineDesktop::MouseDown(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    TDesktop::MouseDown(Event);
    if (Project())
        Project()->Select(nullptr, HasModifier(Shift, ShortCutCtrl | ShortCutShift));
}

void TTimelineDesktop::MouseWheel(TWidgetMouseEvent& Event) {
    const int32_t X = Event.Position.X;
    const int32_t Delta = Event.WheelDelta;
    if (Delta == 0)
        return;
    Zoom(Delta > 0 ? 1 : -1, std::max(X, 0));
}

void TTimelineDesktop::Paint(TPixels& Pixels) {
    // The time bar and the tracks cover the rest, and the tracks paint the
    // background between their bands themselves: filling the whole
    // desktop first would paint most pixels twice.
    Pixels.FillRect({0, FTracks->Top() + FTracks->Height(), Width(), Height()}, TimelineBackground());
}

void TTimelineDesktop::ProjectChanged(TObject* /*Sender*/, TProjectChangeFlags Flags) {
    if (!FBuilt)
        return;
    if (HasAny(Flags, ProjectChangePosition)) {
        MoveTimeMark();
        TellItemsTheCursorMoved();
    }
    if (HasAny(Flags, ProjectChangeTrackList)) {
        FTracks->Rebuild();
        Area().Relayout();
        return;
    }
    if (HasAny(Flags, ProjectChangeSubTrackList)) {
        for (TTrackFragment* Band : FTracks->Bands())
            Band->RebuildRows();
        Area().Relayout();
        return;
    }
    // The track's sound shows in its headers; the selection in the
    // headers, rows and items whose state changed.
    if (HasAny(Flags, ProjectChangeTrackAudio))
        for (TTrackFragment* Band : FTracks->Bands())
            for (const TTrackFragment::TRow& Row : Band->Rows())
                Row.Header->Invalidate();
    if (HasAny(Flags, ProjectChangeSelection))
        RepaintSelection();
    const TProjectChangeFlags Rest = Flags & ~(ProjectChangeSelection | ProjectChangeTrackAudio |
                                              ProjectChangePosition | ProjectChangeFileName);
    if (!Any(Rest))
        return;
    if (HasAny(Rest, ProjectChangeItemList)) {
        for (TTrackFragment* Band : FTracks->Bands())
            for (const TTrackFragment::TRow& Row : Band->Rows())
                Row.Content->RebuildItems();
        Area().Relayout();
        return;
    }
    if (HasAny(Rest, ProjectChangeTiming)) {
        Area().Relayout();
        return;
    }
    Area().Invalidate();
}

TVideoTime TTimelineDesktop::StepBack(TStepKind Kind) {
    TVideoTime Position = Project() ? Project()->Position() : 0;
    TVideoTime Frame = Project() ? Project()->Timeline().FrameDuration() : 0;
    return StepBackTime(Project(), Position, CursorStepSize(Kind, PixelsPerSecond(), Frame));
}

TVideoTime TTimelineDesktop::StepForward(TStepKind Kind) {
    TVideoTime Position = Project() ? Project()->Position() : 0;
    TVideoTime Frame = Project() ? Project()->Timeline().FrameDuration() : 0;
    return StepForwardTime(Project(), Position, CursorStepSize(Kind, PixelsPerSecond(), Frame));
}

void TTimelineDesktop::ScrollPage(TScrollDirection Direction) {
    int32_t DX = Width() / 3 + 1, DY = Height() / 3 + 1;
    switch (Direction) {
    case TScrollDirection::Left:
        ScrollTo(FScrollX - DX, FScrollY);
        break;
    case TScrollDirection::Right:
        ScrollTo(FScrollX + DX, FScrollY);
        break;
    case TScrollDirection::Up:
        ScrollTo(FScrollX, FScrollY - DY);
        break;
    case TScrollDirection::Down:
        ScrollTo(FScrollX, FScrollY + DY);
        break;
    }
}

void TTimelineDesktop::Scrolled(int32_t DX, int32_t DY) {
    FScrollX += DX;
    FScrollY += DY;
    ClampScroll();
    // The cells' positions follow the scroll: arrange again without
    // measuring, which the scroll does not change.
    Area().Relayout();
}

void TTimelineDesktop::ScaleChanged() {
    if (FBuilt)
        Area().Relayout();
}

// ---- TTimeBarFragment

void TTimeBarFragment::MoveCursorTo(int32_t X) {
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    if (TProject* Shown = Desktop.Project()) {
        Shown->SetPosition(std::clamp<TVideoTime>(Desktop.XToTime(X), 0, MaxProjectPosition));
        Desktop.KeepCursorVisible();
    }
}

void TTimeBarFragment::MouseDown(TWidgetMouseEvent& Event) {
    const TMouseButton Button = Event.Button;
    const int32_t X = Event.Position.X;
    TFragment::MouseDown(Event);
    if (Button != TMouseButton::Left || X < TTimelineDesktop::HeaderWidth())
        return;
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    Desktop.ShowTimeInPlayer(std::clamp<TVideoTime>(Desktop.XToTime(X), 0, MaxProjectPosition),
                             Area().PressClicks() >= 2 ? TTimelineDesktop::TPlay::Yes : TTimelineDesktop::TPlay::No);
}

void TTimeBarFragment::MouseMove(TWidgetMouseEvent& Event) {
    const int32_t X = Event.Position.X;
    if (IsPressed() && HasCapture())
        MoveCursorTo(std::max(X, TTimelineDesktop::HeaderWidth()));
}

void TTimeBarFragment::Paint(TPixels& Pixels) {
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    const int32_t W = Width(), H = Height(), Header = TTimelineDesktop::HeaderWidth();
    for (int32_t Y = 0; Y < H; ++Y)
        Pixels.FillRect({0, Y, W, Y + 1}, BarShade(Y, H));
    Pixels.BlendRect({0, H - 1, W, H}, AlphaColor(SkinColors().TextColor, 16));
    // The corner over the header column.
    Pixels.FillRect({0, 0, Header, H}, Opaque(SkinColors().FaceColor));
    Pixels.FillRect({Header - 1, 0, Header, H}, Opaque(SkinColors().ShadowColor));
    Pixels.FillRect({0, H - 1, Header, H}, Opaque(SkinColors().ShadowColor));
    TPixelsStateSaver Saver(Pixels);
    Pixels.SetClipRect(Pixels.ClipRect().Intersected(TRect{Header + Pixels.Origin.X, Pixels.Origin.Y,
                                                            W + Pixels.Origin.X, H + Pixels.Origin.Y}));
    const double Scale = Desktop.PixelsPerSecond();
    const TVideoTime FirstTime = Desktop.XToTime(Header), LastTime = Desktop.XToTime(W);
    const TTextAttr Font{.FontName = "Courier New", .Height = -(H / 2 + 2)};
    // Where label ink may start at the earliest: past the tick of time 0
    // (bold ticks reach a pixel further) and its backing's one pixel.
    const int32_t ZeroInk = Desktop.TimeToX(0) + 3;
    ForEachIntervalSpaced(Scale, MinTickSpacing(), [&](int32_t I, const TTimeInterval& Entry, long Spacing) {
        const TTickRange Ticks = TicksAround(Entry, FirstTime, LastTime);
        const int64_t Skip = TickSkipRatio(I);
        const int32_t TickWidth = Entry.Bold ? 3 : 1;
        const int32_t TickHeight = (H - 1) * Entry.Height / 319;
        const uint8_t TickAlpha = uint8_t(std::min<long>(2 * (Spacing - MinTickSpacing()) + 32, 255));
        const bool Labels = Spacing >= MinLabelSpacing();
        const uint8_t LabelAlpha = uint8_t(std::min<long>(Spacing + 128 - MinLabelSpacing(), 255));
        for (int64_t K = Ticks.First; K <= Ticks.Last; ++K) {
            if (Skip > 0 && K % Skip == 0)
                continue;
            const TVideoTime Time = TickTime(Entry, K);
            const int32_t X = Desktop.TimeToX(Time);
            Pixels.BlendRect({X - TickWidth / 2, 0, X - TickWidth / 2 + TickWidth, TickHeight},
                             AlphaColor(Entry.Color, TickAlpha));
            if (!Labels)
                continue;
            const std::string Text = FormatTime(double(Time) / VideoTimeUnitsPerSecond);
            const TLabelStamp& Stamp = TimelineLabelStamps().Get(Text, Font, AlphaColor(Entry.Color, LabelAlpha));
            const TRect& Ink = Stamp.Ink;
            // Centred on its tick, except the label of time 0, which would
            // reach behind the header column: it starts right of its tick.
            const int32_t TextLeft = std::max(X - Ink.Width() / 2 - Ink.Left, ZeroInk - Ink.Left);
            const int32_t TextTop = H - 1 - Ink.Bottom;
            Pixels.FillRect({TextLeft + Ink.Left - 1, TextTop + Ink.Top, TextLeft + Ink.Right + 1, H - 1},
                            BarShade(H - 2, H));
            TLabelStamps::Draw(Pixels, TextLeft, TextTop, Stamp);
        }
    });
}

// ---- TTracksFragment

void TTracksFragment::Rebuild() {
    FBands.clear();
    DeleteChildren();
    TProject* Shown = TimelineDesktopOf(*this).Project();
    if (!Shown)
        return;
    for (int32_t I = 0; I < Shown->TrackCount(); ++I)
        FBands.push_back(&Add<TTrackFragment>(*Shown->Track(I)));
}

void TTracksFragment::Measure() {
    FMaxWidth = 0;
    FTotalHeight = 1;
    for (TTrackFragment* Band : FBands) {
        FMaxWidth = std::max(FMaxWidth, Band->MaxWidth());
        FTotalHeight += Band->BandHeight() + 2;
    }
}

void TTracksFragment::Arrange() {
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    int64_t Running = -int64_t(Desktop.ScrollY());
    for (TTrackFragment* Band : FBands) {
        Band->Work() = {0, ClampFragmentCoordinate(Running + 1), Work().Width, Band->BandHeight()};
        Running += Band->BandHeight() + 2;
    }
}

void TTracksFragment::SetInsertIndex(int32_t Index) {
    if (Index == FInsertIndex)
        return;
    FInsertIndex = Index;
    Invalidate();
}

void TTracksFragment::MouseDown(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    TFragment::MouseDown(Event);
    if (TProject* Shown = TimelineDesktopOf(*this).Project())
        Shown->Select(nullptr, HasModifier(Shift, ShortCutCtrl | ShortCutShift));
}

void TTracksFragment::MouseMove(TWidgetMouseEvent& Event) {
    const int32_t X = Event.Position.X;
    const int32_t Y = Event.Position.Y;
    if (X >= TTimelineDesktop::HeaderWidth() && !FBands.empty()) {
        SetInsertIndex(-1);
        return;
    }
    int32_t Index = int32_t(FBands.size());
    for (size_t I = 0; I < FBands.size(); ++I) {
        const TTrackFragment& Band = *FBands[I];
        if (Band.Top() + Band.Height() / 2 > Y) {
            Index = int32_t(I);
            break;
        }
    }
    SetInsertIndex(Index);
}

void TTracksFragment::MouseLeave() {
    if (!FMenuOpen)
        SetInsertIndex(-1);
}

void TTracksFragment::Paint(TPixels& Pixels) {
    // Only the space the bands leave: the gaps between them and below the
    // last, the header column in the face colour.
    const int32_t Header = TTimelineDesktop::HeaderWidth();
    const TColor Face = Opaque(SkinColors().FaceColor), Background = TimelineBackground();
    auto FillGap = [&](int32_t Top, int32_t Bottom) {
        if (Bottom <= Top)
            return;
        Pixels.FillRect({0, Top, Header, Bottom}, Face);
        Pixels.FillRect({Header, Top, Width(), Bottom}, Background);
    };
    int32_t Covered = 0;
    for (const TTrackFragment* Band : FBands) {
        FillGap(Covered, Band->Top());
        Covered = std::max(Covered, Band->Top() + Band->Height());
    }
    FillGap(Covered, Height());
    if (FInsertIndex < 0)
        return;
    int32_t Y = 0;
    if (FInsertIndex < int32_t(FBands.size()))
        Y = FBands[size_t(FInsertIndex)]->Top() - 1;
    else if (!FBands.empty())
        Y = FBands.back()->Top() + FBands.back()->Height() + 1;
    TColor Mark = FMenuOpen ? MakeColor(0, 128, 255, 255) : MakeColor(255, 128, 0, 64);
    Pixels.BlendRect({0, Y - 2, TTimelineDesktop::HeaderWidth(), Y + 2}, Mark);
}

// ---- TTrackFragment

int32_t RowHeight(const TTrack& Track, const TSubTrack& SubTrack) {
    const TTrackKind Kind = Track.Kind();
    switch (SubTrack.Kind()) {
    case TSubTrackKind::Effect:
        return Scaled(Kind == TTrackKind::Effects ? 24 : 16);
    case TSubTrackKind::Video:
        return Scaled(Kind == TTrackKind::Any || Kind == TTrackKind::Video ? 64 : 24);
    case TSubTrackKind::Audio:
    case TSubTrackKind::None:
        return Scaled(24);
    }
    return Scaled(24);
}

TTrackFragment::TTrackFragment(TArea& Area, TTrack& Track) : TFragment(Area), FTrack(&Track) { RebuildRows(); }

void TTrackFragment::RebuildRows() {
    FRows.clear();
    DeleteChildren();
    for (int32_t I = 0; I < FTrack->SubTrackCount(); ++I) {
        TSubTrack& Sub = *FTrack->SubTrack(I);
        TRow Row;
        // The header is made after the cell, so that it lies over the cell
        // when the cell scrolls left under the header column.
        Row.Content = &Add<TSubTrackFragment>(Sub);
        Row.Header = &Add<TSubTrackHeaderFragment>(Sub);
        Row.Height = RowHeight(*FTrack, Sub);
        FRows.push_back(Row);
    }
}

void TTrackFragment::Measure() {
    FMaxWidth = 0;
    int32_t Top = 0;
    for (TRow& Row : FRows) {
        if (&Row != &FRows.front())
            Top += 1;
        Row.Top = Top;
        Top += Row.Height;
        FMaxWidth = std::max(FMaxWidth, Row.Content->MaxWidth());
    }
    FBandHeight = FRows.empty() ? Scaled(16) : Top;
}

void TTrackFragment::Arrange() {
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    const int32_t Header = TTimelineDesktop::HeaderWidth();
    const int64_t Visible = int64_t(Work().Width) - Header + Desktop.ScrollX();
    for (TRow& Row : FRows) {
        int64_t CellWidth = std::max(Row.Content->MaxWidth(), Visible);
        Row.Content->Work() = {Header - Desktop.ScrollX(), Row.Top, ClampFragmentCoordinate(CellWidth), Row.Height};
        Row.Header->Work() = {0, Row.Top, Header, Row.Height};
    }
}

void TTrackFragment::MouseDown(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    TFragment::MouseDown(Event);
    if (TProject* Shown = TimelineDesktopOf(*this).Project())
        Shown->Select(nullptr, HasModifier(Shift, ShortCutCtrl | ShortCutShift));
}

bool TTrackFragment::SelectionShownChanged() const { return FPaintedSelected != FTrack->IsSelected(); }

void TTrackFragment::Paint(TPixels& Pixels) {
    // The rows cover the band but for the separators between them.
    FPaintedSelected = FTrack->IsSelected();
    const TSkinColors& Skin = SkinColors();
    const TColor Separator = Opaque(MixColors(Skin.FaceColor, Skin.ShadowColor, 96));
    auto Paint = [&](int32_t Top, int32_t Bottom) {
        if (Bottom <= Top)
            return;
        Pixels.FillRect({0, Top, Width(), Bottom}, Separator);
        if (FTrack->IsSelected())
            Pixels.BlendRect({0, Top, Width(), Bottom}, MakeColor(0, 80, 255, 32));
    };
    int32_t Covered = 0;
    for (const TRow& Row : FRows) {
        Paint(Covered, Row.Top);
        Covered = std::max(Covered, Row.Top + Row.Height);
    }
    Paint(Covered, Height());
}

// ---- TSubTrackHeaderFragment

namespace {

TTextSlot RowCaption(const TTrack& Track, const TSubTrack& Sub) {
    if (Sub.Kind() == TSubTrackKind::Effect)
        return TTextSlot::EffectRowCaption;
    switch (Track.Kind()) {
    case TTrackKind::Sound:
        return TTextSlot::SoundRowCaption;
    case TTrackKind::Music:
        return TTextSlot::MusicRowCaption;
    case TTrackKind::Overlay:
        return TTextSlot::OverlayRowCaption;
    case TTrackKind::Effects:
        return TTextSlot::EffectsTrackCaption;
    case TTrackKind::Any:
    case TTrackKind::Video:
        break;
    }
    return Sub.Kind() == TSubTrackKind::Audio ? TTextSlot::AudioRowCaption : TTextSlot::VideoRowCaption;
}

TTextSlot RowHint(const TSubTrack& Sub) {
    switch (Sub.Kind()) {
    case TSubTrackKind::Audio:
        return TTextSlot::AudioRowHint;
    case TSubTrackKind::Effect:
        return TTextSlot::EffectRowHint;
    case TSubTrackKind::Video:
    case TSubTrackKind::None:
        break;
    }
    return TTextSlot::VideoRowHint;
}

} // namespace

TSubTrackHeaderFragment::TSubTrackHeaderFragment(TArea& Area, TSubTrack& SubTrack)
    : TFlatFragment(Area), FSubTrack(&SubTrack) {
    SetHint(GetText(RowHint(SubTrack)));
}

void TSubTrackHeaderFragment::MouseDown(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    TFlatFragment::MouseDown(Event);
    TTrack* Owner = FSubTrack->Track();
    if (!Owner || !Owner->Project())
        return;
    TProject& Shown = *Owner->Project();
    TUpdateGuard Bracket(Shown.Changes());
    TItem* Target = FSubTrack->Kind() == TSubTrackKind::Effect && FSubTrack->Index() > 0 ? static_cast<TItem*>(FSubTrack.Get())
                                                                                           : static_cast<TItem*>(Owner);
    Shown.Select(Target, HasModifier(Shift, ShortCutCtrl | ShortCutShift));
}

bool TSubTrackHeaderFragment::ShowsSelected() const {
    const TTrack* Owner = FSubTrack->Track();
    return FSubTrack->IsSelected() || (Owner && Owner->IsSelected());
}

void TSubTrackHeaderFragment::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    const TRect Box{0, 0, Width(), Height()};
    Pixels.FillRect(Box, Opaque(Skin.FaceColor));
    TTrack* Owner = FSubTrack->Track();
    FPaintedSelected = ShowsSelected();
    if (FPaintedSelected)
        Pixels.BlendRect(Box, MakeColor(0, 80, 255, 64));
    if (IsHot() || FMenuOpen)
        Pixels.BlendRect(Box, MakeColor(255, 128, 0, 80));
    Pixels.FillRect({Width() - 1, 0, Width(), Height()}, Opaque(Skin.ShadowColor));
    if (!Owner)
        return;
    TPixelsStateSaver Saver(Pixels);
    Pixels.SetClipRect(Pixels.ClipRect().Intersected(Box.Translated(Pixels.Origin)));
    const TColor Ink = AlphaColor(Skin.TextColor, 255);
    const THeaderIcon Icon = HeaderIconOf(Owner->Kind(), FSubTrack->Kind());
    const std::string& Text = GetText(RowCaption(*Owner, *FSubTrack));
    if (Height() >= 40) {
        // A tall row: the icon above its caption, both centred.
        const int32_t Size = std::min(Width() - 8, Height() / 2 - 4);
        const TTextAttr Font{.FontName = "Arial", .Height = -10};
        const TRect Ink2 = TextExtent(Text, Font);
        const int32_t Total = Size + 3 + Ink2.Height();
        const int32_t Top = (Height() - Total) / 2;
        DrawHeaderIcon(Pixels, Icon, {(Width() - Size) / 2, Top, (Width() + Size) / 2, Top + Size}, Ink);
        Pixels.DrawText((Width() - 1 - Ink2.Width()) / 2 - Ink2.Left, Top + Size + 3 - Ink2.Top, TSmooth::Yes, Ink, Font,
                        Text);
        return;
    }
    // A short row: the icon at the left, the caption beside it when it
    // fits (else the hint names the row).
    const int32_t Size = std::clamp(Height() - 8, 0, 12);
    const TTextAttr Font{.FontName = "Arial", .Height = -std::min(9, std::max(7, Height() - 6))};
    const TRect Ink2 = TextExtent(Text, Font);
    const int32_t IconTop = (Height() - Size) / 2;
    if (Size < 6) {
        Pixels.DrawText(4 - Ink2.Left, (Height() - Ink2.Height()) / 2 - Ink2.Top, TSmooth::Yes, Ink, Font, Text);
        return;
    }
    const int32_t TextLeft = 3 + Size + 3;
    if (TextLeft + Ink2.Width() > Width() - 2) {
        DrawHeaderIcon(Pixels, Icon, {(Width() - Size) / 2, IconTop, (Width() + Size) / 2, IconTop + Size}, Ink);
        return;
    }
    DrawHeaderIcon(Pixels, Icon, {3, IconTop, 3 + Size, IconTop + Size}, Ink);
    Pixels.DrawText(TextLeft - Ink2.Left, (Height() - Ink2.Height()) / 2 - Ink2.Top, TSmooth::Yes, Ink, Font, Text);
}

// ---- TTimeMarkFragment

int32_t TTimeMarkFragment::HitTest(int32_t X, int32_t Y) const {
    return Y < TTimelineDesktop::TimeBarHeight() ? TFlatFragment::HitTest(X, Y) : -1;
}

TVideoTime TTimeMarkFragment::SnappedTime(TVideoTime Time, bool Snap) const {
    const TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    return Snap ? SnapCursorTime(Desktop, Desktop.Project(), Time) : Time;
}

void TTimeMarkFragment::MouseDown(TWidgetMouseEvent& Event) {
    const TMouseButton Button = Event.Button;
    const int32_t X = Event.Position.X;
    TFlatFragment::MouseDown(Event);
    if (Button != TMouseButton::Left)
        return;
    FPressX = X + AreaRect().Left;
    FPressTime = TimelineDesktopOf(*this).Project() ? TimelineDesktopOf(*this).Project()->Position() : 0;
    FPressed = true;
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    if (TPlayerWindow* Player = Desktop.BoundPlayer(); Player && Desktop.Project()) {
        if (Area().PressClicks() >= 2) {
            FResumePlayer = false;
            Desktop.ShowTimeInPlayer(FPressTime, TTimelineDesktop::TPlay::Yes);
        } else if (Player->PlayerObject() != &Desktop.Project()->Timeline()) {
            Player->ShowProject(Desktop.Project()->Timeline(), FPressTime);
        }
    }
}

void TTimeMarkFragment::CaptureGained() {
    // The player holds still while the cursor is dragged.
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    TPlayerWindow* Player = Desktop.BoundPlayer();
    FResumePlayer = Player && Player->IsPlaying() && Area().PressClicks() < 2;
    if (FResumePlayer)
        Player->Halt();
}

void TTimeMarkFragment::CaptureLost() {
    FPressed = false;
    if (!std::exchange(FResumePlayer, false))
        return;
    if (TPlayerWindow* Player = TimelineDesktopOf(*this).BoundPlayer())
        Player->Play();
}

void TTimeMarkFragment::MouseMove(TWidgetMouseEvent& Event) {
    const uint16_t Shift = Event.Modifiers;
    const int32_t X = Event.Position.X;
    if (!FPressed || !HasCapture())
        return;
    TTimelineDesktop& Desktop = TimelineDesktopOf(*this);
    TProject* Shown = Desktop.Project();
    if (!Shown)
        return;
    TVideoTime Time = FPressTime + Desktop.PixelsToTime(int64_t(X) + AreaRect().Left - FPressX);
    Time = SnappedTime(std::clamp<TVideoTime>(Time, 0, MaxProjectPosition), HasModifier(Shift, ShortCutCtrl));
    Shown->SetPosition(Time);
    Desktop.KeepCursorVisible();
}

void TTimeMarkFragment::MouseUp(TWidgetMouseEvent& Event) {
    FPressed = false;
    TFlatFragment::MouseUp(Event);
}

void TTimeMarkFragment::Paint(TPixels& Pixels) {
    const int32_t Bar = TTimelineDesktop::TimeBarHeight();
    const int32_t Center = Width() / 2;
    const TColor Handle = IsHot() || FPressed ? MakeColor(255, 255, 255, 32) : MakeColor(0, 0, 0, 32);
    Pixels.BlendRect({0, 0, Width(), Bar}, Handle);
    Pixels.BlendFrameRect({0, 0, Width(), Bar}, MakeColor(0, 0, 0, 32));
    // The line stays out of the header column.
    if (AreaRect().Left + Center < TTimelineDesktop::HeaderWidth())
        return;
    Pixels.BlendRect({Center, Bar, Center + 1, Height()}, MakeColor(0, 0, 0, FPressed ? 32 : 64));
    // A small triangle under the handle, so the cursor reads at a glance.
    Pixels.BlendRect({Center - 1, Bar, Center + 2, Bar + 2}, MakeColor(0, 0, 0, 96));
}
