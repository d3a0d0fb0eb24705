#include "playback/player_time.h"
#include "playback/video_time_edit.h"

#include "platform/keys.h"
#include "playback_test_support.h"
#include "render/player_object.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

struct TTextCase {
    TVideoTime Time;
    bool HasValue;
    TTimeSign Sign;
    const char* Expected;
};

class TimeText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TimeText, ShowsMinutesSecondsAndHundredths) {
    const TTextCase& Case = GetParam();
    EXPECT_EQ(FormatVideoTime(Case.Time, Case.HasValue, Case.Sign), Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeText,
    ::testing::Values(TTextCase{0, true, TTimeSign::Plain, "00:00.00"},
                      TTextCase{0, false, TTimeSign::Plain, "--:--.--"},
                      TTextCase{5 * Second, false, TTimeSign::Signed, "--:--.--"},
                      TTextCase{-12340000, true, TTimeSign::Plain, "-00:01.23"},
                      TTextCase{-12340000, true, TTimeSign::Signed, "-00:01.23"},
                      TTextCase{615 * Second / 10, true, TTimeSign::Plain, "01:01.50"},
                      TTextCase{615 * Second / 10, true, TTimeSign::Signed, "+01:01.50"},
                      TTextCase{0, true, TTimeSign::Signed, "00:00.00"},
                      TTextCase{6000 * Second, true, TTimeSign::Plain, "100:00.00"},
                      // Hundredths round to the nearest.
                      TTextCase{15 * Second / 10 + 49999, true, TTimeSign::Plain, "00:01.50"},
                      TTextCase{15 * Second / 10 + 50000, true, TTimeSign::Plain, "00:01.51"}));

void RunScript(THeadlessWindowSystem& System) {
    System.RunLoop([&] { return System.ScriptLength() == 0; });
    System.ProcessEvents();
}

class TimeEdit : public ::testing::Test {
protected:
    void RunScriptAndPaint() {
        RunScript(H.System);
        H.Window->Update();
    }
    TimeEdit() {
        Edit = &H.Root.Add<TVideoTimeEdit>();
        Edit->SetBounds(TRect::FromSize(0, 0, 120, 30));
        Edit->OnChange = [this] { ++Changes; };
    }
    TPlayerHarness H;
    TVideoTimeEdit* Edit = nullptr;
    int Changes = 0;
};

TEST_F(TimeEdit, KeysChangeTheFieldUnderTheCaret) {
    Edit->SetValue(30 * Second);
    Changes = 0;
    H.System.ScriptClick({10, 10});
    RunScriptAndPaint();
    ASSERT_TRUE(Edit->IsEditing());
    Edit->SetCaret(1); // minutes
    H.System.ScriptKey(KeyPageUp);
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Text(), "10:30.00");
    EXPECT_EQ(Edit->Value(), 630 * Second);
    Edit->SetCaret(4); // seconds
    H.System.ScriptKey(::KeyDown);
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Text(), "10:29.00");
    Edit->SetCaret(7); // hundredths
    H.System.ScriptKey(::KeyUp);
    H.System.ScriptKey(KeyPageUp);
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Text(), "10:29.11");
    EXPECT_EQ(Changes, 4);
    H.System.ScriptKey(KeyEnter);
    RunScriptAndPaint();
    EXPECT_FALSE(Edit->IsEditing());
    EXPECT_EQ(Edit->Text(), "10:29.11");
}

TEST_F(TimeEdit, TypedTextIsReadBackAndClamped) {
    Edit->SetRange(0, 90 * Second);
    Edit->BeginEdit();
    Edit->SetCaret(int32_t(Edit->Text().size()));
    for (int I = 0; I < 8; ++I)
        H.System.ScriptKey(KeyBackspace);
    H.System.ScriptText("1:05.5x;");
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Text(), "1:05.5") << "letters and ';' are not typed";
    EXPECT_EQ(Edit->Value(), 655 * Second / 10);
    H.System.ScriptText("0");
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Value(), 655 * Second / 10);
    Edit->SetCaret(0);
    H.System.ScriptText("9");
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Value(), 90 * Second) << "19:05.50 is above the maximum";
    H.System.ScriptKey(KeyEscape);
    RunScriptAndPaint();
    EXPECT_FALSE(Edit->IsEditing());
}

TEST_F(TimeEdit, TheWheelMovesBySecondsWithinTheRange) {
    Edit->SetRange(0, 3 * Second);
    Edit->SetValue(2 * Second);
    H.System.ScriptWheel({10, 10}, 120);
    H.System.ScriptWheel({10, 10}, 120);
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Value(), 3 * Second);
    H.System.ScriptWheel({10, 10}, -120);
    RunScriptAndPaint();
    EXPECT_EQ(Edit->Value(), 2 * Second);
}

// The bar is 103 pixels wide: x = 1 is the start, x = 101 the end.
class TimeBar : public ::testing::Test {
protected:
    TimeBar() {
        Bar = &H.Root.Add<TPlayerTimeBar>(H.Player);
        Bar->SetBounds(TRect::FromSize(0, 0, 103, 20));
    }
    TPlayerHarness H;
    TPlayerTimeBar* Bar = nullptr;
};

TEST_F(TimeBar, WithoutARangeItNeitherFillsNorSeeks) {
    EXPECT_EQ(Bar->FillEnd(), 0);
    EXPECT_EQ(Bar->OffsetAt(50), 0);
    H.System.ScriptClick({50, 10});
    RunScript(H.System);
    EXPECT_FALSE(H.Player->IsScrubbing());
}

// Pressing begins a scrub that pauses the play and seeks under the mouse;
// dragging seeks on; releasing ends the scrub and the play goes on.
TEST_F(TimeBar, DraggingScrubsThroughTheRange) {
    TTempFolder Folder;
    H.Player->ShowFile(SolidClip(Folder, "grey.avi", 128, 128, 128, 50));
    ASSERT_TRUE(H.Player->IsPlaying());
    H.System.ScriptMouseMove({51, 10});
    H.System.ScriptMouseDown({51, 10});
    RunScript(H.System);
    EXPECT_TRUE(H.Player->IsScrubbing());
    EXPECT_FALSE(H.Player->PlayerObject()->IsPlaying());
    EXPECT_EQ(H.Player->Position(), Bar->OffsetAt(51));
    EXPECT_EQ(H.Player->Position(), Second);

    H.System.ScriptMouseMove({76, 10});
    RunScript(H.System);
    EXPECT_TRUE(H.Player->IsScrubbing());
    EXPECT_EQ(H.Player->Position(), 3 * Second / 2);
    H.System.ScriptMouseMove({500, 10});
    RunScript(H.System);
    EXPECT_EQ(H.Player->RangeStart() + H.Player->Position(),
              LastSeekableTime(H.Player->RangeLength(), H.Player->SourceFramesPerSecond()));

    H.System.ScriptMouseMove({26, 10});
    H.System.ScriptMouseUp({26, 10});
    RunScript(H.System);
    EXPECT_FALSE(H.Player->IsScrubbing());
    EXPECT_TRUE(H.Player->IsPlaying());
    EXPECT_GE(H.Player->Position(), Second / 2);
    EXPECT_LT(H.Player->Position(), Second);
}

} // namespace
