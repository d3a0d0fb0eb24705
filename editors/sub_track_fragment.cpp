#include "editors/sub_track_fragment.h"

#include "canvas/pixels.h"
#include "core/changes.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "editors/item_fragments.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_drag_thing.h"
#include "editors/timeline_paint.h"
#include "platform/keys.h"
#include "platform/media/media_probe.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/drag_things.h"
#include "project/effect.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/transition.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/effect_description.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <optional>

namespace {

bool HasModifier(uint16_t Shift, uint16_t Bits) { return (Shift & Bits) != 0; }

constexpr TVideoTime NoLimit = UnlimitedVideoTime;

const TEffectDescription* EffectDescription(int32_t Index) {
    return DescriptionRegistry().Effects().EffectByIndex(Index);
}

bool EffectSuits(int32_t EffectIndex, const TClip& Clip) {
    const TEffectDescription* Effect = EffectDescription(EffectIndex);
    if (!Effect)
        return false;
    return (Effect->IsAudioEffect() && Clip.HasAudio()) || (Effect->IsVideoEffect() && Clip.HasVideo());
}

// Where a file dropped from the file manager at Time goes: between the
// transitions there, as a dragged clip of no length would, without snapping.
struct TFileClipPlacement {
    TKeepTransitions Keep = TKeepTransitions::Neither;
    TVideoTime Start = 0;
};

TFileClipPlacement PlaceDroppedFile(const TTrack& Owner, TVideoTime Time) {
    const int32_t Index = Owner.IndexAtTime(Time);
    const TTrackItem* Prev = Index > 0 ? Owner.Item(Index - 1) : nullptr;
    const TTrackItem* Next = Index < Owner.ItemCount() ? Owner.Item(Index) : nullptr;
    const TVideoTime PrevEnd = Prev ? Prev->End() : 0;
    const TVideoTime NextStart = Next ? Next->Position() : NoLimit;
    const auto* PrevClip = dynamic_cast<const TClip*>(Prev);
    const auto* NextClip = dynamic_cast<const TClip*>(Next);
    if (PrevClip && PrevClip->TrailingTransition())
        return {TKeepTransitions::Trailing, PrevClip->TrailingTransition()->Position()};
    if (NextClip && NextClip->LeadingTransition())
        return {TKeepTransitions::Leading, NextClip->Position() + NextClip->LeadingTransition()->Duration()};
    const bool Leading = dynamic_cast<const TTransition*>(Prev) && PrevEnd >= Time;
    const bool Trailing = dynamic_cast<const TTransition*>(Next) && Time >= NextStart;
    const TKeepTransitions Keep = TKeepTransitions(uint8_t(Leading) | uint8_t(Trailing) << 1);
    if (Leading && Trailing)
        return {Keep, PrevEnd};
    return {Keep, std::clamp(Time, PrevEnd, std::max(PrevEnd, NextStart))};
}

} // namespace

bool TrackTakesFile(TTrackKind Kind, bool HasAudio, bool HasVideo) {
    switch (Kind) {
    case TTrackKind::Video:
    case TTrackKind::Overlay:
        return HasVideo;
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return HasAudio;
    case TTrackKind::Any:
    case TTrackKind::Effects:
        return false;
    }
    return false;
}

TSubTrackFragment::TSubTrackFragment(TArea& Area, TSubTrack& SubTrack) : TFragment(Area), FSubTrack(&SubTrack) {
    RebuildItems();
}

TSubTrackFragment::~TSubTrackFragment() { EndTrackingIfOpen(); }

TTrack& TSubTrackFragment::Track() const { return *FSubTrack->Track(); }

TTimelineDesktop& TSubTrackFragment::Desktop() const { return TimelineDesktopOf(*this); }

void TSubTrackFragment::EndTrackingIfOpen() {
    if (!FTracking)
        return;
    FTracking = false;
    FDragMode = TCellDragMode::Idle;
    if (TTrack* Owner = FSubTrack->Track()) {
        try {
            Owner->EndTracking();
        } catch (const std::exception&) {
            ReportCurrentException();
        }
    }
}

