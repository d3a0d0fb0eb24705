// Colour adjustment, in this order, on 0..255 channel values:
//   "brightness" b (-128..128): x + b;
//   "contrast"   c (-128..128): 128 + (x - 128) * (128 + c) / 128, so -128
//                gives flat grey and 128 doubles the distance from grey;
//   "gamma"      g (1 unchanged): 255 * (x / 255) ^ (1 / g), so above 1
//                lightens the shadows;
//   "saturation" s (-128..128): L + (x - L) * (128 + s) / 128 with L the
//                pixel's Rec. 601 luma, so -128 gives grey.
// Each step rounds to the nearest value and clamps to 0..255; alpha is kept.
// The first three are one table per frame; saturation mixes the channels.

#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"
#include "platform/graphics/pixel_blend.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct TAdjustment {
    double Brightness = 0, Contrast = 0, Gamma = 1, Saturation = 0;
    bool operator==(const TAdjustment&) const = default;
};

// A/128 rounded half away from zero.
inline int32_t DivideBy128(int32_t A) {
    return A >= 0 ? (A + 64) / 128 : -((-A + 64) / 128);
}

class TColourAdjustEffect : public TVideoEffectComponent {
public:
    explicit TColourAdjustEffect(const TPropertySetter& Properties)
        : FBrightness(Properties, "brightness", 0), FContrast(Properties, "contrast", 0),
          FSaturation(Properties, "saturation", 0), FGamma(Properties, "gamma", 1) {}

    void Apply(const TComponentTime& When, TVideoFrame& Frame) override {
        TVideoTime Relative = When.Relative();
        // A gamma of 0 or below means nothing; it leaves the picture alone.
        double Gamma = FGamma.At(Relative);
        TAdjustment Now{std::clamp(FBrightness.At(Relative), -255.0, 255.0),
                        std::clamp(FContrast.At(Relative), -128.0, 1024.0),
                        Gamma > 0 ? std::clamp(Gamma, 0.01, 100.0) : 1.0,
                        std::clamp(FSaturation.At(Relative), -128.0, 1024.0)};
        if (!FHasTable || !(Now == FTableFor))
            MakeTable(Now);
        if (FIdentity)
            return;
        const auto Factor = static_cast<int32_t>(std::lround(128 + Now.Saturation));
        uint8_t* P = Frame.Data();
        size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
        for (size_t I = 0; I < Pixels; ++I, P += 4) {
            P[0] = FTable[P[0]], P[1] = FTable[P[1]], P[2] = FTable[P[2]];
            if (Factor == 128)
                continue;
            auto L = static_cast<int32_t>(PixelLuma(P));
            for (int C = 0; C < 3; ++C)
                P[C] = uint8_t(std::clamp(L + DivideBy128((P[C] - L) * Factor), 0, 255));
        }
    }

private:
    void MakeTable(const TAdjustment& Now) {
        FIdentity = Now.Saturation == 0;
        for (int32_t X = 0; X < 256; ++X) {
            double V = std::clamp(std::round(X + Now.Brightness), 0.0, 255.0);
            V = std::clamp(std::round(128 + (V - 128) * (128 + Now.Contrast) / 128), 0.0, 255.0);
            V = std::clamp(std::round(255 * std::pow(V / 255, 1 / Now.Gamma)), 0.0, 255.0);
            FTable[size_t(X)] = uint8_t(V);
            FIdentity = FIdentity && FTable[size_t(X)] == X;
        }
        FTableFor = Now;
        FHasTable = true;
    }

    TNumericKeys FBrightness, FContrast, FSaturation, FGamma;
    std::array<uint8_t, 256> FTable{};
    TAdjustment FTableFor;
    bool FHasTable = false;
    bool FIdentity = false;
};

} // namespace

void RegisterColourAdjustEffect(TMediaComponents& Registry) {
    Registry.RegisterVideoEffect(TransformClassIds::ColourAdjust(),
                                 [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                     return std::make_unique<TColourAdjustEffect>(Properties);
                                 });
}
