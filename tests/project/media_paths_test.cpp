#include "project/media_paths.h"

#include "core/paths.h"

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

} // namespace
