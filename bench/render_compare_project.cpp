// Writes the media and the project files bench/render_compare.sh renders
// through the command line: three 1280x720 30 fps H.264 clips with AAC
// sound (x264 "veryfast", CRF 23), and
//   wipes.qmp  the three clips joined by two one-second bar wipes,
//   joined.qmp the same clips butted together, nothing between them,
// both to render as MP4 (quality 77: CRF 23).
//
//   render_compare_project FOLDER [CLIP_SECONDS]
//   render_compare_project --duration FILE   prints FILE's length in seconds

#include "core/ref_object.h"
#include "platform/media/media_probe.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/track.h"
#include "project/transition.h"
#include "render/compression_media_settings.h"
#include "render/format_media_settings.h"
#include "render/render.h"
#include "render/render_kind.h"
#include "test_media.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr int32_t BarWipe = 2; // the first wipe of the catalogue

// A moving test picture: a gradient drifting across, tinted per clip.
TFramePainter Drifting(int Tint) {
    return [Tint](int Frame, uint8_t* Bgra, int Width, int Height, int Stride) {
        for (int Y = 0; Y < Height; ++Y) {
            uint8_t* Row = Bgra + Y * Stride;
            for (int X = 0; X < Width; ++X) {
                int Wave = (X + Y + 4 * Frame) & 255;
                Row[4 * X + 0] = uint8_t(Tint == 2 ? 255 - Wave / 2 : Wave);
                Row[4 * X + 1] = uint8_t(Tint == 1 ? 255 - Wave / 2 : (Y * 255) / Height);
                Row[4 * X + 2] = uint8_t(Tint == 0 ? 255 - Wave / 2 : (X * 255) / Width);
                Row[4 * X + 3] = 255;
            }
        }
    };
}

void SaveProject(const std::string& File, const std::string Clips[3], bool Wipes) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    Project->New();
    TTrack* Video = Project->Track(0);
    TVideoTime End = 0;
    TFileClip* Previous = nullptr;
    for (int I = 0; I < 3; ++I) {
        TFileClip* Clip = Video->InsertFile(TKeepTransitions::Neither, Clips[I], End);
        if (Wipes && Previous)
            Video->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second,
                                    BarWipe, Previous->End());
        Previous = Clip;
        End = Clip->End();
    }
    Render.SetKind(TRenderKind::MP4Quality);
    Render.MP4().Quality().SetValue(77);
    Project->SaveToFile(File);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--duration") {
        try {
            std::printf("%.3f\n", double(ProbeMedia(argv[2]).Duration) / double(Second));
        } catch (const std::exception& Error) {
            std::fprintf(stderr, "%s\n", Error.what());
            return 1;
        }
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_compare_project FOLDER [CLIP_SECONDS]\n");
        return 2;
    }
    const std::string Folder = std::filesystem::absolute(argv[1]).string();
    const int Seconds = argc > 2 ? std::max(2, std::atoi(argv[2])) : 10;
    try {
        ProjectDefaults().SetBuiltIn();
        std::string Clips[3];
        for (int I = 0; I < 3; ++I) {
            TTestVideoOptions Options;
            Options.Codec = "libx264";
            Options.Width = 1280;
            Options.Height = 720;
            Options.FramesPerSecondNum = 30;
            Options.FrameCount = 30 * Seconds;
            Options.GopSize = 250;
            Options.Painter = Drifting(I);
            Options.WithAudio = true;
            Options.AudioCodec = "aac";
            Options.SampleRate = 48000;
            Options.ToneHz = 300 + 200 * I;
            Clips[I] = Folder + "/clip" + std::to_string(I) + ".mp4";
            WriteTestVideo(Clips[I], Options);
        }
        SaveProject(Folder + "/wipes.qmp", Clips, true);
        SaveProject(Folder + "/joined.qmp", Clips, false);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    return 0;
}
