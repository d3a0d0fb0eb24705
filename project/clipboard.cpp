#include "project/clipboard.h"

#include "core/data.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/clipboard.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/item_record.h"
#include "project/list_undo.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/transition.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/timeline.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

template <class TRecord, class... TArgs>
void Record(TArgs&&... Args) {
    UndoHistory().Add(std::make_unique<TRecord>(std::forward<TArgs>(Args)...));
}

// The number of list elements Prefix + index + "]" in the current section,
// up to the stored "Count" and stopping at the first one missing, so that a
// damaged count never makes the paste build more than the document holds.
int32_t PresentCount(const TData& Data, std::string_view Prefix) {
    int32_t Stored = Data.ReadListCount(Prefix);
    int32_t Count = 0;
    while (Count < Stored && Data.Exists(ListItemName(Prefix, Count)))
        ++Count;
    return Count;
}

// A stored track kind, or none for a number outside the kinds: a document
// from elsewhere may hold anything.
std::optional<TTrackKind> StoredKind(const TData& Data) {
    int32_t Number = Data.ReadInteger("TrackKind", -1);
    if (Number < 0 || Number >= TrackKindCount)
        return std::nullopt;
    return TTrackKind(Number);
}

// 1 + the number of tracks of Track's kind before it.
int32_t TrackOrder(const TProject& Project, const TTrack& Track) {
    int32_t Order = 1;
    for (int32_t I = 0; I < Track.Index(); ++I)
        if (Project.Track(I)->Kind() == Track.Kind())
            ++Order;
    return Order;
}

// The track of Kind ranked Order among the tracks of that kind; the last of
// that kind when there are fewer; none when there is none.
TTrack* TrackOfKind(const TProject& Project, TTrackKind Kind, int32_t Order) {
    TTrack* Last = nullptr;
    int32_t Rank = 0;
    for (int32_t I = 0; I < Project.TrackCount(); ++I) {
        TTrack* Track = Project.Track(I);
        if (Track->Kind() != Kind)
            continue;
        Last = Track;
        if (++Rank == Order)
            return Track;
    }
    return Last;
}

std::vector<TClip*> ClipsOf(const TTrack& Track) {
    std::vector<TClip*> Clips;
    for (int32_t I = 0; I < Track.ItemCount(); ++I)
        if (auto* Clip = dynamic_cast<TClip*>(Track.Item(I)))
            Clips.push_back(Clip);
    return Clips;
}

bool IsSelectedEffectSubTrack(const TSubTrack& SubTrack) {
    return SubTrack.Index() >= 1 && SubTrack.Kind() == TSubTrackKind::Effect &&
           SubTrack.IsSelected();
}

void WriteTrack(const TTrack& Track, TData& Data) {
    Data.WriteString("Type", "Track");
    Data.WriteInteger("TrackKind", StoredTrackKind(Track.Kind()));
    Data.WriteInteger("TrackIndex", Track.Index());
    TDataSection Section(Data, "Track");
    Data.WriteInteger("Kind", StoredTrackKind(Track.Kind()));
    Track.Save(Data);
}

void WriteSubTracks(const TProject& Project, const TTrack& Track, TData& Data) {
    Data.WriteString("Type", "SubTracks");
    Data.WriteInteger("TrackKind", StoredTrackKind(Track.Kind()));
    Data.WriteInteger("TrackOrder", TrackOrder(Project, Track));
    TDataSection Section(Data, "SubTracks");
    std::vector<TClip*> Clips = ClipsOf(Track);
    int32_t Count = 0;
    for (int32_t S = 1; S < Track.SubTrackCount(); ++S) {
        if (!IsSelectedEffectSubTrack(*Track.SubTrack(S)))
            continue;
        TDataSection Element(Data, ListItemName("SubTrack[", Count++));
        Data.WriteInteger("SubIndex", S);
        TDataSection Effects(Data, "Effects");
        for (size_t Rank = 0; Rank < Clips.size(); ++Rank)
            if (TClipEffect* Effect = Clips[Rank]->EffectSlot(S)) {
                TDataSection Item(Data, ListItemName("Item[", int32_t(Rank)));
                Effect->Save(Data);
            }
    }
    Data.WriteInteger("Count", Count);
}

