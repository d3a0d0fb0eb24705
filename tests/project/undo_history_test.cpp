#include "project/undo_history.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/track.h"
#include "project/track_settings.h"
#include "project/undo_group.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using TSteps = std::vector<std::string>;

// What the test records did, in order, and which of them were freed.
struct TLog {
    TSteps Steps;
    TSteps Freed;
};

// The state a record's Prepare hands to its Finish.
class TMarker : public TObject {
public:
    explicit TMarker(std::string Of) : Name(std::move(Of)) {}
    std::string Name;
};

// A record covering one integer: it holds the cell's other value and swaps it
// with the live one. It logs each step and can be told to fail in one.
class TCellUndo : public TUndo {
public:
    TCellUndo(TLog& Log, int& Cell, std::string Name, std::string Text = {})
        : TUndo(std::move(Text)), FLog(Log), FCell(Cell), FName(std::move(Name)), FValue(Cell) {}
    ~TCellUndo() override { FLog.Freed.push_back(FName); }

    const std::string& Name() const { return FName; }
    std::string FailIn;

protected:
    void Prepare(TUndoState& State) override {
        Step("Prepare");
        State = std::make_unique<TMarker>(FName);
    }
    void Exchange() override {
        Step("Exchange");
        std::swap(FCell, FValue);
    }
    void Finish(TUndoState& State) override {
        auto* Marker = dynamic_cast<TMarker*>(State.get());
        Step("Finish");
        // Each record must get back the state it prepared.
        if (!Marker || Marker->Name != FName)
            FLog.Steps.push_back("wrong state for " + FName);
    }

private:
    void Step(const std::string& What) {
        FLog.Steps.push_back(What + " " + FName);
        if (FailIn == What)
            throw std::runtime_error(What + " " + FName + " failed");
    }

    TLog& FLog;
    int& FCell;
    std::string FName;
    int FValue;
};

// Collects the history's notifications and what it looked like at each.
class THistoryRecorder {
public:
    explicit THistoryRecorder(TUndoHistory& History) : FHistory(History) {
        FHistory.Changes().AddChangeHandler(MakeDelegate<&THistoryRecorder::Changed>(this));
    }
    ~THistoryRecorder() {
        FHistory.Changes().RemoveChangeHandler(MakeDelegate<&THistoryRecorder::Changed>(this));
    }
    void Changed(TObject* Sender, TUndoChangeFlags Flags) {
        EXPECT_EQ(Sender, &FHistory);
        EXPECT_EQ(Flags, UndoChangeAll);
        // Listeners see the history at rest, so the commands they refresh
        // get their final state.
        EXPECT_FALSE(FHistory.Locked());
        EXPECT_FALSE(FHistory.Replaying());
        Currents.push_back(FHistory.Current());
    }
    int Count() const { return static_cast<int>(Currents.size()); }

    std::vector<int32_t> Currents;

private:
    TUndoHistory& FHistory;
};

class UndoHistoryTest : public ::testing::Test {
protected:
    // The way an editing operation works: the record first, holding the old
    // value, then the change.
    TCellUndo* Edit(int NewValue, const std::string& Name, const std::string& Text = {}) {
        auto* Record = static_cast<TCellUndo*>(
            History.Add(std::make_unique<TCellUndo>(Log, Cell, Name, Text)));
        Cell = NewValue;
        return Record;
    }
    std::string NameAt(int32_t Index) const {
        auto* Record = dynamic_cast<TCellUndo*>(History.Record(Index));
        return Record ? Record->Name() : "not a single record";
    }

    int Cell = 0;
    TLog Log;
    TUndoHistory History;
};

TEST_F(UndoHistoryTest, EmptyHistoryHasNothingToUndoOrRedo) {
    THistoryRecorder Recorder(History);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(History.Current(), -1);
    EXPECT_FALSE(History.CanUndo());
    EXPECT_FALSE(History.CanRedo());
    History.Undo();
    History.Redo();
    History.ClearUndo();
    EXPECT_EQ(History.UndoText(), "");
    EXPECT_EQ(History.RedoText(), "");
    EXPECT_EQ(Recorder.Count(), 0);
}

