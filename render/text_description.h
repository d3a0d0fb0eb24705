#pragma once

#include "render/base_description.h"

#include <array>
#include <cstdint>
#include <string>

// The parameters of one title style, as the text source reads them.
struct TTextStyleParameters {
    int32_t StyleCode = 0;
    std::array<uint8_t, 4> P{}; // p1 .. p4
    uint8_t Flags = 0;
    double Factor = 0;
};

// A title style. Its flags: bit 0 a caption line, bits 4 and 5 a moving
// title (both read by the catalogue), bit 6 the colour taken from the main
// font.
class TTextDescription : public TBaseDescription {
public:
    // An empty SampleText takes the display name.
    TTextDescription(int32_t Index, std::string DisplayName, int32_t Category,
                     const TTextStyleParameters& Parameters, std::string SampleText = {});

    std::string_view ClassName() const override { return "TTextDescription"; }

    int32_t StyleCode() const { return FParameters.StyleCode; }
    uint8_t P1() const { return FParameters.P[0]; }
    uint8_t P2() const { return FParameters.P[1]; }
    uint8_t P3() const { return FParameters.P[2]; }
    uint8_t P4() const { return FParameters.P[3]; }
    uint8_t Flags() const { return FParameters.Flags; }
    double Factor() const { return FParameters.Factor; }
    const std::string& SampleText() const { return FSampleText; }

    bool TakesColorFromMainFont() const { return (Flags() & 0x40) != 0; }
    // The style shows a caption line, set in the caption font.
    bool HasCaption() const { return (Flags() & 0x01) != 0; }

private:
    TTextStyleParameters FParameters;
    std::string FSampleText;
};
