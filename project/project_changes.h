#pragma once

#include "core/changes.h"

#include <cstdint>

class TProject;

// The project's change flags. Wider flags include the narrower ones, so a
// listener tests the bits it cares about.
constexpr uint32_t ProjectChangeSelection = 0x00000001;
constexpr uint32_t ProjectChangeSettings = 0x00000010;
constexpr uint32_t ProjectChangeZoomPan = 0x00000020;
constexpr uint32_t ProjectChangeTiming = 0x00000F00;
constexpr uint32_t ProjectChangeTrackingEnd = 0x00000800;
constexpr uint32_t ProjectChangeItems = 0x0000FFFF;
constexpr uint32_t ProjectChangeTrackAudio = 0x00010000;
constexpr uint32_t ProjectChangeSubTracks = 0x00FFFFFF;
constexpr uint32_t ProjectChangePosition = 0x01000000;
constexpr uint32_t ProjectChangeFileName = 0x02000000;
constexpr uint32_t ProjectChangeAll = 0xFFFFFFFF;

// The project's notifier. Before the listeners run it marks the project
// modified (unless only the selection, the position, the file name or the end
// of a drag changed) and recomputes the selection summary when the structure
// or the selection may have changed.
class TProjectChanges : public TChanges {
public:
    explicit TProjectChanges(TProject* Project);
    std::string_view ClassName() const override { return "TProjectChanges"; }

protected:
    void DoChange(uint32_t Flags) override;

private:
    TProject* FProject;
};
