#include "platform/media/picture_resize.h"

#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels that make one target pixel, with their weights.
struct TTaps {
    int32_t First = 0;
    std::vector<float> Weights;
};

std::vector<TTaps> MakeTaps(int32_t In, int32_t Out) {
    std::vector<TTaps> Result(size_t(std::max(Out, 0)));
    double Scale = double(Out) / double(In);
    for (int32_t O = 0; O < Out; ++O) {
        TTaps& Taps = Result[size_t(O)];
        if (Scale < 1) {
            // Reducing: each source pixel counts by how much of it the
            // target pixel covers.
            double From = O / Scale, To = (O + 1) / Scale;
            auto First = std::clamp(int32_t(std::floor(From)), 0, In - 1);
            auto Last = std::clamp(int32_t(std::ceil(To)) - 1, First, In - 1);
            Taps.First = First;
            Taps.Weights.resize(size_t(Last - First + 1));
            double Sum = 0;
            for (int32_t I = First; I <= Last; ++I) {
                double Weight = std::max(0.0, std::min(To, I + 1.0) - std::max(From, double(I)));
                Taps.Weights[size_t(I - First)] = float(Weight);
                Sum += Weight;
            }
            for (float& W : Taps.Weights)
                W = Sum > 0 ? float(W / Sum) : 0.0f;
            continue;
        }
        // Enlarging: between the two nearest source pixels.
        double Centre = (O + 0.5) / Scale - 0.5;
        double Floor = std::floor(Centre);
        auto I0 = std::clamp(int32_t(Floor), 0, In - 1);
        auto I1 = std::clamp(int32_t(Floor) + 1, 0, In - 1);
        auto Weight = float(Centre - Floor);
        Taps.First = std::min(I0, I1);
        if (I0 == I1) {
            Taps.Weights.assign(1, 1.0f);
        } else {
            Taps.Weights = {1 - Weight, Weight};
        }
    }
    return Result;
}

} // namespace

void ResizePictureInto(const TVideoFrame& From, TVideoFrame& Into, int32_t Left, int32_t Top,
                       int32_t Width, int32_t Height) {
    if (From.IsEmpty() || Width <= 0 || Height <= 0)
        return;
    std::vector<TTaps> Columns = MakeTaps(From.Width(), Width);
    std::vector<TTaps> Rows = MakeTaps(From.Height(), Height);
    std::vector<float> Mixed(size_t(From.Width()) * 4);
    for (int32_t Y = 0; Y < Height; ++Y) {
        int32_t OutY = Top + Y;
        if (OutY < 0 || OutY >= Into.Height())
            continue;
        // The source rows of this target row, mixed with alpha-weighted colour.
        std::fill(Mixed.begin(), Mixed.end(), 0.0f);
        const TTaps& RowTaps = Rows[size_t(Y)];
        for (size_t K = 0; K < RowTaps.Weights.size(); ++K) {
            float Weight = RowTaps.Weights[K];
            const uint8_t* In = From.Row(RowTaps.First + int32_t(K));
            for (int32_t X = 0; X < From.Width(); ++X, In += 4) {
                float Alpha = In[3] * Weight;
                float* M = &Mixed[size_t(X) * 4];
                M[0] += In[0] * Alpha;
                M[1] += In[1] * Alpha;
                M[2] += In[2] * Alpha;
                M[3] += Alpha;
            }
        }
        uint8_t* Out = Into.Row(OutY);
        for (int32_t X = 0; X < Width; ++X) {
            int32_t OutX = Left + X;
            if (OutX < 0 || OutX >= Into.Width())
                continue;
            const TTaps& ColumnTaps = Columns[size_t(X)];
            float Sum[4] = {0, 0, 0, 0};
            for (size_t K = 0; K < ColumnTaps.Weights.size(); ++K) {
                const float* M = &Mixed[size_t(ColumnTaps.First + int32_t(K)) * 4];
                float Weight = ColumnTaps.Weights[K];
                for (int C = 0; C < 4; ++C)
                    Sum[C] += M[C] * Weight;
            }
            uint8_t* P = Out + ptrdiff_t(OutX) * 4;
            if (Sum[3] < 0.5f) {
                P[0] = P[1] = P[2] = P[3] = 0;
                continue;
            }
            for (int C = 0; C < 3; ++C)
                P[C] = uint8_t(std::clamp(std::lround(Sum[C] / Sum[3]), 0L, 255L));
            P[3] = uint8_t(std::clamp(std::lround(Sum[3]), 0L, 255L));
        }
    }
}

TVideoFrame ResizePicture(const TVideoFrame& From, int32_t Width, int32_t Height) {
    TVideoFrame Result(Width, Height);
    ResizePictureInto(From, Result, 0, 0, Width, Height);
    return Result;
}
