#include "app/folders.h"

#include "app/command_line.h"
#include "test_media.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class Folders : public testing::Test {
protected:
    void SetUp() override {
        Environment.Application = Temp.Root() + "/app/";
        Environment.ConfigHome = Temp.Root() + "/config/";
        Environment.DocumentsHome = Temp.Root() + "/docs/";
        fs::create_directories(Environment.Application);
    }
    TFolders Compute(const std::vector<std::string>& Arguments) {
        return ComputeFolders(Environment, ParseCommandLine(Arguments));
    }
    TTempFolder Temp;
    TFolderEnvironment Environment;
};

TEST_F(Folders, FirstStartMakesThePerUserConfigurationFolderAndSeedsIt) {
    std::string Shipped = Environment.Application + "Config/";
    fs::create_directories(Shipped);
    std::ofstream(Shipped + "Desktop.cfg") << "Desktop:\nend\n";

    TFolders Before = Compute({});
    EXPECT_EQ(Before.Config, Shipped) << "without the per-user folder the shipped one is used";
    ASSERT_TRUE(PrepareUserConfigFolder(Environment));
    TFolders After = Compute({});
    EXPECT_EQ(After.Config, Environment.ConfigHome + "quillmoor/");
    EXPECT_TRUE(fs::is_regular_file(After.Config + "Desktop.cfg"));
    EXPECT_EQ(ChooseDesktopFile(After, {}), After.Config + "Desktop.cfg");

    // A second start keeps what the user has there.
    std::ofstream(After.Config + "Desktop.cfg") << "Desktop:\n  Mine = 1\nend\n";
    ASSERT_TRUE(PrepareUserConfigFolder(Environment));
    std::ifstream In(After.Config + "Desktop.cfg");
    std::string First, Second;
    std::getline(In, First);
    std::getline(In, Second);
    EXPECT_EQ(Second, "  Mine = 1");
}

TEST_F(Folders, SwitchesMoveTheFoldersThatExist) {
    std::string Goto = Temp.Root() + "/goto";
    fs::create_directories(Goto + "/Common Audio");
    std::string Other = Temp.Root() + "/other";
    fs::create_directories(Other);

    TFolders Result = Compute({"/goto:" + Goto});
    EXPECT_EQ(Result.CommonAudio, Goto + "/Common Audio/");
    EXPECT_EQ(Result.CommonVideo, Environment.Application + "Common Video/") << "no such folder under it";
    EXPECT_EQ(Result.Documents, Goto + "/Quillmoor/");
    EXPECT_EQ(Result.Config, Goto + "/Config/");
    EXPECT_EQ(Result.UserAudio, Goto + "/Quillmoor/My Audio/");

    EXPECT_EQ(Compute({"/CFGDIR:" + Other}).Config, Other + "/");
    EXPECT_EQ(Compute({"/CFGDIR:" + Other + "/missing"}).Config, Environment.Application + "Config/");
    EXPECT_EQ(Compute({"/GOTO:" + Temp.Root() + "/missing"}).Documents, Environment.Application + "Quillmoor/");

    fs::create_directories(Environment.DocumentsHome + "Quillmoor");
    EXPECT_EQ(Compute({}).Documents, Environment.DocumentsHome + "Quillmoor/");
    EXPECT_EQ(Compute({"/GOTOEXEDIR"}).Documents, Environment.Application + "Quillmoor/");
}

TEST_F(Folders, NewProjectsAreProposedInAWritableDocumentsFolderNeverInTheProgramsData) {
    fs::create_directories(Environment.DocumentsHome);
    // Without the user's own Quillmoor folder the documents folder is the
    // program's, which is no place for projects.
    TFolders Plain = Compute({});
    EXPECT_EQ(Plain.Documents.rfind(Environment.Application, 0), 0u);
    EXPECT_EQ(NewProjectFolder(Plain, Environment), Environment.DocumentsHome);
    // The program's folder existing changes nothing when it cannot be written.
    fs::create_directories(Plain.Documents);
    fs::permissions(Plain.Documents, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (::access(Plain.Documents.c_str(), W_OK) != 0) {
        EXPECT_EQ(NewProjectFolder(Compute({}), Environment), Environment.DocumentsHome);
    }
    // The user's own Quillmoor folder wins.
    const std::string Own = Environment.DocumentsHome + "Quillmoor/";
    fs::create_directories(Own);
    TFolders WithOwn = Compute({});
    ASSERT_EQ(WithOwn.Documents, Own);
    EXPECT_EQ(NewProjectFolder(WithOwn, Environment), Own);
}

TEST_F(Folders, TheConfigurationSwitchFindsItsFileInTheConfigurationFolder) {
    TFolders Result = Compute({});
    fs::create_directories(Result.Config);
    // Neither exists: the desktop file.
    EXPECT_EQ(ChooseDesktopFile(Result, ParseCommandLine({"/cfg:Work"})), Result.Config + "Desktop.cfg");
    std::ofstream(Result.Config + "Work") << "Desktop:\nend\n";
    EXPECT_EQ(ChooseDesktopFile(Result, ParseCommandLine({"/cfg:Work"})), Result.Config + "Work");
    std::string Elsewhere = Temp.Root() + "/Elsewhere.cfg";
    std::ofstream(Elsewhere) << "Desktop:\nend\n";
    EXPECT_EQ(ChooseDesktopFile(Result, ParseCommandLine({"/C:" + Elsewhere})), Elsewhere);
}

} // namespace

// Regression: on a nearly full disk the first start copied the shipped
// desktop file cut short, then refused that file on every later start.
TEST_F(Folders, ACopyCutShortIsMadeAgainAndTheUsersOwnFileStays) {
    std::string Shipped = Environment.Application + "Config/";
    fs::create_directories(Shipped);
    const std::string Whole = "Desktop:\n  Main:\n    IsMaximized = False\n  end\nend\n";
    std::ofstream(Shipped + "Desktop.cfg") << Whole;
    std::string Mine = Environment.ConfigHome + "quillmoor/Desktop.cfg";
    fs::create_directories(Environment.ConfigHome + "quillmoor");
    std::ofstream(Mine) << Whole.substr(0, 20);
    ASSERT_TRUE(PrepareUserConfigFolder(Environment));
    std::ifstream In(Mine);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), Whole);

    std::ofstream(Mine) << "Desktop:\nend\n";
    ASSERT_TRUE(PrepareUserConfigFolder(Environment));
    std::ifstream Again(Mine);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Again), {}), "Desktop:\nend\n");
}
