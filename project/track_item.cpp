#include "project/track_item.h"

#include "core/data.h"
#include "project/project.h"
#include "project/track.h"
#include "render/timeline_element.h"

#include <algorithm>

TTrackItem::TTrackItem() = default;
TTrackItem::~TTrackItem() = default;

TProjectChanges* TTrackItem::Changes() const {
    return FTrack ? FTrack->Changes() : nullptr;
}

TTimelineTrack* TTrackItem::RenderTrack() const {
    return FTrack ? FTrack->RenderTrack() : nullptr;
}

void TTrackItem::SetElement(std::unique_ptr<TTimelineElement> Element) {
    FElement = std::move(Element);
}

TTrackItem* TTrackItem::Previous() const {
    return FTrack && FIndex > 0 ? FTrack->Item(FIndex - 1) : nullptr;
}

TTrackItem* TTrackItem::Next() const {
    return FTrack && FIndex + 1 < FTrack->ItemCount() ? FTrack->Item(FIndex + 1) : nullptr;
}

TItemLimits TTrackItem::GetLimits() const {
    TItemLimits Limits;
    const TTrackItem* Before = Previous();
    const TTrackItem* After = Next();
    Limits.EarliestStart = Before ? Before->End() : 0;
    Limits.LatestStart = End() - MinimumItemDuration;
    Limits.LatestEnd = After ? After->Position() : UnlimitedTime;
    Limits.EarliestEnd = FPosition + MinimumItemDuration;
    return Limits;
}

void TTrackItem::Place(bool KeepJoined, TVideoTime RunningEnd) {
    if (KeepJoined && FJoined)
        if (const TTrackItem* Before = Previous())
            FPosition = Before->End();
    FPosition = std::max(FPosition, RunningEnd);
}

void TTrackItem::Attach() {
    FJoined = false;
    UpdateElement();
}

void TTrackItem::Detach() {
    FJoined = false;
}

void TTrackItem::UpdateElement() {
    if (FElement) {
        FElement->SetStart(FPosition);
        if (FElement->CanSetDuration())
            FElement->SetDuration(FDuration);
    }
}

void TTrackItem::Save(TData& Data) const {
    SaveIdentity(Data);
    Data.WriteInt64("Position", FPosition);
    Data.WriteInt64("Duration", FDuration);
    TItem::Save(Data);
}

void TTrackItem::Load(TData& Data) {
    // A damaged file must not place an item beyond the project's end or give
    // it a length nothing could show. Short lengths are kept: a split may
    // leave pieces of 0.04 s, and a transition between short clips is short.
    TVideoTime Position = Data.ReadInt64("Position", 0);
    TVideoTime Duration = Data.ReadInt64("Duration", 0);
    // An end beyond the unlimited time is no edit a user could make: the
    // record is damaged, and clamping it would place the item 100 hours on
    // and stretch the render to match.
    FIsDamaged = Position > UnlimitedVideoTime || Duration > UnlimitedVideoTime ||
                 std::max<TVideoTime>(Position, 0) >
                     UnlimitedVideoTime - std::max<TVideoTime>(Duration, 0);
    FPosition = std::clamp<TVideoTime>(Position, 0, MaxProjectPosition);
    FDuration = Duration > 0 ? std::min(Duration, MaxProjectPosition) : MinimumItemDuration;
    TItem::Load(Data);
}
