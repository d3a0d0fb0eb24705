#pragma once

#include "core/video_time.h"
#include "platform/forward.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The kinds of file a timeline renders to, numbered as the render settings
// know them.
enum class TMediaOutputFormat : uint8_t {
    WindowsMediaVideo = 0, // WMV video and WMA audio in ASF
    WindowsMediaAudio = 1, // WMA audio in ASF
    Mp4 = 2,               // H.264 (or MPEG-4 part 2) and AAC in MP4
    DvAvi = 3,             // DV video (PAL, or NTSC for 480 lines) and 48 kHz PCM in AVI
    UncompressedAvi = 4,   // 32-bit RGB and PCM in AVI
    CompressedAvi = 5,     // MPEG-4 part 2 and MP3 in AVI
    Mp3 = 6,               // an MP3 file
    Wav = 7,               // PCM in WAV
    Mp4Advanced = 8,       // encoders and container named in the profile
    AviAdvanced = 9,       // encoders named in the profile, in AVI
};

// What the render settings decide about the encoders. Each value reaches a
// real encoder option; MediaWriter.cpp documents the mapping.
struct TMediaWriterProfile {
    TMediaOutputFormat Format = TMediaOutputFormat::UncompressedAvi;
    // Bit-rate mode: TotalBitRate (bits per second) is shared between the
    // streams, unless VideoBitRate and AudioBitRate give the shares.
    // Quality mode: Quality in percent, 0..100; an AudioBitRate still sets
    // the rate of lossy audio.
    bool BitRateMode = false;
    int32_t TotalBitRate = 0;
    int32_t VideoBitRate = 0;
    int32_t AudioBitRate = 0;
    int32_t Quality = 75;
    // MPEG-4 part 2 quantizer 1..31 (0: from Quality).
    int32_t VideoQuantizer = 0;
    // Audio quality in percent for variable-rate audio (0: from Quality),
    // and the low-pass cut-off in Hz (0: the encoder's own).
    int32_t AudioQuality = 0;
    int32_t AudioCutoff = 0;
    // The rate-control buffer in milliseconds (-1: two seconds).
    int32_t BufferWindowMs = -1;
    // Mp4: false writes MPEG-4 part 2 instead of H.264.
    bool Mp4UsesH264 = true;
    // Leave the picture or the sound out of a format that has both.
    bool WithVideo = true;
    bool WithAudio = true;
    // The advanced formats: libavcodec encoder names and, for
    // Mp4Advanced, a libavformat container name (default "mp4").
    std::string VideoEncoder;
    std::string AudioEncoder;
    std::string Container;
};

enum class TRenderOutcome { Completed, Cancelled, Failed };

struct TRenderResult {
    TRenderOutcome Outcome = TRenderOutcome::Failed;
    std::string Error; // the failure's text, with the library's reason
};

// Renders a timeline into a file: the video group's frames and the audio
// group's samples run through libavcodec encoders into a libavformat
// muxer. Compositing runs on one worker thread, encoding and writing on
// another, so the two overlap. The file is written beside its target and
// put in place only when complete: a cancelled or failed render leaves any
// earlier file of that name as it was. The end of a render arrives through
// the message queue, so its callback runs on the thread that processes it.
//
//   TMediaFileWriter Writer(Timeline, UiMessages(), "/home/ann/holiday.mp4", Profile);
//   Writer.Start([&](const TRenderResult& Result) { ShowRenderEnd(Result); });
//   ... poll Writer.Position() for progress; Writer.Cancel() to stop.
class TMediaFileWriter {
public:
    // Timeline must stay unchanged and alive until the render has ended.
    TMediaFileWriter(const TMediaTimeline& Timeline, TMessageQueue& Messages,
                     std::string FileName, TMediaWriterProfile Profile);
    // Cancels a running render and waits for its end.
    ~TMediaFileWriter();
    TMediaFileWriter(const TMediaFileWriter&) = delete;
    TMediaFileWriter& operator=(const TMediaFileWriter&) = delete;

    // Creates the encoders and the file, then renders on worker threads and
    // returns at once. An encoder, container or file that cannot be made
    // raises EMediaError here, before anything runs. When the render ends
    // for any reason, OnEnded (if given) is posted to the message queue once;
    // it is posted before Wait returns, and dropped if the writer is
    // destroyed before the queue runs it.
    void Start(std::function<void(const TRenderResult&)> OnEnded);
    void Cancel();
    // Waits for the end of a started render and returns its result.
    TRenderResult Wait();

    bool Running() const;
    // How far the file has been written, and how long it will be.
    TVideoTime Position() const;
    TVideoTime Duration() const;

private:
    struct TState;
    std::shared_ptr<TState> F; // the posted end finds it while the writer lives
};

// The file name extension of each output format ("wmv", "mp4", ...).
const char* MediaOutputExtension(TMediaOutputFormat Format);
