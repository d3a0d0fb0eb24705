#include "app/dialogs/artwork.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/text.h"
#include "core/text_table.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

uint8_t Mix(uint8_t From, uint8_t To, int32_t Step, int32_t Steps) {
    return uint8_t(From + (int32_t(To) - int32_t(From)) * Step / std::max(1, Steps));
}

// Top-to-bottom gradient over Rect.
void Gradient(TPixels& Pixels, const TRect& Rect, TColor Top, TColor Bottom) {
    int32_t Height = Rect.Height();
    for (int32_t Y = 0; Y < Height; ++Y) {
        TColor Color = MakeColor(Mix(ColorRed(Top), ColorRed(Bottom), Y, Height - 1),
                                 Mix(ColorGreen(Top), ColorGreen(Bottom), Y, Height - 1),
                                 Mix(ColorBlue(Top), ColorBlue(Bottom), Y, Height - 1));
        Pixels.FillRect(TRect{Rect.Left, Rect.Top + Y, Rect.Right, Rect.Top + Y + 1}, Color);
    }
}

// A rectangle with corners rounded by Radius, as a polygon.
std::vector<TPoint> RoundedRect(double Left, double Top, double Right, double Bottom, double Radius) {
    std::vector<TPoint> Points;
    constexpr int Steps = 8;
    const double Pi = 3.14159265358979323846;
    struct TCorner {
        double X, Y, Start;
    } Corners[] = {{Right - Radius, Top + Radius, -Pi / 2},
                   {Right - Radius, Bottom - Radius, 0},
                   {Left + Radius, Bottom - Radius, Pi / 2},
                   {Left + Radius, Top + Radius, Pi}};
    for (const TCorner& Corner : Corners)
        for (int Step = 0; Step <= Steps; ++Step) {
            double Angle = Corner.Start + (Pi / 2) * Step / Steps;
            Points.push_back({int32_t(std::lround(Corner.X + Radius * std::cos(Angle))),
                              int32_t(std::lround(Corner.Y + Radius * std::sin(Angle)))});
        }
    return Points;
}

void PaintIconAt(TPixels& Pixels, int32_t X0, int32_t Y0, int32_t Size) {
    double S = Size;
    auto At = [&](double X, double Y) { return TPoint{X0 + int32_t(std::lround(X * S)), Y0 + int32_t(std::lround(Y * S))}; };
    std::vector<TPoint> Tile = RoundedRect(X0 + 0.04 * S, Y0 + 0.04 * S, X0 + 0.96 * S, Y0 + 0.96 * S, 0.18 * S);
    Pixels.FillPolygon(Tile.data(), int32_t(Tile.size()), TSmooth::Yes, MakeColor(0x23, 0x3A, 0x5E));
    // The film strip across the lower half, with its sprocket holes.
    TPoint Strip[] = {At(0.04, 0.62), At(0.96, 0.62), At(0.96, 0.86), At(0.04, 0.86)};
    Pixels.FillPolygon(Strip, 4, TSmooth::Yes, MakeColor(0x12, 0x1C, 0x2C));
    if (Size >= 24)
        for (int Hole = 0; Hole < 5; ++Hole) {
            double Left = 0.12 + Hole * 0.16;
            TPoint Box[] = {At(Left, 0.70), At(Left + 0.08, 0.70), At(Left + 0.08, 0.78), At(Left, 0.78)};
            Pixels.FillPolygon(Box, 4, TSmooth::Yes, MakeColor(0xE8, 0xEC, 0xF2));
        }
    // The play triangle above it.
    TPoint Play[] = {At(0.36, 0.14), At(0.74, 0.36), At(0.36, 0.58)};
    Pixels.FillPolygon(Play, 3, TSmooth::Yes, MakeColor(0xF5, 0x9E, 0x2A));
}

} // namespace

void PaintProgramIcon(TPixels& Pixels) {
    Pixels.Clear();
    PaintIconAt(Pixels, 0, 0, std::min(Pixels.Width(), Pixels.Height()));
}

void PaintSplashPicture(TPixels& Pixels) {
    TRect All{0, 0, Pixels.Width(), Pixels.Height()};
    Gradient(Pixels, All, MakeColor(0x2B, 0x45, 0x6E), MakeColor(0x0F, 0x18, 0x28));
    PaintIconAt(Pixels, 28, 28, 96);
    TTextAttr Title;
    Title.Height = -36;
    Title.Bold = true;
    std::string Name = FormatMessageText(GetText(TTextSlot::ApplicationName), "");
    Pixels.DrawText(140, 50, TSmooth::Yes, MakeColor(0xFF, 0xFF, 0xFF), Title, Name);
    TTextAttr Line;
    Line.Height = -14;
    Pixels.DrawText(142, 100, TSmooth::Yes, MakeColor(0xC8, 0xD4, 0xE6), Line, GetText(TTextSlot::SplashSubtitle));
    Pixels.DrawText(28, Pixels.Height() - 36, TSmooth::Yes, MakeColor(0x9A, 0xAB, 0xC4), Line,
                    GetText(TTextSlot::SplashStarting));
    Pixels.FillRect(TRect{0, Pixels.Height() - 4, Pixels.Width(), Pixels.Height()}, MakeColor(0xF5, 0x9E, 0x2A));
}

void PaintAboutPicture(TPixels& Pixels) {
    TRect All{0, 0, Pixels.Width(), Pixels.Height()};
    Gradient(Pixels, All, MakeColor(0xF4, 0xF6, 0xFA), MakeColor(0xD6, 0xDE, 0xEA));
    PaintIconAt(Pixels, 24, 24, 72);
    TTextAttr Title;
    Title.Height = -30;
    Title.Bold = true;
    std::string Name = FormatMessageText(GetText(TTextSlot::ApplicationName), "");
    Pixels.DrawText(110, 40, TSmooth::Yes, MakeColor(0x23, 0x3A, 0x5E), Title, Name);
    Pixels.FillRect(TRect{24, 112, Pixels.Width() - 24, 114}, MakeColor(0xF5, 0x9E, 0x2A));
}
