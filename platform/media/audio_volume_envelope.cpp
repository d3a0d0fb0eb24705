// The audio volume envelope: multiplies the samples by its "Vol" property,
// whose key values (relative to the effect's start) jump or ramp.

#include "platform/media/builtin_components.h"
#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"

#include <algorithm>

namespace {

class TVolumeEnvelope : public TAudioEffectComponent {
public:
    explicit TVolumeEnvelope(TNumericKeys Volume) : FVolume(std::move(Volume)) {}

    void Apply(TVideoTime BlockStart, TVideoTime EffectStart, TVideoTime EffectStop,
               const TMediaAudioFormat& Format, float* Samples, int32_t Frames) override {
        int64_t First = TimeToSample(BlockStart, Format.SamplesPerSecond);
        int64_t From =
            std::max<int64_t>(TimeToSample(EffectStart, Format.SamplesPerSecond) - First, 0);
        int64_t To =
            std::min<int64_t>(TimeToSample(EffectStop, Format.SamplesPerSecond) - First, Frames);
        for (int64_t I = From; I < To; ++I) {
            TVideoTime Relative = SampleToTime(First + I, Format.SamplesPerSecond) - EffectStart;
            auto Gain = static_cast<float>(FVolume.At(Relative));
            float* Frame = Samples + I * Format.Channels;
            for (int32_t C = 0; C < Format.Channels; ++C)
                Frame[C] *= Gain;
        }
    }

private:
    TNumericKeys FVolume;
};

} // namespace

void RegisterAudioVolumeEnvelope(TMediaComponents& Registry) {
    Registry.RegisterAudioEffect(
        MediaClassIds::AudioVolumeEnvelope(), [](const TPropertySetter& Properties) {
            return std::make_unique<TVolumeEnvelope>(TNumericKeys(Properties, "Vol", 1.0));
        });
}
