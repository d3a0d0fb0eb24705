#pragma once

#include <cstdint>
#include <type_traits>

// Sets of change flags as distinct types: each notifier family declares an
// enum class over 32 bits, names its flags as constants of that type and
// switches on the bit operators below, so that a flag of one family cannot
// be handed to another family's notifier or handler.
//
//   enum class TProjectChangeFlags : uint32_t {};
//   template <> inline constexpr bool IsFlagSet<TProjectChangeFlags> = true;
//   constexpr TProjectChangeFlags ProjectChangeSelection{0x00000001};
//   ...
//   if (Any(Flags & ProjectChangeSelection)) ...
template <class E>
inline constexpr bool IsFlagSet = false;

template <class E>
concept CFlagSet = std::is_enum_v<E> && IsFlagSet<E>;

template <CFlagSet E>
constexpr std::underlying_type_t<E> ToBits(E Flags) {
    return static_cast<std::underlying_type_t<E>>(Flags);
}

template <CFlagSet E>
constexpr E operator|(E A, E B) {
    return E(ToBits(A) | ToBits(B));
}
template <CFlagSet E>
constexpr E operator&(E A, E B) {
    return E(ToBits(A) & ToBits(B));
}
template <CFlagSet E>
constexpr E operator~(E A) {
    return E(~ToBits(A));
}
template <CFlagSet E>
constexpr E& operator|=(E& A, E B) {
    return A = A | B;
}
template <CFlagSet E>
constexpr E& operator&=(E& A, E B) {
    return A = A & B;
}

// Whether any flag is set.
template <CFlagSet E>
constexpr bool Any(E Flags) {
    return ToBits(Flags) != 0;
}
// Whether Flags and Wanted share a flag.
template <CFlagSet E>
constexpr bool HasAny(E Flags, E Wanted) {
    return Any(Flags & Wanted);
}
