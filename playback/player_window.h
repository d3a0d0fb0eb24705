#pragma once

#include "core/video_time.h"
#include "toolkit/widgets/drag.h"
#include "toolkit/widgets/widget.h"

#include <memory>
#include <string>

class TEffectPreviewer;
class TFilePlayer;
class TTextClipFontDescriptor;
class TTextPreviewer;
class TTransitionPreviewer;
class TPlayerObject;
class TTimeline;
class TThing;
class TTimelineElement;
class TVideoDragThing;
class TVideoFrame;
class TWindowSystem;

// The preview screen: shows one source at a time (the project's timeline,
// the stretch of it one item covers, a media file, or any other player
// object such as a previewer), plays, pauses, seeks and scrubs within a
// range of it, and paints the frames its player object delivers, letterboxed
// on black. Frames come from posted messages on the user-interface thread;
// nothing here waits for the engine. State changes are announced through
// PlayerWindows().
//
//   auto& Player = Form.Add<TPlayerWindow>();
//   Player.ShowProject(Project.Timeline(), 0);
//   Player.Play();
class TPlayerWindow : public TWidget {
public:
    TPlayerWindow();
    ~TPlayerWindow() override;
    std::string_view ClassName() const override { return "TPlayerWindow"; }

    static constexpr int32_t PreferredWidth = 128;
    static constexpr int32_t PreferredHeight = 128;

    // Sources. Each first lets go of the previous player object: its events
    // are cleared, it is paused and its video hidden. The project's timeline
    // shown again (after an edit, or over another range) is only paused, its
    // range and position taken up again: its preview lives on.
    void ShowProject(TTimeline& Timeline, TVideoTime Position);
    // The project's timeline over Element's stretch, at Offset into it.
    void ShowItem(TTimeline& Timeline, const TTimelineElement& Element, TVideoTime Offset);
    // As ShowItem at offset 0; with no element, the whole timeline.
    void ShowItemAt(TTimeline& Timeline, const TTimelineElement* Element);
    // A media file, played at once. Raises EMediaError when it cannot be read.
    void ShowFile(const std::string& FileName);
    // The previewers, made on first use and kept: an effect or a transition
    // of the description registry on the sample pictures (made under the
    // images folder when missing), a title style with its sample text, all
    // played at once. Unknown indexes raise, and the window keeps showing
    // what it showed.
    void ShowEffect(int32_t EffectIndex, TVideoTime Duration);
    void ShowTransition(int32_t TransitionIndex, bool Reverse, TVideoTime Duration);
    void ShowTitleStyle(int32_t StyleIndex, TVideoTime Duration);
    // A one-second title in the given fonts, paused at Position seconds.
    void ShowTitle(int32_t StyleIndex, const std::string& Text,
                   const TTextClipFontDescriptor& MainFont,
                   const TTextClipFontDescriptor& CaptionFont, double Position);
    // The preview of a dragged item: a file clip shows its file, a title
    // its style, an effect its effect for 1 s, a transition its
    // transition. It runs when a drag enters the window.
    void ShowDragged(const TVideoDragThing& Thing);
    TEffectPreviewer* EffectPreviewer() const { return FEffectPreviewer.get(); }
    TTransitionPreviewer* TransitionPreviewer() const { return FTransitionPreviewer.get(); }
    TTextPreviewer* TextPreviewer() const { return FTextPreviewer.get(); }

    // Any other player object (a previewer): the window shows it over its
    // whole length and, with Play set, plays it. The object stays the
    // caller's and must outlive its showing (Detach or another source).
    enum class TStartPlaying : uint8_t { No, Yes };
    void ShowObject(TPlayerObject& Object, TVideoTime Position, TStartPlaying Play);
    // Lets go of the source; the window shows black.
    void Detach();

    TPlayerObject* PlayerObject() const { return FObject; }
    TTimeline* ProjectTimeline() const { return FProjectTimeline; }

    // Playback.
    void Play();
    void PlayPause();
    void Halt();
    void Replay();
    // Offset within the range.
    void SeekTo(TVideoTime Offset);
    // Moves by Frames frames (a frame of 1/25 s when the rate is unknown).
    void Step(int32_t Frames);
    void BeginScrub();
    void EndScrub();
    // Toggles full screen on every visible, enabled player window.
    static void ToggleFullScreen();
    bool IsFullScreen() const { return FFullScreen; }

    // Queries.
    bool HasSourceAndRange() const;
    bool IsPlaying() const;
    bool IsScrubbing() const { return FScrubbing; }
    // Relative to the range start: the live position while playing.
    TVideoTime Position() const;
    TVideoTime RangeStart() const { return FRangeStart; }
    TVideoTime RangeLength() const { return FRangeLength; }
    TVideoTime RequestedPosition() const { return FRequested; }
    bool AtRangeEnd() const;
    double SourceFramesPerSecond() const { return FFramesPerSecond; }

    // Where the video goes in this window's client area.
    TRect VideoRect() const;
    TRect VideoRectIn(const TRect& Area) const;
    // Frames painted since the window was made (for benchmarks and tests).
    int64_t FramesShown() const { return FFramesShown; }
    int64_t FramesArrived() const { return FFramesArrived; }
    // Paints the current frame letterboxed into Area on black.
    void PaintVideo(TPixels& Pixels, const TRect& Area);

    // The tick of the registry while playing.
    void Poll();
    TWindowSystem* TimerSystem() const;

    // Asks the player object for frames at the size of the rectangle the
    // video is shown in (the full-screen one while full screen), so that the
    // engine scales them on its own thread and painting only copies.
    void UpdateFrameSize();

    void Layout() override;
    void Paint(TPixels& Pixels) override;
    void KeyDown(TWidgetKeyEvent& Event) override;

private:
    void Attach(TPlayerObject& Object, TVideoTime Position);
    // The object shown already, shown again: takes up its new length and
    // moves to Position, keeping its preview.
    void Retake(TPlayerObject& Object, TVideoTime Position);
    void SetRange(TVideoTime Start, TVideoTime Length);
    void FrameArrived(const TVideoFrame& Frame);
    void StateChanged();
    void PlayStarted();
    void PositionChanged();
    void PlayToRangeEnd();
    TVideoTime ClampedEnd() const;
    void SetFullScreen(bool FullScreen);
    void DragMoved(TThing* Thing);
    void DragEnded(TThing* Thing, TDragResult Result);

    TPlayerObject* FObject = nullptr;
    TTimeline* FProjectTimeline = nullptr;
    std::unique_ptr<TFilePlayer> FFilePlayer;
    std::unique_ptr<TEffectPreviewer> FEffectPreviewer;
    std::unique_ptr<TTransitionPreviewer> FTransitionPreviewer;
    std::unique_ptr<TTextPreviewer> FTextPreviewer;
    TVideoTime FDuration = 0;
    double FFramesPerSecond = 0;
    TVideoTime FRangeStart = 0;
    TVideoTime FRangeLength = 0;
    TVideoTime FRequested = 0; // absolute in the source
    TVideoTime FLastKnown = 0; // absolute in the source
    bool FScrubbing = false;
    bool FWasPlaying = false;
    bool FFullScreen = false;
    TPixels FFrame;
    bool FHasFrame = false;
    int64_t FFramesShown = 0;
    int64_t FFramesArrived = 0;
    bool FFramePending = false;
    bool FDragOver = false; // a previewed thing is over the window
};
