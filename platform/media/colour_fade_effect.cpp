// Fade to or from a colour: the picture's colours move towards "color" by
// "Progress" (0 the picture, 1 the colour). Keyed from 1 to 0 over the first
// part of a clip it fades in from the colour, from 0 to 1 over the last part
// out to it. "color" is an integer with red in the low byte (the default -1
// is white); its top byte is not used, and the picture's alpha is kept, so a
// title fades its letters and leaves what shows around them alone.

#include "platform/media/media_components.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>

namespace {

class TColourFadeEffect : public TVideoEffectComponent {
public:
    explicit TColourFadeEffect(const TPropertySetter& Properties)
        : FProgress(Properties, "Progress", 0),
          FColour(ColorKeys(Properties, "color", MakeColor(255, 255, 255))) {}

    void Apply(const TComponentTime& When, TVideoFrame& Frame) override {
        TVideoTime Relative = When.Relative();
        auto Weight =
            static_cast<uint32_t>(std::lround(std::clamp(FProgress.At(Relative), 0.0, 1.0) * 256));
        if (Weight == 0)
            return;
        TColor Colour = FColour.At(Relative);
        // Per channel in frame order (blue, green, red): the colour's share.
        const uint32_t Target[3] = {Weight * ((Colour >> 16) & 0xFF),
                                    Weight * ((Colour >> 8) & 0xFF), Weight * (Colour & 0xFF)};
        const uint32_t Keep = 256 - Weight;
        uint8_t* P = Frame.Data();
        size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
        for (size_t I = 0; I < Pixels; ++I, P += 4)
            for (int C = 0; C < 3; ++C)
                P[C] = uint8_t((P[C] * Keep + Target[C] + 128) >> 8);
    }

private:
    TNumericKeys FProgress;
    TSteppedKeys<TColor> FColour;
};

} // namespace

void RegisterColourFadeEffect(TMediaComponents& Registry) {
    Registry.RegisterVideoEffect(TransformClassIds::ColourFade(),
                                 [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                     return std::make_unique<TColourFadeEffect>(Properties);
                                 });
}
