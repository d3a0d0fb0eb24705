#include "platform/media/property_setter.h"

#include "core/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

bool TPropertySetter::TLess::operator()(std::string_view A, std::string_view B) const {
    return CompareTextAscii(A, B) < 0;
}

void TPropertySetter::AddValue(std::string_view Name, TVideoTime Time, std::string_view Value,
                               TKeyBlend Blend) {
    auto It = FProperties.find(Name);
    if (It == FProperties.end())
        It = FProperties.emplace(std::string(Name), std::vector<TKeyValue>()).first;
    auto& Keys = It->second;
    auto At = std::upper_bound(Keys.begin(), Keys.end(), Time,
                               [](TVideoTime T, const TKeyValue& K) { return T < K.Time; });
    Keys.insert(At, TKeyValue{Time, std::string(Value), Blend});
}

bool TPropertySetter::Has(std::string_view Name) const {
    return FProperties.find(Name) != FProperties.end();
}

const std::vector<TKeyValue>* TPropertySetter::Keys(std::string_view Name) const {
    auto It = FProperties.find(Name);
    return It == FProperties.end() ? nullptr : &It->second;
}

std::string TPropertySetter::TextAt(std::string_view Name, TVideoTime Time,
                                    std::string_view Default) const {
    const auto* Keys = this->Keys(Name);
    if (!Keys || Keys->empty())
        return std::string(Default);
    const TKeyValue* Current = &Keys->front();
    for (const TKeyValue& Key : *Keys)
        if (Key.Time <= Time)
            Current = &Key;
    return Current->Value;
}

std::vector<std::string> TPropertySetter::Names() const {
    std::vector<std::string> Result;
    for (const auto& [Name, Keys] : FProperties)
        Result.push_back(Name);
    return Result;
}

bool ParsePropertyNumber(std::string_view Text, double& Value) {
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
        Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t'))
        Text.remove_suffix(1);
    bool Negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        Negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    if (Text.empty())
        return false;
    std::string_view Hex;
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X'))
        Hex = Text.substr(2);
    else if (Text.size() > 1 && Text[0] == '$')
        Hex = Text.substr(1);
    if (!Hex.empty()) {
        uint64_t Bits = 0;
        auto [End, Error] = std::from_chars(Hex.data(), Hex.data() + Hex.size(), Bits, 16);
        if (Error != std::errc() || End != Hex.data() + Hex.size())
            return false;
        Value = Negative ? -double(Bits) : double(Bits);
        return true;
    }
    double Parsed = 0;
    auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Parsed);
    if (Error != std::errc() || End != Text.data() + Text.size() || !std::isfinite(Parsed))
        return false;
    Value = Negative ? -Parsed : Parsed;
    return true;
}

double PropertyNumber(const TPropertySetter& Setter, std::string_view Name, double Default) {
    double Value = 0;
    const auto* Keys = Setter.Keys(Name);
    if (!Keys || Keys->empty() || !ParsePropertyNumber(Keys->front().Value, Value))
        return Default;
    return Value;
}

TNumericKeys::TNumericKeys(const TPropertySetter& Setter, std::string_view Name, double Default)
    : FDefault(Default) {
    if (const auto* Keys = Setter.Keys(Name))
        for (const TKeyValue& Key : *Keys) {
            double Value = 0;
            if (ParsePropertyNumber(Key.Value, Value))
                FKeys.push_back({Key.Time, Value, Key.Blend});
        }
}

double TNumericKeys::At(TVideoTime Time) const {
    if (FKeys.empty())
        return FDefault;
    if (Time <= FKeys.front().Time)
        return FKeys.front().Value;
    // The first key after Time decides how its value is reached.
    auto Next = std::upper_bound(FKeys.begin(), FKeys.end(), Time,
                                 [](TVideoTime T, const TKey& K) { return T < K.Time; });
    if (Next == FKeys.end())
        return FKeys.back().Value;
    const TKey& Previous = *(Next - 1);
    if (Next->Blend == TKeyBlend::Jump || Next->Time == Previous.Time)
        return Previous.Value;
    double Fraction = double(Time - Previous.Time) / double(Next->Time - Previous.Time);
    return Previous.Value + (Next->Value - Previous.Value) * Fraction;
}
