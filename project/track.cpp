#include "project/track.h"

#include "core/data.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/clip.h"
#include "project/item_record.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/track_item.h"
#include "project/track_settings.h"
#include "project/transition.h"
#include "render/timeline.h"

#include <algorithm>
#include <optional>

namespace {

TTimelineTrackKind RenderTrackKind(TTrackKind Kind) {
    switch (Kind) {
    case TTrackKind::Any:
    case TTrackKind::Video:
        return TTimelineTrackKind::ABVideoAudio;
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return TTimelineTrackKind::ABAudio;
    case TTrackKind::Overlay:
        return TTimelineTrackKind::ABVideo;
    case TTrackKind::Effects:
        return TTimelineTrackKind::Effects;
    }
    return TTimelineTrackKind::Effects;
}

} // namespace

TTrack::TTrack(TTrackKind Kind) : FKind(TrackKindFromStored(StoredTrackKind(Kind))) {
    if (HasAudioSettings(FKind)) {
        FMute = AddSetting<TMuteTrackSetting>();
        FVolume = AddSetting<TVolumeTrackSetting>();
    }
    InsertSubTrack(MakeRef<TSubTrack>(OwnSubTrackKind(FKind)).Get(), 0);
}

TTrack::~TTrack() {
    BeginDestroying();
    // An item that outlives the track (held by an undo record or the
    // clipboard) must not leave its element on a render track that the
    // timeline is about to free.
    if (FRenderTrack) {
        TTimelineUpdateGuard Bracket(*FRenderTrack->Timeline());
        for (const TRefPtr<TTrackItem>& Item : FItems)
            if (Item->RefCount() > 1)
                Item->Detach();
    }
    // Children go last to first; one whose only holder is the track is
    // freed, one still held elsewhere (an undo record, the clipboard) lives
    // on without its track.
    while (!FItems.empty()) {
        FItems.back()->FTrack = nullptr;
        FItems.back()->FIndex = -1;
        FItems.pop_back();
    }
    while (!FSubTracks.empty()) {
        FSubTracks.back()->FTrack = nullptr;
        FSubTracks.back()->FIndex = -1;
        FSubTracks.pop_back();
    }
}

void TTrack::Signal(TProjectChangeFlags Flags) {
    if (FChanges)
        FChanges->Change(Flags);
}

void TTrack::RenumberSubTracks(int32_t From) {
    for (int32_t I = std::max(From, 0); I < SubTrackCount(); ++I)
        FSubTracks[static_cast<size_t>(I)]->FIndex = I;
}

void TTrack::RenumberItems(int32_t From) {
    for (int32_t I = std::max(From, 0); I < ItemCount(); ++I)
        FItems[static_cast<size_t>(I)]->FIndex = I;
}

void TTrack::NotifySubTracksChanged() {
    for (const TRefPtr<TTrackItem>& Item : FItems)
        Item->SubTracksChanged();
}

void TTrack::InsertSubTrack(TSubTrack* SubTrack, int32_t Index) {
    TRefPtr<TSubTrack> Holding{SubTrack}; // across the detach from a previous track
    if (SubTrack->FTrack)
        SubTrack->FTrack->RemoveSubTrack(SubTrack);
    Index = std::clamp(Index, 0, SubTrackCount());
    FSubTracks.insert(FSubTracks.begin() + Index, std::move(Holding));
    SubTrack->FTrack = this;
    RenumberSubTracks(Index);
    NotifySubTracksChanged();
}

void TTrack::RemoveSubTrack(TSubTrack* SubTrack) {
    auto It = std::find(FSubTracks.begin(), FSubTracks.end(), SubTrack);
    if (It == FSubTracks.end())
        return;
    int32_t Index = static_cast<int32_t>(It - FSubTracks.begin());
    TRefPtr<TSubTrack> Holding = std::move(*It); // until the track is told
    FSubTracks.erase(It);
    SubTrack->FTrack = nullptr;
    SubTrack->FIndex = -1;
    RenumberSubTracks(Index);
    NotifySubTracksChanged();
}

void TTrack::InsertItem(TTrackItem* Item, int32_t Index) {
    if (Item->Track())
        RaiseError("Can not insert " + std::string(Item->ClassName()) + " on this track.");
    Index = std::clamp(Index, 0, ItemCount());
    FItems.insert(FItems.begin() + Index, TRefPtr<TTrackItem>(Item));
    Item->FTrack = this;
    RenumberItems(Index);
    Item->Attach();
}

