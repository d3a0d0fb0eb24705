#include "platform/media/picture_source.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_timeline.h"
#include "platform/media/picture_cache.h"
#include "platform/media/picture_source_name.h"
#include "platform/media/video_frame.h"
#include "platform/media/zoom_pan_callbacks.h"

#include <algorithm>
#include <cmath>

namespace {

// Pictures are kept at twice the frame's size at most: a zoom down to half
// the picture still shows every pixel the frame can.
constexpr int32_t DetailFactor = 2;

bool IsUsable(const TZoomPanRect& Rect, int32_t Width, int32_t Height) {
    double Limit = 1000.0 * std::max(Width, Height);
    return std::isfinite(Rect.Left) && std::isfinite(Rect.Top) && std::isfinite(Rect.Right) &&
           std::isfinite(Rect.Bottom) && Rect.Right > Rect.Left && Rect.Bottom > Rect.Top &&
           std::abs(Rect.Left) < Limit && std::abs(Rect.Right) < Limit &&
           std::abs(Rect.Top) < Limit && std::abs(Rect.Bottom) < Limit;
}

class TPictureSource : public TVideoSourceComponent {
public:
    TPictureSource(TPictureSourceName Name, const TMediaVideoFormat& Format)
        : FName(std::move(Name)),
          FFrameDuration(Format.FrameDuration), FEnough{Format.Width * DetailFactor,
                                                        Format.Height * DetailFactor} {
        // Decoding now reports an unreadable picture when the source is made.
        CachedPicture(FName.FileName, FEnough);
    }

    void Render(const TComponentTime& When, TVideoFrame& Frame) override {
        auto Picture = CachedPicture(FName.FileName, FEnough);
        int32_t FullWidth = Picture->FullWidth, FullHeight = Picture->FullHeight;
        TZoomPanRect Shown{0, 0, double(FullWidth), double(FullHeight)};
        TZoomPanRect Asked;
        if (CallZoomPanCallback(FName.ZoomPanCallback, QueryFor(FullWidth, FullHeight, When),
                                Asked) &&
            IsUsable(Asked, FullWidth, FullHeight))
            Shown = Asked;

        // The callback speaks in the file's pixels; the picture may be kept reduced.
        double ScaleX = double(Picture->Pyramid.Width()) / FullWidth;
        double ScaleY = double(Picture->Pyramid.Height()) / FullHeight;
        TFloatRect Source{Shown.Left * ScaleX, Shown.Top * ScaleY, Shown.Right * ScaleX,
                          Shown.Bottom * ScaleY};
        TFloatRect Dest{0, 0, double(Frame.Width()), double(Frame.Height())};
        if (FName.KeepAspectRatio) {
            double ShownWidth = Shown.Right - Shown.Left, ShownHeight = Shown.Bottom - Shown.Top;
            double Fit = std::min(Frame.Width() / ShownWidth, Frame.Height() / ShownHeight);
            double Width = ShownWidth * Fit, Height = ShownHeight * Fit;
            Dest.Left = (Frame.Width() - Width) / 2;
            Dest.Top = (Frame.Height() - Height) / 2;
            Dest.Right = Dest.Left + Width;
            Dest.Bottom = Dest.Top + Height;
        }
        Picture->Pyramid.Draw(Source, Dest, FName.ClipColor, Frame);
    }

private:
    TZoomPanQuery QueryFor(int32_t Width, int32_t Height, const TComponentTime& When) const {
        TZoomPanQuery Query;
        Query.PictureWidth = Width;
        Query.PictureHeight = Height;
        Query.Progress = Progress(When);
        Query.Begin = FName.ZoomPanBegin;
        Query.End = FName.ZoomPanEnd;
        Query.OutputWidth = FName.OutputWidth;
        Query.OutputHeight = FName.OutputHeight;
        return Query;
    }

    // 0 on the clip's first frame, 1 on its last: the end value of the zoom
    // and pan is what the clip's last frame shows.
    double Progress(const TComponentTime& When) const {
        TVideoTime Span = When.Stop - When.Start - FFrameDuration;
        if (Span <= 0)
            return When.Stop > When.Start ? 0.0 : 1.0;
        return std::clamp(double(When.Relative()) / double(Span), 0.0, 1.0);
    }

    TPictureSourceName FName;
    TVideoTime FFrameDuration;
    TSize FEnough;
};

} // namespace

const TGuid& PictureSourceClassId() {
    static const TGuid Id = GuidFromText("{CBA84307-036B-4A74-9E98-8F32405FF48D}");
    return Id;
}

void RegisterPictureSource(TMediaComponents& Registry) {
    Registry.RegisterSource(PictureSourceClassId(), [](const TMediaSource& Source,
                                                       const TMediaVideoFormat& Format) {
        std::string Text = Source.Properties().TextAt("filename", 0);
        TPictureSourceName Name;
        if (!ParsePictureSourceName(Text, Name))
            RaiseMediaError(FormatMessageText(GetText(TTextSlot::InvalidPictureSourceName), Text),
                            "");
        return std::make_unique<TPictureSource>(std::move(Name), Format);
    });
}
