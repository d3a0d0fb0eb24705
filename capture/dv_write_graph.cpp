#include "capture/dv_write_graph.h"

#include "capture/cap_device_lists.h"
#include "platform/capture/dv_tape_output.h"
#include "platform/capture/dv_transport.h"
#include "platform/media/media_error.h"
#include "platform/message_queue.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

// What the sending thread and the user-interface thread share.
struct TDVWriteGraphObject::TState : std::enable_shared_from_this<TState> {
    TMessageQueue& Messages;
    TDVWriteGraphObject* Owner; // cleared when the writer goes; UI thread only
    TCaptureEndpoint Camcorder;
    std::unique_ptr<TDvTransport> Transport;
    std::thread Sender;
    std::mutex Lock;
    std::condition_variable Wake;
    bool Stopping = false;
    std::atomic<int64_t> FramesSent{0};
    bool EndReported = false;

    TState(TMessageQueue& M, TDVWriteGraphObject* O) : Messages(M), Owner(O) {}

    void PostEnd(std::string Error) {
        Messages.Post([Self = weak_from_this(), Error = std::move(Error)] {
            if (auto State = Self.lock(); State && State->Owner)
                State->Owner->Ended(Error);
        });
    }

    // Sends every frame after the pre-roll; the end is posted, whatever it is.
    void Send(std::unique_ptr<TDvFrameReader> Reader, std::unique_ptr<TDvFrameOutput> Output,
              std::chrono::milliseconds Preroll) {
        {
            std::unique_lock Guard(Lock);
            if (Wake.wait_for(Guard, Preroll, [&] { return Stopping; }))
                return;
        }
        std::string Error;
        try {
            std::vector<uint8_t> Frame;
            while (Reader->Next(Frame)) {
                {
                    std::lock_guard Guard(Lock);
                    if (Stopping)
                        return;
                }
                if (!Output->Send(Frame.data(), Frame.size())) {
                    Error = "the camcorder stopped taking frames";
                    break;
                }
                ++FramesSent;
            }
            if (Error.empty())
                Output->Drain();
        } catch (const std::exception& Failure) {
            Error = Failure.what();
        }
        PostEnd(Error);
    }
};

TDVWriteGraphObject::TDVWriteGraphObject(TCaptureDeviceLists& Lists, const std::string& FileName,
                                         TMessageQueue& Messages)
    : FMessages(Messages), FFileName(FileName), F(std::make_shared<TState>(Messages, this)) {
    try {
        const TCapDeviceInfo* Device = Lists.FindDevice(TCapDeviceList::VideoInputs, DvCamcorderName);
        if (!Device) {
            FResult = TDVWriteResult::NoCamcorder;
            return;
        }
        F->Camcorder = Device->Endpoint;
        F->Transport = OpenDvTransport(Device->Endpoint);
        if (!F->Transport || !F->Transport->IsVCR()) {
            FResult = TDVWriteResult::NotVCR;
            return;
        }
        TDvFileInfo Info = CheckDvFile(FileName);
        FLastError = Info.Error;
        FDuration = Info.Duration;
        FPal = Info.Pal;
        switch (Info.Check) {
        case TDvFileCheck::Accepted:
            FResult = TDVWriteResult::Built;
            break;
        case TDvFileCheck::CannotOpen:
            FResult = TDVWriteResult::CannotOpenFile;
            break;
        case TDvFileCheck::NotDv:
            FResult = TDVWriteResult::NotDVFile;
            break;
        case TDvFileCheck::CannotConnect:
            FResult = TDVWriteResult::CannotConnect;
            break;
        }
    } catch (const std::exception& Error) {
        FLastError = Error.what();
        FResult = TDVWriteResult::Failed;
    }
}

TDVWriteGraphObject::~TDVWriteGraphObject() {
    F->Owner = nullptr;
    if (FStarted && F->Transport)
        F->Transport->SetMode(TransportMode::Stop);
    StopSending();
}

void TDVWriteGraphObject::StopSending() {
    {
        std::lock_guard Guard(F->Lock);
        F->Stopping = true;
    }
    F->Wake.notify_all();
    if (F->Sender.joinable())
        F->Sender.join();
}

bool TDVWriteGraphObject::Start() {
    if (FResult != TDVWriteResult::Built || FStarted)
        return false;
    if (!F->Transport->SetMode(TransportMode::RecordFreeze)) {
        FLastError = "the camcorder does not record (no tape, or the tape is write-protected)";
        return false;
    }
    std::unique_ptr<TDvFrameReader> Reader;
    std::unique_ptr<TDvFrameOutput> Output;
    try {
        Reader = std::make_unique<TDvFrameReader>(FFileName);
        std::string Error;
        Output = OpenDvFrameOutput(F->Camcorder, Reader->Pal(), Error);
        if (!Output)
            throw EMediaError(Error);
    } catch (const std::exception& Error) {
        FLastError = Error.what();
        F->Transport->SetMode(TransportMode::Stop);
        return false;
    }
    if (!F->Transport->SetMode(TransportMode::Record)) {
        FLastError = "the camcorder does not record (no tape, or the tape is write-protected)";
        F->Transport->SetMode(TransportMode::Stop);
        return false;
    }
    FStarted = true;
    F->EndReported = false;
    F->FramesSent = 0;
    F->Stopping = false;
    auto Wait = std::max(std::chrono::milliseconds::zero(), Preroll);
    F->Sender = std::thread([State = F.get(), Reader = std::move(Reader),
                             Output = std::move(Output), Wait]() mutable {
        State->Send(std::move(Reader), std::move(Output), Wait);
    });
    return true;
}

void TDVWriteGraphObject::Stop() {
    if (FResult != TDVWriteResult::Built)
        return;
    Ended({});
}

void TDVWriteGraphObject::Ended(const std::string& Error) {
    if (F->EndReported)
        return;
    F->EndReported = true;
    if (F->Transport)
        F->Transport->SetMode(TransportMode::Stop);
    StopSending();
    FStarted = false;
    if (!Error.empty())
        FLastError = Error;
    if (OnEnd)
        OnEnd(*this, Error);
}

bool TDVWriteGraphObject::Running() const {
    return FStarted;
}

int32_t TDVWriteGraphObject::Progress() const {
    if (FDuration <= 0)
        return 0;
    double FrameTime = FPal ? 1e7 / 25 : 1e7 * 1001 / 30000;
    double Position = double(F->FramesSent.load()) * FrameTime;
    return int32_t(std::min<long long>(100, std::llround(Position / double(FDuration) * 100)));
}