void WriteTrackItems(const TProject& Project, const TTrack& Track, TData& Data) {
    Data.WriteString("Type", "TrackItems");
    Data.WriteInteger("TrackKind", StoredTrackKind(Track.Kind()));
    Data.WriteInteger("TrackOrder", TrackOrder(Project, Track));
    TDataSection Section(Data, "TrackItems");
    int32_t Count = 0;
    for (int32_t I = 0; I < Track.ItemCount(); ++I)
        if (Track.Item(I)->IsSelected()) {
            TDataSection Element(Data, ListItemName("Item[", Count++));
            Track.Item(I)->Save(Data);
        }
    Data.WriteInteger("Count", Count);
}

void WriteClipEffects(const TClip& Clip, TData& Data) {
    Data.WriteString("Type", "ClipEffects");
    TDataSection Section(Data, "ClipEffects");
    int32_t Count = 0;
    for (int32_t K = 0; K < Clip.ClipEffectCount(); ++K)
        if (Clip.ClipEffect(K)->IsSelected()) {
            TDataSection Element(Data, ListItemName("Effect[", Count++));
            Clip.ClipEffect(K)->Save(Data);
        }
    Data.WriteInteger("Count", Count);
}

bool BelongsTo(const TProject& Project, const TTrack* Track) {
    return Track && Track->Project() == &Project;
}

// One paste: the target, the track insertion base and the state the object
// kinds share.
class TPaste {
public:
    TPaste(TProject& Project, TData& Data, const TPasteTarget& Target)
        : FProject(Project), FData(Data), FTarget(Target) {
        // Targets that are no longer in the project count as none.
        if (FTarget.Clip && !(FTarget.Clip->Track() == nullptr || BelongsTo(Project, FTarget.Clip->Track())))
            FTarget.Clip = nullptr;
        if (FTarget.SubTrack && !BelongsTo(Project, FTarget.SubTrack->Track()))
            FTarget.SubTrack = nullptr;
        if (FTarget.Track && !BelongsTo(Project, FTarget.Track))
            FTarget.Track = nullptr;
        switch (FTarget.Kind) {
        case TPasteTargetKind::TrackIndex:
            FBase = std::clamp(FTarget.TrackIndex, 0, Project.TrackCount());
            break;
        case TPasteTargetKind::BeforeTrack:
            if (FTarget.Track)
                FBase = FTarget.Track->Index();
            break;
        case TPasteTargetKind::AfterTrack:
            if (FTarget.Track)
                FBase = FTarget.Track->Index() + 1;
            break;
        default:
            break;
        }
        // "The selected clip" means the one selected when the paste began:
        // the paste clears the selection before it places anything.
        if (auto* Effect = dynamic_cast<TClipEffect*>(Project.SelectedItem()))
            FSelectedClip = Effect->Clip();
        else if (auto* Clip = dynamic_cast<TClip*>(Project.SelectedItem()))
            FSelectedClip = Clip;
        if (FSelectedClip)
            FSelectedClipHold = TRefPtr<TClip>(FSelectedClip);
    }

    // False when the paste stops here.
    bool PasteObject() {
        std::string Type = FData.ReadString("Type", "");
        if (SameTextAscii(Type, "Track"))
            PasteTrack();
        else if (SameTextAscii(Type, "SubTracks"))
            return PasteSubTracks();
        else if (SameTextAscii(Type, "TrackItems"))
            PasteTrackItems();
        else if (SameTextAscii(Type, "ClipEffects"))
            PasteClipEffectsObject();
        return true;
    }

private:
    TPasteTargetKind Kind() const { return FTarget.Kind; }
    void Signal(TProjectChangeFlags Flags) { FProject.Changes().Change(Flags); }

