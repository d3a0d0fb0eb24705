#include "app/desktop_file.h"

#include "core/data.h"
#include "core/error.h"
#include "test_media.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A desktop as later parts store it: docks with items this shell does not
// know, floating tool boxes, capture devices and sections of its own.
const char* const StoredDesktop =
    "Desktop:\r\n"
    "  Appearance:\r\n"
    "    Skin.Size = 24\r\n"
    "  end\r\n"
    "  Main:\r\n"
    "    BoundsRect.Left = 10\r\n"
    "    BoundsRect.Top = 20\r\n"
    "    BoundsRect.Width = 800\r\n"
    "    BoundsRect.Height = 600\r\n"
    "    IsMaximized = True\r\n"
    "  end\r\n"
    "  LeftDock:\r\n"
    "    Count = 1\r\n"
    "    Item[0]:\r\n"
    "      FactoryId = Stage|Video|Browser\r\n"
    "      FutureSetting = kept as it is\r\n"
    "    end\r\n"
    "  end\r\n"
    "  CenterDock:\r\n"
    "    Split = 0.5\r\n"
    "  end\r\n"
    "  ToolBar[0]:\r\n"
    "    FactoryId = ToolBar\r\n"
    "  end\r\n"
    "  ToolWindow[0]:\r\n"
    "    FactoryId = ToolWindow\r\n"
    "    Caption = Properties\r\n"
    "  end\r\n"
    "end\r\n"
    "Commands:\r\n"
    "  File|New:\r\n"
    "    ShortCut = 16462\r\n"
    "  end\r\n"
    "end\r\n"
    "FileHistory:\r\n"
    "  LastDir = /home/ann/\r\n"
    "  Count = 1\r\n"
    "  File[0] = /home/ann/a.qmp\r\n"
    "  MaxCount = 5\r\n"
    "end\r\n"
    "Capture:\r\n"
    "  Video:\r\n"
    "    Record.Id = /dev/video0\r\n"
    "    Animation.Interval = 50000000\r\n"
    "  end\r\n"
    "end\r\n";

class DesktopFile : public testing::Test {
protected:
    std::string Write(const std::string& Name, const std::string& Text) {
        std::string File = Folder.Path(Name);
        std::ofstream(File, std::ios::binary) << Text;
        return File;
    }
    TTempFolder Folder;
};

TEST_F(DesktopFile, SectionsOfOtherPartsAreWrittenBackUnchanged) {
    std::string File = Write("Desktop.cfg", StoredDesktop);
    TDesktopFile Desktop;
    Desktop.Load(File, TDesktopScope::Full, {});
    ASSERT_TRUE(Desktop.Placement().BoundsRect);
    EXPECT_EQ(*Desktop.Placement().BoundsRect, TRect::FromSize(10, 20, 800, 600));
    EXPECT_TRUE(Desktop.Placement().IsMaximized);
    EXPECT_FALSE(Desktop.Placement().AltLayoutIsMaximized) << "defaults to the opposite of the main value";

    // Saving what was loaded gives the same document back, apart from the
    // alternate layout's state, which is always written.
    std::string Saved = Desktop.SaveToText(TDesktopScope::Full, Desktop.Placement());
    TData Before, After;
    Before.LoadFromText(StoredDesktop);
    {
        TDataSection Root(Before, "Desktop");
        TDataSection Main(Before, "Main");
        TDataSection Alt(Before, "AltLayout");
        Before.WriteBool("IsMaximized", false);
    }
    After.LoadFromText(Saved);
    EXPECT_EQ(After.SaveToText(), Before.SaveToText());
}

TEST_F(DesktopFile, PlacementChangesWhileEverythingElseStays) {
    TDesktopFile Desktop;
    Desktop.Load(Write("Desktop.cfg", StoredDesktop), TDesktopScope::Full, {});
    TWindowPlacement Moved;
    Moved.BoundsRect = TRect::FromSize(100, 50, 640, 480);
    std::string File = Folder.Path("Out.cfg");
    Desktop.Save(File, TDesktopScope::Full, Moved);

    TDesktopFile Again;
    Again.Load(File, TDesktopScope::Full, {});
    EXPECT_EQ(*Again.Placement().BoundsRect, TRect::FromSize(100, 50, 640, 480));
    EXPECT_FALSE(Again.Placement().IsMaximized);
    TData Stored;
    Stored.LoadFromFile(File);
    TDataSection Desk(Stored, "Desktop");
    {
        TDataSection Left(Stored, "LeftDock");
        TDataSection Item(Stored, "Item[0]");
        EXPECT_EQ(Stored.ReadString("FutureSetting", ""), "kept as it is");
    }
    TDataSection Window(Stored, "ToolWindow[0]");
    EXPECT_EQ(Stored.ReadString("Caption", ""), "Properties");
}

TEST_F(DesktopFile, AConfigurationLeavesOutTheFullOnlyEntries) {
    TDesktopFile Desktop;
    Desktop.Load(Write("Desktop.cfg", StoredDesktop), TDesktopScope::Full, {});
    TData Saved;
    Saved.LoadFromText(Desktop.SaveToText(TDesktopScope::Configuration, Desktop.Placement()));
    EXPECT_FALSE(Saved.Exists("Capture"));
    EXPECT_FALSE(Saved.Exists("InitialDirs"));
    TDataSection History(Saved, "FileHistory");
    EXPECT_FALSE(Saved.Exists("LastDir"));
    EXPECT_FALSE(Saved.Exists("Count"));
    EXPECT_FALSE(Saved.Exists("File[0]"));
    EXPECT_EQ(Saved.ReadInteger("MaxCount", 0), 5);
}

