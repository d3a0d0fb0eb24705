// The effects, transitions and titles catalogues: their shape after the
// render registry, and their pictures: found, rendered, cached.

#include "project/catalog_infos.h"

#include "core/file_io.h"
#include "platform/media/png_bytes.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/base_description.h"
#include "render/category_description.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CatalogInfosTest : public testing::Test {
protected:
    TCatalogFolders Folders() const { return {Data.Root(), Cache.Root()}; }
    bool CacheHas(TCatalogKind Kind, int32_t Id) const {
        return std::filesystem::exists(Cache.Path(CatalogPictureName(Kind, Id)));
    }

    TTempFolder Data;
    TTempFolder Cache;
};

template <class TInfos>
void ExpectShapeOfRegistry(const TInfos& Infos, const TCategoryDescriptions& Categories,
                           const TDescriptions& Descriptions) {
    ASSERT_EQ(int32_t(Infos.Categories().size()), Categories.Count());
    ASSERT_EQ(Infos.Count(), Descriptions.Count());
    for (int32_t P = 1; P <= Descriptions.Count(); ++P) {
        const TBaseDescription* Description = Descriptions.Description(P);
        auto* Info = Infos.Find(Description->Index());
        ASSERT_NE(Info, nullptr);
        EXPECT_EQ(Info->Name(), Description->DisplayName());
        ASSERT_NE(Info->Category(), nullptr);
        EXPECT_EQ(Info->Category()->Key, Categories.Category(Description->Category())->Key);
    }
    // Entries of a category keep description order.
    for (const auto& Category : Infos.Categories())
        for (size_t I = 1; I < Category->Entries.size(); ++I)
            EXPECT_NE(Category->Entries[I - 1], Category->Entries[I]);
    EXPECT_EQ(Infos.Find(-12345), nullptr);
}

TEST_F(CatalogInfosTest, CataloguesFollowTheRegistryCategoriesAndIds) {
    const TDescriptionRegistry& Registry = DescriptionRegistry();
    ExpectShapeOfRegistry(TEffectInfos(Folders()), Registry.EffectCategories(), Registry.Effects());
    ExpectShapeOfRegistry(TTransitionInfos(Folders()), Registry.TransitionCategories(),
                          Registry.Transitions());
    ExpectShapeOfRegistry(TTitlesInfo(Folders()), Registry.TitleCategories(), Registry.Titles());
}

TEST(CatalogPictureName, HasAtLeastThreeDigits) {
    EXPECT_EQ(CatalogPictureName(TCatalogKind::Titles, 7), "Stage/Titles/Thumbnails/007.png");
    EXPECT_EQ(CatalogPictureName(TCatalogKind::Effects, 42), "Stage/Effects/Thumbnails/042.png");
    EXPECT_EQ(CatalogPictureName(TCatalogKind::Transitions, 1234),
              "Stage/Transitions/Thumbnails/1234.png");
}

TEST_F(CatalogInfosTest, AVideoEffectsPictureIsRenderedOnceAndThenReadFromTheCache) {
    TEffectInfos Effects(Folders());
    TEffectInfo* Video = nullptr;
    for (int32_t I = 0; I < Effects.Count() && !Video; ++I)
        if (Effects.Entry(I)->IsVideoEffect())
            Video = Effects.Entry(I);
    ASSERT_NE(Video, nullptr);
    const TVideoFrame& Picture = Effects.GetPicture(*Video);
    EXPECT_EQ(Picture.Width(), 320);
    EXPECT_EQ(Picture.Height(), 240);
    EXPECT_EQ(Effects.RenderCount(), 1);
    EXPECT_TRUE(CacheHas(TCatalogKind::Effects, Video->Id()));
    EXPECT_FALSE(std::filesystem::exists(Data.Path(CatalogPictureName(TCatalogKind::Effects, Video->Id()))));
    // The data folder may be an installed, read-only one: the sample
    // picture the effect was drawn on went into the cache too.
    EXPECT_TRUE(std::filesystem::is_empty(Data.Root()));
    EXPECT_TRUE(std::filesystem::is_regular_file(Cache.Path("Stage/Effects/Preview Clip.bmp")));

    TEffectInfos Again(Folders());
    const TVideoFrame& Read = Again.GetPicture(*Again.Find(Video->Id()));
    EXPECT_EQ(Again.RenderCount(), 0);
    ASSERT_EQ(Read.Width(), 320);
    EXPECT_EQ(Read.Pixel(160, 120), Picture.Pixel(160, 120));
}

