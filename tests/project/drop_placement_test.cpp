#include "project/drop_placement.h"

#include "item_test_fixture.h"
#include "project/clip.h"
#include "project/drag_things.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/effect_description.h"

#include <array>

namespace {

int32_t EffectOf(bool Audio) {
    const auto& Effects = DescriptionRegistry().Effects();
    for (int32_t P = 1; P <= Effects.Count(); ++P) {
        const auto* Effect = static_cast<const TEffectDescription*>(Effects.Description(P));
        if (Effect->IsAudioEffect() == Audio && Effect->IsVideoEffect() != Audio)
            return Effect->Index();
    }
    return -1;
}

TDraggedItem Clip(bool Audio, bool Video, TVideoTime Duration = 2 * Second) {
    return {
        .Kind = TDraggedKind::FileClip, .Duration = Duration, .HasAudio = Audio, .HasVideo = Video};
}
TDraggedItem Title(TVideoTime Duration = 2 * Second) {
    return {.Kind = TDraggedKind::TitleClip, .Duration = Duration, .HasVideo = true};
}
TDraggedItem Transition(bool Audio, bool Video, bool OnOverlays, TVideoTime Duration = Second) {
    return {.Kind = TDraggedKind::Transition,
            .Duration = Duration,
            .HasAudio = Audio,
            .HasVideo = Video,
            .OnOverlays = OnOverlays};
}
TDraggedItem Effect(bool Audio, bool Video, TVideoTime Duration = 2 * Second) {
    return {
        .Kind = TDraggedKind::Effect, .Duration = Duration, .HasAudio = Audio, .HasVideo = Video};
}

constexpr std::array<TTrackKind, 6> TrackKinds{TTrackKind::Any,     TTrackKind::Video,
                                               TTrackKind::Sound,   TTrackKind::Music,
                                               TTrackKind::Overlay, TTrackKind::Effects};

// Which rows take Dragged on a track holding items, by track kind in the
// order above: "A" the audio row, "V" the video row, "E" the effect row.
std::array<std::string, 6> RowsTaking(const TDraggedItem& Dragged, bool HoldsItems = true) {
    std::array<std::string, 6> Rows;
    for (size_t K = 0; K < TrackKinds.size(); ++K)
        for (auto [Row, Letter] :
             {std::pair{TSubTrackKind::Audio, 'A'}, std::pair{TSubTrackKind::Video, 'V'},
              std::pair{TSubTrackKind::Effect, 'E'}})
            if (RowTakesDrop(TrackKinds[K], Row, HoldsItems, Dragged))
                Rows[K] += Letter;
    return Rows;
}

using TRows = std::array<std::string, 6>;

TEST(DropAcceptance, ClipsGoOnRowsOfTheirMediaAndTheMainTrackWantsVideo) {
    EXPECT_EQ(RowsTaking(Clip(true, true)), (TRows{"AV", "AV", "A", "A", "AV", ""}));
    EXPECT_EQ(RowsTaking(Clip(true, false)), (TRows{"A", "", "A", "A", "A", ""}));
    EXPECT_EQ(RowsTaking(Clip(false, true)), (TRows{"V", "V", "", "", "V", ""}));
}

TEST(DropAcceptance, TitlesGoOnVideoRowsOfPictureTracksOnly) {
    EXPECT_EQ(RowsTaking(Title()), (TRows{"V", "V", "", "", "V", ""}));
}

TEST(DropAcceptance, TransitionsFollowWhatTheyBlendAndNeedItemsToJoin) {
    EXPECT_EQ(RowsTaking(Transition(true, true, true)), (TRows{"AV", "AV", "A", "A", "V", ""}));
    EXPECT_EQ(RowsTaking(Transition(true, true, true), false), (TRows{"", "", "", "", "", ""}));
}

// Regression: the sound and music rows took any transition, and overlay rows
// took transitions that are kept off overlays.
TEST(DropAcceptance, APictureOnlyTransitionStaysOffSoundRowsAndAnOverlayShyOneOffOverlays) {
    EXPECT_EQ(RowsTaking(Transition(false, true, true)), (TRows{"V", "V", "", "", "V", ""}));
    EXPECT_EQ(RowsTaking(Transition(true, true, false)), (TRows{"AV", "AV", "A", "A", "", ""}));
}

TEST(DropAcceptance, EffectsNeedItemsExceptOnTheEffectsTrack) {
    EXPECT_EQ(RowsTaking(Effect(true, false)), (TRows{"AVE", "AVE", "AVE", "AVE", "", "AVE"}));
    EXPECT_EQ(RowsTaking(Effect(false, true)), (TRows{"AVE", "AVE", "", "", "AVE", "AVE"}));
    EXPECT_EQ(RowsTaking(Effect(true, false), false), (TRows{"", "", "", "", "", "AVE"}));
}

class DropPlacementTest : public ItemTest {
protected:
    TTrack& Main() const { return *VideoTrack(); }
    TClip* AddTitle(TVideoTime Time, TVideoTime Duration = 4 * Second) {
        return Main().InsertTitle(TKeepTransitions::Neither, {}, {}, "T", FirstTitleStyle(),
                                  Duration, Time);
    }
    // Two adjacent 4 s titles at 0 and 4 s, joined by a 1 s transition.
    TTransition* JoinedPair() {
        AddTitle(0);
        AddTitle(4 * Second);
        return Main().InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second,
                                       TransitionIndex(false), 4 * Second);
    }
};

