#include "project/item_record.h"

#include <filesystem>

#include "item_test_fixture.h"
#include "project/file_clip.h"
#include "project/media_paths.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/timeline_track.h"

namespace {

using ItemRecordTest = ItemTest;

TEST_F(ItemRecordTest, ProjectWithEveryItemKindRoundTripsByteForByte) {
    auto* Still = new TFileClip(0, Picture("p.png"));
    VideoTrack()->InsertItem(Still, 0);
    Still->SetZoomPanRaw({0.123456789, 0.9, 0.75}, {0.3, 0.2, 1.5}, true, true);
    auto* Clip = new TFileClip(0, Video("a.avi"));
    VideoTrack()->InsertItem(Clip, 2);
    Clip->SetTrim(Second / 4, 7 * Second / 4);
    auto* Transition = new TTransition(Second, 0, TransitionIndex(true));
    VideoTrack()->InsertItem(Transition, 1);
    LinkFrom(Transition, Still);
    LinkTo(Transition, Clip);
    Clip->SetPosition(Still->End() - Second);
    VideoTrack()->Normalize(false);
    auto* Title = new TTitleClip(3 * Second, 0, FirstTitleStyle());
    Project->Track(3)->InsertItem(Title, 0);
    Title->SetText("Été à Zürich — 夏");
    TTitleFont Main;
    Main.Name = "DejaVu Sans";
    Main.Size = 0.12;
    Main.Style = FontStyleItalic;
    Main.Color = 0x80FF0000;
    Title->SetContent(Title->Text(), Main, Title->CaptionFont().Font());
    VideoTrack()->Item(0)->SetSelected(true);

    std::string Saved = ProjectText(*Project);
    TRefPtr<TProject> Copy = Reloaded();
    EXPECT_EQ(ProjectText(*Copy), Saved) << FirstDifference(Saved, ProjectText(*Copy));

    ASSERT_EQ(Copy->Track(0)->ItemCount(), 3);
    auto* LoadedTransition = dynamic_cast<TTransition*>(Copy->Track(0)->Item(1));
    ASSERT_NE(LoadedTransition, nullptr);
    EXPECT_EQ(LoadedTransition->FromClip(), Copy->Track(0)->Item(0));
    EXPECT_EQ(LoadedTransition->ToClip(), Copy->Track(0)->Item(2));
    auto* LoadedStill = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(0));
    ASSERT_NE(LoadedStill, nullptr);
    EXPECT_NEAR(LoadedStill->ZoomPanBegin().MidX, 0.12345679, 1e-12);
    auto* LoadedTitle = dynamic_cast<TTitleClip*>(Copy->Track(3)->Item(0));
    ASSERT_NE(LoadedTitle, nullptr);
    EXPECT_EQ(LoadedTitle->Text(), "Été à Zürich — 夏");
    EXPECT_EQ(LoadedTitle->MainFont().Font(), Main);
    EXPECT_EQ(Copy->Track(0)->RenderTrack()->ClipCount(), 2);
    EXPECT_EQ(Copy->Track(0)->RenderTrack()->TransitionCount(), 1);
}

TEST_F(ItemRecordTest, MissingMediaIsKeptAndStoredAgainUnchanged) {
    std::string File = Video("a.avi");
    auto* Clip = new TFileClip(Second, File);
    VideoTrack()->InsertItem(Clip, 0);
    Clip->SetTrim(Second / 2, Second);
    std::string Saved = ProjectText(*Project);
    std::filesystem::remove(File);

    TRefPtr<TProject> Copy = Reloaded();
    auto* Loaded = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(0));
    ASSERT_NE(Loaded, nullptr);
    EXPECT_FALSE(Loaded->IsAvailable());
    EXPECT_EQ(Loaded->FileName(), File);
    EXPECT_EQ(Loaded->Position(), Second);
    EXPECT_EQ(Loaded->Duration(), Second / 2);
    EXPECT_EQ(ProjectText(*Copy), Saved) << FirstDifference(Saved, ProjectText(*Copy));
}

