#pragma once

#include "platform/media/media_format.h"

#include <cstdint>
#include <memory>
#include <string>

// Decodes one audio stream of a file, resampled to a group's rate and
// channel count as interleaved floats (-1..1). Reads at any sample position:
// sequential reads continue decoding, other positions seek and decode up to
// the exact sample. Only a short window of decoded samples is kept, so
// memory does not grow with the length of the file.
class TAudioFileReader {
public:
    TAudioFileReader(const std::string& FileName, int32_t StreamNumber,
                     const TMediaAudioFormat& Output);
    ~TAudioFileReader();
    TAudioFileReader(const TAudioFileReader&) = delete;
    TAudioFileReader& operator=(const TAudioFileReader&) = delete;

    // Adds (mixes) Frames sample frames starting at media sample Position
    // (at the output rate, from the stream's start) into Samples, scaled by
    // Gain. Positions before the start or past the end contribute silence.
    void MixInto(int64_t Position, int32_t Frames, float Gain, float* Samples);

    int32_t SeekCount() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};
