#pragma once

#include "core/video_time.h"
#include "platform/forward.h"

#include <cstdint>
#include <memory>
#include <vector>

struct AVFrame;

// Plays a timeline: the composited picture of its video group at any time,
// and the mix of its audio group over any range. Layers are composited in
// priority order, the higher on top; a transition combines its layer with
// what lies beneath it; effects apply over their ranges; gaps are
// transparent and the bottom of the picture is black; audio tracks sum.
//
// A renderer keeps the decoders and components it made, so sequential
// frames are cheap; it notices changed nodes by their versions. Decoding
// and compositing errors raise EMediaError from the call that met them.
// One renderer is used by one thread at a time; the timeline must not be
// edited while it renders.
class TMediaRenderer {
public:
    // How the timeline is read: back and forth (a preview, whose decoders
    // keep a few converted frames for short steps back), or only forward
    // (a render to a file, whose decoders keep two: at large sizes the
    // frames kept would be most of its memory).
    enum class TReading { BackAndForth, Forward };

    explicit TMediaRenderer(const TMediaTimeline& Timeline,
                            TReading Reading = TReading::BackAndForth);
    ~TMediaRenderer();
    TMediaRenderer(const TMediaRenderer&) = delete;
    TMediaRenderer& operator=(const TMediaRenderer&) = delete;

    // The video group's frame at Time, of the group's size; an empty frame
    // when the timeline has no video group.
    void RenderVideo(TVideoTime Time, TVideoFrame& Frame);
    // The same picture made at Width x Height instead: sources are decoded
    // straight to that size and everything is composited there, so a
    // preview shown smaller than the timeline's format costs what its own
    // size costs. 0 x 0 is the group's size. Components are bound to the
    // size they were made for and are made again when it changes.
    void RenderVideo(TVideoTime Time, TVideoFrame& Frame, int32_t Width, int32_t Height);
    // When the video group's picture at Time is one file's decoded picture
    // and nothing else (one opaque file source at the group's size covers
    // the frame, with no effect, transition or other layer over it),
    // references that picture in Into and returns true: the caller may take
    // the decoder's pixels as they are instead of RenderVideo's frame.
    // Otherwise returns false and Into stays as it was.
    bool PlainPictureAt(TVideoTime Time, AVFrame* Into);
    // Frames sample frames of the audio group from Time, interleaved floats
    // (-1..1) of the group's channels; silence without an audio group.
    void RenderAudio(TVideoTime Time, int32_t Frames, std::vector<float>& Samples);

    // After the timeline was edited: lets go of what was made for nodes
    // that are no longer on it. An edit builds new nodes for the clips it
    // touched, and their media is usually still there: the decoders of
    // nodes gone are kept aside, and a new node reading the same stream of
    // the same file takes one up instead of opening the file again.
    // Decoders and components of untouched nodes stay as they are.
    void TimelineEdited();
    // Drops every decoder and component (for example after the timeline was
    // rebuilt from scratch).
    void Reset();

    // Decoders opened so far (not counting those taken up again), for tests
    // and benchmarks.
    int32_t OpenedDecoderCount() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// Interleaved floats to little-endian PCM of 8 (unsigned), 16, 24 or 32 bits,
// clipped to the range.
void FloatToPcm(const std::vector<float>& Samples, int32_t BitsPerSample,
                std::vector<uint8_t>& Bytes);
