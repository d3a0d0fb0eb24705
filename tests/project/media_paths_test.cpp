#include "project/media_paths.h"

#include "core/paths.h"
#include "tests/core/temp_directory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TMediaFolders Folders() {
    TMediaFolders F;
    F.CommonAudio = "/srv/media/audio";
    F.CommonVideo = "/srv/media/video/";
    F.UserAudio = "/home/ann/Music";
    F.UserVideo = "/home/ann/Videos";
    return F;
}

TEST(MediaPaths, FilesInMediaFoldersAreStoredWithTheirMacro) {
    EXPECT_EQ(StoredMediaFileName("/srv/media/video/holiday/beach.avi", Folders()),
              "<Common Video>\\holiday/beach.avi");
    EXPECT_EQ(StoredMediaFileName("/srv/media/audio/song.mp3", Folders()),
              "<Common Audio>\\song.mp3");
    EXPECT_EQ(StoredMediaFileName("/home/ann/Videos/a.mp4", Folders()), "<My Video>\\a.mp4");
    EXPECT_EQ(StoredMediaFileName("/home/ann/Music/b.wav", Folders()), "<My Audio>\\b.wav");
}

TEST(MediaPaths, AFolderPrefixMatchesOnlyWholeFolderNames) {
    EXPECT_EQ(StoredMediaFileName("/home/ann/VideosOld/a.mp4", Folders()),
              "/home/ann/VideosOld/a.mp4");
}

TEST(MediaPaths, OtherFilesAreStoredRelativeToTheApplicationWhenUnderIt) {
    EXPECT_EQ(StoredMediaFileName(ApplicationDirectory() + "samples/x.avi", Folders()),
              "samples/x.avi");
    EXPECT_EQ(StoredMediaFileName("/elsewhere/x.avi", Folders()), "/elsewhere/x.avi");
}

TEST(MediaPaths, StoredNamesResolveIncludingTheOlderMacros) {
    EXPECT_EQ(ResolvedMediaFileName("<My Clips>\\trip\\day1.avi", Folders()),
              "/home/ann/Videos/trip/day1.avi");
    EXPECT_EQ(ResolvedMediaFileName("<Common Sounds>\\a.wav", Folders()), "/srv/media/audio/a.wav");
    EXPECT_EQ(ResolvedMediaFileName("<common video>\\b.avi", Folders()), "/srv/media/video/b.avi");
    EXPECT_EQ(ResolvedMediaFileName("samples\\x.avi", Folders()),
              ApplicationDirectory() + "samples/x.avi");
    EXPECT_EQ(ResolvedMediaFileName("/abs/x.avi", Folders()), "/abs/x.avi");
}

TEST(MediaPaths, StoringAndResolvingRoundTrips) {
    for (const char* Name : {"/srv/media/video/a/b.avi", "/home/ann/Music/c.mp3", "/tmp/d.wav"})
        EXPECT_EQ(ResolvedMediaFileName(StoredMediaFileName(Name, Folders()), Folders()), Name);
}

TEST(MediaPaths, RelativeNamesAreTakenAgainstTheCurrentFolder) {
    std::string Current = std::filesystem::current_path().string();
    EXPECT_EQ(AbsoluteMediaFileName("clips/../a.mp4"), Current + "/a.mp4");
    EXPECT_EQ(AbsoluteMediaFileName("/x/./y.mp4"), "/x/y.mp4");
    EXPECT_EQ(AbsoluteMediaFileName(""), "");
}

// A project moved together with its media: the stored names point to the old
// place, the files lie beside the project (in the same layout or side by side).
TEST(MediaPaths, NamesThatDoNotResolveAreLookedForBesideTheProject) {
    TTempDirectory Folder;
    std::filesystem::create_directory(Folder.File("clips"));
    for (const char* Name : {"clips/a.mp4", "b.wav"})
        std::ofstream(Folder.File(Name)) << "x";
    EXPECT_EQ(LocatedMediaFileName("clips\\a.mp4", Folders(), Folder.Path()),
              Folder.File("clips/a.mp4"));
    EXPECT_EQ(LocatedMediaFileName("/gone/away/b.wav", Folders(), Folder.Path()),
              Folder.File("b.wav"));
    EXPECT_EQ(LocatedMediaFileName("<My Audio>\\b.wav", Folders(), Folder.Path()),
              Folder.File("b.wav"));
    // Nothing beside it either: the stored name as it resolves, and without a
    // project folder (a paste) nothing is looked for.
    EXPECT_EQ(LocatedMediaFileName("/gone/c.wav", Folders(), Folder.Path()), "/gone/c.wav");
    EXPECT_EQ(LocatedMediaFileName("/gone/away/b.wav", Folders(), ""), "/gone/away/b.wav");
}

} // namespace
