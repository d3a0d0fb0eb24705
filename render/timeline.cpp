#include "render/timeline.h"

#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "render/clip_element.h"
#include "render/effect_element.h"
#include "render/engine_objects.h"
#include "render/file_clip_element.h"
#include "render/output_presets.h"
#include "render/preview_graph.h"
#include "render/transition_element.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <map>
#include <string>

TTimelineUpdateGuard::TTimelineUpdateGuard(TTimeline& Timeline) : FTimeline(Timeline) {
    FTimeline.BeginUpdate();
}

TTimelineUpdateGuard::~TTimelineUpdateGuard() {
    try {
        FTimeline.EndUpdate();
    } catch (...) {
        ReportCurrentException();
    }
}

// Keeps the preview's engine threads off the timeline for a scope.
class TTimeline::TPreviewHold {
public:
    explicit TPreviewHold(TTimeline& Timeline) : FTimeline(Timeline) { FTimeline.HoldPreview(); }
    ~TPreviewHold() { FTimeline.ReleasePreview(); }
    TPreviewHold(const TPreviewHold&) = delete;
    TPreviewHold& operator=(const TPreviewHold&) = delete;

private:
    TTimeline& FTimeline;
};

namespace {

// Lets the preview go on once the outermost bracket has closed, on every
// path out of EndUpdate and Commit.
class TBracketRelease {
public:
    TBracketRelease(bool Outermost, const int32_t& UpdateCount, std::function<void()> Release)
        : FOutermost(Outermost), FUpdateCount(UpdateCount), FRelease(std::move(Release)) {}
    ~TBracketRelease() {
        if (FOutermost && FUpdateCount == 0)
            FRelease();
    }
    TBracketRelease(const TBracketRelease&) = delete;
    TBracketRelease& operator=(const TBracketRelease&) = delete;

private:
    bool FOutermost;
    const int32_t& FUpdateCount;
    std::function<void()> FRelease;
};

TMediaVideoFormat EngineVideoFormat(const TVideoFormat& Format) {
    TMediaVideoFormat Engine;
    Engine.Width = std::max(Format.Width, 2);
    Engine.Height = std::max(Format.Height, 2);
    double Fps = Format.FramesPerSecond > 0 ? Format.FramesPerSecond : 25.0;
    Engine.FrameDuration = std::max<TVideoTime>(1, std::llround(10000000.0 / Fps));
    return Engine;
}

TMediaAudioFormat EngineAudioFormat(const TAudioFormat& Format) {
    TMediaAudioFormat Engine;
    Engine.Channels = std::max<int32_t>(Format.Channels, 1);
    Engine.SamplesPerSecond =
        Format.SamplesPerSecond > 0 ? int32_t(Format.SamplesPerSecond) : 44100;
    Engine.BitsPerSample = Format.BitsPerSample > 0 ? Format.BitsPerSample : 16;
    return Engine;
}

} // namespace

TTimeline::TTimeline() : FPlatform(std::make_unique<TMediaTimeline>()) {
    FVideoFormat = DefaultVideoFormat;
    FVideoFormat.Width = 320;
    FVideoFormat.Height = 240;
    FVideoFormat.FramesPerSecond = 16;
    FAudioFormat = DefaultAudioFormat;
    BeginUpdate();
    Build();
    AddTrack(TTimelineTrackKind::ABVideoAudio, 0);
    EndUpdate();
}

TTimeline::TTimeline(const TTimeline& Source, const TVideoFormat& Video, const TAudioFormat& Audio)
    : FPlatform(std::make_unique<TMediaTimeline>()) {
    FVideoFormat = Video.Preset == 0 && Video.Width == 0 ? Source.FVideoFormat : Video;
    FAudioFormat = Audio.Preset == 0 && Audio.SamplesPerSecond == 0 ? Source.FAudioFormat : Audio;
    FRenderMode = 1;
    FZoomPanHandle = Source.FZoomPanHandle;
    BeginUpdate();
    Build();
    for (const auto& Track : Source.FTracks) {
        TTimelineTrack* Copy = this->Track(AddTrack(Track->Kind(), 0));
        CopyTrack(*Track, *Copy);
    }
    EndUpdate();
}

