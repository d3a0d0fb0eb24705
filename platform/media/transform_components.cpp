#include "platform/media/transform_components.h"

#include "platform/media/builtin_components.h"

namespace TransformClassIds {

const TGuid& Wipe() {
    static const TGuid Value = GuidFromText("{FF4420AA-4937-4D4A-A27F-63C4B0AF6A6B}");
    return Value;
}

const TGuid& Slide() {
    static const TGuid Value = GuidFromText("{810E402F-056B-11D2-A484-00C04F8EFB69}");
    return Value;
}

const TGuid& Stretch() {
    static const TGuid Value = GuidFromText("{7658F2A2-0A83-11D2-A484-00C04F8EFB69}");
    return Value;
}

const TGuid& Pixelate() {
    static const TGuid Value = GuidFromText("{4CCEA634-FBE0-11D1-906A-00C04FD9189D}");
    return Value;
}

const TGuid& Emboss() {
    static const TGuid Value = GuidFromText("{F515306D-0156-11D2-81EA-0000F87557DB}");
    return Value;
}

const TGuid& Engrave() {
    static const TGuid Value = GuidFromText("{F515306E-0156-11D2-81EA-0000F87557DB}");
    return Value;
}

const TGuid& BasicImage() {
    static const TGuid Value = GuidFromText("{16B280C8-EE70-11D1-9066-00C04FD9189D}");
    return Value;
}

const TGuid& AlphaRamp() {
    static const TGuid Value = GuidFromText("{506D89AE-909A-44F7-9444-ABD575896E35}");
    return Value;
}

const TGuid& ColourFade() {
    static const TGuid Value = GuidFromText("{7DC190E2-5EC1-4C34-8C20-557802F70FD7}");
    return Value;
}

const TGuid& ColourAdjust() {
    static const TGuid Value = GuidFromText("{3EAEFC96-D6DE-4983-9C12-4FD78FC6BD4C}");
    return Value;
}

const TGuid& Modulation() {
    static const TGuid Value = GuidFromText("{5DA2164A-15E4-410E-AF7E-70A4AED69F43}");
    return Value;
}

const TGuid& ClipVolume() {
    static const TGuid Value = GuidFromText("{5A9C79CA-D283-4114-8BD0-1E6694727052}");
    return Value;
}

} // namespace TransformClassIds

void RegisterTransformComponents(TMediaComponents& Registry) {
    RegisterWipeTransition(Registry);
    RegisterSlideTransition(Registry);
    RegisterStretchTransition(Registry);
    RegisterPixelate(Registry);
    RegisterEmbossEffects(Registry);
    RegisterBasicImageEffect(Registry);
    RegisterAlphaRampEffect(Registry);
    RegisterColourFadeEffect(Registry);
    RegisterColourAdjustEffect(Registry);
    RegisterModulationEffect(Registry);
    RegisterClipVolumeEffect(Registry);
}
