// Media that goes away while its project is open: deleted, overwritten with
// garbage, made unreadable. Every edit must still stand as it would with the
// file present, undo and redo must still work, the project must still save,
// load and render, and the clip must come back once the file does. These
// once ended the program: a rebuild that failed while a bracket closed threw
// from a destructor.

#include "core/exception_report.h"
#include "editing_fixture.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "project/clip_effect.h"
#include "project/undo_history.h"
#include "render/codec_media_settings.h"
#include "render/format_media_settings.h"
#include "render/output_settings.h"
#include "render/render.h"
#include "render/render_job.h"
#include "render/video_media_settings.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// How the file goes away, and how it comes back.
enum class TLoss { Deleted, Garbage, Unreadable, LinkLoop };

const char* LossName(TLoss Loss) {
    switch (Loss) {
    case TLoss::Deleted:
        return "Deleted";
    case TLoss::Garbage:
        return "Garbage";
    case TLoss::Unreadable:
        return "Unreadable";
    case TLoss::LinkLoop:
        return "LinkLoop";
    }
    return "";
}

std::string Away(const std::string& File) {
    return File + ".away";
}

void Lose(TLoss Loss, const std::string& File) {
    switch (Loss) {
    case TLoss::Deleted:
        fs::rename(File, Away(File));
        break;
    case TLoss::Garbage:
        fs::rename(File, Away(File));
        WriteGarbageFile(File, 4096, 7);
        break;
    case TLoss::Unreadable:
        fs::permissions(File, fs::perms::none);
        break;
    case TLoss::LinkLoop:
        // A link to itself: opening it fails for everyone, root included.
        fs::rename(File, Away(File));
        fs::create_symlink(fs::path(File).filename(), File);
        break;
    }
}

void Restore(TLoss Loss, const std::string& File) {
    if (Loss == TLoss::Unreadable) {
        fs::permissions(File, fs::perms::owner_read | fs::perms::owner_write);
        return;
    }
    fs::remove(File);
    fs::rename(Away(File), File);
}

// The media of the clip that goes away, and the track it sits on.
enum class TMediaKind { Tone, Video };

struct TEditCase {
    const char* Name;
    // Run with the file present, before the edit; may be empty.
    std::function<void(TTrack&)> Prepare;
    // The item selected before the edit (-1: none).
    int32_t Selected;
    std::function<void(TTrack&, const std::string& Good)> Edit;
    // Whether the edit rebuilds a clip of the lost file, which then shows
    // as unavailable.
    bool RebuildsLostClip;
};

TFileClip* FileAt(TTrack& Track, int32_t Index) {
    return dynamic_cast<TFileClip*>(Track.Item(Index));
}

void SelectOnly(TTrackItem* Item) {
    Item->Track()->Project()->Select(Item, false);
}

// The lost clip is item 1, between two clips of a file that stays.
const TEditCase EditCases[] = {
    {"InsertAtFront", {}, -1, [](TTrack& T, const std::string& Good) { T.InsertFile(TKeepTransitions::Neither, Good, 0); },
     true},
    {"MoveSelection", {}, 1, [](TTrack& T, const std::string&) { T.MoveSelection(Second / 2); },
     true},
    {"Split", {}, -1,
     [](TTrack& T, const std::string&) {
         TFileClip* Lost = FileAt(T, 1);
         T.SplitClip(Lost, Lost->Position() + Lost->Duration() / 2);
     },
     true},
    {"TrimStart", {}, -1,
     [](TTrack& T, const std::string&) {
         TFileClip* Lost = FileAt(T, 1);
         T.TrimClipStart(Lost, TTrimPastTransition::Stop, Lost->TrimBegin() + Second / 4);
     },
     true},
    {"TrimEnd", {}, -1,
     [](TTrack& T, const std::string&) {
         TFileClip* Lost = FileAt(T, 1);
         T.TrimClipEnd(Lost, TTrimPastTransition::Stop, Lost->TrimEnd() - Second / 4);
     },
     true},
    {"Join",
     [](TTrack& T) {
         TFileClip* Lost = FileAt(T, 1);
         T.SplitClip(Lost, Lost->Position() + Lost->Duration() / 2);
     },
     -1, [](TTrack& T, const std::string&) { T.JoinClips(1, 2, T.Item(1)->Position()); }, true},
    {"Merge",
     [](TTrack& T) {
         TFileClip* Lost = FileAt(T, 1);
         T.SplitClip(Lost, Lost->Position() + Lost->Duration() / 2);
     },
     -1, [](TTrack& T, const std::string&) { T.MergeClip(FileAt(T, 1)); }, true},
    {"DeleteTheClipBefore", {}, 0, [](TTrack& T, const std::string&) { T.DeleteSelectedItems(); },
     false},
    {"DeleteTheLostClip", {}, 1, [](TTrack& T, const std::string&) { T.DeleteSelectedItems(); },
     false},
};

