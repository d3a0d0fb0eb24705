#include "core/paths.h"

#include "temp_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(Paths, IncludeTrailingSlashAddsOneSeparator) {
    EXPECT_EQ(IncludeTrailingSlash("/media/clips"), "/media/clips/");
    EXPECT_EQ(IncludeTrailingSlash("/media/clips/"), "/media/clips/");
    EXPECT_EQ(IncludeTrailingSlash("C:\\clips\\"), "C:\\clips\\");
    EXPECT_EQ(IncludeTrailingSlash("clips"), "clips/");
}

TEST(Paths, ExcludeTrailingSlashKeepsRootsAndDoubledSeparators) {
    EXPECT_EQ(ExcludeTrailingSlash("/media/clips/"), "/media/clips");
    EXPECT_EQ(ExcludeTrailingSlash("/media/clips"), "/media/clips");
    EXPECT_EQ(ExcludeTrailingSlash("clips\\"), "clips");
    EXPECT_EQ(ExcludeTrailingSlash("/"), "/");
    EXPECT_EQ(ExcludeTrailingSlash("C:/"), "C:/");
    EXPECT_EQ(ExcludeTrailingSlash("a//"), "a//");
    EXPECT_EQ(ExcludeTrailingSlash(""), "");
}

TEST(Paths, AbsolutePathsBeginWithASlash) {
    EXPECT_TRUE(IsAbsolutePath("/home/user/a.qmp"));
    EXPECT_TRUE(IsAbsolutePath("/"));
    EXPECT_FALSE(IsAbsolutePath("media/a.mp4"));
    EXPECT_FALSE(IsAbsolutePath("./a.mp4"));
    EXPECT_FALSE(IsAbsolutePath(""));
}

TEST(Paths, NormalizeSeparatorsTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(NormalizeSeparators("media\\clips\\a.mp4"), "media/clips/a.mp4");
    EXPECT_EQ(NormalizeSeparators("/already/posix"), "/already/posix");
}

TEST(Paths, ApplicationDirectoryHoldsTheRunningProgram) {
    const std::string& Directory = ApplicationDirectory();
    ASSERT_FALSE(Directory.empty());
    EXPECT_TRUE(IsAbsolutePath(Directory));
    EXPECT_EQ(Directory.back(), '/');
    EXPECT_EQ(ApplicationFileName().rfind(Directory, 0), 0u);
    EXPECT_TRUE(std::filesystem::is_regular_file(ApplicationFileName()));
    EXPECT_EQ(&ApplicationDirectory(), &Directory) << "computed once";
}

TEST(Paths, RelativePathsAreTakenFromTheApplicationDirectory) {
    EXPECT_EQ(ToApplicationPath("skins/default.qms"), ApplicationDirectory() + "skins/default.qms");
    EXPECT_EQ(ToApplicationPath("/abs/file"), "/abs/file");
}

TEST(Paths, FromApplicationPathUndoesToApplicationPath) {
    EXPECT_EQ(FromApplicationPath(ToApplicationPath("skins/default.qms")), "skins/default.qms");
    EXPECT_EQ(FromApplicationPath("/elsewhere/file"), "/elsewhere/file");
}

TEST(Paths, ReplacePathPrefixIgnoresLetterCase) {
    std::string Path = "/Media/Clips/a.mp4";
    EXPECT_TRUE(ReplacePathPrefix(Path, "/media/", "/mnt/disk/"));
    EXPECT_EQ(Path, "/mnt/disk/Clips/a.mp4");

    std::string Other = "/home/a.mp4";
    EXPECT_FALSE(ReplacePathPrefix(Other, "/media/", "/mnt/"));
    EXPECT_EQ(Other, "/home/a.mp4");

    std::string Short = "/me";
    EXPECT_FALSE(ReplacePathPrefix(Short, "/media/", "/mnt/"));
    EXPECT_EQ(Short, "/me");
}

void Touch(const std::string& FileName) {
    std::ofstream(FileName) << "x";
}

TEST(ListDirectory, FoldersComeFirstThenFilesEachInNaturalOrder) {
    TTempDirectory Dir;
    for (const char* Name : {"clip10.mp4", "clip2.mp4", "Clip1.mp4", ".hidden"})
        Touch(Dir.File(Name));
    std::filesystem::create_directory(Dir.File("z-folder"));
    std::filesystem::create_directory(Dir.File("folder 10"));
    std::filesystem::create_directory(Dir.File("folder 9"));

    std::vector<TDirectoryEntry> Entries = ListDirectory(Dir.Path());
    std::vector<std::string> Names;
    for (const TDirectoryEntry& E : Entries)
        Names.push_back(E.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"folder 9", "folder 10", "z-folder", ".hidden",
                                               "Clip1.mp4", "clip2.mp4", "clip10.mp4"}));
    ASSERT_EQ(Entries.size(), 7u);
    EXPECT_FALSE(Entries[0].IsFile);
    EXPECT_TRUE(Entries[3].IsFile);
    EXPECT_TRUE(Entries[3].IsHidden);
    EXPECT_FALSE(Entries[4].IsHidden);
    EXPECT_FALSE(Entries[4].IsSystem);
}

TEST(ListDirectory, SpecialFilesAreMarkedAsSystemFiles) {
    TTempDirectory Dir;
    ASSERT_EQ(::mkfifo(Dir.File("pipe").c_str(), 0600), 0);
    std::vector<TDirectoryEntry> Entries = ListDirectory(Dir.Path());
    ASSERT_EQ(Entries.size(), 1u);
    EXPECT_TRUE(Entries[0].IsSystem);
    EXPECT_TRUE(Entries[0].IsFile);
}

TEST(ListDirectory, ReadOnlyFilesAreMarked) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "every file is writable for root";
    TTempDirectory Dir;
    Touch(Dir.File("locked"));
    Touch(Dir.File("open"));
    ASSERT_EQ(::chmod(Dir.File("locked").c_str(), 0444), 0);
    std::vector<TDirectoryEntry> Entries = ListDirectory(Dir.Path());
    ASSERT_EQ(Entries.size(), 2u);
    EXPECT_TRUE(Entries[0].IsReadOnly);
    EXPECT_FALSE(Entries[1].IsReadOnly);
}

TEST(ListDirectory, MissingDirectoryGivesAnEmptyList) {
    TTempDirectory Dir;
    EXPECT_TRUE(ListDirectory(Dir.File("missing")).empty());
}

} // namespace
