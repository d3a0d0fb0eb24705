#pragma once

#include "capture/forward.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

enum class TMediaOutputFormat : uint8_t;

// One capture task run without a window, from the command line or a test.
struct TCaptureJob {
    enum class TAction { List, Record, Snapshot, WriteDV };
    TAction Action = TAction::List;
    // Devices by their unique names in the lists; Pin chooses the audio
    // device's input (empty: as it is).
    std::string VideoDevice;
    std::string AudioDevice;
    std::string AudioPin;
    // Record: the file made (its folder holds the temporary file while
    // recording); Snapshot: a .png or .bmp; WriteDV: the DV file sent.
    std::string File;
    // Record: how long, and the output kind by name (empty: from the
    // file's extension).
    double Seconds = 5;
    std::string Kind;
    // WriteDV: the time the deck gets to come up to speed.
    std::chrono::milliseconds Preroll{3000};
};

// The output kind a name stands for ("wmv", "dvavi", ...), or, for an empty
// name, the one File's extension suggests; nothing when unknown.
std::optional<TMediaOutputFormat> CaptureJobKind(const std::string& Kind, const std::string& File);

// Runs Job against Lists, writing what it did to Out and failures to Err.
// List prints each device as "video<TAB>name", "audio<TAB>name" and
// "audio<TAB>name<TAB>pin" lines, the DV camcorder marked "dv" and the
// compressors "video-compressor" and "audio-compressor". Returns the exit
// code: 0 done, 1 failed.
int RunCaptureJob(const TCaptureJob& Job, TCaptureDeviceLists& Lists, std::ostream& Out,
                  std::ostream& Err);
