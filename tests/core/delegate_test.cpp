#include "core/delegate.h"

#include "core/flag_set.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

namespace {

enum class TRedFlags : uint32_t {};
enum class TBlueFlags : uint32_t {};

} // namespace

template <>
inline constexpr bool IsFlagSet<TRedFlags> = true;
template <>
inline constexpr bool IsFlagSet<TBlueFlags> = true;

namespace {

struct TShape {
    int Sides = 3;
    std::string LastName;

    int Grow(int By) { return Sides += By; }
    int Count() const { return Sides; }
    void Rename(const std::string& Name) { LastName = Name; }
    void RedChanged(TObject*, TRedFlags) {}
    void BlueChanged(TObject*, TBlueFlags) {}
};

struct TSquare : TShape {
    TSquare() { Sides = 4; }
};

using TRedHandler = TDelegate<void(TObject*, TRedFlags)>;
using TBlueHandler = TDelegate<void(TObject*, TBlueFlags)>;

// The point of the typed delegate: a handler bound for one family of flags,
// or with other parameters, does not fit where another is expected.
static_assert(std::is_same_v<decltype(MakeDelegate<&TShape::RedChanged>(std::declval<TShape*>())),
                             TRedHandler>);
static_assert(!std::is_convertible_v<TRedHandler, TBlueHandler>);
static_assert(!std::is_assignable_v<TBlueHandler&, TRedHandler>);
static_assert(!std::is_convertible_v<TDelegate<int(int)>, TDelegate<void(int)>>);
static_assert(!std::is_constructible_v<TDelegate<void(int)>, void (*)(void*, int), void*>,
              "only MakeDelegate binds code to a receiver");
static_assert(sizeof(TRedHandler) == 2 * sizeof(void*), "a delegate is two pointers");

TEST(Delegate, CallsTheBoundMemberOnItsReceiverAndReturnsItsResult) {
    TShape Shape;
    TDelegate<int(int)> Grow = MakeDelegate<&TShape::Grow>(&Shape);
    EXPECT_EQ(Grow(2), 5);
    EXPECT_EQ(Grow(1), 6);
    EXPECT_EQ(Shape.Sides, 6);
    EXPECT_EQ(Grow.Receiver(), &Shape);
}

TEST(Delegate, BindsConstMembersAndMembersOfABaseClass) {
    TSquare Square;
    TDelegate<int()> Count = MakeDelegate<&TShape::Count>(&Square);
    EXPECT_EQ(Count(), 4);
    // A base member bound to a derived receiver calls it on that receiver.
    TDelegate<int(int)> Grow = MakeDelegate<&TShape::Grow>(&Square);
    Grow(3);
    EXPECT_EQ(Count(), 7);
}

TEST(Delegate, PassesReferenceArgumentsThrough) {
    TShape Shape;
    auto Rename = MakeDelegate<&TShape::Rename>(&Shape);
    const std::string Name = "triangle";
    Rename(Name);
    EXPECT_EQ(Shape.LastName, "triangle");
}

TEST(Delegate, EmptyUntilBoundAndEqualByMemberAndReceiver) {
    TShape A;
    TShape B;
    TDelegate<int(int)> Empty;
    EXPECT_FALSE(Empty);
    EXPECT_EQ(Empty, TDelegate<int(int)>());
    auto GrowA = MakeDelegate<&TShape::Grow>(&A);
    EXPECT_TRUE(GrowA);
    EXPECT_NE(GrowA, Empty);
    EXPECT_EQ(GrowA, MakeDelegate<&TShape::Grow>(&A));
    EXPECT_NE(GrowA, MakeDelegate<&TShape::Grow>(&B));
}

TEST(FlagSet, BitOperatorsCombineAndTestFlags) {
    constexpr TRedFlags Low{0x0F};
    constexpr TRedFlags High{0xF0};
    static_assert(ToBits(Low | High) == 0xFF);
    static_assert(ToBits(Low & TRedFlags{0x3C}) == 0x0C);
    static_assert(ToBits(~Low) == 0xFFFFFFF0);
    static_assert(Any(Low) && !Any(TRedFlags{}));
    static_assert(HasAny(Low | High, TRedFlags{0x10}) && !HasAny(Low, High));

    TRedFlags Flags{};
    Flags |= Low;
    Flags |= TRedFlags{0x100};
    EXPECT_EQ(ToBits(Flags), 0x10Fu);
    Flags &= ~Low;
    EXPECT_EQ(ToBits(Flags), 0x100u);
    EXPECT_EQ(Flags, TRedFlags{0x100});
}

// Flags of different families do not mix: no operator takes one of each.
template <class A, class B>
concept CCanCombine = requires(A X, B Y) {
    X | Y;
};
static_assert(CCanCombine<TRedFlags, TRedFlags>);
static_assert(!CCanCombine<TRedFlags, TBlueFlags>);
static_assert(!CCanCombine<TRedFlags, uint32_t>);

} // namespace
