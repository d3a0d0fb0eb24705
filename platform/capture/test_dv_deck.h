#pragma once

#include "platform/capture/dv_transport.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The test DV deck behind the test devices' camcorder: a tape of a number of
// frames with a position that moves with the transport (play and record at
// 25 frames per second, fast forward and rewind ten times faster, a step one
// frame), answering the same AV/C commands as a real unit. It can hold no
// tape, a write-protected tape, or be switched to camera mode (no tape
// recorder subunit). Frames written to it while recording are kept.
class TTestDvDeck {
public:
    // Loads a tape of Frames frames at position 0, writable, VCR mode, stopped.
    void InsertTape(int64_t Frames);
    void EjectTape();
    void SetWriteProtected(bool On);
    void SetCameraMode(bool On);
    void Reset();

    int64_t Position();
    int64_t TapeFrames();
    // DV frames recorded onto the tape (the DV writer sends them here).
    void RecordFrame(const uint8_t* Data, size_t Size);
    int64_t RecordedFrames();
    std::vector<uint8_t> RecordedFrame(int64_t Index);

    // One AV/C transaction.
    std::optional<uint32_t> Answer(uint32_t Command);

private:
    void Advance();

    std::mutex FLock;
    bool FHasTape = true;
    bool FWriteProtected = false;
    bool FCameraMode = false;
    int64_t FTapeFrames = 25 * 60;
    double FPosition = 0;
    uint32_t FState = 0xC460; // wind, stop
    double FSpeed = 0;        // frames per second
    int64_t FLastUpdate = 0;  // steady clock, microseconds
    std::vector<std::vector<uint8_t>> FRecorded;
};

TTestDvDeck& TestDvDeck();
std::unique_ptr<TAvcLink> MakeTestDeckLink();
