#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "editors/project_desktop.h"
#include "editors/timeline_scale.h"
#include "toolkit/areas/area.h"
#include "toolkit/areas/fragment.h"

#include <cstdint>
#include <memory>
#include <vector>

class TClipMedia;
enum class TClipInfoChangeFlags : uint32_t;
class TPlayerWindow;
class TProject;
class TSubTrack;
class TSubTrackFragment;
class TSubTrackHeaderFragment;
class TTimeBarFragment;
class TTimeMarkFragment;
class TTrack;
class TTrackFragment;
class TTracksFragment;

// The timeline editor's root: a time bar along the top, one band per track
// below it with a row per sub-track, and the edit cursor over all of them.
// It follows the project's notifier and rebuilds only what a change
// touched (every band, the rows of the bands, or the items of the rows);
// painting and input then read the project through the fragments, which
// hold references on the objects they show, so a removed item is never
// drawn or handed input.
//
// Horizontal scrolling moves the time bar, the items and the cursor;
// vertical scrolling moves the bands. The header column stays put
// horizontally and the time bar vertically. The wheel zooms in whole
// sqrt(2) steps around the pointer.
class TTimelineDesktop : public TProjectDesktop {
public:
    TTimelineDesktop(TArea& Area, TProject* Project);
    ~TTimelineDesktop() override;
    std::string_view ClassName() const override { return "TTimelineDesktop"; }

    TTimeBarFragment& TimeBar() const { return *FTimeBar; }
    TTracksFragment& Tracks() const { return *FTracks; }
    TTimeMarkFragment& TimeMark() const { return *FTimeMark; }
    // The pictures and sound outlines the clips draw.
    TClipMedia& Media() const { return *FMedia; }

    static int32_t HeaderWidth() { return Scaled(50); }
    static int32_t TimeBarHeight() { return Scaled(16); }
    int32_t ScrollX() const { return FScrollX; }
    int32_t ScrollY() const { return FScrollY; }
    // The width of the visible time range right of the header column.
    int32_t PageWidth() const;
    // The desktop x of a time, and the time at a desktop x.
    int32_t TimeToX(TVideoTime Time) const;
    TVideoTime XToTime(int32_t X) const;

    // Zooms Steps sqrt(2) steps in (positive) or out, keeping the time under
    // AnchorX (a desktop x) in place; a negative AnchorX keeps the middle.
    void Zoom(int32_t Steps, int32_t AnchorX = -1);
    void ZoomNormal();
    int32_t ZoomStep() const { return ZoomStepOfScale(PixelsPerSecond()); }
    // Scrolls so that the edit cursor is in view.
    void KeepCursorVisible();
    // The player window bound to this area: a visible one beside it, else
    // any visible one; null when none shows.
    TPlayerWindow* BoundPlayer() const;
    enum class TPlay : uint8_t { No, Yes };
    // Moves the edit cursor to Time and keeps it in view; a bound player
    // loads the project's timeline there and, with Play, starts playing.
    void ShowTimeInPlayer(TVideoTime Time, TPlay Play);
    // Scrolls to a horizontal (vertical) position, limited to the range.
    void ScrollTo(int32_t X, int32_t Y);
    // The editing keys: false when Key is not one of them.
    bool HandleKey(uint8_t Key, uint16_t Shift);

    void Measure() override;
    void Arrange() override;
    TFragmentScrollInfo GetScrollInfo() const override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseWheel(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;
    // The time bar and the bands cover it, the background fills the rest.
    bool IsOpaque() const override { return true; }
    void ProjectChanged(TObject* Sender, TProjectChangeFlags Flags) override;
    TVideoTime StepBack(TStepKind Kind) override;
    TVideoTime StepForward(TStepKind Kind) override;
    void ScrollPage(TScrollDirection Direction) override;
    void Scrolled(int32_t DX, int32_t DY) override;
    void ScaleChanged() override;

private:
    // What a zoom remembers to keep the anchor in place once the new
    // layout's range is known.
    struct TZoomAnchor {
        bool Pending = false;
        bool HasAnchor = false;
        int64_t Anchor = 0;
        int64_t Position = 0;
        int64_t Range = 0;
        int64_t Page = 0;
    };
    int64_t HorizontalRange() const;
    int64_t VerticalRange() const;
    void ClampScroll();
    void MoveTimeMark();
    // The items in view forget a highlight of the cursor's old line.
    void TellItemsTheCursorMoved();
    // Repaints the bands, headers, cells and items whose selection differs
    // from what they last painted, and nothing else.
    void RepaintSelection();
    // Pictures or outlines arrived: the clips showing them repaint.
    void MediaChanged(TClipInfoChangeFlags Flags);

    TTimeBarFragment* FTimeBar = nullptr;
    TTracksFragment* FTracks = nullptr;
    TTimeMarkFragment* FTimeMark = nullptr;
    int32_t FScrollX = 0;
    int32_t FScrollY = 0;
    TZoomAnchor FZoom;
    std::unique_ptr<TClipMedia> FMedia;
    bool FBuilt = false;
};

// Makes timeline desktops on the project given, for the areas registry.
class TTimelineDesktopClass : public TDesktopClass {
public:
    explicit TTimelineDesktopClass(TProject& Project) : FProject(Project) {}
    std::unique_ptr<TDesktop> CreateDesktop(TArea& Area) const override;

private:
    TProject& FProject;
};

// The timeline desktop a fragment belongs to.
TTimelineDesktop& TimelineDesktopOf(const TFragment& Fragment);

// The time ruler: ticks every interval that is far enough apart at the
// scale, fading in while zooming, and time labels where there is room.
// Pressing or dragging on it moves the edit cursor.
class TTimeBarFragment : public TFragment {
public:
    using TFragment::TFragment;
    std::string_view ClassName() const override { return "TTimeBarFragment"; }
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    void MoveCursorTo(int32_t X);
};

// The bands of all tracks, below the time bar. Over the header column it
// shows where a new track would go.
class TTracksFragment : public TFragment {
public:
    using TFragment::TFragment;
    std::string_view ClassName() const override { return "TTracksFragment"; }

