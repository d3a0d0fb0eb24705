#pragma once

#include "core/changes.h"

#include <cstdint>

class TProject;

// The project's change flags. Wider flags include the narrower ones, so a
// listener tests the bits it cares about.
enum class TProjectChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TProjectChangeFlags> = true;

constexpr TProjectChangeFlags ProjectChangeSelection{0x00000001};
constexpr TProjectChangeFlags ProjectChangeSettings{0x00000010};
constexpr TProjectChangeFlags ProjectChangeZoomPan{0x00000020};
constexpr TProjectChangeFlags ProjectChangeTiming{0x00000F00};
constexpr TProjectChangeFlags ProjectChangeTrackingEnd{0x00000800};
constexpr TProjectChangeFlags ProjectChangeItems{0x0000FFFF};
constexpr TProjectChangeFlags ProjectChangeTrackAudio{0x00010000};
constexpr TProjectChangeFlags ProjectChangeSubTracks{0x00FFFFFF};
constexpr TProjectChangeFlags ProjectChangePosition{0x01000000};
constexpr TProjectChangeFlags ProjectChangeFileName{0x02000000};
constexpr TProjectChangeFlags ProjectChangeAll{0xFFFFFFFF};

// Masks that listeners test, made of the flags above. Because wider flags
// include the narrower ones, the bits a wide flag has beyond the narrower
// ones tell that at least that much changed.

// Tracks added or removed, the project cleared or loaded: the bits only
// ProjectChangeAll carries.
constexpr TProjectChangeFlags ProjectChangeTrackList =
    ProjectChangeAll & ~(ProjectChangeSubTracks | ProjectChangePosition | ProjectChangeFileName);
// Sub-tracks added or removed, or more: the bits of ProjectChangeSubTracks
// beyond the items and the track audio, and the track list's.
constexpr TProjectChangeFlags ProjectChangeSubTrackList =
    ProjectChangeTrackList |
    (ProjectChangeSubTracks & ~(ProjectChangeItems | ProjectChangeTrackAudio));
// Items inserted into or removed from a track: the bits of ProjectChangeItems
// above the timing and the items' own state.
constexpr TProjectChangeFlags ProjectChangeItemList{0x0000F000};
// Changes after which a player showing the project loads its timeline again:
// all but the values that reach the live timeline by themselves (settings,
// zoom-and-pan, track audio), the end of a drag and the position.
constexpr TProjectChangeFlags ProjectChangeReloadsPlayer =
    ~(ProjectChangeSettings | ProjectChangeZoomPan | ProjectChangeTrackAudio |
      ProjectChangeTrackingEnd | ProjectChangePosition);

static_assert(ToBits(ProjectChangeTrackList) == 0xFC000000);
static_assert(ToBits(ProjectChangeSubTrackList) == 0xFCFE0000);
static_assert(ToBits(ProjectChangeItemList & ProjectChangeItems) == ToBits(ProjectChangeItemList) &&
              ToBits(ProjectChangeItemList & ProjectChangeTiming) == 0);
static_assert(ToBits(ProjectChangeReloadsPlayer) == 0xFEFEF7CF);

// The project's notifier. Before the listeners run it marks the project
// modified (unless only the selection, the position, the file name or the end
// of a drag changed) and recomputes the selection summary when the structure
// or the selection may have changed.
class TProjectChanges : public TFlagChanges<TProjectChangeFlags> {
public:
    explicit TProjectChanges(TProject* Project);
    std::string_view ClassName() const override { return "TProjectChanges"; }

protected:
    void DoChange(TProjectChangeFlags Flags) override;

private:
    TProject* FProject;
};
