// The colour source: fills the frame with its "color" property, an integer
// 0xAARRGGBB. "color" 0 is transparent black, which lets what lies beneath
// show through.

#include "platform/graphics/color.h"
#include "platform/media/builtin_components.h"
#include "platform/media/media_components.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"

#include <cstdint>

namespace {

class TColorSource : public TVideoSourceComponent {
public:
    explicit TColorSource(uint32_t Argb) : FColor(BgraWordToColor(Argb)) {}
    void Render(const TComponentTime&, TVideoFrame& Frame) override { Frame.Fill(FColor); }

private:
    TColor FColor;
};

} // namespace

void RegisterColorSource(TMediaComponents& Registry) {
    Registry.RegisterSource(MediaClassIds::ColorSource(),
                            [](const TMediaSource& Source, const TMediaVideoFormat&) {
                                double Value = PropertyNumber(Source.Properties(), "color", 0);
                                auto Argb = static_cast<uint32_t>(static_cast<int64_t>(Value));
                                return std::make_unique<TColorSource>(Argb);
                            });
}