struct TVanishCase {
    TMediaKind Media;
    TLoss Loss;
    TEditCase Edit;
};

void PrintTo(const TVanishCase& Case, std::ostream* Out) {
    *Out << (Case.Media == TMediaKind::Tone ? "Tone" : "Video") << LossName(Case.Loss)
         << Case.Edit.Name;
}

std::vector<TVanishCase> AllCases() {
    std::vector<TVanishCase> Cases;
    for (TMediaKind Media : {TMediaKind::Tone, TMediaKind::Video})
        for (TLoss Loss : {TLoss::Deleted, TLoss::Garbage, TLoss::Unreadable, TLoss::LinkLoop})
            for (const TEditCase& Edit : EditCases)
                Cases.push_back({Media, Loss, Edit});
    return Cases;
}

class VanishingMedia : public EditingTest, public ::testing::WithParamInterface<TVanishCase> {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        if (GetParam().Loss == TLoss::Unreadable && ::geteuid() == 0)
            GTEST_SKIP() << "running as root, which reads a file whatever its permissions; "
                            "LinkLoop covers a file that root cannot open either";
        SetExceptionReportHandler([this](const std::exception& Error) {
            Reports.push_back(Error.what());
        });
        bool Tone = GetParam().Media == TMediaKind::Tone;
        Track = Tone ? AudioTrack() : VideoTrack();
        Good = MakeMedia("good");
        Lost = MakeMedia("lost");
        // Gaps of a second between the clips leave room to move.
        PlaceFile(Track, Good, 0);
        PlaceFile(Track, Lost, Track->Item(0)->End() + Second);
        PlaceFile(Track, Good, Track->Item(1)->End() + Second);
    }
    void TearDown() override {
        SetExceptionReportHandler({});
        EditingTest::TearDown();
    }

    std::string MakeMedia(const std::string& Name) {
        if (GetParam().Media == TMediaKind::Tone) {
            std::string File = Folder.Path(Name + ".wav");
            WriteTestTone(File, 440, 0.5, 2.0, 22050, 1);
            return File;
        }
        return Video(Name + ".avi");
    }

    void Edit() {
        const TEditCase& Case = GetParam().Edit;
        if (Case.Selected >= 0)
            SelectOnly(Track->Item(Case.Selected));
        Case.Edit(*Track, Good);
    }

    std::string Saved() const {
        TData Data;
        Project->SaveToData(Data);
        return Data.SaveToText();
    }

    // The clips of the lost file on the track.
    std::vector<TFileClip*> LostClips() const {
        std::vector<TFileClip*> Clips;
        for (int32_t I = 0; I < Track->ItemCount(); ++I)
            if (TFileClip* Clip = FileAt(*Track, I); Clip && Clip->FileName() == Lost)
                Clips.push_back(Clip);
        return Clips;
    }

    void RenderCompletes() {
        TRender Render(Project->Timeline());
        bool Tone = GetParam().Media == TMediaKind::Tone;
        Render.SetKind(Tone ? TRenderKind::MP3 : TRenderKind::AVI);
        Render.AVI().Video().SetWidth(32);
        Render.AVI().Video().SetHeight(24);
        Render.AVI().Video().SetFramesPerSecond(5);
        std::string File = Folder.Path(Tone ? "out.mp3" : "out.avi");
        TRenderJob Job(Project->Timeline());
        Job.Render(File, Render.OutputSettings());
        TRenderResult Result = Job.Wait();
        EXPECT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
        EXPECT_TRUE(fs::exists(File));
    }

    TTrack* Track = nullptr;
    std::string Good, Lost;
    std::vector<std::string> Reports;
};

