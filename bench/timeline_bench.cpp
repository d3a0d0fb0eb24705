// The timeline editor on large projects: 1 000 and 10 000 clips (still
// pictures and titles, alternately, 2 s each) on five video tracks, shown in
// a 1920 x 1080 headless window. For each size it prints the time to open
// the editor (build the fragments, lay out and paint), to repaint it whole,
// to zoom one step, to scroll one page and to repaint after a one-clip edit,
// the time of a whole layout alone, as the median of several runs, and the growth from the smaller size.
//
//   timeline_bench

#include "editors/timeline_desktop.h"
#include "large_project.h"
#include "platform/window/headless_window_system.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/timeline.h"
#include "test_media.h"
#include "toolkit/areas/area.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
constexpr int32_t TrackCount = LargeProjectTrackCount;
constexpr int32_t Width = 1920, Height = 1080;
constexpr int Runs = 9;

double Milliseconds(const std::function<void()>& Work) {
    auto Start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

struct TTimes {
    double Open, Layout, Repaint, Zoom, Scroll, Edit;
};

TTimes Measure(int32_t Clips, const std::string& Picture) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    FillLargeProject(*Project, Clips, Picture);
    TTimelineDesktopClass DesktopClass(*Project);
    THeadlessWindowSystem System{{{{0, 0, Width, Height + 40}, {0, 0, Width, Height}}}};
    TWidget Root;
    Areas().SetDesktopClass(&DesktopClass);
    TArea* Area = nullptr;
    std::unique_ptr<TWidgetWindow> Window;
    TTimes Times{};
    Times.Open = Milliseconds([&] {
        Area = &Root.Add<TArea>();
        Area->SetBounds(TRect::FromSize(0, 0, Width, Height));
        Window = std::make_unique<TWidgetWindow>(
            System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Timeline",
                                         .Bounds = TRect::FromSize(0, 0, Width, Height)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
        Window->Update();
    });
    auto& Desktop = static_cast<TTimelineDesktop&>(*Area->Desktop());
    // Somewhere in the middle, so both directions have content.
    Desktop.ScrollTo(int32_t(Desktop.TimeToPixels(Clips / TrackCount * Second)), 0);
    Window->Update();
    std::vector<double> Layout, Repaint, Zoom, Scroll, Edit;
    for (int Run = 0; Run < Runs; ++Run) {
        Layout.push_back(Milliseconds([&] { Area->Relayout(); }));
        Window->Update();
        Repaint.push_back(Milliseconds([&] {
            Area->Invalidate();
            Window->Update();
        }));
        Zoom.push_back(Milliseconds([&] {
            Desktop.Zoom(Run % 2 == 0 ? 1 : -1, Width / 2);
            Window->Update();
        }));
        Scroll.push_back(Milliseconds([&] {
            Desktop.ScrollPage(Run % 2 == 0 ? TScrollDirection::Right : TScrollDirection::Left);
            Window->Update();
        }));
        TTrackItem* Item = Project->Track(2)->Item(Project->Track(2)->ItemCount() / 2 + Run % 2);
        Edit.push_back(Milliseconds([&] {
            Project->Select(Item, false);
            Window->Update();
        }));
    }
    Times.Layout = Median(Layout);
    Times.Repaint = Median(Repaint);
    Times.Zoom = Median(Zoom);
    Times.Scroll = Median(Scroll);
    Times.Edit = Median(Edit);
    Window.reset();
    Areas().SetDesktopClass(nullptr);
    UndoHistory().ClearUndo();
    Project->Clear();
    return Times;
}

} // namespace

int main() {
    ProjectDefaults().SetBuiltIn();
    TTempFolder Folder;
    const std::string Picture = Folder.Path("still.png");
    WriteTestPicture(Picture, 64, 48, SolidColor(40, 120, 200));
    const std::vector<int32_t> Sizes{1000, 10000};
    std::vector<TTimes> All;
    for (int32_t Clips : Sizes)
        All.push_back(Measure(Clips, Picture));
    std::printf("timeline editor at %d x %d, five tracks (ms; median of %d)\n", Width, Height, Runs);
    std::printf("%8s %10s %10s %10s %10s %10s %14s\n", "clips", "open", "layout", "repaint", "zoom step", "scroll",
                "select+paint");
    for (size_t I = 0; I < Sizes.size(); ++I)
        std::printf("%8d %10.2f %10.2f %10.2f %10.2f %10.2f %14.2f\n", Sizes[I], All[I].Open, All[I].Layout,
                    All[I].Repaint, All[I].Zoom, All[I].Scroll, All[I].Edit);
    const TTimes& A = All.front();
    const TTimes& B = All.back();
    std::printf("growth x%.1f %10.1f %10.1f %10.1f %10.1f %10.1f %14.1f\n", double(Sizes.back()) / Sizes.front(),
                B.Open / A.Open, B.Layout / A.Layout, B.Repaint / A.Repaint, B.Zoom / A.Zoom, B.Scroll / A.Scroll,
                B.Edit / A.Edit);
    return 0;
}
