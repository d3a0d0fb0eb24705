#pragma once

#include "editors/item_fragments.h"
#include "editors/sub_track_fragment.h"
#include "editors/timeline_desktop.h"
#include "platform/window/headless_window_system.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "test_media.h"
#include "toolkit/areas/area.h"
#include "toolkit/widgets/widget_window.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;

// A project with the default tracks (video, sound, music, overlay, effects)
// shown in a timeline area that fills a 640 x 360 headless window at
// (100, 100); the area's client starts 2 pixels in (its sunken edge).
struct TTimelineFixture {
    static constexpr int32_t WindowLeft = 100, WindowTop = 100, Width = 640, Height = 360;

    TRefPtr<TProject> Project{new TProject};
    TTimelineDesktopClass DesktopClass{*Project};
    THeadlessWindowSystem System{{{{0, 0, 1280, 800}, {0, 0, 1280, 760}}}};
    TWidget Root;
    TArea* Area = nullptr;
    std::unique_ptr<TWidgetWindow> Window;
    TTempFolder Folder;

    TTimelineFixture() {
        ProjectDefaults().SetBuiltIn();
        Project->New();
        Areas().SetDesktopClass(&DesktopClass);
        Area = &Root.Add<TArea>();
        Area->SetBounds(TRect::FromSize(0, 0, Width, Height));
        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Kind = TWindowKind::Main, .Title = "Timeline",
                           .Bounds = TRect::FromSize(WindowLeft, WindowTop, Width, Height)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
        Settle();
    }
    ~TTimelineFixture() {
        Window.reset();
        Areas().SetDesktopClass(nullptr);
        UndoHistory().ClearUndo();
        Project->Clear();
    }
    TTimelineFixture(const TTimelineFixture&) = delete;
    TTimelineFixture& operator=(const TTimelineFixture&) = delete;

    TTimelineDesktop& Desktop() const { return static_cast<TTimelineDesktop&>(*Area->Desktop()); }
    TTrack& Track(int32_t Index) const { return *Project->Track(Index); }
    TSubTrackFragment& Cell(int32_t TrackIndex, int32_t Row = 0) const {
        return *Desktop().Tracks().Bands()[size_t(TrackIndex)]->Rows()[size_t(Row)].Content;
    }
    TItemFragment* FragmentOf(const TItem* Item, int32_t TrackIndex, int32_t Row = 0) const {
        return Cell(TrackIndex, Row).FragmentOf(Item);
    }
    // A point of the area's client rectangle on the screen.
    static TPoint Screen(int32_t X, int32_t Y) { return {WindowLeft + 2 + X, WindowTop + 2 + Y}; }
    // The screen point at Time on a row, DY pixels below the row's top.
    TPoint AtTime(TVideoTime Time, int32_t TrackIndex, int32_t DY = -1, int32_t Row = 0) const {
        const TSubTrackFragment& Content = Cell(TrackIndex, Row);
        int32_t Y = Content.AreaRect().Top + (DY < 0 ? Content.Height() / 2 : DY);
        return Screen(Desktop().TimeToX(Time), Y);
    }
    uint32_t PixelAt(int32_t X, int32_t Y) const {
        uint32_t Pixel = 0;
        std::memcpy(&Pixel, System.Presented(Window->Native()).At(2 + X, 2 + Y), 4);
        return Pixel;
    }
    void Settle() {
        Area->Relayout();
        Window->Update();
    }
    void Run() {
        System.RunLoop([&] { return System.ScriptLength() == 0; });
        System.ProcessEvents();
        Window->Update();
    }

    // Media made at run time.
    std::string Video(const std::string& Name, int Frames = 50, bool WithAudio = false) {
        TTestVideoOptions Options;
        Options.FrameCount = Frames;
        Options.WithAudio = WithAudio;
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }
    std::string Tone(const std::string& Name, double Seconds = 2) {
        std::string File = Folder.Path(Name);
        WriteTestTone(File, 440, 0.5, Seconds);
        return File;
    }
    static int32_t FirstTitleStyle() { return DescriptionRegistry().Titles().Description(1)->Index(); }
    // A title on the video track at Time.
    TTitleClip* Title(TVideoTime Time, TVideoTime Duration = 4 * Second) {
        return Track(0).InsertTitle(TKeepTransitions::Neither, {}, {}, "Hello", FirstTitleStyle(), Duration, Time);
    }
};
