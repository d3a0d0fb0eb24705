#include "platform/capture/test_dv_deck.h"

#include <libavc1394/avc1394.h>

#include <algorithm>
#include <chrono>

namespace {

int64_t NowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class TTestDeckLink : public TAvcLink {
public:
    std::optional<uint32_t> Transaction(uint32_t Command) override {
        return TestDvDeck().Answer(Command);
    }
};

} // namespace

void TTestDvDeck::Advance() {
    int64_t Now = NowMicroseconds();
    if (FLastUpdate)
        FPosition += FSpeed * double(Now - FLastUpdate) / 1e6;
    FLastUpdate = Now;
    bool AtEnd = (FSpeed < 0 && FPosition <= 0) || (FSpeed > 0 && FPosition >= double(FTapeFrames));
    FPosition = std::clamp(FPosition, 0.0, double(FTapeFrames));
    if (AtEnd) { // the end of the tape stops the transport
        {
            FSpeed = 0;
            FState = AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_STOP;
        }
    }
}

void TTestDvDeck::InsertTape(int64_t Frames) {
    std::lock_guard Guard(FLock);
    FHasTape = true;
    FTapeFrames = std::max<int64_t>(Frames, 1);
    FPosition = 0;
    FSpeed = 0;
    FState = AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_STOP;
    FRecorded.clear();
}

void TTestDvDeck::EjectTape() {
    std::lock_guard Guard(FLock);
    FHasTape = false;
    FSpeed = 0;
    FState = AVC1394_VCR_COMMAND_WIND | AVC1394_VCR_OPERAND_WIND_STOP;
}

void TTestDvDeck::SetWriteProtected(bool On) {
    std::lock_guard Guard(FLock);
    FWriteProtected = On;
}

void TTestDvDeck::SetCameraMode(bool On) {
    std::lock_guard Guard(FLock);
    FCameraMode = On;
}

void TTestDvDeck::Reset() {
    InsertTape(25 * 60);
    SetWriteProtected(false);
    SetCameraMode(false);
}

int64_t TTestDvDeck::Position() {
    std::lock_guard Guard(FLock);
    Advance();
    return int64_t(FPosition);
}

int64_t TTestDvDeck::TapeFrames() {
    std::lock_guard Guard(FLock);
    return FTapeFrames;
}

void TTestDvDeck::RecordFrame(const uint8_t* Data, size_t Size) {
    std::lock_guard Guard(FLock);
    if ((FState & 0xFF00) == AVC1394_VCR_COMMAND_RECORD && FHasTape && !FWriteProtected)
        FRecorded.emplace_back(Data, Data + Size);
}

int64_t TTestDvDeck::RecordedFrames() {
    std::lock_guard Guard(FLock);
    return int64_t(FRecorded.size());
}

std::vector<uint8_t> TTestDvDeck::RecordedFrame(int64_t Index) {
    std::lock_guard Guard(FLock);
    if (Index < 0 || Index >= int64_t(FRecorded.size()))
        return {};
    return FRecorded[size_t(Index)];
}

std::optional<uint32_t> TTestDvDeck::Answer(uint32_t Command) {
    std::lock_guard Guard(FLock);
    Advance();
    uint32_t Keep = Command & 0x00FFFFFF;
    // In camera mode the unit has no tape recorder subunit.
    if (FCameraMode && (Command & 0x00F80000) == AVC1394_SUBUNIT_TYPE_VCR)
        return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
    uint32_t Type = Command & 0x0F000000;
    uint32_t Opcode = Command & 0xFF00;
    uint32_t Operand = Command & 0xFF;
    if (Type == AVC1394_CTYPE_STATUS && Opcode == AVC1394_VCR_COMMAND_TRANSPORT_STATE)
        return AVC1394_RESPONSE_STABLE | (Command & 0x00FF0000) | FState;
    if (Type != AVC1394_CTYPE_CONTROL)
        return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
    if (!FHasTape)
        return AVC1394_RESPONSE_REJECTED | Keep;
    double Speed = 0;
    switch (Opcode) {
    case AVC1394_VCR_COMMAND_PLAY:
        switch (Operand) {
        case AVC1394_VCR_OPERAND_PLAY_FORWARD:
            Speed = 25;
            break;
        case AVC1394_VCR_OPERAND_PLAY_NEXT_FRAME:
            FPosition = std::min(FPosition + 1, double(FTapeFrames));
            break;
        case AVC1394_VCR_OPERAND_PLAY_PREVIOUS_FRAME:
            FPosition = std::max(FPosition - 1, 0.0);
            break;
        case AVC1394_VCR_OPERAND_PLAY_FORWARD_PAUSE:
            break;
        default:
            return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
        }
        break;
    case AVC1394_VCR_COMMAND_WIND:
        switch (Operand) {
        case AVC1394_VCR_OPERAND_WIND_STOP:
            break;
        case AVC1394_VCR_OPERAND_WIND_FAST_FORWARD:
            Speed = 250;
            break;
        case AVC1394_VCR_OPERAND_WIND_REWIND:
            Speed = -250;
            break;
        default:
            return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
        }
        break;
    case AVC1394_VCR_COMMAND_RECORD:
        if (FWriteProtected)
            return AVC1394_RESPONSE_REJECTED | Keep;
        if (Operand == AVC1394_VCR_OPERAND_RECORD_RECORD)
            Speed = 25;
        else if (Operand != AVC1394_VCR_OPERAND_RECORD_PAUSE)
            return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
        break;
    default:
        return AVC1394_RESPONSE_NOT_IMPLEMENTED | Keep;
    }
    FSpeed = Speed;
    FState = Opcode | Operand;
    return AVC1394_RESPONSE_ACCEPTED | Keep;
}

TTestDvDeck& TestDvDeck() {
    static TTestDvDeck Deck;
    return Deck;
}

std::unique_ptr<TAvcLink> MakeTestDeckLink() {
    return std::make_unique<TTestDeckLink>();
}
