#pragma once

#include "core/video_time.h"

#include <cstdint>

class TClip;
class TClipboard;
class TData;
class TProject;
class TSubTrack;
class TTrack;

// Where a paste goes, as the timeline editor or the command works it out
// from the row, the edge or the clip under the mouse.
enum class TPasteTargetKind : uint8_t {
    None = 0,
    Clip = 1,             // onto Clip
    BeforeSubTrack = 2,   // before the effect sub-track SubTrack
    AfterSubTrack = 3,    // after the effect sub-track SubTrack
    SubTrackAtTime = 4,   // on the effect sub-track SubTrack at Time
    TrackIndex = 5,       // new tracks at TrackIndex (below the tracks)
    BeforeTrack = 6,      // before Track
    AfterTrack = 7,       // after Track
    TrackAtTime = 8,      // on Track at Time
};

struct TPasteTarget {
    TPasteTargetKind Kind = TPasteTargetKind::None;
    TVideoTime Time = 0;
    TClip* Clip = nullptr;
    TSubTrack* SubTrack = nullptr;
    TTrack* Track = nullptr;
    int32_t TrackIndex = 0;
};

// Whether Cut removes what Copy put on the clipboard.
enum class TCopyMode : uint8_t { Copy, Cut };

// Copy, cut and paste of the project's selection through the clipboard:
// whole tracks, effect sub-tracks with their clip effects, track items and
// clip effects travel as one "Clipboard" document. Each Cut and each Paste
// is one undo step.
//
//   TProjectClipboard Clipboard(Project, ApplicationClipboard());
//   Clipboard.Copy(TCopyMode::Cut);
//   Clipboard.Paste({TPasteTargetKind::TrackAtTime, Cursor, nullptr, nullptr, Track});
//
// A pasted document was written by another process, maybe another program:
// it is read whole before anything changes, kinds outside the known ones are
// refused, indexes are clamped and counts are those of the sections really
// present.
class TProjectClipboard {
public:
    TProjectClipboard(TProject& Project, TClipboard& Clipboard)
        : FProject(Project), FClipboard(Clipboard) {}

    // Puts the selection on the clipboard; with Cut then removes it, but
    // only once the clipboard took it (a clipboard failure raises
    // EClipboardError and leaves the project as it was).
    void Copy(TCopyMode Mode);
    // Inserts copies of what the clipboard holds at Target. Raises
    // EClipboardError when the clipboard cannot be read; a clipboard without
    // a document, or with one that does not read, changes nothing.
    void Paste(const TPasteTarget& Target);
    // Whether the clipboard holds a document of the program.
    bool CanPaste();

private:
    TProject& FProject;
    TClipboard& FClipboard;
};

// The selection of Project as a clipboard document; false when nothing is
// selected.
bool WriteClipboardDocument(const TProject& Project, TData& Data);
// Pastes the "Clipboard" document Data into Project at Target, as one undo
// step; nothing for a document without that section.
void PasteClipboardDocument(TProject& Project, TData& Data, const TPasteTarget& Target);
