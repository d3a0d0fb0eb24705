// Keys pressed in the shared full-screen window: Escape leaves, the player
// keys run on the window whose video it shows, as they would in the main
// window.

#include "commands/command.h"
#include "commands/command_list.h"
#include "platform/keys.h"
#include "playback/player_commands.h"
#include "playback/player_window.h"
#include "playback/shared_full_screen.h"
#include "playback_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

class FullScreenKeys : public ::testing::Test {
protected:
    void SetUp() override {
        H.Player->ShowFile(SolidClip(Folder, "green.avi", 40, 200, 40, 100));
        ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > 0; }));
        TPlayerWindow::ToggleFullScreen();
        ASSERT_TRUE(H.Player->IsFullScreen());
        Screen = TSharedFullScreen::Existing();
        ASSERT_NE(Screen, nullptr);
        ASSERT_EQ(H.System.FocusedWindow(), &Screen->Host().Native());
    }
    void TearDown() override {
        if (H.Player->IsFullScreen())
            TPlayerWindow::ToggleFullScreen();
    }

    void Press(uint8_t Key, uint16_t Modifiers = 0) {
        H.System.ScriptKey(Key, Modifiers);
        H.System.RunLoop([&] { return H.System.ScriptLength() == 0; });
    }

    TTempFolder Folder;
    TPlayerHarness H;
    TSharedFullScreen* Screen = nullptr;
};

TEST_F(FullScreenKeys, SpacePausesAndPlaysTheShownWindowAndStaysFullScreen) {
    ASSERT_TRUE(H.Player->IsPlaying());
    Press(KeySpace);
    EXPECT_FALSE(H.Player->IsPlaying());
    EXPECT_TRUE(H.Player->IsFullScreen());
    TVideoTime Paused = H.Player->Position();
    H.RunFor(200);
    EXPECT_EQ(H.Player->Position(), Paused);

    Press(KeySpace);
    EXPECT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Paused + Second / 5; }));
    EXPECT_TRUE(H.Player->IsFullScreen());
}

TEST_F(FullScreenKeys, ArrowsStepAndEnterReplays) {
    Press(KeySpace);
    ASSERT_FALSE(H.Player->IsPlaying());
    TVideoTime From = H.Player->Position();
    ASSERT_LT(From, 2 * Second);

    Press(KeyRight);
    EXPECT_EQ(H.Player->Position(), From + Second);
    Press(KeyLeft, ShortCutShift); // ten seconds back, clamped to the start
    EXPECT_EQ(H.Player->Position(), 0);
    Press(KeyRight, ShortCutAlt); // one frame of the 25 fps clip
    EXPECT_EQ(H.Player->Position(), Second / 25);
    EXPECT_FALSE(H.Player->IsPlaying());

    Press(KeyEnter);
    EXPECT_TRUE(H.Player->IsPlaying());
    EXPECT_TRUE(H.Player->IsFullScreen());
}

TEST_F(FullScreenKeys, EscapeAndAltEnterLeaveFullScreen) {
    Press(KeyEscape);
    EXPECT_FALSE(H.Player->IsFullScreen());
    EXPECT_EQ(Screen->Source(), nullptr);

    TPlayerWindow::ToggleFullScreen();
    ASSERT_TRUE(H.Player->IsFullScreen());
    Press(KeyEnter, ShortCutAlt);
    EXPECT_FALSE(H.Player->IsFullScreen());
    EXPECT_TRUE(H.Player->IsPlaying()); // leaving does not pause
}

// A registered player command keeps the keys the user gave it: its default
// key no longer runs it, the new one does.
TEST_F(FullScreenKeys, RegisteredCommandsRunByTheirOwnKeys) {
    TPlayerCommandHandlers Handlers;
    auto* Pause = new TCommand(nullptr, "Player|Pause", "Pause", "Pause", "", {KeyA + ('P' - 'A')},
                               MakeDelegate<&TPlayerCommandHandlers::PauseExecute>(&Handlers),
                               MakeDelegate<&TPlayerCommandHandlers::PauseUpdate>(&Handlers));
    Press(KeySpace);
    EXPECT_TRUE(H.Player->IsPlaying());
    Press(KeyA + ('P' - 'A'));
    EXPECT_FALSE(H.Player->IsPlaying());
    Pause->Free();
}

} // namespace
