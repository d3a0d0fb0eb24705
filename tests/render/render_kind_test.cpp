#include "render/render_kind.h"

#include <gtest/gtest.h>

TEST(RenderKindForExtension, TheCurrentKindStaysWhenItWritesThatExtension) {
    TRenderKind Kind = TRenderKind::AVI;
    ASSERT_TRUE(RenderKindForExtension(".mp4", TRenderKind::MP4BitRate, Kind));
    EXPECT_EQ(Kind, TRenderKind::MP4BitRate);
    ASSERT_TRUE(RenderKindForExtension("AVI", TRenderKind::AVI, Kind));
    EXPECT_EQ(Kind, TRenderKind::AVI);
    ASSERT_TRUE(RenderKindForExtension(".wma", TRenderKind::WMABitRate, Kind));
    EXPECT_EQ(Kind, TRenderKind::WMABitRate);
}

TEST(RenderKindForExtension, AnotherExtensionAsksForItsUsualKind) {
    const std::pair<const char*, TRenderKind> Cases[] = {
        {".mp4", TRenderKind::MP4Quality}, {".avi", TRenderKind::AVICompressed},
        {".dv", TRenderKind::DV},          {".MP3", TRenderKind::MP3},
        {"wma", TRenderKind::WMAQuality},  {".wmv", TRenderKind::WMVQuality},
    };
    for (const auto& [Extension, Expected] : Cases) {
        TRenderKind Kind = TRenderKind::AVI;
        // Of these, only ".MP3" files are written by the current kind, which
        // is also their usual kind.
        ASSERT_TRUE(RenderKindForExtension(Extension, TRenderKind::MP3, Kind)) << Extension;
        EXPECT_EQ(Kind, Expected) << Extension;
    }
}

TEST(RenderKindForExtension, UnknownOrMissingExtensionsAreRefusedAndListed) {
    TRenderKind Kind = TRenderKind::DV;
    EXPECT_FALSE(RenderKindForExtension(".mkv", TRenderKind::MP4Quality, Kind));
    EXPECT_FALSE(RenderKindForExtension("", TRenderKind::MP4Quality, Kind));
    EXPECT_FALSE(RenderKindForExtension(".", TRenderKind::MP4Quality, Kind));
    EXPECT_EQ(Kind, TRenderKind::DV);
    std::string List = RenderExtensionList();
    for (const char* Extension : {".avi", ".dv", ".mp3", ".mp4", ".wma", ".wmv"})
        EXPECT_NE(List.find(Extension), std::string::npos) << Extension;
}
