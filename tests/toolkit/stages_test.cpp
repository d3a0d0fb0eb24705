#include "toolkit/docking/stages.h"

#include "core/data.h"
#include "core/delegate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the registry reports, and can switch again from inside its
// change handler.
struct TStageListener {
    TStages* Registry = nullptr;
    std::vector<std::string> Log;
    int32_t SwitchToOnChange = 0;

    void Begin(TObject* /*Sender*/) { Log.push_back("begin"); }
    void End(TObject* /*Sender*/) { Log.push_back("end"); }
    void Changed(TObject* /*Sender*/, TStageChangeFlags Flags) {
        Log.push_back("change " + std::to_string(uint32_t(Flags)) + " current " +
                      std::to_string(Registry->Current().Id()));
        if (SwitchToOnChange != 0)
            Registry->SetCurrent(*Registry->FindById(SwitchToOnChange));
    }
    void Listen(TStages& Stages) {
        Registry = &Stages;
        Stages.Changes().AddBeginHandler(MakeDelegate<&TStageListener::Begin>(this));
        Stages.Changes().AddEndHandler(MakeDelegate<&TStageListener::End>(this));
        Stages.Changes().AddChangeHandler(MakeDelegate<&TStageListener::Changed>(this));
    }
};

int32_t CurrentCount(const TStages& Stages) {
    int32_t Count = 0;
    for (int32_t I = 0; I < Stages.Count(); ++I)
        Count += Stages.Stage(I).IsCurrent() ? 1 : 0;
    return Count;
}

} // namespace

TEST(Stages, SevenStagesWithIdsOneToSevenAndTheFirstCurrent) {
    TStages Stages;
    ASSERT_EQ(Stages.Count(), 7);
    for (int32_t I = 0; I < Stages.Count(); ++I) {
        EXPECT_EQ(Stages.Stage(I).Id(), I + 1);
        EXPECT_EQ(Stages.FindById(I + 1), &Stages.Stage(I));
    }
    EXPECT_EQ(Stages.FindById(0), nullptr);
    EXPECT_EQ(Stages.FindById(8), nullptr);
    EXPECT_EQ(&Stages.Current(), &Stages.Stage(0));
    EXPECT_TRUE(Stages.Stage(0).IsCurrent());
    EXPECT_EQ(CurrentCount(Stages), 1);
}

TEST(Stages, SwitchingReportsOneChangeWithEveryBitInsideOneBracket) {
    TStages Stages;
    TStageListener Listener;
    Listener.Listen(Stages);

    Stages.SetCurrent(*Stages.FindById(4));
    EXPECT_EQ(Listener.Log, (std::vector<std::string>{"begin", "change 4294967295 current 4", "end"}));
    EXPECT_TRUE(Stages.FindById(4)->IsCurrent());
    EXPECT_FALSE(Stages.FindById(1)->IsCurrent());
    EXPECT_EQ(CurrentCount(Stages), 1);

    // The current stage again: nothing happens.
    Listener.Log.clear();
    Stages.SetCurrent(*Stages.FindById(4));
    EXPECT_TRUE(Listener.Log.empty());
}

TEST(Stages, ASwitchAskedForByAListenerDuringASwitchIsIgnored) {
    TStages Stages;
    TStageListener Listener;
    Listener.Listen(Stages);
    Listener.SwitchToOnChange = 6;

    Stages.SetCurrent(*Stages.FindById(2));
    EXPECT_EQ(&Stages.Current(), Stages.FindById(2));
    EXPECT_EQ(Listener.Log, (std::vector<std::string>{"begin", "change 4294967295 current 2", "end"}));
    EXPECT_EQ(CurrentCount(Stages), 1);

    // Once the switch is over the registry switches again.
    Listener.SwitchToOnChange = 0;
    Stages.SetCurrent(*Stages.FindById(6));
    EXPECT_EQ(&Stages.Current(), Stages.FindById(6));
}

TEST(StagesStore, TheCurrentStageSurvivesSaveAndLoadAndUnknownIdsAreIgnored) {
    TData Data;
    {
        TStages Stages;
        Stages.SetCurrent(*Stages.FindById(5));
        Stages.SaveState(Data);
    }
    TStages Loaded;
    Loaded.LoadState(Data);
    EXPECT_EQ(Loaded.Current().Id(), 5);

    for (int32_t Hostile : {0, -1, 8, 2147483647}) {
        TData Damaged;
        Damaged.WriteInteger("CurrentStage", Hostile);
        Loaded.LoadState(Damaged);
        EXPECT_EQ(Loaded.Current().Id(), 5) << Hostile;
        EXPECT_EQ(CurrentCount(Loaded), 1);
    }

    // A missing key keeps the current stage too.
    TData Empty;
    Loaded.LoadState(Empty);
    EXPECT_EQ(Loaded.Current().Id(), 5);
}
