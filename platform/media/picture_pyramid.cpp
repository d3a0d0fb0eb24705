#include "platform/media/picture_pyramid.h"

#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t MaxLevels = 16;

// Where one frame column (or row) takes its colour from: its share of the
// picture and the two neighbours to mix in each of the two halvings used.
struct TAxisTap {
    float Cover = 0;
    int32_t A0 = 0, A1 = 0;
    float AWeight = 0; // of A1
    int32_t B0 = 0, B1 = 0;
    float BWeight = 0;
};

void SetTaps(double Centre, int32_t Size, int32_t& I0, int32_t& I1, float& Weight) {
    double Position = Centre - 0.5;
    double Floor = std::floor(Position);
    I0 = std::clamp(int32_t(Floor), 0, Size - 1);
    I1 = std::clamp(int32_t(Floor) + 1, 0, Size - 1);
    Weight = float(Position - Floor);
}

// Frame pixels From..To-1 along one axis, mapping DestFrom..DestTo onto
// SourceFrom..SourceTo of a picture Size pixels long.
std::vector<TAxisTap> AxisTaps(int32_t From, int32_t To, double DestFrom, double DestTo,
                               double SourceFrom, double SourceTo, int32_t Size, int32_t LevelA,
                               int32_t SizeA, int32_t LevelB, int32_t SizeB) {
    std::vector<TAxisTap> Taps(size_t(std::max(To - From, 0)));
    double Scale = (SourceTo - SourceFrom) / (DestTo - DestFrom);
    double Low = std::max(0.0, SourceFrom), High = std::min(double(Size), SourceTo);
    double DivA = std::ldexp(1.0, LevelA), DivB = std::ldexp(1.0, LevelB);
    for (int32_t I = From; I < To; ++I) {
        double PixelFrom = SourceFrom + (I - DestFrom) * Scale;
        double PixelTo = PixelFrom + Scale;
        double Lo = std::max(PixelFrom, Low), Hi = std::min(PixelTo, High);
        TAxisTap& Tap = Taps[size_t(I - From)];
        if (Hi <= Lo)
            continue;
        Tap.Cover = float((Hi - Lo) / (PixelTo - PixelFrom));
        double Centre = (Lo + Hi) / 2;
        SetTaps(Centre / DivA, SizeA, Tap.A0, Tap.A1, Tap.AWeight);
        SetTaps(Centre / DivB, SizeB, Tap.B0, Tap.B1, Tap.BWeight);
    }
    return Taps;
}

struct TSample {
    float B = 0, G = 0, R = 0, A = 0;
};

inline void AddBilinear(const uint8_t* Pixels, int32_t Width, int32_t X0, int32_t X1, float Wx,
                        int32_t Y0, int32_t Y1, float Wy, float Weight, TSample& Out) {
    const uint8_t* P00 = Pixels + (size_t(Y0) * size_t(Width) + size_t(X0)) * 4;
    const uint8_t* P01 = Pixels + (size_t(Y0) * size_t(Width) + size_t(X1)) * 4;
    const uint8_t* P10 = Pixels + (size_t(Y1) * size_t(Width) + size_t(X0)) * 4;
    const uint8_t* P11 = Pixels + (size_t(Y1) * size_t(Width) + size_t(X1)) * 4;
    float W00 = (1 - Wx) * (1 - Wy) * Weight, W01 = Wx * (1 - Wy) * Weight;
    float W10 = (1 - Wx) * Wy * Weight, W11 = Wx * Wy * Weight;
    Out.B += P00[0] * W00 + P01[0] * W01 + P10[0] * W10 + P11[0] * W11;
    Out.G += P00[1] * W00 + P01[1] * W01 + P10[1] * W10 + P11[1] * W11;
    Out.R += P00[2] * W00 + P01[2] * W01 + P10[2] * W10 + P11[2] * W11;
    Out.A += P00[3] * W00 + P01[3] * W01 + P10[3] * W10 + P11[3] * W11;
}

} // namespace

TPicturePyramid::TPicturePyramid(const TVideoFrame& Picture) {
    TLevel First;
    First.Width = std::max(Picture.Width(), 1);
    First.Height = std::max(Picture.Height(), 1);
    First.Pixels.assign(size_t(First.Width) * size_t(First.Height) * 4, 0);
    for (int32_t Y = 0; Y < Picture.Height(); ++Y) {
        const uint8_t* In = Picture.Row(Y);
        uint8_t* Out = First.Pixels.data() + size_t(Y) * size_t(First.Width) * 4;
        for (int32_t X = 0; X < Picture.Width(); ++X, In += 4, Out += 4) {
            uint32_t A = In[3];
            Out[0] = uint8_t((In[0] * A + 127) / 255);
            Out[1] = uint8_t((In[1] * A + 127) / 255);
            Out[2] = uint8_t((In[2] * A + 127) / 255);
            Out[3] = uint8_t(A);
        }
    }
    FLevels.push_back(std::move(First));
    while (FLevels.size() < MaxLevels && (FLevels.back().Width > 1 || FLevels.back().Height > 1)) {
        const TLevel& Above = FLevels.back();
        TLevel Next;
        Next.Width = (Above.Width + 1) / 2;
        Next.Height = (Above.Height + 1) / 2;
        Next.Pixels.resize(size_t(Next.Width) * size_t(Next.Height) * 4);
        for (int32_t Y = 0; Y < Next.Height; ++Y) {
            int32_t Y0 = Y * 2, Y1 = std::min(Y * 2 + 1, Above.Height - 1);
            for (int32_t X = 0; X < Next.Width; ++X) {
                int32_t X0 = X * 2, X1 = std::min(X * 2 + 1, Above.Width - 1);
                const uint8_t* Rows[2] = {
                    Above.Pixels.data() + size_t(Y0) * size_t(Above.Width) * 4,
                    Above.Pixels.data() + size_t(Y1) * size_t(Above.Width) * 4};
                uint8_t* Out =
                    Next.Pixels.data() + (size_t(Y) * size_t(Next.Width) + size_t(X)) * 4;
                for (int C = 0; C < 4; ++C)
                    Out[C] = uint8_t((Rows[0][X0 * 4 + C] + Rows[0][X1 * 4 + C] +
                                      Rows[1][X0 * 4 + C] + Rows[1][X1 * 4 + C] + 2) /
                                     4);
            }
        }
        FLevels.push_back(std::move(Next));
    }
}

