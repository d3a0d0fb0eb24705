#pragma once

#include "core/geometry.h"
#include "platform/media/video_frame.h"

class TClip;
class TFileClip;
class TTitleClip;

// The small pictures the timeline editor shows of clips. A clip keeps its
// picture (TClip::Picture) and draws it through DrawClipPicture when it is
// asked for after its mark was cleared.

// Clip pictures fit within this, in the shape of what they show.
inline constexpr TSize ClipPictureBounds{48, 38};
// Titles are drawn at this size, the shape of their pictures.
inline constexpr TSize TitlePictureFrame{320, 240};

// The largest size within Bounds of the shape Width x Height, at least
// 1 x 1; 0 x 0 for a shape without area.
TSize FitPictureSize(int32_t Width, int32_t Height, TSize Bounds);
// The same within ClipPictureBounds.
TSize ClipPictureSize(int32_t Width, int32_t Height);

// What a file clip's picture shows, before scaling: for a video the frame a
// third into the clip's trimmed range, at the media's frame size; for a
// still its picture, possibly reduced but never below ClipPictureBounds.
// Empty for a clip without an element or without video. Raises what
// decoding raises.
TVideoFrame GrabFileClipFrame(const TFileClip& Clip);

// The title once drawn at TitlePictureFrame, one second into the clip, in
// opaque black on opaque white (whatever its own colours) so that it reads
// at a glance. Raises what drawing raises.
TVideoFrame RenderTitleClipFrame(const TTitleClip& Clip);

// The clip's picture: its frame scaled to ClipPictureSize of the media's
// shape. Any failure gives an empty picture.
TVideoFrame DrawClipPicture(const TClip& Clip);
