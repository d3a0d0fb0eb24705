#include "project/list_undo.h"

#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/edit_support.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/transition.h"

#include <unordered_set>
#include <utility>

namespace {

// Makes Stored the container's list, with the raw structural operations of
// the container, and leaves the list that was live in Stored. TList gives:
//   Count(), At(I)             the live list
//   Take(X)                    takes X out of whatever container holds it
//   Put(X, I)                  inserts X, which has no container, at I
// Only objects that change their place leave and join, so an exchange
// touches what the edit touched and not the whole list.
template <class T, class TList>
void ExchangeList(std::vector<TRefPtr<T>>& Stored, TList& List) {
    std::vector<TRefPtr<T>> Live;
    Live.reserve(static_cast<size_t>(List.Count()));
    for (int32_t I = 0; I < List.Count(); ++I)
        Live.emplace_back(List.At(I));
    std::unordered_set<T*> Wanted;
    for (const TRefPtr<T>& X : Stored)
        Wanted.insert(X.Get());
    for (const TRefPtr<T>& X : Live)
        if (!Wanted.contains(X.Get()))
            List.Take(X.Get());
    for (int32_t I = 0; I < static_cast<int32_t>(Stored.size()); ++I) {
        T* X = Stored[static_cast<size_t>(I)].Get();
        if (I < List.Count() && List.At(I) == X)
            continue;
        List.Take(X);
        List.Put(X, I);
    }
    Stored = std::move(Live);
}

struct TTrackItemList {
    TTrack& Track;
    int32_t Count() const { return Track.ItemCount(); }
    TTrackItem* At(int32_t I) const { return Track.Item(I); }
    void Take(TTrackItem* Item) const {
        if (TTrack* Owner = Item->Track()) {
            Owner->RemoveItem(Item);
            if (Owner != &Track && Owner->Changes())
                Owner->Changes()->Change(ProjectChangeItems);
        }
    }
    void Put(TTrackItem* Item, int32_t I) const { Track.InsertItem(Item, I); }
};

struct TSubTrackList {
    TTrack& Track;
    int32_t Count() const { return Track.SubTrackCount(); }
    TSubTrack* At(int32_t I) const { return Track.SubTrack(I); }
    void Take(TSubTrack* SubTrack) const {
        if (TTrack* Owner = SubTrack->Track())
            Owner->RemoveSubTrack(SubTrack);
    }
    void Put(TSubTrack* SubTrack, int32_t I) const { Track.InsertSubTrack(SubTrack, I); }
};

struct TTrackList {
    TProject& Project;
    int32_t Count() const { return Project.TrackCount(); }
    TTrack* At(int32_t I) const { return Project.Track(I); }
    void Take(TTrack* Track) const {
        if (TProject* Owner = Track->Project())
            Owner->RemoveTrack(Track);
    }
    void Put(TTrack* Track, int32_t I) const { Project.InsertTrack(Track, I); }
};

// A clip appends its clip effects, so putting one before the end first takes
// off the effects from there on (the exchange holds them and puts them back).
struct TClipEffectList {
    TClip& Clip;
    const std::vector<TClipEffectsUndo::TEntry>& Entries;
    int32_t Count() const { return Clip.ClipEffectCount(); }
    TClipEffect* At(int32_t I) const { return Clip.ClipEffect(I); }
    void Take(TClipEffect* Effect) const {
        if (TClip* Owner = Effect->Clip())
            Owner->RemoveClipEffect(Effect);
    }
    void Put(TClipEffect* Effect, int32_t I) const {
        while (Clip.ClipEffectCount() > I)
            Clip.RemoveClipEffect(Clip.ClipEffect(Clip.ClipEffectCount() - 1));
        Clip.InsertClipEffect(Effect, SubIndexOf(Effect));
    }
    int32_t SubIndexOf(const TClipEffect* Effect) const {
        for (const auto& Entry : Entries)
            if (Entry.Effect.Get() == Effect) {
                const TSubTrack* SubTrack = Entry.SubTrack.Get();
                return SubTrack && SubTrack->Track() == Clip.Track() ? SubTrack->Index()
                                                                    : Entry.SubIndex;
            }
        return Effect->SubIndex();
    }
};

TProject* ProjectOfTrack(const TTrack* Track) {
    return Track ? Track->Project() : nullptr;
}

void Signal(TProject* Project, TProjectChangeFlags Flags) {
    if (Project)
        Project->Changes().Change(Flags);
}

std::vector<TClipEffectsUndo::TEntry> CaptureClipEffects(const TClip& Clip) {
    std::vector<TClipEffectsUndo::TEntry> Entries;
    for (int32_t K = 0; K < Clip.ClipEffectCount(); ++K) {
        TClipEffect* Effect = Clip.ClipEffect(K);
        Entries.push_back({TRefPtr<TClipEffect>(Effect), TRefPtr<TSubTrack>(Effect->SubTrack()),
                           Effect->SubIndex()});
    }
    return Entries;
}

std::vector<TTrackItemsUndo::TEntry> CaptureItems(const TTrack& Track) {
    bool Snapshot = Track.TrackingActive();
    std::vector<TTrackItemsUndo::TEntry> Entries;
    Entries.reserve(static_cast<size_t>(Track.ItemCount()));
    for (int32_t I = 0; I < Track.ItemCount(); ++I) {
        TTrackItem* Item = Track.Item(I);
        TTrackItemsUndo::TEntry Entry;
        Entry.Item = TRefPtr<TTrackItem>(Item);
        Entry.Position = Snapshot ? Item->TrackPosition() : Item->Position();
        Entry.Duration = Snapshot ? Item->TrackDuration() : Item->Duration();
        Entry.HadLeadingLink = HasLeadingLink(Item);
        Entry.HadTrailingLink = HasTrailingLink(Item);
        Entries.push_back(std::move(Entry));
    }
    return Entries;
}

// Joins each transition to the clips next to it again, as the marks say.
// Returns whether a link changed.
bool Relink(TTrack& Track, const std::vector<TTrackItemsUndo::TEntry>& Entries) {
    bool Changed = false;
    auto Set = [&](void (*Link)(TTransition*, TClip*), TTransition* Transition, TClip* Clip,
                   TClip* Before) {
        if (Before == Clip)
            return;
        Link(Transition, Clip);
        Changed = true;
    };
    for (int32_t I = 0; I < Track.ItemCount(); ++I) {
        const auto& Entry = Entries[static_cast<size_t>(I)];
        TTrackItem* Before = I > 0 ? Track.Item(I - 1) : nullptr;
        TTrackItem* After = I + 1 < Track.ItemCount() ? Track.Item(I + 1) : nullptr;
        if (auto* Clip = dynamic_cast<TClip*>(Entry.Item.Get())) {
            auto* Leading = Entry.HadLeadingLink ? dynamic_cast<TTransition*>(Before) : nullptr;
            auto* Trailing = Entry.HadTrailingLink ? dynamic_cast<TTransition*>(After) : nullptr;
            if (Leading)
                Set(LinkTo, Leading, Clip, Leading->ToClip());
            else if (TTransition* Old = Clip->LeadingTransition())
                Set(LinkTo, Old, nullptr, Clip);
            if (Trailing)
                Set(LinkFrom, Trailing, Clip, Trailing->FromClip());
            else if (TTransition* Old = Clip->TrailingTransition())
                Set(LinkFrom, Old, nullptr, Clip);
        } else if (auto* Transition = dynamic_cast<TTransition*>(Entry.Item.Get())) {
            auto* From = Entry.HadLeadingLink ? dynamic_cast<TClip*>(Before) : nullptr;
            auto* To = Entry.HadTrailingLink ? dynamic_cast<TClip*>(After) : nullptr;
            Set(LinkFrom, Transition, From, Transition->FromClip());
            Set(LinkTo, Transition, To, Transition->ToClip());
        }
    }
    return Changed;
}

void RestoreTimes(const std::vector<TTrackItemsUndo::TEntry>& Entries) {
    for (const auto& Entry : Entries) {
        TTrackItem& Item = *Entry.Item;
        Item.SetPosition(Entry.Position);
        Item.SetDuration(Entry.Duration);
        Item.TakeTrackingSnapshot();
        if (auto* File = dynamic_cast<TFileClip*>(&Item))
            File->FollowDuration();
    }
}

} // namespace