    void PasteTrack() {
        std::optional<TTrackKind> TrackKind = StoredKind(FData);
        if (!TrackKind)
            return;
        if (!FTracksRecorded) {
            Record<TTracksUndo>(&FProject);
            FTracksRecorded = true;
        }
        if (*TrackKind == TTrackKind::Video) {
            // Only one main video track exists: the pasted one replaces it.
            for (int32_t I = FProject.TrackCount() - 1; I >= 0; --I)
                if (FProject.Track(I)->Kind() == TTrackKind::Video) {
                    if (FBase > I)
                        --FBase;
                    FProject.RemoveTrack(FProject.Track(I));
                    Signal(ProjectChangeAll);
                }
        }
        int32_t Index = FBase >= 0 ? FBase : FData.ReadInteger("TrackIndex", 0);
        const int32_t AfterMain = FProject.LastKind1Index() + 1;
        const int32_t FirstEffects = FProject.FirstKind5Index();
        switch (*TrackKind) {
        case TTrackKind::Video:
            Index = std::min(Index, AfterMain);
            break;
        case TTrackKind::Overlay:
            Index = std::min(Index, FirstEffects);
            break;
        case TTrackKind::Effects:
            Index = std::max(Index, FirstEffects);
            break;
        default:
            Index = std::clamp(Index, AfterMain, std::max(AfterMain, FirstEffects));
            break;
        }
        Index = std::clamp(Index, 0, FProject.TrackCount());
        TRefPtr<TTrack> Track = MakeRef<TTrack>(*TrackKind);
        FProject.InsertTrack(Track.Get(), Index);
        Signal(ProjectChangeAll);
        {
            TDataSection Section(FData, "Track");
            Track->Load(FData);
        }
        Track->SetSelected(true);
        if (FBase >= Index)
            FBase = Index + 1;
    }

    bool PasteSubTracks() {
        TTrack* Track = nullptr;
        if ((Kind() == TPasteTargetKind::BeforeSubTrack || Kind() == TPasteTargetKind::AfterSubTrack) &&
            FTarget.SubTrack)
            Track = FTarget.SubTrack->Track();
        else if ((Kind() == TPasteTargetKind::BeforeTrack || Kind() == TPasteTargetKind::AfterTrack ||
                  Kind() == TPasteTargetKind::TrackAtTime) &&
                 FTarget.Track)
            Track = FTarget.Track;
        else if (std::optional<TTrackKind> TrackKind = StoredKind(FData))
            Track = TrackOfKind(FProject, *TrackKind, FData.ReadInteger("TrackOrder", 1));
        if (!Track)
            return false;
        Record<TSubTracksUndo>(Track);
        std::optional<int32_t> Next;
        if (Track == (FTarget.SubTrack ? FTarget.SubTrack->Track() : nullptr)) {
            if (Kind() == TPasteTargetKind::BeforeSubTrack)
                Next = FTarget.SubTrack->Index();
            else if (Kind() == TPasteTargetKind::AfterSubTrack)
                Next = FTarget.SubTrack->Index() + 1;
        }
        TDataSection Section(FData, "SubTracks");
        int32_t Count = PresentCount(FData, "SubTrack[");
        std::vector<TClip*> Clips = ClipsOf(*Track);
        for (int32_t K = 0; K < Count; ++K) {
            TDataSection Element(FData, ListItemName("SubTrack[", K));
            int32_t Index = Next ? (*Next)++ : FData.ReadInteger("SubIndex", 1);
            Index = std::clamp(Index, 1, Track->SubTrackCount());
            TRefPtr<TSubTrack> SubTrack = MakeRef<TSubTrack>(TSubTrackKind::Effect);
            Track->InsertSubTrack(SubTrack.Get(), Index);
            Signal(ProjectChangeSubTracks);
            SubTrack->SetSelected(true);
            if (!FData.Exists("Effects"))
                continue;
            TDataSection Effects(FData, "Effects");
            for (size_t Rank = 0; Rank < Clips.size(); ++Rank) {
                std::string Name = ListItemName("Item[", int32_t(Rank));
                if (!FData.Exists(Name))
                    continue;
                TDataSection Item(FData, Name);
                int32_t Id = FData.ReadInteger("Id", -1);
                if (!DescriptionRegistry().Effects().EffectByIndex(Id))
                    continue;
                TRefPtr<TClipEffect> Effect = MakeRef<TClipEffect>(Id);
                Effect->Load(FData);
                Record<TClipEffectsUndo>(Clips[Rank]);
                Clips[Rank]->InsertClipEffect(Effect.Get(), SubTrack->Index());
                Signal(ProjectChangeItems);
            }
        }
        return true;
    }

