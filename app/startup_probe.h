#pragma once

class TMainWindow;
class TWindowSystem;

// For the start-up benchmark: when QM_STARTUP_PROBE holds the wall-clock
// time (nanoseconds since the epoch) at which the process was started, the
// first turn of the loop paints the main window and prints
// "first-paint-ms N" to standard error, N counted from that time. Without
// the variable nothing happens.
void ProbeFirstPaint(TWindowSystem& System, TMainWindow& Main);

// With the same variable, prints "startup-stage-ms Name N": the time from
// the process start to the end of a stage of the start (where the time to
// the first paint goes). Without it nothing happens.
void ProbeStartupStage(const char* Name);
