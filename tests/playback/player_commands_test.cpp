// The player commands through buttons in a headless window: their states
// follow the shown player windows, and a click runs the command on the
// player window beside the button. The player window's own transport
// buttons show the same states.

#include "playback/player_commands.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/command_updater.h"
#include "commands/shortcut_dispatch.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "playback/player_time.h"
#include "playback/player_window.h"
#include "playback_test_support.h"
#include "render/player_object.h"
#include "toolkit/controls/command_button.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = 10000000;

class PlayerCommands : public ::testing::Test {
protected:
    PlayerCommands() {
        auto Add = [&](const char* Id, TCommandExecuteHandler Execute,
                       TCommandUpdateHandler Update) {
            return new TCommand(List, nullptr, Id, Id, Id, "", {}, Execute, Update);
        };
        using THandlers = TPlayerCommandHandlers;
        Play = Add("Player|Play", MakeDelegate<&THandlers::PlayExecute>(&Handlers),
                   MakeDelegate<&THandlers::PlayUpdate>(&Handlers));
        Pause = Add("Player|Pause", MakeDelegate<&THandlers::PauseExecute>(&Handlers),
                    MakeDelegate<&THandlers::PauseUpdate>(&Handlers));
        Stop = Add("Player|Stop", MakeDelegate<&THandlers::StopExecute>(&Handlers),
                   MakeDelegate<&THandlers::StopUpdate>(&Handlers));
        Replay = Add("Player|Replay", MakeDelegate<&THandlers::ReplayExecute>(&Handlers),
                     MakeDelegate<&THandlers::ReplayUpdate>(&Handlers));
        StepForward = Add("Player|Step|Forward", MakeDelegate<&THandlers::StepForwardExecute>(&Handlers),
                          MakeDelegate<&THandlers::StepUpdate>(&Handlers));
        StepBackSmall =
            Add("Player|Step|BackSmall", MakeDelegate<&THandlers::StepBackSmallExecute>(&Handlers),
                MakeDelegate<&THandlers::StepUpdate>(&Handlers));
        // The buttons sit beside the player window, under the same parent,
        // below the picture.
        H.Player->SetBounds(TRect::FromSize(0, 0, 200, 70));
        int32_t X = 0;
        for (TCommand* Command : {Play, Pause, Stop, Replay, StepForward, StepBackSmall}) {
            auto& Button = H.Root.Add<TCommandButton>();
            Button.SetBounds(TRect::FromSize(X, 72, 32, 26));
            Button.SetCommand(Command);
            Buttons.push_back(&Button);
            X += 33;
        }
        Transport = &H.Root.Add<TPlayerTransport>(H.Player);
        Transport->SetBounds(TRect::FromSize(0, 0, 120, 20));
        Updater.UpdateCommands();
    }

    TCommandButton& ButtonOf(TCommand* Command) {
        for (TCommandButton* Button : Buttons)
            if (Button->Command() == Command)
                return *Button;
        throw std::logic_error("no button");
    }
    // Runs the loop so the engine reports, then refreshes the commands as
    // the shell does after every message.
    bool RunUntil(const std::function<bool()>& Done, double Seconds = 10) {
        bool Result = H.RunUntil(Done, Seconds);
        Updater.UpdateCommands();
        return Result;
    }
    void Click(TCommand* Command) {
        TRect Bounds = ButtonOf(Command).Bounds();
        H.System.ScriptClick({Bounds.Left + 10, Bounds.Top + 10});
        H.System.RunLoop([&] { return H.System.ScriptLength() == 0; });
        H.System.ProcessEvents();
        Updater.UpdateCommands();
    }
    // Enabled and checked, as the bound button shows them.
    std::pair<bool, bool> Shown(TCommand* Command) {
        TCommandButton& Button = ButtonOf(Command);
        EXPECT_EQ(Button.IsEnabled(), Command->Enabled() && Command->IsOn());
        EXPECT_EQ(Button.Checked(), Command->Checked());
        using TButton = TPlayerTransport::TButton;
        TButton Which = Command == Play      ? TButton::Play
                        : Command == Pause   ? TButton::Pause
                        : Command == Stop    ? TButton::Stop
                        : Command == Replay  ? TButton::Replay
                        : Command == StepForward ? TButton::StepForward
                                             : TButton::StepBack;
        TGadget& Gadget = Transport->Button(Which);
        EXPECT_EQ(Gadget.IsEnabled(), Button.IsEnabled()) << "transport " << Command->Id();
        EXPECT_EQ(Gadget.Checked(), Button.Checked()) << "transport " << Command->Id();
        return {Button.IsEnabled(), Button.Checked()};
    }

