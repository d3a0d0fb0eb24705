#include "render/transform_description.h"

#include "core/text.h"
#include "render/element_property_description.h"
#include "render/element_props.h"

#include <cassert>

TTransformDescription::TTransformDescription(int32_t Index, std::string DisplayName,
                                             int32_t Category, const TGuid& ClassId)
    : TBaseDescription(Index, std::move(DisplayName), Category), FClassId(ClassId) {}

TTransformDescription::~TTransformDescription() = default;

const TElementPropertyDescription* TTransformDescription::Property(int32_t Position) const {
    if (Position < 1 || Position > PropertyCount())
        return nullptr;
    return FProperties[static_cast<size_t>(Position - 1)].get();
}

const TElementPropertyDescription* TTransformDescription::FindProperty(std::string_view Key) const {
    for (const auto& Property : FProperties)
        if (SameTextAscii(Property->Key(), Key))
            return Property.get();
    return nullptr;
}

void TTransformDescription::AddProperty(std::unique_ptr<TElementPropertyDescription> Property) {
    assert(Property && "a transform description holds property descriptions, not nothing");
    FProperties.push_back(std::move(Property));
}

void TTransformDescription::ApplyDefaults(TPropertySetter& Setter, TVideoTime Start,
                                          TVideoTime Duration,
                                          const TElementProps* Overrides) const {
    for (const auto& Property : FProperties)
        if (!Overrides || !Overrides->Value(Property->Key()))
            Property->Default().WriteTo(Setter, Property->Key(), Start, Duration);
}
