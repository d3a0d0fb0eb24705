#include "render/render_job.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/message_queue.h"
#include "render/output_settings.h"
#include "render/timeline.h"

#include <exception>

TRenderJob::TRenderJob(const TTimeline& Timeline) : TRenderJob(Timeline, UiMessages()) {}

TRenderJob::TRenderJob(const TTimeline& Timeline, TMessageQueue& Queue)
    : FTimeline(Timeline), FQueue(Queue) {}

TRenderJob::~TRenderJob() {
    if (FWriter)
        FWriter->Cancel();
    FWriter.reset();
    FCopy.reset();
}

namespace {

bool AllTracksEmpty(const TTimeline& Timeline) {
    for (int32_t I = 1; I <= Timeline.TrackCount(); ++I)
        if (!Timeline.Track(I)->IsEmpty())
            return false;
    return true;
}

} // namespace

void TRenderJob::Render(const std::string& FileName, const TOutputSettings& Settings) {
    Stop();
    if (AllTracksEmpty(FTimeline)) {
        Finish({TRenderOutcome::Failed,
                FormatMessageText(GetText(TTextSlot::NothingToRender), FileName)});
        return;
    }
    try {
        FFormats = ResolveRenderFormats(FTimeline, Settings);
        FProfile = MakeWriterProfile(Settings, FFormats);
        FCopy = std::make_unique<TTimeline>(FTimeline, FFormats.Video, FFormats.Audio);
        FWriter = std::make_unique<TMediaFileWriter>(FCopy->Platform(), FQueue, FileName, FProfile);
        if (OnRenderStarted)
            OnRenderStarted();
        // The end reaches the job on the queue's thread; the job owns the
        // writer, and an end whose writer the job has let go (the job gone,
        // stopped or moved on) is dropped by the writer.
        FWriter->Start([this](const TRenderResult& Result) { Finish(Result); });
    } catch (const std::exception& Error) {
        Finish({TRenderOutcome::Failed, Error.what()});
        throw;
    }
}

TVideoTime TRenderJob::Position() const {
    return FWriter ? FWriter->Position() : 0;
}

TVideoTime TRenderJob::Duration() const {
    return FWriter ? FWriter->Duration() : 0;
}

void TRenderJob::Stop() {
    if (!FWriter)
        return;
    FWriter->Cancel();
    Finish(FWriter->Wait());
}

TRenderResult TRenderJob::Wait() {
    if (FWriter)
        Finish(FWriter->Wait());
    return FLastResult;
}

void TRenderJob::Finish(TRenderResult Result) {
    FWriter.reset();
    FCopy.reset();
    if (Result.Outcome == TRenderOutcome::Cancelled && Result.Error.empty())
        Result.Error = GetText(TTextSlot::RenderCancelled);
    if (Result.Outcome == TRenderOutcome::Failed && Result.Error.empty())
        Result.Error = GetText(TTextSlot::RenderFailed);
    FLastResult = Result;
    if (OnRenderEnded)
        OnRenderEnded(FLastResult);
}
