// The alpha ramp: the picture's opacity times "AlphaRamp" (0 transparent,
// 1 unchanged). Keyed from 0 to 1 over the first part of a clip it fades the
// clip in over what lies beneath, from 1 to 0 over the last part out.

#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>

namespace {

class TAlphaRampEffect : public TVideoEffectComponent {
public:
    explicit TAlphaRampEffect(const TPropertySetter& Properties)
        : FOpacity(Properties, "AlphaRamp", 1) {}

    void Apply(const TComponentTime& When, TVideoFrame& Frame) override {
        auto Scale = static_cast<uint32_t>(
            std::lround(std::clamp(FOpacity.At(When.Relative()), 0.0, 1.0) * 256));
        if (Scale == 256)
            return;
        uint8_t* P = Frame.Data();
        size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
        for (size_t I = 0; I < Pixels; ++I, P += 4)
            P[3] = uint8_t((P[3] * Scale + 128) >> 8);
    }

private:
    TNumericKeys FOpacity;
};

} // namespace

void RegisterAlphaRampEffect(TMediaComponents& Registry) {
    Registry.RegisterVideoEffect(TransformClassIds::AlphaRamp(),
                                 [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                     return std::make_unique<TAlphaRampEffect>(Properties);
                                 });
}