void TSubTrackFragment::RebuildItems() {
    DeleteChildren();
    TTrack* Owner = FSubTrack->Track();
    if (!Owner)
        return;
    const TSubTrackKind Kind = FSubTrack->Kind();
    for (int32_t I = 0; I < Owner->ItemCount(); ++I) {
        TTrackItem* Item = Owner->Item(I);
        if (auto* Clip = dynamic_cast<TClip*>(Item)) {
            const bool Title = dynamic_cast<TTitleClip*>(Clip) != nullptr;
            if (Kind == TSubTrackKind::Audio && Clip->HasAudio()) {
                if (Title)
                    Add<TTitleClipFragment>(*Clip);
                else
                    Add<TAudioClipFragment>(*Clip);
            } else if (Kind == TSubTrackKind::Video && Clip->HasVideo()) {
                if (Title)
                    Add<TTitleClipFragment>(*Clip);
                else
                    Add<TVideoClipFragment>(*Clip);
            } else if (Kind == TSubTrackKind::Effect) {
                if (TClipEffect* Effect = Clip->EffectSlot(FSubTrack->Index()))
                    Add<TClipEffectFragment>(*Effect);
            }
        } else if (auto* Transition = dynamic_cast<TTransition*>(Item)) {
            const TClip* From = Transition->FromClip();
            const TClip* To = Transition->ToClip();
            const bool NoClips = !From && !To;
            if (Kind == TSubTrackKind::Audio) {
                if (NoClips || (From && From->HasAudio()) || (To && To->HasAudio()))
                    Add<TTransitionAudioFragment>(*Transition);
            } else if (Kind == TSubTrackKind::Video) {
                if (NoClips || (From && From->HasVideo()) || (To && To->HasVideo()))
                    Add<TTransitionVideoFragment>(*Transition);
            } else if (Kind != TSubTrackKind::Effect) {
                Add<TTransitionVideoFragment>(*Transition);
            }
        } else if (auto* Effect = dynamic_cast<TEffect*>(Item)) {
            if (Kind == TSubTrackKind::Effect)
                Add<TEffectFragment>(*Effect);
        }
    }
    // Each transition joins the clip fragments on either side of it that
    // lead into it and follow it.
    const auto& List = Children();
    for (size_t I = 0; I < List.size(); ++I) {
        auto* Transition = dynamic_cast<TTransitionFragment*>(List[I].get());
        if (!Transition)
            continue;
        if (I > 0)
            if (auto* Before = dynamic_cast<TClipFragment*>(List[I - 1].get());
                Before && Before->Clip().TrailingTransition() == &Transition->Transition()) {
                Before->Trailing = Transition;
                Transition->From = Before;
            }
        if (I + 1 < List.size())
            if (auto* After = dynamic_cast<TClipFragment*>(List[I + 1].get());
                After && After->Clip().LeadingTransition() == &Transition->Transition()) {
                After->Leading = Transition;
                Transition->To = After;
            }
    }
}

TItemFragment* TSubTrackFragment::FragmentOf(const TItem* Item) const {
    for (const auto& Child : Children())
        if (auto* Fragment = dynamic_cast<TItemFragment*>(Child.get()); Fragment && &Fragment->Item() == Item)
            return Fragment;
    return nullptr;
}

void TSubTrackFragment::Measure() {
    const TTimelineDesktop& Owner = Desktop();
    TVideoTime End = 0;
    for (const auto& Child : Children())
        End = std::max(End, static_cast<const TItemFragment&>(*Child).EndTime());
    FMaxWidth = Owner.TimeToPixels(End);
}

void TSubTrackFragment::Arrange() {
    const TTimelineDesktop& Owner = Desktop();
    const int32_t H = Work().Height;
    FChildrenInOrder = true;
    FWidestChild = 0;
    int32_t PreviousLeft = INT32_MIN;
    for (const auto& Child : Children()) {
        auto& Item = static_cast<TItemFragment&>(*Child);
        const int64_t Left = Owner.TimeToPixels(Item.StartTime());
        const int64_t Right = Owner.TimeToPixels(Item.EndTime());
        const int32_t Width = ClampFragmentCoordinate(std::max<int64_t>(1, Right - Left));
        if (dynamic_cast<TTransitionFragment*>(&Item))
            Item.Work() = {ClampFragmentCoordinate(Left), H / 5, Width, H - 2 * (H / 5)};
        else
            Item.Work() = {ClampFragmentCoordinate(Left), 0, Width, H};
        FChildrenInOrder = FChildrenInOrder && Item.Work().Left >= PreviousLeft;
        PreviousLeft = Item.Work().Left;
        FWidestChild = std::max(FWidestChild, Width);
    }
}

std::pair<size_t, size_t> TSubTrackFragment::ChildrenWithin(const TRect& Rect) const {
    const auto& Items = Children();
    if (!FChildrenInOrder || Items.empty())
        return {0, Items.size()};
    // In the cell's coordinates: an item that starts more than the widest
    // item's width left of Rect ends before it.
    const int64_t From = int64_t(Rect.Left) - AreaRect().Left - FWidestChild;
    const int64_t To = int64_t(Rect.Right) - AreaRect().Left;
    auto LeftOf = [](const std::unique_ptr<TFragment>& Child, int64_t X) { return Child->Left() < X; };
    auto First = std::lower_bound(Items.begin(), Items.end(), From, LeftOf);
    auto Last = std::lower_bound(First, Items.end(), To, LeftOf);
    return {size_t(First - Items.begin()), size_t(Last - Items.begin())};
}

TColor TSubTrackFragment::RowBackground() const {
    TColor Background = SystemColors().Window;
    if (FSubTrack->Kind() == TSubTrackKind::Audio)
        Background = MixColors(Background, MakeColor(0, 128, 96), 10);
    else if (FSubTrack->Kind() == TSubTrackKind::Effect)
        Background = MixColors(Background, MakeColor(0, 96, 192), 10);
    return AlphaColor(Background, 255);
}

TColor TSubTrackFragment::SelectionFill() const {
    const TTrack* Owned = FSubTrack->Track();
    if (FSubTrack->IsSelected() || (Owned && Owned->IsSelected()))
        return ColorOver(MakeColor(0, 80, 255, 8), RowBackground());
    return RowBackground();
}

