// The device lists' sources: the machine's devices, then the test devices.

#include "platform/capture/capture_endpoint.h"
#include "platform/capture/test_capture_devices.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

std::vector<TAudioInputPin> AlsaInputPins(const std::string& Url);

namespace {

TCaptureEndpoint TestEndpoint(const char* Name, std::string Url) {
    return {CleanDeviceName(Name), "lavfi", std::move(Url)};
}

} // namespace


std::vector<TCaptureEndpoint> EnumerateVideoInputs(const TCaptureRoots& Roots) {
    std::vector<TCaptureEndpoint> Inputs = EnumerateVideoNodes(Roots);
    if (Roots.WithFireWire)
        for (TCaptureEndpoint& Unit : EnumerateFireWireCamcorders())
            Inputs.push_back(std::move(Unit));
    TTestCaptureDevices& Test = TestCaptureDevices();
    if (Test.Enabled()) {
        if (Test.CameraPlugged())
            Inputs.push_back(TestEndpoint(TestCameraName, "qmtest-camera-1"));
        if (Test.SecondCameraPlugged())
            Inputs.push_back(TestEndpoint(TestCameraName, "qmtest-camera-2"));
        if (Test.DeckPlugged())
            Inputs.push_back(TestEndpoint(DvCamcorderName, "qmtest-deck"));
    }
    return Inputs;
}

std::vector<TCaptureEndpoint> EnumerateAudioInputs(const TCaptureRoots& Roots) {
    std::vector<TCaptureEndpoint> Inputs;
    if (Roots.WithAlsa) {
        Inputs = EnumerateAlsaCaptureDevices();
        for (TCaptureEndpoint& Pcm : EnumerateAlsaHintedCapturePcms())
            Inputs.push_back(std::move(Pcm));
        for (TCaptureEndpoint& Source : EnumeratePulseSources())
            Inputs.push_back(std::move(Source));
    }
    TTestCaptureDevices& Test = TestCaptureDevices();
    if (Test.Enabled() && Test.MicrophonePlugged())
        Inputs.push_back(TestEndpoint(TestMicrophoneName, "qmtest-microphone"));
    return Inputs;
}

std::vector<TAudioInputPin> AudioInputPins(const TCaptureEndpoint& Device) {
    if (Device.InputFormat == "lavfi" && Device.Url == "qmtest-microphone") {
        int On = TestCaptureDevices().EnabledMicrophonePin();
        return {{TestMicrophonePinNames[0], On == 0}, {TestMicrophonePinNames[1], On == 1}};
    }
    if (Device.InputFormat == "alsa")
        return AlsaInputPins(Device.Url);
    return {};
}

std::vector<TCaptureEndpoint> EnumerateCompressors(bool Video) {
    std::vector<TCaptureEndpoint> Encoders;
    void* Iterator = nullptr;
    AVMediaType Wanted = Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    while (const AVCodec* Codec = av_codec_iterate(&Iterator)) {
        if (!av_codec_is_encoder(Codec) || Codec->type != Wanted)
            continue;
        Encoders.push_back({CleanDeviceName(Codec->long_name ? Codec->long_name : Codec->name),
                            "", Codec->name});
    }
    return Encoders;
}
