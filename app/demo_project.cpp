#include "app/demo_project.h"

#include "app/command_line_render.h"
#include "core/error.h"
#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "platform/media/media_writer.h"
#include "platform/message_queue.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/transition.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/render.h"
#include "render/render_kind.h"
#include "render/text_description.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr int32_t BarWipe = 2; // the first wipe of the catalogue
constexpr int32_t CrossFade = 1;

std::string PathIn(const std::string& Folder, const char* Name) {
    return (std::filesystem::path(Folder) / Name).string();
}

void WriteLittleEndian(std::ofstream& Out, uint32_t Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out.put(static_cast<char>((Value >> (8 * I)) & 0xFF));
}

// A sine tone as 16-bit stereo PCM in a WAV file.
void WriteTone(const std::string& FileName, double Hz, double Seconds) {
    const uint32_t Rate = 44100, Frames = uint32_t(Seconds * Rate);
    std::ofstream Out(FileName, std::ios::binary);
    Out.write("RIFF", 4);
    WriteLittleEndian(Out, 36 + Frames * 4, 4);
    Out.write("WAVEfmt ", 8);
    WriteLittleEndian(Out, 16, 4);
    WriteLittleEndian(Out, 1, 2); // PCM
    WriteLittleEndian(Out, 2, 2);
    WriteLittleEndian(Out, Rate, 4);
    WriteLittleEndian(Out, Rate * 4, 4);
    WriteLittleEndian(Out, 4, 2);
    WriteLittleEndian(Out, 16, 2);
    Out.write("data", 4);
    WriteLittleEndian(Out, Frames * 4, 4);
    for (uint32_t I = 0; I < Frames; ++I) {
        // A gentle swell so the sound is pleasant rather than a plain beep.
        double Envelope = 0.25 * (1.0 - std::cos(2 * M_PI * I / Rate / 4.0)) / 2 + 0.05;
        auto Sample = int16_t(std::lround(32767 * Envelope * std::sin(2 * M_PI * Hz * I / Rate)));
        WriteLittleEndian(Out, uint16_t(Sample), 2);
        WriteLittleEndian(Out, uint16_t(Sample), 2);
    }
    if (!Out)
        RaiseError(FormatMessageText(GetText(TTextSlot::CannotWriteFile), FileName));
}

// A still picture: a colour gradient with a band across it, as a BMP file.
void WritePicture(const std::string& FileName, int Width, int Height) {
    const uint32_t RowBytes = uint32_t(Width) * 3, Padding = (4 - RowBytes % 4) % 4;
    const uint32_t ImageBytes = (RowBytes + Padding) * uint32_t(Height);
    std::ofstream Out(FileName, std::ios::binary);
    Out.write("BM", 2);
    WriteLittleEndian(Out, 54 + ImageBytes, 4);
    WriteLittleEndian(Out, 0, 4);
    WriteLittleEndian(Out, 54, 4);
    WriteLittleEndian(Out, 40, 4);
    WriteLittleEndian(Out, uint32_t(Width), 4);
    WriteLittleEndian(Out, uint32_t(Height), 4);
    WriteLittleEndian(Out, 1, 2);
    WriteLittleEndian(Out, 24, 2);
    for (int I = 0; I < 6; ++I)
        WriteLittleEndian(Out, 0, 4);
    for (int Y = 0; Y < Height; ++Y) { // bottom-up rows of blue, green, red
        for (int X = 0; X < Width; ++X) {
            bool Band = std::abs(Y - Height / 2) < Height / 10;
            Out.put(char(Band ? 255 : 255 * Y / Height));
            Out.put(char(Band ? 255 : 200 * X / Width));
            Out.put(char(Band ? 255 : 255 - 255 * X / Width));
        }
        for (uint32_t P = 0; P < Padding; ++P)
            Out.put(0);
    }
    if (!Out)
        RaiseError(FormatMessageText(GetText(TTextSlot::CannotWriteFile), FileName));
}

