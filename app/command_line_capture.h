#pragma once

struct TCommandLine;

// Whether the command line asks for a capture job (a device list, a
// recording, a snapshot or a DV file sent to tape).
bool IsCaptureCommand(const TCommandLine& CommandLine);

// Runs that job on the attached devices without a window; what it did goes
// to standard output, failures to standard error. Returns the exit code.
int RunCommandLineCapture(const TCommandLine& CommandLine);