TEST_F(UndoHistoryTest, UndoAndRedoWalkTheStepsAndStopAtTheEnds) {
    Edit(1, "A", "First");
    Edit(2, "B", "Second");
    EXPECT_EQ(History.Current(), 1);
    EXPECT_EQ(History.UndoText(), "Second");
    EXPECT_FALSE(History.CanRedo());

    History.Undo();
    EXPECT_EQ(Cell, 1);
    EXPECT_EQ(History.Current(), 0);
    EXPECT_EQ(History.UndoText(), "First");
    EXPECT_EQ(History.RedoText(), "Second");
    History.Undo();
    EXPECT_EQ(Cell, 0);
    EXPECT_FALSE(History.CanUndo());
    History.Undo();
    EXPECT_EQ(Cell, 0);
    EXPECT_EQ(History.Current(), -1);

    History.Redo();
    History.Redo();
    EXPECT_EQ(Cell, 2);
    EXPECT_FALSE(History.CanRedo());
    History.Redo();
    EXPECT_EQ(Cell, 2);
    EXPECT_EQ(History.Current(), 1);
    EXPECT_EQ(History.Count(), 2);
    EXPECT_TRUE(Log.Freed.empty());
}

TEST_F(UndoHistoryTest, RecordingAfterUndoDiscardsTheUndoneSteps) {
    Edit(1, "A");
    Edit(2, "B");
    History.Undo();
    Edit(3, "C");
    ASSERT_EQ(History.Count(), 2);
    EXPECT_EQ(NameAt(0), "A");
    EXPECT_EQ(NameAt(1), "C");
    EXPECT_EQ(History.Current(), 1);
    EXPECT_FALSE(History.CanRedo());
    EXPECT_EQ(Log.Freed, TSteps{"B"});
    History.Undo();
    History.Undo();
    EXPECT_EQ(Cell, 0);
}

TEST_F(UndoHistoryTest, ThereIsNoLimitOnTheNumberOfSteps) {
    const int Steps = 5000;
    for (int I = 1; I <= Steps; ++I)
        Edit(I, "E");
    EXPECT_EQ(History.Count(), Steps);
    while (History.CanUndo())
        History.Undo();
    EXPECT_EQ(Cell, 0);
    while (History.CanRedo())
        History.Redo();
    EXPECT_EQ(Cell, Steps);
    EXPECT_TRUE(Log.Freed.empty());
}

TEST_F(UndoHistoryTest, StepsBelongToTheHistoryAndRecordsToTheirGroup) {
    Edit(1, "A");
    History.BeginGroup("Group");
    TCellUndo* B = Edit(2, "B");
    TCellUndo* C = Edit(3, "C");
    EXPECT_EQ(B->Owner(), History.Group());
    History.EndGroup();
    EXPECT_EQ(History.Record(0)->Owner(), &History);
    EXPECT_EQ(History.Record(1)->Owner(), &History);
    EXPECT_EQ(C->Owner(), History.Record(1));
}

// Groups.

TEST_F(UndoHistoryTest, GroupOfThreeUndoesInReverseAndRedoesInOrder) {
    History.BeginGroup("Move");
    Edit(1, "A");
    Edit(2, "B", "Own text");
    Edit(3, "C");
    History.EndGroup();
    ASSERT_EQ(History.Count(), 1);
    auto* Group = dynamic_cast<TUndoGroup*>(History.Record(0));
    ASSERT_NE(Group, nullptr);
    ASSERT_EQ(Group->Count(), 3);
    EXPECT_EQ(Group->Text(), "Move");
    EXPECT_EQ(Group->Record(0)->Text(), "Move");
    EXPECT_EQ(Group->Record(1)->Text(), "Own text");
    EXPECT_EQ(History.UndoText(), "Move");

    History.Undo();
    EXPECT_EQ(Cell, 0);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare C", "Prepare B", "Prepare A", "Exchange C", "Exchange B",
                                 "Exchange A", "Finish A", "Finish B", "Finish C"}));
    Log.Steps.clear();
    History.Redo();
    EXPECT_EQ(Cell, 3);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare A", "Prepare B", "Prepare C", "Exchange A", "Exchange B",
                                 "Exchange C", "Finish C", "Finish B", "Finish A"}));
}

