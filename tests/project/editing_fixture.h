#pragma once

// Tracks set up for the editing operations, and a text form of the engine
// nodes a render timeline built, to compare a timeline that was edited with
// one built fresh from the stored project.

#include "item_test_fixture.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_timeline.h"
#include "platform/media/picture_source_name.h"
#include "project/clip.h"
#include "project/file_clip.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/timeline.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace EngineTextDetail {

// Source names of still pictures carry the zoom-and-pan handle of their
// project, which differs from project to project.
inline std::string WithoutHandle(const std::string& Value) {
    if (Value.rfind(PictureSourceScheme, 0) != 0)
        return Value;
    size_t Slash = Value.find('/', PictureSourceScheme.size());
    return std::string(PictureSourceScheme) + "#" +
           (Slash == std::string::npos ? "" : Value.substr(Slash));
}

inline void WriteNode(std::ostream& Out, const TMediaNode& Node, int Depth) {
    Out << std::string(static_cast<size_t>(Depth) * 2, ' ') << static_cast<int>(Node.Type()) << " "
        << Node.Start() << ".." << Node.Stop() << " " << Node.SubObjectClassId().ToString()
        << (Node.Muted() ? " muted" : "");
    for (const std::string& Name : Node.Properties().Names())
        for (const TKeyValue& Key : *Node.Properties().Keys(Name))
            Out << " " << Name << "@" << Key.Time << "=" << WithoutHandle(Key.Value);
    if (const auto* Source = dynamic_cast<const TMediaSource*>(&Node))
        Out << " media " << Source->MediaName() << " " << Source->MediaStart() << ".."
            << Source->MediaStop();
    if (const auto* Transition = dynamic_cast<const TMediaTransition*>(&Node))
        Out << (Transition->SwapInputs() ? " swapped" : "");
    Out << "\n";
    if (const auto* Layer = dynamic_cast<const TMediaLayer*>(&Node)) {
        // Effects that do not overlap act alike in any order, and the order
        // of the list follows the order the elements were built in: they
        // are listed by start, those that start together as they stand.
        std::vector<const TMediaEffect*> Effects;
        for (const auto& Effect : Layer->Effects())
            Effects.push_back(Effect.get());
        std::stable_sort(Effects.begin(), Effects.end(),
                         [](const TMediaEffect* A, const TMediaEffect* B) {
                             return A->Start() < B->Start();
                         });
        for (const TMediaEffect* Effect : Effects)
            WriteNode(Out, *Effect, Depth + 1);
        for (const auto& Transition : Layer->Transitions())
            WriteNode(Out, *Transition, Depth + 1);
    }
    if (const auto* Composition = dynamic_cast<const TMediaComposition*>(&Node))
        for (const auto& Layer : Composition->Layers())
            WriteNode(Out, *Layer, Depth + 1);
    if (const auto* Track = dynamic_cast<const TMediaTrack*>(&Node))
        for (const auto& Source : Track->Sources())
            WriteNode(Out, *Source, Depth + 1);
}

} // namespace EngineTextDetail

// Every engine node of the timeline with its times, class, properties and
// media range, one per line, indented by depth.
inline std::string EngineText(const TTimeline& Timeline) {
    std::ostringstream Out;
    for (const auto& Group : Timeline.Platform().Groups())
        EngineTextDetail::WriteNode(Out, *Group, 0);
    return Out.str();
}

class EditingTest : public ItemTest {
protected:
    // A title over [Position, Position + Duration) at the end of Track,
    // placed without undo.
    TTitleClip* PlaceTitle(TTrack* Track, TVideoTime Position, TVideoTime Duration) {
        auto* Title = new TTitleClip(Duration, Position, FirstTitleStyle());
        Track->InsertItem(Title, Track->ItemCount());
        Track->Normalize(false);
        return Title;
    }
    TFileClip* PlaceFile(TTrack* Track, const std::string& File, TVideoTime Position) {
        auto* Clip = new TFileClip(Position, File);
        Track->InsertItem(Clip, Track->ItemCount());
        Track->Normalize(false);
        return Clip;
    }
    // A transition joining the last two clips of Track, placed without undo.
    TTransition* JoinLast(TTrack* Track, TVideoTime Duration) {
        int32_t Count = Track->ItemCount();
        auto* From = dynamic_cast<TClip*>(Track->Item(Count - 2));
        auto* To = dynamic_cast<TClip*>(Track->Item(Count - 1));
        auto* Transition = new TTransition(Duration, To->Position(), TransitionIndex(false));
        Transition->SetDuration(Duration);
        Track->InsertItem(Transition, Count - 1);
        LinkFrom(Transition, From);
        LinkTo(Transition, To);
        Track->Normalize(false);
        return Transition;
    }

    static void Select(std::initializer_list<TTrackItem*> Items) {
        bool Extend = false;
        for (TTrackItem* Item : Items) {
            Item->Track()->Project()->Select(Item, Extend);
            Extend = true;
        }
    }

    // The positions and durations of a track's items, in seconds, for
    // failure messages: "0-2 1.5-2 ...".
    static std::string Layout(const TTrack* Track) {
        std::ostringstream Out;
        for (int32_t I = 0; I < Track->ItemCount(); ++I)
            Out << (I ? " " : "") << Track->Item(I)->Position() / double(Second) << "+"
                << Track->Item(I)->Duration() / double(Second);
        return Out.str();
    }

    // Whether the project's engine nodes are those a fresh project loaded
    // from the stored one builds.
    ::testing::AssertionResult EngineMatchesFresh() const {
        std::string Edited = EngineText(Project->Timeline());
        std::string Fresh = EngineText(Reloaded()->Timeline());
        if (Edited == Fresh)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "engine nodes differ at " << FirstDifference(Fresh, Edited);
    }
};
