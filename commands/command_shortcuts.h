#pragma once

#include "core/object.h"

#include <cstdint>
#include <vector>

class TCommand;

// The key shortcuts of one command, in order; the first is the one menus
// show. Values are the 16-bit shortcut values of platform/keys.h, never 0,
// and Add keeps each value once. Changes are reported through the command's
// notifier.
class TCommandShortCuts : public TObject {
public:
    // Defaults, without zeros and repeats, become the first current list.
    TCommandShortCuts(TCommand* Command, const std::vector<uint16_t>& Defaults);

    std::string_view ClassName() const override { return "TCommandShortCuts"; }

    TCommand* Command() const { return FCommand; }
    const std::vector<uint16_t>& Defaults() const { return FDefaults; }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    // The value at Index; 0 (no shortcut) for a position outside the list,
    // so that a list view with nothing selected removes nothing.
    uint16_t Get(int32_t Index) const;
    int32_t IndexOf(uint16_t Value) const;

    // Back to the defaults, silently: callers report the change themselves.
    void Reset();
    // Appends Value unless it is 0 or already present.
    void Add(uint16_t Value);
    // Removes Value when present; later values move down, keeping their order.
    void Remove(uint16_t Value);

private:
    friend class TCommand;
    void Clear() { FItems.clear(); }
    void Append(uint16_t Value) { FItems.push_back(Value); }

    TCommand* FCommand;
    std::vector<uint16_t> FDefaults;
    std::vector<uint16_t> FItems;
};