    void PasteTrackItems() {
        TTrack* Track = nullptr;
        if (Kind() == TPasteTargetKind::Clip && FTarget.Clip)
            Track = FTarget.Clip->Track();
        else if ((Kind() == TPasteTargetKind::BeforeSubTrack ||
                  Kind() == TPasteTargetKind::AfterSubTrack ||
                  Kind() == TPasteTargetKind::SubTrackAtTime) &&
                 FTarget.SubTrack)
            Track = FTarget.SubTrack->Track();
        else if ((Kind() == TPasteTargetKind::BeforeTrack || Kind() == TPasteTargetKind::AfterTrack ||
                  Kind() == TPasteTargetKind::TrackAtTime) &&
                 FTarget.Track)
            Track = FTarget.Track;
        if (!Track) {
            std::optional<TTrackKind> TrackKind = StoredKind(FData);
            if (!TrackKind)
                return;
            Track = TrackOfKind(FProject, *TrackKind, FData.ReadInteger("TrackOrder", 1));
            if (!Track && FProject.TrackCount() > 0)
                Track = FProject.Track(0);
        }
        if (!Track)
            return;
        TDataSection Section(FData, "TrackItems");
        PasteItems(*Track);
    }

    static bool Accepts(TTrackKind Kind, const TTrackItem& Item) {
        const auto* Clip = dynamic_cast<const TClip*>(&Item);
        bool IsEffect = !Clip && !dynamic_cast<const TTransition*>(&Item);
        switch (Kind) {
        case TTrackKind::Video:
            return !IsEffect && (!Clip || Clip->HasVideo());
        case TTrackKind::Sound:
        case TTrackKind::Music:
            return !IsEffect && (!Clip || Clip->HasAudio());
        case TTrackKind::Overlay:
            return Clip && Clip->HasVideo();
        case TTrackKind::Effects:
            return IsEffect;
        case TTrackKind::Any:
            return true;
        }
        return false;
    }

