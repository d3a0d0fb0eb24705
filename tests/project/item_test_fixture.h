#pragma once

#include "core/data.h"
#include "core/video_time.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/track.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/transition_description.h"
#include "test_media.h"
#include "test_project_fixture.h"
#include "undo_round_trip.h"

#include <gtest/gtest.h>

#include <string>

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;

// A new project with the default tracks (kinds 1 to 5) and a folder for
// media made at run time.
class ItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProjectDefaults().SetBuiltIn();
        Project->New();
    }
    // The history is the application's: what a test recorded must not reach
    // the next one.
    void TearDown() override { EmptyUndoHistory(); }

    TTrack* VideoTrack() const { return Project->Track(0); }
    TTrack* AudioTrack() const { return Project->Track(1); }

    // A 2 s clip of 320 x 240 at 25 frames per second, numbered frames.
    std::string Video(const std::string& Name, int Frames = 50) {
        TTestVideoOptions Options;
        Options.FrameCount = Frames;
        Options.Painter = NumberedFrames();
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }
    std::string Picture(const std::string& Name, uint32_t Bgra = 0xFF0000FF) {
        std::string File = Folder.Path(Name);
        WriteTestPicture(File, 64, 48, Bgra);
        return File;
    }

    static int32_t FirstTitleStyle() {
        return DescriptionRegistry().Titles().Description(1)->Index();
    }
    // A transition that can be reversed, and one that cannot.
    static int32_t TransitionIndex(bool Reversible) {
        const auto& Transitions = DescriptionRegistry().Transitions();
        for (int32_t P = 1; P <= Transitions.Count(); ++P) {
            auto* Description =
                static_cast<const TTransitionDescription*>(Transitions.Description(P));
            if (Description->IsReversible() == Reversible)
                return Description->Index();
        }
        return -1;
    }

    // Saves the project and loads the text into a fresh one.
    TRefPtr<TProject> Reloaded() const {
        TData Data;
        Project->SaveToData(Data);
        TRefPtr<TProject> Copy{new TProject};
        TData Read;
        Read.LoadFromText(Data.SaveToText());
        Copy->LoadFromData(Read);
        return Copy;
    }

    TTempFolder Folder;
    TRefPtr<TProject> Project{new TProject};
};
