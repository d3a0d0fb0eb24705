#include "project/project_defaults.h"

#include "core/data.h"
#include "project/project.h"
#include "project/sub_track.h"
#include "project/track.h"

#include <algorithm>

TProjectDefaults::TProjectDefaults() { SetBuiltIn(); }

void TProjectDefaults::SetBuiltIn() {
    FTracks = {{TTrackKind::Video, 0},
               {TTrackKind::Sound, 0},
               {TTrackKind::Music, 0},
               {TTrackKind::Overlay, 0},
               {TTrackKind::Effects, 0}};
}

std::vector<TProjectDefaults::TTrackLayout> TProjectDefaults::Layout(const TProject& Project) {
    std::vector<TTrackLayout> Result;
    for (int32_t I = 0; I < Project.TrackCount(); ++I) {
        const TTrack* Track = Project.Track(I);
        TTrackLayout Layout{Track->Kind(), 0};
        // An effects track carries no effect sub-tracks of its own to recreate.
        if (Track->Kind() != TTrackKind::Effects)
            for (int32_t S = 0; S < Track->SubTrackCount(); ++S)
                Layout.EffectSubTrackCount +=
                    Track->SubTrack(S)->Kind() == TSubTrackKind::Effect;
        Result.push_back(Layout);
    }
    return Result;
}

void TProjectDefaults::CaptureLayout(const TProject& Project) { FTracks = Layout(Project); }

bool TProjectDefaults::MatchesProject(const TProject& Project) const {
    return FTracks == Layout(Project);
}

void TProjectDefaults::Load(TData& Data) {
    // Each track of a layout is a few lines, so a sane layout is small; the
    // count is limited to the sections stored.
    int32_t Count = Data.ReadListCount("Track[");
    if (Count <= 0) {
        SetBuiltIn();
        return;
    }
    FTracks.clear();
    for (int32_t I = 0; I < Count; ++I) {
        TDataSection Section(Data, ListItemName("Track[", I));
        TTrackLayout Layout;
        Layout.Kind = TrackKindFromStored(Data.ReadInteger("Kind", 0));
        if (Layout.Kind != TTrackKind::Effects)
            Layout.EffectSubTrackCount = std::clamp(Data.ReadInteger("EffectSubTrackCount", 0), 0, 64);
        FTracks.push_back(Layout);
    }
}

void TProjectDefaults::Save(TData& Data) const {
    Data.WriteInteger("Count", static_cast<int32_t>(FTracks.size()));
    for (size_t I = 0; I < FTracks.size(); ++I) {
        TDataSection Section(Data, ListItemName("Track[", static_cast<int32_t>(I)));
        Data.WriteInteger("Kind", StoredTrackKind(FTracks[I].Kind));
        if (FTracks[I].Kind != TTrackKind::Effects)
            Data.WriteInteger("EffectSubTrackCount", FTracks[I].EffectSubTrackCount);
    }
}

TProjectDefaults& ProjectDefaults() {
    static TProjectDefaults Defaults;
    return Defaults;
}
