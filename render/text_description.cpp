#include "render/text_description.h"

TTextDescription::TTextDescription(int32_t Index, std::string DisplayName, int32_t Category,
                                   const TTextStyleParameters& Parameters, std::string SampleText)
    : TBaseDescription(Index, std::move(DisplayName), Category), FParameters(Parameters),
      FSampleText(SampleText.empty() ? this->DisplayName() : std::move(SampleText)) {}
