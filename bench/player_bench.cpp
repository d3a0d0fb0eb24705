// Plays a timeline through a player window for 10 seconds of real time and
// prints the frames shown and dropped and the longest stall of the
// user-interface thread (the longest gap between two turns of its loop).
// The timeline is rendered at 1920 x 1080 and then at 1280 x 720, 30 frames
// per second: two H.264 clips with sound joined by a one-second cross-fade,
// and a title over them on a track of its own. The window is 960 x 540 in
// the headless window system: each frame is decoded straight to the
// window's video rectangle and composited at that size on the engine's
// side, and only copied and presented by the user-interface thread. Also printed:
// the longest paint of that thread, the part of a stall that is its own work
// rather than waiting for a core on a busy machine.
//
//   player_bench [SECONDS]

#include "platform/media/video_frame.h"
#include "platform/message_queue.h"
#include "platform/window/headless_window_system.h"
#include "playback/player_window.h"
#include "render/file_clip_element.h"
#include "render/preview_graph.h"
#include "render/text_clip_element.h"
#include "render/text_descriptor.h"
#include "render/timeline.h"
#include "render/transition_element.h"
#include "test_media.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
constexpr int32_t CrossFadeIndex = 1;

std::string Clip(const TTempFolder& Folder, const char* Name, int Width, int Height, int Seconds,
                 uint8_t R, uint8_t G, uint8_t B) {
    TTestVideoOptions Options;
    Options.Codec = "libx264";
    Options.Width = Width;
    Options.Height = Height;
    Options.FramesPerSecondNum = 30;
    Options.FrameCount = Seconds * 30;
    Options.GopSize = 30;
    Options.Painter = SolidColor(R, G, B);
    Options.WithAudio = true;
    Options.AudioCodec = "aac";
    std::string File = Folder.Path(Name);
    WriteTestVideo(File, Options);
    return File;
}

void Run(int Width, int Height, double Seconds) {
    TTempFolder Folder;
    int ClipSeconds = int(Seconds / 2) + 2;
    std::string A = Clip(Folder, "a.mp4", Width, Height, ClipSeconds, 200, 60, 40);
    std::string B = Clip(Folder, "b.mp4", Width, Height, ClipSeconds, 40, 60, 200);

    // The project's timeline with the edit, then its render copy in the
    // output format, which the window plays.
    TTimeline Project;
    TFileClipElement First(A, true, true, -1);
    TFileClipElement Second_(B, true, true, -1);
    TTextClipDescriptor Descriptor;
    Descriptor.SetText("Quillmoor");
    TTextClipElement Title(Descriptor, TVideoTime(Seconds * Second));
    {
        TTimelineUpdateGuard Bracket(Project);
        First.MoveTo(Project.Track(1), -3, 0);
        Second_.MoveTo(Project.Track(1), -3, First.Duration() - Second);
        Project.AddTrack(TTimelineTrackKind::ABVideo, 0);
        Title.MoveTo(Project.Track(2), -3, 0);
    }
    TTransitionElement Fade(&First, false, Second, First.Duration() - Second, &Second_,
                            CrossFadeIndex);
    Fade.MoveTo(Project.Track(1));
    TVideoFormat Video{0, Width, Height, 30.0};
    TTimeline Output(Project, Video, DefaultAudioFormat);

    THeadlessWindowSystem System;
    TWidget Root;
    auto& Player = Root.Add<TPlayerWindow>();
    Player.SetBounds(TRect::FromSize(0, 0, 960, 540));
    TWindowOptions Options;
    Options.Bounds = TRect::FromSize(0, 0, 960, 540);
    TWidgetWindow Window(System, Root, Options);
    Window.Show(TActivate::Yes);

    Player.ShowProject(Output, 0);
    Player.Play();
    using TClock = std::chrono::steady_clock;
    auto Start = TClock::now();
    auto Last = Start;
    double LongestStall = 0;
    double LongestPaint = 0;
    auto End = Start + std::chrono::milliseconds(int64_t(Seconds * 1000));
    while (TClock::now() < End && Player.IsPlaying()) {
        UiMessages().WaitAndProcess([] { return false; }, std::chrono::milliseconds(5));
        auto PaintStart = TClock::now();
        System.ProcessEvents();
        Window.Update();
        auto Now = TClock::now();
        LongestPaint = std::max(
            LongestPaint, std::chrono::duration<double, std::milli>(Now - PaintStart).count());
        LongestStall =
            std::max(LongestStall, std::chrono::duration<double, std::milli>(Now - Last).count());
        Last = Now;
    }
    double Played = std::chrono::duration<double>(TClock::now() - Start).count();
    TVideoTime Position = Player.Position();
    int32_t FrameWidth = Player.PlayerObject()->FrameWidth();
    int32_t FrameHeight = Player.PlayerObject()->FrameHeight();
    int32_t Dropped = Output.Preview() ? Output.Preview()->DroppedFrames() : -1;
    Player.Detach();
    std::printf("%dx%d at 30 fps, frames delivered at %dx%d, %.1f s played to %.2f s: "
                "%lld frames shown, %lld arrived, %d dropped by the engine, longest UI stall "
                "%.1f ms, longest paint %.1f ms\n",
                Width, Height, FrameWidth, FrameHeight, Played, VideoTimeToSeconds(Position),
                static_cast<long long>(Player.FramesShown()),
                static_cast<long long>(Player.FramesArrived()), Dropped, LongestStall,
                LongestPaint);
}

} // namespace

int main(int Count, char** Arguments) {
    double Seconds = Count > 1 ? std::atof(Arguments[1]) : 10.0;
    // Without a sound card the engine's clock is SDL's dummy driver.
    setenv("SDL_AUDIODRIVER", getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "dummy", 1);
    Run(1920, 1080, Seconds);
    Run(1280, 720, Seconds);
    return 0;
}