void TTrack::RemoveItem(TTrackItem* Item) {
    int32_t Index = Item->Index();
    if (Item->Track() != this || Index < 0 || Index >= ItemCount() ||
        FItems[static_cast<size_t>(Index)] != Item)
        RaiseError("Can not remove " + std::string(Item->ClassName()) + " from this track.");
    Item->Detach();
    TRefPtr<TTrackItem> Holding = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    Item->FTrack = nullptr;
    Item->FIndex = -1;
    RenumberItems(Index);
}

void TTrack::AttachToProject(TProject* Project, int32_t Index) {
    FProject = Project;
    FIndex = Index;
    FChanges = &Project->Changes();
    TTimeline& Timeline = Project->Timeline();
    TTimelineUpdateGuard Bracket(Timeline);
    if (!FRenderTrack)
        FRenderTrack = Timeline.Track(Timeline.AddTrack(RenderTrackKind(FKind), Index + 1));
    if (HasBackground(FKind)) {
        // A new track gives its render track the colour it starts with, as
        // loading a stored track does: a project renders the same before
        // and after it is saved and opened again.
        if (!FBackgroundColor)
            FBackgroundColor = AddSetting<TBackgroundColorTrackSetting>();
        FRenderTrack->SetBackgroundColor(FBackgroundColor->Value());
    }
    // Settings made while detached reach the new render track.
    if (FMute)
        FRenderTrack->SetMuted(FMute->Value());
    if (FVolume)
        FRenderTrack->SetVolume(FVolume->Value() / 100.0);
    for (const TRefPtr<TTrackItem>& Item : FItems)
        Item->Attach();
}

void TTrack::DetachFromProject() {
    TProject* Project = FProject;
    if (FTrackingActive) {
        FTrackingActive = false;
        FTrackingDepth = 0;
        Project->EndTracking();
    }
    {
        TTimeline& Timeline = Project->Timeline();
        TTimelineUpdateGuard Bracket(Timeline);
        // Last first: the engine's lists then shrink from their ends.
        for (auto Item = FItems.rbegin(); Item != FItems.rend(); ++Item)
            (*Item)->Detach();
        // While the project is destroyed its timeline frees the render tracks.
        if (FRenderTrack && !Project->Destroying())
            Timeline.DeleteTrack(Timeline.PositionOf(FRenderTrack));
        FRenderTrack = nullptr;
    }
    FProject = nullptr;
    FIndex = -1;
    FChanges = nullptr;
}

void TTrack::Save(TData& Data) const {
    TItem::Save(Data);
    {
        TDataSection Section(Data, "SubTracks");
        Data.WriteInteger("Count", SubTrackCount());
        for (int32_t I = 0; I < SubTrackCount(); ++I) {
            TDataSection Element(Data, ListItemName("SubTrack[", I));
            Data.WriteInteger("Kind", StoredSubTrackKind(SubTrack(I)->Kind()));
            SubTrack(I)->Save(Data);
        }
    }
    TDataSection Section(Data, "Items");
    Data.WriteInteger("Count", ItemCount());
    for (int32_t I = 0; I < ItemCount(); ++I) {
        TDataSection Element(Data, ListItemName("Item[", I));
        Item(I)->Save(Data);
    }
}

void TTrack::Load(TData& Data) {
    TUpdateGuard Guard(FChanges);
    TItem::Load(Data);
    {
        TDataSection Section(Data, "SubTracks");
        int32_t Count = Data.ReadListCount("SubTrack[");
        for (int32_t I = 0; I < Count; ++I) {
            TDataSection Element(Data, ListItemName("SubTrack[", I));
            if (I >= SubTrackCount()) {
                TSubTrackKind Kind = SubTrackKindFromStored(Data.ReadInteger("Kind", 0));
                InsertSubTrack(MakeRef<TSubTrack>(Kind).Get(), I);
            }
            SubTrack(I)->Load(Data);
        }
    }
    LoadItems(Data);
    JoinLoadedTransitions();
    Signal(ProjectChangeSubTracks);
    Normalize(false);
}

void TTrack::LoadItems(TData& Data) {
    std::optional<TTimelineUpdateGuard> Bracket;
    if (FRenderTrack)
        Bracket.emplace(*FRenderTrack->Timeline());
    TDataSection Section(Data, "Items");
    int32_t Count = Data.ReadListCount("Item[");
    for (int32_t I = 0; I < Count; ++I) {
        TDataSection Element(Data, ListItemName("Item[", I));
        TRefPtr<TTrackItem> Item = LoadTrackItem(Data);
        if (Item && Item->IsDamaged()) {
            if (FProject)
                FProject->NoteLoadProblem(FormatMessageText(
                    FormatMessageText(FormatMessageText(GetText(TTextSlot::DamagedItemDropped),
                                                        Data.ReadString("Type", "?")),
                                      std::to_string(I + 1)),
                    std::to_string(FIndex + 1)));
            continue;
        }
        if (Item)
            InsertItem(Item.Get(), ItemCount());
    }
}