void TTimeline::CopyTrack(TTimelineTrack& From, TTimelineTrack& To) {
    To.SetVolume(From.Volume());
    To.SetMuted(From.Muted());
    if (From.HasBackground())
        To.SetBackgroundColor(From.BackgroundColor());
    std::map<const TClipElement*, TClipElement*> Clones;
    for (int32_t I = 1; I <= From.ClipCount(); ++I) {
        TClipElement* Source = From.Clip(I);
        FOwnedClips.push_back(Source->Clone());
        TClipElement* Clone = FOwnedClips.back().get();
        Clones[Source] = Clone;
        Clone->MoveTo(&To, -3, Source->Start());
        for (TEffectElement* Effect : Source->ClipEffects()) {
            FOwnedEffects.push_back(Effect->Clone());
            FOwnedEffects.back()->AttachToClip(Clone);
        }
    }
    // The transitions between the clones: each joins the clones of its clips.
    for (int32_t I = 1; I <= From.ClipCount(); ++I)
        for (TBaseTransitionElement* Transition :
             {From.Clip(I)->IncomingTransition(), From.Clip(I)->OutgoingTransition()}) {
            auto* Element = dynamic_cast<TTransitionElement*>(Transition);
            if (!Element)
                continue;
            bool Done =
                std::any_of(FOwnedTransitions.begin(), FOwnedTransitions.end(), [&](const auto& T) {
                    return T->Start() == Element->Start() && T->Track() == &To;
                });
            if (Done)
                continue;
            auto Find = [&](TClipElement* C) { return C ? Clones[C] : nullptr; };
            FOwnedTransitions.push_back(
                Element->Clone(Find(Element->OutgoingClip()), Find(Element->IncomingClip())));
            FOwnedTransitions.back()->MoveTo(&To);
        }
    for (TEffectElement* Effect : From.Effects()) {
        FOwnedEffects.push_back(Effect->Clone());
        FOwnedEffects.back()->MoveTo(&To, Effect->Start());
    }
}

TTimeline::~TTimeline() {
    FPreview.reset();
    BeginUpdate();
    // Elements that outlive the timeline (held by undo records) must not
    // remember it.
    for (TTimelineElement* Element : FPendingElements)
        if (Element)
            Element->FPendingIn = nullptr;
    FPendingElements.clear();
    FPendingHead = 0;
    FOwnedEffects.clear();
    FOwnedTransitions.clear();
    FOwnedClips.clear();
    FPendingElements.clear();
    for (auto It = FTracks.rbegin(); It != FTracks.rend(); ++It)
        It->reset();
    FTracks.clear();
}

void TTimeline::Build() {
    FVideoGroup = FPlatform->AddGroup(TMediaGroup::Video(EngineVideoFormat(FVideoFormat)));
    FVideoGroup->SetPreviewMode(FRenderMode != 1);
    FBackgroundTrack = FVideoGroup->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    FTracksComposition = FVideoGroup->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
    FBottomTrack = FTracksComposition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    FAudioGroup = FPlatform->AddGroup(TMediaGroup::Audio(EngineAudioFormat(FAudioFormat)));
    FAudioGroup->SetOutputFPS(100.0);
    FAudioGroup->SetPreviewMode(FRenderMode != 1);
}

TMediaComposition* TTimeline::AudioComposition() const {
    return FAudioGroup;
}

TVideoTime TTimeline::FrameDuration() const {
    return EngineVideoFormat(FVideoFormat).FrameDuration;
}

TVideoTime TTimeline::RoundToVideoFrame(TVideoTime Time) const {
    double Fps = FVideoFormat.FramesPerSecond > 0 ? FVideoFormat.FramesPerSecond : 25.0;
    double Frames = std::round(double(Time) * Fps / 10000000.0);
    return std::llround(Frames * 10000000.0 / Fps);
}

TVideoTime TTimeline::RoundToAudioFrame(TVideoTime Time) {
    constexpr TVideoTime Block = 100000; // 100 blocks per second
    return (Time >= 0 ? Time + Block / 2 : Time - Block / 2) / Block * Block;
}

void TTimeline::PlaceTrackCompositions(TTimelineTrack* Track, int32_t Position) {
    int32_t VideoBefore = 0, AudioBefore = 0;
    for (int32_t I = 0; I < Position - 1; ++I) {
        VideoBefore += FTracks[size_t(I)]->HasVideo();
        AudioBefore += FTracks[size_t(I)]->HasAudio();
    }
    int32_t SubTracks = Track->ABTrack() ? 2 : 1;
    TMediaComposition* Video = nullptr;
    TMediaComposition* Audio = nullptr;
    if (Track->HasVideo()) {
        // Above the bottom track, after the video tracks before this one.
        Video = FTracksComposition->VTrackInsBefore(std::make_unique<TMediaComposition>(),
                                                    VideoBefore + 1);
        for (int32_t I = 0; I < SubTracks; ++I)
            Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    }
    if (Track->HasAudio()) {
        Audio = FAudioGroup->VTrackInsBefore(std::make_unique<TMediaComposition>(), AudioBefore);
        for (int32_t I = 0; I < SubTracks; ++I)
            Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    }
    Track->SetCompositions(Video, Audio);
}