    void PasteItems(TTrack& Track) {
        TVideoTime Time = 0;
        if (Kind() == TPasteTargetKind::Clip && FTarget.Clip && FTarget.Clip->Track() == &Track)
            Time = FTarget.Clip->End();
        else if (Kind() == TPasteTargetKind::SubTrackAtTime || Kind() == TPasteTargetKind::TrackAtTime)
            Time = FTarget.Time;
        else if (Track.ItemCount() > 0)
            Time = FProject.Position();
        Time = std::clamp<TVideoTime>(Time, 0, MaxProjectPosition);
        int32_t Insertion = Track.ItemCount();
        for (const TTrackBlock& Block : Track.GetBlocks())
            if (Block.End > Time) {
                Insertion = Block.First;
                break;
            }

        Record<TTrackItemsUndo>(&Track);
        std::vector<TRefPtr<TTrackItem>> Items;
        int32_t Count = PresentCount(FData, "Item[");
        for (int32_t K = 0; K < Count; ++K) {
            TDataSection Element(FData, ListItemName("Item[", K));
            if (TRefPtr<TTrackItem> Item = LoadTrackItem(FData); Item && Accepts(Track.Kind(), *Item))
                Items.push_back(std::move(Item));
        }

        // Transitions join the pasted clips next to them as on loading; one
        // that joins none is dropped.
        struct TJoin {
            bool Previous = false;
            bool Next = false;
        };
        std::vector<TJoin> Joins(Items.size());
        for (size_t I = 0; I < Items.size(); ++I) {
            auto* Transition = dynamic_cast<TTransition*>(Items[I].Get());
            if (!Transition)
                continue;
            if (I > 0)
                if (auto* Before = dynamic_cast<TClip*>(Items[I - 1].Get()))
                    Joins[I].Previous = Before->End() > Transition->Position();
            if (I + 1 < Items.size())
                if (auto* After = dynamic_cast<TClip*>(Items[I + 1].Get()))
                    Joins[I].Next = Transition->End() > After->Position();
        }
        std::vector<TRefPtr<TTrackItem>> Kept;
        std::vector<TJoin> KeptJoins;
        for (size_t I = 0; I < Items.size(); ++I)
            if (!dynamic_cast<TTransition*>(Items[I].Get()) || Joins[I].Previous || Joins[I].Next) {
                Kept.push_back(Items[I]);
                KeptJoins.push_back(Joins[I]);
            }
        if (Kept.empty())
            return;

        BoundEffectSubIndexes(Track, Kept);
        int32_t Largest = 0;
        for (const TRefPtr<TTrackItem>& Item : Kept)
            if (auto* Clip = dynamic_cast<TClip*>(Item.Get()))
                for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                    Largest = std::max(Largest, Clip->ClipEffect(K)->SubIndex());
        if (Largest >= Track.SubTrackCount()) {
            Record<TSubTracksUndo>(&Track);
            while (Track.SubTrackCount() <= Largest)
                Track.InsertSubTrack(MakeRef<TSubTrack>(TSubTrackKind::Effect).Get(),
                                     Track.SubTrackCount());
            Signal(ProjectChangeSubTracks);
        }

        TVideoTime Shift = Time - Kept.front()->Position();
        for (size_t I = 0; I < Kept.size(); ++I) {
            TTrackItem* Item = Kept[I].Get();
            Item->SetPosition(Item->Position() + Shift);
            Track.InsertItem(Item, Insertion + int32_t(I));
            Item->SetSelected(true);
            Signal(ProjectChangeSubTracks);
        }
        for (size_t I = 0; I < Kept.size(); ++I) {
            auto* Transition = dynamic_cast<TTransition*>(Kept[I].Get());
            if (!Transition)
                continue;
            if (KeptJoins[I].Previous)
                LinkFrom(Transition, static_cast<TClip*>(Kept[I - 1].Get()));
            if (KeptJoins[I].Next)
                LinkTo(Transition, static_cast<TClip*>(Kept[I + 1].Get()));
        }
        Track.Normalize(false);
    }

    // A pasted clip effect asks for the sub-track its record names; a
    // hostile record could ask for the two billionth. No clip needs more
    // effect sub-tracks than the track has plus the most effects one pasted
    // clip carries: an effect beyond that moves to its clip's first free
    // sub-track.
    static void BoundEffectSubIndexes(TTrack& Track, const std::vector<TRefPtr<TTrackItem>>& Items) {
        int32_t MostEffects = 0;
        for (const TRefPtr<TTrackItem>& Item : Items)
            if (auto* Clip = dynamic_cast<TClip*>(Item.Get()))
                MostEffects = std::max(MostEffects, Clip->ClipEffectCount());
        const int32_t Limit = std::max(Track.SubTrackCount() - 1, MostEffects);
        for (const TRefPtr<TTrackItem>& Item : Items) {
            auto* Clip = dynamic_cast<TClip*>(Item.Get());
            if (!Clip)
                continue;
            std::vector<TRefPtr<TClipEffect>> Moved;
            for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                if (Clip->ClipEffect(K)->SubIndex() > Limit)
                    Moved.emplace_back(Clip->ClipEffect(K));
            for (const TRefPtr<TClipEffect>& Effect : Moved)
                Clip->RemoveClipEffect(Effect.Get());
            for (const TRefPtr<TClipEffect>& Effect : Moved) {
                int32_t Free = 1;
                auto Taken = [&](int32_t Index) {
                    for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                        if (Clip->ClipEffect(K)->SubIndex() == Index)
                            return true;
                    return false;
                };
                while (Taken(Free))
                    ++Free;
                Clip->InsertClipEffect(Effect.Get(), Free);
            }
        }
    }

