#include "editors/header_icons.h"

#include "canvas/pixels.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <array>
#include <cmath>

THeaderIcon HeaderIconOf(TTrackKind Track, TSubTrackKind SubTrack) {
    if (SubTrack == TSubTrackKind::Effect)
        return THeaderIcon::Effect;
    switch (Track) {
    case TTrackKind::Any:
    case TTrackKind::Video:
        return SubTrack == TSubTrackKind::Audio   ? THeaderIcon::Audio
               : SubTrack == TSubTrackKind::Video ? THeaderIcon::Video
                                                  : THeaderIcon::None;
    case TTrackKind::Sound:
        return SubTrack == TSubTrackKind::Audio ? THeaderIcon::SoundAudio : THeaderIcon::None;
    case TTrackKind::Music:
        return SubTrack == TSubTrackKind::Audio ? THeaderIcon::MusicAudio : THeaderIcon::None;
    case TTrackKind::Overlay:
        return SubTrack == TSubTrackKind::Video ? THeaderIcon::VideoOverlay : THeaderIcon::None;
    case TTrackKind::Effects:
        return THeaderIcon::None;
    }
    return THeaderIcon::None;
}

namespace {

// Points of a 16-unit design grid scaled into the icon's square.
struct TGrid {
    int32_t Left, Top, Size;
    int32_t X(int32_t U) const { return Left + U * Size / 16; }
    int32_t Y(int32_t U) const { return Top + U * Size / 16; }
    TPoint P(int32_t UX, int32_t UY) const { return {X(UX), Y(UY)}; }
    TRect R(int32_t L, int32_t T, int32_t Rt, int32_t B) const { return {X(L), Y(T), std::max(X(L) + 1, X(Rt)), std::max(Y(T) + 1, Y(B))}; }
};

void Speaker(TPixels& Pixels, const TGrid& G, TColor Ink) {
    const std::array<TPoint, 6> Cone{G.P(1, 6), G.P(4, 6), G.P(8, 2), G.P(8, 14), G.P(4, 10), G.P(1, 10)};
    Pixels.FillPolygon(Cone.data(), int32_t(Cone.size()), TSmooth::Yes, Ink);
}

void Waves(TPixels& Pixels, const TGrid& G, TColor Ink) {
    Pixels.Line(G.X(10), G.Y(6), G.X(11), G.Y(8), TSmooth::Yes, Ink);
    Pixels.Line(G.X(11), G.Y(8), G.X(10), G.Y(10), TSmooth::Yes, Ink);
    Pixels.Line(G.X(12), G.Y(4), G.X(14), G.Y(8), TSmooth::Yes, Ink);
    Pixels.Line(G.X(14), G.Y(8), G.X(12), G.Y(12), TSmooth::Yes, Ink);
}

void FilmStrip(TPixels& Pixels, const TGrid& G, TColor Ink) {
    Pixels.FillRect(G.R(1, 3, 15, 13), Ink);
    // The sprocket holes along both edges and the frame in the middle.
    const TColor Hole = AlphaColor(SkinColors().FaceColor, 255);
    for (int32_t U = 2; U < 14; U += 3) {
        Pixels.FillRect(G.R(U, 4, U + 2, 5), Hole);
        Pixels.FillRect(G.R(U, 11, U + 2, 12), Hole);
    }
    Pixels.FillRect(G.R(3, 6, 13, 10), Hole);
}

void Note(TPixels& Pixels, const TGrid& G, TColor Ink) {
    Pixels.FillRect(G.R(9, 2, 10, 12), Ink);
    const std::array<TPoint, 4> Flag{G.P(10, 2), G.P(14, 4), G.P(14, 6), G.P(10, 4)};
    Pixels.FillPolygon(Flag.data(), int32_t(Flag.size()), TSmooth::Yes, Ink);
    const std::array<TPoint, 6> Head{G.P(5, 11), G.P(7, 10), G.P(10, 11), G.P(10, 13), G.P(8, 14), G.P(5, 13)};
    Pixels.FillPolygon(Head.data(), int32_t(Head.size()), TSmooth::Yes, Ink);
}

void Overlay(TPixels& Pixels, const TGrid& G, TColor Ink) {
    Pixels.FrameRect(G.R(1, 2, 11, 10), Ink);
    Pixels.FillRect(G.R(5, 6, 15, 14), Ink);
}

void Star(TPixels& Pixels, const TGrid& G, TColor Ink) {
    std::array<TPoint, 10> Points;
    for (size_t I = 0; I < Points.size(); ++I) {
        const double Angle = -M_PI / 2 + double(I) * M_PI / 5;
        const double Radius = (I % 2 == 0 ? 7.5 : 3.2) * G.Size / 16.0;
        Points[I] = {G.Left + int32_t(std::lround(G.Size / 2.0 + Radius * std::cos(Angle))),
                     G.Top + int32_t(std::lround(G.Size / 2.0 + 0.5 + Radius * std::sin(Angle)))};
    }
    Pixels.FillPolygon(Points.data(), int32_t(Points.size()), TSmooth::Yes, Ink);
}

} // namespace

void DrawHeaderIcon(TPixels& Pixels, THeaderIcon Icon, const TRect& Box, TColor Ink) {
    const int32_t Size = std::min(Box.Width(), Box.Height());
    if (Size < 6 || Icon == THeaderIcon::None)
        return;
    const TGrid G{Box.Left + (Box.Width() - Size) / 2, Box.Top + (Box.Height() - Size) / 2, Size};
    switch (Icon) {
    case THeaderIcon::Audio:
        Speaker(Pixels, G, Ink);
        Waves(Pixels, G, Ink);
        break;
    case THeaderIcon::SoundAudio:
        Speaker(Pixels, G, Ink);
        // A microphone head instead of waves: voices and sounds.
        Pixels.FillRect(G.R(11, 3, 14, 9), Ink);
        Pixels.FillRect(G.R(12, 9, 13, 13), Ink);
        break;
    case THeaderIcon::Video:
        FilmStrip(Pixels, G, Ink);
        break;
    case THeaderIcon::MusicAudio:
        Note(Pixels, G, Ink);
        break;
    case THeaderIcon::VideoOverlay:
        Overlay(Pixels, G, Ink);
        break;
    case THeaderIcon::Effect:
        Star(Pixels, G, Ink);
        break;
    case THeaderIcon::None:
        break;
    }
}