std::optional<TColor> TSubTrackFragment::PlainBackground() const {
    if (FDropInside || FDragMode == TCellDragMode::Reorder)
        return std::nullopt;
    return SelectionFill();
}

void TSubTrackFragment::MouseDown(TWidgetMouseEvent& Event) {
    const TMouseButton Button = Event.Button;
    const int32_t X = Event.Position.X;
    TFragmentRef Self(this);
    TFragment::MouseDown(Event);
    TProject* Shown = Track().Project();
    if (!Shown || !Self)
        return;
    TUpdateGuard Bracket(Shown->Changes());
    Shown->Select(nullptr, false);
    // A press on an empty place puts the edit cursor there (the player
    // follows), except a right press near the cursor line, which keeps it
    // for the menu.
    TTimelineDesktop& Owner = Desktop();
    if (Button == TMouseButton::Right && std::llabs(Owner.TimeToPixels(Shown->Position()) - X) <= 4)
        return;
    if (Button == TMouseButton::Left || Button == TMouseButton::Right)
        Owner.ShowTimeInPlayer(std::clamp<TVideoTime>(Owner.PixelsToTime(X), 0, MaxProjectPosition),
                               TTimelineDesktop::TPlay::No);
}

void TSubTrackFragment::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    const TRect Box{0, 0, Width(), Height()};
    // The tints of a selected row and of a drop over it are uniform: one
    // opaque fill of the mixed colour instead of blends over the row.
    TColor Fill = FPaintedFill = SelectionFill();
    if (FDropInside)
        Fill = ColorOver(FPlacement.Kind == TDropKind::None ? MakeColor(255, 255, 0, 16) : MakeColor(0, 255, 0, 16), Fill);
    Pixels.FillRect(Box, Fill);
    const TTimelineDesktop& Owner = Desktop();
    // Faint lines at the labelled ticks of the time bar, as a grid.
    for (const TTimeInterval& Entry : TimeIntervals()) {
        if (std::lround(Entry.Seconds * Owner.PixelsPerSecond()) < Scaled(64))
            continue;
        const TRect Clip = Pixels.ClipRect().Translated({-Pixels.Origin.X, -Pixels.Origin.Y});
        const double Units = Entry.Seconds * VideoTimeUnitsPerSecond;
        int64_t First = std::max<int64_t>(1, int64_t(double(Owner.PixelsToTime(Clip.Left)) / Units));
        int64_t Last = int64_t(double(Owner.PixelsToTime(Clip.Right)) / Units) + 1;
        for (int64_t K = First; K <= Last; ++K) {
            int32_t X = ClampFragmentCoordinate(Owner.TimeToPixels(TickTime(Entry, K)));
            Pixels.BlendRect({X, 0, X + 1, Height()}, AlphaColor(Skin.TextColor, 14));
        }
        break;
    }
    if (FDropInside && FPlacement.Kind == TDropKind::Insert) {
        int32_t Left = ClampFragmentCoordinate(Owner.TimeToPixels(FPlacement.Start));
        int32_t Right = ClampFragmentCoordinate(Owner.TimeToPixels(FPlacement.Start + FPlacement.Duration));
        Pixels.BlendRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 160, 0, 64));
    }
    if (FDragMode == TCellDragMode::Reorder && FFirstSelected >= 0) {
        // Where the moved run would go.
        TVideoTime Length = FBlocks[size_t(FLastSelected)].End - FBlocks[size_t(FFirstSelected)].Start;
        int32_t Left = ClampFragmentCoordinate(Owner.TimeToPixels(FNewStart));
        int32_t Right = ClampFragmentCoordinate(Owner.TimeToPixels(FNewStart + Length));
        Pixels.BlendRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 80, 255, 48));
        Pixels.BlendFrameRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 80, 255, 192));
    }
}

// ---- the drag machine

void TSubTrackFragment::DragStart(TCellDragMode Mode, int32_t PressX) {
    if (FDragMode != TCellDragMode::Idle || Mode == TCellDragMode::Idle)
        return;
    TTrack& Owner = Track();
    FBlocks = Owner.GetBlocks();
    FFirstSelected = FLastSelected = -1;
    for (int32_t I = 0; I < int32_t(FBlocks.size()); ++I)
        if (FBlocks[size_t(I)].IsSelected) {
            if (FFirstSelected < 0)
                FFirstSelected = I;
            FLastSelected = I;
        }
    if (FFirstSelected < 0)
        return;
    FContiguous = true;
    for (int32_t I = FFirstSelected; I <= FLastSelected; ++I)
        if (!FBlocks[size_t(I)].IsSelected)
            FContiguous = false;
    Owner.BeginTracking();
    FTracking = true;
    FDragMode = Mode;
    FPressX = PressX;
    FMoved = false;
    FTargetBlock = -1;
}

