#include "render/element_props.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"

TElementProps::TElementProps() = default;
TElementProps::~TElementProps() = default;

int32_t TElementProps::IndexOf(std::string_view Key) const {
    for (size_t I = 0; I < FItems.size(); ++I)
        if (SameTextAscii(FItems[I].first, Key))
            return static_cast<int32_t>(I);
    return -1;
}

const TElementPropertyValue* TElementProps::Value(std::string_view Key) const {
    int32_t Index = IndexOf(Key);
    return Index < 0 ? nullptr : FItems[static_cast<size_t>(Index)].second.get();
}

void TElementProps::SetValue(std::string_view Key, const TPropertyVariant& Value) {
    if (const TElementPropertyValue* Current = this->Value(Key);
        Current && Current->IsConstant(Value))
        return;
    SetValue(Key, TElementPropertyValue(Value));
}

void TElementProps::SetValue(std::string_view Key, const TElementPropertyValue& Value) {
    int32_t Index = IndexOf(Key);
    if (Value.IsEmpty() && Index < 0)
        return;
    if (Index >= 0 && FItems[static_cast<size_t>(Index)].second->SameKeys(Value))
        return;
    PassSpecialKey(Key, Value);
    Store(Key, Value);
    Changed();
}

void TElementProps::Clear() {
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

void TElementProps::Assign(const TObject& Source) {
    const auto* Other = dynamic_cast<const TElementProps*>(&Source);
    if (!Other)
        throw EError(
            FormatMessageText(GetText(TTextSlot::PropertyListAssignError), Source.ClassName()));
    if (Other == this)
        return;
    bool Same = FItems.size() == Other->FItems.size();
    for (size_t I = 0; Same && I < FItems.size(); ++I)
        Same = FItems[I].first == Other->FItems[I].first &&
               FItems[I].second->ValueClass() == Other->FItems[I].second->ValueClass() &&
               FItems[I].second->SameKeys(*Other->FItems[I].second);
    if (Same)
        return;
    const TElementPropertyValue NoValue;
    for (const auto& [Key, Value] : FItems)
        if (StartsWithText(Key, "*") && Other->IndexOf(Key) < 0)
            PassSpecialKey(Key, NoValue);
    std::vector<std::pair<std::string, std::unique_ptr<TElementPropertyValue>>> Copy;
    Copy.reserve(Other->FItems.size());
    for (const auto& [Key, Value] : Other->FItems) {
        PassSpecialKey(Key, *Value);
        Copy.emplace_back(Key, Value->Clone());
    }
    FItems = std::move(Copy);
    Changed();
}

void TElementProps::Apply(TPropertySetter& Setter, TVideoTime Start, TVideoTime Duration) const {
    for (const auto& [Key, Value] : FItems)
        Value->WriteTo(Setter, Key, Start, Duration);
}

void TElementProps::Store(std::string_view Key, const TElementPropertyValue& Value) {
    int32_t Index = IndexOf(Key);
    if (Value.IsEmpty()) {
        if (Index >= 0)
            FItems.erase(FItems.begin() + Index);
        return;
    }
    if (Index >= 0) {
        FItems[static_cast<size_t>(Index)].second->CopyKeys(Value);
        return;
    }
    auto Stored = NewPropertyValue(ValueClassFor(Key));
    Stored->CopyKeys(Value);
    FItems.emplace_back(std::string(Key), std::move(Stored));
}

void TElementProps::PassSpecialKey(std::string_view Key, const TElementPropertyValue& Value) {
    if (OnSpecialKey && StartsWithText(Key, "*"))
        OnSpecialKey(this, Key, Value);
}

TPropertyValueClass TElementProps::ValueClassFor(std::string_view Key) const {
    if (!OnValueClass)
        return TPropertyValueClass::Plain;
    return OnValueClass(Key);
}

void TElementProps::Changed() {
    if (OnChange)
        OnChange(this);
}
