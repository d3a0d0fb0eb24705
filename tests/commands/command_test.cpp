#include "commands/command.h"

#include "commands/command_category.h"
#include "commands/command_list.h"
#include "commands/help_topics.h"
#include "core/changes.h"
#include "platform/keys.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A registry of its own with a listener that records every notification.
class CommandTest : public testing::Test {
protected:
    CommandTest() { List.Changes().AddChangeHandler(MakeDelegate<&CommandTest::Changed>(this)); }
    void Changed(TObject*, TCommandChangeFlags Flags) { Reports.push_back(Flags); }

    TCommand* Make(std::string_view Id, std::vector<uint16_t> Defaults = {},
                   TCommandCategory* Category = nullptr) {
        return new TCommand(List, Category, Id, Id, "", "", Defaults,
                            MakeDelegate<&CommandTest::Executed>(this),
                            MakeDelegate<&CommandTest::Updated>(this));
    }
    void Executed(TCommand* Command, TObject* Sender) { Executions.push_back({Command, Sender}); }
    void Updated(TCommand* Command) {
        Updates.push_back(Command);
        Command->SetChecked(!Command->Checked());
        Command->SetEnabled(!Command->Enabled());
    }

    TCommandList List;
    std::vector<TCommandChangeFlags> Reports;
    std::vector<std::pair<TCommand*, TObject*>> Executions;
    std::vector<TCommand*> Updates;
};

TEST_F(CommandTest, NewCommandTakesItsStateFromItsArguments) {
    TCommand* Save = new TCommand(List, nullptr, "File|SaveAs", "Save &As && Close", "Saves",
                                  "Commands/File/SaveAs.htm", {0x4053, 0, 0x4053});
    EXPECT_EQ(Save->Name(), "Save As & Close");
    EXPECT_EQ(Save->Caption(), "Save &As && Close");
    EXPECT_EQ(Save->Index(), 0);
    EXPECT_EQ(Save->List(), &List);
    EXPECT_TRUE(Save->IsOn() && Save->Enabled() && Save->Visible());
    EXPECT_FALSE(Save->Checked() || Save->IsAlwaysOn() || Save->AutoRepeat());
    EXPECT_NE(Save->HelpContext(), 0);
    EXPECT_EQ(HelpTopicOf(Save->HelpContext()), "Commands/File/SaveAs.htm");
    // Zeros and repeats in the defaults are no shortcuts.
    EXPECT_EQ(Save->ShortCuts().Defaults(), std::vector<uint16_t>{0x4053});
    EXPECT_EQ(Save->ShortCuts().Count(), 1);
    EXPECT_EQ(Reports, std::vector<TCommandChangeFlags>{CommandChangeRegistry});
}

TEST_F(CommandTest, HelpTopicsAreNumberedOnFirstUse) {
    int32_t First = HelpContextOf("Test/HelpTopics/First.htm");
    int32_t Second = HelpContextOf("Test/HelpTopics/Second.htm");
    EXPECT_EQ(Second, First + 1);
    EXPECT_EQ(HelpContextOf("TEST/HelpTopics/first.htm"), First);
    EXPECT_EQ(HelpContextOf(""), 0);
    EXPECT_EQ(HelpTopicOf(0), "");
    EXPECT_EQ(HelpTopicOf(Second + 1000), "");
    EXPECT_EQ(HelpTopicOf(-1), "");
}

TEST_F(CommandTest, ShortCutListKeepsOrderAndRejectsZeroAndRepeats) {
    TCommand* Open = Make("File|Open", {0x404F, KeyF1 + 2});
    TCommandShortCuts& Keys = Open->ShortCuts();
    EXPECT_EQ(Keys.Count(), 2);
    EXPECT_EQ(Keys.Get(0), 0x404F);
    Reports.clear();
    Keys.Add(0);
    Keys.Add(0x404F);
    Keys.Remove(0x1234);
    EXPECT_TRUE(Reports.empty());
    EXPECT_EQ(Keys.Get(5), 0);
    EXPECT_EQ(Keys.Get(-1), 0);

    Keys.Remove(0x404F);
    EXPECT_EQ(Keys.Count(), 1);
    EXPECT_EQ(Keys.Get(0), KeyF1 + 2);
    Keys.Add(0x4058);
    EXPECT_EQ(Keys.IndexOf(0x4058), 1);
    EXPECT_EQ(Reports,
              (std::vector<TCommandChangeFlags>{CommandChangeShortCuts, CommandChangeShortCuts}));
    Keys.Reset();
    EXPECT_EQ(Keys.Count(), 2);
    EXPECT_EQ(Keys.Get(0), 0x404F);
    EXPECT_EQ(Keys.Get(1), KeyF1 + 2);
}

