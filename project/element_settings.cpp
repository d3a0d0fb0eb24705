#include "project/element_settings.h"

#include "core/data.h"
#include "project/item.h"
#include "project/project_changes.h"
#include "render/element_property.h"
#include "render/element_property_description.h"
#include "render/element_property_value.h"

#include <algorithm>

namespace {

const TElementPropertyDescription& DescriptionOf(const TElementProperty& Property) {
    return Property.Description();
}

std::string KeyOf(const TElementProperty& Property) {
    return QuoteKey(DescriptionOf(Property).Key());
}

const std::string& CaptionOf(const TElementProperty& Property) {
    return DescriptionOf(Property).DisplayName();
}

TPropertyVariant DefaultOf(const TElementProperty& Property) {
    return DescriptionOf(Property).Default().FirstValue();
}

void Signal(TProjectChanges* Changes) {
    if (Changes)
        Changes->Change(ProjectChangeSettings);
}

} // namespace

TIntegerElementSetting::TIntegerElementSetting(TItem* Owner, TElementProperty& Property)
    : TIntegerItemSetting(
          Owner, KeyOf(Property), CaptionOf(Property), VariantToInteger(Property.CurrentValue(), 0),
          DescriptionOf(Property).IntegerMin(), DescriptionOf(Property).IntegerMax(),
          VariantToInteger(DefaultOf(Property), 0)),
      FProperty(Property) {}

void TIntegerElementSetting::Apply() {
    FProperty.SetValue(TPropertyVariant(FValue));
    Signal(Changes());
}

void TIntegerElementSetting::Refresh() {
    const TElementPropertyDescription& Description = DescriptionOf(FProperty);
    int32_t Min = Description.IntegerMin();
    int32_t Max = std::max(Min, Description.IntegerMax());
    SetRange(std::clamp(VariantToInteger(FProperty.CurrentValue(), FValue), Min, Max), Min,
             VariantToInteger(DefaultOf(FProperty), 0), Max);
}

TFloatElementSetting::TFloatElementSetting(TItem* Owner, TElementProperty& Property)
    : TFloatItemSetting(Owner, KeyOf(Property), CaptionOf(Property),
                        VariantToFloat(Property.CurrentValue(), 0),
                        DescriptionOf(Property).FloatMin(), DescriptionOf(Property).FloatMax(),
                        VariantToFloat(DefaultOf(Property), 0)),
      FProperty(Property) {}

void TFloatElementSetting::Apply() {
    FProperty.SetValue(TPropertyVariant(FValue));
    Signal(Changes());
}

void TFloatElementSetting::Refresh() {
    const TElementPropertyDescription& Description = DescriptionOf(FProperty);
    double Min = Description.FloatMin();
    double Max = std::max(Min, Description.FloatMax());
    SetRange(std::clamp(VariantToFloat(FProperty.CurrentValue(), FValue), Min, Max), Min,
             VariantToFloat(DefaultOf(FProperty), 0), Max);
}

TColorElementSetting::TColorElementSetting(TItem* Owner, TElementProperty& Property)
    : TColorItemSetting(Owner, KeyOf(Property), CaptionOf(Property),
                        static_cast<TColor>(VariantToInteger(Property.CurrentValue(), 0))),
      FProperty(Property) {}

void TColorElementSetting::Apply() {
    FProperty.SetValue(TPropertyVariant(static_cast<int32_t>(FValue)));
    Signal(Changes());
}

void TColorElementSetting::Refresh() {
    FValue = static_cast<TColor>(
        VariantToInteger(FProperty.CurrentValue(), static_cast<int32_t>(FValue)));
}

TBoolElementSetting::TBoolElementSetting(TItem* Owner, TElementProperty& Property)
    : TBoolItemSetting(Owner, KeyOf(Property), CaptionOf(Property),
                       VariantToBool(Property.CurrentValue(), false)),
      FProperty(Property) {}

void TBoolElementSetting::Apply() {
    FProperty.SetValue(TPropertyVariant(FValue));
    Signal(Changes());
}

void TBoolElementSetting::Refresh() {
    FValue = VariantToBool(FProperty.CurrentValue(), FValue);
}

TEnumElementSetting::TEnumElementSetting(TItem* Owner, TElementProperty& Property)
    : TEnumItemSetting(Owner, KeyOf(Property), CaptionOf(Property),
                       VariantToInteger(Property.CurrentValue(), 0),
                       DescriptionOf(Property).OptionNames()),
      FProperty(Property) {}

void TEnumElementSetting::Apply() {
    FProperty.SetValue(TPropertyVariant(FValue));
    Signal(Changes());
}

void TEnumElementSetting::Refresh() {
    FValue = VariantToInteger(FProperty.CurrentValue(), FValue);
}
