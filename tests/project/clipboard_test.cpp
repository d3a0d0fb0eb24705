// Copy, cut and paste of tracks, effect sub-tracks, track items and clip
// effects through the clipboard, each paste rule with its undo step, and
// clipboard documents written by someone else.

#include "project/clipboard.h"

#include "editing_fixture.h"
#include "platform/clipboard.h"
#include "project/clip_effect.h"
#include "project/effect.h"
#include "project/sub_track.h"
#include "project/undo_history.h"

#include <chrono>

namespace {

constexpr int32_t EmbossIndex = 1;

class ClipboardTest : public EditingTest {
protected:
    TTrack* OverlayTrack() const { return Project->Track(3); }
    TTrack* EffectsTrack() const { return Project->Track(4); }

    // Two 2 s clips on Track from 0, joined by a 1 s transition.
    void PlaceJoinedPair(TTrack* Track) {
        First = PlaceFile(Track, Video("a.avi"), 0);
        Second_ = PlaceFile(Track, Video("b.avi"), 2 * Second);
        Join = JoinLast(Track, Second / 2);
    }

    void Copy(TCopyMode Mode = TCopyMode::Copy) { TProjectClipboard(*Project, Clipboard).Copy(Mode); }
    void Paste(const TPasteTarget& Target) { TProjectClipboard(*Project, Clipboard).Paste(Target); }

    // Puts a document built by Write on the clipboard, as another program might.
    void PutDocument(const std::function<void(TData&)>& Write) {
        TData Data;
        {
            TDataSection Root(Data, "Clipboard");
            Write(Data);
        }
        Clipboard.SetText(ClipboardDocumentText(Data.SaveToText()));
    }

    static TPasteTarget AtTime(TTrack* Track, TVideoTime Time) {
        TPasteTarget Target;
        Target.Kind = TPasteTargetKind::TrackAtTime;
        Target.Track = Track;
        Target.Time = Time;
        return Target;
    }

    TMemoryClipboard Clipboard;
    TFileClip* First = nullptr;
    TFileClip* Second_ = nullptr;
    TTransition* Join = nullptr;
};

TEST_F(ClipboardTest, TwoClipsJoinedByATransitionPasteWithItOnAnotherTrackAtTheCursor) {
    PlaceJoinedPair(VideoTrack());
    Select({First, Join, Second_});
    Copy();
    EXPECT_TRUE(TProjectClipboard(*Project, Clipboard).CanPaste());
    TTrack* Other = Project->AddTrack(1, TTrackKind::Any);
    EmptyUndoHistory();

    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(AtTime(Other, 10 * Second)); }));
    ASSERT_EQ(Other->ItemCount(), 3) << Layout(Other);
    auto* A = dynamic_cast<TClip*>(Other->Item(0));
    auto* T = dynamic_cast<TTransition*>(Other->Item(1));
    auto* B = dynamic_cast<TClip*>(Other->Item(2));
    ASSERT_TRUE(A && T && B);
    EXPECT_EQ(A->Position(), 10 * Second);
    EXPECT_EQ(T->FromClip(), A);
    EXPECT_EQ(T->ToClip(), B);
    EXPECT_EQ(A->TrailingTransition(), T);
    EXPECT_EQ(B->Position() - A->Position(), Second_->Position() - First->Position());
    for (int32_t I = 0; I < 3; ++I)
        EXPECT_TRUE(Other->Item(I)->IsSelected());
    // Copies, not the originals.
    EXPECT_EQ(VideoTrack()->ItemCount(), 3);
    EXPECT_FALSE(First->IsSelected());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(ClipboardTest, CopyingItemsNeverWritesTracksAndCopyingATrackWritesItsItems) {
    PlaceJoinedPair(VideoTrack());
    Select({First});
    TData Items;
    ASSERT_TRUE(WriteClipboardDocument(*Project, Items));
    Items.Enter("Clipboard");
    EXPECT_EQ(Items.ReadInteger("Count", 0), 1);
    Items.Enter("Object[0]");
    EXPECT_EQ(Items.ReadString("Type", ""), "TrackItems");
    EXPECT_EQ(Items.ReadInteger("TrackOrder", 0), 1);

    Project->Select(VideoTrack(), false);
    TData Track;
    ASSERT_TRUE(WriteClipboardDocument(*Project, Track));
    Track.Enter("Clipboard");
    Track.Enter("Object[0]");
    EXPECT_EQ(Track.ReadString("Type", ""), "Track");
    EXPECT_EQ(Track.ReadInteger("TrackKind", -1), 1);
    Track.Enter("Track");
    Track.Enter("Items");
    EXPECT_EQ(Track.ReadInteger("Count", 0), 3);
}

