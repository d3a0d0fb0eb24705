#include "commands/command_updater.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "core/changes.h"
#include "core/exception_report.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

// The flags of a stand-in model: the updater knows a model only by its
// notifier.
enum class TModelFlags : uint32_t {};
} // namespace
template <>
inline constexpr bool IsFlagSet<TModelFlags> = true;
namespace {
constexpr TModelFlags ModelChangeSelection{0x1};

class CommandUpdaterTest : public testing::Test {
protected:
    CommandUpdaterTest() {
        Commands.Changes().AddChangeHandler(MakeDelegate<&CommandUpdaterTest::Changed>(this));
        for (const char* Id : {"A", "B", "C"})
            new TCommand(Commands, nullptr, Id, Id, "", "", {}, {},
                         MakeDelegate<&CommandUpdaterTest::Updated>(this));
    }
    ~CommandUpdaterTest() override { SetExceptionReportHandler(nullptr); }
    void Changed(TObject*, TCommandChangeFlags Flags) { Reports.push_back(Flags); }
    // Pulls its state from the "model": enabled while it has content.
    void Updated(TCommand* Command) {
        Updates.push_back(Command->Id());
        if (Command->Id() == FailingId)
            throw std::runtime_error("update failed");
        Command->SetEnabled(HasContent);
    }

    TCommandList Commands;
    TFlagChanges<TModelFlags> Project{nullptr};
    TCommandUpdater Updater{Commands, &Project};
    bool HasContent = false;
    std::string FailingId;
    std::vector<TCommandChangeFlags> Reports;
    std::vector<std::string> Updates;
};

TEST_F(CommandUpdaterTest, RefreshPullsEveryCommandsStateAsOneChange) {
    Reports.clear();
    Updater.UpdateCommands();
    EXPECT_EQ(Updates, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Reports, std::vector<TCommandChangeFlags>{CommandChangeEnabled});
    EXPECT_FALSE(Commands.Get(2)->Enabled());
}

TEST_F(CommandUpdaterTest, RefreshWaitsForTheProjectsBracketToClose) {
    {
        TUpdateGuard Edit(Project);
        HasContent = true;
        Project.Change(ModelChangeSelection);
        Updater.UpdateCommands();
        EXPECT_TRUE(Updates.empty());
        EXPECT_TRUE(Updater.Pending());
    }
    EXPECT_EQ(Updates.size(), 3u);
    EXPECT_TRUE(Commands.Get(0)->Enabled());
    EXPECT_FALSE(Updater.Pending());
    // A bracket without changes still runs the remembered refresh.
    Updates.clear();
    {
        TUpdateGuard Edit(Project);
        Updater.UpdateCommands();
    }
    EXPECT_EQ(Updates.size(), 3u);
    // A change outside any bracket refreshes at once.
    Updates.clear();
    Project.Change(ModelChangeSelection);
    EXPECT_EQ(Updates.size(), 3u);
}

TEST_F(CommandUpdaterTest, FailingHandlerIsReportedAndTheOthersStillRun) {
    std::vector<std::string> Reported;
    SetExceptionReportHandler(
        [&](const std::exception& Error) { Reported.push_back(Error.what()); });
    FailingId = "B";
    HasContent = true;
    Updater.UpdateCommands();
    EXPECT_EQ(Reported, std::vector<std::string>{"update failed"});
    EXPECT_TRUE(Commands.Get(2)->Enabled());
    EXPECT_EQ(Commands.Changes().UpdateCount(), 0);
}

} // namespace
