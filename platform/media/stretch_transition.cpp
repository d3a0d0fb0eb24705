// The stretch: pictures are squeezed and stretched sideways. "stretchStyle"
// says how:
//   spin  B grows from a line down the middle to the full width over A, like
//         a card turning to face the viewer;
//   hide  A is squeezed towards the left edge and uncovers B;
//   push  B grows in from the right edge and squeezes A towards the left.
// The picture on top covers the one beneath, as layers do without keying.

#include "core/text.h"
#include "platform/media/media_components.h"
#include "platform/graphics/pixel_blend.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"
#include "platform/media/transition_progress.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

enum class TStretchStyle { Spin, Hide, Push };

std::optional<TStretchStyle> ParseStretchStyle(std::string_view Text) {
    if (SameTextAscii(Text, "spin"))
        return TStretchStyle::Spin;
    if (SameTextAscii(Text, "hide"))
        return TStretchStyle::Hide;
    if (SameTextAscii(Text, "push"))
        return TStretchStyle::Push;
    return std::nullopt;
}

// Where each column of a squeezed row reads the full row: two neighbouring
// source pixels and the weight of the right one (0..256).
struct TTap {
    int32_t Index;
    uint32_t Weight;
};

void MakeTaps(int32_t SourceWidth, int32_t Width, std::vector<TTap>& Taps) {
    Taps.resize(size_t(std::max(Width, 0)));
    double Scale = Width > 0 ? double(SourceWidth) / Width : 0;
    for (int32_t X = 0; X < Width; ++X) {
        double From = std::clamp((X + 0.5) * Scale - 0.5, 0.0, double(SourceWidth - 1));
        auto Index = std::min(static_cast<int32_t>(From), SourceWidth - 2);
        if (Index < 0) {
            Taps[size_t(X)] = {0, 0};
            continue;
        }
        auto Weight = static_cast<uint32_t>(std::lround((From - Index) * 256));
        Taps[size_t(X)] = {Index, Weight};
    }
}

// Writes Source squeezed to Taps.size() columns at Out.
void SqueezeRow(const uint8_t* Source, int32_t SourceWidth, const std::vector<TTap>& Taps,
                uint8_t* Out) {
    if (int32_t(Taps.size()) == SourceWidth) {
        std::memcpy(Out, Source, size_t(SourceWidth) * 4);
        return;
    }
    if (SourceWidth == 1) {
        for (size_t X = 0; X < Taps.size(); ++X)
            CopyPixel(Source, Out + X * 4);
        return;
    }
    for (size_t X = 0; X < Taps.size(); ++X) {
        const uint8_t* P = Source + size_t(Taps[X].Index) * 4;
        BlendPixel(P, P + 4, Taps[X].Weight, Out + X * 4);
    }
}

class TStretchTransition : public TVideoTransitionComponent {
public:
    explicit TStretchTransition(const TPropertySetter& Properties)
        : FProgress(Properties),
          FStyle(Properties, "stretchStyle", TStretchStyle::Spin, ParseStretchStyle) {}

    void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        assert(A.Width() == B.Width() && A.Height() == B.Height() && "frame sizes differ");
        if (Output.Width() != A.Width() || Output.Height() != A.Height())
            Output.Resize(A.Width(), A.Height());
        double Progress = std::clamp(FProgress.At(When), 0.0, 1.0);
        const int32_t W = A.Width();
        auto Grown = static_cast<int32_t>(std::lround(Progress * W)); // B's width
        switch (FStyle.At(When.Relative())) {
        case TStretchStyle::Spin: {
            int32_t Left = (W - Grown) / 2;
            MakeTaps(W, Grown, FTaps);
            for (int32_t Y = 0; Y < A.Height(); ++Y) {
                uint8_t* O = Output.Row(Y);
                std::memcpy(O, A.Row(Y), size_t(W) * 4);
                SqueezeRow(B.Row(Y), W, FTaps, O + size_t(Left) * 4);
            }
            break;
        }
        case TStretchStyle::Hide:
            MakeTaps(W, W - Grown, FTaps);
            for (int32_t Y = 0; Y < A.Height(); ++Y) {
                uint8_t* O = Output.Row(Y);
                SqueezeRow(A.Row(Y), W, FTaps, O);
                std::memcpy(O + size_t(W - Grown) * 4, B.Row(Y) + size_t(W - Grown) * 4,
                            size_t(Grown) * 4);
            }
            break;
        case TStretchStyle::Push:
            MakeTaps(W, W - Grown, FTaps);
            MakeTaps(W, Grown, FOtherTaps);
            for (int32_t Y = 0; Y < A.Height(); ++Y) {
                uint8_t* O = Output.Row(Y);
                SqueezeRow(A.Row(Y), W, FTaps, O);
                SqueezeRow(B.Row(Y), W, FOtherTaps, O + size_t(W - Grown) * 4);
            }
            break;
        }
    }

private:
    TTransitionProgress FProgress;
    TSteppedKeys<TStretchStyle> FStyle;
    std::vector<TTap> FTaps, FOtherTaps;
};

} // namespace

void RegisterStretchTransition(TMediaComponents& Registry) {
    Registry.RegisterTransition(TransformClassIds::Stretch(),
                                [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                    return std::make_unique<TStretchTransition>(Properties);
                                });
}
