#include "editors/sub_track_fragment.h"

#include "core/changes.h"
#include "editors/item_fragments.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_drag_thing.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/effect.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/transition.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

TSubTrackFragment::TSubTrackFragment(TArea& Area, TSubTrack& SubTrack) : TFragment(Area), FSubTrack(&SubTrack) {
    RebuildItems();
}

TSubTrackFragment::~TSubTrackFragment() { EndTrackingIfOpen(); }

TTrack& TSubTrackFragment::Track() const { return *FSubTrack->Track(); }

TTimelineDesktop& TSubTrackFragment::Desktop() const { return TimelineDesktopOf(*this); }

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

void TSubTrackFragment::DropFiles(TWidgetDropEvent& Event) {
    InsertDroppedFiles(Event.Files, Event.Position.X);
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
