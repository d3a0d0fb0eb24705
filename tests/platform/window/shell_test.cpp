#include "platform/window/shell.h"

#include "platform/window/window_system.h"

#include <gtest/gtest.h>

namespace {

TEST(XdgFolders, UserDirsEntriesExpandHomeAndMissingOnesFallBackToHome) {
    TXdgEnvironment Environment;
    Environment.Home = "/home/ann/";
    Environment.UserDirs = "# written by xdg-user-dirs-update\n"
                           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                           "XDG_VIDEOS_DIR=\"/srv/video/\"\n"
                           "  XDG_MUSIC_DIR=\"$HOME/Musik\"  \n"
                           "XDG_PICTURES_DIR=relative/Bilder\n"
                           "XDG_DOCUMENTSX_DIR=\"$HOME/Wrong\"\n";
    EXPECT_EQ(XdgFolder(TXdgFolder::Documents, Environment), "/home/ann/Dokumente");
    EXPECT_EQ(XdgFolder(TXdgFolder::Videos, Environment), "/srv/video");
    EXPECT_EQ(XdgFolder(TXdgFolder::Music, Environment), "/home/ann/Musik");
    // Unquoted and relative values are not what the file format allows.
    EXPECT_EQ(XdgFolder(TXdgFolder::Pictures, Environment), "/home/ann");
}

TEST(XdgFolders, ConfigAndRuntimeFollowTheEnvironmentOnlyWhenAbsolute) {
    TXdgEnvironment Environment;
    Environment.Home = "/home/ann";
    EXPECT_EQ(XdgFolder(TXdgFolder::Config, Environment), "/home/ann/.config");
    EXPECT_EQ(XdgFolder(TXdgFolder::Runtime, Environment), "");
    Environment.ConfigHome = "cfg";
    Environment.RuntimeDir = "run";
    EXPECT_EQ(XdgFolder(TXdgFolder::Config, Environment), "/home/ann/.config");
    EXPECT_EQ(XdgFolder(TXdgFolder::Runtime, Environment), "");
    Environment.ConfigHome = "/etc/ann/";
    Environment.RuntimeDir = "/run/user/1000";
    EXPECT_EQ(XdgFolder(TXdgFolder::Config, Environment), "/etc/ann");
    EXPECT_EQ(XdgFolder(TXdgFolder::Runtime, Environment), "/run/user/1000");
}

TEST(SpawnDetached, ProgramThatCannotStartRaisesWithTheSystemMessage) {
    try {
        SpawnDetached({"quillmoor-no-such-program", "x"});
        FAIL() << "no exception";
    } catch (const EWindowSystem& Error) {
        EXPECT_NE(std::string(Error.what()).find("quillmoor-no-such-program"), std::string::npos);
    }
    EXPECT_THROW(SpawnDetached({}), EWindowSystem);
}

} // namespace
