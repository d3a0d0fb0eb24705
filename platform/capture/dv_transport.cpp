#include "platform/capture/dv_transport.h"

#include "platform/capture/test_dv_deck.h"

#include <libavc1394/avc1394.h>
#include <libraw1394/raw1394.h>

namespace {

constexpr uint32_t VcrUnit = AVC1394_SUBUNIT_TYPE_VCR | AVC1394_SUBUNIT_ID_0;

struct TModeCommand {
    int32_t Mode;
    uint32_t Opcode;
    uint8_t Operand;
};

constexpr TModeCommand ModeCommands[] = {
    {TransportMode::Play, AVC1394_VCR_COMMAND_PLAY, AVC1394_VCR_OPERAND_PLAY_FORWARD},
    {TransportMode::Thaw, AVC1394_VCR_COMMAND_PLAY, AVC1394_VCR_OPERAND_PLAY_FORWARD},
    {TransportMode::Freeze, AVC1394_VCR_COMMAND_PLAY, AVC1394_VCR_OPERAND_PLAY_FORWARD_PAUSE},
    {TransportMode::StepForward, AVC1394_VCR_COMMAND_PLAY, AVC1394_VCR_OPERAND_PLAY_NEXT_FRAME},
    {TransportMode::StepReverse, AVC1394_VCR_COMMAND_PLAY, AVC1394_VCR_OPERAND_PLAY_PREVIOUS_FRAME},
    {TransportMode::Stop, AVC1394_VCR_COMMAND_WIND, AVC1394_VCR_OPERAND_WIND_STOP},
    {TransportMode::FastForward, AVC1394_VCR_COMMAND_WIND, AVC1394_VCR_OPERAND_WIND_FAST_FORWARD},
    {TransportMode::Rewind, AVC1394_VCR_COMMAND_WIND, AVC1394_VCR_OPERAND_WIND_REWIND},
    {TransportMode::Record, AVC1394_VCR_COMMAND_RECORD, AVC1394_VCR_OPERAND_RECORD_RECORD},
    {TransportMode::RecordFreeze, AVC1394_VCR_COMMAND_RECORD, AVC1394_VCR_OPERAND_RECORD_PAUSE},
};

// A FireWire unit: libavc1394's transaction, which retries a busy unit.
class TFireWireLink : public TAvcLink {
public:
    TFireWireLink(raw1394handle_t Handle, int32_t Node) : FHandle(Handle), FNode(Node) {}
    ~TFireWireLink() override { raw1394_destroy_handle(FHandle); }
    std::optional<uint32_t> Transaction(uint32_t Command) override {
        quadlet_t Response = avc1394_transaction(FHandle, nodeid_t(0xffc0 | FNode), Command, 2);
        if (Response == quadlet_t(-1))
            return std::nullopt;
        return uint32_t(Response);
    }

private:
    raw1394handle_t FHandle;
    int32_t FNode;
};

} // namespace

std::optional<uint32_t> TransportCommandFor(int32_t Mode) {
    for (const TModeCommand& Command : ModeCommands)
        if (Command.Mode == Mode)
            return AVC1394_CTYPE_CONTROL | VcrUnit | Command.Opcode | Command.Operand;
    return std::nullopt;
}

int32_t TransportModeFromState(uint32_t Response) {
    uint32_t State = Response & 0xFFFF;
    // The first mode listed for a state wins (Play before Thaw).
    for (const TModeCommand& Command : ModeCommands)
        if ((Command.Opcode | Command.Operand) == State)
            return Command.Mode;
    // Other play and wind states: the nearest plain mode.
    switch (State & 0xFF00) {
    case AVC1394_VCR_COMMAND_PLAY:
        return TransportMode::Play;
    case AVC1394_VCR_COMMAND_RECORD:
        return TransportMode::Record;
    default:
        return TransportMode::Stop;
    }
}

TDvTransport::TDvTransport(std::unique_ptr<TAvcLink> Link) : FLink(std::move(Link)) {}

std::optional<int32_t> TDvTransport::Mode() {
    auto Response = FLink->Transaction(AVC1394_CTYPE_STATUS | VcrUnit |
                                       AVC1394_VCR_COMMAND_TRANSPORT_STATE |
                                       AVC1394_VCR_OPERAND_TRANSPORT_STATE);
    if (!Response || (*Response & 0x0F000000) != AVC1394_RESPONSE_STABLE)
        return std::nullopt;
    return TransportModeFromState(*Response);
}

bool TDvTransport::SetMode(int32_t Mode) {
    auto Command = TransportCommandFor(Mode);
    if (!Command)
        return false;
    auto Response = FLink->Transaction(*Command);
    return Response && (*Response & 0x0F000000) == AVC1394_RESPONSE_ACCEPTED;
}

std::unique_ptr<TDvTransport> OpenDvTransport(const TCaptureEndpoint& Device) {
    if (Device.InputFormat == "lavfi" && Device.Url == "qmtest-deck")
        return std::make_unique<TDvTransport>(MakeTestDeckLink());
    if (Device.InputFormat != "iec61883" || Device.FireWireNode < 0)
        return nullptr;
    raw1394handle_t Handle = raw1394_new_handle_on_port(Device.FireWirePort);
    if (!Handle)
        return nullptr;
    return std::make_unique<TDvTransport>(std::make_unique<TFireWireLink>(Handle, Device.FireWireNode));
}
