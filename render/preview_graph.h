#pragma once

#include "core/video_time.h"
#include "render/player_object.h"

#include <memory>

struct TRgbImage;
class TMediaPlayer;
class TMediaTimeline;
class TMessageQueue;

// The engine's preview of one engine timeline on behalf of a player object:
// plays, pauses and seeks it, stops a play at its stop time, and passes
// frames, the end of the stream and errors to the object's events. It lives
// on the user-interface thread; the engine's worker threads post to the
// message queue, and what they post after the graph is gone is dropped.
//
// Suspend holds the engine's threads off the timeline so that it can be
// edited; Resume lets them go on over the edited timeline at the same
// position (limited to the new duration) and in the same play state, and
// seeks once so that the edited frame is delivered. The engine player
// lives on through the edit with its sound output and the decoders of the
// sources the edit did not touch: an edit costs a seek, not a new player.
// A timeline of length 0 has no engine player until it grows.
//
//   TPreviewGraph Graph(Timeline.Platform(), Object);
//   Graph.PlayTo(PlayToEnd);
class TPreviewGraph {
public:
    TPreviewGraph(const TMediaTimeline& Timeline, TPlayerObject& Owner);
    TPreviewGraph(const TMediaTimeline& Timeline, TPlayerObject& Owner, TMessageQueue& Messages);
    ~TPreviewGraph();
    TPreviewGraph(const TPreviewGraph&) = delete;
    TPreviewGraph& operator=(const TPreviewGraph&) = delete;

    TPlayState State() const;
    TVideoTime Position() const;
    TVideoTime Duration() const;
    void Seek(TVideoTime Time);
    void PlayTo(TVideoTime Stop);
    void Pause();
    void Stop();
    void Poll();
    // Delivers frames at the owner's frame size from now on.
    void FrameSizeChanged();

    void Suspend();
    void Resume();
    bool IsSuspended() const { return FSuspended; }
    // The last frame the engine made, at the size frames are delivered at
    // (the timeline's own size unless the owner asked for another); an
    // empty image before the first (or while suspended).
    TRgbImage GrabFrame() const;
    // Frames the engine could not show in time since the graph was built.
    int32_t DroppedFrames() const;
    // Decoders the engine opened since the graph was built.
    int32_t OpenedDecoderCount() const;

private:
    void Open();
    void FrameArrived(const TVideoFrame& Frame, TVideoTime Time);
    void Ended();
    void StopAt(TVideoTime Time);

    const TMediaTimeline& FTimeline;
    TPlayerObject& FOwner;
    TMessageQueue& FMessages;
    std::unique_ptr<TMediaPlayer> FPlayer;
    bool FSuspended = false;
    // Kept while there is no engine player (suspended, or nothing to play).
    TPlayState FState = TPlayState::Stopped;
    TVideoTime FPosition = 0;
    TVideoTime FStopTime = PlayToEnd;
    int32_t FDroppedBefore = 0;
    int32_t FDecodersBefore = 0;
};
