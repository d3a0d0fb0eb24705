#pragma once

#include <string>

// The sample pictures the previewers show transitions and effects on. The
// program draws them itself and writes them as BMP files under the images
// folder the first time they are asked for, so they are always there and
// always the same.
enum class TPreviewPicture {
    TransitionOutgoing, // "Stage/Transitions/Preview Clip1.bmp": warm, with a disc
    TransitionIncoming, // "Stage/Transitions/Preview Clip2.bmp": cool, with a diamond
    Effect,             // "Stage/Effects/Preview Clip.bmp": colour bars, ramp and a disc
};

constexpr int32_t PreviewPictureWidth = 320;
constexpr int32_t PreviewPictureHeight = 240;

// The picture's name relative to the images folder.
std::string PreviewPictureName(TPreviewPicture Which);

// The picture's file under ImagesFolder, written when it is missing. When
// that folder cannot be written the picture goes under the user's cache
// folder instead. Raises EMediaError when neither can be written.
std::string EnsurePreviewPicture(const std::string& ImagesFolder, TPreviewPicture Which);
