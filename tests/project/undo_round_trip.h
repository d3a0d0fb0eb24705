#pragma once

// Checks that editing operations are undone and redone exactly, by comparing
// the project as it would be stored:
//
//   EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Track->Volume()->SetValue(50); }));

#include "core/data.h"
#include "project/project.h"
#include "project/undo_history.h"
#include "project/undo_record.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// The project's stored text (what saving it would write).
inline std::string ProjectText(const TProject& Project) {
    TData Data;
    Project.SaveToData(Data);
    return Data.SaveToText();
}

// The stored text without what undo leaves alone: the edit cursor (the
// project's "Settings/Position") and the selection marks. Operations move
// the cursor into and select what they insert; undoing them restores the
// arrangement, not the view.
inline std::string ArrangementText(const TProject& Project) {
    std::istringstream In(ProjectText(Project));
    std::string Out, Line;
    bool InProjectSettings = false;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line == "  Settings:")
            InProjectSettings = true;
        else if (Line == "  end")
            InProjectSettings = false;
        if ((InProjectSettings && Line.rfind("    Position = ", 0) == 0) ||
            Line.find("IsSelected = ") != std::string::npos)
            continue;
        Out += Line;
        Out += '\n';
    }
    return Out;
}

// The first line where two project texts differ, for failure messages.
inline std::string FirstDifference(const std::string& Expected, const std::string& Actual) {
    std::istringstream E(Expected), A(Actual);
    std::string LineE, LineA;
    for (int Line = 1;; ++Line) {
        bool MoreE = static_cast<bool>(std::getline(E, LineE));
        bool MoreA = static_cast<bool>(std::getline(A, LineA));
        if (!MoreE && !MoreA)
            return "no difference";
        if (!MoreE || !MoreA || LineE != LineA)
            return "line " + std::to_string(Line) + ": expected \"" + (MoreE ? LineE : "<end>") +
                   "\", got \"" + (MoreA ? LineA : "<end>") + "\"";
    }
}

// Empties the application's history, for a test to start from nothing and
// to leave nothing behind.
inline void EmptyUndoHistory() {
    UndoHistory().ClearUndo();
}

// Whether the edit under test is expected to change the stored project. Some
// operations that find nothing to do still record a step, which must then
// restore the same text.
enum class TEditChanges { Project, Nothing };

namespace UndoRoundTripDetail {

inline ::testing::AssertionResult ExpectText(const TProject& Project, const std::string& Expected,
                                             const char* When) {
    std::string Actual = ArrangementText(Project);
    if (Actual == Expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "project text " << When << " differs at " << FirstDifference(Expected, Actual);
}

inline ::testing::AssertionResult ExpectPosition(const TUndoHistory& History, int32_t Current,
                                                 int32_t Count, const char* When) {
    if (History.Current() == Current && History.Count() == Count)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "history " << When << " at " << History.Current() << " of " << History.Count()
           << " steps, expected " << Current << " of " << Count;
}

} // namespace UndoRoundTripDetail

// Runs Edit, which must make exactly one step in the application's history,
// then undoes and redoes it twice: after each Undo the project text must be
// the one from before the edit, after each Redo the one from after it, and
// replaying must record nothing.
inline ::testing::AssertionResult UndoRoundTrip(TProject& Project,
                                                const std::function<void()>& Edit,
                                                TEditChanges Expect = TEditChanges::Project) {
    using namespace UndoRoundTripDetail;
    TUndoHistory& History = UndoHistory();
    const std::string Before = ArrangementText(Project);
    const int32_t Step = History.Current() + 1;
    Edit();
    if (auto R = ExpectPosition(History, Step, Step + 1, "after the edit"); !R)
        return R << " (an edit is one step)";
    const std::string After = ArrangementText(Project);
    if (Expect == TEditChanges::Project && After == Before)
        return ::testing::AssertionFailure() << "the edit did not change the project";
    if (Expect == TEditChanges::Nothing && After != Before)
        return ::testing::AssertionFailure()
               << "the edit changed the project at " << FirstDifference(Before, After);
    for (int Round = 0; Round < 2; ++Round) {
        History.Undo();
        if (auto R = ExpectPosition(History, Step - 1, Step + 1, "after Undo"); !R)
            return R;
        if (auto R = ExpectText(Project, Before, "after Undo"); !R)
            return R;
        History.Redo();
        if (auto R = ExpectPosition(History, Step, Step + 1, "after Redo"); !R)
            return R;
        if (auto R = ExpectText(Project, After, "after Redo"); !R)
            return R;
    }
    return ::testing::AssertionSuccess();
}

// Runs the edits in order, each one step, then undoes all of them and redoes
// all of them: every Undo must bring back the text from before its edit and
// every Redo the text from after it.
inline ::testing::AssertionResult
UndoSequenceRoundTrip(TProject& Project, const std::vector<std::function<void()>>& Edits) {
    using namespace UndoRoundTripDetail;
    TUndoHistory& History = UndoHistory();
    const int32_t First = History.Current() + 1;
    std::vector<std::string> Texts{ArrangementText(Project)};
    for (const auto& Edit : Edits) {
        const int32_t Step = History.Current() + 1;
        Edit();
        if (auto R = ExpectPosition(History, Step, Step + 1, "after an edit"); !R)
            return R << " (edit " << Texts.size() << " is not one step)";
        Texts.push_back(ArrangementText(Project));
    }
    const auto Last = static_cast<int32_t>(First + Edits.size());
    for (size_t I = Edits.size(); I-- > 0;) {
        History.Undo();
        if (auto R = ExpectText(Project, Texts[I], "after undoing an edit"); !R)
            return R << " (edit " << I + 1 << ")";
    }
    if (auto R = ExpectPosition(History, First - 1, Last, "after undoing every edit"); !R)
        return R;
    for (size_t I = 1; I <= Edits.size(); ++I) {
        History.Redo();
        if (auto R = ExpectText(Project, Texts[I], "after redoing an edit"); !R)
            return R << " (edit " << I << ")";
    }
    return ExpectPosition(History, Last - 1, Last, "after redoing every edit");
}