    TClip* ClipAt(TTrack& Track, TVideoTime Time) {
        for (int32_t I = 0; I < Track.ItemCount(); ++I)
            if (auto* Clip = dynamic_cast<TClip*>(Track.Item(I));
                Clip && Clip->Position() <= Time && Time < Clip->End())
                return Clip;
        return nullptr;
    }

    void PasteClipEffectsObject() {
        TClip* Clip = nullptr;
        if (Kind() == TPasteTargetKind::Clip)
            Clip = FTarget.Clip;
        else if (Kind() == TPasteTargetKind::SubTrackAtTime && FTarget.SubTrack)
            Clip = ClipAt(*FTarget.SubTrack->Track(), FTarget.Time);
        if (!Clip && Kind() != TPasteTargetKind::Clip && FSelectedClip &&
            (!FSelectedClip->Track() || BelongsTo(FProject, FSelectedClip->Track())))
            Clip = FSelectedClip;
        if (!Clip)
            return;
        TDataSection Section(FData, "ClipEffects");
        PasteClipEffects(*Clip);
    }

    void PasteClipEffects(TClip& Clip) {
        int32_t Count = PresentCount(FData, "Effect[");
        if (Count == 0)
            return;
        TUpdateGuard Guard(FProject.Changes());
        TTrack* Track = Clip.Track();
        const bool OnSubTrack = Kind() == TPasteTargetKind::SubTrackAtTime && FTarget.SubTrack;
        int32_t Next = 0;
        if (OnSubTrack) {
            Next = std::max(FTarget.SubTrack->Index(), 1);
        } else {
            for (int32_t K = 0; K < Clip.ClipEffectCount(); ++K)
                Next = std::max(Next, Clip.ClipEffect(K)->SubIndex()) + 1;
            Next = std::max(Next, 1);
        }
        // Where each effect goes is settled first, so that the sub-tracks
        // they need are there before they are placed on them.
        std::vector<std::pair<TRefPtr<TClipEffect>, int32_t>> Placed;
        std::vector<int32_t> Taken;
        for (int32_t K = 0; K < Clip.ClipEffectCount(); ++K)
            Taken.push_back(Clip.ClipEffect(K)->SubIndex());
        for (int32_t K = 0; K < Count; ++K) {
            TDataSection Element(FData, ListItemName("Effect[", K));
            int32_t Id = FData.ReadInteger("Id", -1);
            if (!DescriptionRegistry().Effects().EffectByIndex(Id))
                continue;
            TRefPtr<TClipEffect> Effect = MakeRef<TClipEffect>(Id);
            Effect->Load(FData);
            int32_t Index = Next;
            int32_t Wanted = Effect->SubIndex();
            if (Track && !OnSubTrack && Wanted < Track->SubTrackCount() &&
                std::find(Taken.begin(), Taken.end(), Wanted) == Taken.end()) {
                Index = Wanted;
                Next = std::max(Next, Wanted + 1);
            } else {
                ++Next;
            }
            Taken.push_back(Index);
            Placed.emplace_back(std::move(Effect), Index);
        }
        if (Track && Track->SubTrackCount() < Next) {
            Record<TSubTracksUndo>(Track);
            while (Track->SubTrackCount() < Next)
                Track->InsertSubTrack(MakeRef<TSubTrack>(TSubTrackKind::Effect).Get(),
                                      Track->SubTrackCount());
            Signal(ProjectChangeSubTracks);
        }
        Record<TClipEffectsUndo>(&Clip);
        Signal(ProjectChangeItems);
        for (auto& [Effect, Index] : Placed) {
            Clip.InsertClipEffect(Effect.Get(), Index);
            Effect->SetSelected(true);
        }
    }

