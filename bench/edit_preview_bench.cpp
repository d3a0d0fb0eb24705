// Edits the demo project while a player window shows it, and prints how
// long after each edit ends the edited frame reaches the player window: the
// time the user waits between letting go of the mouse (or pressing the key)
// and seeing the result, the edit's own rebuilding of the timeline
// included. The demo's media and project are made at the start, in a
// temporary folder, and shown in a 640 x 360 headless player window at 2 s
// (the first clip with the title over it). Three kinds of edit, in turns of
// four: the title dragged two seconds later, off the frame on show
// (tracking, as a mouse drag does: the player is held for the whole drag),
// the drag undone, the music trimmed half a second shorter, the trim
// undone. The frames after the drags and their undos are checked to differ
// from those before them, so the frame timed is the edited one. After each edit the player window is
// given the project again, as the main window does when the project
// changes. Also printed: how many times the audio device was opened, and
// how many decoders the preview opened.
//
//   edit_preview_bench [EDITS]

#include "app/demo_project.h"
#include "platform/media/frame_grabber.h"
#include "platform/media/audio_device.h"
#include "platform/message_queue.h"
#include "platform/window/headless_window_system.h"
#include "playback/player_window.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/preview_graph.h"
#include "render/timeline.h"
#include "test_media.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
constexpr TVideoTime ShownAt = 2 * Second;
using TClock = std::chrono::steady_clock;

struct TBench {
    THeadlessWindowSystem System;
    TWidget Root;
    TPlayerWindow* Player = nullptr;
    std::unique_ptr<TWidgetWindow> Window;

    TBench() {
        Player = &Root.Add<TPlayerWindow>();
        Player->SetBounds(TRect::FromSize(0, 0, 640, 360));
        TWindowOptions Options;
        Options.Bounds = TRect::FromSize(0, 0, 640, 360);
        Window = std::make_unique<TWidgetWindow>(System, Root, Options);
        Window->Show(TActivate::Yes);
    }
    ~TBench() { Player->Detach(); }

    // Runs the posted messages and paints until a frame beyond Frames has
    // arrived; the milliseconds that took, or -1 after 5 s without one.
    double WaitForFrameAfter(int64_t Frames, TClock::time_point Since) {
        auto Arrived = [&] { return Player->FramesArrived() > Frames; };
        auto Deadline = Since + std::chrono::seconds(5);
        while (!Arrived()) {
            if (TClock::now() > Deadline)
                return -1;
            UiMessages().WaitAndProcess(Arrived, std::chrono::milliseconds(1));
        }
        double Taken = std::chrono::duration<double, std::milli>(TClock::now() - Since).count();
        System.ProcessEvents();
        Window->Update();
        return Taken;
    }
    // Lets whatever the engine still posts arrive, so that the next frame
    // counted is the next edit's.
    void Drain() {
        auto Until = TClock::now() + std::chrono::milliseconds(30);
        while (TClock::now() < Until)
            UiMessages().WaitAndProcess([] { return false; }, std::chrono::milliseconds(5));
        System.ProcessEvents();
        Window->Update();
    }
};

void Print(const char* Kind, std::vector<double> Times) {
    if (Times.empty())
        return;
    std::sort(Times.begin(), Times.end());
    double Sum = 0;
    for (double Time : Times)
        Sum += Time;
    std::printf("%-6s %3zu edits: median %6.1f ms, mean %6.1f ms, slowest %6.1f ms\n", Kind,
                Times.size(), Times[Times.size() / 2], Sum / double(Times.size()), Times.back());
}

} // namespace

int main(int Count, char** Arguments) {
    int Edits = Count > 1 ? std::max(std::atoi(Arguments[1]), 4) : 60;
    // Without a sound card the engine's clock is SDL's dummy driver.
    setenv("SDL_AUDIODRIVER", getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "dummy", 1);
    TTempFolder Folder;
    MakeDemoMedia(Folder.Path("demo"));
    TRefPtr<TProject> Project = MakeRef<TProject>();
    BuildDemoProject(*Project, Folder.Path("demo"));
    TTrack& Sound = *Project->Track(1);
    TTrack& Overlay = *Project->Track(3);

    TBench Bench;
    Project->SetPosition(ShownAt);
    auto Start = TClock::now();
    Bench.Player->ShowProject(Project->Timeline(), ShownAt);
    double FirstFrame = Bench.WaitForFrameAfter(0, Start);

    std::vector<double> Drags, Trims, Undos;
    int Missed = 0, TitleEdits = 0, TitleEditsShown = 0;
    for (int I = 0; I < Edits; ++I) {
        Bench.Drain();
        int64_t Frames = Bench.Player->FramesArrived();
        std::vector<double>* Times = nullptr;
        TClock::time_point Ended;
        const TPreviewGraph* Preview = Project->Timeline().Preview();
        const TRgbImage Before = Preview ? Preview->GrabFrame() : TRgbImage{};
        const bool MovesTitle = I % 4 <= 1;
        if (I % 4 == 0) {
            Project->Select(Overlay.Item(0), false);
            Overlay.BeginTracking();
            for (int Step = 1; Step <= 4; ++Step)
                Overlay.MoveSelection(Step * Second / 2);
            // The mouse is let go.
            Ended = TClock::now();
            Overlay.EndTracking();
            Times = &Drags;
        } else if (I % 4 == 2) {
            auto* Music = static_cast<TFileClip*>(Sound.Item(0));
            Ended = TClock::now();
            Sound.TrimClipEnd(Music, TTrimPastTransition::Stop, Music->TrimEnd() - Second / 2);
            Times = &Trims;
        } else {
            Ended = TClock::now();
            UndoHistory().Undo();
            Times = &Undos;
        }
        // The main window hands the player the project again.
        Bench.Player->ShowProject(Project->Timeline(), Project->Position());
        double Taken = Bench.WaitForFrameAfter(Frames, Ended);
        if (Taken < 0)
            ++Missed;
        else
            Times->push_back(Taken);
        if (MovesTitle) {
            ++TitleEdits;
            TitleEditsShown += Preview && Preview->GrabFrame().Pixels != Before.Pixels;
        }
    }

    std::printf("edit end to edited frame in the player window (demo project, 640 x 360):\n");
    std::printf("first frame after showing the project: %.1f ms\n", FirstFrame);
    Print("drag", Drags);
    Print("trim", Trims);
    Print("undo", Undos);
    std::vector<double> All = Drags;
    All.insert(All.end(), Trims.begin(), Trims.end());
    All.insert(All.end(), Undos.begin(), Undos.end());
    Print("all", All);
    if (Missed > 0)
        std::printf("%d edits showed no frame within 5 s\n", Missed);
    std::printf("%d of %d drags of the title and their undos showed a changed frame\n",
                TitleEditsShown, TitleEdits);
    const TPreviewGraph* Preview = Project->Timeline().Preview();
    std::printf("audio device opened %d times; the preview opened %d decoders\n",
                TAudioDevice::OpenCount(), Preview ? Preview->OpenedDecoderCount() : -1);
    UndoHistory().ClearUndo();
    return Missed > 0 ? 1 : 0;
}
