#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "project/undo_brackets.h"

#include <string>
#include <vector>

class TClip;
class TClipEffect;
class TProject;
class TSubTrack;
class TTrack;
class TTrackItem;

// Records of a list of objects held by a container: a clip's clip effects, a
// track's sub-tracks or items, the project's tracks. Each keeps a reference
// on the container and on every object of its stored list. Exchanging makes
// the stored list the container's list and stores the list that was live:
// objects that are not in the new list leave the container (and are freed
// unless something else holds them), objects of the new list held by another
// container leave that one first, and the others join in order. Prepare opens
// an update bracket on the project's notifier and its render timeline;
// Finish closes them.
class TListUndo : public TBracketedUndo {
public:
    using TBracketedUndo::TBracketedUndo;
    std::string_view ClassName() const override { return "TListUndo"; }
};

// A clip's clip effects with the sub-track each lies on.
class TClipEffectsUndo : public TListUndo {
public:
    struct TEntry {
        TRefPtr<TClipEffect> Effect;
        TRefPtr<TSubTrack> SubTrack;
        int32_t SubIndex = 1;
    };

    explicit TClipEffectsUndo(TClip* Clip, std::string Text = {});
    ~TClipEffectsUndo() override;
    std::string_view ClassName() const override { return "TClipEffectsUndo"; }
    const std::vector<TEntry>& Entries() const { return FEntries; }

protected:
    void Exchange() override;
    TProject* Project() const override;

private:
    TRefPtr<TClip> FClip;
    std::vector<TEntry> FEntries;
};

// A track's sub-tracks, its own one included.
class TSubTracksUndo : public TListUndo {
public:
    explicit TSubTracksUndo(TTrack* Track, std::string Text = {});
    ~TSubTracksUndo() override;
    std::string_view ClassName() const override { return "TSubTracksUndo"; }

protected:
    void Exchange() override;
    TProject* Project() const override;

private:
    TRefPtr<TTrack> FTrack;
    std::vector<TRefPtr<TSubTrack>> FSubTracks;
};

// A track's items with their times and which of their links they had, so
// that an exchange can restore the arrangement and join the transitions to
// their clips again. While the track is tracking, the times are those of the
// tracking snapshot.
class TTrackItemsUndo : public TListUndo {
public:
    struct TEntry {
        TRefPtr<TTrackItem> Item;
        TVideoTime Position = 0;
        TVideoTime Duration = 0;
        // A clip had a leading / trailing transition; a transition had a
        // from-clip / to-clip.
        bool HadLeadingLink = false;
        bool HadTrailingLink = false;
    };

    explicit TTrackItemsUndo(TTrack* Track, std::string Text = {});
    ~TTrackItemsUndo() override;
    std::string_view ClassName() const override { return "TTrackItemsUndo"; }
    const std::vector<TEntry>& Entries() const { return FEntries; }
    // Whether the track's items lie as stored: a record that would restore
    // the live state is not worth a step.
    bool IsCurrent() const;

protected:
    void Exchange() override;
    TProject* Project() const override;

private:
    TRefPtr<TTrack> FTrack;
    std::vector<TEntry> FEntries;
};

// The project's tracks.
class TTracksUndo : public TListUndo {
public:
    explicit TTracksUndo(TProject* Project, std::string Text = {});
    ~TTracksUndo() override;
    std::string_view ClassName() const override { return "TTracksUndo"; }

protected:
    void Exchange() override;
    TProject* Project() const override;

private:
    TRefPtr<TProject> FProject;
    std::vector<TRefPtr<TTrack>> FTracks;
};
