// Pixelation: the picture shown as squares of its average colour, on a grid
// centred on the frame so that the part squares at opposite edges match.
// "MaxSquare" (pixels) is the largest square.
//   As a transition: the squares grow from single pixels to MaxSquare while
//   A shows, B takes over half-way, and its squares shrink back to pixels.
//   As an effect: the square is 1 + (MaxSquare - 1) x "Progress"; without a
//   "Progress" property the effect's own progress through its range is used.

#include "platform/media/media_components.h"
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

constexpr double DefaultMaxSquare = 50;
constexpr double LargestSquare = 256;

int32_t SquareSize(double MaxSquare, double Share) {
    double Max = std::clamp(MaxSquare, 1.0, LargestSquare);
    return static_cast<int32_t>(std::lround(1 + (Max - 1) * std::clamp(Share, 0.0, 1.0)));
}

// Sums of one square: colours weighted by alpha, the alpha and the pixels.
struct TSquareSum {
    uint64_t Colour[3];
    uint64_t Alpha;
    uint32_t Count;
};

// Output := Source in squares of Size pixels; Output may be Source.
void Pixelate(const TVideoFrame& Source, int32_t Size, TVideoFrame& Output,
              std::vector<TSquareSum>& Sums) {
    const int32_t W = Source.Width(), H = Source.Height();
    if (&Output != &Source && (Output.Width() != W || Output.Height() != H))
        Output.Resize(W, H);
    if (Size <= 1) {
        if (&Output != &Source)
            std::memcpy(Output.Data(), Source.Data(), size_t(Source.Stride()) * size_t(H));
        return;
    }
    // The first column and row of squares start before the frame by half
    // of what the grid sticks out.
    const int32_t Columns = (W + Size - 1) / Size, Rows = (H + Size - 1) / Size;
    const int32_t Left = -(Columns * Size - W) / 2, Top = -(Rows * Size - H) / 2;
    Sums.resize(size_t(Columns));
    for (int32_t Row = 0; Row < Rows; ++Row) {
        int32_t Y0 = std::max(Top + Row * Size, 0), Y1 = std::min(Top + (Row + 1) * Size, H);
        std::fill(Sums.begin(), Sums.end(), TSquareSum{});
        for (int32_t Y = Y0; Y < Y1; ++Y) {
            const uint8_t* P = Source.Row(Y);
            for (int32_t Column = 0; Column < Columns; ++Column) {
                int32_t X0 = std::max(Left + Column * Size, 0);
                int32_t X1 = std::min(Left + (Column + 1) * Size, W);
                TSquareSum& Sum = Sums[size_t(Column)];
                for (int32_t X = X0; X < X1; ++X) {
                    const uint8_t* Q = P + X * 4;
                    Sum.Colour[0] += uint64_t(Q[0]) * Q[3];
                    Sum.Colour[1] += uint64_t(Q[1]) * Q[3];
                    Sum.Colour[2] += uint64_t(Q[2]) * Q[3];
                    Sum.Alpha += Q[3];
                }
                Sum.Count += uint32_t(X1 - X0);
            }
        }
        for (int32_t Column = 0; Column < Columns; ++Column) {
            const TSquareSum& Sum = Sums[size_t(Column)];
            uint8_t Pixel[4] = {0, 0, 0, 0};
            if (Sum.Alpha > 0) {
                for (int C = 0; C < 3; ++C)
                    Pixel[C] = uint8_t((Sum.Colour[C] + Sum.Alpha / 2) / Sum.Alpha);
                Pixel[3] = uint8_t((Sum.Alpha + Sum.Count / 2) / Sum.Count);
            }
            int32_t X0 = std::max(Left + Column * Size, 0);
            int32_t X1 = std::min(Left + (Column + 1) * Size, W);
            for (int32_t Y = Y0; Y < Y1; ++Y) {
                uint8_t* O = Output.Row(Y);
                for (int32_t X = X0; X < X1; ++X)
                    std::memcpy(O + X * 4, Pixel, 4);
            }
        }
    }
}

class TPixelateTransition : public TVideoTransitionComponent {
public:
    explicit TPixelateTransition(const TPropertySetter& Properties)
        : FProgress(Properties), FMaxSquare(Properties, "MaxSquare", DefaultMaxSquare) {}

    void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        assert(A.Width() == B.Width() && A.Height() == B.Height() && "frame sizes differ");
        double Progress = std::clamp(FProgress.At(When), 0.0, 1.0);
        // Coarsest half-way, where B takes over.
        double Coarseness = 1 - std::fabs(2 * Progress - 1);
        Pixelate(Progress < 0.5 ? A : B, SquareSize(FMaxSquare.At(When.Relative()), Coarseness),
                 Output, FSums);
    }

private:
    TTransitionProgress FProgress;
    TNumericKeys FMaxSquare;
    std::vector<TSquareSum> FSums;
};

class TPixelateEffect : public TVideoEffectComponent {
public:
    explicit TPixelateEffect(const TPropertySetter& Properties)
        : FHasProgress(Properties.Has("Progress")), FProgress(Properties, "Progress", 1),
          FMaxSquare(Properties, "MaxSquare", DefaultMaxSquare) {}

    void Apply(const TComponentTime& When, TVideoFrame& Frame) override {
        TVideoTime Relative = When.Relative();
        double Share = FHasProgress ? FProgress.At(Relative) : When.Progress();
        Pixelate(Frame, SquareSize(FMaxSquare.At(Relative), Share), Frame, FSums);
    }

private:
    bool FHasProgress;
    TNumericKeys FProgress;
    TNumericKeys FMaxSquare;
    std::vector<TSquareSum> FSums;
};

} // namespace

void RegisterPixelate(TMediaComponents& Registry) {
    Registry.RegisterTransition(TransformClassIds::Pixelate(),
                                [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                    return std::make_unique<TPixelateTransition>(Properties);
                                });
    Registry.RegisterVideoEffect(TransformClassIds::Pixelate(),
                                 [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                     return std::make_unique<TPixelateEffect>(Properties);
                                 });
}
