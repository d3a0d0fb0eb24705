#include "toolkit/areas/desktop.h"

#include "toolkit/areas/area.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds to the nearest whole number in extended precision and limits the
// result, so that neither an infinite nor a huge quotient reaches the 64-bit
// conversion.
int64_t RoundLimited(long double Value) {
    constexpr long double Limit = UnlimitedVideoTime;
    if (std::isnan(Value))
        return 0;
    if (Value >= Limit)
        return UnlimitedVideoTime;
    if (Value <= -Limit)
        return -UnlimitedVideoTime;
    return std::llround(Value);
}

bool IsUsableScale(double Scale) { return std::isfinite(Scale) && Scale > 0; }

} // namespace

TDesktop::TDesktop(TArea& Area) : TFragment(Area) {}

TDesktop::~TDesktop() = default;

TVideoTime TDesktop::PixelsToTime(int64_t X) const {
    if (!IsUsableScale(FPixelsPerSecond))
        return X == 0 ? 0 : (X > 0 ? UnlimitedVideoTime : -UnlimitedVideoTime);
    return RoundLimited(static_cast<long double>(X) / FPixelsPerSecond * VideoTimeUnitsPerSecond);
}

int64_t TDesktop::TimeToPixels(TVideoTime Time) const {
    if (!IsUsableScale(FPixelsPerSecond))
        return 0;
    return RoundLimited(static_cast<long double>(Time) * FPixelsPerSecond / VideoTimeUnitsPerSecond);
}

void TDesktop::SetScales(double ZoomFactor, double Max, double Normal, double Min) {
    if (ZoomFactor == FZoomFactor && Max == FMaxScale && Normal == FNormalScale && Min == FMinScale)
        return;
    FPixelsPerSecond = Normal;
    FZoomFactor = ZoomFactor;
    FMaxScale = Max;
    FNormalScale = Normal;
    FMinScale = Min;
    FPreviousScale = std::min(Normal / std::pow(ZoomFactor, 8), Max);
    ScaleChanged();
}

void TDesktop::SetScale(double Scale) {
    // Limiting comes first, so a scale of 0 asks for the minimum.
    Scale = std::min(std::max(Scale, FMinScale), FMaxScale);
    if (!(Scale > 0) || Scale == FPixelsPerSecond)
        return;
    if (FPixelsPerSecond != FNormalScale)
        FPreviousScale = FPixelsPerSecond;
    FPixelsPerSecond = Scale;
    ScaleChanged();
}

void TDesktop::Arrange() { Work() = {0, 0, Area().ClientWidth(), Area().ClientHeight()}; }

TVideoTime TDesktop::StepSize(TStepKind Kind) const {
    switch (Kind) {
    case TStepKind::Second:
        return VideoTimeUnitsPerSecond;
    case TStepKind::Frame:
        return FrameDuration();
    case TStepKind::TenSeconds:
        return 10 * VideoTimeUnitsPerSecond;
    }
    return 0;
}

TVideoTime TDesktop::StepBack(TStepKind Kind) { return CursorTime() - StepSize(Kind); }

TVideoTime TDesktop::StepForward(TStepKind Kind) { return CursorTime() + StepSize(Kind); }

void TDesktop::ScrollPage(TScrollDirection Direction) {
    int32_t DX = Area().ClientWidth() / 2 + 1, DY = Area().ClientHeight() / 2 + 1;
    switch (Direction) {
    case TScrollDirection::Left:
        Area().ScrollBy(-DX, 0);
        break;
    case TScrollDirection::Right:
        Area().ScrollBy(DX, 0);
        break;
    case TScrollDirection::Up:
        Area().ScrollBy(0, -DY);
        break;
    case TScrollDirection::Down:
        Area().ScrollBy(0, DY);
        break;
    }
}

void TDesktop::Scrolled(int32_t /*DX*/, int32_t /*DY*/) {
    UpdateRects();
    Area().Invalidate();
}

void TDesktop::ScaleChanged() { Area().Relayout(); }
