#include "platform/media/yuv_matrix.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double One = 1 << 14;

struct TLumaWeights {
    double Red;
    double Blue;
};

// The same matrices, and the same reading of unspecified ones, as the
// converters of the compositing path use.
TLumaWeights WeightsOf(AVColorSpace Space) {
    switch (Space) {
    case AVCOL_SPC_BT709:
        return {0.2126, 0.0722};
    case AVCOL_SPC_FCC:
        return {0.30, 0.11};
    case AVCOL_SPC_SMPTE240M:
        return {0.212, 0.087};
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return {0.2627, 0.0593};
    default:
        return {0.299, 0.114};
    }
}

bool IsFull(int Format, AVColorRange Range) {
    return Range == AVCOL_RANGE_JPEG || Format == AV_PIX_FMT_YUVJ420P;
}

int32_t Fixed(double Value) {
    return int32_t(std::lround(Value * One));
}

uint8_t Clip(int32_t Value) {
    return uint8_t(std::clamp(Value, 0, 255));
}

} // namespace

bool IsPlanarYuv420(int Format) {
    return Format == AV_PIX_FMT_YUV420P || Format == AV_PIX_FMT_YUVJ420P;
}

TYuvMatrixChange YuvMatrixChange(int InFormat, AVColorSpace InSpace, AVColorRange InRange,
                                 AVColorSpace OutSpace, AVColorRange OutRange) {
    TLumaWeights In = WeightsOf(InSpace);
    TLumaWeights Out = WeightsOf(OutSpace);
    bool InFull = IsFull(InFormat, InRange);
    bool OutFull = IsFull(AV_PIX_FMT_YUV420P, OutRange);
    // Code values per unit of luma and of chroma (Pb, Pr in -0.5..0.5).
    double InLuma = InFull ? 255.0 : 219.0, InChroma = InFull ? 255.0 : 224.0;
    double OutLuma = OutFull ? 255.0 : 219.0, OutChroma = OutFull ? 255.0 : 224.0;
    double InBlack = InFull ? 0.0 : 16.0, OutBlack = OutFull ? 0.0 : 16.0;

    // Y Pb Pr of the input to R G B, then to Y Pb Pr of the output; the map
    // is linear, so it is read off from the images of the unit vectors.
    auto Through = [&](double Y, double Pb, double Pr, double Result[3]) {
        double Red = Y + 2.0 * (1.0 - In.Red) * Pr;
        double Blue = Y + 2.0 * (1.0 - In.Blue) * Pb;
        double Green = (Y - In.Red * Red - In.Blue * Blue) / (1.0 - In.Red - In.Blue);
        double Luma = Out.Red * Red + (1.0 - Out.Red - Out.Blue) * Green + Out.Blue * Blue;
        Result[0] = Luma;
        Result[1] = (Blue - Luma) / (2.0 * (1.0 - Out.Blue));
        Result[2] = (Red - Luma) / (2.0 * (1.0 - Out.Red));
    };
    double FromY[3], FromPb[3], FromPr[3];
    Through(1.0, 0.0, 0.0, FromY);
    Through(0.0, 1.0, 0.0, FromPb);
    Through(0.0, 0.0, 1.0, FromPr);

    // Greys stay grey, so chroma never depends on luma.
    TYuvMatrixChange Change;
    Change.LumaY = Fixed(FromY[0] * OutLuma / InLuma);
    Change.LumaU = Fixed(FromPb[0] * OutLuma / InChroma);
    Change.LumaV = Fixed(FromPr[0] * OutLuma / InChroma);
    Change.LumaOffset = Fixed(OutBlack - InBlack * FromY[0] * OutLuma / InLuma);
    Change.ChromaUU = Fixed(FromPb[1] * OutChroma / InChroma);
    Change.ChromaUV = Fixed(FromPr[1] * OutChroma / InChroma);
    Change.ChromaVU = Fixed(FromPb[2] * OutChroma / InChroma);
    Change.ChromaVV = Fixed(FromPr[2] * OutChroma / InChroma);
    Change.IsIdentity = Change.LumaY == Fixed(1.0) && Change.LumaU == 0 && Change.LumaV == 0 &&
                        Change.LumaOffset == 0 && Change.ChromaUU == Fixed(1.0) &&
                        Change.ChromaUV == 0 && Change.ChromaVU == 0 &&
                        Change.ChromaVV == Fixed(1.0);
    return Change;
}

void ChangeYuvMatrix(const AVFrame& In, const TYuvMatrixChange& Change, AVFrame& Out) {
    const int32_t Round = 1 << 13;
    int Width = In.width, Height = In.height;
    int ChromaWidth = (Width + 1) / 2, ChromaHeight = (Height + 1) / 2;
    for (int Y = 0; Y < Height; ++Y) {
        const uint8_t* LumaIn = In.data[0] + ptrdiff_t(Y) * In.linesize[0];
        const uint8_t* UIn = In.data[1] + ptrdiff_t(Y / 2) * In.linesize[1];
        const uint8_t* VIn = In.data[2] + ptrdiff_t(Y / 2) * In.linesize[2];
        uint8_t* LumaOut = Out.data[0] + ptrdiff_t(Y) * Out.linesize[0];
        for (int X = 0; X < Width; ++X) {
            int32_t U = UIn[X / 2] - 128, V = VIn[X / 2] - 128;
            int32_t Value = Change.LumaY * LumaIn[X] + Change.LumaU * U + Change.LumaV * V +
                            Change.LumaOffset + Round;
            LumaOut[X] = Clip(Value >> 14);
        }
    }
    for (int Y = 0; Y < ChromaHeight; ++Y) {
        const uint8_t* UIn = In.data[1] + ptrdiff_t(Y) * In.linesize[1];
        const uint8_t* VIn = In.data[2] + ptrdiff_t(Y) * In.linesize[2];
        uint8_t* UOut = Out.data[1] + ptrdiff_t(Y) * Out.linesize[1];
        uint8_t* VOut = Out.data[2] + ptrdiff_t(Y) * Out.linesize[2];
        for (int X = 0; X < ChromaWidth; ++X) {
            int32_t U = UIn[X] - 128, V = VIn[X] - 128;
            UOut[X] = Clip(128 + ((Change.ChromaUU * U + Change.ChromaUV * V + Round) >> 14));
            VOut[X] = Clip(128 + ((Change.ChromaVU * U + Change.ChromaVV * V + Round) >> 14));
        }
    }
}