TEST_F(DropPlacementTest, DragObjectsReadTheirMediaFromTheDescriptions) {
    const TDraggedItem Audio = TDraggedItem::Of(TEffectDragThing(EffectOf(true), Second, 0));
    EXPECT_EQ(Audio.Kind, TDraggedKind::Effect);
    EXPECT_TRUE(Audio.HasAudio);
    EXPECT_FALSE(Audio.HasVideo);
    const TDraggedItem Unknown = TDraggedItem::Of(TEffectDragThing(-5, Second, 0));
    EXPECT_FALSE(Unknown.HasAudio || Unknown.HasVideo);
    const TDraggedItem Title = TDraggedItem::Of(TTitleClipDragThing(FirstTitleStyle(), 3 * Second));
    EXPECT_EQ(Title.Kind, TDraggedKind::TitleClip);
    EXPECT_EQ(Title.Duration, 3 * Second);
    EXPECT_TRUE(TDraggedItem::Of(TTransitionDragThing(TransitionIndex(false), Second, 0)).HasVideo);
}

TEST_F(DropPlacementTest, AClipInATransitionsMiddleThirdGoesIntoItAndAtItsEdgeBesideIt) {
    TTransition* Join = JoinedPair();
    ASSERT_NE(Join, nullptr);
    const TVideoTime Middle = Join->Position() + Join->Duration() / 2;
    const TDropPlacement Into = PlaceDrop(Main(), Clip(true, true), Middle);
    EXPECT_EQ(Into.Kind, TDropKind::IntoTransition);
    EXPECT_EQ(Into.Index, Join->Index());
    EXPECT_EQ(TransitionMiddleAt(Main(), Middle), Join->Index());
    EXPECT_EQ(TransitionMiddleAt(Main(), Join->Position()), std::nullopt);
    EXPECT_EQ(PlaceDrop(Main(), Clip(true, true), Join->Position()).Kind, TDropKind::Insert);
}

TEST_F(DropPlacementTest, AClipThatWouldOverlapTheNextItemEndsAtItsStart) {
    AddTitle(10 * Second);
    // Mouse at 9 s, a 4 s clip centred there would run to 11 s.
    const TDropPlacement Place = PlaceDrop(Main(), Clip(false, true, 4 * Second), 9 * Second);
    EXPECT_EQ(Place.Kind, TDropKind::Insert);
    EXPECT_EQ(Place.Start, 6 * Second);
    EXPECT_FALSE(Place.KeepLeading || Place.KeepTrailing);
}

TEST_F(DropPlacementTest, SnappingMovesAnInsertedClipButNotPastItsNeighbours) {
    AddTitle(0, 2 * Second);
    AddTitle(10 * Second);
    TVideoTime AskedStart = -1, AskedEnd = -1;
    auto Snap = [&](TVideoTime Start, TVideoTime End) {
        AskedStart = Start;
        AskedEnd = End;
        return TVideoTime(-5 * Second);
    };
    const TDropPlacement Place = PlaceDrop(Main(), Clip(false, true, 2 * Second), 6 * Second, Snap);
    EXPECT_EQ(AskedStart, 5 * Second);
    EXPECT_EQ(AskedEnd, 7 * Second);
    // Snapped to 0 s, then kept after the clip that ends at 2 s.
    EXPECT_EQ(Place.Start, 2 * Second);
}