TEST_F(ItemRecordTest, UndecodableMediaStillOpensTheProject) {
    std::string File = Video("a.avi");
    VideoTrack()->InsertItem(new TFileClip(0, File), 0);
    std::string Saved = ProjectText(*Project);
    WriteGarbageFile(File, 2048, 3);
    TRefPtr<TProject> Copy = Reloaded();
    auto* Loaded = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(0));
    ASSERT_NE(Loaded, nullptr);
    EXPECT_FALSE(Loaded->IsAvailable());
    EXPECT_EQ(ProjectText(*Copy), Saved);
}

// Loads one item record written as text into the video track.
TTrackItem* LoadRecord(TProject& Target, const std::string& Record) {
    TData Data;
    Data.LoadFromText(Record);
    TRefPtr<TTrackItem> Item = LoadTrackItem(Data);
    if (Item)
        Target.Track(0)->InsertItem(Item.Get(), Target.Track(0)->ItemCount());
    return Item.Get();
}

TEST_F(ItemRecordTest, UnknownTypesAndCatalogueIdsAreSkipped) {
    EXPECT_EQ(LoadRecord(*Project, "Type = Hologram\nId = 1\n"), nullptr);
    EXPECT_EQ(LoadRecord(*Project, "Type = TitleClip\nId = 99999\n"), nullptr);
    EXPECT_EQ(LoadRecord(*Project, "Type = Transition\nId = 0\n"), nullptr);
    EXPECT_EQ(LoadRecord(*Project, "Position = 5\n"), nullptr);
    EXPECT_EQ(VideoTrack()->ItemCount(), 0);
}

TEST_F(ItemRecordTest, DamagedTimesAreClampedNotTrusted) {
    std::string File = Video("a.avi");
    std::string Stored = StoredMediaFileName(File, MediaFolders());
    auto* Clip = dynamic_cast<TFileClip*>(
        LoadRecord(*Project, "Type = FileClip\nFileName = " + Stored +
                                 "\nPosition = -50\nDuration = -7\nTrimBegin = -3\n"
                                 "TrimEnd = 999999999999999999\n"));
    ASSERT_NE(Clip, nullptr);
    EXPECT_EQ(Clip->Position(), 0);
    EXPECT_EQ(Clip->TrimBegin(), 0);
    EXPECT_EQ(Clip->TrimEnd(), 2 * Second);
    EXPECT_EQ(Clip->Duration(), 2 * Second);

    auto* Reversed = dynamic_cast<TFileClip*>(
        LoadRecord(*Project, "Type = FileClip\nFileName = " + Stored +
                                 "\nPosition = 99999999999999999\nDuration = 10000000\n"
                                 "TrimBegin = 15000000\nTrimEnd = 5000000\n"));
    ASSERT_NE(Reversed, nullptr);
    EXPECT_EQ(Reversed->Position(), MaxProjectPosition);
    EXPECT_EQ(Reversed->TrimBegin(), 0);
    EXPECT_EQ(Reversed->TrimEnd(), Second);
}

TEST_F(ItemRecordTest, DamagedZoomFallsBackAndAbsentValuesReadAsHalf) {
    std::string Stored = StoredMediaFileName(Picture("p.png"), MediaFolders());
    auto* Still = dynamic_cast<TFileClip*>(
        LoadRecord(*Project, "Type = FileClip\nFileName = " + Stored +
                                 "\nDuration = 50000000\nZoomPan:\n  Begin.MidX = 0.2\n"
                                 "  End.Zoom = -4\n  End.MidY = 7\nend\n"));
    ASSERT_NE(Still, nullptr);
    EXPECT_EQ(Still->ZoomPanBegin(), (TZoomPanValue{0.2, 0.5, 0.5}));
    EXPECT_EQ(Still->ZoomPanEnd(), (TZoomPanValue{0.5, 1.0, 0.5}));
}

TEST_F(ItemRecordTest, TitleWithoutDurationGetsTheShortestLength) {
    auto* Title = LoadRecord(
        *Project, "Type = TitleClip\nId = " + std::to_string(FirstTitleStyle()) + "\nText = Hi\n");
    ASSERT_NE(Title, nullptr);
    EXPECT_EQ(Title->Duration(), MinimumItemDuration);
    EXPECT_EQ(static_cast<TTitleClip*>(Title)->Text(), "Hi");
}

} // namespace
