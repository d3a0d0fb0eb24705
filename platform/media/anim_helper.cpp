#include "platform/media/anim_helper.h"

#include "core/numbers.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/av_picture_input.h"
#include "platform/media/media_error.h"
#include "platform/media/picture_file.h"
#include "platform/media/picture_resize.h"

#include <algorithm>

namespace {

// Far more frames than any animation a user would put in a video; a file
// claiming more is read no further.
constexpr int32_t MaxCountedFrames = 100000;

} // namespace

namespace AnimHelper {

TAnimationInfo GetInfo(const std::string& FileName) {
    TPictureKind Kind = DetectPictureKind(FileName);
    if (Kind == TPictureKind::Metafile)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::CannotOpenMedia), FileName),
                        GetText(TTextSlot::PictureKindNotSupported));
    TAnimationInfo Info;
    // Photos are the common case: their headers tell all without decoding.
    if (Kind == TPictureKind::Jpeg || (Kind == TPictureKind::Png && !IsAnimatedPng(FileName))) {
        TSize Size = PictureHeaderSize(FileName, Kind);
        Info.Width = Size.Width;
        Info.Height = Size.Height;
        Info.FrameCount = 1;
        return Info;
    }
    TAvPictureInput Input(FileName);
    Info.Width = Input.Width();
    Info.Height = Input.Height();

    AVStream* Stream = Input.Stream();
    TPacketPtr Packet(av_packet_alloc());
    if (!Packet)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(ENOMEM));
    int64_t Duration = 0; // in the stream's time base
    while (Info.FrameCount < MaxCountedFrames && av_read_frame(Input.Format(), Packet.get()) >= 0) {
        if (Packet->stream_index == Stream->index) {
            ++Info.FrameCount;
            Duration += std::max<int64_t>(Packet->duration, 0);
        }
        av_packet_unref(Packet.get());
    }
    if (Info.FrameCount == 0)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR_INVALIDDATA);
    Info.IsAnimated = Info.FrameCount > 1;
    if (!Info.IsAnimated)
        return Info;
    Info.DurationMs = av_rescale_q(Duration, Stream->time_base, AVRational{1, 1000});
    if (Info.DurationMs <= 0 && Stream->avg_frame_rate.num > 0 && Stream->avg_frame_rate.den > 0)
        Info.DurationMs = av_rescale(int64_t(Info.FrameCount) * 1000, Stream->avg_frame_rate.den,
                                     Stream->avg_frame_rate.num);
    return Info;
}

TVideoFrame GetPreviewBitmap(const std::string& FileName, int32_t Width, int32_t Height) {
    if (Width <= 0 || Height <= 0)
        return TVideoFrame();
    TLoadedPicture Loaded = LoadPicture(FileName, {Width, Height});
    TVideoFrame Preview(Width, Height);
    TSize Fitted = FitSize(Loaded.Picture.Width(), Loaded.Picture.Height(), Width, Height);
    Fitted.Width = std::max(Fitted.Width, 1);
    Fitted.Height = std::max(Fitted.Height, 1);
    ResizePictureInto(Loaded.Picture, Preview, (Width - Fitted.Width) / 2,
                      (Height - Fitted.Height) / 2, Fitted.Width, Fitted.Height);
    return Preview;
}

} // namespace AnimHelper
