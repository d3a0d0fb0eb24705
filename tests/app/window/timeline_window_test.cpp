// The program on a virtual X server, opened on the demo project: the
// timeline below the player shows the clips where their times put them,
// with their pictures inside the video clips and the sound's outline inside
// the audio clip, and a clip dragged with the mouse moves.

#include "app/demo_project.h"
#include "core/ref_object.h"
#include "project/project.h"
#include "project/track.h"
#include "project/track_item.h"
#include "render/render.h"
#include "test_media.h"
#include "virtual_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/wait.h>

using namespace std::chrono_literals;

namespace {

int Red(uint32_t Pixel) { return int(Pixel >> 16 & 0xFF); }
int Green(uint32_t Pixel) { return int(Pixel >> 8 & 0xFF); }
int Blue(uint32_t Pixel) { return int(Pixel & 0xFF); }

// The sound outline: a dark amber drawn over the light amber of an audio
// clip on a pale row.
bool IsOutline(uint32_t Pixel) {
    return std::abs(Red(Pixel) - 172) <= 16 && std::abs(Green(Pixel) - 116) <= 16 && std::abs(Blue(Pixel) - 37) <= 16;
}

// A picture's pixel, as opposed to the pale rows and boxes of the editor.
bool IsSaturated(uint32_t Pixel) {
    const int High = std::max({Red(Pixel), Green(Pixel), Blue(Pixel)});
    const int Low = std::min({Red(Pixel), Green(Pixel), Blue(Pixel)});
    return High - Low > 90;
}

struct TOutlineBox {
    int32_t Left = INT32_MAX, Top = INT32_MAX, Right = -1, Bottom = -1, Count = 0;
};

// Where the outline lies on the screen: its bounding box, counting only
// the part below Top (the player's picture above holds no outline colour,
// but a frame of it could come close).
TOutlineBox FindOutline(const TScreenshot& Shot, int32_t Top) {
    TOutlineBox Box;
    for (int32_t Y = Top; Y < Shot.Height; ++Y)
        for (int32_t X = 0; X < Shot.Width; ++X)
            if (IsOutline(Shot.At(X, Y))) {
                Box.Left = std::min(Box.Left, X);
                Box.Right = std::max(Box.Right, X);
                Box.Top = std::min(Box.Top, Y);
                Box.Bottom = std::max(Box.Bottom, Y);
                ++Box.Count;
            }
    return Box;
}

} // namespace