TEST_F(UndoHistoryTest, GroupOfOneRecordBecomesThatRecord) {
    History.BeginGroup("Group text");
    TCellUndo* Only = Edit(1, "A");
    History.EndGroup();
    ASSERT_EQ(History.Count(), 1);
    EXPECT_EQ(History.Record(0), Only);
    EXPECT_EQ(Only->Owner(), &History);
    EXPECT_EQ(Only->Text(), "Group text");
    EXPECT_FALSE(History.GroupOpen());
    History.Undo();
    EXPECT_EQ(Cell, 0);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare A", "Exchange A", "Finish A"}));
}

TEST_F(UndoHistoryTest, EmptyGroupLeavesNoStepAndKeepsTheUndoneSteps) {
    Edit(1, "A");
    Edit(2, "B");
    History.Undo();
    THistoryRecorder Recorder(History);
    History.BeginGroup("Nothing");
    History.EndGroup();
    EXPECT_EQ(History.Count(), 2);
    EXPECT_EQ(History.Current(), 0);
    EXPECT_TRUE(History.CanRedo());
    EXPECT_TRUE(Log.Freed.empty());
    EXPECT_EQ(Recorder.Count(), 0);
    History.Redo();
    EXPECT_EQ(Cell, 2);
}

TEST_F(UndoHistoryTest, InnerGroupJoinsTheOuterOneSoTheActionStaysOneStep) {
    History.BeginGroup("Outer");
    Edit(1, "A");
    History.BeginGroup("Inner");
    Edit(2, "B");
    History.EndGroup();
    EXPECT_TRUE(History.GroupOpen());
    EXPECT_EQ(History.GroupDepth(), 1);
    Edit(3, "C");
    History.EndGroup();
    EXPECT_FALSE(History.GroupOpen());
    History.EndGroup(); // one too many: nothing is open
    ASSERT_EQ(History.Count(), 1);
    auto* Group = dynamic_cast<TUndoGroup*>(History.Record(0));
    ASSERT_NE(Group, nullptr);
    EXPECT_EQ(Group->Count(), 3);
    EXPECT_EQ(Group->Text(), "Outer");
    EXPECT_EQ(Group->Record(1)->Text(), "Outer");
    History.Undo();
    EXPECT_EQ(Cell, 0);
    EXPECT_FALSE(History.CanUndo());
}

TEST_F(UndoHistoryTest, NestedGuardsKeepTheOuterActionOneStep) {
    {
        TUndoGroupGuard Outer(History, "Outer");
        Edit(1, "A");
        {
            TUndoGroupGuard Inner(History, "Inner");
            Edit(2, "B");
        }
        EXPECT_TRUE(History.GroupOpen());
        Edit(3, "C");
    }
    EXPECT_FALSE(History.GroupOpen());
    ASSERT_EQ(History.Count(), 1);
    auto* Group = dynamic_cast<TUndoGroup*>(History.Record(0));
    ASSERT_NE(Group, nullptr);
    EXPECT_EQ(Group->Count(), 3);
    EXPECT_EQ(Group->Record(1)->Text(), "Outer");
    History.Undo();
    EXPECT_EQ(Cell, 0);
}

TEST_F(UndoHistoryTest, StepAddedDirectlyClosesAnOpenGroupFirst) {
    History.BeginGroup("Group");
    History.BeginGroup("Inner");
    Edit(1, "A");
    Edit(2, "B");
    History.UndoAdd(std::make_unique<TCellUndo>(Log, Cell, "C", "Own"));
    EXPECT_FALSE(History.GroupOpen());
    ASSERT_EQ(History.Count(), 2);
    EXPECT_NE(dynamic_cast<TUndoGroup*>(History.Record(0)), nullptr);
    EXPECT_EQ(NameAt(1), "C");
    EXPECT_EQ(History.Current(), 1);
    EXPECT_EQ(History.UndoText(), "Own");
    // The operations' own EndGroup calls find nothing left to close.
    History.EndGroup();
    History.EndGroup();
    EXPECT_EQ(History.Count(), 2);
}

