#include "playback/player_window.h"

#include "platform/keys.h"
#include "platform/media/video_frame.h"
#include "playback/drag_preview.h"
#include "playback/file_player.h"
#include "playback/player_windows.h"
#include "playback/shared_full_screen.h"
#include "playback/text_previewer.h"
#include "project/drag_things.h"
#include "render/effect_previewer.h"
#include "render/font_descriptor.h"
#include "render/player_object.h"
#include "render/preview_pictures.h"
#include "render/text_description.h"
#include "render/text_descriptor.h"
#include "render/timeline.h"
#include "render/timeline_element.h"
#include "render/transition_previewer.h"
#include "toolkit/skin/skin.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Title previews are made at this size and rate.
constexpr int32_t TitlePreviewWidth = 320;
constexpr int32_t TitlePreviewHeight = 240;
constexpr double TitlePreviewFramesPerSecond = 15;

const TColor Black = MakeColor(0, 0, 0);

// A frame that arrives at another size than it is shown at (the window was
// just resized, the engine has not caught up yet) is scaled smoothly while
// that is cheap; a larger one by nearest pixels, since smoothing a full-HD
// frame here costs more than a frame's time and the next frame comes at the
// right size anyway.
constexpr int64_t SmoothFallbackPixels = 1280 * 720;

} // namespace

TPlayerWindow::TPlayerWindow() {
    SetBackground(TWidgetBackground::None);
    PlayerWindows().Add(*this);
    Drag().AddMoveHandler(MakeDelegate<&TPlayerWindow::DragMoved>(this));
    Drag().AddEndHandler(MakeDelegate<&TPlayerWindow::DragEnded>(this));
}

TPlayerWindow::~TPlayerWindow() {
    Drag().RemoveMoveHandler(MakeDelegate<&TPlayerWindow::DragMoved>(this));
    Drag().RemoveEndHandler(MakeDelegate<&TPlayerWindow::DragEnded>(this));
    if (TSharedFullScreen* Screen = TSharedFullScreen::Existing())
        Screen->HideFor(*this);
    Detach();
    FFilePlayer.reset();
    FEffectPreviewer.reset();
    FTransitionPreviewer.reset();
    FTextPreviewer.reset();
    PlayerWindows().Remove(*this);
    if (PlayerWindows().Windows().empty())
        TSharedFullScreen::Free();
}

TWindowSystem* TPlayerWindow::TimerSystem() const {
    TWidgetWindow* Host = Window();
    return Host ? &Host->System() : nullptr;
}

// --- Sources

void TPlayerWindow::Detach() {
    if (!FObject)
        return;
    TPlayerObject* Object = FObject;
    FObject = nullptr;
    Object->ClearEvents();
    Object->SetFrameSize(0, 0);
    Object->Pause();
    Object->SetVideoVisible(false);
    if (Object == FProjectTimeline)
        FProjectTimeline = nullptr;
    FHasFrame = false;
    FRangeStart = FRangeLength = FDuration = 0;
    FRequested = FLastKnown = 0;
    FScrubbing = false;
    Invalidate();
    PlayerWindows().Change(PlayerChangePlayState);
    PlayerWindows().UpdateTick();
}

void TPlayerWindow::Attach(TPlayerObject& Object, TVideoTime Position) {
    FObject = &Object;
    FDuration = Object.GetDuration();
    FFramesPerSecond = Object.FramesPerSecond();
    Object.SetKeepAspect(true);
    Object.SetCentred(true);
    Object.OnFrame = [this](const TVideoFrame& Frame, TVideoTime) { FrameArrived(Frame); };
    Object.OnStateChanged = [this] { StateChanged(); };
    Object.OnPlayStarted = [this] { PlayStarted(); };
    Object.OnPositionChanged = [this] { PositionChanged(); };
    Object.OnLayoutChanged = [this] {
        UpdateFrameSize();
        Invalidate();
    };
    UpdateFrameSize();
    Object.SetVideoVisible(true);
    FRequested = FLastKnown = Position;
    Object.Seek(Position);
    Invalidate();
    PlayerWindows().Change(PlayerChangePlayState | PlayerChangePosition);
}

