#include "project/zoom_pan_rectangle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Crop sizes are whole pixels, rounded to the nearest with halves to even
// (the default rounding mode), and never empty.
double RoundHalfEven(double Value) {
    return std::nearbyint(Value);
}

double CropSide(double Value) {
    return std::max(1.0, RoundHalfEven(Value));
}

struct TCrop {
    double Width;
    double Height;
};

TCrop CropFor(const TZoomPanQuery& Query, double Zoom) {
    double Wp = Query.PictureWidth, Hp = Query.PictureHeight;
    double RW = Query.OutputWidth, RH = Query.OutputHeight;
    bool Narrower = int64_t(Query.PictureWidth) * Query.OutputHeight <
                    int64_t(Query.PictureHeight) * Query.OutputWidth;
    if (Narrower) {
        double G = Zoom * Hp;
        return {CropSide(RW * G / RH), CropSide(G)};
    }
    double G = Zoom * Wp;
    return {CropSide(G), CropSide(G * RH / RW)};
}

TZoomPanRect Place(const TZoomPanQuery& Query, TCrop Crop, const TZoomPanValue& Value) {
    double Left = RoundHalfEven((Query.PictureWidth - Crop.Width) * Value.MidX);
    double Top = RoundHalfEven((Query.PictureHeight - Crop.Height) * Value.MidY);
    return {Left, Top, Left + Crop.Width, Top + Crop.Height};
}

// The share of a zoom change done after A of the time, for zooms in the
// ratio C (below 1): the crop's size changes by the same factor in equal
// times. Ratios near 1 are linear anyway, and the formula loses precision.
double Ease(double A, double C) {
    C = std::max(C, 0.0);
    double Eased = C < 0.9375 ? (1 - std::pow(C, A)) / (1 - C) : A;
    return std::clamp(Eased, 0.0, 1.0);
}

double EasedProgress(double X, double Zoom0, double Zoom1) {
    if (Zoom0 > Zoom1)
        return Ease(X, Zoom1 / Zoom0);
    if (Zoom0 < Zoom1)
        return 1 - Ease(1 - X, Zoom0 / Zoom1);
    return X;
}

double Between(double From, double To, double X) {
    return From + (To - From) * X;
}

// Pulls a crop larger than the picture (Side0 at the begin, Side1 at the
// end, Picture the picture's side) towards the middle, the more the larger
// it is; Low and High are its edges along that side.
void CentreOversized(double Picture, double Side0, double Side1, double X, double& Low,
                     double& High) {
    double B;
    if (Picture < Side0 && Side1 < Side0)
        B = (1 - X) * (Side0 / Picture - 1) / 1.75;
    else if (Picture < Side1 && Side0 < Side1)
        B = X * (Side1 / Picture - 1) / 1.75;
    else
        return;
    B = std::min(B, 1.0);
    double D = B + B * (1 - B);
    double Size = High - Low;
    Low = (1 - D) * Low + D * (Picture - Size) / 2;
    High = Low + Size;
}

} // namespace

TZoomPanRect ZoomPanRectangle(const TZoomPanQuery& Query) {
    double Wp = Query.PictureWidth, Hp = Query.PictureHeight;
    if (int64_t(Query.PictureWidth) * Query.OutputHeight <= 0 ||
        int64_t(Query.PictureHeight) * Query.OutputWidth <= 0)
        return {0, 0, Wp, Hp};

    TCrop Crop0 = CropFor(Query, Query.Begin.Zoom);
    TCrop Crop1 = CropFor(Query, Query.End.Zoom);
    TZoomPanRect R0 = Place(Query, Crop0, Query.Begin);
    TZoomPanRect R1 = Place(Query, Crop1, Query.End);
    double X = EasedProgress(Query.Progress, Query.Begin.Zoom, Query.End.Zoom);

    TZoomPanRect Result{Between(R0.Left, R1.Left, X), Between(R0.Top, R1.Top, X),
                        Between(R0.Right, R1.Right, X), Between(R0.Bottom, R1.Bottom, X)};
    CentreOversized(Wp, Crop0.Width, Crop1.Width, X, Result.Left, Result.Right);
    CentreOversized(Hp, Crop0.Height, Crop1.Height, X, Result.Top, Result.Bottom);
    return Result;
}