int32_t TTimeline::AddTrack(TTimelineTrackKind Kind, int32_t Position) {
    if (Position <= 0 || Position > TrackCount())
        Position = TrackCount() + 1;
    TPreviewHold Hold(*this);
    auto Track = std::make_unique<TTimelineTrack>(this, Kind);
    PlaceTrackCompositions(Track.get(), Position);
    TTimelineTrack* Raw = Track.get();
    FTracks.insert(FTracks.begin() + (Position - 1), std::move(Track));
    Raw->Changed();
    return Position;
}

TTimelineTrack* TTimeline::Track(int32_t Position) const {
    if (Position < 1 || Position > TrackCount())
        return nullptr;
    return FTracks[size_t(Position - 1)].get();
}

int32_t TTimeline::PositionOf(const TTimelineTrack* Track) const {
    for (size_t I = 0; I < FTracks.size(); ++I)
        if (FTracks[I].get() == Track)
            return int32_t(I) + 1;
    return -1;
}

void TTimeline::DeleteTrack(int32_t Position) {
    TTimelineTrack* Doomed = Track(Position);
    if (!Doomed)
        return;
    TTimelineUpdateGuard Bracket(*this);
    // The clips still on it are the project's: they are detached, not freed.
    while (!Doomed->IsEmpty())
        Doomed->Clip(Doomed->ClipCount())->Detach();
    if (Doomed->VideoComposition())
        FTracksComposition->RemoveLayer(Doomed->VideoComposition());
    if (Doomed->AudioComposition())
        FAudioGroup->RemoveLayer(Doomed->AudioComposition());
    Doomed->SetCompositions(nullptr, nullptr);
    FTracks.erase(FTracks.begin() + (Position - 1));
    Rebuild();
}

void TTimeline::BeginUpdate() {
    if (++FUpdateCount == 1)
        HoldPreview();
}

void TTimeline::EndUpdate() {
    TBracketRelease Release(FUpdateCount == 1, FUpdateCount, [this] { ReleasePreview(); });
    if (CloseBracket())
        ReportFailures();
}

void TTimeline::Commit() {
    TBracketRelease Release(FUpdateCount == 1, FUpdateCount, [this] { ReleasePreview(); });
    if (!CloseBracket() || FFailures.empty())
        return;
    std::exception_ptr First = FFailures.front();
    FFailures.erase(FFailures.begin());
    ReportFailures();
    std::rethrow_exception(First);
}

bool TTimeline::CloseBracket() {
    if (FUpdateCount <= 0)
        RaiseError(GetText(TTextSlot::UnbalancedTimelineUpdate));
    // The tracks settle while the bracket still holds, so that the clips
    // whose sub-track changes join the others waiting to be built.
    if (FUpdateCount == 1 && !FFlushing)
        for (const auto& Track : FTracks)
            Track->Settle();
    if (--FUpdateCount > 0 || FFlushing)
        return false;
    Flush();
    return true;
}

void TTimeline::Flush() {
    FFlushing = true;
    try {
        while (FPendingHead < FPendingElements.size()) {
            TTimelineElement* Element = FPendingElements[FPendingHead++];
            if (!Element)
                continue;
            Element->FPendingIn = nullptr;
            if (Element->Track())
                Element->Update();
        }
        FPendingElements.clear();
        FPendingHead = 0;
        // Each track's length is walked once, however many of its clips
        // were built.
        for (const auto& Track : FTracks)
            Track->ApplyChanges();
    } catch (...) {
        // Element failures never get here (BuildElement keeps them); what
        // does leaves the rest pending for the next bracket.
        FFlushing = false;
        throw;
    }
    FFlushing = false;
    if (FRebuildPending)
        Rebuild();
}

void TTimeline::BuildElement(TTimelineElement& Element) {
    TPreviewHold Hold(*this);
    try {
        Element.Rebuild();
        Element.FUnavailable = false;
    } catch (...) {
        // Whatever the element made before it failed goes again; the track
        // still ends where its clips do.
        Element.RemoveFromGraph();
        if (!Element.FUnavailable) {
            Element.FUnavailable = true;
            FFailures.push_back(std::current_exception());
        }
        if (TTimelineTrack* Owner = Element.Track())
            Owner->Changed();
    }
    ++FElementBuilds;
    if (Idle() && !FFlushing)
        ReportFailures();
}

void TTimeline::ReportFailures() {
    // Taken first: a report handler may edit, and so build, again. Pieces
    // of one file (a clip just split) fail alike: each message is shown
    // once.
    std::vector<std::exception_ptr> Failures;
    Failures.swap(FFailures);
    std::vector<std::string> Shown;
    for (const std::exception_ptr& Failure : Failures) {
        try {
            std::rethrow_exception(Failure);
        } catch (const std::exception& Error) {
            if (std::find(Shown.begin(), Shown.end(), Error.what()) != Shown.end())
                continue;
            Shown.emplace_back(Error.what());
            ReportCurrentException();
        } catch (...) {
            ReportCurrentException();
        }
    }
}