TEST_P(VanishingMedia, EditsStandUndoRedoSaveAndRenderWorkAndTheClipComesBack) {
    const TVanishCase& Case = GetParam();
    TUndoHistory& History = UndoHistory();
    if (Case.Edit.Prepare)
        Case.Edit.Prepare(*Track);
    if (Case.Edit.Selected >= 0)
        SelectOnly(Track->Item(Case.Edit.Selected));
    // The edit as it is with the file present.
    std::string Before = Saved();
    Edit();
    std::string Edited = Saved();
    std::string EditedLayout = Layout(Track);
    ASSERT_NE(Edited, Before);
    History.Undo();
    ASSERT_EQ(Saved(), Before);
    ASSERT_TRUE(Reports.empty());

    Lose(Case.Loss, Lost);
    ASSERT_NO_THROW(Edit());
    // The edit stood as it does with the file present: nothing is lost.
    EXPECT_EQ(Layout(Track), EditedLayout);
    EXPECT_EQ(Saved(), Edited);
    if (Case.Edit.RebuildsLostClip) {
        ASSERT_FALSE(LostClips().empty());
        for (TFileClip* Clip : LostClips())
            EXPECT_FALSE(Clip->IsAvailable()) << Clip->Position();
        // Reported once, naming the file.
        ASSERT_EQ(Reports.size(), 1u);
        EXPECT_NE(Reports[0].find(Lost), std::string::npos) << Reports[0];
    }

    ASSERT_NO_THROW(History.Undo());
    EXPECT_EQ(Saved(), Before);
    ASSERT_NO_THROW(History.Redo());
    EXPECT_EQ(Saved(), Edited);
    EXPECT_EQ(Layout(Track), EditedLayout);

    RenderCompletes();
    std::string File = Folder.Path("vanish.qmp");
    ASSERT_NO_THROW(Project->SaveToFile(File));
    TRefPtr<TProject> Opened{new TProject};
    Opened->LoadFromFile(File);
    TData Data;
    Opened->SaveToData(Data);
    EXPECT_EQ(Data.SaveToText(), Edited);

    // The file is back: a check brings every clip of it back to life, and
    // the engine holds what a project loaded now would build.
    Restore(Case.Loss, Lost);
    Project->CheckMedia();
    for (TFileClip* Clip : LostClips())
        EXPECT_TRUE(Clip->IsAvailable()) << Clip->Position();
    EXPECT_TRUE(EngineMatchesFresh());
    EXPECT_EQ(Saved(), Edited);
}

INSTANTIATE_TEST_SUITE_P(EveryLossAndEdit, VanishingMedia, ::testing::ValuesIn(AllCases()),
                         [](const auto& Info) {
                             std::ostringstream Name;
                             PrintTo(Info.param, &Name);
                             return Name.str();
                         });

class VanishingMediaRevival : public VanishingMedia {};

