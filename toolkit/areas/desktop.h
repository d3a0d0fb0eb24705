#pragma once

#include "core/video_time.h"
#include "toolkit/areas/fragment.h"

#include <cstdint>

class TChanges;

// How far a cursor step goes.
enum class TStepKind : uint8_t { Second, Frame, TenSeconds };

enum class TScrollDirection : uint8_t { Left, Right, Up, Down };

// The root fragment of an area: it fills the area's client rectangle, knows
// the time scale (pixels per second) and converts between pixels and times.
// It knows no document: a desktop of an editor says which notifier to
// bracket around a drop and where its cursor stands (the editors' project
// desktop does). The application registers one desktop class with the areas
// registry; every area gets a desktop of it.
//
// Scales are set once with SetScales (zoom factor, maximum, normal,
// minimum); SetScale then zooms within [minimum, maximum], remembering the
// last scale away from the normal one as PreviousScale. Until SetScales has
// run the scale is 0 and the conversions answer limited values instead of
// dividing by zero.
class TDesktop : public TFragment {
public:
    explicit TDesktop(TArea& Area);
    ~TDesktop() override;
    std::string_view ClassName() const override { return "TDesktop"; }

    // The notifier of the document this desktop shows, or none. The areas
    // registry brackets it around the end of a drag, so that a drop that
    // edits the document reports once, after every fragment heard of it.
    virtual TChanges* DocumentChanges() const { return nullptr; }
    // Where the desktop's cursor stands, and one frame of its document; steps
    // go from there. A desktop without a document steps from time 0.
    virtual TVideoTime CursorTime() const { return 0; }
    virtual TVideoTime FrameDuration() const { return 0; }

    double PixelsPerSecond() const { return FPixelsPerSecond; }
    double PreviousScale() const { return FPreviousScale; }
    double MinScale() const { return FMinScale; }
    double NormalScale() const { return FNormalScale; }
    double MaxScale() const { return FMaxScale; }
    double ZoomFactor() const { return FZoomFactor; }

    // round(X / PixelsPerSecond * 10 000 000), limited to
    // +-UnlimitedVideoTime; without a positive scale, 0 for X = 0 and the
    // limit with X's sign otherwise.
    TVideoTime PixelsToTime(int64_t X) const;
    // round(Time * PixelsPerSecond / 10 000 000), limited likewise.
    int64_t TimeToPixels(TVideoTime Time) const;

    void SetScales(double ZoomFactor, double Max, double Normal, double Min);
    void SetScale(double Scale);

    // Fills the area's client rectangle.
    void Arrange() override;

    // The cursor time moved back (forward) by a second, a frame or ten
    // seconds.
    virtual TVideoTime StepBack(TStepKind Kind);
    virtual TVideoTime StepForward(TStepKind Kind);
    // Scrolls the area by half its client width (height) plus one.
    virtual void ScrollPage(TScrollDirection Direction);
    // The area scrolled: the rectangles are recomputed and all repainted.
    virtual void Scrolled(int32_t DX, int32_t DY);
    // The scale changed: the area lays out again.
    virtual void ScaleChanged();

private:
    TVideoTime StepSize(TStepKind Kind) const;

    double FPixelsPerSecond = 0;
    double FPreviousScale = 0;
    double FMinScale = 0;
    double FNormalScale = 0;
    double FMaxScale = 0;
    double FZoomFactor = 0;
};
