// The slide: pictures move sideways, leaving to the left and entering from
// the right. "slideStyle" says how:
//   hide  A slides out and uncovers B, which stays put;
//   push  B slides in and pushes A out;
//   swap  A slides left while B slides right beneath it; half-way B comes
//         to the top and both slide back into place.
// The picture on top covers the one beneath, as layers do without keying.

#include "core/text.h"
#include "platform/media/media_components.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"
#include "platform/media/transition_progress.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace {

enum class TSlideStyle { Hide, Push, Swap };

std::optional<TSlideStyle> ParseSlideStyle(std::string_view Text) {
    if (SameTextAscii(Text, "hide"))
        return TSlideStyle::Hide;
    if (SameTextAscii(Text, "push"))
        return TSlideStyle::Push;
    if (SameTextAscii(Text, "swap"))
        return TSlideStyle::Swap;
    return std::nullopt;
}

// An output row: Left from column LeftFrom over [0, Split), then Right from
// column RightFrom over [Split, Width).
void JoinRows(const uint8_t* Left, int32_t LeftFrom, const uint8_t* Right, int32_t RightFrom,
              int32_t Split, int32_t Width, uint8_t* Out) {
    std::memcpy(Out, Left + size_t(LeftFrom) * 4, size_t(Split) * 4);
    std::memcpy(Out + size_t(Split) * 4, Right + size_t(RightFrom) * 4, size_t(Width - Split) * 4);
}

void Slide(TSlideStyle Style, double Progress, const TVideoFrame& A, const TVideoFrame& B,
           TVideoFrame& Output) {
    const int32_t W = A.Width();
    auto Moved = static_cast<int32_t>(std::lround(Progress * W));
    // For the swap: apart by up to half the width each, back together at the end.
    auto Apart = std::min(
        static_cast<int32_t>(std::lround(W / 2.0 * (1 - std::fabs(2 * Progress - 1)))), W / 2);
    for (int32_t Y = 0; Y < A.Height(); ++Y) {
        const uint8_t* RA = A.Row(Y);
        const uint8_t* RB = B.Row(Y);
        uint8_t* O = Output.Row(Y);
        switch (Style) {
        case TSlideStyle::Hide:
            JoinRows(RA, Moved, RB, W - Moved, W - Moved, W, O);
            break;
        case TSlideStyle::Push:
            JoinRows(RA, Moved, RB, 0, W - Moved, W, O);
            break;
        case TSlideStyle::Swap:
            if (Progress < 0.5) // A on top, its right edge at W - Apart
                JoinRows(RA, Apart, RB, W - 2 * Apart, W - Apart, W, O);
            else // B on top, its left edge at Apart
                JoinRows(RA, Apart, RB, 0, Apart, W, O);
            break;
        }
    }
}

class TSlideTransition : public TVideoTransitionComponent {
public:
    explicit TSlideTransition(const TPropertySetter& Properties)
        : FProgress(Properties),
          FStyle(Properties, "slideStyle", TSlideStyle::Hide, ParseSlideStyle) {}

    void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        assert(A.Width() == B.Width() && A.Height() == B.Height() && "frame sizes differ");
        if (Output.Width() != A.Width() || Output.Height() != A.Height())
            Output.Resize(A.Width(), A.Height());
        Slide(FStyle.At(When.Relative()), std::clamp(FProgress.At(When), 0.0, 1.0), A, B, Output);
    }

private:
    TTransitionProgress FProgress;
    TSteppedKeys<TSlideStyle> FStyle;
};

} // namespace

void RegisterSlideTransition(TMediaComponents& Registry) {
    Registry.RegisterTransition(TransformClassIds::Slide(),
                                [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                    return std::make_unique<TSlideTransition>(Properties);
                                });
}