TEST_F(ClipboardTest, CuttingATrackIsOneStepAndPasteAfterwardsInsertsCopies) {
    PlaceTitle(OverlayTrack(), 0, 2 * Second);
    TRefPtr<TTrack> Cut(OverlayTrack());
    const int32_t Count = Project->TrackCount();
    Project->Select(Cut.Get(), false);
    EmptyUndoHistory();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Copy(TCopyMode::Cut); }));
    EXPECT_EQ(Project->TrackCount(), Count - 1);
    UndoHistory().Undo();
    ASSERT_EQ(Project->TrackCount(), Count);
    EXPECT_EQ(Project->Track(3), Cut.Get());
    UndoHistory().Redo();

    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::TrackIndex;
    Target.TrackIndex = 1;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    ASSERT_EQ(Project->TrackCount(), Count);
    TTrack* Pasted = Project->Track(1);
    EXPECT_NE(Pasted, Cut.Get());
    EXPECT_EQ(Pasted->Kind(), TTrackKind::Overlay);
    EXPECT_EQ(Pasted->ItemCount(), 1);
    EXPECT_TRUE(Pasted->IsSelected());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(ClipboardTest, ACutWhoseClipboardFailsLeavesTheProjectAsItWas) {
    PlaceJoinedPair(VideoTrack());
    Select({First});
    EmptyUndoHistory();
    const std::string Before = ProjectText(*Project);
    Clipboard.SetFailing(true);
    EXPECT_THROW(Copy(TCopyMode::Cut), EClipboardError);
    EXPECT_EQ(ProjectText(*Project), Before);
    EXPECT_EQ(UndoHistory().Count(), 0);
    EXPECT_THROW(Paste(AtTime(VideoTrack(), 0)), EClipboardError);
    EXPECT_FALSE(TProjectClipboard(*Project, Clipboard).CanPaste());
}

TEST_F(ClipboardTest, APastedMainVideoTrackReplacesTheOldOneAndUndoBringsItBack) {
    PlaceTitle(VideoTrack(), 0, 2 * Second);
    Project->Select(VideoTrack(), false);
    Copy();
    TRefPtr<TTrack> Old(VideoTrack());
    PlaceTitle(Old.Get(), 2 * Second, 2 * Second);
    const int32_t Count = Project->TrackCount();
    EmptyUndoHistory();

    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::TrackIndex;
    Target.TrackIndex = 3; // the main track goes first all the same
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    EXPECT_EQ(Project->TrackCount(), Count);
    EXPECT_NE(Project->Track(0), Old.Get());
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Video);
    EXPECT_EQ(Project->Track(0)->ItemCount(), 1);
    EXPECT_EQ(Project->LastKind1Index(), 0);
    UndoHistory().Undo();
    EXPECT_EQ(Project->Track(0), Old.Get());
    EXPECT_EQ(Old->ItemCount(), 2);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(ClipboardTest, PastedTracksKeepTheTrackOrder) {
    Project->Select(EffectsTrack(), false);
    Copy();
    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::BeforeTrack;
    Target.Track = VideoTrack();
    Paste(Target); // effect tracks stay last
    EXPECT_EQ(Project->Track(Project->TrackCount() - 1)->Kind(), TTrackKind::Effects);
    EXPECT_EQ(Project->Track(Project->TrackCount() - 2)->Kind(), TTrackKind::Effects);
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Video);

    Project->Select(AudioTrack(), false);
    Copy();
    Paste(Target); // before the main track: just after it
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Video);
    EXPECT_EQ(Project->Track(1)->Kind(), TTrackKind::Sound);
    EXPECT_TRUE(Project->Track(1)->IsSelected());
}

TEST_F(ClipboardTest, AudioClipsPastedOnAnOverlayTrackPasteNothingButTheStep) {
    std::string Tone = Folder.Path("tone.wav");
    WriteTestTone(Tone, 440, 0.5, 2);
    TFileClip* Sound = PlaceFile(AudioTrack(), Tone, 0);
    Select({Sound});
    Copy();
    EmptyUndoHistory();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(AtTime(OverlayTrack(), 0)); },
                              TEditChanges::Nothing));
    EXPECT_EQ(OverlayTrack()->ItemCount(), 0);
}

TEST_F(ClipboardTest, ALoneTransitionIsDropped) {
    PlaceJoinedPair(VideoTrack());
    Select({Join});
    Copy();
    TTrack* Other = Project->AddTrack(1, TTrackKind::Any);
    Paste(AtTime(Other, 0));
    EXPECT_EQ(Other->ItemCount(), 0);
}

TEST_F(ClipboardTest, ItemsPasteIntoTheTargetClipsTrackAfterIt) {
    PlaceJoinedPair(VideoTrack());
    TTitleClip* Title = PlaceTitle(OverlayTrack(), 0, 2 * Second);
    Select({Title});
    Copy();
    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::Clip;
    Target.Clip = Second_;
    EmptyUndoHistory();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 4) << Layout(VideoTrack());
    EXPECT_EQ(VideoTrack()->Item(3)->Position(), Second_->End());
    EXPECT_TRUE(VideoTrack()->Item(3)->IsSelected());
}

