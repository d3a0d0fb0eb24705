#include "platform/media/media_format.h"

#include "core/numbers.h"

int64_t TimeToSample(TVideoTime Time, int32_t Rate) {
    return MulDivRound64(Time, Rate, VideoTimeUnitsPerSecond);
}

TVideoTime SampleToTime(int64_t Sample, int32_t Rate) {
    return Rate > 0 ? MulDivRound64(Sample, VideoTimeUnitsPerSecond, Rate) : 0;
}
