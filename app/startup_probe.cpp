#include "app/startup_probe.h"

#include "app/main_window.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget_window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

void ProbeFirstPaint(TWindowSystem& System, TMainWindow& Main) {
    const char* Started = std::getenv("QM_STARTUP_PROBE");
    if (!Started || !*Started)
        return;
    char* End = nullptr;
    long long StartNs = std::strtoll(Started, &End, 10);
    if (*End != '\0')
        return;
    System.StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once, [&Main, StartNs] {
        Main.Window().Update();
        auto Now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
        std::fprintf(stderr, "first-paint-ms %.1f\n", double(Now - StartNs) / 1e6);
        std::fflush(stderr);
    });
}
