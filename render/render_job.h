#pragma once

#include "core/object.h"
#include "core/video_time.h"
#include "platform/media/media_writer.h"
#include "render/output_profile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TMessageQueue;
class TTimeline;
struct TOutputSettings;

// Renders a timeline into a file, one render at a time: Render makes a
// render copy of the timeline with the output formats fixed (so later edits
// cannot disturb it) and hands it to the file writer, which encodes on its
// own threads. The end of a render, for any reason, is reported once through
// OnRenderEnded with its result, on the thread that runs the message queue
// (or in Stop and Wait, when they end it).
//
//   TRenderJob Job(Project.Timeline());
//   Job.OnRenderEnded = [&](const TRenderResult& Result) { ... };
//   Job.Render("/home/ann/holiday.mp4", Render.OutputSettings());
//   ... every 250 ms: Job.Position() of Job.Duration(); Job.Stop() to cancel.
class TRenderJob : public TObject {
public:
    // Timeline must outlive the job; the end is posted to the UI's queue.
    explicit TRenderJob(const TTimeline& Timeline);
    TRenderJob(const TTimeline& Timeline, TMessageQueue& Queue);
    // Stops a running render without reporting its end.
    ~TRenderJob() override;
    TRenderJob(const TRenderJob&) = delete;
    TRenderJob& operator=(const TRenderJob&) = delete;

    std::string_view ClassName() const override { return "TRenderJob"; }

    // Stops any running render, then starts rendering and returns at once.
    // A timeline whose tracks are all empty renders nothing: the render ends
    // at once. When the encoders or the file cannot be made, the render
    // ends as failed and the error is raised to the caller as well.
    void Render(const std::string& FileName, const TOutputSettings& Settings);
    // From Render until the end is reported.
    bool IsRendering() const { return FWriter != nullptr; }
    // How far the file is written, of how long it will be (0 when not rendering).
    TVideoTime Position() const;
    TVideoTime Duration() const;
    // Cancels a running render and ends it at once.
    void Stop();
    // Waits for the running render to end and ends it; the result of the
    // last render.
    TRenderResult Wait();
    const TRenderResult& LastResult() const { return FLastResult; }

    // What the current (or last) render was made with.
    const TRenderFormats& Formats() const { return FFormats; }
    const TMediaWriterProfile& Profile() const { return FProfile; }

    std::function<void()> OnRenderStarted;
    std::function<void(const TRenderResult&)> OnRenderEnded;

private:
    void Finish(TRenderResult Result);

    const TTimeline& FTimeline;
    TMessageQueue& FQueue;
    std::unique_ptr<TTimeline> FCopy;
    std::unique_ptr<TMediaFileWriter> FWriter; // renders FCopy; goes first
    TRenderFormats FFormats;
    TMediaWriterProfile FProfile;
    TRenderResult FLastResult;
};
