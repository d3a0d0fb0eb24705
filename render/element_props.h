#pragma once

#include "core/delegate.h"
#include "core/object.h"
#include "core/video_time.h"
#include "render/element_property_value.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TPropertySetter;
class TElementProps;

// Called for keys beginning with "*" before they are stored; Value has no
// keys when the key is being removed.
using TSpecialKeyHandler = TDelegate<void(TElementProps* Sender, std::string_view Key,
                                          const TElementPropertyValue& Value)>;
// Chooses the value class of a key that is new to the list.
using TValueClassHandler = TDelegate<TPropertyValueClass(std::string_view Key)>;

// The values an element's user changed, by property key (keys compare
// without regard to ASCII case), in the order they were first set. The
// description's defaults are not in here: a key that is absent takes the
// default when the element is built.
//
//   Props.SetValue("BorderSoftness", 40);   // a constant
//   Props.SetValue("BorderSoftness", TPropertyVariant()); // removed: the default again
//   Props.Apply(Setter, Start, Duration);
class TElementProps : public TObject {
public:
    TElementProps();
    ~TElementProps() override;
    TElementProps(const TElementProps&) = delete;
    TElementProps& operator=(const TElementProps&) = delete;

    std::string_view ClassName() const override { return "TElementProps"; }

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    const std::string& Key(int32_t Index) const { return FItems[static_cast<size_t>(Index)].first; }
    const TElementPropertyValue& ValueAt(int32_t Index) const {
        return *FItems[static_cast<size_t>(Index)].second;
    }
    int32_t IndexOf(std::string_view Key) const;
    // The value of Key, or none when the key is not set.
    const TElementPropertyValue* Value(std::string_view Key) const;

    // Sets Key to a constant; an empty Value removes the key. A key whose
    // value already is that constant is left alone and nothing fires.
    void SetValue(std::string_view Key, const TPropertyVariant& Value);
    // Sets Key to the keys of Value (the stored object keeps its own class);
    // a Value without keys removes the key.
    void SetValue(std::string_view Key, const TElementPropertyValue& Value);
    void Clear();

    // Copies every key of Source with a copy of its value; "*" keys, also
    // those that disappear, go to the special-key handler. Raises when Source
    // is not a property list.
    void Assign(const TObject& Source);

    // Writes every key, in list order, into Setter for an element at Start
    // lasting Duration; "*" keys are skipped.
    void Apply(TPropertySetter& Setter, TVideoTime Start, TVideoTime Duration) const;

    // Fires OnChange(this) after every change.
    TNotifyHandler OnChange;
    // May be empty.
    TSpecialKeyHandler OnSpecialKey;
    // When empty new keys get plain values.
    TValueClassHandler OnValueClass;

private:
    void Store(std::string_view Key, const TElementPropertyValue& Value);
    void PassSpecialKey(std::string_view Key, const TElementPropertyValue& Value);
    TPropertyValueClass ValueClassFor(std::string_view Key) const;
    void Changed();

    std::vector<std::pair<std::string, std::unique_ptr<TElementPropertyValue>>> FItems;
};
