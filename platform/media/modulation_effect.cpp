// Modulation (tremolo): the volume swings between full and silence "freq"
// times a second (1..500). "form" chooses the swing: 0 a sine, 1 a square
// with softened corners (a hard square would click). The swing starts at
// full volume at the effect's start, and a frequency that changes through
// key values bends the swing without a jump.

#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double DefaultFrequency = 10;
constexpr double HighestFrequency = 20000;
// The square is a sine driven this far into clipping: its edges take about
// a twentieth of a period.
constexpr double SquareSharpness = 8;

// The frequency over time and the swings it adds up to.
class TFrequencyCurve {
public:
    explicit TFrequencyCurve(const TPropertySetter& Properties) {
        if (const auto* Keys = Properties.Keys("freq"))
            for (const TKeyValue& Key : *Keys) {
                double Value = 0;
                if (ParsePropertyNumber(Key.Value, Value))
                    FKeys.push_back({double(Key.Time) / VideoTimeUnitsPerSecond,
                                     std::clamp(Value, 0.0, HighestFrequency), Key.Blend});
            }
        if (FKeys.empty())
            FKeys.push_back({0, DefaultFrequency, TKeyBlend::Jump});
        FSums.push_back(0);
        for (size_t I = 1; I < FKeys.size(); ++I)
            FSums.push_back(FSums.back() + Area(I - 1, FKeys[I].Time));
        FAtStart = Sum(0);
    }

    bool IsConstant() const { return FKeys.size() == 1; }
    double First() const { return FKeys.front().Hertz; }
    // Whole and part swings between the effect's start and Seconds.
    double Cycles(double Seconds) const { return Sum(Seconds) - FAtStart; }

private:
    struct TKey {
        double Time; // seconds from the effect's start
        double Hertz;
        TKeyBlend Blend;
    };

    // Swings from key I to Time, which lies before the next key.
    double Area(size_t I, double Time) const {
        const TKey& Key = FKeys[I];
        double Span = Time - Key.Time;
        if (I + 1 < FKeys.size()) {
            const TKey& Next = FKeys[I + 1];
            if (Next.Blend == TKeyBlend::Interpolate && Next.Time > Key.Time) {
                double Reached =
                    Key.Hertz + (Next.Hertz - Key.Hertz) * Span / (Next.Time - Key.Time);
                return Span * (Key.Hertz + Reached) / 2;
            }
        }
        return Span * Key.Hertz;
    }

    // Swings from the first key to Time.
    double Sum(double Time) const {
        if (Time <= FKeys.front().Time)
            return (Time - FKeys.front().Time) * FKeys.front().Hertz;
        auto Next = std::upper_bound(FKeys.begin(), FKeys.end(), Time,
                                     [](double T, const TKey& K) { return T < K.Time; });
        auto I = size_t(Next - FKeys.begin()) - 1;
        return FSums[I] + Area(I, Time);
    }

    std::vector<TKey> FKeys;
    std::vector<double> FSums; // swings from the first key to each key
    double FAtStart = 0;
};

class TModulationEffect : public TAudioEffectComponent {
public:
    explicit TModulationEffect(const TPropertySetter& Properties)
        : FFrequency(Properties), FForm(Properties, "form", 0, ParsePropertyInteger) {}

    void Apply(TVideoTime BlockStart, TVideoTime EffectStart, TVideoTime EffectStop,
               const TMediaAudioFormat& Format, float* Samples, int32_t Frames) override {
        const int32_t Rate = Format.SamplesPerSecond;
        if (Rate <= 0)
            return;
        int64_t First = TimeToSample(BlockStart, Rate);
        int64_t Origin = TimeToSample(EffectStart, Rate);
        int64_t From = std::max<int64_t>(Origin - First, 0);
        int64_t To = std::min<int64_t>(TimeToSample(EffectStop, Rate) - First, Frames);
        for (int64_t I = From; I < To; ++I) {
            double Seconds = double(First + I - Origin) / Rate;
            double Cycles =
                FFrequency.IsConstant() ? FFrequency.First() * Seconds : FFrequency.Cycles(Seconds);
            double Swing = std::cos(2 * std::numbers::pi * (Cycles - std::floor(Cycles)));
            if (FForm.At(SampleToTime(First + I, Rate) - EffectStart) >= 1)
                Swing = std::clamp(Swing * SquareSharpness, -1.0, 1.0);
            auto Gain = static_cast<float>(0.5 + 0.5 * Swing);
            float* Frame = Samples + I * Format.Channels;
            for (int32_t C = 0; C < Format.Channels; ++C)
                Frame[C] *= Gain;
        }
    }

private:
    TFrequencyCurve FFrequency;
    TSteppedKeys<int32_t> FForm;
};

} // namespace

void RegisterModulationEffect(TMediaComponents& Registry) {
    Registry.RegisterAudioEffect(TransformClassIds::Modulation(),
                                 [](const TPropertySetter& Properties) {
                                     return std::make_unique<TModulationEffect>(Properties);
                                 });
}
