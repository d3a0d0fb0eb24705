#pragma once

#include "core/object.h"
#include "project/track_kind.h"

#include <cstdint>
#include <vector>

class TData;
class TProject;

// The track layout a new project starts with: per track its kind and the
// number of effect sub-tracks. Built in: one track of each kind from Video
// to Effects.
class TProjectDefaults : public TObject {
public:
    struct TTrackLayout {
        TTrackKind Kind = TTrackKind::Any;
        int32_t EffectSubTrackCount = 0;
        bool operator==(const TTrackLayout&) const = default;
    };

    TProjectDefaults();
    std::string_view ClassName() const override { return "TProjectDefaults"; }

    const std::vector<TTrackLayout>& Tracks() const { return FTracks; }
    void SetBuiltIn();

    // Takes the layout of the project's tracks.
    void CaptureLayout(const TProject& Project);
    bool MatchesProject(const TProject& Project) const;

    void Load(TData& Data);
    void Save(TData& Data) const;

private:
    static std::vector<TTrackLayout> Layout(const TProject& Project);
    std::vector<TTrackLayout> FTracks;
};

// The application's defaults, created when the project unit starts.
TProjectDefaults& ProjectDefaults();
