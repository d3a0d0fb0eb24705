#pragma once

#include <string>

// The sample pictures the previewers show transitions and effects on. The
// program draws them itself; the build writes them as BMP files into the
// images folder it installs, and a program without them writes them into
// its cache the first time they are asked for, so they are always there and
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

// Writes the three pictures under ImagesFolder, as the build does for the
// images folder it installs. Raises EMediaError when one cannot be written.
void WritePreviewPictures(const std::string& ImagesFolder);

// The picture's file: the one under ImagesFolder when it is there (the
// installed data folder, which is never written at run time), else one
// written under CacheFolder, or under the user's cache folder when that is
// empty. Raises EMediaError when it cannot be written.
std::string EnsurePreviewPicture(const std::string& ImagesFolder, TPreviewPicture Which,
                                 const std::string& CacheFolder = {});
