// Long seeded sequences of random editing operations: every operation is one
// undo step or changes nothing, the track stays normalized, and undoing all
// then redoing all passes through exactly the states the edits made, with
// the engine nodes of a project built fresh at the ends. With QM_SEQ_DEBUG
// set, the engine nodes are compared after every operation as well.

#include "editing_fixture.h"
#include "project/clip_effect.h"
#include "project/clip_settings.h"
#include "project/effect.h"
#include "project/item_setting.h"
#include "project/sub_track.h"

#include <random>

namespace {

constexpr int32_t EmbossIndex = 1;

class EditingSequenceTest : public EditingTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        Files = {Video("a.mp4", 50), Video("b.mp4", 75), Picture("p.png")};
        Generator.seed(GetParam());
    }

    TTrack* Track() const { return Project->Track(0); }
    int32_t Pick(int32_t Count) {
        return std::uniform_int_distribution<int32_t>(0, std::max(Count - 1, 0))(Generator);
    }
    TVideoTime Time(TVideoTime Limit) {
        return std::uniform_int_distribution<TVideoTime>(0, Limit)(Generator);
    }
    TVideoTime Delta() { return Time(6 * Second) - 3 * Second; }
    bool Coin() { return Pick(2) == 1; }
    static TKeepTransitions Keep(bool Leading, bool Trailing) {
        return Leading ? (Trailing ? TKeepTransitions::Both : TKeepTransitions::Leading)
                       : (Trailing ? TKeepTransitions::Trailing : TKeepTransitions::Neither);
    }
    static TJoinClips Join(bool Previous, bool Next) {
        return Previous ? (Next ? TJoinClips::Both : TJoinClips::Previous)
                        : (Next ? TJoinClips::Next : TJoinClips::Neither);
    }
    static TTransitionDirection Direction(bool Reverse) {
        return Reverse ? TTransitionDirection::Reverse : TTransitionDirection::Forward;
    }
    TVideoTime TrackEnd() const {
        TVideoTime End = 0;
        for (int32_t I = 0; I < Track()->ItemCount(); ++I)
            End = std::max(End, Track()->Item(I)->End());
        return End;
    }
    template <class T>
    T* AnyOf(std::function<bool(T*)> Accept = nullptr) {
        std::vector<T*> Found;
        for (int32_t I = 0; I < Track()->ItemCount(); ++I)
            if (auto* Item = dynamic_cast<T*>(Track()->Item(I)); Item && (!Accept || Accept(Item)))
                Found.push_back(Item);
        return Found.empty() ? nullptr : Found[static_cast<size_t>(Pick(int32_t(Found.size())))];
    }
    void SelectRandomItems() {
        Project->Select(nullptr, false);
        for (int32_t K = 0, N = 1 + Pick(2); K < N && Track()->ItemCount() > 0; ++K)
            Project->Select(Track()->Item(Pick(Track()->ItemCount())), K > 0);
    }

    // One random operation; returns its name for failure messages.
    std::string Operate() {
        TTrack* T = Track();
        int32_t Kind = Pick(16);
        Doing = "operation " + std::to_string(Kind) + " on " + Layout(T);
        switch (Kind) {
        case 0:
            T->InsertFile(Keep(Coin(), Coin()), Files[size_t(Pick(3))], Time(TrackEnd() + Second));
            return "InsertFile";
        case 1:
            T->InsertTitle(Keep(Coin(), Coin()), {}, {}, "Title", FirstTitleStyle(),
                           Second + Time(3 * Second), Time(TrackEnd() + Second));
            return "InsertTitle";
        case 2:
            T->InsertTransition(Join(Coin() || Coin(), Coin() || Coin()), Direction(Coin()),
                                Time(3 * Second),
                                TransitionIndex(Coin()), Time(TrackEnd()));
            return "InsertTransition";
        case 3:
            if (auto* Clip = AnyOf<TFileClip>())
                T->SplitClip(Clip, Clip->Position() + Time(Clip->Duration()));
            return "SplitClip";
        case 4:
            if (Coin()) {
                SelectRandomItems();
                if (auto* Clip = AnyOf<TFileClip>())
                    T->MergeClip(Clip);
                return "MergeClip";
            }
            if (T->ItemCount() > 1) {
                int32_t First = Pick(T->ItemCount() - 1);
                T->JoinClips(First, First + 1 + Pick(std::min(2, T->ItemCount() - First - 1)),
                             Track()->Item(First)->Position());
            }
            return "JoinClips";
        case 5:
            if (auto* Clip = AnyOf<TFileClip>()) {
                bool Remove = Coin();
                TTrimPastTransition PastTransition =
                    Remove ? TTrimPastTransition::Remove : TTrimPastTransition::Stop;
                TVideoTime By = Delta();
                if (Coin()) {
                    T->TrimClipStart(Clip, PastTransition, Clip->TrimBegin() + By);
                    return "TrimClipStart " + std::to_string(Clip->Index()) + " by " +
                           std::to_string(By) + (Remove ? " removing" : "");
                }
                T->TrimClipEnd(Clip, PastTransition, Clip->TrimEnd() + By);
                return "TrimClipEnd " + std::to_string(Clip->Index()) + " by " +
                       std::to_string(By) + (Remove ? " removing" : "");
            }
            return "Trim";
        case 6:
            SelectRandomItems();
            if (Coin()) {
                T->MoveSelection(Delta());
            } else {
                T->BeginTracking();
                for (int Move = 0, N = 1 + Pick(3); Move < N; ++Move)
                    T->MoveSelection(Delta());
                T->EndTracking();
            }
            return "MoveSelection";
        case 7: {
            SelectRandomItems();
            int32_t Mode = Pick(3);
            auto Edge = static_cast<TSelectionEdge>(Mode);
            T->BeginTracking();
            for (int Move = 0, N = 1 + Pick(3); Move < N; ++Move)
                T->DragSelectionEdge(Edge, Delta());
            T->EndTracking();
            return "DragSelectionEdge " + std::to_string(Mode);
        }
        case 8:
            if (Coin())
                T->CloseGapAt(Time(TrackEnd()));
            else
                T->CloseGapsFrom(Time(TrackEnd()));
            return "CloseGaps";
        case 9:
            SelectRandomItems();
            Project->DeleteSelection();
            return "DeleteSelection";
        case 10:
            if (auto* Clip = AnyOf<TClip>())
                T->AddClipEffect(Clip, Coin() && T->SubTrackCount() > 1 ? T->SubTrack(1) : nullptr,
                                 EmbossIndex);
            return "AddClipEffect";
        case 11:
            if (auto* Transition = AnyOf<TTransition>()) {
                if (Coin())
                    T->InsertFileIntoTransition(Transition->Index(), Files[size_t(Pick(3))]);
                else
                    T->ReplaceTransition(Transition->Index(), TransitionIndex(Coin()),
                                         Direction(Coin()));
            }
            return "IntoOrReplaceTransition";
        case 12:
            if (auto* Clip = AnyOf<TClip>())
                Clip->AdjustSetting(static_cast<TVideoAdjustment>(Pick(4)))
                    ->SetValue(Pick(201) - 100);
            return "Setting";
        case 13:
            if (T->ItemCount() > 1) {
                int32_t First = Pick(T->ItemCount());
                T->MoveItemsTo(First, Pick(T->ItemCount()), 1, Time(TrackEnd()));
            }
            return "MoveItemsTo";
        case 14:
            if (auto* Still = AnyOf<TFileClip>([](TFileClip* C) { return C->CanZoomPan(); }))
                Still->SetZoomPan({0.3, 0.6, 0.5 + Pick(3) * 0.25}, Still->ZoomPanEnd(), Coin(),
                                  Coin());
            return "ZoomPan";
        default:
            if (auto* Title = AnyOf<TTitleClip>())
                T->ReplaceTitleLayout(Title->Index(), FirstTitleStyle());
            return "ReplaceTitleLayout";
        }
    }

    // Items overlap only where a transition joins them.
    ::testing::AssertionResult Normalized() const {
        for (int32_t I = 1; I < Track()->ItemCount(); ++I) {
            TTrackItem* Before = Track()->Item(I - 1);
            TTrackItem* After = Track()->Item(I);
            if (After->Position() >= Before->End())
                continue;
            auto* BeforeClip = dynamic_cast<TClip*>(Before);
            auto* AfterClip = dynamic_cast<TClip*>(After);
            bool Joined = (BeforeClip && BeforeClip->TrailingTransition() == After) ||
                          (AfterClip && AfterClip->LeadingTransition() == Before);
            if (!Joined)
                return ::testing::AssertionFailure()
                       << "items " << I - 1 << " (" << Before->ClassName() << " "
                       << Before->Position() << "+" << Before->Duration() << ") and " << I << " ("
                       << After->ClassName() << " " << After->Position() << "+"
                       << After->Duration() << ") overlap: " << Layout(Track())
                       << (AfterClip && AfterClip->LeadingTransition()
                               ? " leading at " +
                                     std::to_string(AfterClip->LeadingTransition()->Index())
                               : std::string());
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<std::string> Files;
    std::mt19937 Generator;
    std::string Doing; // what Operate is about, should it raise
};

TEST_P(EditingSequenceTest, EveryStepUndoesAndRedoesExactly) {
    TUndoHistory& History = UndoHistory();
    std::vector<std::string> Texts{ArrangementText(*Project)};
    std::vector<std::string> Names;
    for (int Operation = 0; Operation < 150; ++Operation) {
        int32_t Steps = History.Count();
        std::string Before = ArrangementText(*Project);
        std::string Name;
        try {
            Name = Operate();
        } catch (const std::exception& Error) {
            FAIL() << Doing << " raised: " << Error.what();
        }
        std::string After = ArrangementText(*Project);
        ASSERT_FALSE(History.GroupOpen()) << Name;
        ASSERT_TRUE(Normalized()) << "after " << Name;
        if (getenv("QM_SEQ_DEBUG")) {
            try {
                ASSERT_TRUE(EngineMatchesFresh()) << "after " << Name << " " << Layout(Track());
            } catch (const std::exception& Error) {
                FAIL() << "reloading after " << Name << " from " << Doing << " to "
                       << Layout(Track()) << " raised: " << Error.what();
            }
        }
        if (History.Count() == Steps) {
            ASSERT_EQ(After, Before) << Name << " changed the project without a step at "
                                     << FirstDifference(Before, After);
            continue;
        }
        ASSERT_EQ(History.Count(), Steps + 1) << Name << " made more than one step";
        Texts.push_back(After);
        Names.push_back(Name);
    }
    ASSERT_TRUE(EngineMatchesFresh()) << "after the edits";
    for (size_t I = Names.size(); I-- > 0;) {
        History.Undo();
        std::string Now = ArrangementText(*Project);
        ASSERT_EQ(Now, Texts[I]) << "undoing " << Names[I] << " (step " << I + 1 << ") differs at "
                                 << FirstDifference(Texts[I], Now);
    }
    ASSERT_TRUE(EngineMatchesFresh()) << "after undoing every step";
    for (size_t I = 0; I < Names.size(); ++I) {
        History.Redo();
        std::string Now = ArrangementText(*Project);
        ASSERT_EQ(Now, Texts[I + 1]) << "redoing " << Names[I] << " (step " << I + 1
                                     << ") differs at " << FirstDifference(Texts[I + 1], Now);
    }
    EXPECT_TRUE(EngineMatchesFresh()) << "after redoing every step";
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditingSequenceTest, ::testing::Range(1u, 25u));

} // namespace
