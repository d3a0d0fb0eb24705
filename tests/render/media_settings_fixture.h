#pragma once

#include "core/changes.h"
#include "render/file_clip_element.h"
#include "render/media_settings.h"
#include "render/timeline.h"
#include "test_media.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Counts the notifications of a settings tree and collects their flags.
struct TChangeCounter {
    int Count = 0;
    TMediaSettingsChangeFlags Flags{};
    void Changed(TObject*, TMediaSettingsChangeFlags ChangeFlags) {
        ++Count;
        Flags |= ChangeFlags;
    }
    TMediaSettingsChanges::TChangeHandler Method() {
        return MakeDelegate<&TChangeCounter::Changed>(this);
    }
    void Reset() { *this = {}; }
};

// A render timeline with media made at run time: clips are appended to its
// first track (an A/B video and audio track) and live as long as the test.
class TMediaTimelineFixture : public ::testing::Test {
protected:
    static constexpr TVideoTime Second = 10000000;

    // A clip of Width x Height at Fps, Seconds long, with a tone of Rate and
    // Channels unless Rate is 0.
    TFileClipElement& AddVideo(int Width, int Height, int Fps, double Seconds, int Rate = 22050,
                               int Channels = 1) {
        TTestVideoOptions Options;
        Options.Width = Width;
        Options.Height = Height;
        Options.FramesPerSecondNum = Fps;
        Options.FrameCount = static_cast<int>(Seconds * Fps);
        Options.GopSize = Fps;
        Options.WithAudio = Rate > 0;
        Options.SampleRate = Rate > 0 ? Rate : 44100;
        Options.Channels = Channels;
        std::string File = Folder.Path("clip" + std::to_string(++FFiles) + ".avi");
        WriteTestVideo(File, Options);
        return Place(std::make_unique<TFileClipElement>(File, Rate > 0, true, -1));
    }
    TFileClipElement& AddTone(double Seconds, int Rate = 22050, int Channels = 1) {
        std::string File = Folder.Path("tone" + std::to_string(++FFiles) + ".wav");
        WriteTestTone(File, 440, 0.5, Seconds, Rate, Channels);
        return Place(std::make_unique<TFileClipElement>(File, true, false, -1));
    }
    // A clip made with Options as File (in the test's folder), with or without its sound.
    TFileClipElement& AddClip(const std::string& Name, const TTestVideoOptions& Options) {
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return Place(std::make_unique<TFileClipElement>(File, Options.WithAudio, true, -1));
    }
    // A still picture of Width x Height, shown for a second.
    TFileClipElement& AddPicture(int Width, int Height) {
        std::string File = Folder.Path("picture" + std::to_string(++FFiles) + ".png");
        WriteTestPicture(File, Width, Height, 0xFF2060A0);
        return Place(std::make_unique<TFileClipElement>(File, false, true, Second));
    }
    TColorClipElement& AddColor(TVideoTime Duration) {
        return Place(std::make_unique<TColorClipElement>(MakeColor(200, 40, 40), Duration));
    }

    TTempFolder Folder;
    TTimeline Timeline;

private:
    template <class T>
    T& Place(std::unique_ptr<T> Clip) {
        Clip->MoveTo(Timeline.Track(1), -3, Timeline.Track(1)->GetDuration());
        T& Result = *Clip;
        FClips.push_back(std::move(Clip));
        return Result;
    }

    int FFiles = 0;
    // Freed before the timeline, so that each takes itself off its track.
    std::vector<std::unique_ptr<TClipElement>> FClips;
};
