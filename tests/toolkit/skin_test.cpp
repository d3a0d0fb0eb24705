#include "toolkit/skin/skin.h"

#include "canvas/canvas_error.h"
#include "tests/canvas/pixels_test_support.h"
#include "toolkit/skin/skin_colors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Skins read their pictures from a fresh images folder made per test; the
// global size is put back afterwards.
class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = std::filesystem::temp_directory_path() /
                 ("qm_skins_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Folder);
        Skins().SetImagesFolder(Folder.string());
        Skins().SetSize(TSkins::DefaultSize);
    }
    void TearDown() override {
        Skins().SetSize(TSkins::DefaultSize);
        std::filesystem::remove_all(Folder);
    }
    void Save(const TPixels& Picture, const std::string& Name) { Picture.SaveToFile((Folder / Name).string()); }

    std::filesystem::path Folder;
};

// Counts OnChange calls.
struct TChangeCounter {
    int32_t Count = 0;
    void Changed(TObject*) { ++Count; }
};

TPixels Filled(int32_t Width, int32_t Height, TPixel Value) {
    TPixels Pixels(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Put(Pixels, X, Y, Value);
    return Pixels;
}

TEST_F(SkinTest, AStripOfFourPicturesGivesFourRecolouredStatesAtTheSkinSize) {
    TPixels Strip(400, 100);
    const uint8_t Greys[4] = {192, 128, 255, 0};
    for (int32_t Y = 0; Y < 100; ++Y)
        for (int32_t X = 0; X < 400; ++X)
            Put(Strip, X, Y, Bgra(Greys[X / 100], Greys[X / 100], Greys[X / 100]));
    Save(Strip, "strip.png");
    Skins().SetSize(32);
    TToolSkin Skin(100, 100);
    Skin.SetFileName("strip.png");
    const auto& Ramp = SkinColors().ColorRamp;
    for (int32_t I = 0; I < TToolSkin::StateCount; ++I) {
        const TPixels* State = Skin.GetState(TToolSkinState(I));
        ASSERT_NE(State, nullptr);
        EXPECT_EQ(State->Width(), 32);
        EXPECT_EQ(State->Height(), 32);
        EXPECT_EQ(At(*State, 16, 16), ColorToPixel(Ramp[Greys[I]])) << I;
    }
}

TEST_F(SkinTest, OnePictureGivesStatesWhosePressedOneIsMovedByOnePixel) {
    TPixels Picture = Pattern(100, 100);
    Picture.SetAlpha(Picture.Bounds(), 255);
    Save(Picture, "one.png");
    Skins().SetSize(32);
    TToolSkin Skin(100, 100);
    Skin.SetFileName("one.png");
    const TPixels* Pressed = Skin.GetState(TToolSkinState::Pressed);
    ASSERT_NE(Pressed, nullptr);
    ASSERT_EQ(Pressed->Width(), 32);
    ASSERT_EQ(Pressed->Height(), 32);

    TPixels Base(32, 32);
    Base.Clear();
    Base.StretchFrom({0, 0, 31, 31}, Picture, TSmooth::Yes);
    for (int32_t Y = 0; Y < 32; ++Y)
        for (int32_t X = 0; X < 32; ++X) {
            TPixel Expected = X == 0 || Y == 0 ? At(*Pressed, X, Y) : At(Base, X - 1, Y - 1);
            ASSERT_EQ(At(*Pressed, X, Y), Expected) << X << "," << Y;
            if (X == 0 || Y == 0) {
                EXPECT_EQ(At(*Pressed, X, Y) >> 24, 0u);
            }
        }
    const TPixels* Normal = Skin.GetState(TToolSkinState::Normal);
    const TPixels* Disabled = Skin.GetState(TToolSkinState::Disabled);
    const TPixels* Hot = Skin.GetState(TToolSkinState::Hot);
    EXPECT_EQ(At(*Normal, 31, 5) >> 24, 0u);
    EXPECT_EQ(At(*Normal, 5, 31) >> 24, 0u);
    EXPECT_EQ(At(*Normal, 5, 5) >> 24, 255u);
    EXPECT_EQ(At(*Disabled, 5, 5) >> 24, 64u);
    // The hot state is the picture washed a little lighter.
    EXPECT_GE(At(*Hot, 5, 5) >> 16 & 255, At(Base, 5, 5) >> 16 & 255);
}

TEST_F(SkinTest, SkinsLoadOnFirstUseAndInvalidateDropsThePicture) {
    Save(Filled(4, 4, Bgra(10, 20, 30)), "back.bmp");
    TGlobalSkin Skin;
    TChangeCounter Counter;
    Skin.OnChange = MakeDelegate<&TChangeCounter::Changed>(&Counter);
    Skin.SetFileName((Folder / "back.bmp").string());
    EXPECT_EQ(Skin.FileName(), "back.bmp");
    EXPECT_FALSE(Skin.Loaded());
    EXPECT_EQ(Counter.Count, 1);
    const TPixels* Picture = Skin.GetPicture();
    ASSERT_NE(Picture, nullptr);
    EXPECT_EQ(At(*Picture, 1, 1), Bgra(10, 20, 30));
    EXPECT_TRUE(Skin.Loaded());
    EXPECT_EQ(Counter.Count, 2);
    Skin.GetPicture();
    EXPECT_EQ(Counter.Count, 2);
    Skins().ReloadAll();
    EXPECT_FALSE(Skin.Loaded());
    EXPECT_EQ(Counter.Count, 3);
    // A name differing only in case is the same file name.
    Skin.SetFileName("BACK.BMP");
    EXPECT_EQ(Counter.Count, 3);
}

TEST_F(SkinTest, AMissingFileOrUnknownExtensionGivesNoPicture) {
    TToolSkin Missing(100, 100);
    Missing.SetFileName("nowhere.png");
    EXPECT_EQ(Missing.GetState(TToolSkinState::Normal), nullptr);
    EXPECT_TRUE(Missing.Loaded());
    std::ofstream((Folder / "art.txt").string()) << "not a picture";
    TGlobalSkin Unknown;
    Unknown.SetFileName("art.txt");
    EXPECT_EQ(Unknown.GetPicture(), nullptr);
}

TEST_F(SkinTest, ADamagedPictureRaisesToTheCallerOfEnsureLoaded) {
    std::ofstream((Folder / "bad.png").string()) << "damaged";
    TGlobalSkin Skin;
    Skin.SetFileName("bad.png");
    EXPECT_THROW(Skin.GetPicture(), ECanvasError);
}

TEST_F(SkinTest, SetSizeClampsAndReloadsOnlyWhenTheSizeChanges) {
    TGlobalSkin Skin;
    Skin.EnsureLoaded();
    Skins().SetSize(5);
    EXPECT_EQ(Skins().Size(), 10);
    EXPECT_FALSE(Skin.Loaded());
    Skin.EnsureLoaded();
    Skins().SetSize(10);
    EXPECT_TRUE(Skin.Loaded());
    Skins().SetSize(500);
    EXPECT_EQ(Skins().Size(), 100);
    EXPECT_EQ(Skins().Scale(33), 33);
    Skins().SetSize(32);
    EXPECT_EQ(Skins().Scale(100), 32);
    EXPECT_EQ(Skins().Scale(7), 2);
}

TEST_F(SkinTest, EverySkinIsRegisteredWhileItLives) {
    size_t Before = Skins().Items().size();
    {
        TToolSkin A(10, 10), B(20, 20);
        EXPECT_EQ(Skins().Items().size(), Before + 2);
    }
    EXPECT_EQ(Skins().Items().size(), Before);
}

} // namespace