TClipEffectsUndo::TClipEffectsUndo(TClip* Clip, std::string Text)
    : TListUndo(std::move(Text)), FClip(Clip), FEntries(CaptureClipEffects(*Clip)) {}

TClipEffectsUndo::~TClipEffectsUndo() = default;

TProject* TClipEffectsUndo::Project() const {
    return ProjectOfTrack(FClip->Track());
}

void TClipEffectsUndo::Exchange() {
    std::vector<TEntry> Live = CaptureClipEffects(*FClip);
    std::vector<TRefPtr<TClipEffect>> Effects;
    for (const TEntry& Entry : FEntries)
        Effects.push_back(Entry.Effect);
    TClipEffectList List{*FClip, FEntries};
    ExchangeList(Effects, List);
    FEntries = std::move(Live);
    FClip->SubTracksChanged();
    Signal(Project(), ProjectChangeItems);
}

TSubTracksUndo::TSubTracksUndo(TTrack* Track, std::string Text)
    : TListUndo(std::move(Text)), FTrack(Track) {
    for (int32_t I = 0; I < Track->SubTrackCount(); ++I)
        FSubTracks.emplace_back(Track->SubTrack(I));
}

TSubTracksUndo::~TSubTracksUndo() = default;

TProject* TSubTracksUndo::Project() const {
    return ProjectOfTrack(FTrack.Get());
}

