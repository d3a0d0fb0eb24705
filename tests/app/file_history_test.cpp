#include "app/file_history.h"

#include "../support/test_media.h"
#include "app/desktop_file.h"
#include "core/data.h"
#include "platform/drive_kind.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// A project file that exists.
std::string Touch(const TTempFolder& Folder, const std::string& Name) {
    std::string Path = Folder.Path(Name);
    std::ofstream(Path) << "Project\n";
    return fs::weakly_canonical(Path).string();
}

// Loads History from a "FileHistory" section holding Entries (name, value),
// after a trip through the document's text.
void Load(TFileHistory& History, const std::vector<std::pair<std::string, std::string>>& Entries,
          TDesktopScope Scope) {
    TData Written;
    {
        TDataSection Section(Written, "FileHistory");
        for (const auto& [Name, Value] : Entries)
            Written.WriteString(Name, Value);
    }
    TData Data;
    Data.LoadFromText(Written.SaveToText());
    TDataSection Section(Data, "FileHistory");
    History.LoadFromData(Data, Scope);
}

} // namespace

TEST(FileHistory, AddingPutsTheFileFirstAndMovesADuplicateToTheFront) {
    TTempFolder Folder;
    std::string A = Touch(Folder, "a.qmp"), B = Touch(Folder, "b.qmp"), C = Touch(Folder, "c.qmp");
    TFileHistory History;
    int Changes = 0;
    History.OnChange = [&](TFileHistory&) { ++Changes; };
    History.Add(A);
    History.Add(B);
    History.Add(C);
    // The same file reached through another path is one entry.
    History.Add(Folder.Root() + "/./sub/../a.qmp");
    EXPECT_EQ(History.Files(), (std::vector<std::string>{A, C, B}));
    EXPECT_EQ(History.LastDir(), fs::path(A).parent_path().string() + "/");
    EXPECT_EQ(Changes, 4);
}

TEST(FileHistory, KeepsAtMostMaxCountDroppingTheOldest) {
    TFileHistory History;
    for (int Index = 0; Index < 12; ++Index)
        History.Add("/films/" + std::to_string(Index) + ".qmp");
    ASSERT_EQ(History.Count(), TFileHistory::Capacity);
    EXPECT_EQ(History.Files().front(), "/films/11.qmp");
    EXPECT_EQ(History.Files().back(), "/films/3.qmp");
    History.SetMaxCount(3);
    EXPECT_EQ(History.Files(), (std::vector<std::string>{"/films/11.qmp", "/films/10.qmp", "/films/9.qmp"}));
    History.Add("/films/new.qmp");
    EXPECT_EQ(History.Files(), (std::vector<std::string>{"/films/new.qmp", "/films/11.qmp", "/films/10.qmp"}));
    History.SetMaxCount(0);
    EXPECT_EQ(History.MaxCount(), 1);
    History.SetMaxCount(20);
    EXPECT_EQ(History.MaxCount(), 9);
}

TEST(FileHistory, ASectionOfTwelveEntriesReadsTheFirstNineAndDropsVanishedLocalFiles) {
    TTempFolder Folder;
    std::vector<std::pair<std::string, std::string>> Section = {{"LastDir", Folder.Root()}, {"Count", "12"}};
    std::vector<std::string> Expected;
    for (int Index = 0; Index < 12; ++Index) {
        // Every third file is gone from the disk.
        std::string Name = Index % 3 == 2 ? Folder.Path("gone" + std::to_string(Index) + ".qmp")
                                          : Touch(Folder, std::to_string(Index) + ".qmp");
        if (Index < 9 && Index % 3 != 2)
            Expected.push_back(Name);
        Section.push_back({"File[" + std::to_string(Index) + "]", Name});
    }
    Section.push_back({"MaxCount", "20"});
    TFileHistory History;
    Load(History, Section, TDesktopScope::Full);
    EXPECT_EQ(History.Files(), Expected);
    EXPECT_EQ(History.MaxCount(), 9);
    EXPECT_EQ(History.LastDir(), Folder.Root() + "/");
}

