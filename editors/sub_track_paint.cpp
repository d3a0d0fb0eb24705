// The painting of a content cell: its background, tinted for a selection
// and a drop, a faint time grid, and the spans where a drop or a reorder
// would put things.

#include "editors/sub_track_fragment.h"

#include "canvas/pixels.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_paint.h"
#include "editors/timeline_scale.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>

TColor TSubTrackFragment::RowBackground() const {
    TColor Background = SystemColors().Window;
    if (FSubTrack->Kind() == TSubTrackKind::Audio)
        Background = MixColors(Background, MakeColor(0, 128, 96), 10);
    else if (FSubTrack->Kind() == TSubTrackKind::Effect)
        Background = MixColors(Background, MakeColor(0, 96, 192), 10);
    return AlphaColor(Background, 255);
}

TColor TSubTrackFragment::SelectionFill() const {
    const TTrack* Owned = FSubTrack->Track();
    if (FSubTrack->IsSelected() || (Owned && Owned->IsSelected()))
        return ColorOver(MakeColor(0, 80, 255, 8), RowBackground());
    return RowBackground();
}

std::optional<TColor> TSubTrackFragment::PlainBackground() const {
    if (FDropInside || FDragMode == TCellDragMode::Reorder)
        return std::nullopt;
    return SelectionFill();
}

void TSubTrackFragment::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    const TRect Box{0, 0, Width(), Height()};
    // The tints of a selected row and of a drop over it are uniform: one
    // opaque fill of the mixed colour instead of blends over the row.
    TColor Fill = FPaintedFill = SelectionFill();
    if (FDropInside)
        Fill = ColorOver(FPlacement.Kind == TDropKind::None ? MakeColor(255, 255, 0, 16) : MakeColor(0, 255, 0, 16), Fill);
    Pixels.FillRect(Box, Fill);
    const TTimelineDesktop& Owner = Desktop();
    // Faint lines at the labelled ticks of the time bar, as a grid.
    if (const TTimeInterval* Entry = FirstIntervalSpaced(Owner.PixelsPerSecond(), MinLabelSpacing())) {
        const TRect Clip = Pixels.ClipRect().Translated({-Pixels.Origin.X, -Pixels.Origin.Y});
        const TTickRange Ticks = TicksAround(*Entry, Owner.PixelsToTime(Clip.Left), Owner.PixelsToTime(Clip.Right));
        for (int64_t K = std::max<int64_t>(1, Ticks.First); K <= Ticks.Last; ++K) {
            int32_t X = ClampFragmentCoordinate(Owner.TimeToPixels(TickTime(*Entry, K)));
            Pixels.BlendRect({X, 0, X + 1, Height()}, AlphaColor(Skin.TextColor, 14));
        }
    }
    if (FDropInside && FPlacement.Kind == TDropKind::Insert) {
        int32_t Left = ClampFragmentCoordinate(Owner.TimeToPixels(FPlacement.Start));
        int32_t Right = ClampFragmentCoordinate(Owner.TimeToPixels(FPlacement.Start + FPlacement.Duration));
        Pixels.BlendRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 160, 0, 64));
    }
    if (FDragMode == TCellDragMode::Reorder && !FRun.IsEmpty()) {
        // Where the moved run would go.
        TVideoTime Length = FBlocks[size_t(FRun.Last)].End - FBlocks[size_t(FRun.First)].Start;
        int32_t Left = ClampFragmentCoordinate(Owner.TimeToPixels(FReorder.NewStart));
        int32_t Right = ClampFragmentCoordinate(Owner.TimeToPixels(FReorder.NewStart + Length));
        Pixels.BlendRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 80, 255, 48));
        Pixels.BlendFrameRect({Left, 0, std::max(Left + 2, Right), Height()}, MakeColor(0, 80, 255, 192));
    }
}