size_t TPicturePyramid::Bytes() const {
    size_t Sum = 0;
    for (const auto& Level : FLevels)
        Sum += Level.Pixels.size();
    return Sum;
}

void TPicturePyramid::Draw(const TFloatRect& Source, const TFloatRect& Dest, TColor Background,
                           TVideoFrame& Frame) const {
    Frame.Fill(Background);
    DrawOver(Source, Dest, 1.0, Frame);
}

void TPicturePyramid::DrawOver(const TFloatRect& Source, const TFloatRect& Dest, double Opacity,
                               TVideoFrame& Frame) const {
    if (Frame.IsEmpty() || !(Source.Width() > 0) || !(Source.Height() > 0) || !(Dest.Width() > 0) ||
        !(Dest.Height() > 0) || !(Opacity > 0))
        return;
    // Only the frame pixels Dest touches are visited.
    int32_t FromX = std::clamp(int32_t(std::floor(std::max(Dest.Left, -1.0))), 0, Frame.Width());
    int32_t ToX = std::clamp(int32_t(std::ceil(std::min(Dest.Right, Frame.Width() + 1.0))), FromX,
                             Frame.Width());
    int32_t FromY = std::clamp(int32_t(std::floor(std::max(Dest.Top, -1.0))), 0, Frame.Height());
    int32_t ToY = std::clamp(int32_t(std::ceil(std::min(Dest.Bottom, Frame.Height() + 1.0))), FromY,
                             Frame.Height());
    if (FromX >= ToX || FromY >= ToY)
        return;
    // How many picture pixels one frame pixel spans picks the halvings.
    double Footprint = std::max(Source.Width() / Dest.Width(), Source.Height() / Dest.Height());
    double Level = Footprint > 1 ? std::log2(Footprint) : 0;
    auto Last = int32_t(FLevels.size() - 1);
    int32_t LevelA = std::min(int32_t(std::floor(Level)), Last);
    int32_t LevelB = std::min(LevelA + 1, Last);
    auto Mix = float(LevelA == LevelB ? 0.0 : Level - LevelA);
    const TLevel& A = FLevels[size_t(LevelA)];
    const TLevel& B = FLevels[size_t(LevelB)];

    std::vector<TAxisTap> Columns =
        AxisTaps(FromX, ToX, Dest.Left, Dest.Right, Source.Left, Source.Right, Width(), LevelA,
                 A.Width, LevelB, B.Width);
    std::vector<TAxisTap> Rows =
        AxisTaps(FromY, ToY, Dest.Top, Dest.Bottom, Source.Top, Source.Bottom, Height(), LevelA,
                 A.Height, LevelB, B.Height);
    auto Strength = float(std::min(Opacity, 1.0));
    for (int32_t Y = FromY; Y < ToY; ++Y) {
        const TAxisTap& Row = Rows[size_t(Y - FromY)];
        if (Row.Cover <= 0)
            continue;
        uint8_t* Out = Frame.Row(Y) + ptrdiff_t(FromX) * 4;
        for (int32_t X = FromX; X < ToX; ++X, Out += 4) {
            const TAxisTap& Column = Columns[size_t(X - FromX)];
            if (Column.Cover <= 0)
                continue;
            TSample S;
            AddBilinear(A.Pixels.data(), A.Width, Column.A0, Column.A1, Column.AWeight, Row.A0,
                        Row.A1, Row.AWeight, 1 - Mix, S);
            if (Mix > 0)
                AddBilinear(B.Pixels.data(), B.Width, Column.B0, Column.B1, Column.BWeight, Row.B0,
                            Row.B1, Row.BWeight, Mix, S);
            float Weight = Column.Cover * Row.Cover * Strength;
            float Alpha = std::min(S.A * Weight / 255.0f, 1.0f);
            if (Alpha <= 0)
                continue;
            // The picture (premultiplied) over the frame (straight alpha).
            float Below = float(Out[3]) / 255.0f * (1 - Alpha);
            float OutAlpha = Alpha + Below;
            auto Channel = [&](float Picture, uint8_t Back) {
                float Value = (Picture * Weight + float(Back) * Below) / OutAlpha;
                return uint8_t(std::clamp(std::lround(Value), 0L, 255L));
            };
            Out[0] = Channel(S.B, Out[0]);
            Out[1] = Channel(S.G, Out[1]);
            Out[2] = Channel(S.R, Out[2]);
            Out[3] = uint8_t(std::clamp(std::lround(OutAlpha * 255), 0L, 255L));
        }
    }
}
