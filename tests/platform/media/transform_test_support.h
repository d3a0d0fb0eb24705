#pragma once

// Helpers of the transform tests: small frames, components made through the
// engine's registry as the renderer makes them, and times within a range.

#include "platform/media/media_components.h"
#include "platform/media/media_timeline.h"
#include "platform/media/property_setter.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_frame.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace TransformTest {

constexpr TVideoTime Second = 10000000;
constexpr int32_t Width = 64;
constexpr int32_t Height = 48;

// A component's range in the tests: one second from the timeline's start.
inline TComponentTime At(double Progress, TVideoTime Start = 0, TVideoTime Stop = Second) {
    return {Start + static_cast<TVideoTime>(std::llround(Progress * double(Stop - Start))), Start,
            Stop};
}

inline TVideoFrame Solid(TColor Color, int32_t W = Width, int32_t H = Height) {
    TVideoFrame Frame(W, H);
    Frame.Fill(Color);
    return Frame;
}

// A frame whose pixels tell where they come from: red = column, green = row,
// blue = Tag.
inline TVideoFrame Numbered(uint8_t Tag, int32_t W = Width, int32_t H = Height) {
    TVideoFrame Frame(W, H);
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
            Frame.SetPixel(X, Y, MakeColor(uint8_t(X), uint8_t(Y), Tag));
    return Frame;
}

inline uint8_t Red(TColor C) {
    return uint8_t(C);
}
inline uint8_t Green(TColor C) {
    return uint8_t(C >> 8);
}
inline uint8_t Blue(TColor C) {
    return uint8_t(C >> 16);
}
inline uint8_t Alpha(TColor C) {
    return uint8_t(C >> 24);
}

template <class TNode>
std::unique_ptr<TNode> Node(const TGuid& Id, TPropertySetter Properties, TVideoTime Start = 0,
                            TVideoTime Stop = Second) {
    auto Result = std::make_unique<TNode>();
    Result->SetSubObjectClassId(Id);
    Result->SetStartStop(Start, Stop);
    Result->SetProperties(std::move(Properties));
    return Result;
}

inline std::unique_ptr<TVideoTransitionComponent>
MakeTransition(const TGuid& Id, TPropertySetter Properties, int32_t W = Width, int32_t H = Height) {
    auto Transition = Node<TMediaTransition>(Id, std::move(Properties));
    return MediaComponents().MakeTransition(*Transition, {W, H, 400000});
}

inline std::unique_ptr<TVideoEffectComponent> MakeVideoEffect(const TGuid& Id,
                                                              TPropertySetter Properties,
                                                              int32_t W = Width,
                                                              int32_t H = Height) {
    auto Effect = Node<TMediaEffect>(Id, std::move(Properties));
    return MediaComponents().MakeVideoEffect(*Effect, {W, H, 400000});
}

inline std::unique_ptr<TAudioEffectComponent> MakeAudioEffect(const TGuid& Id,
                                                              TPropertySetter Properties) {
    auto Effect = Node<TMediaEffect>(Id, std::move(Properties));
    return MediaComponents().MakeAudioEffect(*Effect);
}

inline TPropertySetter
Properties(std::initializer_list<std::pair<std::string, std::string>> Values) {
    TPropertySetter Result;
    for (const auto& [Name, Value] : Values)
        Result.SetValue(Name, Value);
    return Result;
}

inline TVideoFrame Combine(TVideoTransitionComponent& Transition, const TComponentTime& When,
                           const TVideoFrame& A, const TVideoFrame& B) {
    TVideoFrame Output;
    Transition.Combine(When, A, B, Output);
    return Output;
}

inline TVideoFrame Applied(TVideoEffectComponent& Effect, const TComponentTime& When,
                           TVideoFrame Frame) {
    Effect.Apply(When, Frame);
    return Frame;
}

inline int32_t CountPixels(const TVideoFrame& Frame, const std::function<bool(TColor)>& Test) {
    int32_t Count = 0;
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        for (int32_t X = 0; X < Frame.Width(); ++X)
            Count += Test(Frame.Pixel(X, Y)) ? 1 : 0;
    return Count;
}

// "0xAARRGGBB" for the colour source.
inline std::string Argb(TColor Color) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%02X%02X%02X%02X", Alpha(Color), Red(Color), Green(Color),
                  Blue(Color));
    return Text;
}

inline TMediaSource* AddColour(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop,
                               TColor Color) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Values;
    Values.SetValue("color", Argb(Color));
    Source->SetProperties(std::move(Values));
    return Track->SrcAdd(std::move(Source));
}

// Interleaved samples of a constant value.
inline std::vector<float> Constant(int32_t Frames, int32_t Channels, float Value) {
    return std::vector<float>(size_t(Frames) * size_t(Channels), Value);
}

} // namespace TransformTest