void TPlayerWindow::SetRange(TVideoTime Start, TVideoTime Length) {
    FRangeStart = std::max<TVideoTime>(Start, 0);
    FRangeLength = std::max<TVideoTime>(Length, 0);
}

void TPlayerWindow::ShowProject(TTimeline& Timeline, TVideoTime Position) {
    const bool Shown = FObject == &Timeline;
    if (!Shown)
        Detach();
    FProjectTimeline = &Timeline;
    FFramesPerSecond = Timeline.FramesPerSecond();
    SetRange(0, Timeline.GetDuration());
    const TVideoTime At = std::clamp<TVideoTime>(Position, 0, std::max<TVideoTime>(ClampedEnd(), 0));
    if (Shown)
        Retake(Timeline, At);
    else
        Attach(Timeline, At);
}

void TPlayerWindow::ShowItem(TTimeline& Timeline, const TTimelineElement& Element,
                             TVideoTime Offset) {
    const bool Shown = FObject == &Timeline;
    if (!Shown)
        Detach();
    FProjectTimeline = &Timeline;
    FFramesPerSecond = Timeline.FramesPerSecond();
    // Seeks stop at the item's last seekable time, which ClampedEnd derives
    // from the range: aligning the range's end here as well would lose the
    // last frame.
    SetRange(Element.Start(), Element.Duration());
    const TVideoTime At = std::clamp<TVideoTime>(FRangeStart + Offset, FRangeStart, ClampedEnd());
    if (Shown)
        Retake(Timeline, At);
    else
        Attach(Timeline, At);
}

void TPlayerWindow::Retake(TPlayerObject& Object, TVideoTime Position) {
    // The timeline keeps its preview through an edit and shows the edited
    // frame when the edit ends: letting go of it here would throw away the
    // engine player, its decoders and the frame on show, only to build them
    // again. It is paused as a new source would be.
    if (Object.IsPlaying())
        Object.Pause();
    FDuration = Object.GetDuration();
    FRequested = FLastKnown = Position;
    if (Object.GetPosition() != Position)
        Object.Seek(Position);
    Invalidate();
    PlayerWindows().Change(PlayerChangePlayState | PlayerChangePosition);
}

void TPlayerWindow::ShowItemAt(TTimeline& Timeline, const TTimelineElement* Element) {
    if (Element)
        ShowItem(Timeline, *Element, 0);
    else
        ShowProject(Timeline, 0);
}

void TPlayerWindow::ShowFile(const std::string& FileName) {
    Detach();
    auto Player = std::make_unique<TFilePlayer>(FileName);
    FFilePlayer = std::move(Player);
    SetRange(0, FFilePlayer->GetDuration());
    Attach(*FFilePlayer, 0);
    Play();
}

void TPlayerWindow::ShowEffect(int32_t EffectIndex, TVideoTime Duration) {
    if (!FEffectPreviewer)
        FEffectPreviewer = std::make_unique<TEffectPreviewer>(
            EnsurePreviewPicture(Skins().ImagesFolder(), TPreviewPicture::Effect));
    // Shown or not, the previewer's timeline keeps the engine off itself
    // while it changes.
    FEffectPreviewer->ShowEffect(EffectIndex, Duration);
    ShowObject(*FEffectPreviewer, 0, TStartPlaying::Yes);
}

void TPlayerWindow::ShowTransition(int32_t TransitionIndex, bool Reverse, TVideoTime Duration) {
    if (!FTransitionPreviewer) {
        const std::string& Folder = Skins().ImagesFolder();
        FTransitionPreviewer = std::make_unique<TTransitionPreviewer>(
            EnsurePreviewPicture(Folder, TPreviewPicture::TransitionOutgoing),
            EnsurePreviewPicture(Folder, TPreviewPicture::TransitionIncoming));
    }
    FTransitionPreviewer->ShowTransition(TransitionIndex, Reverse, Duration);
    ShowObject(*FTransitionPreviewer, 0, TStartPlaying::Yes);
}