TVideoTime TSubTrackFragment::SnapDelta(TVideoTime Delta, TVideoTime Start, TVideoTime End, bool UseStart,
                                        bool UseEnd, int32_t FirstOwn, int32_t LastOwn) const {
    const TTimelineDesktop& Owner = Desktop();
    const TProject* Shown = Track().Project();
    auto Px = [&](TVideoTime Time) { return Owner.TimeToPixels(Time); };
    if (Areas().IsSnapToObject() && Shown) {
        int64_t Best = 8;
        std::optional<TVideoTime> Snapped;
        auto Try = [&](TVideoTime Edge, TVideoTime Reference) {
            int64_t Distance = std::llabs(Px(Reference + Delta) - Px(Edge));
            if (Distance < Best) {
                Best = Distance;
                Snapped = Edge - Reference;
            }
        };
        for (int32_t T = 0; T < Shown->TrackCount(); ++T) {
            const TTrack& Other = *Shown->Track(T);
            for (int32_t I = 0; I < Other.ItemCount(); ++I) {
                if (&Other == &Track() && I >= FirstOwn && I <= LastOwn)
                    continue;
                const TTrackItem& Item = *Other.Item(I);
                for (TVideoTime Edge : {Item.Position(), Item.End()}) {
                    if (UseStart)
                        Try(Edge, Start);
                    if (UseEnd)
                        Try(Edge, End);
                }
            }
        }
        if (Snapped)
            return *Snapped;
    }
    if (Areas().IsSnapToGrid()) {
        const double Scale = Owner.PixelsPerSecond();
        int64_t Threshold = 4;
        for (const TTimeInterval& Entry : TimeIntervals()) {
            long Spacing = std::lround(Entry.Seconds * Scale);
            if (Spacing >= Scaled(8))
                Threshold = std::min<int64_t>(Threshold, Spacing / 4 + 1);
        }
        int64_t Best = Threshold;
        std::optional<TVideoTime> Snapped;
        for (const TTimeInterval& Entry : TimeIntervals()) {
            if (std::lround(Entry.Seconds * Scale) < Scaled(8))
                continue;
            const double Units = Entry.Seconds * VideoTimeUnitsPerSecond;
            auto Try = [&](TVideoTime Reference) {
                TVideoTime Moved = Reference + Delta;
                int64_t K = int64_t(std::floor(double(Moved) / Units));
                for (TVideoTime Line : {TickTime(Entry, K), TickTime(Entry, K + 1)}) {
                    int64_t Distance = std::llabs(Px(Moved) - Px(Line));
                    if (Distance < Best) {
                        Best = Distance;
                        Snapped = Line - Reference;
                    }
                }
            };
            if (UseStart)
                Try(Start);
            if (UseEnd)
                Try(End);
        }
        if (Snapped)
            return *Snapped;
    }
    return Delta;
}

void TSubTrackFragment::FindReorderTarget(TVideoTime Delta, int32_t X) {
    FTargetBlock = -1;
    const int32_t Count = int32_t(FBlocks.size());
    const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
    const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
    const TVideoTime Length = Last.End - First.Start;
    const TVideoTime Start = First.Start + Delta;
    const TVideoTime GapStart = FFirstSelected > 0 ? FBlocks[size_t(FFirstSelected - 1)].End : 0;
    const TVideoTime GapEnd = FLastSelected + 1 < Count ? FBlocks[size_t(FLastSelected + 1)].Start : NoLimit;
    // Inside its own gap the run's middle decides, so that it never reorders
    // there; past a neighbour the mouse does.
    const TVideoTime Reference =
        Start >= GapStart && Start + Length <= GapEnd ? Start + Length / 2 : Desktop().PixelsToTime(X);
    auto Middle = [](const TTrackBlock& Block) { return Block.Start + (Block.End - Block.Start) / 2; };
    FMovingLeft = Delta < 0;
    if (Delta < 0) {
        for (int32_t I = 0; I < FFirstSelected; ++I)
            if (Middle(FBlocks[size_t(I)]) >= Reference) {
                FTargetBlock = I;
                break;
            }
    } else if (Delta > 0) {
        for (int32_t I = Count - 1; I > FLastSelected; --I)
            if (Middle(FBlocks[size_t(I)]) <= Reference) {
                FTargetBlock = I;
                break;
            }
    }
    if (FTargetBlock < 0)
        return;
    // The run fits into the slot beside the target block.
    TVideoTime SlotStart = 0, SlotEnd = NoLimit;
    if (FMovingLeft) {
        SlotStart = FTargetBlock > 0 ? FBlocks[size_t(FTargetBlock - 1)].End : 0;
        SlotEnd = FBlocks[size_t(FTargetBlock)].Start;
    } else {
        SlotStart = FBlocks[size_t(FTargetBlock)].End;
        SlotEnd = FTargetBlock + 1 < Count ? FBlocks[size_t(FTargetBlock + 1)].Start : NoLimit;
    }
    TVideoTime NewStart = Start;
    if (SlotEnd != NoLimit && NewStart + Length > SlotEnd)
        NewStart = SlotEnd - Length;
    FNewStart = std::max(NewStart, SlotStart);
}