    // One band per project track, made afresh.
    void Rebuild();
    const std::vector<TTrackFragment*>& Bands() const { return FBands; }
    int32_t InsertIndex() const { return FInsertIndex; }
    int64_t MaxWidth() const { return FMaxWidth; }
    int64_t TotalHeight() const { return FTotalHeight; }

    void Measure() override;
    void Arrange() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseLeave() override;
    void Paint(TPixels& Pixels) override;

private:
    void SetInsertIndex(int32_t Index);
    std::vector<TTrackFragment*> FBands;
    int32_t FInsertIndex = -1;
    bool FMenuOpen = false;
    int64_t FMaxWidth = 0;
    int64_t FTotalHeight = 0;
};

// The band of one track: a row per sub-track, each a header cell on the left
// and a content cell holding the items.
class TTrackFragment : public TFragment {
public:
    struct TRow {
        TSubTrackHeaderFragment* Header = nullptr;
        TSubTrackFragment* Content = nullptr;
        int32_t Top = 0;
        int32_t Height = 0;
    };

    TTrackFragment(TArea& Area, TTrack& Track);
    std::string_view ClassName() const override { return "TTrackFragment"; }

    TTrack& Track() const { return *FTrack; }
    const std::vector<TRow>& Rows() const { return FRows; }
    // The rows made afresh from the track's sub-tracks.
    void RebuildRows();
    int64_t MaxWidth() const { return FMaxWidth; }
    int32_t BandHeight() const { return FBandHeight; }
    // The track's selection differs from what the band last painted.
    bool SelectionShownChanged() const;

    void Measure() override;
    void Arrange() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    TRefPtr<TTrack> FTrack;
    bool FPaintedSelected = false;
    std::vector<TRow> FRows;
    int64_t FMaxWidth = 0;
    int32_t FBandHeight = 0;
};

// The height of a row of sub-track kind on a track.
int32_t RowHeight(const TTrack& Track, const TSubTrack& SubTrack);

// The header cell of a row: what the row carries, highlighted under the
// mouse and when its track or sub-track is selected; a press selects the
// track (the sub-track, on an effect row).
class TSubTrackHeaderFragment : public TFlatFragment {
public:
    TSubTrackHeaderFragment(TArea& Area, TSubTrack& SubTrack);
    std::string_view ClassName() const override { return "TSubTrackHeaderFragment"; }
    TSubTrack& SubTrack() const { return *FSubTrack; }
    // Whether the header shows its row or track as selected.
    bool ShowsSelected() const;
    bool SelectionShownChanged() const { return FPaintedSelected != ShowsSelected(); }
    void MouseDown(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    TRefPtr<TSubTrack> FSubTrack;
    bool FPaintedSelected = false;
    bool FMenuOpen = false;
};

// The edit cursor: a handle over the time bar and a line down through the
// bands. Dragging the handle moves the project's position; with Ctrl it
// snaps to item edges within 4 pixels.
class TTimeMarkFragment : public TFlatFragment {
public:
    using TFlatFragment::TFlatFragment;
    std::string_view ClassName() const override { return "TTimeMarkFragment"; }
    int32_t HitTest(int32_t X, int32_t Y) const override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;
    // The time a drag of the mark to Time lands on: with Snap, the nearest
    // item edge within 4 pixels.
    TVideoTime SnappedTime(TVideoTime Time, bool Snap) const;

private:
    void CaptureGained() override;
    void CaptureLost() override;

    int32_t FPressX = 0;
    TVideoTime FPressTime = 0;
    bool FPressed = false;
    // The bound player was playing when the mark took the mouse: it plays
    // on once the mark lets go.
    bool FResumePlayer = false;
};
