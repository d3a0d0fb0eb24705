#pragma once

#include "core/changes.h"

#include <cstdint>

// The change flags every command reports through its registry's notifier.
// The notifier is shared by all commands, so a listener refreshes itself
// from its own command according to the bits it receives.
enum class TCommandChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TCommandChangeFlags> = true;

constexpr TCommandChangeFlags CommandChangeIsOn{0x000000FF};
constexpr TCommandChangeFlags CommandChangeName{0x00000100};
constexpr TCommandChangeFlags CommandChangeCaption{0x00000200};
constexpr TCommandChangeFlags CommandChangeHelpContext{0x00001000};
constexpr TCommandChangeFlags CommandChangeHint{0x00002000};
constexpr TCommandChangeFlags CommandChangeShortCuts{0x00004000};
constexpr TCommandChangeFlags CommandChangeChecked{0x00010000};
constexpr TCommandChangeFlags CommandChangeEnabled{0x00020000};
constexpr TCommandChangeFlags CommandChangeVisible{0x00040000};
constexpr TCommandChangeFlags CommandChangeTarget{0x00100000};
constexpr TCommandChangeFlags CommandChangeLoaded{0x00FFFFFF};
constexpr TCommandChangeFlags CommandChangeRegistry{0xFF000000};

using TCommandChanges = TFlagChanges<TCommandChangeFlags>;