void TSubTrackFragment::DragStep(int32_t X, bool Snap) {
    if (FDragMode == TCellDragMode::Idle)
        return;
    TFragmentRef Self(this);
    TRefPtr<TTrack> Owner(&Track());
    const TTimelineDesktop& Desk = Desktop();
    TVideoTime Delta = Desk.PixelsToTime(X) - Desk.PixelsToTime(FPressX);
    if (X != FPressX)
        FMoved = true;
    const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
    const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
    if (Snap && FContiguous && FMoved) {
        // The selected items' outer edges, from the snapshot.
        TVideoTime Start = First.Start, End = Last.End;
        bool Found = false;
        for (int32_t I = First.First; I <= Last.Last; ++I) {
            const TTrackItem& Item = *Owner->Item(I);
            if (!Item.IsSelected())
                continue;
            TVideoTime ItemStart = Item.TrackPosition(), ItemEnd = Item.TrackPosition() + Item.TrackDuration();
            Start = Found ? std::min(Start, ItemStart) : ItemStart;
            End = Found ? std::max(End, ItemEnd) : ItemEnd;
            Found = true;
        }
        Delta = SnapDelta(Delta, Start, End, FDragMode != TCellDragMode::RightEdge,
                          FDragMode != TCellDragMode::LeftEdge, First.First, Last.Last);
    }
    switch (FDragMode) {
    case TCellDragMode::BothEdges:
        Owner->DragSelectionEdge(TSelectionEdge::Both, Delta);
        break;
    case TCellDragMode::LeftEdge:
        Owner->DragSelectionEdge(TSelectionEdge::Left, Delta);
        break;
    case TCellDragMode::RightEdge:
        Owner->DragSelectionEdge(TSelectionEdge::Right, Delta);
        break;
    case TCellDragMode::Move:
    case TCellDragMode::Reorder:
        if (FContiguous) {
            const TCellDragMode Was = FDragMode;
            FindReorderTarget(Delta, X);
            if (FTargetBlock >= 0) {
                // Times stay at the snapshot; the drop span shows the place.
                FDragMode = TCellDragMode::Reorder;
                Owner->MoveSelection(0);
                if (Self)
                    Invalidate();
            } else {
                FDragMode = TCellDragMode::Move;
                Owner->MoveSelection(Delta);
                if (Was == TCellDragMode::Reorder && Self)
                    Invalidate();
            }
        } else {
            Owner->MoveSelection(Delta);
        }
        break;
    case TCellDragMode::Idle:
        break;
    }
}

void TSubTrackFragment::DragEnd() {
    if (FDragMode == TCellDragMode::Idle)
        return;
    TFragmentRef Self(this);
    TRefPtr<TTrack> Owner(&Track());
    const TCellDragMode Mode = std::exchange(FDragMode, TCellDragMode::Idle);
    const bool Tracking = std::exchange(FTracking, false);
    std::exception_ptr Failure;
    if (Mode == TCellDragMode::Reorder && FContiguous && FTargetBlock >= 0) {
        const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
        const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
        const TTrackBlock& Target = FBlocks[size_t(FTargetBlock)];
        const int32_t Count = Last.Last - First.First + 1;
        const int32_t To = FMovingLeft ? Target.First : Target.Last - Count + 1;
        try {
            Owner->MoveItemsTo(First.First, To, Count, FNewStart);
        } catch (...) {
            Failure = std::current_exception();
        }
    }
    if (Tracking)
        Owner->EndTracking();
    if (Self) {
        FTargetBlock = -1;
        Invalidate();
    }
    if (Failure)
        std::rethrow_exception(Failure);
}

// ---- drops

bool TSubTrackFragment::AcceptsDrop(const TVideoDragThing& Thing) const {
    const TTrackKind Kind = Track().Kind();
    const TSubTrackKind Row = FSubTrack->Kind();
    const bool Audio = Row == TSubTrackKind::Audio, Video = Row == TSubTrackKind::Video;
    const bool HoldsItems = Track().ItemCount() > 0;
    if (const auto* Clip = dynamic_cast<const TClipDragThing*>(&Thing)) {
        const bool A = Clip->HasAudio(), V = Clip->HasVideo();
        const bool Title = dynamic_cast<const TTitleClipDragThing*>(&Thing) != nullptr;
        switch (Kind) {
        case TTrackKind::Any:
            return (Audio && A) || (Video && V);
        case TTrackKind::Video:
            return Title ? (Audio && A) || (Video && V) : V && (Video || (Audio && A));
        case TTrackKind::Sound:
        case TTrackKind::Music:
            return !Title && Audio && A;
        case TTrackKind::Overlay:
            return Title ? Video : (Audio && A) || (Video && V);
        case TTrackKind::Effects:
            return false;
        }
        return false;
    }
    if (dynamic_cast<const TTransitionDragThing*>(&Thing)) {
        if (!HoldsItems)
            return false;
        switch (Kind) {
        case TTrackKind::Any:
        case TTrackKind::Video:
        case TTrackKind::Overlay:
            return Video;
        case TTrackKind::Sound:
        case TTrackKind::Music:
            return Audio;
        case TTrackKind::Effects:
            return false;
        }
        return false;
    }
    if (const auto* Effect = dynamic_cast<const TEffectDragThing*>(&Thing)) {
        if (Kind == TTrackKind::Effects)
            return true;
        if (!HoldsItems)
            return false;
        const TEffectDescription* Description = EffectDescription(Effect->EffectIndex());
        const bool IsAudio = Description && Description->IsAudioEffect();
        const bool IsVideo = Description && Description->IsVideoEffect();
        switch (Kind) {
        case TTrackKind::Any:
            return true;
        case TTrackKind::Video:
            return IsAudio || IsVideo;
        case TTrackKind::Sound:
        case TTrackKind::Music:
            return IsAudio;
        case TTrackKind::Overlay:
            return IsVideo;
        case TTrackKind::Effects:
            return true;
        }
    }
    return false;
}

