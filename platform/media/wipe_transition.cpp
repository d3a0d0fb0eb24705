// The wipe: B (the incoming picture) replaces A along the edge of a pattern
// chosen by "MaskNum" (wipe_patterns.cpp). "BorderSoftness" (0..255) softens
// the edge: B is blended in over a band that trails the edge, at most a fifth
// of the pattern's travel wide.

#include "platform/media/media_components.h"
#include "platform/graphics/pixel_blend.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"
#include "platform/media/transition_progress.h"
#include "platform/media/video_frame.h"
#include "platform/media/wipe_patterns.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// The soft band at the highest softness, as a share of the pattern's levels.
constexpr double WidestSoftBand = 0.2;

// Per pixel: B where the pattern's level lies below the edge, A beyond the
// band, a blend in between.
void Wipe(const TWipeMask& Mask, double Progress, double Softness, const TVideoFrame& A,
          const TVideoFrame& B, TVideoFrame& Output) {
    const size_t Pixels = Mask.Levels.size();
    const uint16_t* Level = Mask.Levels.data();
    const uint8_t* PA = A.Data();
    const uint8_t* PB = B.Data();
    uint8_t* O = Output.Data();
    auto Band = static_cast<int32_t>(std::lround(Softness * WidestSoftBand * WipeLevelCount));
    if (Band <= 0) {
        auto Edge = static_cast<int32_t>(std::lround(Progress * WipeLevelCount));
        for (size_t I = 0; I < Pixels; ++I)
            CopyPixel((Level[I] < Edge ? PB : PA) + I * 4, O + I * 4);
        return;
    }
    // The edge runs from level 0 to one band beyond the last level, so that
    // progress 0 shows only A and progress 1 only B.
    auto Edge = static_cast<int32_t>(std::lround(Progress * (WipeLevelCount + Band)));
    const int32_t Reciprocal = (256 << 16) / Band;
    for (size_t I = 0; I < Pixels; ++I) {
        int32_t Ahead = Edge - int32_t(Level[I]);
        if (Ahead <= 0)
            CopyPixel(PA + I * 4, O + I * 4);
        else if (Ahead >= Band)
            CopyPixel(PB + I * 4, O + I * 4);
        else
            BlendPixel(PA + I * 4, PB + I * 4, uint32_t((Ahead * Reciprocal) >> 16), O + I * 4);
    }
}

class TWipeTransition : public TVideoTransitionComponent {
public:
    explicit TWipeTransition(const TPropertySetter& Properties)
        : FProgress(Properties), FCode(Properties, "MaskNum", 1, ParsePropertyInteger),
          FSoftness(Properties, "BorderSoftness", 0) {}

    void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        assert(A.Width() == B.Width() && A.Height() == B.Height() && "frame sizes differ");
        if (Output.Width() != A.Width() || Output.Height() != A.Height())
            Output.Resize(A.Width(), A.Height());
        TVideoTime Relative = When.Relative();
        int32_t Code = FCode.At(Relative);
        if (!IsWipeCode(Code))
            Code = 1;
        if (!FMask || FMask->Code != Code || FMask->Width != A.Width() ||
            FMask->Height != A.Height())
            FMask = CachedWipeMask(Code, A.Width(), A.Height());
        double Progress = std::clamp(FProgress.At(When), 0.0, 1.0);
        double Softness = std::clamp(FSoftness.At(Relative) / 255.0, 0.0, 1.0);
        Wipe(*FMask, Progress, Softness, A, B, Output);
    }

private:
    TTransitionProgress FProgress;
    TSteppedKeys<int32_t> FCode;
    TNumericKeys FSoftness;
    std::shared_ptr<const TWipeMask> FMask;
};

} // namespace

void RegisterWipeTransition(TMediaComponents& Registry) {
    Registry.RegisterTransition(TransformClassIds::Wipe(),
                                [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                    return std::make_unique<TWipeTransition>(Properties);
                                });
}