// A clip of moving colour: a wipe sweeping from one colour to another over
// the whole clip, with the tone beneath it, rendered by the engine itself.
void WritePatternClip(const std::string& FileName, const std::string& Tone, uint32_t FromArgb,
                      uint32_t ToArgb, int32_t MaskNum) {
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({640, 360, 400000}));
    auto* Layers = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
    TVideoTime Length = 4 * Second;
    TMediaTrack* Tracks[2] = {Layers->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1),
                              Layers->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)};
    uint32_t Colours[2] = {FromArgb, ToArgb};
    for (int I = 0; I < 2; ++I) {
        auto Source = std::make_unique<TMediaSource>();
        Source->SetSubObjectClassId(MediaClassIds::ColorSource());
        Source->SetStartStop(0, Length);
        Source->SetMediaTimes(0, Length);
        TPropertySetter Properties;
        Properties.SetValue("color", std::to_string(Colours[I]));
        Source->SetProperties(std::move(Properties));
        Tracks[I]->SrcAdd(std::move(Source));
    }
    auto Wipe = std::make_unique<TMediaTransition>();
    Wipe->SetSubObjectClassId(GuidFromText("{FF4420AA-4937-4D4A-A27F-63C4B0AF6A6B}"));
    Wipe->SetStartStop(0, Length);
    TPropertySetter WipeProperties;
    WipeProperties.SetValue("MaskNum", std::to_string(MaskNum));
    WipeProperties.SetValue("BorderSoftness", "120");
    Wipe->SetProperties(std::move(WipeProperties));
    Tracks[1]->TransAdd(std::move(Wipe));

    TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
    auto Sound = std::make_unique<TMediaSource>();
    Sound->SetMediaName(Tone);
    Sound->SetStartStop(0, Length);
    Sound->SetMediaTimes(0, Length);
    Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Sound));

    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::Mp4;
    TMediaFileWriter Writer(Timeline, UiMessages(), FileName, Profile);
    Writer.Start(nullptr);
    TRenderResult Result = Writer.Wait();
    if (Result.Outcome != TRenderOutcome::Completed)
        RaiseError(Result.Error);
}

int32_t FirstTitleStyle() {
    const auto& Titles = DescriptionRegistry().Titles();
    return Titles.Count() > 0 ? Titles.Description(1)->Index() : 1;
}

} // namespace

void MakeDemoMedia(const std::string& Folder) {
    std::filesystem::create_directories(Folder);
    WriteTone(PathIn(Folder, "tone.wav"), 330, 12);
    WritePicture(PathIn(Folder, "picture.bmp"), 640, 360);
    WritePatternClip(PathIn(Folder, "sunrise.mp4"), PathIn(Folder, "tone.wav"), 0xFFFF8020u,
                     0xFF2040C0u, 101);
    WritePatternClip(PathIn(Folder, "meadow.mp4"), PathIn(Folder, "tone.wav"), 0xFF30A040u,
                     0xFFA030C0u, 4);
}

void BuildDemoProject(TProject& Project, const std::string& Folder) {
    Project.New();
    TTrack* Video = Project.Track(0);
    TTrack* Sound = Project.Track(1);
    TTrack* Overlay = Project.Track(3);

    // Laid down as a user would: three 4 s clips side by side, the still in
    // the middle slowly zooming in, then a wipe and a cross-fade of 1 s
    // dropped between them.
    TFileClip* First = Video->InsertFile(TKeepTransitions::Neither, PathIn(Folder, "sunrise.mp4"), 0);
    TFileClip* Still = Video->InsertFile(TKeepTransitions::Neither, PathIn(Folder, "picture.bmp"), First->End());
    Video->TrimClipEnd(Still, TTrimPastTransition::Stop, Still->TrimBegin() + 4 * Second);
    Still->SetZoomPan({0.5, 0.5, 1.0}, {0.4, 0.45, 0.6}, false, false);
    Video->InsertFile(TKeepTransitions::Neither, PathIn(Folder, "meadow.mp4"), Still->End());
    Video->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second, BarWipe, First->End());
    Video->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second, CrossFade, Still->End());

    TFileClip* Music = Sound->InsertFile(TKeepTransitions::Neither, PathIn(Folder, "tone.wav"), 0);
    Sound->TrimClipEnd(Music, TTrimPastTransition::Stop, 10 * Second);

    Overlay->InsertTitle(TKeepTransitions::Neither, {}, {}, "Quillmoor", FirstTitleStyle(), 3 * Second,
                         Second / 2);
    Project.SetPosition(0);
    Project.Select(nullptr, false);
}

std::string DemoProjectFile(const std::string& FolderName) {
    // Media names relative to the current folder would be read back against
    // the program's folder: the project names its media by full path.
    std::error_code PathError;
    std::filesystem::path Absolute = std::filesystem::absolute(FolderName, PathError);
    const std::string Folder = PathError ? FolderName : Absolute.lexically_normal().string();
    return PathIn(Folder, "Demo.qmp");
}

int RunDemo(const std::string& FolderName, TDemoJob Job, const TRenderRequest& Request) {
    const std::string ProjectFile = DemoProjectFile(FolderName);
    const std::string Folder = std::filesystem::path(ProjectFile).parent_path().string();
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    try {
        MakeDemoMedia(Folder);
        BuildDemoProject(*Project, Folder);
        Render.SetKind(TRenderKind::MP4Quality);
        Project->SaveToFile(ProjectFile);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    std::printf("%s\n",
                FormatMessageText(GetText(TTextSlot::DemoProjectSaved), ProjectFile).c_str());
    if (Job == TDemoJob::MakeOnly)
        return 0;
    if (Request.OutputFile.empty())
        return RenderProject(*Project, Render, {PathIn(Folder, "Demo.mp4"), Request.Kind});
    return RenderProject(*Project, Render, Request);
}
