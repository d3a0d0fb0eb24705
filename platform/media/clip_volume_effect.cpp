// The clip volume: multiplies the samples by a gain that the timeline gives
// in one of these forms:
//   "Vol" = a number: the gain, possibly through key values that jump or
//     ramp (times relative to the effect's start);
//   "Vol" or "multivol" = "T1 T2 V1 V2": a ramp from V1 at timeline time T1
//     to V2 at T2 (V1 before, V2 after), which is how a property of two key
//     values is written;
//   "multivol" = "A B V1 V2 C S": the envelope of a clip between transitions:
//     from 0 at S (the clip's start) up to V1 at A, to V2 at B, and down to 0
//     at C (the clip's end). A = S means no fade in, B = C no fade out.
// Times in the texts are timeline times (100 ns units) written as integers.
// With both properties the gains multiply; gains below 0 count as 0.

#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"
#include "platform/media/transform_components.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace {

std::vector<double> Numbers(std::string_view Text) {
    std::vector<double> Result;
    size_t At = 0;
    while (At < Text.size()) {
        size_t End = Text.find_first_of(" \t", At);
        if (End == std::string_view::npos)
            End = Text.size();
        if (End > At) {
            double Value = 0;
            if (!ParsePropertyNumber(Text.substr(At, End - At), Value))
                return {};
            Result.push_back(Value);
        }
        At = End + 1;
    }
    return Result;
}

// A gain through points at timeline times, straight between them, the
// first and last values beyond them. Two points at one time make a jump.
class TGainLine {
public:
    void Add(double Time, double Gain) { FPoints.push_back({Time, Gain}); }

    double At(double Time) const {
        auto Next = std::upper_bound(FPoints.begin(), FPoints.end(), Time,
                                     [](double T, const TPoint& P) { return T < P.Time; });
        if (Next == FPoints.begin())
            return FPoints.front().Gain;
        if (Next == FPoints.end())
            return FPoints.back().Gain;
        const TPoint& Before = *(Next - 1);
        return Before.Gain +
               (Next->Gain - Before.Gain) * (Time - Before.Time) / (Next->Time - Before.Time);
    }

private:
    struct TPoint {
        double Time;
        double Gain;
    };
    std::vector<TPoint> FPoints;
};

// Reads the text forms of several numbers; nothing for a plain number.
std::optional<TGainLine> GainLineOf(const TPropertySetter& Properties, std::string_view Name) {
    const auto* Keys = Properties.Keys(Name);
    if (!Keys || Keys->empty())
        return std::nullopt;
    std::vector<double> N = Numbers(Keys->front().Value);
    TGainLine Line;
    if (N.size() == 4) {
        double T1 = N[0], T2 = std::max(N[1], N[0]);
        Line.Add(T1, N[2]);
        Line.Add(T2, N[3]);
        return Line;
    }
    if (N.size() == 6) {
        // The fade points are kept inside the clip and in order, so a text
        // whose transitions overlap still rises before it falls.
        double Start = N[5], Stop = std::max(N[4], Start);
        double In = std::clamp(N[0], Start, Stop), Out = std::clamp(N[1], In, Stop);
        Line.Add(Start, 0);
        Line.Add(In, N[2]);
        Line.Add(Out, N[3]);
        Line.Add(Stop, 0);
        return Line;
    }
    return std::nullopt;
}

class TClipVolumeEffect : public TAudioEffectComponent {
public:
    explicit TClipVolumeEffect(const TPropertySetter& Properties)
        : FVolumeLine(GainLineOf(Properties, "Vol")), FVolume(Properties, "Vol", 1),
          FEnvelope(GainLineOf(Properties, "multivol")),
          FConstantEnvelope(Properties, "multivol", 1) {}

    void Apply(TVideoTime BlockStart, TVideoTime EffectStart, TVideoTime EffectStop,
               const TMediaAudioFormat& Format, float* Samples, int32_t Frames) override {
        const int32_t Rate = Format.SamplesPerSecond;
        int64_t First = TimeToSample(BlockStart, Rate);
        int64_t From = std::max<int64_t>(TimeToSample(EffectStart, Rate) - First, 0);
        int64_t To = std::min<int64_t>(TimeToSample(EffectStop, Rate) - First, Frames);
        for (int64_t I = From; I < To; ++I) {
            TVideoTime Time = SampleToTime(First + I, Rate);
            auto Gain = static_cast<float>(std::max(GainAt(Time, EffectStart), 0.0));
            float* Frame = Samples + I * Format.Channels;
            for (int32_t C = 0; C < Format.Channels; ++C)
                Frame[C] *= Gain;
        }
    }

private:
    double GainAt(TVideoTime Time, TVideoTime EffectStart) const {
        double Volume =
            FVolumeLine ? FVolumeLine->At(double(Time)) : FVolume.At(Time - EffectStart);
        double Envelope =
            FEnvelope ? FEnvelope->At(double(Time)) : FConstantEnvelope.At(Time - EffectStart);
        return Volume * Envelope;
    }

    std::optional<TGainLine> FVolumeLine;
    TNumericKeys FVolume;
    std::optional<TGainLine> FEnvelope;
    TNumericKeys FConstantEnvelope;
};

} // namespace

void RegisterClipVolumeEffect(TMediaComponents& Registry) {
    Registry.RegisterAudioEffect(TransformClassIds::ClipVolume(),
                                 [](const TPropertySetter& Properties) {
                                     return std::make_unique<TClipVolumeEffect>(Properties);
                                 });
}