TEST(FileHistory, RoundTripsThroughTheDesktopFileAcrossARestart) {
    TTempFolder Folder;
    std::string A = Touch(Folder, "a.qmp"), B = Touch(Folder, "b.qmp");
    std::string Desktop = Folder.Path("Desktop.cfg");
    {
        TFileHistory History;
        History.Add(A);
        History.Add(B);
        History.SetMaxCount(5);
        TDesktopFile File;
        File.SetFileHistory(&History);
        File.Save(Desktop, TDesktopScope::Full, TWindowPlacement{});
    }
    TFileHistory Restarted;
    TDesktopFile File;
    File.SetFileHistory(&Restarted);
    File.Load(Desktop, TDesktopScope::Full, TWindowPlacement{});
    EXPECT_EQ(Restarted.Files(), (std::vector<std::string>{B, A}));
    EXPECT_EQ(Restarted.MaxCount(), 5);
    EXPECT_EQ(Restarted.LastDir(), fs::path(B).parent_path().string() + "/");
    // A named configuration stores the cap only and reads nothing of it.
    TData Named;
    Named.LoadFromText(File.SaveToText(TDesktopScope::Configuration, TWindowPlacement{}));
    {
        TDataSection Section(Named, "FileHistory");
        EXPECT_EQ(Named.ReadInteger("MaxCount", 0), 5);
        for (const char* Key : {"LastDir", "Count", "File[0]"})
            EXPECT_FALSE(Named.Exists(Key)) << Key;
    }
    TFileHistory Other;
    Other.Add("/x.qmp");
    TDesktopFile Configuration;
    Configuration.SetFileHistory(&Other);
    Configuration.Load(Desktop, TDesktopScope::Configuration, TWindowPlacement{});
    EXPECT_EQ(Other.Files(), std::vector<std::string>{"/x.qmp"});
    EXPECT_EQ(Other.MaxCount(), 9);
}

TEST(FileHistory, EntriesOnNetworkAndRemovableDrivesAreKeptUnchecked) {
    // Paths that do not exist here; on a drive that answers slowly or not at
    // all they must not be looked at.
    std::vector<std::pair<std::string, std::string>> Section = {{"Count", "1"}, {"File[0]", "/net/server/film.qmp"}};
    TFileHistory History;
    bool Network = DriveKindOf("/net/server/film.qmp") == TDriveKind::Network;
    Load(History, Section, TDesktopScope::Full);
    // On this machine /net is a plain local folder: the vanished file goes.
    EXPECT_EQ(History.Count(), Network ? 1 : 0);
}

TEST(DriveKind, IsJudgedFromTheMountTableByTheLongestMountPoint) {
    const std::string MountInfo =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 0:40 / /mnt/nas rw - nfs4 server:/export rw\n"
        "31 22 0:41 / /media/ann/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
        "32 22 11:0 / /media/ann/DVD rw - iso9660 /dev/sr0 ro\n"
        "33 22 0:42 / /home/ann/remote rw shared:7 master:2 - fuse.sshfs ann@host: rw\n"
        "34 22 0:43 / /tmp rw - tmpfs tmpfs rw\n";
    struct TCase {
        const char* Path;
        TDriveKind Kind;
    } Cases[] = {
        {"/home/ann/film.qmp", TDriveKind::Fixed},
        {"/mnt/nas/film.qmp", TDriveKind::Network},
        {"/mnt/nasty/film.qmp", TDriveKind::Fixed},
        {"/media/ann/USB STICK/film.qmp", TDriveKind::Removable},
        {"/media/ann/DVD/film.qmp", TDriveKind::Optical},
        {"/home/ann/remote/film.qmp", TDriveKind::Network},
        {"/tmp/film.qmp", TDriveKind::Fixed},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(DriveKindOf(Case.Path, MountInfo), Case.Kind) << Case.Path;
    EXPECT_EQ(DriveKindOf("/home/ann/film.qmp", ""), TDriveKind::Unknown);
}
