#include "platform/trash.h"

#include "core/error.h"
#include "core/file_io.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(Trash, MovesTheFileAndRecordsWhereItCameFrom) {
    TTempFolder Folder;
    std::string File = Folder.Path("my clip.avi");
    std::ofstream(File) << "media";
    std::string Trash = Folder.Path("Trash");
    std::string Trashed = MoveToTrash(File, Trash);
    EXPECT_EQ(Trashed, Trash + "/files/my clip.avi");
    EXPECT_FALSE(std::filesystem::exists(File));
    EXPECT_EQ(ReadFileBytes(Trashed), "media");
    std::string Info = ReadFileBytes(Trash + "/info/my clip.avi.trashinfo");
    EXPECT_TRUE(Info.starts_with("[Trash Info]\nPath=" + Folder.Root() + "/my%20clip.avi\nDeletionDate="))
        << Info;
    EXPECT_EQ(Info.size(), std::string("[Trash Info]\nPath=" + Folder.Root() +
                                       "/my%20clip.avi\nDeletionDate=2024-01-01T00:00:00\n")
                               .size());
}

TEST(Trash, ASecondFileOfTheSameNameGetsANameOfItsOwn) {
    TTempFolder Folder;
    std::string Trash = Folder.Path("Trash");
    for (const char* Sub : {"a", "b", "c"}) {
        std::filesystem::create_directories(Folder.Path(Sub));
        std::ofstream(Folder.Path(std::string(Sub) + "/clip.avi")) << Sub;
    }
    EXPECT_EQ(MoveToTrash(Folder.Path("a/clip.avi"), Trash), Trash + "/files/clip.avi");
    // A file left in the trash without its info file keeps its name too.
    std::filesystem::remove(Trash + "/info/clip.avi.trashinfo");
    EXPECT_EQ(MoveToTrash(Folder.Path("b/clip.avi"), Trash), Trash + "/files/clip.avi.2");
    EXPECT_EQ(MoveToTrash(Folder.Path("c/clip.avi"), Trash), Trash + "/files/clip.avi.3");
    EXPECT_EQ(ReadFileBytes(Trash + "/files/clip.avi"), "a");
    EXPECT_EQ(ReadFileBytes(Trash + "/files/clip.avi.3"), "c");
}

TEST(Trash, AMissingFileRaisesAndLeavesNoInfoBehind) {
    TTempFolder Folder;
    std::string Trash = Folder.Path("Trash");
    EXPECT_THROW(MoveToTrash(Folder.Path("absent.avi"), Trash), EError);
    EXPECT_FALSE(std::filesystem::exists(Trash + "/info/absent.avi.trashinfo"));
}

} // namespace