TEST_F(UndoHistoryTest, UndoClosesAnOpenGroupAndUndoesItWhole) {
    History.BeginGroup("Drag");
    History.BeginGroup("Drag");
    Edit(1, "A");
    Edit(2, "B");
    History.Undo();
    EXPECT_FALSE(History.GroupOpen());
    EXPECT_EQ(Cell, 0);
    EXPECT_EQ(History.Count(), 1);
    EXPECT_EQ(History.Current(), -1);
    // The operation's own ends come later and find nothing to close.
    History.EndGroup();
    History.EndGroup();
    EXPECT_EQ(History.Count(), 1);
    History.Redo();
    EXPECT_EQ(Cell, 2);
}

TEST_F(UndoHistoryTest, RedoAndClearUndoCloseAnOpenGroupFirst) {
    Edit(1, "A");
    History.Undo();
    History.BeginGroup("Group");
    History.Redo(); // the empty group closes without a step; A is redone
    EXPECT_FALSE(History.GroupOpen());
    EXPECT_EQ(Cell, 1);

    History.BeginGroup("Group");
    Edit(2, "B");
    Edit(3, "C");
    History.ClearUndo();
    EXPECT_FALSE(History.GroupOpen());
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(Log.Freed, (TSteps{"C", "B", "A"}));
}

TEST_F(UndoHistoryTest, GroupGuardClosesTheGroupWhenTheActionFails) {
    try {
        TUndoGroupGuard Group(History, "Paste");
        Edit(1, "A");
        Edit(2, "B");
        throw std::runtime_error("paste failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(History.GroupOpen());
    ASSERT_EQ(History.Count(), 1);
    History.Undo();
    EXPECT_EQ(Cell, 0);
}

// Failing records.

TEST_F(UndoHistoryTest, FailingExchangeStillFinishesAndPropagates) {
    TCellUndo* A = Edit(1, "A");
    A->FailIn = "Exchange";
    THistoryRecorder Recorder(History);
    EXPECT_THROW(History.Undo(), std::runtime_error);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare A", "Exchange A", "Finish A"}));
    EXPECT_FALSE(History.Replaying());
    EXPECT_EQ(History.Current(), -1);
    EXPECT_EQ(Recorder.Currents, std::vector<int32_t>{-1});
    // The failure does not break the history: the step can be tried again.
    A->FailIn.clear();
    History.Redo();
    EXPECT_EQ(History.Current(), 0);
}

TEST_F(UndoHistoryTest, FailingRecordInAGroupStillFinishesEveryPreparedRecord) {
    History.BeginGroup("Group");
    Edit(1, "A");
    TCellUndo* B = Edit(2, "B");
    Edit(3, "C");
    History.EndGroup();

    B->FailIn = "Exchange";
    EXPECT_THROW(History.Undo(), std::runtime_error);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare C", "Prepare B", "Prepare A", "Exchange C", "Exchange B",
                                 "Finish A", "Finish B", "Finish C"}));

    // A failing Prepare: only the records prepared before it are finished.
    Log.Steps.clear();
    B->FailIn = "Prepare";
    EXPECT_THROW(History.Redo(), std::runtime_error);
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare A", "Prepare B", "Finish A"}));
    EXPECT_FALSE(History.Replaying());
}