int32_t TTimeline::RetryUnavailable() {
    std::vector<TTimelineElement*> Unavailable;
    auto Collect = [&](TTimelineElement* Element) {
        if (Element && Element->Unavailable() &&
            std::find(Unavailable.begin(), Unavailable.end(), Element) == Unavailable.end())
            Unavailable.push_back(Element);
    };
    for (const auto& Track : FTracks) {
        for (int32_t I = 1; I <= Track->ClipCount(); ++I) {
            TClipElement* Clip = Track->Clip(I);
            Collect(Clip);
            for (TEffectElement* Effect : Clip->ClipEffects())
                Collect(Effect);
            Collect(Clip->IncomingTransition());
            Collect(Clip->OutgoingTransition());
        }
        for (TEffectElement* Effect : Track->Effects())
            Collect(Effect);
    }
    if (Unavailable.empty())
        return 0;
    {
        TTimelineUpdateGuard Bracket(*this);
        for (TTimelineElement* Element : Unavailable)
            Element->Update();
    }
    return int32_t(std::count_if(Unavailable.begin(), Unavailable.end(),
                                 [](const TTimelineElement* E) { return !E->Unavailable(); }));
}

void TTimeline::AddPending(TTimelineElement* Element) {
    // Elements wait once per bracket: FPendingIn names the timeline that
    // holds them.
    if (Element->FPendingIn == this)
        return;
    Element->FPendingIn = this;
    Element->FPendingSlot = FPendingElements.size();
    FPendingElements.push_back(Element);
}

void TTimeline::RemovePending(TTimelineElement* Element) {
    // An element is in the list exactly while it names this timeline.
    if (Element->FPendingIn != this)
        return;
    Element->FPendingIn = nullptr;
    FPendingElements[Element->FPendingSlot] = nullptr;
}

void TTimeline::ReleaseTimelineObjects() {
    if (FBackgroundSource)
        FBackgroundTrack->RemoveSource(FBackgroundSource);
    if (FBlackSource)
        FBottomTrack->RemoveSource(FBlackSource);
    if (FKeyTransition)
        FTracksComposition->RemoveTransition(FKeyTransition);
    FBackgroundSource = FBlackSource = nullptr;
    FKeyTransition = nullptr;
}

void TTimeline::Rebuild() {
    if (FUpdateCount > 0 || FFlushing) {
        FRebuildPending = true;
        return;
    }
    TPreviewHold Hold(*this);
    ReleaseTimelineObjects();
    TVideoTime Duration = GetDuration();
    TTimelineTrack* First = Track(1);
    if (First && First->HasBackground() && First->BackgroundColor() != MakeColor(0, 0, 0) &&
        Duration > 0) {
        FBackgroundSource = AddColorSource(FBackgroundTrack, 0, Duration,
                                           ArgbOf(First->BackgroundColor()) | 0xFF000000u);
        FBlackSource = AddColorSource(FBottomTrack, 0, Duration, 0);
    }
    if (Duration > 0)
        FKeyTransition = AddKeyTransition(FTracksComposition, 0, Duration);
    FRebuildPending = false;
    ++FRebuildCount;
}

TVideoTime TTimeline::GetDuration() const {
    TVideoTime End = 0;
    for (const auto& Track : FTracks)
        End = std::max(End, Track->GetDuration());
    return RoundToVideoFrame(End);
}

bool TTimeline::HasVideoClips() const {
    for (const auto& Track : FTracks)
        if (Track->HasVideo())
            for (int32_t I = 1; I <= Track->ClipCount(); ++I)
                if (Track->Clip(I)->HasVideo())
                    return true;
    return false;
}

bool TTimeline::HasAudibleClips() const {
    for (const auto& Track : FTracks) {
        if (!Track->HasAudio() || Track->Muted() || Track->Volume() == 0)
            continue;
        for (int32_t I = 1; I <= Track->ClipCount(); ++I) {
            const TClipElement* Clip = Track->Clip(I);
            if (Clip->HasAudio() && !Clip->Muted() && Clip->Volume() > 0)
                return true;
        }
    }
    return false;
}

void TTimeline::OptimalFormat(TVideoFormat& Video, TAudioFormat& Audio) const {
    Video = {};
    Audio = {};
    // Still pictures do not raise the size above the moving video's: a
    // 12-megapixel photo among phone clips must not make the output 4K.
    TVideoFormat Stills;
    for (const auto& Track : FTracks)
        for (int32_t I = 1; I <= Track->ClipCount(); ++I) {
            const TClipElement* Clip = Track->Clip(I);
            auto* File = dynamic_cast<const TFileClipElement*>(Clip);
            Clip->CollectFormat(File && File->IsStill() ? Stills : Video, Audio);
        }
    if (Video.Preset == 0 && Stills.Preset != 0) {
        Video = Stills;
        FitInside(Video, StillsLongSide, StillsShortSide);
    }
}
