// Drops from the browsers on a content cell: whether the row takes the
// dragged thing, where it would go, the feedback while the mouse moves, and
// the edit the drop makes.

#include "editors/sub_track_fragment.h"

#include "core/text_table.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_snap.h"
#include "platform/keys.h"
#include "project/clip.h"
#include "project/drag_things.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "toolkit/areas/area.h"

namespace {

bool HasModifier(uint16_t Shift, uint16_t Bits) { return (Shift & Bits) != 0; }

} // namespace

bool TSubTrackFragment::AcceptsDrop(const TVideoDragThing& Thing) const {
    return ::AcceptsDrop(*FSubTrack, TDraggedItem::Of(Thing));
}

TDropPlacement TSubTrackFragment::PlaceDrop(const TVideoDragThing& Thing, int32_t X, uint16_t Shift) const {
    TSpanSnap Snap;
    if (!HasModifier(Shift, ShortCutCtrl | ShortCutAlt))
        Snap = [this](TVideoTime Start, TVideoTime End) { return SnapDelta(0, {.Start = Start, .End = End}); };
    return ::PlaceDrop(Track(), TDraggedItem::Of(Thing), Desktop().PixelsToTime(X), Snap);
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
    const TKeepTransitions Keep = Place.Keep();
    const TJoinClips Join = Place.Join();
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
