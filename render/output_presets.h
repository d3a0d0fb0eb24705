#pragma once

#include "render/video_format.h"

#include <cstdint>
#include <string>

class TTimeline;
enum class TMediaOutputFormat : uint8_t;

// The fixed preset tables of the render timeline's output formats. A
// TVideoFormat or TAudioFormat names its preset by number; the numbers 1
// (optimal: follow the media on the timeline) and the last one (custom: the
// record's own values) have no table values.
constexpr uint8_t VideoPresetNone = 0;
constexpr uint8_t VideoPresetOptimal = 1;
constexpr uint8_t VideoPresetSmall = 2;
constexpr uint8_t VideoPresetMedium = 3;
constexpr uint8_t VideoPresetBig = 4;
constexpr uint8_t VideoPresetPal = 5;
constexpr uint8_t VideoPresetNtsc = 6;
constexpr uint8_t VideoPresetHd720 = 7;
constexpr uint8_t VideoPresetFullHd = 8;
constexpr uint8_t VideoPresetUhd = 9;
constexpr uint8_t VideoPresetCustom = 10;

constexpr uint8_t AudioPresetNone = 0;
constexpr uint8_t AudioPresetOptimal = 1;
constexpr uint8_t AudioPresetAmRadio = 2;
constexpr uint8_t AudioPresetFmRadio = 3;
constexpr uint8_t AudioPresetCd = 4;
constexpr uint8_t AudioPresetBetterThanCd = 5;
constexpr uint8_t AudioPresetCustom = 6;

// The table entry of a preset (a preset out of range gives the custom entry).
const TVideoFormat& VideoPresetFormat(uint8_t Preset);
const TAudioFormat& AudioPresetFormat(uint8_t Preset);
// "Small video", "CD", ... from the text table.
const std::string& VideoPresetName(uint8_t Preset);
const std::string& AudioPresetName(uint8_t Preset);

// The largest picture the optimal format keeps from moving video (either
// way round), and from a project of still pictures alone.
constexpr int32_t OptimalLongSide = 3840, OptimalShortSide = 2160;
constexpr int32_t StillsLongSide = 1920, StillsShortSide = 1080;

// Brings Video's size down, keeping its shape, to fit a LongSide x ShortSide
// box turned the picture's way; a picture that fits stays as it is.
void FitInside(TVideoFormat& Video, int32_t LongSide, int32_t ShortSide);

// Snaps the formats collected from the media to the presets that an output
// format allows (Flag: the Windows Media formats in bit-rate mode, which
// take any audio). A format of preset none stays none.
void SnapOptimalFormat(TMediaOutputFormat Format, bool Flag, TVideoFormat& Video,
                       TAudioFormat& Audio);

// The timeline's optimal format for an output format: the largest formats of
// its media, snapped.
void GetOptimalFormat(const TTimeline& Timeline, TMediaOutputFormat Format, bool Flag,
                      TVideoFormat& Video, TAudioFormat& Audio);
