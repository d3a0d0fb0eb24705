#include "playback/transport_glyphs.h"

#include <algorithm>
#include <exception>

std::string_view TransportGlyphName(TPlayerTransport::TButton Which) {
    using TButton = TPlayerTransport::TButton;
    switch (Which) {
    case TButton::Play: return "Play";
    case TButton::Pause: return "Pause";
    case TButton::Stop: return "Stop";
    case TButton::Replay: return "Replay";
    case TButton::StepBack: return "StepBack";
    case TButton::StepForward: return "StepForward";
    }
    return "";
}

std::string TransportGlyphFile(TPlayerTransport::TButton Which) {
    return "Transport/" + std::string(TransportGlyphName(Which)) + ".png";
}

TPixels DrawTransportGlyph(TPlayerTransport::TButton Which, int32_t Size) {
    using TButton = TPlayerTransport::TButton;
    TPixels Pixels(Size, Size);
    Pixels.Clear();
    const TColor Ink = AlphaColor(0xFFFFFF, 255);
    const int32_t X = 0, Y = 0;
    const int32_t Bar = std::max(1, Size / 6);
    auto Triangle = [&](int32_t Left, int32_t Width, bool Right) {
        TPoint Points[3] = {{Right ? Left : Left + Width, Y},
                            {Right ? Left + Width : Left, Y + Size / 2},
                            {Right ? Left : Left + Width, Y + Size}};
        Pixels.FillPolygon(Points, 3, TSmooth::Yes, Ink);
    };
    switch (Which) {
    case TButton::Play: Triangle(X, Size, true); break;
    case TButton::Pause:
        Pixels.FillRect(TRect::FromSize(X, Y, Size / 3, Size), Ink);
        Pixels.FillRect(TRect::FromSize(X + Size - Size / 3, Y, Size / 3, Size), Ink);
        break;
    case TButton::Stop: Pixels.FillRect(TRect::FromSize(X, Y, Size, Size), Ink); break;
    case TButton::Replay:
        // Back to the start: a bar with a triangle pointing at it.
        Pixels.FillRect(TRect::FromSize(X, Y, Bar, Size), Ink);
        Triangle(X + Size / 4, Size - Size / 4, false);
        break;
    case TButton::StepBack:
        Triangle(X, Size - Size / 4, false);
        Pixels.FillRect(TRect::FromSize(X + Size - Bar, Y, Bar, Size), Ink);
        break;
    case TButton::StepForward:
        Pixels.FillRect(TRect::FromSize(X, Y, Bar, Size), Ink);
        Triangle(X + Size / 4, Size - Size / 4, true);
        break;
    }
    return Pixels;
}

// --- TTransportGlyphs::TGlyphSkin

TTransportGlyphs::TGlyphSkin::TGlyphSkin(TButton Which) : FWhich(Which) {
    SetFileName(TransportGlyphFile(Which));
}

const TPixels& TTransportGlyphs::TGlyphSkin::Art() {
    // A picture that cannot be decoded leaves the drawn form: a button must
    // paint whatever the images folder holds.
    try {
        EnsureLoaded();
    } catch (const std::exception&) {
        FLoaded.reset();
    }
    if (FLoaded)
        return *FLoaded;
    if (!FDrawn)
        FDrawn = std::make_unique<TPixels>(DrawTransportGlyph(FWhich, ArtSize));
    return *FDrawn;
}

bool TTransportGlyphs::TGlyphSkin::FromFile() {
    Art();
    return FLoaded != nullptr;
}

void TTransportGlyphs::TGlyphSkin::Unload() {
    FLoaded.reset();
}

void TTransportGlyphs::TGlyphSkin::PictureLoaded(const TPixels* Picture) {
    // Artwork of another size is not the transport's: the drawn form stands in.
    if (Picture && Picture->Width() == ArtSize && Picture->Height() == ArtSize)
        FLoaded = std::make_unique<TPixels>(*Picture);
}

// --- TTransportGlyphs

TTransportGlyphs::TTransportGlyphs() {
    for (int32_t I = 0; I < TPlayerTransport::ButtonCount; ++I)
        FSkins[size_t(I)] = std::make_unique<TGlyphSkin>(TButton(I));
}

const TPixels& TTransportGlyphs::Art(TButton Which) {
    return FSkins[size_t(Which)]->Art();
}

bool TTransportGlyphs::IsLoaded(TButton Which) {
    return FSkins[size_t(Which)]->FromFile();
}

TPixels TTransportGlyphs::Glyph(TButton Which, int32_t Size) {
    TPixels Result(Size, Size);
    Result.Clear();
    Result.StretchFrom(Result.Bounds(), Art(Which), TSmooth::Yes);
    return Result;
}

TTransportGlyphs& TransportGlyphs() {
    static TTransportGlyphs Instance;
    return Instance;
}