TEST_F(ClipboardTest, ClipEffectsPasteOntoTheClipAndGrowTheSubTracks) {
    PlaceJoinedPair(VideoTrack());
    VideoTrack()->AddClipEffect(First, nullptr, EmbossIndex);
    VideoTrack()->AddClipEffect(First, nullptr, EmbossIndex);
    ASSERT_EQ(VideoTrack()->SubTrackCount(), 3);
    Project->Select(First->ClipEffect(0), false);
    Project->Select(First->ClipEffect(1), true);
    Copy();
    // Onto a clip that already has effects on both sub-tracks: the pasted
    // ones need two more.
    VideoTrack()->AddClipEffect(Second_, VideoTrack()->SubTrack(1), EmbossIndex);
    VideoTrack()->AddClipEffect(Second_, VideoTrack()->SubTrack(2), EmbossIndex);
    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::Clip;
    Target.Clip = Second_;
    EmptyUndoHistory();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    EXPECT_EQ(VideoTrack()->SubTrackCount(), 5);
    ASSERT_EQ(Second_->ClipEffectCount(), 4);
    EXPECT_NE(Second_->EffectSlot(3), nullptr);
    EXPECT_NE(Second_->EffectSlot(4), nullptr);
    EXPECT_TRUE(Second_->EffectSlot(4)->IsSelected());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(ClipboardTest, ClipEffectsOnASubTrackAtATimeGoToTheClipThere) {
    PlaceJoinedPair(VideoTrack());
    TClipEffect* Effect = VideoTrack()->AddClipEffect(First, nullptr, EmbossIndex);
    Project->Select(Effect, false);
    Copy();
    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::SubTrackAtTime;
    Target.SubTrack = VideoTrack()->SubTrack(1);
    Target.Time = Second_->Position() + Second;
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    ASSERT_EQ(Second_->ClipEffectCount(), 1);
    EXPECT_EQ(Second_->ClipEffect(0)->SubIndex(), 1);
}

TEST_F(ClipboardTest, EffectSubTracksPasteWithTheirEffectsOnTheClipsOfTheSameRank) {
    PlaceJoinedPair(VideoTrack());
    VideoTrack()->AddClipEffect(Second_, nullptr, EmbossIndex);
    ASSERT_EQ(VideoTrack()->SubTrackCount(), 2);
    Project->Select(VideoTrack()->SubTrack(1), false);
    Copy();
    TPasteTarget Target;
    Target.Kind = TPasteTargetKind::AfterSubTrack;
    Target.SubTrack = VideoTrack()->SubTrack(1);
    EmptyUndoHistory();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Paste(Target); }));
    ASSERT_EQ(VideoTrack()->SubTrackCount(), 3);
    EXPECT_TRUE(VideoTrack()->SubTrack(2)->IsSelected());
    EXPECT_EQ(First->EffectSlot(2), nullptr);
    EXPECT_NE(Second_->EffectSlot(2), nullptr);
    EXPECT_NE(Second_->EffectSlot(1), nullptr);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(ClipboardTest, ItemsOfAnEffectTrackFindTheirTrackByKindAndOrder) {
    TEffect* Effect = EffectsTrack()->InsertEffect(EmbossIndex, 2 * Second, 0);
    Select({Effect});
    Copy();
    Project->SetPosition(5 * Second);
    Paste(TPasteTarget{});
    ASSERT_EQ(EffectsTrack()->ItemCount(), 2);
    EXPECT_EQ(EffectsTrack()->Item(1)->Position(), 5 * Second);
}

TEST_F(ClipboardTest, TheClipboardIsAskedOncePerChange) {
    TProjectClipboard Project_(*Project, Clipboard);
    EXPECT_FALSE(Project_.CanPaste());
    EXPECT_FALSE(Project_.CanPaste());
    EXPECT_EQ(Clipboard.ReadCount(), 1);
    PlaceTitle(VideoTrack(), 0, Second);
    Project->Select(VideoTrack()->Item(0), false);
    Project_.Copy(TCopyMode::Copy);
    EXPECT_TRUE(Project_.CanPaste());
    EXPECT_TRUE(Project_.CanPaste());
    EXPECT_EQ(Clipboard.ReadCount(), 2);
    Clipboard.SetText("some text from another program");
    EXPECT_FALSE(Project_.CanPaste());
    EXPECT_EQ(Clipboard.ReadCount(), 3);
}