void TPlayerWindow::ShowTitleStyle(int32_t StyleIndex, TVideoTime Duration) {
    TTextClipDescriptor Title;
    Title.SetStyle(StyleIndex); // raises for an unknown style before anything changes
    Title.SetText(Title.Style().SampleText());
    if (!FTextPreviewer)
        FTextPreviewer = std::make_unique<TTextPreviewer>(TitlePreviewWidth, TitlePreviewHeight,
                                                          TitlePreviewFramesPerSecond);
    FTextPreviewer->SetTitle(Title, Duration > 0 ? Duration : TTextPreviewer::DefaultDuration);
    ShowObject(*FTextPreviewer, 0, TStartPlaying::Yes);
}

void TPlayerWindow::ShowTitle(int32_t StyleIndex, const std::string& Text,
                              const TTextClipFontDescriptor& MainFont,
                              const TTextClipFontDescriptor& CaptionFont, double Position) {
    TTextClipDescriptor Title;
    Title.SetStyle(StyleIndex);
    Title.SetText(Text);
    Title.MainFont().Assign(MainFont);
    Title.CaptionFont().Assign(CaptionFont);
    if (!FTextPreviewer)
        FTextPreviewer = std::make_unique<TTextPreviewer>(TitlePreviewWidth, TitlePreviewHeight,
                                                          TitlePreviewFramesPerSecond);
    FTextPreviewer->SetTitle(Title, VideoTimeUnitsPerSecond);
    ShowObject(*FTextPreviewer, SecondsToVideoTime(Position), TStartPlaying::No);
}

void TPlayerWindow::ShowObject(TPlayerObject& Object, TVideoTime Position, TStartPlaying Start) {
    Detach();
    SetRange(0, Object.GetDuration());
    Attach(Object, std::clamp<TVideoTime>(Position, 0, std::max<TVideoTime>(ClampedEnd(), 0)));
    if (Start == TStartPlaying::Yes)
        Play();
}

void TPlayerWindow::ShowDragged(const TVideoDragThing& Thing) {
    if (auto* File = dynamic_cast<const TFileClipDragThing*>(&Thing))
        ShowFile(File->FileName());
    else if (auto* Title = dynamic_cast<const TTitleClipDragThing*>(&Thing))
        ShowTitleStyle(Title->StyleIndex(), Title->Duration());
    else if (auto* Effect = dynamic_cast<const TEffectDragThing*>(&Thing))
        ShowEffect(Effect->EffectIndex(), VideoTimeUnitsPerSecond);
    else if (auto* Transition = dynamic_cast<const TTransitionDragThing*>(&Thing))
        ShowTransition(Transition->TransitionIndex(), false, Transition->Duration());
}

void TPlayerWindow::DragMoved(TThing* Thing) {
    bool Over = false;
    for (TWidget* W = Drag().Target(); W; W = W->Parent())
        Over = Over || W == this;
    auto* Previewed = dynamic_cast<TPreviewedThing*>(Thing);
    if (!Over || !Previewed) {
        FDragOver = false;
        return;
    }
    if (FDragOver)
        return;
    FDragOver = true;
    // The preview is a courtesy while the user aims: a file that cannot be
    // read or an index the catalogue lost leaves the window as it was, and
    // the drop itself reports the fault.
    try {
        ShowDragged(Previewed->Previewed());
    } catch (const std::exception&) {
    }
}

void TPlayerWindow::DragEnded(TThing*, TDragResult) {
    FDragOver = false;
}

// --- Positions

TVideoTime TPlayerWindow::ClampedEnd() const {
    return LastSeekableTime(FRangeStart + FRangeLength, FFramesPerSecond);
}

bool TPlayerWindow::HasSourceAndRange() const {
    return FObject && FRangeLength > 0;
}

bool TPlayerWindow::IsPlaying() const {
    return FObject && (FObject->IsPlaying() || (FScrubbing && FWasPlaying));
}

TVideoTime TPlayerWindow::Position() const {
    TVideoTime Absolute = FObject && FObject->IsPlaying() ? FObject->GetPosition() : FRequested;
    return std::max<TVideoTime>(Absolute - FRangeStart, 0);
}

