#include "commands/command_list.h"

#include "commands/command.h"
#include "core/changes.h"
#include "core/data.h"
#include "core/exception_report.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

// Counts destructions, to see who frees commands.
class TCountedCommand : public TCommand {
public:
    TCountedCommand(TCommandList& List, std::string_view Id, int& Destroyed)
        : TCommand(List, nullptr, Id, Id, "", ""), FDestroyed(Destroyed) {}

protected:
    ~TCountedCommand() override { ++FDestroyed; }

private:
    int& FDestroyed;
};

// A tool box's command, stored with its tool box rather than by the registry.
class TUnstoredCommand : public TCommand {
public:
    using TCommand::TCommand;
    bool IsStored() const override { return false; }
};

TCommand* Make(TCommandList& List, std::string_view Id, std::vector<uint16_t> Defaults = {}) {
    return new TCommand(List, nullptr, Id, Id, "", "", Defaults);
}

std::vector<std::string> Ids(const TCommandList& List) {
    std::vector<std::string> Result;
    for (int32_t I = 0; I < List.Count(); ++I) {
        EXPECT_EQ(List.Get(I)->Index(), I);
        Result.push_back(List.Get(I)->Id());
    }
    return Result;
}

TEST(CommandList, RemovingFromTheMiddleMovesTheLastCommandIntoItsPlace) {
    TCommandList List;
    for (const char* Id : {"A", "B", "C", "D"})
        Make(List, Id);
    TCommand* B = List.Get(1);
    List.Remove(*B);
    EXPECT_EQ(Ids(List), (std::vector<std::string>{"A", "D", "C"}));
    EXPECT_EQ(B->Index(), -1);
    EXPECT_EQ(B->Changes(), nullptr);
    List.Remove(*B);
    EXPECT_EQ(List.Count(), 3);
    List.Add(*B);
    EXPECT_EQ(Ids(List), (std::vector<std::string>{"A", "D", "C", "B"}));
}

TEST(CommandList, DestroyingTheRegistryFreesItsCommands) {
    int Destroyed = 0;
    {
        TCommandList List;
        new TCountedCommand(List, "A", Destroyed);
        new TCountedCommand(List, "B", Destroyed);
        TCommand* C = new TCountedCommand(List, "C", Destroyed);
        C->Free();
        EXPECT_EQ(Destroyed, 1);
        EXPECT_EQ(List.Count(), 2);
    }
    EXPECT_EQ(Destroyed, 3);
}

// A configuration as the desktop stores it: saved to text and read back.
void RoundTrip(const TCommandList& From, TCommandList& To) {
    TData Saved;
    {
        TDataSection Section(Saved, "Commands");
        From.SaveToData(Saved);
    }
    TData Loaded;
    Loaded.LoadFromText(Saved.SaveToText());
    TDataSection Section(Loaded, "Commands");
    To.LoadFromData(Loaded);
}

TEST(CommandList, CommandsRoundTripThroughAStoredConfiguration) {
    TCommandList Old;
    Make(Old, "File|New", {0x404E});
    Make(Old, "Edit|Undo", {0x405A, 0x8008})->ShortCuts().Add(0x605A);
    Make(Old, "Edit|Redo", {0x4059})->TurnOff();
    Make(Old, "Odd:Id=With Colon", {0x70})->ShortCuts().Remove(0x70);

    TCommandList Fresh;
    TCommand* New = Make(Fresh, "File|New", {0x404E});
    TCommand* Redo = Make(Fresh, "Edit|Redo", {0x4059});
    TCommand* Undo = Make(Fresh, "Edit|Undo", {0x405A, 0x8008});
    TCommand* Odd = Make(Fresh, "Odd:Id=With Colon", {0x70});
    RoundTrip(Old, Fresh);
    EXPECT_TRUE(New->IsOn());
    EXPECT_EQ(New->ShortCuts().Count(), 1);
    EXPECT_FALSE(Redo->IsOn());
    EXPECT_EQ(Redo->ShortCuts().Get(0), 0x4059);
    ASSERT_EQ(Undo->ShortCuts().Count(), 3);
    EXPECT_EQ(Undo->ShortCuts().Get(2), 0x605A);
    EXPECT_EQ(Odd->ShortCuts().Count(), 0);
    EXPECT_TRUE(Odd->IsOn());
}

TEST(CommandList, StoredFormNamesTheNodeByTheCommandId) {
    TCommandList List;
    Make(List, "File|New", {0x404E});
    TData Data;
    List.SaveToData(Data);
    Data.Enter("File|New");
    EXPECT_TRUE(Data.ReadBool("IsOn", false));
    Data.Enter("ShortCuts");
    EXPECT_EQ(Data.ReadInteger("Count", 0), 1);
    EXPECT_EQ(Data.ReadInteger("Items[0]", 0), 16462);
}

