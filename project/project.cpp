#include "project/project.h"

#include "core/data.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/clip_infos.h"
#include "project/file_clip.h"
#include "project/list_undo.h"
#include "project/media_paths.h"
#include "project/project_changes.h"
#include "project/project_defaults.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/track_item.h"
#include "project/undo_history.h"
#include "project/zoom_pan_rectangle.h"
#include "render/timeline.h"

#include <algorithm>

TProject::TProject()
    : FTimeline(std::make_unique<TTimeline>()), FZoomPan(ZoomPanRectangle),
      FChanges(std::make_unique<TProjectChanges>(this)) {
    // The project's tracks bring their own render tracks; the timeline's
    // initial track is not needed.
    while (FTimeline->TrackCount() > 0)
        FTimeline->DeleteTrack(1);
    FTimeline->SetZoomPanHandle(FZoomPan.Handle());
}

TProject::~TProject() {
    FDestroying = true;
    FSelectedItem = nullptr;
    {
        TTimelineUpdateGuard Bracket(*FTimeline);
        while (!FTracks.empty()) {
            TTrack* Last = FTracks.back().Get();
            if (Last->RefCount() == 1)
                FTracks.pop_back();
            else
                RemoveTrack(Last);
        }
    }
    FChanges.reset();
    FTimeline.reset();
}

void TProject::Signal(TProjectChangeFlags Flags) {
    FChanges->Change(Flags);
}

int32_t TProject::CheckMedia() {
    TUpdateGuard Guard(*FChanges);
    int32_t Back = FTimeline->RetryUnavailable();
    // Clips made while their file was missing have no element to retry:
    // they open their file again.
    {
        TTimelineUpdateGuard Bracket(*FTimeline);
        for (const TRefPtr<TTrack>& T : FTracks)
            for (int32_t I = 0; I < T->ItemCount(); ++I)
                if (auto* Clip = dynamic_cast<TFileClip*>(T->Item(I)); Clip && !Clip->FileElement())
                    Back += Clip->OpenAgain() ? 1 : 0;
    }
    if (Back > 0)
        Signal(ProjectChangeItems);
    return Back;
}

bool TProject::IsEmpty() const {
    return std::all_of(FTracks.begin(), FTracks.end(),
                       [](const TRefPtr<TTrack>& Track) { return Track->ItemCount() == 0; });
}

void TProject::UpdateKindIndexes() {
    FLastKind1Index = -1;
    FFirstKind5Index = TrackCount();
    for (int32_t I = 0; I < TrackCount(); ++I) {
        TTrackKind Kind = FTracks[static_cast<size_t>(I)]->Kind();
        if (Kind == TTrackKind::Video)
            FLastKind1Index = I;
        if (Kind == TTrackKind::Effects && FFirstKind5Index == TrackCount())
            FFirstKind5Index = I;
    }
}

void TProject::InsertTrack(TTrack* Track, int32_t Index) {
    if (Track->Project())
        RaiseError("Can not insert " + std::string(Track->ClassName()) + " into timeline.");
    Index = std::clamp(Index, 0, TrackCount());
    FTracks.insert(FTracks.begin() + Index, TRefPtr<TTrack>(Track));
    for (int32_t I = Index + 1; I < TrackCount(); ++I)
        FTracks[static_cast<size_t>(I)]->SetIndex(I);
    UpdateKindIndexes();
    Track->AttachToProject(this, Index);
}

void TProject::RemoveTrack(TTrack* Track) {
    auto It = std::find(FTracks.begin(), FTracks.end(), Track);
    if (Track->Project() != this || It == FTracks.end())
        RaiseError("Can not remove " + std::string(Track->ClassName()) + " from timeline.");
    if (FSelectedItem == Track)
        FSelectedItem = nullptr;
    Track->DetachFromProject();
    int32_t Index = static_cast<int32_t>(It - FTracks.begin());
    FTracks.erase(It);
    for (int32_t I = Index; I < TrackCount(); ++I)
        FTracks[static_cast<size_t>(I)]->SetIndex(I);
    UpdateKindIndexes();
}

TTrack* TProject::AddTrack(int32_t Index, TTrackKind Kind) {
    TUpdateGuard Guard(*FChanges);
    UndoHistory().Add(std::make_unique<TTracksUndo>(this, GetText(TTextSlot::UndoAddTrackText)));
    TRefPtr<TTrack> Track = MakeRef<TTrack>(Kind);
    InsertTrack(Track.Get(), Index);
    Signal(ProjectChangeAll);
    Select(Track.Get(), false);
    return Track.Get();
}