void TTrack::JoinLoadedTransitions() {
    for (int32_t I = 0; I < ItemCount(); ++I) {
        auto* Transition = dynamic_cast<TTransition*>(Item(I));
        if (!Transition)
            continue;
        if (I > 0)
            if (auto* Before = dynamic_cast<TClip*>(Item(I - 1));
                Before && Before->End() > Transition->Position())
                LinkFrom(Transition, Before);
        if (I + 1 < ItemCount())
            if (auto* After = dynamic_cast<TClip*>(Item(I + 1));
                After && Transition->End() > After->Position())
                LinkTo(Transition, After);
    }
}

TTimeSpan VisibleSpan(const TTrackItem& Item) {
    if (dynamic_cast<const TTransition*>(&Item)) {
        TVideoTime Middle = Item.Position() + Item.Duration() / 2;
        return {Middle, Middle};
    }
    TTimeSpan Span{Item.Position(), Item.End()};
    if (const auto* Clip = dynamic_cast<const TClip*>(&Item)) {
        if (const TTransition* Leading = Clip->LeadingTransition())
            Span.Start += Leading->Duration();
        if (const TTransition* Trailing = Clip->TrailingTransition())
            Span.End -= Trailing->Duration();
    }
    return Span;
}

int32_t TTrack::IndexAtTime(TVideoTime Time) const {
    for (int32_t I = 0; I < ItemCount(); ++I) {
        TTimeSpan Span = VisibleSpan(*Item(I));
        if (Span.Start + (Span.End - Span.Start) / 2 > Time)
            return I;
    }
    return ItemCount();
}

std::vector<TTrackBlock> TTrack::GetBlocks() const {
    bool Snapshot = FTrackingActive;
    auto StartOf = [&](const TTrackItem* Item) {
        return Snapshot ? Item->TrackPosition() : Item->Position();
    };
    auto EndOf = [&](const TTrackItem* Item) {
        return Snapshot ? Item->TrackPosition() + Item->TrackDuration() : Item->End();
    };
    auto Continues = [](const TTrackItem* Item) {
        if (const auto* Clip = dynamic_cast<const TClip*>(Item))
            return Clip->TrailingTransition() != nullptr;
        if (const auto* Transition = dynamic_cast<const TTransition*>(Item))
            return Transition->ToClip() != nullptr;
        return false;
    };
    std::vector<TTrackBlock> Blocks;
    for (int32_t I = 0; I < ItemCount();) {
        TTrackBlock Block;
        Block.First = I;
        Block.Start = StartOf(Item(I));
        Block.End = EndOf(Item(I));
        Block.IsSelected = Item(I)->IsSelected();
        while (Continues(Item(I)) && I + 1 < ItemCount()) {
            ++I;
            Block.Start = std::min(Block.Start, StartOf(Item(I)));
            Block.End = std::max(Block.End, EndOf(Item(I)));
            Block.IsSelected = Block.IsSelected || Item(I)->IsSelected();
        }
        Block.Last = I++;
        Blocks.push_back(Block);
    }
    return Blocks;
}

void TTrack::Normalize(bool KeepJoined) {
    TVideoTime RunningEnd = 0;
    for (const TRefPtr<TTrackItem>& Item : FItems) {
        Item->Place(KeepJoined, RunningEnd);
        RunningEnd = std::max(RunningEnd, Item->End());
    }
    UpdateRenderElements();
}

void TTrack::UpdateRenderElements() {
    if (FTrackingActive) {
        FTrackingDirty = true;
        return;
    }
    {
        std::optional<TTimelineUpdateGuard> Bracket;
        if (FRenderTrack)
            Bracket.emplace(*FRenderTrack->Timeline());
        for (const TRefPtr<TTrackItem>& Item : FItems)
            Item->UpdateElement();
    }
    ApplySettings();
}

void TTrack::MarkJoined() {
    for (int32_t I = 0; I < ItemCount(); ++I)
        Item(I)->SetJoined(I > 0 && Item(I - 1)->End() >= Item(I)->Position());
}

void TTrack::ApplySettings() {
    TItem::ApplySettings();
    for (const TRefPtr<TTrackItem>& Item : FItems)
        Item->ApplySettings();
}
