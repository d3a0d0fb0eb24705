#include "app/startup_probe.h"

#include "app/main_window.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget_window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The process start the variable gives, in nanoseconds since the epoch;
// none without a well-formed variable.
std::optional<long long> ProbeStart() {
    const char* Started = std::getenv("QM_STARTUP_PROBE");
    if (!Started || !*Started)
        return std::nullopt;
    char* End = nullptr;
    long long StartNs = std::strtoll(Started, &End, 10);
    if (*End != '\0')
        return std::nullopt;
    return StartNs;
}

double MillisecondsSince(long long StartNs) {
    auto Now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
    return double(Now - StartNs) / 1e6;
}

} // namespace

void ProbeFirstPaint(TWindowSystem& System, TMainWindow& Main) {
    std::optional<long long> StartNs = ProbeStart();
    if (!StartNs)
        return;
    System.StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once, [&Main, Start = *StartNs] {
        Main.Window().Update();
        std::fprintf(stderr, "first-paint-ms %.1f\n", MillisecondsSince(Start));
        std::fflush(stderr);
    });
}

void ProbeStartupStage(const char* Name) {
    static const std::optional<long long> StartNs = ProbeStart();
    if (!StartNs)
        return;
    std::fprintf(stderr, "startup-stage-ms %s %.1f\n", Name, MillisecondsSince(*StartNs));
}
