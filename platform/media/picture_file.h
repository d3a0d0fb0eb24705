#pragma once

#include "core/geometry.h"
#include "platform/media/video_frame.h"

#include <cstdint>
#include <string>

// What a picture file holds, told by its first bytes (and, for the Windows
// metafiles, also by its extension).
enum class TPictureKind { Png, Jpeg, Metafile, Other };
TPictureKind DetectPictureKind(const std::string& FileName);

struct TLoadedPicture {
    TVideoFrame Picture;   // straight-alpha BGRA, possibly reduced (see LoadPicture)
    int32_t FullWidth = 0; // the file's own picture size
    int32_t FullHeight = 0;
};

// Decodes a still picture: PNG with the platform's codec, JPEG with
// libjpeg, the other kinds (BMP, GIF, ICO, TIFF, WebP ...) with FFmpeg; of an
// animation the first picture. When Enough is given the picture may come
// reduced, but never smaller than Enough in either direction: a photo of
// 6000 x 4000 shown in a 720 x 576 frame does not need to be kept whole.
// Windows metafiles (WMF, EMF) cannot be drawn here. Every failure raises
// EMediaError with the cannot-open text naming the file and the reason (the
// library's own).
TLoadedPicture LoadPicture(const std::string& FileName, TSize Enough = {});

// Whether a PNG file is an animation (an APNG), which only FFmpeg reads whole.
bool IsAnimatedPng(const std::string& FileName);
// The size of a PNG or JPEG (Kind) read from its header alone; raises as
// LoadPicture does.
TSize PictureHeaderSize(const std::string& FileName, TPictureKind Kind);

// Writes Picture as an uncompressed 24-bit BMP (alpha is dropped). Raises
// EMediaError with the cannot-write text and the system's reason.
void WriteBmpFile(const std::string& FileName, const TVideoFrame& Picture);

// Raises EMediaError when a picture of this size is beyond what is decoded
// (more than 128 million pixels, or a side beyond 65535).
void CheckPictureSize(const std::string& FileName, int64_t Width, int64_t Height);
