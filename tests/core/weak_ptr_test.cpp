#include "core/weak_ptr.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

class TNode {
public:
    virtual ~TNode() = default;
    const TLifeFlag& LifeFlag() const { return FLife; }
    int32_t Value = 0;
    std::function<void()> OnPoke;
    void Poke() {
        if (OnPoke)
            OnPoke();
    }

private:
    TLifeFlag FLife;
};

class TLeaf : public TNode {};

} // namespace

TEST(WeakPtr, FollowsItsObjectAndIsClearedWhenTheObjectIsDestroyed) {
    auto Node = std::make_unique<TNode>();
    Node->Value = 7;
    TWeakPtr Weak(Node.get());
    ASSERT_TRUE(Weak);
    EXPECT_FALSE(Weak.IsExpired());
    EXPECT_EQ(Weak.Get(), Node.get());
    EXPECT_EQ(Weak->Value, 7);
    Node.reset();
    EXPECT_FALSE(Weak);
    EXPECT_TRUE(Weak.IsExpired());
    EXPECT_EQ(Weak.Get(), nullptr);
}

TEST(WeakPtr, NoticesAHandlerThatDestroysItsOwnObject) {
    auto Node = std::make_unique<TNode>();
    Node->OnPoke = [&] { Node.reset(); };
    TWeakPtr Self(Node.get());
    Self->Poke();
    EXPECT_TRUE(Self.IsExpired());
}

TEST(WeakPtr, EmptyAndNullPointersCountAsExpired) {
    TWeakPtr<TNode> Empty;
    TWeakPtr<TNode> Null(static_cast<TNode*>(nullptr));
    EXPECT_TRUE(Empty.IsExpired());
    EXPECT_TRUE(Null.IsExpired());
    EXPECT_EQ(Null.Get(), nullptr);
    EXPECT_TRUE(Empty == Null);
}

TEST(WeakPtr, ACopiedObjectHasALifeOfItsOwn) {
    auto Original = std::make_unique<TNode>();
    auto Copy = std::make_unique<TNode>(*Original);
    TWeakPtr ToOriginal(Original.get()), ToCopy(Copy.get());
    Original.reset();
    EXPECT_TRUE(ToOriginal.IsExpired());
    ASSERT_FALSE(ToCopy.IsExpired());
    EXPECT_EQ(ToCopy.Get(), Copy.get());
    // Assigning over an object keeps its own life too.
    TNode Other;
    TWeakPtr ToOther(&Other);
    Other = *Copy;
    Copy.reset();
    EXPECT_FALSE(ToOther.IsExpired());
    EXPECT_TRUE(ToCopy.IsExpired());
}

TEST(WeakPtr, APointerToADerivedObjectConvertsAndFollowsTheSameLife) {
    auto Leaf = std::make_unique<TLeaf>();
    TWeakPtr ToLeaf(Leaf.get());
    TWeakPtr<TNode> ToNode = ToLeaf;
    EXPECT_EQ(ToNode.Get(), Leaf.get());
    Leaf.reset();
    EXPECT_TRUE(ToNode.IsExpired());
}

TEST(WeakPtr, ResetForgetsTheObjectWithoutTouchingIt) {
    TNode Node;
    TWeakPtr Weak(&Node);
    std::vector<TWeakPtr<TNode>> Copies(3, Weak);
    Weak.Reset();
    EXPECT_TRUE(Weak.IsExpired());
    for (const auto& Copy : Copies)
        EXPECT_EQ(Copy.Get(), &Node);
}
