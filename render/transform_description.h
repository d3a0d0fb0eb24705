#pragma once

#include "core/video_time.h"
#include "platform/media/media_guid.h"
#include "render/base_description.h"

#include <memory>
#include <string_view>
#include <vector>

class TElementPropertyDescription;
class TElementProps;
class TPropertySetter;

// A transition or effect: the engine component it is built from (by class
// id) and its parameters in order.
class TTransformDescription : public TBaseDescription {
public:
    TTransformDescription(int32_t Index, std::string DisplayName, int32_t Category,
                          const TGuid& ClassId);
    ~TTransformDescription() override;

    std::string_view ClassName() const override { return "TTransformDescription"; }

    const TGuid& ClassId() const { return FClassId; }

    int32_t PropertyCount() const { return static_cast<int32_t>(FProperties.size()); }
    // 1-based; none when out of range.
    const TElementPropertyDescription* Property(int32_t Position) const;
    // The parameter with Key (compared without regard to case), or none.
    const TElementPropertyDescription* FindProperty(std::string_view Key) const;
    void AddProperty(std::unique_ptr<TElementPropertyDescription> Property);

    // Writes the default of every parameter, in order, into Setter for an
    // element at Start lasting Duration. Keys that Overrides sets are left
    // out: the element's own value takes their place, and a default written
    // beside it would still be in force at the element's first frame.
    void ApplyDefaults(TPropertySetter& Setter, TVideoTime Start, TVideoTime Duration,
                       const TElementProps* Overrides = nullptr) const;

private:
    TGuid FClassId;
    std::vector<std::unique_ptr<TElementPropertyDescription>> FProperties;
};