// Without any check, the next edit that rebuilds the clip finds the file
// that came back.
TEST_P(VanishingMediaRevival, TheNextRebuildAfterTheFileReturnsBringsTheClipBack) {
    const TVanishCase& Case = GetParam();
    Lose(Case.Loss, Lost);
    Edit();
    ASSERT_FALSE(FileAt(*Track, 1)->IsAvailable());
    Restore(Case.Loss, Lost);
    SelectOnly(Track->Item(1));
    Track->MoveSelection(Second / 2);
    EXPECT_TRUE(FileAt(*Track, 1)->IsAvailable());
    EXPECT_TRUE(EngineMatchesFresh());
    EXPECT_EQ(Reports.size(), 1u);
}

// A project opened while a clip's file was lost holds the clip without an
// element, which no rebuild can retry; once the file is back a media check
// opens it again: the clip is available, the engine holds what opening the
// project now builds (effect and transition joined again), it renders as
// that would, and the stored project is unchanged.
TEST_P(VanishingMediaRevival, AClipOpenedWhileItsFileWasLostComesBackWithItsFile) {
    const TVanishCase& Case = GetParam();
    const bool Video = Case.Media == TMediaKind::Video;
    if (Video) {
        JoinLast(Track, Second / 2);
        Track->AddEffectSubTrack(1);
        FileAt(*Track, 1)->InsertClipEffect(new TClipEffect(1), 1);
    }
    const std::string Stored = Saved();
    auto LostClipOf = [&](TProject& In) -> TFileClip* {
        TTrack* T = In.Track(Track->Index());
        for (int32_t I = 0; I < T->ItemCount(); ++I)
            if (TFileClip* Clip = FileAt(*T, I); Clip && Clip->FileName() == Lost)
                return Clip;
        return nullptr;
    };

    Lose(Case.Loss, Lost);
    TRefPtr<TProject> Opened = Reloaded();
    TFileClip* Clip = LostClipOf(*Opened);
    ASSERT_NE(Clip, nullptr);
    EXPECT_EQ(Clip->FileElement(), nullptr);
    EXPECT_FALSE(Clip->IsAvailable());
    EXPECT_EQ(Opened->CheckMedia(), 0) << "the file is still lost";
    EXPECT_FALSE(Clip->IsAvailable());

    Restore(Case.Loss, Lost);
    EXPECT_EQ(Opened->CheckMedia(), 1);
    EXPECT_TRUE(Clip->IsAvailable());
    EXPECT_EQ(Opened->CheckMedia(), 0) << "a clip comes back once";
    TRefPtr<TProject> Fresh = Reloaded();
    EXPECT_EQ(EngineText(Opened->Timeline()), EngineText(Fresh->Timeline()));
    TData Data;
    Opened->SaveToData(Data);
    EXPECT_EQ(Data.SaveToText(), Stored);
    if (Video) {
        TVideoFrame Shown, Expected;
        const TVideoTime Middle = Clip->Position() + Clip->Duration() / 2;
        TMediaRenderer(Opened->Timeline().Platform()).RenderVideo(Middle, Shown);
        TMediaRenderer(Fresh->Timeline().Platform()).RenderVideo(Middle, Expected);
        ASSERT_FALSE(Expected.IsEmpty());
        ASSERT_EQ(Shown.Width(), Expected.Width());
        ASSERT_EQ(Shown.Height(), Expected.Height());
        EXPECT_EQ(Shown.Pixel(Shown.Width() / 2, Shown.Height() / 2),
                  Expected.Pixel(Expected.Width() / 2, Expected.Height() / 2));
    }
}

std::vector<TVanishCase> RevivalCases() {
    std::vector<TVanishCase> Cases;
    for (const TVanishCase& Case : AllCases())
        if (std::string(Case.Edit.Name) == "MoveSelection")
            Cases.push_back(Case);
    return Cases;
}

INSTANTIATE_TEST_SUITE_P(EveryLoss, VanishingMediaRevival, ::testing::ValuesIn(RevivalCases()),
                         [](const auto& Info) {
                             std::ostringstream Name;
                             PrintTo(Info.param, &Name);
                             return Name.str();
                         });

} // namespace