TEST_F(DropPlacementTest, ATransitionBetweenAdjacentClipsJoinsBothAndOverOneReplacesIt) {
    AddTitle(0);
    AddTitle(4 * Second);
    const TDropPlacement Join =
        PlaceDrop(Main(), Transition(true, true, true, Second), 4 * Second + Second / 10);
    EXPECT_EQ(Join.Kind, TDropKind::Insert);
    EXPECT_TRUE(Join.KeepLeading && Join.KeepTrailing);
    EXPECT_EQ(Join.Start, 4 * Second);
    EXPECT_EQ(Join.Duration, Second);
    TTransition* Existing = Main().InsertTransition(TJoinClips::Both, TTransitionDirection::Forward,
                                                    Second, TransitionIndex(false), Join.Start);
    ASSERT_NE(Existing, nullptr);
    const TDropPlacement Over =
        PlaceDrop(Main(), Transition(true, true, true), Existing->Position());
    EXPECT_EQ(Over.Kind, TDropKind::Replace);
    EXPECT_EQ(Over.Index, Existing->Index());
    // Far from every item there is nothing to join.
    EXPECT_EQ(PlaceDrop(Main(), Transition(true, true, true), 60 * Second).Kind, TDropKind::None);
}

TEST_F(DropPlacementTest, ATitleOverATitlesMiddleHalfReplacesItsLayout) {
    TClip* Held = AddTitle(0, 8 * Second);
    EXPECT_EQ(PlaceDrop(Main(), Title(), 4 * Second).Kind, TDropKind::Replace);
    EXPECT_EQ(PlaceDrop(Main(), Title(), Second).Kind, TDropKind::Insert);
    EXPECT_EQ(PlaceDrop(Main(), Title(), 4 * Second).Index, Held->Index());
}

TEST_F(DropPlacementTest, AnEffectOffTheEffectsTrackOnlyGoesOntoAClipItSuits) {
    std::string Tone = Folder.Path("t.wav");
    WriteTestTone(Tone, 440, 0.5, 2);
    ASSERT_NE(AudioTrack()->InsertFile(TKeepTransitions::Neither, Tone, 0), nullptr);
    const TDropPlacement OnClip = PlaceDrop(*AudioTrack(), Effect(true, false), Second);
    EXPECT_EQ(OnClip.Kind, TDropKind::ClipEffect);
    EXPECT_EQ(OnClip.Index, 0);
    EXPECT_EQ(PlaceDrop(*AudioTrack(), Effect(false, true), Second).Kind, TDropKind::None);
    EXPECT_EQ(PlaceDrop(*AudioTrack(), Effect(true, false), 30 * Second).Kind, TDropKind::None);
}

TEST_F(DropPlacementTest, AnEffectOnTheEffectsTrackFitsBetweenTheEffectsThere) {
    TTrack* Effects = Project->Track(4);
    ASSERT_EQ(Effects->Kind(), TTrackKind::Effects);
    ASSERT_NE(Effects->InsertEffect(EffectOf(false), 2 * Second, 0), nullptr);
    ASSERT_NE(Effects->InsertEffect(EffectOf(false), 2 * Second, 10 * Second), nullptr);
    const TDropPlacement Place = PlaceDrop(*Effects, Effect(false, true, 4 * Second), 9 * Second);
    EXPECT_EQ(Place.Kind, TDropKind::Insert);
    EXPECT_EQ(Place.Start, 6 * Second);
    EXPECT_EQ(PlaceDrop(*Effects, Effect(false, true, 4 * Second), 3 * Second).Start, 2 * Second);
    // Over an effect's middle half it replaces that effect.
    EXPECT_EQ(PlaceDrop(*Effects, Effect(false, true), Second).Kind, TDropKind::Replace);
}

TEST_F(DropPlacementTest, AFileDroppedOverAClipsEndGoesAfterItAndOnAnEmptyStretchWhereItFell) {
    AddTitle(0);
    EXPECT_EQ(PlaceDroppedFile(Main(), 3 * Second),
              (TFilePlacement{TKeepTransitions::Neither, 4 * Second}));
    TTrack& Overlay = *Project->Track(3);
    EXPECT_EQ(PlaceDroppedFile(Overlay, 7 * Second),
              (TFilePlacement{TKeepTransitions::Neither, 7 * Second}));
}

TEST(DropFiles, TracksTakeFilesWithTheirMedia) {
    EXPECT_TRUE(TrackTakesFile(TTrackKind::Video, false, true));
    EXPECT_FALSE(TrackTakesFile(TTrackKind::Video, true, false));
    EXPECT_TRUE(TrackTakesFile(TTrackKind::Music, true, false));
    EXPECT_FALSE(TrackTakesFile(TTrackKind::Sound, false, true));
    EXPECT_TRUE(TrackTakesFile(TTrackKind::Overlay, false, true));
    EXPECT_FALSE(TrackTakesFile(TTrackKind::Effects, true, true));
}

} // namespace
