#pragma once

#include "core/geometry.h"
#include "core/object.h"
#include "core/video_time.h"

#include <cstdint>
#include <functional>

class TVideoFrame;

enum class TPlayState : uint8_t { Stopped, Paused, Running };

// PlayTo's stop time that means "to the end of the source".
constexpr TVideoTime PlayToEnd = -3;

// The common face of everything a player window can show: the render
// timeline, a file player, the previewers. All of it runs on the
// user-interface thread; the media engine behind an object reports frames,
// the end of the stream and errors through posted messages, which arrive
// here as the events below.
//
//   Object.OnFrame = [&](const TVideoFrame& Frame, TVideoTime At) { Show(Frame); };
//   Object.SetVideoVisible(true); // builds the preview
//   Object.PlayTo(PlayToEnd);
class TPlayerObject : public TObject {
public:
    ~TPlayerObject() override;
    std::string_view ClassName() const override { return "TPlayerObject"; }

    virtual TVideoTime GetDuration() const = 0;
    virtual TPlayState GetState() const = 0;
    bool IsPlaying() const { return GetState() == TPlayState::Running; }
    // The live position while playing.
    virtual TVideoTime GetPosition() const = 0;
    virtual void Seek(TVideoTime Time) = 0;
    // A visible object has its preview built and delivers frames; hiding it
    // frees the engine's threads.
    virtual bool IsVideoVisible() const = 0;
    virtual void SetVideoVisible(bool Visible) = 0;
    // False when the object has no picture (or none yet).
    virtual bool GetVideoSize(int32_t& Width, int32_t& Height) const = 0;
    // 0 when unknown.
    virtual double FramesPerSecond() const = 0;
    // Plays from the position to Stop (PlayToEnd: the end of the source).
    virtual void PlayTo(TVideoTime Stop) = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    // The periodic tick while playing: ends a play that passed its stop time
    // (sources without pictures have no frame to notice it by).
    virtual void Poll() {}

    // 0 stop, 1 pause, 2 play, as the player commands pass it.
    void SetState(TPlayState State);

    bool KeepAspect() const { return FKeepAspect; }
    bool Centred() const { return FCentred; }
    // Both announce a new layout (OnLayoutChanged) only on change.
    void SetKeepAspect(bool KeepAspect);
    void SetCentred(bool Centred);
    // Where a video of the object's size goes inside Window.
    TRect LayoutVideo(const TRect& Window) const;
    // The size frames are delivered at, which is where the holder shows
    // them; the engine scales them on its own thread. 0 x 0 (the default)
    // delivers the video's own size.
    void SetFrameSize(int32_t Width, int32_t Height);
    int32_t FrameWidth() const { return FFrameWidth; }
    int32_t FrameHeight() const { return FFrameHeight; }

    void FireStateChanged();
    void FirePlayStarted();
    void FirePositionChanged();

    // Each may be empty. A holder clears them when it lets go of the object.
    std::function<void()> OnStateChanged;
    std::function<void()> OnPlayStarted;
    std::function<void()> OnPositionChanged;
    std::function<void()> OnLayoutChanged;
    std::function<void(const TVideoFrame& Frame, TVideoTime Time)> OnFrame;
    std::function<void(const std::string& Error)> OnError;
    void ClearEvents();

protected:
    TPlayerObject() = default;
    // Passes a new frame size on to the engine, if there is one yet.
    virtual void FrameSizeChanged() {}

private:
    bool FKeepAspect = false;
    bool FCentred = false;
    int32_t FFrameWidth = 0;
    int32_t FFrameHeight = 0;
};

// The letterbox layout: with KeepAspect and a known video size the video is
// scaled by min(window height / video height, window width / video width),
// centred by integer halves of the spare room or at the top-left corner;
// otherwise it fills the window. Sizes of 0 give an empty rectangle at the
// window's corner, never a division by zero.
TRect LayoutVideoRect(const TRect& Window, int32_t VideoWidth, int32_t VideoHeight, bool KeepAspect,
                      bool Centred);

// The end of a range aligned down to the frame grid and then less 2 units:
// the last time a seek may ask for. Never negative; with no frame rate the
// end only loses the 2 units.
TVideoTime LastSeekableTime(TVideoTime End, double FramesPerSecond);