TDropPlacement TSubTrackFragment::PlaceDrop(const TVideoDragThing& Thing, int32_t X, uint16_t Shift) const {
    TDropPlacement Place;
    const TTrack& Owner = Track();
    const TTimelineDesktop& Desk = Desktop();
    const TVideoTime Time = Desk.PixelsToTime(X);
    const auto* ClipThing = dynamic_cast<const TClipDragThing*>(&Thing);
    const auto* Title = dynamic_cast<const TTitleClipDragThing*>(&Thing);
    const auto* TransitionThing = dynamic_cast<const TTransitionDragThing*>(&Thing);
    const auto* EffectThing = dynamic_cast<const TEffectDragThing*>(&Thing);
    TVideoTime Duration = Thing.Duration();
    // Over an item: into a transition, replacing, or onto a clip.
    for (int32_t I = 0; I < Owner.ItemCount(); ++I) {
        const TTrackItem& Item = *Owner.Item(I);
        const TVideoTime Start = Item.Position(), End = Item.End(), Length = Item.Duration();
        const bool IsTransition = dynamic_cast<const TTransition*>(&Item) != nullptr;
        if (ClipThing && IsTransition && Time >= Start + Length / 6 && Time < End - Length / 6)
            return {TDropKind::IntoTransition, I, Start, Length};
        if (TransitionThing && IsTransition && Time >= Start && Time < End)
            return {TDropKind::Replace, I, Start, Length};
        if (Title && dynamic_cast<const TTitleClip*>(&Item) && Time >= Start + Length / 4 && Time < End - Length / 4)
            return {TDropKind::Replace, I, Start, Length};
        if (EffectThing && dynamic_cast<const TEffect*>(&Item) && Time >= Start + Length / 4 &&
            Time < End - Length / 4)
            return {TDropKind::Replace, I, Start, Length};
        if (EffectThing && Owner.Kind() != TTrackKind::Effects && Time >= Start && Time < End)
            if (const auto* Clip = dynamic_cast<const TClip*>(&Item); Clip && EffectSuits(EffectThing->EffectIndex(), *Clip))
                return {TDropKind::ClipEffect, I, Start, Length};
    }
    if (EffectThing && Owner.Kind() != TTrackKind::Effects)
        return Place;
    const int32_t Index = Owner.IndexAtTime(Time);
    const TTrackItem* Prev = Index > 0 ? Owner.Item(Index - 1) : nullptr;
    const TTrackItem* Next = Index < Owner.ItemCount() ? Owner.Item(Index) : nullptr;
    const TVideoTime PrevEnd = Prev ? Prev->End() : 0;
    const TVideoTime NextStart = Next ? Next->Position() : NoLimit;
    TVideoTime Start = Time - Duration / 2;
    bool KeepLeading = false, KeepTrailing = false;
    const bool Snap = !HasModifier(Shift, ShortCutCtrl | ShortCutAlt);
    auto SnapStart = [&] {
        if (Snap)
            Start += SnapDelta(0, Start, Start + Duration, true, true, 0, -1);
    };
    auto FitBefore = [&] {
        if (NextStart != NoLimit && Start + Duration > NextStart)
            Start = Start + Duration / 2 < NextStart || Time < NextStart ? NextStart - Duration : NextStart;
    };
    if (ClipThing) {
        const auto* PrevClip = dynamic_cast<const TClip*>(Prev);
        const auto* NextClip = dynamic_cast<const TClip*>(Next);
        bool Done = false;
        if (PrevClip && PrevClip->TrailingTransition()) {
            Start = PrevClip->TrailingTransition()->Position();
            KeepTrailing = true;
            Done = true;
        } else if (NextClip && NextClip->LeadingTransition()) {
            Start = NextClip->Position() + NextClip->LeadingTransition()->Duration();
            KeepLeading = true;
            Done = true;
        } else {
            FitBefore();
            const bool PrevIsTransition = dynamic_cast<const TTransition*>(Prev) != nullptr;
            const bool NextIsTransition = dynamic_cast<const TTransition*>(Next) != nullptr;
            if (NextStart == NoLimit || PrevEnd + Duration < NextStart) {
                KeepLeading = PrevIsTransition && PrevEnd >= Start;
                KeepTrailing = NextIsTransition && Start + Duration >= NextStart;
            } else {
                KeepLeading = PrevIsTransition;
                KeepTrailing = NextIsTransition;
            }
            if (KeepLeading && KeepTrailing) {
                Start = PrevEnd;
                Done = true;
            }
        }
        if (!Done) {
            SnapStart();
            Start = std::clamp(Start, PrevEnd, std::max(PrevEnd, NextStart));
        }
        return {TDropKind::Insert, Index, Start, Duration, KeepLeading, KeepTrailing};
    }
    if (TransitionThing) {
        const auto* PrevClip = dynamic_cast<const TClip*>(Prev);
        const auto* NextClip = dynamic_cast<const TClip*>(Next);
        if (PrevEnd == NextStart && PrevClip && NextClip) {
            KeepLeading = KeepTrailing = true;
        } else {
            KeepLeading = Prev && PrevEnd >= Start;
            KeepTrailing = Next && Start + Duration >= NextStart;
        }
        // A transition already there is replaced instead.
        if (KeepLeading) {
            if (const auto* Existing = dynamic_cast<const TTransition*>(Prev))
                return {TDropKind::Replace, Index - 1, Existing->Position() + Existing->Duration() / 2, Existing->Duration()};
            if (PrevClip && PrevClip->TrailingTransition())
                return {TDropKind::Replace, Index, PrevClip->TrailingTransition()->Position(),
                        PrevClip->TrailingTransition()->Duration()};
        }
        if (KeepTrailing) {
            if (const auto* Existing = dynamic_cast<const TTransition*>(Next))
                return {TDropKind::Replace, Index, Existing->Position() + Existing->Duration() / 2, Existing->Duration()};
            if (NextClip && NextClip->LeadingTransition())
                return {TDropKind::Replace, Index - 1, NextClip->LeadingTransition()->Position(),
                        NextClip->LeadingTransition()->Duration()};
        }
        if (!KeepLeading && !KeepTrailing)
            return Place;
        if (KeepLeading && KeepTrailing) {
            Start = PrevEnd;
        } else {
            if (NextStart != NoLimit && Start + Duration > NextStart)
                Start = NextStart;
            if (Start < PrevEnd)
                Start = PrevEnd;
        }
        // The length the neighbours' other transitions suggest.
        TVideoTime Sum = 0;
        int32_t Count = 0;
        if (PrevClip && PrevClip->LeadingTransition()) {
            Sum += PrevClip->LeadingTransition()->Duration();
            ++Count;
        }
        if (NextClip && NextClip->TrailingTransition()) {
            Sum += NextClip->TrailingTransition()->Duration();
            ++Count;
        }
        if (Count > 0)
            Duration = Sum / Count;
        return {TDropKind::Insert, Index, Start, Duration, KeepLeading, KeepTrailing};
    }
    if (EffectThing) {
        SnapStart();
        FitBefore();
        Start = std::max(Start, PrevEnd);
        return {TDropKind::Insert, Index, Start, Duration};
    }
    return Place;
}

