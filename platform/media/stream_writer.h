#pragma once

#include "core/video_time.h"
#include "platform/media/media_writer.h"

#include <cstdint>
#include <memory>
#include <string>

struct TPixelView;

// The streams a pushed file gets: a picture of Width x Height at
// FramesPerSecond (none when Width is 0) and sound of Channels at
// SamplesPerSecond (none when Channels is 0). Sizes are clamped to
// 1..4096 and the rate to 1..200 frames per second.
struct TStreamWriterFormat {
    int32_t Width = 0;
    int32_t Height = 0;
    double FramesPerSecond = 25;
    int32_t Channels = 0;
    int32_t SamplesPerSecond = 48000;
};

// Writes pictures and sound that the caller pushes into a media file of one
// of the render formats, through the same encoders and rate settings as a
// render. The file has one clock: sound time is the count of samples
// written; each picture comes with its time on that clock and is written
// into the constant-rate slots up to that time (repeated to fill a gap,
// dropped when its slot is already written).
//
//   TMediaStreamWriter Writer("/tmp/capTmp.avi", Profile, {320, 240, 25, 2, 48000});
//   Writer.WriteAudio(Samples.data(), 1024);
//   Writer.WriteVideo(Frame, Writer.AudioTime());
//   Writer.Finish(); // raises EMediaError when the file cannot be completed
//
// Destroyed without Finish, the writer deletes its file: nothing half
// written is left behind.
class TMediaStreamWriter {
public:
    TMediaStreamWriter(std::string FileName, const TMediaWriterProfile& Profile,
                       TStreamWriterFormat Format);
    ~TMediaStreamWriter();
    TMediaStreamWriter(const TMediaStreamWriter&) = delete;
    TMediaStreamWriter& operator=(const TMediaStreamWriter&) = delete;

    bool HasVideo() const;
    bool HasAudio() const;
    // The picture size and rate after clamping, as the caller should scale to.
    int32_t Width() const;
    int32_t Height() const;
    double FramesPerSecond() const;

    // Bgra is scaled to the frame size when it differs.
    void WriteVideo(const TPixelView& Bgra, TVideoTime Time);
    // Frames of Channels interleaved float samples.
    void WriteAudio(const float* Samples, int32_t Frames);
    TVideoTime AudioTime() const;
    int64_t VideoFramesWritten() const;
    // Ends the streams together (the last picture repeated up to the end of
    // the sound) and completes the file.
    void Finish();
    // Completes the file as far as it goes after a failure, without
    // raising; the file stays.
    void FinishQuietly() noexcept;

private:
    struct TState;
    std::unique_ptr<TState> F;
};
