#include "commands/shortcut_assign.h"

#include "commands/command.h"
#include "commands/command_category.h"
#include "commands/command_list.h"
#include "core/text_table.h"
#include "platform/keys.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr uint16_t CtrlK = ShortCutCtrl | 'K';

class ShortCutAssignTest : public testing::Test {
protected:
    ShortCutAssignTest() {
        List.Changes().AddChangeHandler(MakeDelegate<&ShortCutAssignTest::Changed>(this));
    }
    void Changed(TObject*, TCommandChangeFlags Flags) { Reports.push_back(Flags); }

    TCommand* Make(TCommandCategory* Category, std::string_view Caption,
                   std::vector<uint16_t> Keys) {
        return new TCommand(List, Category, Caption, Caption, "", "", Keys);
    }
    // Answers the questions in turn and records them.
    TConflictQuestion Answers(std::vector<TConflictAnswer> Given) {
        return [this, Given](const std::string& Text) {
            Questions.push_back(Text);
            return Given[Questions.size() - 1];
        };
    }

    TCommandList List;
    TCommandCategory Root{nullptr, ""};
    TCommandCategory* Edit = new TCommandCategory(&Root, "Edit");
    std::vector<TCommandChangeFlags> Reports;
    std::vector<std::string> Questions;
};

TEST_F(ShortCutAssignTest, FreeShortCutIsAddedLastWithoutAQuestion) {
    TCommand* Cut = Make(Edit, "Cut", {0x4058});
    EXPECT_TRUE(AssignShortCut(*Cut, CtrlK, Answers({})));
    EXPECT_EQ(Cut->ShortCuts().Get(1), CtrlK);
    EXPECT_TRUE(Questions.empty());
    // Assigning a shortcut the command has moves it to the end.
    EXPECT_TRUE(AssignShortCut(*Cut, 0x4058, Answers({})));
    EXPECT_EQ(Cut->ShortCuts().Get(0), CtrlK);
    EXPECT_EQ(Cut->ShortCuts().Get(1), 0x4058);
    EXPECT_FALSE(AssignShortCut(*Cut, ShortCutShift | KeyShift, Answers({})));
    EXPECT_EQ(Cut->ShortCuts().Count(), 2);
}

TEST_F(ShortCutAssignTest, QuestionNamesTheOtherCommandByItsPath) {
    auto* Browser = new TCommandCategory(Edit, "Browser");
    TCommand* Other = Make(Browser, "&New Folder", {CtrlK});
    TCommand* Cut = Make(Edit, "Cut", {});
    EXPECT_TRUE(AssignShortCut(*Cut, CtrlK, Answers({TConflictAnswer::Yes})));
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], GetText(TTextSlot::ShortCutConflictQuestion) +
                                "\r\n'Edit | Browser | New Folder'\r\n" +
                                GetText(TTextSlot::ShortCutConflictRemove));
    EXPECT_EQ(Other->ShortCuts().Count(), 0);
    EXPECT_EQ(Cut->ShortCuts().Get(0), CtrlK);
}

TEST_F(ShortCutAssignTest, AnswersDecideWhoKeepsTheShortCutAndReportAsOne) {
    TCommand* Kept = Make(Edit, "Kept", {CtrlK});
    TCommand* Taken = Make(Edit, "Taken", {CtrlK, 0x70});
    TCommand* Target = Make(Edit, "Target", {});
    Reports.clear();
    EXPECT_TRUE(
        AssignShortCut(*Target, CtrlK, Answers({TConflictAnswer::No, TConflictAnswer::Yes})));
    EXPECT_EQ(Kept->ShortCuts().IndexOf(CtrlK), 0);
    EXPECT_EQ(Taken->ShortCuts().IndexOf(CtrlK), -1);
    EXPECT_EQ(Target->ShortCuts().IndexOf(CtrlK), 0);
    EXPECT_EQ(Reports, std::vector<TCommandChangeFlags>{CommandChangeShortCuts});
}

TEST_F(ShortCutAssignTest, CancelKeepsEarlierRemovalsAndAddsNothing) {
    TCommand* First = Make(Edit, "First", {CtrlK});
    TCommand* Second = Make(Edit, "Second", {CtrlK});
    TCommand* Target = Make(Edit, "Target", {});
    EXPECT_FALSE(
        AssignShortCut(*Target, CtrlK, Answers({TConflictAnswer::Yes, TConflictAnswer::Cancel})));
    EXPECT_EQ(First->ShortCuts().Count(), 0);
    EXPECT_EQ(Second->ShortCuts().Count(), 1);
    EXPECT_EQ(Target->ShortCuts().Count(), 0);
    EXPECT_EQ(List.Changes().UpdateCount(), 0);
}

TEST_F(ShortCutAssignTest, CancelledFormAssignsNothing) {
    TCommand* Target = Make(Edit, "Target", {});
    auto Press = [](uint16_t Key) { return [Key](TShortCutForm& Form) { Form.KeyDown(Key); }; };
    EXPECT_FALSE(AssignShortCut(*Target, Press(KeyEscape), Answers({})));
    EXPECT_TRUE(AssignShortCut(*Target, Press(CtrlK), Answers({})));
    EXPECT_EQ(Target->ShortCuts().Get(0), CtrlK);
}

} // namespace