    TProject& FProject;
    TData& FData;
    TPasteTarget FTarget;
    // The index new tracks go to, or -1 for each track's own stored index.
    int32_t FBase = -1;
    bool FTracksRecorded = false;
    TClip* FSelectedClip = nullptr;
    TRefPtr<TClip> FSelectedClipHold;
};

} // namespace

bool WriteClipboardDocument(const TProject& Project, TData& Data) {
    TDataSection Root(Data, "Clipboard");
    int32_t Count = 0;
    for (int32_t T = 0; T < Project.TrackCount(); ++T) {
        const TTrack& Track = *Project.Track(T);
        if (Track.IsSelected()) {
            TDataSection Object(Data, ListItemName("Object[", Count++));
            WriteTrack(Track, Data);
            continue;
        }
        bool SubTrackSelected = false;
        for (int32_t S = 1; S < Track.SubTrackCount(); ++S)
            SubTrackSelected = SubTrackSelected || IsSelectedEffectSubTrack(*Track.SubTrack(S));
        if (SubTrackSelected) {
            TDataSection Object(Data, ListItemName("Object[", Count++));
            WriteSubTracks(Project, Track, Data);
            continue;
        }
        bool ItemSelected = false;
        for (int32_t I = 0; I < Track.ItemCount(); ++I)
            ItemSelected = ItemSelected || Track.Item(I)->IsSelected();
        if (ItemSelected) {
            TDataSection Object(Data, ListItemName("Object[", Count++));
            WriteTrackItems(Project, Track, Data);
        }
        for (TClip* Clip : ClipsOf(Track)) {
            if (Clip->IsSelected())
                continue;
            bool EffectSelected = false;
            for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                EffectSelected = EffectSelected || Clip->ClipEffect(K)->IsSelected();
            if (EffectSelected) {
                TDataSection Object(Data, ListItemName("Object[", Count++));
                WriteClipEffects(*Clip, Data);
            }
        }
    }
    Data.WriteInteger("Count", Count);
    return Count > 0;
}

void PasteClipboardDocument(TProject& Project, TData& Data, const TPasteTarget& Target) {
    if (!Data.Exists("Clipboard"))
        return;
    TUpdateGuard Guard(Project.Changes());
    TDataSection Root(Data, "Clipboard");
    int32_t Count = PresentCount(Data, "Object[");
    if (Count == 0)
        return;
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoPasteText));
    TTimelineUpdateGuard Bracket(Project.Timeline());
    TPaste Paste(Project, Data, Target);
    Project.Select(nullptr, false);
    for (int32_t I = 0; I < Count; ++I) {
        TDataSection Object(Data, ListItemName("Object[", I));
        if (!Paste.PasteObject())
            break;
    }
}

void TProjectClipboard::Copy(TCopyMode Mode) {
    TData Data;
    if (!WriteClipboardDocument(FProject, Data))
        return;
    // The clipboard takes the document before anything is removed: a
    // clipboard that fails leaves the project as it was.
    FClipboard.SetText(ClipboardDocumentText(Data.SaveToText()));
    if (Mode != TCopyMode::Cut)
        return;
    TUpdateGuard Guard(FProject.Changes());
    TTimelineUpdateGuard Bracket(FProject.Timeline());
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoCutText));
    FProject.DeleteSelection();
}

void TProjectClipboard::Paste(const TPasteTarget& Target) {
    std::string Text = FClipboard.Text();
    std::string_view Body = ClipboardDocumentBody(Text);
    if (Body.empty())
        return;
    TData Data;
    try {
        Data.LoadFromText(Body);
    } catch (const EError&) {
        // A document that does not read is no document: nothing changes.
        return;
    }
    PasteClipboardDocument(FProject, Data, Target);
}

bool TProjectClipboard::CanPaste() {
    return FClipboard.HoldsDocument();
}
