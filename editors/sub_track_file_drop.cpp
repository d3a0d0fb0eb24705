// Files dropped from the platform's file manager on a content cell: each
// readable file whose streams suit the track goes in, in one undo step, the
// first where it fell and the others after it; the rest are reported.

#include "editors/sub_track_fragment.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "editors/timeline_desktop.h"
#include "platform/media/media_probe.h"
#include "project/drop_placement.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/undo_history.h"

#include <filesystem>
#include <optional>
#include <utility>

namespace {

// Why File cannot go onto a track of Kind: it is no readable media file, or
// it lacks the stream the track plays; none when it can.
std::optional<TTextSlot> RefusalOf(const std::string& File, TTrackKind Kind) {
    std::error_code Error;
    if (!std::filesystem::is_regular_file(File, Error))
        return TTextSlot::DropFileUnreadable;
    TMediaInfo Info;
    try {
        Info = ProbeMedia(File);
    } catch (const std::exception&) {
        return TTextSlot::DropFileUnreadable;
    }
    if (!TrackTakesFile(Kind, Info.HasAudio(), Info.HasVideo()))
        return TTextSlot::DropFileRefused;
    return std::nullopt;
}

} // namespace

void TSubTrackFragment::InsertDroppedFiles(const std::vector<std::string>& Files, int32_t X) {
    TRefPtr<TTrack> Owner(&Track());
    TProject* Shown = Owner->Project();
    const TTrackKind Kind = Owner->Kind();
    if (!Shown || Kind == TTrackKind::Any || Kind == TTrackKind::Effects)
        return;
    std::vector<std::string> Refused;
    {
        TUpdateGuard Bracket(Shown->Changes());
        TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::DropFilesUndo));
        TVideoTime Time = Desktop().PixelsToTime(X);
        bool First = true;
        for (const std::string& File : Files) {
            if (std::optional<TTextSlot> Refusal = RefusalOf(File, Kind)) {
                Refused.push_back(FormatMessageText(GetText(*Refusal), File));
                continue;
            }
            // The first file goes where it fell (into a transition there),
            // the others each after the one before.
            if (std::exchange(First, false))
                if (std::optional<int32_t> Into = TransitionMiddleAt(*Owner, Time)) {
                    TFileClip* Clip = Owner->InsertFileIntoTransition(*Into, File);
                    Time = Clip ? Clip->End() : Time;
                    continue;
                }
            const TFilePlacement Place = PlaceDroppedFile(*Owner, Time);
            TFileClip* Clip = Owner->InsertFile(Place.Keep, File, Place.Start);
            if (Clip)
                Time = Clip->End();
        }
    }
    if (!Refused.empty()) {
        std::string Text;
        for (const std::string& Line : Refused)
            Text += (Text.empty() ? "" : " ") + Line;
        ReportException(EError(Text));
    }
}
