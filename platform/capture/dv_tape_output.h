#pragma once

#include "core/video_time.h"
#include "platform/capture/capture_endpoint.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Whether a file can go onto a DV tape as it is: DV video, either in a raw
// DV stream (the sound inside the frames) or in AVI with no sound or PCM
// sound beside it.
enum class TDvFileCheck {
    Accepted,
    CannotOpen,    // not a readable media file
    NotDv,         // readable, but not DV of an accepted kind
    CannotConnect, // DV, but its sound cannot be put into DV frames
};

struct TDvFileInfo {
    TDvFileCheck Check = TDvFileCheck::CannotOpen;
    bool Pal = true; // 625 lines at 25 frames per second; else 525 at 29.97
    TVideoTime Duration = 0;
    std::string Error; // the library's reason when not accepted
};

TDvFileInfo CheckDvFile(const std::string& FileName);

// The bytes of one DV frame of each standard.
inline constexpr size_t DvPalFrameBytes = 144000;
inline constexpr size_t DvNtscFrameBytes = 120000;

// Reads a DV file as the whole DV frames a tape takes, the sound of an AVI's
// separate PCM stream written into the frames.
//
//   TDvFrameReader Reader(FileName);
//   std::vector<uint8_t> Frame;
//   while (Reader.Next(Frame)) Output->Send(Frame.data(), Frame.size());
class TDvFrameReader {
public:
    // Raises EMediaError when the file is not an accepted DV file.
    explicit TDvFrameReader(const std::string& FileName);
    ~TDvFrameReader();
    TDvFrameReader(const TDvFrameReader&) = delete;
    TDvFrameReader& operator=(const TDvFrameReader&) = delete;

    bool Pal() const;
    size_t FrameBytes() const;
    // False at the end of the file; raises EMediaError on a read failure.
    bool Next(std::vector<uint8_t>& Frame);

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// Where DV frames go to tape: a FireWire unit through libiec61883's
// transmit, or the test deck. Send blocks while the output is full, so the
// output sets the pace (the bus's for a unit, real time for the test deck).
class TDvFrameOutput {
public:
    virtual ~TDvFrameOutput() = default;
    // False when the frame could not be sent (the unit went away).
    virtual bool Send(const uint8_t* Frame, size_t Size) = 0;
    // Waits, up to a bound, until the frames sent have gone out.
    virtual void Drain() = 0;
};

// None for a device that takes no DV (raises nothing: the caller reports).
std::unique_ptr<TDvFrameOutput> OpenDvFrameOutput(const TCaptureEndpoint& Device, bool Pal,
                                                  std::string& Error);
