#include "project/clip_picture.h"

#include "core/video_time.h"
#include "platform/media/picture_file.h"
#include "platform/media/picture_resize.h"
#include "platform/media/title_painter.h"
#include "platform/media/title_text.h"
#include "platform/media/video_file_reader.h"
#include "project/file_clip.h"
#include "project/title_clip.h"
#include "render/file_clip_element.h"
#include "render/text_clip_element.h"

#include <algorithm>
#include <cstdint>
#include <exception>

namespace {

constexpr TColor PictureBackground = MakeColor(255, 255, 255);
constexpr TColor PictureText = MakeColor(0, 0, 0);
constexpr double TitlePictureTime = 1.0; // seconds into the clip

// A / B rounded to the nearest integer, for positive B.
int64_t RoundedQuotient(int64_t A, int64_t B) {
    return (2 * A + B) / (2 * B);
}

TVideoFrame Scaled(const TVideoFrame& Frame, int32_t ShapeWidth, int32_t ShapeHeight) {
    TSize Size = ClipPictureSize(ShapeWidth, ShapeHeight);
    if (Frame.IsEmpty() || Size.Width == 0)
        return {};
    return ResizePicture(Frame, Size.Width, Size.Height);
}

} // namespace

TSize FitPictureSize(int32_t Width, int32_t Height, TSize Bounds) {
    if (Width <= 0 || Height <= 0)
        return {};
    const int64_t BoundsWidth = Bounds.Width, BoundsHeight = Bounds.Height;
    int64_t ScaledWidth = BoundsWidth, ScaledHeight = BoundsHeight;
    // Wider than the bounds' shape: the width is the limit.
    if (Width * BoundsHeight >= Height * BoundsWidth)
        ScaledHeight = RoundedQuotient(Height * BoundsWidth, Width);
    else
        ScaledWidth = RoundedQuotient(Width * BoundsHeight, Height);
    return {static_cast<int32_t>(std::max<int64_t>(ScaledWidth, 1)),
            static_cast<int32_t>(std::max<int64_t>(ScaledHeight, 1))};
}

TSize ClipPictureSize(int32_t Width, int32_t Height) {
    return FitPictureSize(Width, Height, ClipPictureBounds);
}

TVideoFrame GrabFileClipFrame(const TFileClip& Clip) {
    const TFileClipElement* Element = Clip.FileElement();
    if (!Element || !Clip.HasVideo())
        return {};
    if (Clip.IsStill())
        return LoadPicture(Clip.FileName(), ClipPictureBounds).Picture;
    TVideoFileReader Reader(Clip.FileName(), Element->StreamNumber());
    return *Reader.FrameAt(Clip.TrimBegin() + Clip.Duration() / 3, Clip.FrameWidth(),
                           Clip.FrameHeight(), TVideoFileReader::TFit::Stretch);
}

TVideoFrame RenderTitleClipFrame(const TTitleClip& Clip) {
    TTitleText Title;
    if (!ParseTitleText(Clip.TextElement()->Descriptor().TextForm(PictureBackground), Title))
        return {};
    Title.BackgroundColor = PictureBackground;
    Title.TextColor = PictureText;
    Title.MainFont.Color = PictureText;
    Title.CaptionFont.Color = PictureText;
    TTitlePainter Painter(Title, TitlePictureFrame.Width, TitlePictureFrame.Height);
    TVideoFrame Frame;
    Painter.Draw(TitlePictureTime, VideoTimeToSeconds(Clip.Duration()), Frame);
    return Frame;
}

TVideoFrame DrawClipPicture(const TClip& Clip) {
    try {
        if (const auto* File = dynamic_cast<const TFileClip*>(&Clip))
            return Scaled(GrabFileClipFrame(*File), File->FrameWidth(), File->FrameHeight());
        if (const auto* Title = dynamic_cast<const TTitleClip*>(&Clip))
            return Scaled(RenderTitleClipFrame(*Title), TitlePictureFrame.Width,
                          TitlePictureFrame.Height);
    } catch (const std::exception&) {
        // The picture is only a preview in the timeline editor: a clip whose
        // media went missing or will not decode is drawn without one, and
        // its unavailability is shown and reported where the clip is opened.
    }
    return {};
}