    // The registry outlives the buttons bound to its commands.
    TCommandList List;
    TCommandUpdater Updater{List, nullptr};
    TPlayerCommandHandlers Handlers;
    TTempFolder Folder;
    TPlayerHarness H;
    TCommand* Play = nullptr;
    TCommand* Pause = nullptr;
    TCommand* Stop = nullptr;
    TCommand* Replay = nullptr;
    TCommand* StepForward = nullptr;
    TCommand* StepBackSmall = nullptr;
    std::vector<TCommandButton*> Buttons;
    TPlayerTransport* Transport = nullptr;
};

using TState = std::pair<bool, bool>; // enabled, checked
constexpr TState Off{false, false}, On{true, false}, Lit{true, true};

TEST_F(PlayerCommands, StatesFollowNoMediaPlayingPausedAndTheEnd) {
    // Nothing shown: every command disabled, nothing checked.
    for (TCommand* Command : {Play, Pause, Stop, Replay, StepForward})
        EXPECT_EQ(Shown(Command), Off) << Command->Id();

    // Playing: Play checked, Stop enabled, Pause not checked.
    H.Player->ShowFile(SolidClip(Folder, "red.avi", 200, 40, 40, 25));
    ASSERT_TRUE(RunUntil([&] { return H.Player->Position() > Second / 10; }));
    EXPECT_EQ(Shown(Play), Lit);
    EXPECT_EQ(Shown(Pause), On);
    EXPECT_EQ(Shown(Stop), On);
    EXPECT_EQ(Shown(Replay), On);

    // Pause clicked: Pause checked, Play not, Stop disabled.
    Click(Pause);
    EXPECT_FALSE(H.Player->IsPlaying());
    EXPECT_EQ(Shown(Play), On);
    EXPECT_EQ(Shown(Pause), Lit);
    EXPECT_EQ(Shown(Stop), Off);

    // Pause again goes on; at the end nothing is checked and Play replays
    // from the start.
    Click(Pause);
    EXPECT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(RunUntil([&] { return !H.Player->IsPlaying(); }));
    EXPECT_TRUE(H.Player->AtRangeEnd());
    EXPECT_EQ(Shown(Play), On);
    EXPECT_EQ(Shown(Pause), On);
    EXPECT_EQ(Shown(Stop), Off);
    Click(Play);
    EXPECT_TRUE(H.Player->IsPlaying());
    EXPECT_LT(H.Player->Position(), Second / 2);
    EXPECT_EQ(Shown(Play), Lit);

    // Stop halts and keeps the position; Detach disables everything again.
    Click(Stop);
    EXPECT_FALSE(H.Player->IsPlaying());
    EXPECT_EQ(Shown(Pause), Lit);
    H.Player->Detach();
    Updater.UpdateCommands();
    for (TCommand* Command : {Play, Pause, Stop, Replay, StepForward})
        EXPECT_EQ(Shown(Command), Off) << Command->Id();
}