TEST_F(UndoHistoryTest, FirstFailureOfAGroupPropagatesWhenFinishingFailsToo) {
    History.BeginGroup("Group");
    TCellUndo* A = Edit(1, "A");
    TCellUndo* B = Edit(2, "B");
    History.EndGroup();
    B->FailIn = "Exchange";
    A->FailIn = "Finish";
    std::vector<std::string> Reported;
    SetExceptionReportHandler([&](const std::exception& E) { Reported.push_back(E.what()); });
    try {
        History.Undo();
        ADD_FAILURE() << "the failure did not propagate";
    } catch (const std::runtime_error& E) {
        EXPECT_STREQ(E.what(), "Exchange B failed");
    }
    SetExceptionReportHandler(nullptr);
    EXPECT_EQ(Reported, std::vector<std::string>{"Finish A failed"});
    EXPECT_EQ(Log.Steps, (TSteps{"Prepare B", "Prepare A", "Exchange B", "Finish A", "Finish B"}));
}

// Locked and replaying states.

// A record that, when freed, tries every operation that changes the list.
class TReentrantUndo : public TUndo {
public:
    TReentrantUndo(TUndoHistory& History, std::vector<std::string>& Messages)
        : TUndo("Reentrant"), FHistory(History), FMessages(Messages) {}
    ~TReentrantUndo() override {
        FCouldUndo = FHistory.CanUndo();
        Try([&] { FHistory.UndoAdd(std::make_unique<TUndo>("Late")); });
        Try([&] { FHistory.Undo(); });
        Try([&] { FHistory.Redo(); });
        Try([&] { FHistory.UndoRemove(this); });
        Try([&] { FHistory.ClearUndo(); });
        Try([&] { FHistory.BeginGroup("Late"); });
        if (FCouldUndo)
            FMessages.push_back("CanUndo while locked");
    }

private:
    template <class TWork>
    void Try(TWork&& Work) {
        try {
            Work();
            FMessages.push_back("not refused");
        } catch (const EError& E) {
            FMessages.push_back(E.what());
        }
    }

    TUndoHistory& FHistory;
    std::vector<std::string>& FMessages;
    bool FCouldUndo = false;
};

const std::vector<std::string> LockedMessages = {
    "TUndoHistory is locked when calling UndoAdd",
    "TUndoHistory is locked when calling Undo",
    "TUndoHistory is locked when calling Redo",
    "TUndoHistory is locked when calling UndoRemove",
    "TUndoHistory is locked when calling ClearUndo",
    "TUndoHistory is locked when calling UndoAdd",
};

TEST_F(UndoHistoryTest, ClearingRefusesEveryChangeMadeWhileItFreesTheSteps) {
    std::vector<std::string> Messages;
    Edit(1, "A");
    History.Add(std::make_unique<TReentrantUndo>(History, Messages));
    History.ClearUndo();
    EXPECT_EQ(Messages, LockedMessages);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(History.Current(), -1);
    EXPECT_FALSE(History.Locked());
    EXPECT_EQ(Log.Freed, TSteps{"A"});
}

TEST_F(UndoHistoryTest, DiscardingTheUndoneStepsRefusesChangesFromThem) {
    std::vector<std::string> Messages;
    Edit(1, "A");
    History.Add(std::make_unique<TReentrantUndo>(History, Messages));
    History.Undo();
    Edit(2, "B");
    EXPECT_EQ(Messages, LockedMessages);
    ASSERT_EQ(History.Count(), 2);
    EXPECT_EQ(NameAt(1), "B");
    EXPECT_EQ(History.Current(), 1);
}

// A record that, while it is replayed, tries to record and to replay.
class TReplayProbe : public TUndo {
public:
    TReplayProbe(TUndoHistory& History, std::vector<std::string>& Seen)
        : TUndo("Probe"), FHistory(History), FSeen(Seen) {}

protected:
    void Exchange() override {
        FSeen.push_back(FHistory.Replaying() ? "replaying" : "not replaying");
        FSeen.push_back(FHistory.CanUndo() || FHistory.CanRedo() ? "can replay" : "cannot replay");
        FHistory.BeginGroup("Nested");
        TUndo* Made = FHistory.Add(std::make_unique<TUndo>("Made while replaying"));
        FHistory.EndGroup();
        FSeen.push_back(Made ? "recorded" : "dropped");
        for (auto Replay : {&TUndoHistory::Undo, &TUndoHistory::Redo, &TUndoHistory::ClearUndo}) {
            try {
                (FHistory.*Replay)();
                FSeen.push_back("not refused");
            } catch (const EError& E) {
                FSeen.push_back(E.what());
            }
        }
    }

private:
    TUndoHistory& FHistory;
    std::vector<std::string>& FSeen;
};

