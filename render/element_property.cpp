#include "render/element_property.h"

#include "render/element_property_description.h"
#include "render/element_props.h"
#include "render/transform_description.h"

#include <cassert>

TElementProperty::TElementProperty(TElementProps& Props, const TTransformDescription& Description,
                                   int32_t Position)
    : FProps(Props), FTransformDescription(Description), FPosition(Position),
      FDescription(Description.Property(Position)) {
    assert(FDescription && "an element property names a parameter of its description");
}

TElementProperty::TElementProperty(TElementProps& Props, const TTransformDescription& Description,
                                   std::unique_ptr<TElementPropertyDescription> OwnDescription)
    : FProps(Props), FTransformDescription(Description), FPosition(0),
      FOwnDescription(std::move(OwnDescription)), FDescription(FOwnDescription.get()) {
    assert(FDescription && "an element property needs a description");
}

TElementProperty::~TElementProperty() = default;

const TElementPropertyValue& TElementProperty::Value() const {
    const TElementPropertyValue* Own = FProps.Value(FDescription->Key());
    return Own ? *Own : FDescription->Default();
}

TPropertyVariant TElementProperty::CurrentValue() const {
    return Value().FirstValue();
}

void TElementProperty::SetValue(const TPropertyVariant& Value) {
    FProps.SetValue(FDescription->Key(), Value);
}

std::vector<std::unique_ptr<TElementProperty>>
MakeElementProperties(TElementProps& Props, const TTransformDescription& Description,
                      const TPropertyHost* ClipEffect) {
    std::vector<std::unique_ptr<TElementProperty>> Result;
    for (int32_t Position = 1; Position <= Description.PropertyCount(); ++Position) {
        const TElementPropertyDescription& Property = *Description.Property(Position);
        if (!Property.IsOffered())
            continue;
        if (ClipEffect && Property.Type() == TPropertyType::Float &&
            Property.FloatUnit() == TFloatUnit::Seconds)
            Result.push_back(
                std::make_unique<TElementProperty>(Props, Description, Property.Copy(ClipEffect)));
        else
            Result.push_back(std::make_unique<TElementProperty>(Props, Description, Position));
    }
    return Result;
}
