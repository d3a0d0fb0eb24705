#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "platform/media/zoom_pan_callbacks.h"
#include "project/track_kind.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TData;
class TItem;
class TProjectChanges;
enum class TClipInfoChangeFlags : uint32_t;
enum class TProjectChangeFlags : uint32_t;
class TTimeline;
class TTrack;
class TTrackItem;

// The edit cursor ranges over 0 to 100 hours.
constexpr TVideoTime MaxProjectPosition = 3600000000000;

// The document the user edits: an ordered list of tracks, the edit cursor and
// the selection. It owns the render timeline that mirrors it, and announces
// every change through its notifier. There is one project per application.
class TProject : public TRefObject {
public:
    TProject();
    std::string_view ClassName() const override { return "TProject"; }

    TProjectChanges& Changes() const { return *FChanges; }
    TTimeline& Timeline() const { return *FTimeline; }

    const std::string& FileName() const { return FFileName; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    bool Destroying() const { return FDestroying; }

    int32_t TrackCount() const { return static_cast<int32_t>(FTracks.size()); }
    TTrack* Track(int32_t Index) const { return FTracks[static_cast<size_t>(Index)].Get(); }
    int32_t LastKind1Index() const { return FLastKind1Index; }
    int32_t FirstKind5Index() const { return FFirstKind5Index; }
    bool IsEmpty() const;

    void Clear();
    // Clears the project and lays out the default tracks.
    void New();
    void LoadFromData(TData& Data);
    void SaveToData(TData& Data) const;
    void LoadFromFile(const std::string& FileName);
    // What the last load of a file left out or could not read, one message
    // each (items dropped as damaged); empty after a clean load.
    const std::vector<std::string>& LoadProblems() const { return FLoadProblems; }
    void NoteLoadProblem(std::string Message) { FLoadProblems.push_back(std::move(Message)); }
    void SaveToFile(const std::string& FileName);

    void InsertTrack(TTrack* Track, int32_t Index);
    void RemoveTrack(TTrack* Track);
    TTrack* AddTrack(int32_t Index, TTrackKind Kind);
    void DeleteTrack(int32_t Index);
    void DeleteSelection();
    // Builds again the clips whose media could not be opened when they were
    // last built (a file deleted, damaged or made unreadable while the
    // project was open), and gives an element to the clips made while their
    // file was missing (TFileClip::OpenAgain), for when the file may be
    // back; announces the items when any came back, and returns how many
    // did. Any edit that touches such a clip tries it again too.
    int32_t CheckMedia();

    // Selects Item (a track, a sub-track, a track item or a clip effect;
    // none to clear) in one change. One kind of object is selected at a
    // time: a track or a sub-track alone; track items of one track (Extend
    // keeps that track's others); clip effects of one clip (Extend keeps
    // that clip's others). None with Extend changes nothing.
    void Select(TItem* Item, bool Extend);
    TItem* SelectedItem() const { return FSelectedItem; }
    bool HasSelection() const { return FHasSelection; }

    TVideoTime Position() const { return FPosition; }
    void SetPosition(TVideoTime Time);
    // Moves the edit cursor into the item's visible span (snapped to the
    // last frame that starts inside it) when it lies outside.
    void MoveCursorIntoItem(TTrackItem* Item);

    // A drag in progress: the timeline is held in one update bracket until
    // the outermost EndTracking.
    void BeginTracking();
    void EndTracking();
    bool Tracking() const { return FTracking; }
    int32_t TrackingCount() const { return FTrackingCount; }

    // The media catalogue's report that files in its folders changed: clips
    // whose file had gone are tried again (CheckMedia), and after a change
    // in a video folder every clip's picture is drawn afresh when next asked
    // for.
    void OnClipInfosChanged(TClipInfoChangeFlags Flags);

    // The render driver stores its settings in the project file's
    // "Rendering" section; it installs these when it binds to the project.
    std::function<void(TData&)> LoadRendering;
    std::function<void(TData&)> SaveRendering;

protected:
    ~TProject() override;

private:
    friend class TProjectChanges;
    void UpdateSelectionSummary();
    void UpdateKindIndexes();
    void SetFileName(const std::string& FileName);
    void Signal(TProjectChangeFlags Flags);
    void LoadTracks(TData& Data);
    // The cursor and the render driver's settings.
    void LoadSettings(TData& Data);
    // Moves every track of From, with its items, to the end of this project.
    void AdoptTracks(TProject& From);
    // Puts the tracks of Opened in place of this project's and builds them
    // on the engine; when the engine cannot build them, puts this project's
    // own tracks back as they were and raises.
    void ReplaceTracks(TProject& Opened);

    std::string FFileName;
    std::vector<TRefPtr<TTrack>> FTracks;
    int32_t FLastKind1Index = -1;
    int32_t FFirstKind5Index = 0;
    std::unique_ptr<TTimeline> FTimeline;
    // The timeline's picture sources reach ZoomPanRectangle through this
    // handle; it ends with the project, and render copies that outlive it
    // then show their stills whole.
    TZoomPanRegistration FZoomPan;
    TVideoTime FPosition = 0;
    bool FTracking = false;
    int32_t FTrackingCount = 0;
    TItem* FSelectedItem = nullptr;
    bool FHasSelection = false;
    std::unique_ptr<TProjectChanges> FChanges;
    bool FModified = false;
    bool FDestroying = false;
    std::vector<std::string> FLoadProblems;
};
