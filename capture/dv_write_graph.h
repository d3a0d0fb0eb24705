#pragma once

#include "capture/forward.h"
#include "core/object.h"
#include "core/video_time.h"
#include "platform/forward.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// What building a DV write found, numbered as the DV download command knows
// it.
enum class TDVWriteResult : uint8_t {
    Built = 0,
    CannotOpenFile = 1, // the file could not be opened as a source
    NotDVFile = 2,      // not a DV file of an accepted kind
    CannotConnect = 3,  // its streams cannot be put onto the tape
    NoCamcorder = 4,    // no DV camcorder attached
    NotVCR = 5,         // the camcorder has no tape transport or is in camera mode
    Failed = 6,         // an unexpected failure
};

// Writes a DV file back to the tape of the DV camcorder: the deck is put
// into record-pause, then record, and after a pre-roll the file's frames
// are sent to it (libiec61883's transmit on FireWire; the test deck on
// machines without). The frames are sent on a worker thread; the end (the
// whole file sent, the unit gone, a read failure) arrives through the
// message queue and is reported through OnEnd with the failure's text,
// empty when the whole file went out.
//
//   TDVWriteGraphObject Writer(CaptureDeviceLists(), "/home/ann/holiday.avi", UiMessages());
//   if (Writer.Result() != TDVWriteResult::Built) ...report by code...
//   Writer.OnEnd = [](TDVWriteGraphObject&, const std::string& Error) { ... };
//   if (!Writer.Start()) ...write-protected or no tape...
//   ... poll Writer.Progress() ...
class TDVWriteGraphObject : public TObject {
public:
    // Never raises: what went wrong is the result code.
    TDVWriteGraphObject(TCaptureDeviceLists& Lists, const std::string& FileName,
                        TMessageQueue& Messages);
    // Stops the transport and the sending, without OnEnd.
    ~TDVWriteGraphObject() override;
    TDVWriteGraphObject(const TDVWriteGraphObject&) = delete;
    TDVWriteGraphObject& operator=(const TDVWriteGraphObject&) = delete;

    std::string_view ClassName() const override { return "TDVWriteGraphObject"; }

    TDVWriteResult Result() const { return FResult; }
    TVideoTime Duration() const { return FDuration; }
    // Why construction or the write failed, with the library's reason.
    const std::string& LastError() const { return FLastError; }

    // Record-pause, record, then the frames after the pre-roll. False when
    // the graph was not built, the deck rejects recording (write-protected,
    // no tape) or the file cannot be read; the transport is stopped again.
    bool Start();
    // Stops the transport and the sending, then OnEnd (once per write).
    void Stop();
    // How much of the file went out, 0..100; 0 for a file without duration.
    int32_t Progress() const;
    bool Running() const;

    // The time the deck gets to come up to speed before the first frame.
    std::chrono::milliseconds Preroll{3000};

    std::function<void(TDVWriteGraphObject&, const std::string& Error)> OnEnd;

private:
    struct TState;
    void Ended(const std::string& Error);
    void StopSending();

    TMessageQueue& FMessages;
    std::string FFileName;
    TDVWriteResult FResult = TDVWriteResult::Failed;
    TVideoTime FDuration = 0;
    bool FPal = true;
    std::string FLastError;
    bool FStarted = false;
    std::shared_ptr<TState> F;
};
