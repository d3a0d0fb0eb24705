#pragma once

#include "core/video_time.h"
#include "platform/forward.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

enum class TPlayerState { Stopped, Paused, Running };

// Plays a timeline for preview. Sound goes to the audio sink, whose
// consumption is the clock; video frames are composited on a worker thread
// for the clock's time and handed to the user-interface thread, dropping
// frames rather than stalling the sound when the machine falls behind.
// Frames, the end of the timeline and errors arrive through the message
// queue, so the callbacks run on the thread that processes it.
//
//   TMediaPlayer Player(Timeline, UiMessages());
//   Player.OnFrame = [&](const TVideoFrame& Frame, TVideoTime At) { Window.Show(Frame); };
//   Player.OnEnded = [&] { ... };
//   Player.Run();
//
// To edit the timeline while a player exists, hold it:
//
//   Player.Hold();
//   Track->RemoveSource(Source);
//   Player.Release();
//   Player.Seek(Player.Position());  // the edited frame
class TMediaPlayer {
public:
    enum class TAudioOutput { Device, Null };

    // Timeline must stay alive, and unchanged unless the player is held.
    TMediaPlayer(const TMediaTimeline& Timeline, TMessageQueue& Messages,
                 TAudioOutput Output = TAudioOutput::Device);
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    void Run();
    void Pause();
    // Pauses at the start.
    void Stop();
    // Moves to Time (clamped to the timeline); a paused or stopped player
    // delivers the frame there.
    void Seek(TVideoTime Time);
    // The size frames are delivered at: the video thread decodes and
    // composites each frame at that size, so a preview shown smaller than
    // the timeline's format never makes a full-size picture and the
    // receiver only copies. 0 x 0 (the default) delivers the timeline's own
    // size. A paused player delivers its current frame again at the new
    // size.
    void SetFrameSize(int32_t Width, int32_t Height);

    // Keeps the engine's threads off the timeline so that it can be edited:
    // pauses a running player, and returns once the frame and the sound
    // block being made are done. The sound device, the decoders and the
    // threads stay. A seek, a run or a new frame size meanwhile waits for
    // Release.
    void Hold();
    // The timeline was edited while held: the player takes up its new
    // length, keeps the decoders of the sources the edit did not touch (and
    // those of the media it did touch, for the new sources reading it), and
    // goes on from where it was held; seek to show the edited frame.
    void Release();
    bool IsHeld() const;

    TPlayerState State() const;
    TVideoTime Position() const;
    TVideoTime Duration() const;
    int32_t DroppedFrames() const;
    // Decoders the player opened since it was made (for tests and
    // benchmarks): those kept through edits are not opened again.
    int32_t OpenedDecoderCount() const;
    // The audio sink in use: "null", or the SDL driver's name.
    std::string AudioOutputName() const;
    // The last frame made, at the size frames are delivered at, for
    // snapshots.
    const TFrameGrabber& Grabber() const;

    std::function<void(const TVideoFrame& Frame, TVideoTime Time)> OnFrame;
    std::function<void()> OnEnded;
    std::function<void(const std::string& Error)> OnError;

private:
    struct TState;
    std::shared_ptr<TState> F; // shared with the messages in flight
};