TEST_F(CommandTest, SettersReportOnlyRealChangesAndMergeInAnOuterBracket) {
    TCommand* Cut = Make("Edit|Cut");
    Reports.clear();
    Cut->SetCaption("Cu&t");
    Cut->SetCaption("Cu&t");
    Cut->SetHint("Cut|Cuts the selection");
    Cut->SetName("Cut it");
    Cut->SetVisible(false);
    Cut->SetHelpTopic("Commands/Edit/Cut.htm");
    EXPECT_EQ(Cut->Name(), "Cut it");
    EXPECT_EQ(Reports, (std::vector<TCommandChangeFlags>{CommandChangeCaption, CommandChangeHint,
                                                         CommandChangeName, CommandChangeVisible,
                                                         CommandChangeHelpContext}));
    Reports.clear();
    {
        TUpdateGuard Guard(List.Changes());
        Cut->SetChecked(true);
        Cut->SetEnabled(false);
        Cut->TurnOff();
    }
    EXPECT_EQ(Reports, std::vector<TCommandChangeFlags>{CommandChangeChecked |
                                                        CommandChangeEnabled | CommandChangeIsOn});
}

TEST_F(CommandTest, AlwaysOnCommandCannotBeTurnedOff) {
    TCommand* Designer = Make("View|Designer");
    Designer->TurnOff();
    EXPECT_FALSE(Designer->IsOn());
    Designer->SetIsAlwaysOn(true);
    EXPECT_TRUE(Designer->IsOn());
    Reports.clear();
    Designer->TurnOff();
    Designer->SetIsOn(false);
    EXPECT_TRUE(Designer->IsOn());
    EXPECT_TRUE(Reports.empty());
}

TEST_F(CommandTest, ExecuteRunsOnlyWhenOnAndEnabled) {
    TCommand* Play = Make("Player|Play");
    TCommandList Sender;
    Play->Execute(&Sender);
    Play->SetEnabled(false);
    Play->Execute(&Sender);
    Play->SetEnabled(true);
    Play->TurnOff();
    Play->Execute(&Sender);
    ASSERT_EQ(Executions.size(), 1u);
    EXPECT_EQ(Executions[0].first, Play);
    EXPECT_EQ(Executions[0].second, &Sender);
}

TEST_F(CommandTest, UpdateReportsTheHandlersChangesAsOne) {
    TCommand* Paste = Make("Edit|Paste");
    Reports.clear();
    Paste->Update();
    EXPECT_EQ(Updates, std::vector<TCommand*>{Paste});
    EXPECT_EQ(Reports,
              std::vector<TCommandChangeFlags>{CommandChangeChecked | CommandChangeEnabled});
}

TEST_F(CommandTest, TargetIsReleasedFromTheCommandsAimedAtIt) {
    TCommand* Delete = Make("Local|Delete");
    TCommand* Split = Make("Local|Split");
    TCommandList Clip, Other;
    Delete->SetTarget(&Clip);
    Split->SetTarget(&Other);
    EXPECT_EQ(Updates, (std::vector<TCommand*>{Delete, Split}));
    Reports.clear();
    List.ReleaseTarget(&Clip);
    List.ReleaseTarget(nullptr);
    EXPECT_EQ(Delete->Target(), nullptr);
    EXPECT_EQ(Split->Target(), &Other);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_TRUE(Any(Reports[0] & CommandChangeTarget));
}

TEST_F(CommandTest, CategoriesLetGoOfTheirCommands) {
    TCommandCategory Root(nullptr, "");
    auto* File = new TCommandCategory(&Root, "File");
    auto* Recent = new TCommandCategory(File, "Recent");
    auto* Edit = new TCommandCategory(&Root, "Edit");
    TCommand* New = Make("File|New", {}, File);
    auto* Reopen = new TCommand(List, Recent, "File|Recent|Reopen", "&Reopen", "", "");
    Make("Edit|Undo", {}, Edit);
    EXPECT_EQ(CommandPath(*Reopen), "File | Recent | Reopen");
    EXPECT_EQ(File->Count(), 2);

    New->Free();
    EXPECT_EQ(File->Count(), 1);
    EXPECT_EQ(File->Get(0), Recent);
    delete File;
    EXPECT_EQ(Reopen->Category(), nullptr);
    EXPECT_EQ(Reopen->List(), &List);
    EXPECT_EQ(CommandPath(*Reopen), "Reopen");
    EXPECT_EQ(Root.Count(), 1);
    EXPECT_EQ(Root.Get(0), Edit);
}

TEST(Commands, ApplicationCommandsRegisterInTheGlobalRegistry) {
    int32_t Before = CommandList().Count();
    auto* Command = new TCommand(&RootCommandCategory(), "Test|Global", "Global", "", "");
    EXPECT_EQ(CommandList().Get(Command->Index()), Command);
    EXPECT_EQ(RootCommandCategory().Get(RootCommandCategory().Count() - 1), Command);
    Command->Free();
    EXPECT_EQ(CommandList().Count(), Before);
}

} // namespace
