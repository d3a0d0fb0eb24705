#pragma once

#include "playback/player_time.h"
#include "toolkit/skin/skin.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The symbols of the transport buttons as skin pictures: white artwork
// whose alpha is the symbol's coverage, ArtSize pixels square, made at build
// time into the images folder as "Transport/<Name>.png" and loaded from
// there; without a file the same artwork is drawn at run time. A button
// asks for its symbol at the size it needs and tints it with its ink.
//
//   TPixels Symbol = TransportGlyphs().Glyph(TPlayerTransport::TButton::Play, 12);
class TTransportGlyphs {
public:
    static constexpr int32_t ArtSize = 64;
    using TButton = TPlayerTransport::TButton;

    TTransportGlyphs();

    // The artwork: the loaded picture when its file exists and is ArtSize
    // square, else the drawn one.
    const TPixels& Art(TButton Which);
    // Whether Art comes from a file.
    bool IsLoaded(TButton Which);
    // The artwork scaled to Size x Size.
    TPixels Glyph(TButton Which, int32_t Size);

private:
    class TGlyphSkin : public TFileSkin {
    public:
        explicit TGlyphSkin(TButton Which);
        const TPixels& Art();
        bool FromFile();

    protected:
        void Unload() override;
        void PictureLoaded(const TPixels* Picture) override;

    private:
        TButton FWhich;
        std::unique_ptr<TPixels> FLoaded;
        std::unique_ptr<TPixels> FDrawn;
    };
    std::array<std::unique_ptr<TGlyphSkin>, TPlayerTransport::ButtonCount> FSkins;
};

TTransportGlyphs& TransportGlyphs();

// "Play", "Pause", "Stop", "Replay", "StepBack", "StepForward".
std::string_view TransportGlyphName(TPlayerTransport::TButton Which);
// The picture's file name under the images folder.
std::string TransportGlyphFile(TPlayerTransport::TButton Which);
// The artwork drawn at Size x Size: white, its alpha the symbol's coverage,
// on a cleared raster.
TPixels DrawTransportGlyph(TPlayerTransport::TButton Which, int32_t Size);
