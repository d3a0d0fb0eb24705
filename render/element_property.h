#pragma once

#include "core/object.h"
#include "render/property_variant.h"

#include <cstdint>
#include <memory>
#include <vector>

class TElementPropertyDescription;
class TElementPropertyValue;
class TElementProps;
class TPropertyHost;
class TTransformDescription;

// One editable parameter of an element as the item settings see it: its
// description, its current value (the element's own, or the default while
// the element has none) and a setter that goes through the element's
// property list. The element owns its properties and its property list; the
// description lives in the registry or, for a copy bound to a clip effect,
// in the property itself.
class TElementProperty : public TObject {
public:
    // The parameter at Position (1-based) of Description.
    TElementProperty(TElementProps& Props, const TTransformDescription& Description,
                     int32_t Position);
    // A parameter with a description of its own.
    TElementProperty(TElementProps& Props, const TTransformDescription& Description,
                     std::unique_ptr<TElementPropertyDescription> OwnDescription);
    ~TElementProperty() override;
    TElementProperty(const TElementProperty&) = delete;
    TElementProperty& operator=(const TElementProperty&) = delete;

    std::string_view ClassName() const override { return "TElementProperty"; }

    const TElementPropertyDescription& Description() const { return *FDescription; }
    const TTransformDescription& TransformDescription() const { return FTransformDescription; }
    // The position in the transform description; 0 for a description of its own.
    int32_t Position() const { return FPosition; }

    const TElementPropertyValue& Value() const;
    // The value at the element's start: the first key of Value.
    TPropertyVariant CurrentValue() const;
    // An empty Value removes the element's own value, so the default applies.
    void SetValue(const TPropertyVariant& Value);

private:
    TElementProps& FProps;
    const TTransformDescription& FTransformDescription;
    int32_t FPosition;
    std::unique_ptr<TElementPropertyDescription> FOwnDescription;
    const TElementPropertyDescription* FDescription;
};

// The properties an element offers for editing: one for every parameter of
// Description that is editable and has a display name, in order. With a
// ClipEffect, lengths in seconds get copies bound to it, so their maximum
// follows the host clip's duration.
std::vector<std::unique_ptr<TElementProperty>>
MakeElementProperties(TElementProps& Props, const TTransformDescription& Description,
                      const TPropertyHost* ClipEffect = nullptr);