void TProject::DeleteTrack(int32_t Index) {
    if (Index < 0 || Index >= TrackCount())
        return;
    TUpdateGuard Guard(*FChanges);
    UndoHistory().Add(
        std::make_unique<TTracksUndo>(this, GetText(TTextSlot::UndoDeleteTrackText)));
    RemoveTrack(Track(Index));
    Signal(ProjectChangeAll);
}

void TProject::DeleteSelection() {
    TUpdateGuard Guard(*FChanges);
    TTimelineUpdateGuard Bracket(*FTimeline);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoDeleteText));
    bool AnyTrack = std::any_of(FTracks.begin(), FTracks.end(),
                                [](const TRefPtr<TTrack>& Track) { return Track->IsSelected(); });
    if (AnyTrack) {
        UndoHistory().Add(std::make_unique<TTracksUndo>(this));
        for (int32_t I = TrackCount() - 1; I >= 0; --I)
            if (Track(I)->IsSelected())
                RemoveTrack(Track(I));
        Signal(ProjectChangeAll);
        return;
    }
    for (int32_t I = 0; I < TrackCount(); ++I) {
        TTrack* T = Track(I);
        bool SubTrackSelected = false;
        for (int32_t S = T->SubTrackCount() - 1; S >= 1; --S)
            if (T->SubTrack(S)->IsSelected()) {
                SubTrackSelected = true;
                T->DeleteEffectSubTrack(S);
            }
        if (!SubTrackSelected)
            T->DeleteSelectedItems();
    }
}

void TProject::Clear() {
    {
        TUpdateGuard Guard(*FChanges);
        TTimelineUpdateGuard Bracket(*FTimeline);
        Signal(ProjectChangeAll);
        FFileName.clear();
        while (!FTracks.empty())
            RemoveTrack(FTracks.back().Get());
    }
    FModified = false;
}

void TProject::New() {
    {
        TUpdateGuard Guard(*FChanges);
        Clear();
        const auto& Layout = ProjectDefaults().Tracks();
        for (size_t I = 0; I < Layout.size(); ++I) {
            TTrack* Track = AddTrack(static_cast<int32_t>(I), Layout[I].Kind);
            for (int32_t S = 0; S < Layout[I].EffectSubTrackCount; ++S)
                Track->AddEffectSubTrack(Track->SubTrackCount());
        }
        Select(nullptr, false);
    }
    UndoHistory().ClearUndo();
    FModified = false;
}

void TProject::SetFileName(const std::string& FileName) {
    if (FileName == FFileName)
        return;
    FFileName = FileName;
    Signal(ProjectChangeFileName);
}

void TProject::SetPosition(TVideoTime Time) {
    Time = std::clamp<TVideoTime>(Time, 0, MaxProjectPosition);
    if (Time == FPosition)
        return;
    FPosition = Time;
    Signal(ProjectChangePosition);
}

void TProject::MoveCursorIntoItem(TTrackItem* Item) {
    auto [Start, End] = VisibleSpan(*Item);
    double Rate = FTimeline->FramesPerSecond();
    if (Rate > 0) {
        auto Frames = static_cast<TVideoTime>(Rate * static_cast<double>(End) / 1e7);
        End = static_cast<TVideoTime>(static_cast<double>(Frames) * 1e7 / Rate);
    }
    End = std::max(End - 2, Start);
    if (FPosition < Start)
        SetPosition(Start);
    else if (FPosition > End)
        SetPosition(End);
}

void TProject::BeginTracking() {
    if (++FTrackingCount == 1) {
        FTracking = true;
        FTimeline->BeginUpdate();
    }
}

void TProject::EndTracking() {
    if (FTrackingCount <= 0)
        return;
    if (--FTrackingCount == 0) {
        {
            TUpdateGuard Guard(*FChanges);
            Signal(ProjectChangeTrackingEnd);
        }
        FTracking = false;
        FTimeline->EndUpdate();
    }
}

