#include "render/element_property_description.h"

#include "core/text.h"

#include <algorithm>
#include <cassert>

TElementPropertyDescription::TElementPropertyDescription(
    std::string DisplayName, std::string Key, TPropertyType Type, TPropertyAccess Access,
    std::unique_ptr<TElementPropertyValue> Default)
    : FDisplayName(std::move(DisplayName)), FKey(std::move(Key)), FDefault(std::move(Default)),
      FAccess(Access), FType(Type) {
    assert(FDefault && "a property description needs a default value object");
}

TElementPropertyDescription::~TElementPropertyDescription() = default;

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::NewText(std::string DisplayName, std::string Key,
                                     TPropertyAccess Access, std::string Default) {
    return std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Text, Access,
        std::make_unique<TElementPropertyValue>(TPropertyVariant(std::move(Default))));
}

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::NewInteger(std::string DisplayName, std::string Key, int32_t Min,
                                        int32_t Max, TPropertyAccess Access, int32_t Default,
                                        TPropertyValueClass Class) {
    auto Value = NewPropertyValue(Class);
    Value->SetConstant(Default);
    auto Result = std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Integer, Access, std::move(Value));
    Result->FIntegerMin = Min;
    Result->FIntegerMax = Max;
    return Result;
}

std::unique_ptr<TElementPropertyDescription> TElementPropertyDescription::NewFloat(
    std::string DisplayName, std::string Key, double Min, double Max, int32_t Steps,
    TPropertyAccess Access, std::unique_ptr<TElementPropertyValue> Default, TFloatUnit Unit) {
    auto Result = std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Float, Access, std::move(Default));
    Result->FFloatMin = Min;
    Result->FFloatMax = Max;
    Result->FStepCount = Steps;
    Result->FFloatUnit = Unit;
    return Result;
}

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::NewColor(std::string DisplayName, std::string Key,
                                      TPropertyAccess Access, int32_t Default) {
    return std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Color, Access,
        std::make_unique<TElementPropertyValue>(TPropertyVariant(Default)));
}

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::NewBoolean(std::string DisplayName, std::string Key,
                                        TPropertyAccess Access, bool Default) {
    return std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Boolean, Access,
        std::make_unique<TElementPropertyValue>(TPropertyVariant(Default)));
}

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::NewEnumeration(std::string DisplayName, std::string Key,
                                            std::vector<std::string> Options,
                                            TPropertyAccess Access, int32_t Default) {
    auto Result = std::make_unique<TElementPropertyDescription>(
        std::move(DisplayName), std::move(Key), TPropertyType::Enumeration, Access,
        std::make_unique<TElementPropertyValue>(TPropertyVariant(Default)));
    Result->FIntegerMin = 0;
    Result->FIntegerMax = std::max<int32_t>(0, static_cast<int32_t>(Options.size()) - 1);
    Result->FOptionNames = std::move(Options);
    return Result;
}

std::unique_ptr<TElementPropertyDescription>
TElementPropertyDescription::Copy(const TPropertyHost* ClipEffect) const {
    auto Result = std::make_unique<TElementPropertyDescription>(FDisplayName, FKey, FType, FAccess,
                                                                FDefault->Clone());
    Result->FIntegerMin = FIntegerMin;
    Result->FIntegerMax = FIntegerMax;
    Result->FFloatMin = FFloatMin;
    Result->FFloatMax = FFloatMax;
    Result->FStepCount = FStepCount;
    Result->FFloatUnit = FFloatUnit;
    Result->FOptionNames = FOptionNames;
    Result->FClipEffect = ClipEffect;
    return Result;
}

bool TElementPropertyDescription::IsInternal() const {
    return StartsWithText(FKey, "*");
}

double TElementPropertyDescription::FloatMax() const {
    // Only lengths follow the host: capping a transparency of 0..1 at a
    // clip's length in seconds would cut its range on every short clip.
    if (!FClipEffect || FFloatUnit != TFloatUnit::Seconds)
        return FFloatMax;
    double HostSeconds = VideoTimeToSeconds(FClipEffect->HostDuration());
    return std::max(FFloatMin, std::min(FFloatMax, HostSeconds));
}