void TSubTracksUndo::Exchange() {
    TSubTrackList List{*FTrack};
    ExchangeList(FSubTracks, List);
    Signal(Project(), ProjectChangeSubTracks);
}

TTrackItemsUndo::TTrackItemsUndo(TTrack* Track, std::string Text)
    : TListUndo(std::move(Text)), FTrack(Track), FEntries(CaptureItems(*Track)) {}

TTrackItemsUndo::~TTrackItemsUndo() = default;

TProject* TTrackItemsUndo::Project() const {
    return ProjectOfTrack(FTrack.Get());
}

bool TTrackItemsUndo::IsCurrent() const {
    const TTrack& Track = *FTrack;
    if (static_cast<int32_t>(FEntries.size()) != Track.ItemCount())
        return false;
    for (int32_t I = 0; I < Track.ItemCount(); ++I) {
        const TEntry& Entry = FEntries[static_cast<size_t>(I)];
        const TTrackItem* Item = Track.Item(I);
        if (Entry.Item.Get() != Item || Entry.Position != Item->Position() ||
            Entry.Duration != Item->Duration())
            return false;
    }
    return true;
}

void TTrackItemsUndo::Exchange() {
    TTrack& Track = *FTrack;
    std::vector<TEntry> Live = CaptureItems(Track);
    std::vector<TRefPtr<TTrackItem>> Items;
    Items.reserve(FEntries.size());
    for (const TEntry& Entry : FEntries)
        Items.push_back(Entry.Item);
    TTrackItemList List{Track};
    ExchangeList(Items, List);
    RestoreTimes(FEntries);
    Relink(Track, FEntries);
    FEntries = std::move(Live);
    Signal(Project(), ProjectChangeItems);
    Track.UpdateRenderElements();
}

TTracksUndo::TTracksUndo(TProject* Project, std::string Text)
    : TListUndo(std::move(Text)), FProject(Project) {
    for (int32_t I = 0; I < Project->TrackCount(); ++I)
        FTracks.emplace_back(Project->Track(I));
}

TTracksUndo::~TTracksUndo() = default;

TProject* TTracksUndo::Project() const {
    return FProject.Get();
}

void TTracksUndo::Exchange() {
    TTrackList List{*FProject};
    ExchangeList(FTracks, List);
    Signal(FProject.Get(), ProjectChangeAll);
}
