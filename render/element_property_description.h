#pragma once

#include "core/object.h"
#include "core/video_time.h"
#include "render/element_property_value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The kinds of element parameters; the numbers are stored.
enum class TPropertyType : uint8_t {
    Text = 1,
    Integer = 2,
    Float = 3,
    Color = 4,
    Boolean = 5,
    Enumeration = 6,
};

// Whether the user may change a parameter, or its value is fixed by the
// description.
enum class TPropertyAccess : uint8_t { Fixed = 0, Editable = 1 };

// What a float parameter measures. A length in seconds is limited by the
// host's duration when its description is bound to a clip effect.
enum class TFloatUnit : uint8_t { Plain, Seconds };

// The clip effect a bound parameter description follows: the clip effect
// element implements it and outlives the descriptions bound to it.
class TPropertyHost {
public:
    virtual ~TPropertyHost() = default;
    virtual TVideoTime HostDuration() const = 0;
};

// One parameter of a transition or effect: the key sent to the engine as the
// property name (a key beginning with "*" is internal and never sent), its
// default value, whether the user may edit it, and its range by type.
//
//   auto Softness = TElementPropertyDescription::NewInteger(
//       GetText(TTextSlot::PropertyNameBorderSoftness), "BorderSoftness", 0, 100,
//       TPropertyAccess::Editable, 25, TPropertyValueClass::Softness);
class TElementPropertyDescription : public TObject {
public:
    // DisplayName may be empty: such a parameter is never shown.
    TElementPropertyDescription(std::string DisplayName, std::string Key, TPropertyType Type,
                                TPropertyAccess Access,
                                std::unique_ptr<TElementPropertyValue> Default);
    ~TElementPropertyDescription() override;
    TElementPropertyDescription(const TElementPropertyDescription&) = delete;
    TElementPropertyDescription& operator=(const TElementPropertyDescription&) = delete;

    std::string_view ClassName() const override { return "TElementPropertyDescription"; }

    // Constant defaults of each type.
    static std::unique_ptr<TElementPropertyDescription>
    NewText(std::string DisplayName, std::string Key, TPropertyAccess Access, std::string Default);
    static std::unique_ptr<TElementPropertyDescription>
    NewInteger(std::string DisplayName, std::string Key, int32_t Min, int32_t Max,
               TPropertyAccess Access, int32_t Default,
               TPropertyValueClass Class = TPropertyValueClass::Plain);
    // A float default; Default may be a keyed value instead of a constant.
    static std::unique_ptr<TElementPropertyDescription>
    NewFloat(std::string DisplayName, std::string Key, double Min, double Max, int32_t Steps,
             TPropertyAccess Access, std::unique_ptr<TElementPropertyValue> Default,
             TFloatUnit Unit = TFloatUnit::Plain);
    static std::unique_ptr<TElementPropertyDescription>
    NewColor(std::string DisplayName, std::string Key, TPropertyAccess Access, int32_t Default);
    static std::unique_ptr<TElementPropertyDescription>
    NewBoolean(std::string DisplayName, std::string Key, TPropertyAccess Access, bool Default);
    // Option n has the value n.
    static std::unique_ptr<TElementPropertyDescription>
    NewEnumeration(std::string DisplayName, std::string Key, std::vector<std::string> Options,
                   TPropertyAccess Access, int32_t Default);

    // A copy; bound to ClipEffect when one is given.
    std::unique_ptr<TElementPropertyDescription>
    Copy(const TPropertyHost* ClipEffect = nullptr) const;

    const std::string& DisplayName() const { return FDisplayName; }
    const std::string& Key() const { return FKey; }
    // Keys beginning with "*" are the element's own business, not the engine's.
    bool IsInternal() const;
    const TElementPropertyValue& Default() const { return *FDefault; }
    bool Editable() const { return FAccess == TPropertyAccess::Editable; }
    // Editable and named: the element offers it to the user.
    bool IsOffered() const { return Editable() && !FDisplayName.empty(); }
    TPropertyType Type() const { return FType; }

    int32_t IntegerMin() const { return FIntegerMin; }
    int32_t IntegerMax() const { return FIntegerMax; }
    double FloatMin() const { return FFloatMin; }
    // For a length in seconds bound to a clip effect: never more than the
    // host's duration, and never below FloatMin.
    double FloatMax() const;
    int32_t StepCount() const { return FStepCount; }
    TFloatUnit FloatUnit() const { return FFloatUnit; }
    const std::vector<std::string>& OptionNames() const { return FOptionNames; }
    const TPropertyHost* ClipEffect() const { return FClipEffect; }

private:
    std::string FDisplayName;
    std::string FKey;
    std::unique_ptr<TElementPropertyValue> FDefault;
    TPropertyAccess FAccess;
    TPropertyType FType;
    int32_t FIntegerMin = 0;
    int32_t FIntegerMax = 0;
    double FFloatMin = 0;
    double FFloatMax = 0;
    int32_t FStepCount = 0;
    TFloatUnit FFloatUnit = TFloatUnit::Plain;
    std::vector<std::string> FOptionNames;
    const TPropertyHost* FClipEffect = nullptr; // not owned
};