TEST(TimelineWindow, TheDemoShowsItsClipsWithPicturesAndTheSoundOutlineWhereTheyBelongAndADraggedClipMoves) {
    TVirtualDisplay Display("1024x768x24");
    if (Display.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    TTempFolder Folder;
    const std::string File = Folder.Path("Demo.qmp");
    TVideoTime VideoEnd = 0, SoundEnd = 0;
    {
        TRefPtr<TProject> Demo = MakeRef<TProject>();
        TRender Render(Demo->Timeline());
        Render.BindProjectHooks(Demo->LoadRendering, Demo->SaveRendering);
        MakeDemoMedia(Folder.Root());
        BuildDemoProject(*Demo, Folder.Root());
        Demo->SaveToFile(File);
        const TTrack& Video = *Demo->Track(0);
        const TTrack& Sound = *Demo->Track(1);
        VideoEnd = Video.Item(Video.ItemCount() - 1)->End();
        SoundEnd = Sound.Item(Sound.ItemCount() - 1)->End();
        ASSERT_EQ(Sound.Item(0)->Position(), 0);
    }
    TSpawnedProgram Program({QM_PROGRAM, File},
                            EnvironmentWith({"DISPLAY=" + Display.Display(), "WAYLAND_DISPLAY",
                                                  "XDG_CONFIG_HOME=" + Folder.Path("config"), "SDL_AUDIODRIVER=dummy",
                                                  "DBUS_SESSION_BUS_ADDRESS=disabled:",
                                                  "SDL_FRAMEBUFFER_ACCELERATION=0"}));
    ASSERT_TRUE(Program.Started());
    ::setenv("DISPLAY", Display.Display().c_str(), 1);

    // The pictures and the outline come in after the window shows, each in
    // its own time: wait for the outline to reach the end of the sound clip
    // and for the pictures to fill the video clips above it.
    const int32_t PixelsPerSecond = 8; // the normal scale
    const int32_t SoundWidth = int32_t(SoundEnd * PixelsPerSecond / 10000000);
    const int32_t VideoWidth = int32_t(VideoEnd * PixelsPerSecond / 10000000);
    TScreenshot Shot;
    TOutlineBox Outline;
    int32_t TimeZero = 0, VideoY = 0, Pictured = 0;
    // The outline runs to the clip's end, inside its box (the border and one
    // pixel): that places time 0 on the screen. The video row lies right
    // above the sound row: pictures fill the clips from time 0 to the last
    // clip's end, and the row is plain after it.
    auto Measure = [&] {
        Outline = FindOutline(Shot, Shot.Height / 3);
        TimeZero = Outline.Right + 2 - SoundWidth;
        VideoY = Outline.Top - 20;
        Pictured = 0;
        if (Outline.Count <= 40 || TimeZero <= 0 || VideoY < 0)
            return;
        for (int32_t X = TimeZero + 2; X < TimeZero + VideoWidth - 2; ++X)
            Pictured += IsSaturated(Shot.At(X, VideoY)) ? 1 : 0;
    };
    for (auto Deadline = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < Deadline;
         std::this_thread::sleep_for(250ms)) {
        if (!TakeScreenshot(Shot))
            continue;
        Measure();
        if (Outline.Count > 40 && Outline.Right - Outline.Left > SoundWidth / 3 &&
            Pictured > (VideoWidth - 4) * 2 / 3)
            break;
    }
    ASSERT_GT(Outline.Count, 40) << "no sound outline in the audio clip";
    ASSERT_GT(TimeZero, 0);
    // It stays within its row: the row is 23 pixels high.
    EXPECT_LT(Outline.Bottom - Outline.Top, 23);
    EXPECT_GT(Pictured, (VideoWidth - 4) * 2 / 3) << "pictures inside the video clips at y " << VideoY;
    int32_t Beyond = 0;
    for (int32_t X = TimeZero + VideoWidth + 4; X < TimeZero + VideoWidth + 100; ++X)
        Beyond += IsSaturated(Shot.At(X, VideoY)) ? 1 : 0;
    EXPECT_EQ(Beyond, 0) << "nothing drawn after the last clip";
    // The first clip's name sits on a light backing at the top of its box:
    // dark text pixels there.
    int32_t Text = 0;
    for (int32_t Y = VideoY - 40; Y < VideoY - 10; ++Y)
        for (int32_t X = TimeZero + 2; X < TimeZero + 30; ++X) {
            const uint32_t Pixel = Shot.At(X, Y);
            Text += Red(Pixel) < 128 && Green(Pixel) < 128 && Blue(Pixel) < 128 ? 1 : 0;
        }
    EXPECT_GT(Text, 10) << "the first clip's name";

    // Drag the sound clip by its middle six seconds to the right, then
    // click the empty row after it, so that it is no longer selected and
    // its outline shows in its own colour again: the outline moves along.
    const int32_t RowY = (Outline.Top + Outline.Bottom) / 2;
    const int32_t PressX = TimeZero + SoundWidth / 2;
    const int32_t Distance = 6 * PixelsPerSecond;
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(PressX), std::to_string(RowY), "mousedown", "1"}),
              0)
        << "xdotool is needed";
    for (int32_t Step = 1; Step <= 6; ++Step)
        ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(PressX + Step * Distance / 6), std::to_string(RowY)}),
                  0);
    ASSERT_EQ(RunProgram({"xdotool", "mouseup", "1"}), 0);
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", std::to_string(TimeZero + SoundWidth + Distance + 120),
                          std::to_string(RowY), "click", "1"}),
              0);
    TOutlineBox Moved;
    for (auto Deadline = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < Deadline;
         std::this_thread::sleep_for(200ms)) {
        if (!TakeScreenshot(Shot))
            continue;
        Moved = FindOutline(Shot, Shot.Height / 3);
        if (Moved.Count > 40 && Moved.Left >= Outline.Left + Distance / 2)
            break;
    }
    ::unsetenv("DISPLAY");
    Program.Signal(SIGTERM);
    EXPECT_EQ(Program.Wait(20s), 0);
    ASSERT_GT(Moved.Count, 40) << "no sound outline after the drag";
    // Snapping may pull the clip a few pixels onto a grid line or an edge
    // of the video clips, never further than its 8-pixel reach.
    EXPECT_NEAR(Moved.Left - Outline.Left, Distance, 8);
    EXPECT_NEAR(Moved.Right - Outline.Right, Distance, 8);
    EXPECT_NEAR(Moved.Top, Outline.Top, 2) << "the clip stays on its row";
}
