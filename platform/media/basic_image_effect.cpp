// The basic image transform, in this order:
//   "Grayscale"  the picture in grey (Rec. 601 luma), alpha kept;
//   "Mirror"     left and right exchanged;
//   "Rotation"   quarter turns clockwise (2 turns the picture upside down).
//                A quarter or three quarters turn fits the turned picture
//                into the frame, keeping its proportions; the frame around
//                it is transparent.

#include "platform/media/media_components.h"
#include "platform/graphics/pixel_blend.h"
#include "platform/media/transform_components.h"
#include "platform/media/transform_values.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

void Grayscale(TVideoFrame& Frame) {
    uint8_t* P = Frame.Data();
    size_t Pixels = size_t(Frame.Width()) * size_t(Frame.Height());
    for (size_t I = 0; I < Pixels; ++I, P += 4)
        P[0] = P[1] = P[2] = uint8_t(PixelLuma(P));
}

void Mirror(TVideoFrame& Frame) {
    for (int32_t Y = 0; Y < Frame.Height(); ++Y) {
        auto* Row = reinterpret_cast<uint32_t*>(Frame.Row(Y));
        std::reverse(Row, Row + Frame.Width());
    }
}

void HalfTurn(TVideoFrame& Frame) {
    auto* Pixels = reinterpret_cast<uint32_t*>(Frame.Data());
    std::reverse(Pixels, Pixels + size_t(Frame.Width()) * size_t(Frame.Height()));
}

// Where one output line reads the source: the source line (or column) of
// each output position and the weight of the next one.
struct TSample {
    int32_t Index;
    uint32_t Weight; // 0..256
};

TSample SampleAt(double From, int32_t Size) {
    From = std::clamp(From, 0.0, double(Size - 1));
    auto Index = std::min(static_cast<int32_t>(From), std::max(Size - 2, 0));
    return {Index, static_cast<uint32_t>(std::lround((From - Index) * 256))};
}

class TBasicImageEffect : public TVideoEffectComponent {
public:
    explicit TBasicImageEffect(const TPropertySetter& Properties)
        : FMirror(BoolKeys(Properties, "Mirror", false)),
          FGrayscale(BoolKeys(Properties, "Grayscale", false)),
          FRotation(Properties, "Rotation", 0, ParsePropertyInteger) {}

    void Apply(const TComponentTime& When, TVideoFrame& Frame) override {
        TVideoTime Relative = When.Relative();
        if (FGrayscale.At(Relative))
            Grayscale(Frame);
        if (FMirror.At(Relative))
            Mirror(Frame);
        switch (((FRotation.At(Relative) % 4) + 4) % 4) {
        case 1:
            QuarterTurn(Frame, true);
            break;
        case 2:
            HalfTurn(Frame);
            break;
        case 3:
            QuarterTurn(Frame, false);
            break;
        default:
            break;
        }
    }

private:
    // Turns the picture by a quarter and fits it into the frame, sampling the
    // source between pixels.
    void QuarterTurn(TVideoFrame& Frame, bool Clockwise) {
        const int32_t W = Frame.Width(), H = Frame.Height();
        if (W == 0 || H == 0)
            return;
        FSource = Frame;
        Frame.Fill(0);
        // The turned picture is H wide and W high.
        double Scale = std::min(double(W) / H, double(H) / W);
        int32_t FitW = std::clamp(int32_t(std::lround(H * Scale)), 1, W);
        int32_t FitH = std::clamp(int32_t(std::lround(W * Scale)), 1, H);
        int32_t Left = (W - FitW) / 2, Top = (H - FitH) / 2;
        // Output column -> source row, output row -> source column.
        FColumns.resize(size_t(FitW));
        for (int32_t X = 0; X < FitW; ++X) {
            double Turned = (X + 0.5) * H / FitW - 0.5;
            FColumns[size_t(X)] = SampleAt(Clockwise ? H - 1 - Turned : Turned, H);
        }
        FRows.resize(size_t(FitH));
        for (int32_t Y = 0; Y < FitH; ++Y) {
            double Turned = (Y + 0.5) * W / FitH - 0.5;
            FRows[size_t(Y)] = SampleAt(Clockwise ? Turned : W - 1 - Turned, W);
        }
        const int32_t Stride = FSource.Stride();
        const int32_t NextX = W > 1 ? 4 : 0, NextY = H > 1 ? Stride : 0;
        for (int32_t Y = 0; Y < FitH; ++Y) {
            const TSample SX = FRows[size_t(Y)];
            uint8_t* O = Frame.Row(Top + Y) + size_t(Left) * 4;
            for (int32_t X = 0; X < FitW; ++X, O += 4) {
                const TSample SY = FColumns[size_t(X)];
                const uint8_t* P = FSource.Row(SY.Index) + size_t(SX.Index) * 4;
                uint8_t Upper[4], Lower[4];
                BlendPixel(P, P + NextX, SX.Weight, Upper);
                BlendPixel(P + NextY, P + NextY + NextX, SX.Weight, Lower);
                BlendPixel(Upper, Lower, SY.Weight, O);
            }
        }
    }

    TSteppedKeys<bool> FMirror;
    TSteppedKeys<bool> FGrayscale;
    TSteppedKeys<int32_t> FRotation;
    TVideoFrame FSource;
    std::vector<TSample> FColumns, FRows;
};

} // namespace

void RegisterBasicImageEffect(TMediaComponents& Registry) {
    Registry.RegisterVideoEffect(TransformClassIds::BasicImage(),
                                 [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                     return std::make_unique<TBasicImageEffect>(Properties);
                                 });
}
