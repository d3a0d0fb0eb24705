#include "playback/transport_glyphs.h"

#include "test_media.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using TButton = TPlayerTransport::TButton;

const std::vector<TButton>& AllButtons() {
    static const std::vector<TButton> Buttons{TButton::Play,   TButton::Pause,    TButton::Stop,
                                              TButton::Replay, TButton::StepBack, TButton::StepForward};
    return Buttons;
}

// The number of pixels where A and B differ.
int32_t Differences(const TPixels& A, const TPixels& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return -1;
    int32_t Count = 0;
    for (int32_t Y = 0; Y < A.Height(); ++Y)
        for (int32_t X = 0; X < A.Width(); ++X)
            Count += A.GetPixel(X, Y) != B.GetPixel(X, Y);
    return Count;
}

uint8_t AlphaAt(const TPixels& Pixels, int32_t X, int32_t Y) {
    return uint8_t(Pixels.GetPixel(X, Y) >> 24);
}

// Points the skins at Folder for the test's time.
class ImagesFolder {
public:
    explicit ImagesFolder(const std::string& Folder) : FOld(Skins().ImagesFolder()) {
        Skins().SetImagesFolder(Folder);
        Skins().ReloadAll();
    }
    ~ImagesFolder() {
        Skins().SetImagesFolder(FOld);
        Skins().ReloadAll();
    }

private:
    std::string FOld;
};

} // namespace

TEST(TransportGlyphs, TheShippedPicturesAgreeWithTheDrawnSymbolsAtEverySize) {
    ImagesFolder Shipped(QM_SHIPPED_IMAGES);
    for (TButton Which : AllButtons()) {
        ASSERT_TRUE(TransportGlyphs().IsLoaded(Which)) << TransportGlyphName(Which);
        TPixels Drawn = DrawTransportGlyph(Which, TTransportGlyphs::ArtSize);
        EXPECT_EQ(Differences(TransportGlyphs().Art(Which), Drawn), 0) << TransportGlyphName(Which);
        for (int32_t Size : {8, 12, 23, 48}) {
            TPixels Scaled(Size, Size);
            Scaled.Clear();
            Scaled.StretchFrom(Scaled.Bounds(), Drawn, TSmooth::Yes);
            EXPECT_EQ(Differences(TransportGlyphs().Glyph(Which, Size), Scaled), 0)
                << TransportGlyphName(Which) << " at " << Size;
        }
    }
}

TEST(TransportGlyphs, WithoutAUsablePictureTheSymbolIsDrawn) {
    TTempFolder Folder;
    ImagesFolder Empty(Folder.Root());
    fs::create_directories(Folder.Path("Transport"));
    // A file that is no picture, and a picture of the wrong size.
    std::ofstream(Folder.Path(TransportGlyphFile(TButton::Play))) << "not a picture";
    TPixels Small(16, 16);
    Small.FillAll(AlphaColor(0xFFFFFF, 255));
    Small.SaveToFile(Folder.Path(TransportGlyphFile(TButton::Stop)));
    Skins().ReloadAll();
    for (TButton Which : AllButtons()) {
        EXPECT_FALSE(TransportGlyphs().IsLoaded(Which)) << TransportGlyphName(Which);
        EXPECT_EQ(Differences(TransportGlyphs().Art(Which), DrawTransportGlyph(Which, TTransportGlyphs::ArtSize)),
                  0)
            << TransportGlyphName(Which);
    }
}

TEST(TransportGlyphs, EachSymbolHasItsShape) {
    constexpr int32_t S = TTransportGlyphs::ArtSize;
    TPixels Play = DrawTransportGlyph(TButton::Play, S);
    EXPECT_EQ(AlphaAt(Play, 1, S / 2), 255) << "the base on the left";
    EXPECT_EQ(AlphaAt(Play, S - 2, 1), 0) << "the point on the right, nothing above it";
    TPixels Pause = DrawTransportGlyph(TButton::Pause, S);
    EXPECT_EQ(AlphaAt(Pause, 1, 1), 255);
    EXPECT_EQ(AlphaAt(Pause, S / 2, S / 2), 0) << "a gap between the bars";
    TPixels Stop = DrawTransportGlyph(TButton::Stop, S);
    EXPECT_EQ(AlphaAt(Stop, S / 2, S / 2), 255);
    EXPECT_EQ(AlphaAt(Stop, S - 1, S - 1), 255);
    TPixels Back = DrawTransportGlyph(TButton::StepBack, S);
    EXPECT_EQ(AlphaAt(Back, S - 1, 1), 255) << "the bar on the right";
    EXPECT_EQ(AlphaAt(Back, 0, 1), 0);
    // White artwork: only alpha carries the shape; no two symbols alike.
    for (TButton A : AllButtons()) {
        TPixels Art = DrawTransportGlyph(A, S);
        EXPECT_EQ(Art.GetPixel(S / 2, S / 2) & 0xFFFFFF, AlphaAt(Art, S / 2, S / 2) ? 0xFFFFFFu : 0u);
        for (TButton B : AllButtons()) {
            if (A != B) {
                EXPECT_GT(Differences(Art, DrawTransportGlyph(B, S)), 0)
                    << TransportGlyphName(A) << " " << TransportGlyphName(B);
            }
        }
    }
}
