#pragma once

// Internal to the media engine: FFmpeg reading of picture files (GIF, BMP,
// ICO, TIFF, WebP, animated PNG ...) for the picture source and the
// animation helper. The file is read through our own I/O and its kind is
// probed from its bytes, never from its name: the demuxers that open files
// by name read "%d" in a name as a frame-number pattern.

#include "platform/forward.h"
#include "platform/media/av_support.h"

#include <cstdint>
#include <cstdio>
#include <string>

class TAvPictureInput {
public:
    // Raises EMediaError (the cannot-open text) when the file cannot be read
    // or holds no picture stream.
    explicit TAvPictureInput(const std::string& FileName);
    ~TAvPictureInput();
    TAvPictureInput(const TAvPictureInput&) = delete;
    TAvPictureInput& operator=(const TAvPictureInput&) = delete;

    AVFormatContext* Format() const { return FFormat.get(); }
    AVStream* Stream() const { return FStream; }
    int32_t Width() const { return FStream->codecpar->width; }
    int32_t Height() const { return FStream->codecpar->height; }

    // The first picture, as straight-alpha BGRA; raises EMediaError when
    // none decodes.
    TVideoFrame DecodeFirst();

private:
    void Close();

    std::string FFileName;
    FILE* FFile = nullptr;
    AVIOContext* FIo = nullptr;
    TFormatContextPtr FFormat;
    AVStream* FStream = nullptr;
};