TEST_F(UndoHistoryTest, ReplayingRecordsNothingAndRefusesToReplayAgain) {
    std::vector<std::string> Seen;
    Edit(1, "A");
    History.Add(std::make_unique<TReplayProbe>(History, Seen));
    History.Undo();
    EXPECT_EQ(Seen, (std::vector<std::string>{"replaying", "cannot replay", "dropped",
                                              "TUndoHistory is locked when calling Undo",
                                              "TUndoHistory is locked when calling Redo",
                                              "TUndoHistory is locked when calling ClearUndo"}));
    EXPECT_FALSE(History.Replaying());
    EXPECT_FALSE(History.GroupOpen());
    EXPECT_EQ(History.Count(), 2);
    EXPECT_EQ(History.Current(), 0);
    EXPECT_EQ(Cell, 1);
}

// Clearing and removing.

TEST_F(UndoHistoryTest, ClearingFreesEveryStepUndoneOnesIncluded) {
    // Clearing comes with a new or opened project: steps that were undone
    // refer to the old one and must not be redone into the new one.
    Edit(1, "A");
    Edit(2, "B");
    History.Undo();
    History.Undo();
    THistoryRecorder Recorder(History);
    History.ClearUndo();
    EXPECT_EQ(History.Count(), 0);
    EXPECT_EQ(History.Current(), -1);
    EXPECT_FALSE(History.CanRedo());
    EXPECT_EQ(Log.Freed, (TSteps{"B", "A"}));
    EXPECT_EQ(Recorder.Currents, std::vector<int32_t>{-1});
    History.Redo();
    EXPECT_EQ(Cell, 0);
}

TEST_F(UndoHistoryTest, DestroyingTheHistoryFreesItsStepsAndAnOpenGroup) {
    TLog Local;
    {
        TUndoHistory Short;
        Short.Add(std::make_unique<TCellUndo>(Local, Cell, "A"));
        Short.Add(std::make_unique<TCellUndo>(Local, Cell, "B"));
        Short.Undo();
        Short.BeginGroup("Open");
        Short.Add(std::make_unique<TCellUndo>(Local, Cell, "C"));
    }
    EXPECT_EQ(Local.Freed, (TSteps{"C", "B", "A"}));
}

TEST_F(UndoHistoryTest, RemovedStepIsHandedOverAndThePositionFollows) {
    TCellUndo* A = Edit(1, "A");
    Edit(2, "B");
    TCellUndo* C = Edit(3, "C");
    History.Undo();
    THistoryRecorder Recorder(History);

    std::unique_ptr<TUndoObject> Removed = History.UndoRemove(C);
    EXPECT_EQ(Removed.get(), C);
    EXPECT_EQ(C->Owner(), nullptr);
    EXPECT_EQ(History.Current(), 1);
    EXPECT_FALSE(History.CanRedo());

    Removed = History.UndoRemove(A);
    EXPECT_EQ(History.Current(), 0);
    EXPECT_EQ(NameAt(0), "B");
    EXPECT_EQ(Log.Freed, TSteps{"C"}); // the caller frees what it took
    EXPECT_EQ(Recorder.Count(), 2);

    EXPECT_EQ(History.UndoRemove(A), nullptr);
    EXPECT_EQ(Recorder.Count(), 2);
}

TEST_F(UndoHistoryTest, OpenGroupCanBeRemovedOnlyWhenItClosesAsAGroup) {
    History.BeginGroup("Single");
    Edit(1, "A");
    TUndoGroup* Single = History.Group();
    EXPECT_EQ(History.UndoRemove(Single), nullptr); // it closed as its record
    EXPECT_EQ(History.Count(), 1);

    History.BeginGroup("Pair");
    Edit(2, "B");
    Edit(3, "C");
    TUndoGroup* Pair = History.Group();
    std::unique_ptr<TUndoObject> Removed = History.UndoRemove(Pair);
    EXPECT_EQ(Removed.get(), Pair);
    EXPECT_EQ(History.Count(), 1);
    EXPECT_EQ(History.Current(), 0);
}

