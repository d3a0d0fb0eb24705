#include "app/command_line_capture.h"

#include "app/command_line.h"
#include "capture/cap_device_lists.h"
#include "capture/capture_job.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/text_table.h"

#include <iostream>

bool IsCaptureCommand(const TCommandLine& CommandLine) {
    return CommandLine.CaptureList || !CommandLine.CaptureFile.empty() ||
           !CommandLine.SnapshotFile.empty() || !CommandLine.WriteDVFile.empty();
}

int RunCommandLineCapture(const TCommandLine& CommandLine) {
    TCaptureJob Job;
    Job.VideoDevice = CommandLine.CaptureVideo;
    Job.AudioDevice = CommandLine.CaptureAudio;
    Job.AudioPin = CommandLine.CapturePin;
    Job.Kind = CommandLine.CaptureKind;
    if (!CommandLine.CaptureFile.empty()) {
        Job.Action = TCaptureJob::TAction::Record;
        Job.File = CommandLine.CaptureFile;
    } else if (!CommandLine.SnapshotFile.empty()) {
        Job.Action = TCaptureJob::TAction::Snapshot;
        Job.File = CommandLine.SnapshotFile;
    } else if (!CommandLine.WriteDVFile.empty()) {
        Job.Action = TCaptureJob::TAction::WriteDV;
        Job.File = CommandLine.WriteDVFile;
    }
    if (!CommandLine.CaptureSeconds.empty()) {
        int32_t Seconds = ParseInteger(CommandLine.CaptureSeconds, 1, 86400, 0);
        if (Seconds == 0) {
            std::cerr << FormatMessageText(GetText(TTextSlot::CaptureSecondsInvalid),
                                           CommandLine.CaptureSeconds)
                      << '\n';
            return 2;
        }
        Job.Seconds = double(Seconds);
    }
    return RunCaptureJob(Job, CaptureDeviceLists(), std::cout, std::cerr);
}
