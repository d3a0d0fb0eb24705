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