TEST_F(CatalogInfosTest, AShippedPictureOfAnotherSizeIsIgnoredAndRendered) {
    TTransitionInfos Transitions(Folders());
    TTransitionInfo* Drawn = nullptr;
    for (int32_t I = 0; I < Transitions.Count() && !Drawn; ++I)
        if (Transitions.Entry(I)->CanRenderPicture())
            Drawn = Transitions.Entry(I);
    ASSERT_NE(Drawn, nullptr);
    std::string Shipped = Data.Path(CatalogPictureName(TCatalogKind::Transitions, Drawn->Id()));
    std::filesystem::create_directories(std::filesystem::path(Shipped).parent_path());
    TVideoFrame Small(160, 120);
    Small.Fill(MakeColor(1, 2, 3));
    WriteFileAtomically(Shipped, EncodePng(Small));
    const TVideoFrame& Picture = Transitions.GetPicture(*Drawn);
    EXPECT_EQ(Transitions.RenderCount(), 1);
    EXPECT_EQ(Picture.Width(), 320);
    EXPECT_EQ(Picture.Height(), 240);
    EXPECT_NE(Picture.Pixel(160, 120), MakeColor(1, 2, 3));

    // One of the right size is used as it is.
    TVideoFrame Right(320, 240);
    Right.Fill(MakeColor(9, 8, 7));
    WriteFileAtomically(Shipped, EncodePng(Right));
    TTransitionInfos Again({Data.Root(), ""});
    EXPECT_EQ(Again.GetPicture(*Again.Find(Drawn->Id())).Pixel(10, 10), MakeColor(9, 8, 7));
    EXPECT_EQ(Again.RenderCount(), 0);
}

TEST_F(CatalogInfosTest, AnAudioEffectShowsItsNameInOrangeAndIsNotCached) {
    TEffectInfos Effects(Folders());
    TEffectInfo* Audio = nullptr;
    for (int32_t I = 0; I < Effects.Count() && !Audio; ++I)
        if (Effects.Entry(I)->IsAudioEffect())
            Audio = Effects.Entry(I);
    ASSERT_NE(Audio, nullptr);
    const TVideoFrame& Picture = Effects.GetPicture(*Audio);
    ASSERT_EQ(Picture.Width(), 320);
    int Orange = 0, Other = 0;
    for (int32_t Y = 0; Y < 240; ++Y)
        for (int32_t X = 0; X < 320; ++X) {
            TColor Pixel = Picture.Pixel(X, Y);
            if (ColorAlpha(Pixel) == 0)
                continue;
            if (ColorRed(Pixel) == 255 && ColorGreen(Pixel) == 64 && ColorBlue(Pixel) == 0)
                ++Orange;
            else if (ColorAlpha(Pixel) == 255)
                ++Other;
        }
    EXPECT_GT(Orange, 100);
    EXPECT_EQ(Other, 0);
    EXPECT_EQ(ColorAlpha(Picture.Pixel(0, 0)), 0);
    EXPECT_FALSE(CacheHas(TCatalogKind::Effects, Audio->Id()));
}

TEST_F(CatalogInfosTest, TitlePicturesShowBlackTextOnWhite) {
    TTitlesInfo Titles(Folders());
    ASSERT_GT(Titles.Count(), 0);
    for (int32_t I = 0; I < Titles.Count(); ++I) {
        TTitleInfo& Title = *Titles.Entry(I);
        const TVideoFrame& Picture = Titles.GetPicture(Title);
        ASSERT_EQ(Picture.Width(), 320) << Title.Name();
        ASSERT_EQ(Picture.Height(), 240);
        int Dark = 0;
        for (int32_t Y = 0; Y < 240; Y += 2)
            for (int32_t X = 0; X < 320; X += 2)
                Dark += ColorRed(Picture.Pixel(X, Y)) < 96 && ColorAlpha(Picture.Pixel(X, Y)) == 255;
        EXPECT_GT(Dark, 0) << Title.Name();
        EXPECT_EQ(Picture.Pixel(1, 1), MakeColor(255, 255, 255)) << Title.Name();
        EXPECT_TRUE(CacheHas(TCatalogKind::Titles, Title.Id()));
    }
}

} // namespace
