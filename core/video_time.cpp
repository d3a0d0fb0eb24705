#include "core/video_time.h"

#include <cmath>

TVideoTime SecondsToVideoTime(double Seconds) {
    return static_cast<TVideoTime>(std::llround(Seconds * double(VideoTimeUnitsPerSecond)));
}

double VideoTimeToSeconds(TVideoTime Time) {
    return double(Time) / double(VideoTimeUnitsPerSecond);
}
