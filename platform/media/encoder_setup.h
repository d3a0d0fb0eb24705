#pragma once

// Internal to the media engine: how the render settings choose and set up
// the encoders, shared by the render's file writer and the pushed stream
// writer of capture and the frame saver, so that a file of one output kind
// comes out the same whoever writes it. The mapping of each setting onto
// encoder options is documented in media_writer.cpp.

#include "platform/media/av_support.h"
#include "platform/media/media_writer.h"

#include <cstdint>
#include <string>

struct TEncoderChoice {
    const char* Container;
    const char* VideoEncoder; // nullptr: no video
    const char* AudioEncoder; // nullptr: no audio
};

// The container and encoders of the profile's output format; PCM formats
// take the sample size of BitsPerSample.
TEncoderChoice ChooseEncoders(const TMediaWriterProfile& Profile, int32_t BitsPerSample);

// Raises EMediaError with the missing-encoder text naming the encoder.
const AVCodec* FindMediaEncoder(const char* Name, const std::string& FileName);
// Raises EMediaError with the encoder's name and the library's reason.
void OpenMediaEncoder(AVCodecContext* Context, const AVCodec* Codec);

// How frames reach the video encoder, decided from the encoder found.
enum class TVideoPath {
    Raw,       // frames handed over as they are (rawvideo), no rate control
    Dv,        // scaled to the DV standard's size and run at its rate, fixed rate
    H264,      // scaled to YUV; x264 by constant rate factor or by rate in a buffer
    Quantized, // scaled to YUV; any other encoder, by a fixed quantizer or a mean rate
};
TVideoPath VideoPathOf(const AVCodec* Codec);

// What the rate control of either stream depends on.
struct TEncoderRates {
    const TMediaWriterProfile& Profile;
    bool HasVideo = false;
    bool HasAudio = false;
    int32_t AudioChannels = 2; // of the sound given to the writer
};

// Sets up a video encoder for pictures of Width x Height at Rate: the size
// and pixel format the encoder takes (DV: its standard's, from the number
// of lines), time base, picture shape, keyframe distance, threads, global
// header and rate control. Returns the rate the file runs at.
AVRational SetUpVideoEncoder(AVCodecContext* Context, const AVCodec* Codec,
                             const AVFormatContext* Output, int32_t Width, int32_t Height,
                             AVRational Rate, const TEncoderRates& Rates);

// Sets up an audio encoder for sound of Channels at SamplesPerSecond: the
// layout and rate the encoder takes (DV: 48 kHz stereo; MP3 and WMA at most
// stereo), sample format, time base, global header and rate control.
void SetUpAudioEncoder(AVCodecContext* Context, const AVCodec* Codec, const AVFormatContext* Output,
                       int32_t Channels, int32_t SamplesPerSecond, const TEncoderRates& Rates);

// A resampler from interleaved float sound of Channels at SamplesPerSecond
// to what Context takes; raises EMediaError naming FileName.
TSwrPtr MakeEncoderResampler(AVCodecContext* Context, int32_t Channels, int32_t SamplesPerSecond,
                             const std::string& FileName);

// Raises EMediaError with the cannot-write text naming FileName when Result
// is an error code.
void CheckWrite(int Result, const std::string& FileName);

// Hands Frame (null: the end of the stream) to the encoder and writes every
// packet it gives back into Stream of Output. A full disk or a vanished
// folder shows up here, as EMediaError naming FileName.
void EncodeAndWrite(AVCodecContext* Context, AVStream* Stream, AVFormatContext* Output,
                    const AVFrame* Frame, const std::string& FileName);
