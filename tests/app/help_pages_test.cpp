#include "app/help_pages.h"

#include "test_media.h"
#include "commands/help_topics.h"
#include "core/text_table.h"
#include "platform/window/headless_window_system.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& File) {
    std::ifstream In(File);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(HelpPages, ATopicOpensItsPageAndAnythingElseTheStartPage) {
    RestoreTextTable();
    TTempFolder Folder;
    std::string Help = Folder.Path("Help") + "/";
    fs::create_directories(Help + "Commands");
    for (const char* Name : {"index.html", "timeline.html", "Commands/Open.html"})
        std::ofstream(Help + Name) << "<html></html>";
    struct TCase {
        std::string Topic;
        std::string Page;
    };
    for (const TCase& Case : std::initializer_list<TCase>{
             {"timeline.html", "timeline.html"},
             {"Commands/Open.htm", "Commands/Open.html"}, // the .htm form of a command's topic
             {"", "index.html"},
             {"player.html", "index.html"},                // no such page
             {"../Help/timeline.html", "index.html"},      // outside the help folder
             {"/etc/passwd", "index.html"},
             {"Commands", "index.html"}}) {                // a folder, not a page
        EXPECT_EQ(HelpPageFile(Help, Case.Topic), Help + Case.Page) << Case.Topic;
    }
}

TEST(HelpPages, TheBrowserIsGivenAFileUrlOfThePageEscapedForBlanksAndNonAscii) {
    EXPECT_EQ(FileUrl("/opt/My Help/ä.html"), "file:///opt/My%20Help/%C3%A4.html");
    EXPECT_EQ(FileUrl("/a/b-c_d.e~/%#?"), "file:///a/b-c_d.e~/%25%23%3F");

    RestoreTextTable();
    TTempFolder Folder;
    std::string Help = Folder.Path("Help Pages") + "/";
    fs::create_directories(Help);
    std::ofstream(Help + "index.html") << "start";
    std::ofstream(Help + "timeline.html") << "timeline";
    THeadlessWindowSystem System;
    ShowHelp(System, Help, HelpContextOf("timeline.html"));
    ShowHelp(System, Help, 0);
    ASSERT_EQ(System.OpenedDocuments().size(), 2u);
    EXPECT_EQ(System.OpenedDocuments()[0], FileUrl(Help + "timeline.html"));
    EXPECT_EQ(System.OpenedDocuments()[1], FileUrl(Help + "index.html"));
}

// The pages the build copies beside the program: every page the main
// window opens exists, and every link between the pages leads to one.
TEST(HelpPages, TheShippedPagesCoverTheWindowsTopicsAndTheirLinksResolve) {
    RestoreTextTable();
    const std::string Help = QM_SHIPPED_HELP;
    for (std::string_view Topic : {TimelineHelpTopic, PlayerHelpTopic})
        EXPECT_EQ(HelpPageFile(Help, Topic), Help + std::string(Topic));
    ASSERT_TRUE(fs::exists(Help + GetText(TTextSlot::HelpFileName)));
    const std::regex Link("href=\"([^\"#:]+)\"");
    int32_t Pages = 0;
    for (const auto& Entry : fs::directory_iterator(Help)) {
        if (Entry.path().extension() != ".html")
            continue;
        ++Pages;
        std::string Text = ReadText(Entry.path().string());
        EXPECT_NE(Text.find("<title>"), std::string::npos) << Entry.path();
        for (auto Match = std::sregex_iterator(Text.begin(), Text.end(), Link); Match != std::sregex_iterator();
             ++Match)
            EXPECT_TRUE(fs::exists(Help + (*Match)[1].str())) << Entry.path() << " links to " << (*Match)[1];
    }
    EXPECT_GE(Pages, 6);
}