bool TPlayerWindow::AtRangeEnd() const {
    return FRangeStart + Position() >= ClampedEnd();
}

// --- Playback

void TPlayerWindow::PlayToRangeEnd() {
    if (!FObject)
        return;
    if (FRangeLength <= 0) {
        FObject->Pause();
        return;
    }
    FObject->PlayTo(FRangeStart + FRangeLength);
    PlayerWindows().UpdateTick();
}

void TPlayerWindow::Play() {
    if (!FObject)
        return;
    if (FObject->IsPlaying() || AtRangeEnd()) {
        FObject->Pause();
        FRequested = FRangeStart;
        FObject->Seek(FRequested);
    }
    PlayToRangeEnd();
}

void TPlayerWindow::PlayPause() {
    if (!FObject)
        return;
    if (FObject->IsPlaying()) {
        FObject->Pause();
        StateChanged();
        return;
    }
    if (AtRangeEnd()) {
        FRequested = FRangeStart;
        FObject->Seek(FRequested);
    }
    PlayToRangeEnd();
}

void TPlayerWindow::Halt() {
    if (FObject && FObject->IsPlaying()) {
        FObject->Pause();
        StateChanged();
    }
}

void TPlayerWindow::Replay() {
    if (!FObject)
        return;
    if (FObject->IsPlaying())
        FObject->Pause();
    FObject->Seek(FRequested);
    PlayToRangeEnd();
}

void TPlayerWindow::SeekTo(TVideoTime Offset) {
    if (!FObject)
        return;
    FRequested = std::clamp<TVideoTime>(FRangeStart + Offset, FRangeStart,
                                        std::max(ClampedEnd(), FRangeStart));
    if (!FObject->IsPlaying() || FScrubbing) {
        FObject->Seek(FRequested);
        FLastKnown = FRequested;
        PlayerWindows().Change(PlayerChangePosition);
        return;
    }
    FObject->Pause();
    FObject->Seek(FRequested);
    FLastKnown = FRequested;
    PlayerWindows().Change(PlayerChangePosition);
    PlayToRangeEnd();
}

void TPlayerWindow::Step(int32_t Frames) {
    if (!FObject)
        return;
    if (FObject->IsPlaying()) {
        FRequested = FObject->GetPosition();
        FObject->Pause();
        StateChanged();
    }
    double Fps = FFramesPerSecond > 0 ? FFramesPerSecond : 25.0;
    // Frame starts, so that a step lands on a frame and not between two.
    auto Frame = static_cast<int64_t>(std::floor(double(FRequested) * Fps / 1e7 + 1e-6)) + Frames;
    auto Target = static_cast<TVideoTime>(std::ceil(double(Frame) * 1e7 / Fps));
    SeekTo(Target - FRangeStart);
}

void TPlayerWindow::BeginScrub() {
    if (FScrubbing || !FObject)
        return;
    FWasPlaying = FObject->IsPlaying();
    if (FWasPlaying) {
        FRequested = FObject->GetPosition();
        FObject->Pause();
    }
    FScrubbing = true;
    PlayerWindows().Change(PlayerChangePlayState);
}

void TPlayerWindow::EndScrub() {
    if (!FScrubbing)
        return;
    FScrubbing = false;
    if (FWasPlaying)
        PlayToRangeEnd();
    FWasPlaying = false;
    PlayerWindows().Change(PlayerChangePlayState);
}

void TPlayerWindow::Poll() {
    if (FObject)
        FObject->Poll();
}

// --- Events of the player object

void TPlayerWindow::StateChanged() {
    if (FObject) {
        FLastKnown = FObject->GetPosition();
        if (!FObject->IsPlaying())
            FRequested = std::clamp<TVideoTime>(FLastKnown, FRangeStart,
                                                std::max(FRangeStart, FRangeStart + FRangeLength));
    }
    PlayerWindows().Change(PlayerChangeReadBack);
    PlayerWindows().UpdateTick();
}

void TPlayerWindow::PlayStarted() {
    PlayerWindows().Change(PlayerChangePlayState);
    PlayerWindows().UpdateTick();
}

