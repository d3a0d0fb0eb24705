#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Media made at run time for the media engine's tests and benchmarks, so that
// nothing has to be downloaded: clips of solid colours or numbered frames with
// an optional sine tone, tones, still pictures and damaged files. Every
// function raises std::runtime_error carrying the FFmpeg libraries' own error
// text when it cannot write its file.
//
//     TTempFolder Folder;
//     TTestVideoOptions Options;
//     Options.Codec = "libx264";
//     Options.MaxBFrames = 2;
//     Options.Painter = NumberedFrames();
//     WriteTestVideo(Folder.Path("clip.mp4"), Options);
//     ... decode a frame to BGRA, then ReadFrameNumber(...) tells which one it was.

// Fills a BGRA (bytes B, G, R, A), top-down image of Width x Height with
// Stride bytes per row.
using TFramePainter =
    std::function<void(int FrameIndex, uint8_t* Bgra, int Width, int Height, int Stride)>;

// The colour matrix a clip's YUV pictures are made with and tagged as.
enum class TTestColours { Untagged, Bt601, Bt709 };

struct TTestVideoOptions {
    // A libavcodec encoder name: "mpeg4", "libx264", "mjpeg", "rawvideo",
    // "dvvideo", ... "dvvideo" always makes PAL DV: 720 x 576 at 25 frames per
    // second, whatever the size and rate below.
    std::string Codec = "mpeg4";
    int Width = 320;
    int Height = 240;
    int FramesPerSecondNum = 25;
    int FramesPerSecondDen = 1;
    int FrameCount = 50;
    int GopSize = 12;      // keyframe interval
    int MaxBFrames = 0;    // > 0 for long-GOP clips with B-frames (libx264, mpeg4)
    TFramePainter Painter; // empty: SolidColor(128, 128, 128)

    // Untagged clips are made with the matrix players assume for their size:
    // BT.709 for HD (720 lines or more than 1024 wide), BT.601 below. FullRange makes full-range (0..255) YUV, tagged so.
    TTestColours Colours = TTestColours::Untagged;
    bool FullRange = false;

    // A display matrix stored beside the video (MP4 and MOV), nine numbers
    // in FFmpeg's layout, as phones write to show sideways-stored pictures
    // upright; empty: none.
    std::vector<int32_t> DisplayMatrix;

    // An optional sine tone as long as the video. DV takes only "pcm_s16le"
    // at 48000 Hz, 2 channels; MP4 holds no PCM here (use "aac" or "libmp3lame").
    bool WithAudio = false;
    double ToneHz = 440;
    double ToneAmplitude = 0.5; // 0..1 of full scale
    int SampleRate = 44100;
    int Channels = 2;
    std::string AudioCodec = "pcm_s16le"; // or "aac", "libmp3lame", "mp2"
};

// Writes a clip; the container follows the extension (.avi, .mp4, .mkv, .mov, .dv).
// Frame i is shown at i / frame rate from 0. Lossy audio codecs start late by
// their delay (AAC 1024 samples) where the container cannot tell (.avi, .mkv),
// and their last frame may run past the video.
void WriteTestVideo(const std::string& Path, const TTestVideoOptions& Options);

// Writes a .wav file of 16-bit PCM holding a sine tone of Amplitude (0..1 of full scale).
void WriteTestTone(const std::string& Path, double Hz, double Amplitude, double Seconds,
                   int SampleRate = 44100, int Channels = 2);

// Writes a still picture, PNG or JPEG after the extension (.png, .jpg, .jpeg).
// Bgra is 0xAARRGGBB, the bytes B, G, R, A of a little-endian word; JPEG drops
// the alpha.
void WriteTestPicture(const std::string& Path, int Width, int Height, uint32_t Bgra);
// The same with the picture painted by Painter as frame 0.
void WriteTestPicture(const std::string& Path, int Width, int Height, const TFramePainter& Painter);

// Paints every frame in one opaque colour.
TFramePainter SolidColor(uint8_t R, uint8_t G, uint8_t B);

// Paints the frame index (modulo 1024) as 10 bars across the top half, the
// most significant bit on the left, white for 1 and black for 0, and below
// them a saturated colour that changes with the index. The bars and the
// colour survive lossy compression, so tests can tell which frame a decoder
// delivered with ReadFrameNumber.
TFramePainter NumberedFrames();

// The frame index painted by NumberedFrames into a BGRA, top-down image of any
// size (it samples the middle of each bar and the colour below); -1 when the
// image does not carry one.
int ReadFrameNumber(const uint8_t* Bgra, int Width, int Height, int Stride);

// Writes Bytes of garbage, the same for the same Seed.
void WriteGarbageFile(const std::string& Path, size_t Bytes, uint32_t Seed);
// Writes the first Fraction (0..1) of the file From to To, as a download cut short.
void WriteTruncatedCopy(const std::string& From, const std::string& To, double Fraction);

// A fresh folder under the system's temporary folder, removed with everything
// in it on destruction.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder itself.
    const std::string& Root() const { return FRoot; }
    // The path of the file Name inside the folder.
    std::string Path(const std::string& Name) const { return FRoot + "/" + Name; }

private:
    std::string FRoot;
};
