#pragma once

// Internal to the media engine: FFmpeg headers and the small RAII wrappers
// the engine's .cpp files share. No public header includes this file.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "core/text_table.h"
#include "core/video_time.h"
#include "platform/media/display_turn.h"

#include <memory>
#include <string>

// The media libraries write no log of their own: their failures reach the
// user through the errors raised from their return codes. Called before any
// use of the libraries.
void QuietMediaLibraries();

// The library's text for an error code.
std::string AvErrorText(int Code);

struct TFormatContextCloser {
    void operator()(AVFormatContext* Context) const { avformat_close_input(&Context); }
};
struct TCodecContextFreer {
    void operator()(AVCodecContext* Context) const { avcodec_free_context(&Context); }
};
struct TFrameFreer {
    void operator()(AVFrame* Frame) const { av_frame_free(&Frame); }
};
struct TPacketFreer {
    void operator()(AVPacket* Packet) const { av_packet_free(&Packet); }
};
struct TSwsFreer {
    void operator()(SwsContext* Context) const { sws_freeContext(Context); }
};
struct TSwrFreer {
    void operator()(SwrContext* Context) const { swr_free(&Context); }
};

using TFormatContextPtr = std::unique_ptr<AVFormatContext, TFormatContextCloser>;
using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextFreer>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameFreer>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFreer>;
using TSwsPtr = std::unique_ptr<SwsContext, TSwsFreer>;
using TSwrPtr = std::unique_ptr<SwrContext, TSwrFreer>;

// Opens a media file for reading and reads its stream information; raises
// EMediaError naming the file with the library's reason. Reading gives up
// after a bounded amount of data, so garbage input cannot hang it.
TFormatContextPtr OpenMediaFile(const std::string& FileName);

// Opens a decoder for Stream; raises EMediaError when the codec is unknown.
TCodecContextPtr OpenStreamDecoder(const std::string& FileName, AVStream* Stream, int Threads);

// The index in Context of the Number-th stream of Type, or -1.
int FindStream(AVFormatContext* Context, AVMediaType Type, int Number);

// One stream of a media file opened for decoding, the file's other streams
// discarded so that reading skips their packets.
struct TOpenedStream {
    TFormatContextPtr Format;
    int Index = -1;
    AVStream* Stream = nullptr;
    TCodecContextPtr Decoder;
    TVideoTime StartTime = 0; // the stream's first time, 0 when it has none
};

// Opens the Number-th stream of Type in FileName with a decoder of Threads
// threads (0: as many as the library likes); raises EMediaError naming the
// file when it cannot be read, has no such stream or cannot be decoded.
TOpenedStream OpenFileStream(const std::string& FileName, AVMediaType Type, int Number,
                             int Threads);

// Takes the decoder's next frame into Frame, reading packets from Format
// with Packet as the decoder asks for them: packets of other streams than
// StreamIndex are skipped, and so is a packet or frame the decoder cannot
// make sense of. At the end of the file EndOfStream is set and the decoder
// drained. False once the decoder has given its last frame; a seek clears
// EndOfStream and flushes the decoder to start again.
bool DecodeNextFrame(AVFormatContext* Format, int StreamIndex, AVCodecContext* Decoder,
                     AVPacket* Packet, AVFrame* Frame, bool& EndOfStream);

// Conversions between stream time bases and 100-ns units.
TVideoTime StreamToVideoTime(int64_t Timestamp, AVRational TimeBase);
int64_t VideoTimeToStream(TVideoTime Time, AVRational TimeBase);

// Raises EMediaError with the text Slot filled with the file name and the
// library's reason for Code (none for 0).
[[noreturn]] void RaiseMediaFileError(TTextSlot Slot, const std::string& FileName, int Code);

// How Stream's pictures are turned to show upright, from its display matrix.
TDisplayTurn StreamDisplayTurn(const AVStream* Stream);

// Sets Scaler to convert between the colour matrices and ranges given
// (unspecified: BT.601); a full-range YUV format (yuvj420p) is full whatever
// its range says, and packed RGB is full.
void SetScalerColours(SwsContext* Scaler, int InFormat, AVColorSpace InSpace, AVColorRange InRange,
                      int OutFormat, AVColorSpace OutSpace, AVColorRange OutRange);

// The matrix a picture of this size was made with: its tag, or for an
// untagged picture the one its size implies, as players read it: BT.709 for
// HD sizes, BT.601 for standard definition.
AVColorSpace PictureColourSpace(AVColorSpace Tagged, int Width, int Height);

// Tags a YUV encoder's pictures as the engine writes them: limited range,
// BT.709 for HD sizes and BT.601 for standard definition. Its converter
// should then be set up with SetScalerColours to match.
void TagVideoColours(AVCodecContext& Encoder);