TEST_F(DesktopFile, AFileThatCannotBeReadChangesNothing) {
    TDesktopFile Desktop;
    Desktop.Load(Write("Desktop.cfg", StoredDesktop), TDesktopScope::Full, {});
    std::string Kept = Desktop.SaveToText(TDesktopScope::Full, Desktop.Placement());

    std::string Damaged = Write("Damaged.cfg", std::string("\x01\x02 garbage\xff\n", 13));
    EXPECT_THROW(Desktop.Load(Damaged, TDesktopScope::Full, {}), EError);
    EXPECT_THROW(Desktop.Load(Folder.Path("Missing.cfg"), TDesktopScope::Full, {}), std::exception);
    EXPECT_EQ(*Desktop.Placement().BoundsRect, TRect::FromSize(10, 20, 800, 600));
    EXPECT_EQ(Desktop.SaveToText(TDesktopScope::Full, Desktop.Placement()), Kept);
}

TEST(FitRectOnDesktop, MovesARectangleBackWithItsSizeKept) {
    const TRect Desk{0, 0, 1920, 1080};
    struct TCase {
        TRect Stored;
        TRect Expected;
    } Cases[] = {
        {TRect::FromSize(100, 100, 800, 600), TRect::FromSize(100, 100, 800, 600)},
        {TRect::FromSize(1500, 100, 800, 600), TRect::FromSize(1120, 100, 800, 600)},
        {TRect::FromSize(-300, 900, 800, 600), TRect::FromSize(0, 480, 800, 600)},
        // Wider than the desktop: starts at its left edge and covers it.
        {TRect::FromSize(500, 10, 2500, 600), TRect::FromSize(0, 10, 2500, 600)},
        {TRect::FromSize(10, -50, 300, 1200), TRect::FromSize(10, 0, 300, 1200)},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(FitRectOnDesktop(Case.Stored, Desk), Case.Expected);
}

TEST_F(DesktopFile, ReadOnlyFilesAreNotWritable) {
    std::string File = Write("Desktop.cfg", StoredDesktop);
    EXPECT_TRUE(IsWritableOrMissing(File));
    EXPECT_TRUE(IsWritableOrMissing(Folder.Path("Later.cfg")));
    ::chmod(File.c_str(), 0444);
    // Regression: as root, access() calls every file writable and a
    // read-only desktop file was replaced. The mode decides.
    EXPECT_FALSE(IsWritableOrMissing(File));
    // A link is judged by the file it leads to.
    ASSERT_EQ(::symlink(File.c_str(), Folder.Path("Link.cfg").c_str()), 0);
    EXPECT_FALSE(IsWritableOrMissing(Folder.Path("Link.cfg")));
    EXPECT_FALSE(IsWritableOrMissing(Folder.Root()));
}

// Regression: "the file that could not be read is not stored over" compared
// names, so "//", "/./" or a relative name stored over it.
TEST_F(DesktopFile, NamesOfOneFileAreTheSameFileHoweverWritten) {
    std::string File = Write("Desktop.cfg", StoredDesktop);
    std::string Root = Folder.Root();
    EXPECT_TRUE(IsSameFile(File, Root + "//Desktop.cfg"));
    EXPECT_TRUE(IsSameFile(File, Root + "/./Desktop.cfg"));
    EXPECT_TRUE(IsSameFile(Root + "/sub/../Desktop.cfg", File));
    ASSERT_EQ(::symlink(File.c_str(), Folder.Path("Link.cfg").c_str()), 0);
    EXPECT_TRUE(IsSameFile(File, Folder.Path("Link.cfg")));
    EXPECT_FALSE(IsSameFile(File, Write("Other.cfg", StoredDesktop)));
    // Files not there yet compare by their cleaned names.
    EXPECT_TRUE(IsSameFile(Root + "/new.cfg", Root + "//x/../new.cfg"));
    EXPECT_FALSE(IsSameFile(Root + "/new.cfg", Root + "/new2.cfg"));
}

// Regression: a desktop file kept behind a symbolic link was replaced by a
// regular file.
TEST_F(DesktopFile, ALinkedDesktopFileIsStoredWhereTheLinkLeads) {
    std::string File = Write("Real.cfg", StoredDesktop);
    std::string Link = Folder.Path("Desktop.cfg");
    ASSERT_EQ(::symlink(File.c_str(), Link.c_str()), 0);
    TDesktopFile Desktop;
    Desktop.Load(Link, TDesktopScope::Full, {});
    TWindowPlacement Moved = Desktop.Placement();
    Moved.BoundsRect = TRect::FromSize(33, 44, 640, 480);
    Desktop.Save(Link, TDesktopScope::Full, Moved);
    EXPECT_TRUE(std::filesystem::is_symlink(Link));
    TDesktopFile Again;
    Again.Load(File, TDesktopScope::Full, {});
    EXPECT_EQ(*Again.Placement().BoundsRect, TRect::FromSize(33, 44, 640, 480));
}

// Regression: a desktop file that is a named pipe blocked the start for
// ever, and /dev/zero filled the memory.
TEST_F(DesktopFile, OnlyARegularFileOfABoundedSizeIsRead) {
    TDesktopFile Desktop;
    std::string Fifo = Folder.Path("Fifo.cfg");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    EXPECT_THROW(Desktop.Load(Fifo, TDesktopScope::Full, {}), EError);
    EXPECT_THROW(Desktop.Load("/dev/zero", TDesktopScope::Full, {}), EError);
    std::string Huge = Folder.Path("Huge.cfg");
    { std::ofstream(Huge) << "Desktop:\nend\n"; }
    ASSERT_EQ(::truncate(Huge.c_str(), MaxDesktopFileSize + 1), 0);
    EXPECT_THROW(Desktop.Load(Huge, TDesktopScope::Full, {}), EError);
}

} // namespace
