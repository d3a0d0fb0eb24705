#include "render/player_object.h"

#include <algorithm>
#include <cmath>

TPlayerObject::~TPlayerObject() = default;

void TPlayerObject::SetState(TPlayState State) {
    switch (State) {
    case TPlayState::Stopped:
        Stop();
        break;
    case TPlayState::Paused:
        Pause();
        break;
    case TPlayState::Running:
        PlayTo(PlayToEnd);
        break;
    }
}

void TPlayerObject::SetKeepAspect(bool KeepAspect) {
    if (FKeepAspect == KeepAspect)
        return;
    FKeepAspect = KeepAspect;
    if (OnLayoutChanged)
        OnLayoutChanged();
}

void TPlayerObject::SetCentred(bool Centred) {
    if (FCentred == Centred)
        return;
    FCentred = Centred;
    if (OnLayoutChanged)
        OnLayoutChanged();
}

TRect TPlayerObject::LayoutVideo(const TRect& Window) const {
    int32_t Width = 0, Height = 0;
    if (!GetVideoSize(Width, Height))
        Width = Height = 0;
    return LayoutVideoRect(Window, Width, Height, FKeepAspect, FCentred);
}

void TPlayerObject::SetFrameSize(int32_t Width, int32_t Height) {
    if (Width <= 0 || Height <= 0)
        Width = Height = 0;
    if (Width == FFrameWidth && Height == FFrameHeight)
        return;
    FFrameWidth = Width;
    FFrameHeight = Height;
    FrameSizeChanged();
}

void TPlayerObject::FireStateChanged() {
    if (OnStateChanged)
        OnStateChanged();
}

void TPlayerObject::FirePlayStarted() {
    if (OnPlayStarted)
        OnPlayStarted();
}

void TPlayerObject::FirePositionChanged() {
    if (OnPositionChanged)
        OnPositionChanged();
}

void TPlayerObject::ClearEvents() {
    OnStateChanged = nullptr;
    OnPlayStarted = nullptr;
    OnPositionChanged = nullptr;
    OnLayoutChanged = nullptr;
    OnFrame = nullptr;
    OnError = nullptr;
}

TRect LayoutVideoRect(const TRect& Window, int32_t VideoWidth, int32_t VideoHeight, bool KeepAspect,
                      bool Centred) {
    int32_t WindowWidth = std::max(Window.Width(), 0);
    int32_t WindowHeight = std::max(Window.Height(), 0);
    if (!KeepAspect)
        return TRect::FromSize(Window.Left, Window.Top, WindowWidth, WindowHeight);
    if (VideoWidth <= 0 || VideoHeight <= 0 || WindowWidth == 0 || WindowHeight == 0)
        return TRect::FromSize(Window.Left, Window.Top, 0, 0);
    // The smaller of the two scales, in integers: compare W/w with H/h
    // without dividing.
    int64_t Width = 0, Height = 0;
    if (int64_t(WindowWidth) * VideoHeight <= int64_t(WindowHeight) * VideoWidth) {
        Width = WindowWidth;
        Height = int64_t(VideoHeight) * WindowWidth / VideoWidth;
    } else {
        Height = WindowHeight;
        Width = int64_t(VideoWidth) * WindowHeight / VideoHeight;
    }
    int32_t Left = Window.Left, Top = Window.Top;
    if (Centred) {
        Left += (WindowWidth - int32_t(Width)) / 2;
        Top += (WindowHeight - int32_t(Height)) / 2;
    }
    return TRect::FromSize(Left, Top, int32_t(Width), int32_t(Height));
}

TVideoTime LastSeekableTime(TVideoTime End, double FramesPerSecond) {
    if (FramesPerSecond > 0) {
        auto Frames = static_cast<int64_t>(std::trunc(FramesPerSecond * double(End) / 1e7));
        End = static_cast<TVideoTime>(std::trunc(double(Frames) * 1e7 / FramesPerSecond));
    }
    return std::max<TVideoTime>(End - 2, 0);
}