void TPlayerWindow::PositionChanged() {
    PlayerWindows().Change(PlayerChangePosition);
}

// --- Full screen

void TPlayerWindow::ToggleFullScreen() {
    std::vector<TPlayerWindow*> Windows;
    for (TPlayerWindow* Window : PlayerWindows().Windows())
        if (Window->IsShowing() && Window->IsEnabledInTree() && Window->TimerSystem())
            Windows.push_back(Window);
    bool On = std::none_of(Windows.begin(), Windows.end(),
                           [](TPlayerWindow* W) { return W->FFullScreen; });
    for (TPlayerWindow* Window : Windows)
        Window->SetFullScreen(On);
}

void TPlayerWindow::SetFullScreen(bool FullScreen) {
    if (FFullScreen == FullScreen)
        return;
    FFullScreen = FullScreen;
    if (FullScreen) {
        TSharedFullScreen::Get(*TimerSystem()).ShowFor(*this);
    } else if (TSharedFullScreen* Screen = TSharedFullScreen::Existing()) {
        Screen->HideFor(*this);
    }
    UpdateFrameSize();
    Invalidate();
}

// --- Painting

TRect TPlayerWindow::VideoRectIn(const TRect& Area) const {
    if (!FObject)
        return TRect::FromSize(Area.Left, Area.Top, 0, 0);
    return FObject->LayoutVideo(Area);
}

TRect TPlayerWindow::VideoRect() const {
    return VideoRectIn(ClientRect());
}

void TPlayerWindow::UpdateFrameSize() {
    if (!FObject)
        return;
    TRect Video = VideoRect();
    if (FFullScreen)
        if (TSharedFullScreen* Screen = TSharedFullScreen::Existing();
            Screen && Screen->Source() == this)
            Video = VideoRectIn(Screen->ClientRect());
    FObject->SetFrameSize(Video.Width(), Video.Height());
}

void TPlayerWindow::Layout() {
    UpdateFrameSize();
}

void TPlayerWindow::FrameArrived(const TVideoFrame& Frame) {
    ++FFramesArrived;
    if (Frame.IsEmpty())
        return;
    // The frame is copied at once: the engine reuses nothing it posted, but
    // the raster rows run bottom-up.
    if (FFrame.Width() != Frame.Width() || FFrame.Height() != Frame.Height())
        FFrame.SetSize(Frame.Width(), Frame.Height());
    size_t RowBytes = size_t(Frame.Width()) * 4;
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        std::memcpy(FFrame.Row(Y), Frame.Row(Y), RowBytes);
    FHasFrame = true;
    FFramePending = true;
    if (FFullScreen) {
        if (TSharedFullScreen* Screen = TSharedFullScreen::Existing())
            Screen->Invalidate();
    } else {
        InvalidateClient(VideoRect());
    }
}

void TPlayerWindow::PaintVideo(TPixels& Pixels, const TRect& Area) {
    TRect Video = VideoRectIn(Area);
    if (Video.IsEmpty()) {
        Pixels.FillRect(Area, Black);
        return;
    }
    // The bars around the video, then the video over the rest.
    Pixels.FillBand(Area, Video, Black);
    if (!FHasFrame) {
        Pixels.FillRect(Video, Black);
        return;
    }
    if (Video.Width() == FFrame.Width() && Video.Height() == FFrame.Height()) {
        Pixels.CopyFrom(Video.Left, Video.Top, FFrame);
    } else {
        bool Cheap = int64_t(FFrame.Width()) * FFrame.Height() <= SmoothFallbackPixels;
        Pixels.StretchFrom(Video, FFrame, Cheap ? TSmooth::Yes : TSmooth::No);
    }
    if (FFramePending) {
        FFramePending = false;
        ++FFramesShown;
    }
}

void TPlayerWindow::Paint(TPixels& Pixels) {
    if (FFullScreen) {
        Pixels.FillRect(ClientRect(), Black);
        return;
    }
    PaintVideo(Pixels, ClientRect());
}

void TPlayerWindow::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Key == KeyEscape && FFullScreen) {
        Event.Accept();
        ToggleFullScreen();
    }
}
