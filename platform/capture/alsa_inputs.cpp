// ALSA capture devices and their input pins.

#include "platform/capture/capture_endpoint.h"

#include <alsa/asoundlib.h>

#include <memory>

namespace {

struct TCtlCloser {
    void operator()(snd_ctl_t* Ctl) const { snd_ctl_close(Ctl); }
};
struct TMixerCloser {
    void operator()(snd_mixer_t* Mixer) const { snd_mixer_close(Mixer); }
};
using TCtlPtr = std::unique_ptr<snd_ctl_t, TCtlCloser>;
using TMixerPtr = std::unique_ptr<snd_mixer_t, TMixerCloser>;

// "hw:CARD=PCH,DEV=0" gives "PCH".
std::string CardIdOf(const std::string& Url) {
    size_t Begin = Url.find("CARD=");
    if (Begin == std::string::npos)
        return {};
    Begin += 5;
    size_t End = Url.find(',', Begin);
    return Url.substr(Begin, End == std::string::npos ? std::string::npos : End - Begin);
}

// Card ids are letters, digits and "_": anything else is not put into a
// device string.
bool IsCardId(const std::string& Id) {
    if (Id.empty() || Id.size() > 32)
        return false;
    for (char C : Id)
        if (!((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') ||
              C == '_' || C == '-'))
            return false;
    return true;
}

} // namespace

std::vector<TCaptureEndpoint> EnumerateAlsaCaptureDevices() {
    std::vector<TCaptureEndpoint> Devices;
    int Card = -1;
    while (snd_card_next(&Card) == 0 && Card >= 0) {
        snd_ctl_t* RawCtl = nullptr;
        // The control interface only: a PCM another program records from
        // is never opened here.
        if (snd_ctl_open(&RawCtl, ("hw:" + std::to_string(Card)).c_str(), 0) < 0)
            continue;
        TCtlPtr Ctl(RawCtl);
        snd_ctl_card_info_t* CardInfo;
        snd_ctl_card_info_alloca(&CardInfo);
        if (snd_ctl_card_info(Ctl.get(), CardInfo) < 0)
            continue;
        std::string CardId = snd_ctl_card_info_get_id(CardInfo);
        if (!IsCardId(CardId))
            continue;
        std::string CardName = snd_ctl_card_info_get_name(CardInfo);
        snd_pcm_info_t* PcmInfo;
        snd_pcm_info_alloca(&PcmInfo);
        int Device = -1;
        while (snd_ctl_pcm_next_device(Ctl.get(), &Device) == 0 && Device >= 0) {
            snd_pcm_info_set_device(PcmInfo, static_cast<unsigned>(Device));
            snd_pcm_info_set_subdevice(PcmInfo, 0);
            snd_pcm_info_set_stream(PcmInfo, SND_PCM_STREAM_CAPTURE);
            if (snd_ctl_pcm_info(Ctl.get(), PcmInfo) < 0)
                continue; // no capture direction on this device
            TCaptureEndpoint Input;
            Input.FriendlyName =
                CleanDeviceName(CardName + ": " + snd_pcm_info_get_name(PcmInfo));
            Input.InputFormat = "alsa";
            Input.Url = "hw:CARD=" + CardId + ",DEV=" + std::to_string(Device);
            Devices.push_back(std::move(Input));
        }
    }
    return Devices;
}

std::vector<TCaptureEndpoint> EnumerateAlsaHintedCapturePcms() {
    std::vector<TCaptureEndpoint> Pcms;
    void** Hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &Hints) < 0 || !Hints)
        return Pcms;
    auto Take = [](char* Text) {
        std::string Value = Text ? Text : "";
        free(Text);
        return Value;
    };
    for (void** Hint = Hints; *Hint; ++Hint) {
        std::string Name = Take(snd_device_name_get_hint(*Hint, "NAME"));
        std::string Description = Take(snd_device_name_get_hint(*Hint, "DESC"));
        std::string Direction = Take(snd_device_name_get_hint(*Hint, "IOID"));
        // Per-card variants ("front:CARD=...", "sysdefault:...") repeat the
        // cards listed above; "null" records nothing.
        if (Name.empty() || Direction == "Output" || Name.find(':') != std::string::npos ||
            Name == "null")
            continue;
        std::string FirstLine = Description.substr(0, Description.find('\n'));
        TCaptureEndpoint Input;
        Input.FriendlyName = CleanDeviceName(FirstLine.empty() ? Name : FirstLine);
        Input.InputFormat = "alsa";
        Input.Url = Name;
        Pcms.push_back(std::move(Input));
    }
    snd_device_name_free_hint(Hints);
    return Pcms;
}

std::vector<TAudioInputPin> AlsaInputPins(const std::string& Url) {
    std::vector<TAudioInputPin> Pins;
    std::string CardId = CardIdOf(Url);
    if (!IsCardId(CardId))
        return Pins;
    snd_mixer_t* RawMixer = nullptr;
    if (snd_mixer_open(&RawMixer, 0) < 0)
        return Pins;
    TMixerPtr Mixer(RawMixer);
    std::string Card = "hw:CARD=" + CardId;
    if (snd_mixer_attach(Mixer.get(), Card.c_str()) < 0 ||
        snd_mixer_selem_register(Mixer.get(), nullptr, nullptr) < 0 ||
        snd_mixer_load(Mixer.get()) < 0)
        return Pins;
    for (snd_mixer_elem_t* Element = snd_mixer_first_elem(Mixer.get()); Element;
         Element = snd_mixer_elem_next(Element)) {
        if (!snd_mixer_selem_is_active(Element))
            continue;
        std::string Name = CleanDeviceName(snd_mixer_selem_get_name(Element));
        if (snd_mixer_selem_is_enum_capture(Element)) {
            // A capture source selector: each item is one input, the
            // selected one is on.
            unsigned Current = 0;
            snd_mixer_selem_get_enum_item(Element, SND_MIXER_SCHN_FRONT_LEFT, &Current);
            int Count = snd_mixer_selem_get_enum_items(Element);
            for (int Item = 0; Item < Count && Item < 64; ++Item) {
                char Text[64] = {};
                if (snd_mixer_selem_get_enum_item_name(Element, unsigned(Item), sizeof Text - 1,
                                                       Text) < 0)
                    continue;
                Pins.push_back({CleanDeviceName(Text), unsigned(Item) == Current});
            }
        } else if (snd_mixer_selem_has_capture_switch(Element)) {
            int On = 0;
            snd_mixer_selem_get_capture_switch(Element, SND_MIXER_SCHN_FRONT_LEFT, &On);
            Pins.push_back({Name, On != 0});
        }
    }
    return Pins;
}
