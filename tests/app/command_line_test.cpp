#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, PathsBeginningWithASlashAreFiles) {
    TCommandLine Line = ParseCommandLine({"/home/ann/x.qmp", "relative.qmp", "/RENDER", "/c"});
    EXPECT_EQ(Line.Files,
              (std::vector<std::string>{"/home/ann/x.qmp", "relative.qmp", "/RENDER", "/c"}));
    EXPECT_FALSE(Line.Render);
    EXPECT_TRUE(Line.ConfigFile.empty());
}

TEST(CommandLine, SwitchesAreRecognisedByNameWithoutCase) {
    TCommandLine Line = ParseCommandLine(
        {"/home/ann/x.qmp", "/render:out.mp4", "/KIND:MP4Quality", "/NoSplashScreen"});
    EXPECT_EQ(Line.Files, (std::vector<std::string>{"/home/ann/x.qmp"}));
    EXPECT_TRUE(Line.Render);
    EXPECT_EQ(Line.RenderFile, "out.mp4");
    EXPECT_EQ(Line.RenderKind, "MP4Quality");
    EXPECT_TRUE(Line.NoSplashScreen);
}

TEST(CommandLine, AValueRunsFromTheColonToTheEnd) {
    TCommandLine Line = ParseCommandLine({"/RENDER:/tmp/a:b.mp4", "/CFGDIR:/etc/q/"});
    EXPECT_EQ(Line.RenderFile, "/tmp/a:b.mp4");
    EXPECT_EQ(Line.ConfigFolder, "/etc/q/");
    TCommandLine Empty = ParseCommandLine({"x.qmp", "/RENDER:"});
    EXPECT_TRUE(Empty.Render);
    EXPECT_TRUE(Empty.RenderFile.empty());
}

TEST(CommandLine, FlagsWithAValueAndValuesWithoutOneAreFiles) {
    TCommandLine Line = ParseCommandLine({"/NOSPLASHSCREEN:yes", "/GOTOEXEDIR"});
    EXPECT_EQ(Line.Files, (std::vector<std::string>{"/NOSPLASHSCREEN:yes"}));
    EXPECT_FALSE(Line.NoSplashScreen);
    EXPECT_TRUE(Line.GotoExeDir);
}

TEST(CommandLine, LongOptionsTakeTheirValueAfterAnEqualsSignOrAsTheNextArgument) {
    TCommandLine Line =
        ParseCommandLine({"--render=out.avi", "x.qmp", "--kind", "AVI", "--multipleinstances"});
    EXPECT_EQ(Line.Files, (std::vector<std::string>{"x.qmp"}));
    EXPECT_EQ(Line.RenderFile, "out.avi");
    EXPECT_EQ(Line.RenderKind, "AVI");
    EXPECT_TRUE(Line.MultipleInstances);
    EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
    EXPECT_TRUE(ParseCommandLine({"--demo"}).Demo);
    // Long-only: the short form is a file name.
    EXPECT_EQ(ParseCommandLine({"/DEMO"}).Files, (std::vector<std::string>{"/DEMO"}));
    EXPECT_EQ(ParseCommandLine({"/HELP"}).Files, (std::vector<std::string>{"/HELP"}));
}

TEST(CommandLine, TheLastOfARepeatedSwitchWins) {
    TCommandLine Line = ParseCommandLine({"/C:a.cfg", "/CFG:b.cfg", "/GOTO:/one", "--goto=/two"});
    EXPECT_EQ(Line.ConfigFile, "b.cfg");
    EXPECT_EQ(Line.GotoFolder, "/two");
    EXPECT_TRUE(ParseCommandLine({"/GOTOLASTDIR"}).UseLastDir);
    EXPECT_TRUE(ParseCommandLine({"/uselastdir"}).UseLastDir);
}

TEST(CommandLine, EverythingAfterTwoDashesIsAFile) {
    TCommandLine Line = ParseCommandLine({"--", "--render=x", "/RENDER:y"});
    EXPECT_EQ(Line.Files, (std::vector<std::string>{"--render=x", "/RENDER:y"}));
    EXPECT_FALSE(Line.Render);
}

TEST(CommandLine, MisspelledOrIncompleteLongOptionsAreRefused) {
    EXPECT_THROW(ParseCommandLine({"x.qmp", "--rendr=out.mp4"}), ECommandLineError);
    EXPECT_THROW(ParseCommandLine({"x.qmp", "--render"}), ECommandLineError);
    EXPECT_THROW(ParseCommandLine({"--help=me"}), ECommandLineError);
    try {
        ParseCommandLine({"--rendr=out.mp4"});
    } catch (const ECommandLineError& Error) {
        EXPECT_NE(std::string(Error.what()).find("--rendr=out.mp4"), std::string::npos);
    }
}

} // namespace