// Documents another process may have written: each pastes what it
// sensibly can, in bounded time and memory, or nothing at all.
TEST_F(ClipboardTest, HostileDocumentsAreBoundedOrRefused) {
    PlaceJoinedPair(VideoTrack());
    const int32_t Tracks = Project->TrackCount();
    const std::string Before = ProjectText(*Project);
    auto Unchanged = [&] { return ProjectText(*Project) == Before; };

    // A huge count over a few sections, and no sections at all.
    PutDocument([](TData& Data) { Data.WriteInteger("Count", 2000000000); });
    Paste(AtTime(VideoTrack(), 0));
    EXPECT_TRUE(Unchanged());

    // A track of an unknown kind, and one with a negative index.
    PutDocument([](TData& Data) {
        Data.WriteInteger("Count", 2000000000);
        {
            TDataSection Object(Data, "Object[0]");
            Data.WriteString("Type", "Track");
            Data.WriteInteger("TrackKind", 9);
        }
        TDataSection Object(Data, "Object[1]");
        Data.WriteString("Type", "Track");
        Data.WriteInteger("TrackKind", 2);
        Data.WriteInteger("TrackIndex", -5);
        TDataSection Track(Data, "Track");
        TDataSection SubTracks(Data, "SubTracks");
        Data.WriteInteger("Count", 2000000000);
    });
    Paste(TPasteTarget{});
    ASSERT_EQ(Project->TrackCount(), Tracks + 1);
    EXPECT_EQ(Project->Track(0)->Kind(), TTrackKind::Video);
    EXPECT_EQ(Project->Track(1)->Kind(), TTrackKind::Sound);
    EXPECT_TRUE(Project->Track(1)->IsSelected());
    UndoHistory().Undo();
    EXPECT_TRUE(Unchanged());

    // Items and sub-tracks whose kind is unknown go nowhere.
    PutDocument([](TData& Data) {
        Data.WriteInteger("Count", 2);
        for (const char* Type : {"TrackItems", "SubTracks"}) {
            TDataSection Object(Data, std::string(Type) == "TrackItems" ? "Object[0]" : "Object[1]");
            Data.WriteString("Type", Type);
            Data.WriteInteger("TrackKind", -3);
        }
    });
    Paste(TPasteTarget{});
    EXPECT_EQ(Project->TrackCount(), Tracks);
    EXPECT_EQ(VideoTrack()->SubTrackCount(), 1);

    // A clip whose effect asks for sub-track 2^31 - 1 gets one more, not two billion.
    Select({First});
    TData Copied;
    ASSERT_TRUE(WriteClipboardDocument(*Project, Copied));
    Copied.Enter("Clipboard");
    Copied.Enter("Object[0]");
    Copied.Enter("TrackItems");
    Copied.Enter("Item[0]");
    Copied.Enter("Effects");
    Copied.WriteInteger("Count", 1);
    Copied.Enter("Effect[0]");
    Copied.WriteInteger("Id", EmbossIndex);
    Copied.WriteInteger("SubIndex", 2147483647);
    while (Copied.Current() != Copied.Root())
        Copied.Leave();
    Clipboard.SetText(ClipboardDocumentText(Copied.SaveToText()));
    auto Start = std::chrono::steady_clock::now();
    Paste(AtTime(VideoTrack(), 20 * Second));
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(20));
    EXPECT_EQ(VideoTrack()->SubTrackCount(), 2);
    ASSERT_EQ(VideoTrack()->ItemCount(), 4);
    auto* Pasted = dynamic_cast<TClip*>(VideoTrack()->Item(3));
    ASSERT_NE(Pasted, nullptr);
    ASSERT_EQ(Pasted->ClipEffectCount(), 1);
    EXPECT_EQ(Pasted->ClipEffect(0)->SubIndex(), 1);

    // Items into a project without tracks paste nothing.
    TRefPtr<TProject> Empty{new TProject};
    Empty->Clear();
    TProjectClipboard(*Empty, Clipboard).Paste(TPasteTarget{});
    EXPECT_EQ(Empty->TrackCount(), 0);
}

TEST_F(ClipboardTest, TextThatIsNoDocumentOrDoesNotReadChangesNothing) {
    PlaceJoinedPair(VideoTrack());
    EmptyUndoHistory();
    const std::string Before = ProjectText(*Project);
    for (const std::string& Text :
         {std::string("Clipboard:\n  Count = 1\nend\n"), // no signature
          ClipboardDocumentText(""), ClipboardDocumentText("\x01\x02 garbage ::: \n  end end end"),
          ClipboardDocumentText(std::string(100000, '\0')),
          ClipboardDocumentText("Project:\n  Count = 5\nend\n")}) {
        Clipboard.SetText(Text);
        Paste(AtTime(VideoTrack(), 0));
        EXPECT_EQ(ProjectText(*Project), Before);
    }
    EXPECT_EQ(UndoHistory().Count(), 0);
}

} // namespace