TEST(CommandList, CommandMissingFromTheConfigurationGetsItsDefaults) {
    TCommandList List;
    TCommand* Stored = Make(List, "File|New", {0x404E});
    TData Data;
    List.SaveToData(Data);
    // A command of a newer build, changed since start-up.
    TCommand* Later = Make(List, "File|Export", {0x4045});
    Later->TurnOff();
    Later->ShortCuts().Add(0x4046);
    Stored->ShortCuts().Add(0x4047);

    List.LoadFromData(Data);
    EXPECT_TRUE(Later->IsOn());
    ASSERT_EQ(Later->ShortCuts().Count(), 1);
    EXPECT_EQ(Later->ShortCuts().Get(0), 0x4045);
    EXPECT_EQ(Stored->ShortCuts().Count(), 1);
    // Loading reads the configuration; it adds nothing to it.
    EXPECT_FALSE(Data.Exists("File|Export"));
}

TEST(CommandList, NodeWithoutIsOnSwitchesOffAllButAlwaysOnCommands) {
    TCommandList List;
    TCommand* Plain = Make(List, "Edit|Cut", {0x4058});
    TCommand* Designer = Make(List, "View|Designer");
    Designer->SetIsAlwaysOn(true);
    TData Data;
    Data.Enter("Edit|Cut");
    Data.Leave();
    Data.Enter("View|Designer");
    Data.WriteBool("IsOn", false);
    Data.Leave();
    List.LoadFromData(Data);
    EXPECT_FALSE(Plain->IsOn());
    EXPECT_EQ(Plain->ShortCuts().Get(0), 0x4058); // no "ShortCuts": the defaults
    EXPECT_TRUE(Designer->IsOn());
}

TEST(CommandList, LoadingDropsStoredValuesThatAreNoShortCuts) {
    TCommandList List;
    TCommand* Command = Make(List, "Player|Play", {0x20});
    TData Data;
    {
        TDataSection Node(Data, "Player|Play");
        Data.WriteBool("IsOn", true);
        TDataSection Keys(Data, "ShortCuts");
        // Far more than stored, as a damaged file might say.
        Data.WriteInteger("Count", 2000000000);
        const int32_t Values[] = {0, 113, 70000, -5, 0x2010, 0x1041, 113, 0x6041};
        for (int32_t I = 0; I < 8; ++I)
            Data.WriteInteger(ListItemName("Items[", I), Values[I]);
    }
    List.LoadFromData(Data);
    ASSERT_EQ(Command->ShortCuts().Count(), 2);
    EXPECT_EQ(Command->ShortCuts().Get(0), 113);
    EXPECT_EQ(Command->ShortCuts().Get(1), 0x6041);
}

TEST(CommandList, LoadingIsOneChangeAndRefreshesTheCommands) {
    TCommandList List;
    struct TRecorder {
        void Changed(TObject*, TCommandChangeFlags Flags) { Reports.push_back(Flags); }
        void Updated(TCommand* Command) { Updates.push_back(Command); }
        std::vector<TCommandChangeFlags> Reports;
        std::vector<TCommand*> Updates;
    } Recorder;
    List.Changes().AddChangeHandler(MakeDelegate<&TRecorder::Changed>(&Recorder));
    TCommand* A = Make(List, "A");
    A->SetOnUpdate(MakeDelegate<&TRecorder::Updated>(&Recorder));
    auto* Unstored = new TUnstoredCommand(List, nullptr, "ToolBox|Toggle", "", "", "");
    Unstored->TurnOff();
    TData Data;
    List.SaveToData(Data);
    EXPECT_FALSE(Data.Exists("ToolBox|Toggle"));

    Recorder.Reports.clear();
    List.LoadFromData(Data);
    EXPECT_EQ(Recorder.Reports, std::vector<TCommandChangeFlags>{CommandChangeLoaded});
    EXPECT_EQ(Recorder.Updates, std::vector<TCommand*>{A});
    EXPECT_FALSE(Unstored->IsOn());
}

TEST(CommandList, FailingUpdateHandlerDoesNotStopTheLoad) {
    TCommandList List;
    struct TFailing {
        void Updated(TCommand*) { throw std::runtime_error("update failed"); }
    } Failing;
    TCommand* First = Make(List, "First", {0x70});
    First->SetOnUpdate(MakeDelegate<&TFailing::Updated>(&Failing));
    TCommand* Second = Make(List, "Second", {0x71});
    TData Data;
    List.SaveToData(Data);
    First->TurnOff();
    Second->TurnOff();
    std::vector<std::string> Reported;
    SetExceptionReportHandler([&](const std::exception& E) { Reported.push_back(E.what()); });
    List.LoadFromData(Data);
    SetExceptionReportHandler(nullptr);
    EXPECT_EQ(Reported, std::vector<std::string>{"update failed"});
    EXPECT_TRUE(First->IsOn());
    EXPECT_TRUE(Second->IsOn());
}

TEST(CommandList, NodeNamesQuoteIdsTheTextSyntaxCannotCarry) {
    EXPECT_EQ(CommandNodeName("Edit|Browser|NewFolder"), "Edit|Browser|NewFolder");
    EXPECT_NE(CommandNodeName("A:B"), "A:B");
    EXPECT_NE(CommandNodeName(" Padded"), " Padded");
    EXPECT_EQ(CommandNodeName("Line\nBreak").find('\n'), std::string::npos);
}

} // namespace