namespace {

// Calls Visit for each clip effect of the clips on Track.
template <class TVisit>
void ForEachClipEffect(const TTrack* Track, TVisit Visit) {
    for (int32_t I = 0; I < Track->ItemCount(); ++I)
        if (auto* Clip = dynamic_cast<TClip*>(Track->Item(I)))
            for (int32_t K = 0; K < Clip->ClipEffectCount(); ++K)
                Visit(Clip, Clip->ClipEffect(K));
}

// What an extended selection keeps besides the item selected: the other
// items of that item's track, or the other clip effects of that effect's
// clip.
struct TSelectionKeep {
    const TTrack* ItemsOf = nullptr;
    const TClip* EffectsOf = nullptr;
};

// Deselects everything on Track except Item and what Keep names.
void DeselectOnTrack(TTrack* Track, const TItem* Item, TSelectionKeep Keep) {
    auto Deselect = [Item](TItem* Other) {
        if (Other != Item)
            Other->SetSelected(false);
    };
    Deselect(Track);
    for (int32_t S = 0; S < Track->SubTrackCount(); ++S)
        Deselect(Track->SubTrack(S));
    if (Keep.ItemsOf != Track)
        for (int32_t I = 0; I < Track->ItemCount(); ++I)
            Deselect(Track->Item(I));
    ForEachClipEffect(Track, [&](const TClip* Clip, TClipEffect* Effect) {
        if (Keep.EffectsOf != Clip)
            Deselect(Effect);
    });
}

} // namespace

void TProject::UpdateSelectionSummary() {
    TItem* Single = nullptr;
    int32_t Count = 0;
    auto Visit = [&](TItem* Item) {
        if (Item->IsSelected() && ++Count == 1)
            Single = Item;
    };
    for (const TRefPtr<TTrack>& T : FTracks) {
        Visit(T.Get());
        for (int32_t S = 0; S < T->SubTrackCount(); ++S)
            Visit(T->SubTrack(S));
        for (int32_t I = 0; I < T->ItemCount(); ++I)
            Visit(T->Item(I));
    }
    for (const TRefPtr<TTrack>& T : FTracks)
        ForEachClipEffect(T.Get(), [&](const TClip*, TClipEffect* Effect) { Visit(Effect); });
    FHasSelection = Count > 0;
    FSelectedItem = Count == 1 ? Single : nullptr;
}

void TProject::Select(TItem* Item, bool Extend) {
    TUpdateGuard Guard(*FChanges);
    if (!Item && Extend)
        return;
    TSelectionKeep Keep;
    if (Extend) {
        if (auto* TrackItem = dynamic_cast<TTrackItem*>(Item))
            Keep.ItemsOf = TrackItem->Track();
        else if (auto* Effect = dynamic_cast<TClipEffect*>(Item))
            Keep.EffectsOf = Effect->Clip();
    }
    for (const TRefPtr<TTrack>& T : FTracks)
        DeselectOnTrack(T.Get(), Item, Keep);
    if (Item)
        Item->SetSelected(true);
}

void TProject::OnClipInfosChanged(TClipInfoChangeFlags Flags) {
    TUpdateGuard Guard(*FChanges);
    CheckMedia();
    // Changes in the audio folders leave every picture as it was.
    if (!HasAny(Flags, ClipInfoChangeVideo))
        return;
    for (const TRefPtr<TTrack>& T : FTracks)
        for (int32_t I = 0; I < T->ItemCount(); ++I)
            if (auto* Clip = dynamic_cast<TClip*>(T->Item(I)))
                Clip->InvalidatePicture();
}

void TProject::SaveToData(TData& Data) const {
    TDataSection ProjectSection(Data, "Project");
    {
        TDataSection Tracks(Data, "Tracks");
        Data.WriteInteger("Count", TrackCount());
        for (int32_t I = 0; I < TrackCount(); ++I) {
            TDataSection Element(Data, ListItemName("Track[", I));
            Data.WriteInteger("Kind", StoredTrackKind(Track(I)->Kind()));
            Track(I)->Save(Data);
        }
    }
    TDataSection Settings(Data, "Settings");
    Data.WriteInt64("Position", FPosition);
    TDataSection Rendering(Data, "Rendering");
    if (SaveRendering)
        SaveRendering(Data);
}