// Notifications and captions.

TEST_F(UndoHistoryTest, EachOperationNotifiesOnceWithTheFinalPosition) {
    THistoryRecorder Recorder(History);
    Edit(1, "A");
    EXPECT_EQ(Recorder.Currents, std::vector<int32_t>{0});

    History.BeginGroup("Group");
    Edit(2, "B");
    History.BeginGroup("Inner");
    Edit(3, "C");
    History.EndGroup();
    Edit(4, "D");
    EXPECT_EQ(Recorder.Count(), 1); // nothing until the group closes
    History.EndGroup();
    EXPECT_EQ(Recorder.Currents, (std::vector<int32_t>{0, 1}));

    History.Undo();
    History.Redo();
    History.Undo();
    EXPECT_EQ(Recorder.Currents, (std::vector<int32_t>{0, 1, 0, 1, 0}));
    History.ClearUndo();
    EXPECT_EQ(Recorder.Currents, (std::vector<int32_t>{0, 1, 0, 1, 0, -1}));
}

TEST_F(UndoHistoryTest, CaptionsNameTheStepToReplayOrNothing) {
    const std::string Bare = FormatMessageText(GetText(TTextSlot::UndoCaption), "");
    const std::string BareRedo = FormatMessageText(GetText(TTextSlot::RedoCaption), "");
    EXPECT_EQ(History.UndoCaption(), Bare);
    EXPECT_EQ(History.RedoCaption(), BareRedo);
    EXPECT_EQ(Bare.find('%'), std::string::npos);

    Edit(1, "A", "Volume");
    EXPECT_EQ(History.UndoCaption(), FormatMessageText(GetText(TTextSlot::UndoCaption), "Volume"));
    EXPECT_NE(History.UndoCaption().find("Volume"), std::string::npos);
    EXPECT_NE(History.UndoCaption(), Bare);
    EXPECT_EQ(History.RedoCaption(), BareRedo);

    History.Undo();
    EXPECT_EQ(History.UndoCaption(), Bare);
    EXPECT_EQ(History.RedoCaption(), FormatMessageText(GetText(TTextSlot::RedoCaption), "Volume"));
    EXPECT_NE(History.RedoCaption().find("Volume"), std::string::npos);
    EXPECT_NE(History.UndoCaption(), History.RedoCaption());
}

// The application's history and the project.

class ProjectHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProjectDefaults().SetBuiltIn();
        Project->New();
    }
    void TearDown() override {
        History.ClearUndo();
        std::filesystem::remove(File);
    }

    TUndoHistory& History = UndoHistory();
    TRefPtr<TProject> Project{new TProject};
    std::string File =
        (std::filesystem::temp_directory_path() /
         ("quillmoor-undo-" +
          std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".qmp"))
            .string();
};

TEST_F(ProjectHistoryTest, NewProjectStartsWithAnEmptyHistory) {
    Project->Track(0)->Mute()->SetValue(true);
    Project->Track(1)->Volume()->SetValue(10);
    History.Undo();
    History.Undo();
    ASSERT_TRUE(History.CanRedo());
    Project->New();
    EXPECT_EQ(History.Count(), 0);
    EXPECT_FALSE(History.CanRedo());
}

TEST_F(ProjectHistoryTest, OpeningAProjectClearsTheHistoryButAFailedOpenKeepsIt) {
    Project->SaveToFile(File);
    Project->Track(0)->Mute()->SetValue(true);
    EXPECT_THROW(Project->LoadFromFile(File + ".missing"), EError);
    EXPECT_EQ(History.Count(), 1);
    EXPECT_TRUE(Project->Track(0)->Mute()->Value());

    Project->LoadFromFile(File);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_FALSE(Project->Track(0)->Mute()->Value());
}

} // namespace