TEST_F(PlayerCommands, StepsMoveTheWindowBesideTheButtonAndStayInItsRange) {
    H.Player->ShowFile(SolidClip(Folder, "green.avi", 40, 200, 40, 50));
    Updater.UpdateCommands();
    Click(Stop);
    ASSERT_FALSE(H.Player->IsPlaying());
    H.Player->SeekTo(Second * 2 / 5); // a frame start
    Updater.UpdateCommands();
    EXPECT_EQ(Shown(StepForward), On);
    Click(StepForward);
    EXPECT_FALSE(H.Player->IsPlaying());
    EXPECT_EQ(H.Player->Position(), Second * 7 / 5);
    Click(StepBackSmall); // one frame of 25 per second
    EXPECT_EQ(H.Player->Position(), Second * 7 / 5 - Second / 25);
    Click(StepForward);
    EXPECT_EQ(H.Player->Position(), LastSeekableTime(2 * Second, 25));
}

TEST_F(PlayerCommands, TheChosenWindowIsTheOneBesideTheControl) {
    // A second player window elsewhere in the tree: a control beside the
    // first chooses the first, one beside the second the second, and no
    // control the first shown.
    auto& Panel = H.Root.Add<TWidget>();
    Panel.SetBounds(TRect::FromSize(0, 0, 10, 10));
    auto& Other = Panel.Add<TPlayerWindow>();
    Other.SetBounds(TRect::FromSize(0, 0, 10, 10));
    auto& Beside = Panel.Add<TWidget>();
    EXPECT_EQ(ChosenPlayerWindow(&Beside), &Other);
    EXPECT_EQ(ChosenPlayerWindow(&ButtonOf(Play)), H.Player);
    EXPECT_EQ(ChosenPlayerWindow(nullptr), H.Player);
    H.Player->SetVisible(false);
    EXPECT_EQ(ChosenPlayerWindow(&ButtonOf(Play)), &Other);
    Other.SetVisible(false);
    EXPECT_EQ(ChosenPlayerWindow(nullptr), nullptr);
}

} // namespace

namespace {

// The command set's player commands: each with a caption and a hint of its
// own from the text table (a slot copied from a neighbour shows up as a
// repeated caption).
TEST(PlayerCommandSet, EveryPlayerCommandHasItsOwnCaptionAndHint) {
    RestoreTextTable();
    TCommandList List;
    TPlayerCommandHandlers Handlers;
    std::vector<TCommand*> Made = CreatePlayerCommands(List, nullptr, Handlers);
    ASSERT_EQ(Made.size(), 11u);
    ASSERT_EQ(List.Count(), 11);
    std::set<std::string> Ids, Captions, Hints;
    for (TCommand* Command : Made) {
        SCOPED_TRACE(Command->Id());
        EXPECT_TRUE(Command->Id().starts_with("Player|"));
        EXPECT_FALSE(StripAccelerators(Command->Caption()).empty());
        EXPECT_FALSE(Command->Hint().empty());
        Ids.insert(Command->Id());
        Captions.insert(StripAccelerators(Command->Caption()));
        Hints.insert(Command->Hint());
    }
    EXPECT_EQ(Ids.size(), Made.size());
    EXPECT_EQ(Captions.size(), Made.size());
    EXPECT_EQ(Hints.size(), Made.size());
}

// The commands made run on a player window by their default keys.
TEST(PlayerCommandSet, DefaultKeysRunTheCommands) {
    RestoreTextTable();
    TTempFolder Folder;
    TPlayerHarness H;
    TCommandList List;
    TPlayerCommandHandlers Handlers;
    CreatePlayerCommands(List, nullptr, Handlers);
    H.Player->ShowFile(SolidClip(Folder, "grey.avi", 120, 120, 120, 75));
    ASSERT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(ExecuteShortCut(List, KeySpace, H.Player));
    EXPECT_FALSE(H.Player->IsPlaying());
    H.Player->SeekTo(0);
    ASSERT_TRUE(ExecuteShortCut(List, KeyRight, H.Player));
    EXPECT_EQ(H.Player->Position(), Second);
    ASSERT_TRUE(ExecuteShortCut(List, KeyEnter, H.Player));
    EXPECT_TRUE(H.Player->IsPlaying());
}

} // namespace