void TSubTrackFragment::DropEntered(const TVideoDragThing& Thing) {
    FDropAccepted = AcceptsDrop(Thing);
    FDropInside = true;
    FPlacement = {};
    Invalidate();
}

void TSubTrackFragment::DropMoved(const TVideoDragThing& Thing, int32_t X, uint16_t Shift) {
    if (!FDropInside)
        DropEntered(Thing);
    TDropPlacement Place = FDropAccepted ? PlaceDrop(Thing, X, Shift) : TDropPlacement{};
    if (Place == FPlacement)
        return;
    FPlacement = Place;
    Invalidate();
}

void TSubTrackFragment::DropLeft() {
    if (!FDropInside && FPlacement.Kind == TDropKind::None)
        return;
    FDropInside = false;
    FDropAccepted = false;
    FPlacement = {};
    Invalidate();
}

bool TSubTrackFragment::Drop(const TVideoDragThing& Thing) {
    const TDropPlacement Place = FPlacement;
    TFragmentRef Self(this);
    TRefPtr<TTrack> Owner(&Track());
    TRefPtr<TSubTrack> Row = FSubTrack;
    DropLeft();
    if (!FDropAccepted && Place.Kind == TDropKind::None)
        return false;
    const TKeepTransitions Keep = TKeepTransitions(uint8_t(Place.KeepLeading) | uint8_t(Place.KeepTrailing) << 1);
    const TJoinClips Join = TJoinClips(uint8_t(Place.KeepLeading) | uint8_t(Place.KeepTrailing) << 1);
    if (const auto* File = dynamic_cast<const TFileClipDragThing*>(&Thing)) {
        if (Place.Kind == TDropKind::Insert)
            Owner->InsertFile(Keep, File->FileName(), Place.Start);
        else if (Place.Kind == TDropKind::IntoTransition)
            Owner->InsertFileIntoTransition(Place.Index, File->FileName());
        else
            return false;
    } else if (const auto* Title = dynamic_cast<const TTitleClipDragThing*>(&Thing)) {
        const std::string& Text = GetText(TTextSlot::DefaultTitleText);
        if (Place.Kind == TDropKind::Insert)
            Owner->InsertTitle(Keep, {}, {}, Text, Title->StyleIndex(), Title->Duration(), Place.Start);
        else if (Place.Kind == TDropKind::Replace)
            Owner->ReplaceTitleLayout(Place.Index, Title->StyleIndex());
        else if (Place.Kind == TDropKind::IntoTransition)
            Owner->InsertTitleIntoTransition(Place.Index, Title->StyleIndex(), {}, {}, Text, Title->Duration());
        else
            return false;
    } else if (const auto* Transition = dynamic_cast<const TTransitionDragThing*>(&Thing)) {
        if (Place.Kind == TDropKind::Insert)
            Owner->InsertTransition(Join, TTransitionDirection::Forward, Place.Duration, Transition->TransitionIndex(),
                                    Place.Start);
        else if (Place.Kind == TDropKind::Replace)
            Owner->ReplaceTransition(Place.Index, Transition->TransitionIndex(), TTransitionDirection::Forward);
        else
            return false;
    } else if (const auto* Effect = dynamic_cast<const TEffectDragThing*>(&Thing)) {
        if (Place.Kind == TDropKind::Insert)
            Owner->InsertEffect(Effect->EffectIndex(), Place.Duration, Place.Start);
        else if (Place.Kind == TDropKind::Replace)
            Owner->ReplaceEffect(Place.Index, Effect->EffectIndex());
        else if (Place.Kind == TDropKind::ClipEffect)
            Owner->AddClipEffect(dynamic_cast<TClip*>(Owner->Item(Place.Index)), Row.Get(), Effect->EffectIndex());
        else
            return false;
    } else {
        return false;
    }
    if (Self && Area().Window())
        Area().SetFocus();
    return true;
}

