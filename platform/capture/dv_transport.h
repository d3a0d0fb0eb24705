#pragma once

#include "platform/capture/capture_endpoint.h"

#include <cstdint>
#include <memory>
#include <optional>

// Tape transport modes, numbered as the capture code stores them.
namespace TransportMode {
inline constexpr int32_t Play = 4296;
inline constexpr int32_t Stop = 4297;
inline constexpr int32_t Freeze = 4298;
inline constexpr int32_t Thaw = 4299;
inline constexpr int32_t FastForward = 4300;
inline constexpr int32_t Rewind = 4301;
inline constexpr int32_t Record = 4302;
inline constexpr int32_t StepForward = 4304;
inline constexpr int32_t RecordFreeze = 4904;
inline constexpr int32_t StepReverse = 4905;
} // namespace TransportMode

// One AV/C unit reached by single-quadlet transactions: the command goes
// out, the response comes back, or nothing when the unit does not answer.
class TAvcLink {
public:
    virtual ~TAvcLink() = default;
    virtual std::optional<uint32_t> Transaction(uint32_t Command) = 0;
};

// The tape transport of a DV camcorder or deck through AV/C commands to its
// tape recorder subunit: the transport state command reads the mode, the
// play, wind and record commands set it.
class TDvTransport {
public:
    explicit TDvTransport(std::unique_ptr<TAvcLink> Link);

    // The current mode; nothing when it cannot be read (no tape recorder
    // subunit: a camcorder in camera mode, or a unit that is gone).
    std::optional<int32_t> Mode();
    // False when the unit rejects the command (no tape, write protected) or
    // does not answer, and for a mode that has no command.
    bool SetMode(int32_t Mode);
    // Whether the unit works as a tape recorder now (a camcorder switched to
    // VCR mode): its tape recorder subunit answers.
    bool IsVCR() { return Mode().has_value(); }

private:
    std::unique_ptr<TAvcLink> FLink;
};

// The command quadlet that sets Mode, or nothing for a mode without one.
std::optional<uint32_t> TransportCommandFor(int32_t Mode);
// The mode a transport state response (its low 16 bits) stands for.
int32_t TransportModeFromState(uint32_t Response);

// The transport of a FireWire unit or of the test deck; none for other
// devices.
std::unique_ptr<TDvTransport> OpenDvTransport(const TCaptureEndpoint& Device);