void TProject::LoadTracks(TData& Data) {
    TTimelineUpdateGuard Bracket(*FTimeline);
    TDataSection Tracks(Data, "Tracks");
    int32_t Count = Data.ReadListCount("Track[");
    for (int32_t I = 0; I < Count; ++I) {
        TDataSection Element(Data, ListItemName("Track[", I));
        TTrackKind Kind = TrackKindFromStored(Data.ReadInteger("Kind", 0));
        TRefPtr<TTrack> NewTrack = MakeRef<TTrack>(Kind);
        InsertTrack(NewTrack.Get(), I);
        Signal(ProjectChangeAll);
        NewTrack->Load(Data);
    }
}

void TProject::LoadFromData(TData& Data) {
    // Clips cut from one file all name it: it is looked at once per load.
    TFileStatusSnapshot Snapshot;
    TUpdateGuard Guard(*FChanges);
    Signal(ProjectChangeAll);
    TDataSection ProjectSection(Data, "Project");
    LoadTracks(Data);
    LoadSettings(Data);
}

void TProject::LoadSettings(TData& Data) {
    TDataSection Settings(Data, "Settings");
    FPosition = std::clamp<TVideoTime>(Data.ReadInt64("Position", 0), 0, MaxProjectPosition);
    TDataSection Rendering(Data, "Rendering");
    if (LoadRendering)
        LoadRendering(Data);
}

void TProject::AdoptTracks(TProject& From) {
    while (From.TrackCount() > 0) {
        TRefPtr<TTrack> Moving{From.Track(0)};
        From.RemoveTrack(Moving.Get());
        InsertTrack(Moving.Get(), TrackCount());
    }
}

void TProject::ReplaceTracks(TProject& Opened) {
    // The tracks replaced wait in a project whose timeline never builds
    // anything, so that they can come back as they were.
    TRefPtr<TProject> Previous = MakeRef<TProject>();
    Previous->Timeline().BeginUpdate();
    FTimeline->BeginUpdate();
    enum class TStep { Parking, Placing, Building } Step = TStep::Parking;
    try {
        Previous->AdoptTracks(*this);
        Step = TStep::Placing;
        AdoptTracks(Opened);
        Step = TStep::Building;
        FTimeline->Commit(); // closes the bracket even when it raises
    } catch (...) {
        TTimelineUpdateGuard Bracket(*FTimeline);
        if (Step != TStep::Building)
            FTimeline->EndUpdate();
        // Only the parked tracks left this project before a failure while
        // parking; any other failure leaves only opened tracks here.
        if (Step != TStep::Parking)
            while (TrackCount() > 0)
                RemoveTrack(FTracks.back().Get());
        for (int32_t Index = 0; Previous->TrackCount() > 0; ++Index) {
            TRefPtr<TTrack> Moving{Previous->Track(0)};
            Previous->RemoveTrack(Moving.Get());
            InsertTrack(Moving.Get(), Index);
        }
        throw;
    }
}

void TProject::LoadFromFile(const std::string& FileName) {
    // The whole file is read and the project made from it apart first, and
    // the engine builds it in place of the current one, which comes back
    // when it cannot: a file that cannot be read, or whose project cannot be
    // built, leaves the current project as it was.
    TData Data;
    Data.LoadFromFile(FileName);
    // Any file reads as a document; one without a project section is some
    // other file, and opening it as an empty project would let a later save
    // overwrite it.
    if (!Data.Exists("Project"))
        RaiseError(FormatMessageText(GetText(TTextSlot::NotAProjectFile), FileName));
    // The opened project's own timeline stays in its bracket: its tracks
    // are built once, on this project's timeline, where they go next.
    TRefPtr<TProject> Opened = MakeRef<TProject>();
    Opened->Timeline().BeginUpdate();
    {
        TLoadingProjectFolder Folder(FileName);
        Opened->LoadFromData(Data);
    }
    {
        TUpdateGuard Guard(*FChanges);
        ReplaceTracks(*Opened);
        // The records of the project replaced must not reach into the one
        // loaded.
        UndoHistory().ClearUndo();
        Signal(ProjectChangeAll);
        TDataSection ProjectSection(Data, "Project");
        LoadSettings(Data);
        SetFileName(FileName);
    }
    FLoadProblems = Opened->LoadProblems();
    FModified = false;
}

void TProject::SaveToFile(const std::string& FileName) {
    TData Data;
    SaveToData(Data);
    Data.SaveToFile(FileName);
    {
        TUpdateGuard Guard(*FChanges);
        SetFileName(FileName);
    }
    FModified = false;
}