void TSubTrackFragment::DropFiles(TWidgetDropEvent& Event) {
    const int32_t X = Event.Position.X;
    const std::vector<std::string>& Files = Event.Files;
    TRefPtr<TTrack> Owner(&Track());
    TProject* Shown = Owner->Project();
    const TTrackKind Kind = Owner->Kind();
    if (!Shown || Kind == TTrackKind::Any || Kind == TTrackKind::Effects)
        return;
    std::vector<std::string> Refused;
    {
        TUpdateGuard Bracket(Shown->Changes());
        TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::DropFilesUndo));
        TVideoTime Time = Desktop().PixelsToTime(X);
        bool First = true;
        for (const std::string& File : Files) {
            std::error_code Error;
            if (!std::filesystem::is_regular_file(File, Error)) {
                Refused.push_back(FormatMessageText(GetText(TTextSlot::DropFileUnreadable), File));
                continue;
            }
            TMediaInfo Info;
            try {
                Info = ProbeMedia(File);
            } catch (const std::exception&) {
                Refused.push_back(FormatMessageText(GetText(TTextSlot::DropFileUnreadable), File));
                continue;
            }
            if (!TrackTakesFile(Kind, Info.HasAudio(), Info.HasVideo())) {
                Refused.push_back(FormatMessageText(GetText(TTextSlot::DropFileRefused), File));
                continue;
            }
            // The first file goes where it fell, the others each after the
            // one before.
            if (First) {
                First = false;
                bool Into = false;
                for (int32_t I = 0; I < Owner->ItemCount() && !Into; ++I) {
                    const TTrackItem& Item = *Owner->Item(I);
                    const TVideoTime Length = Item.Duration();
                    if (dynamic_cast<const TTransition*>(&Item) && Time >= Item.Position() + Length / 6 &&
                        Time < Item.End() - Length / 6) {
                        TFileClip* Clip = Owner->InsertFileIntoTransition(I, File);
                        Time = Clip ? Clip->End() : Time;
                        Into = true;
                    }
                }
                if (Into)
                    continue;
            }
            TFileClipPlacement Place = PlaceDroppedFile(*Owner, Time);
            TFileClip* Clip = Owner->InsertFile(Place.Keep, File, Place.Start);
            if (Clip)
                Time = Clip->End();
        }
    }
    if (!Refused.empty()) {
        std::string Text;
        for (const std::string& Line : Refused)
            Text += (Text.empty() ? "" : " ") + Line;
        ReportException(EError(Text));
    }
}

// ---- the toolkit's drag

const TVideoDragThing* TSubTrackFragment::ToolkitDragOver(int32_t& X, uint16_t& Shift) const {
    TDrag& Current = Drag();
    const auto* Carried = dynamic_cast<const TTimelineDragThing*>(Current.Thing());
    if (!Carried || !Area().Window())
        return nullptr;
    const TRect Screen = Area().ScreenRect();
    const TRect Client = Area().ClientRect();
    const TPoint Point = Current.Position() - Screen.TopLeft() - Client.TopLeft();
    // Only positions over this row (its header included) count.
    const TRect Row{0, AreaRect().Top, Area().ClientWidth(), AreaRect().Bottom};
    if (!Row.Contains(Point) || !Area().Desktop() || !TRect{0, 0, Area().ClientWidth(), Area().ClientHeight()}.Contains(Point))
        return nullptr;
    X = Point.X - AreaRect().Left;
    Shift = 0;
    return &Carried->Thing();
}

void TSubTrackFragment::DragStarted() { DragMoved(); }

void TSubTrackFragment::DragMoved() {
    int32_t X = 0;
    uint16_t Shift = 0;
    if (const TVideoDragThing* Thing = ToolkitDragOver(X, Shift))
        DropMoved(*Thing, X, Shift);
    else
        DropLeft();
}

void TSubTrackFragment::DragEnded(bool Dropped) {
    int32_t X = 0;
    uint16_t Shift = 0;
    const TVideoDragThing* Thing = ToolkitDragOver(X, Shift);
    if (Dropped && Thing && FDropInside) {
        DropMoved(*Thing, X, Shift);
        Drop(*Thing);
        return;
    }
    DropLeft();
}
