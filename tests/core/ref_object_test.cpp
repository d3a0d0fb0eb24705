#include "core/ref_object.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// A shared item that reports its destruction.
class TSharedItem : public TRefObject {
public:
    explicit TSharedItem(bool& Destroyed) : FDestroyed(Destroyed) {}
    std::string_view ClassName() const override { return "TSharedItem"; }

protected:
    ~TSharedItem() override { FDestroyed = true; }

private:
    bool& FDestroyed;
};

TEST(RefObject, NewObjectHasNoExtraHolders) {
    bool Destroyed = false;
    auto* Item = new TSharedItem(Destroyed);
    EXPECT_EQ(Item->RefCount(), 0);
    Item->Free();
    EXPECT_TRUE(Destroyed);
}

TEST(RefObject, FreeOfAReferencedObjectIsRefusedAndLeavesItAlive) {
    bool Destroyed = false;
    auto* Item = new TSharedItem(Destroyed);
    Item->AddRef();
    try {
        Item->Free();
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Can not destroy referenced (1) object of TSharedItem.");
    }
    EXPECT_FALSE(Destroyed);
    EXPECT_EQ(Item->RefCount(), 1);
    Item->Release();
    EXPECT_TRUE(Destroyed);
}

TEST(RefObject, RefusalNamesTheNumberOfHolders) {
    bool Destroyed = false;
    auto* Item = new TSharedItem(Destroyed);
    Item->AddRef();
    Item->AddRef();
    Item->AddRef();
    try {
        Item->Free();
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Can not destroy referenced (3) object of TSharedItem.");
    }
    Item->Release();
    Item->Release();
    EXPECT_FALSE(Destroyed);
    Item->Release();
    EXPECT_TRUE(Destroyed);
}

TEST(RefObject, LastReleaseDestroys) {
    bool Destroyed = false;
    auto* Item = new TSharedItem(Destroyed);
    Item->AddRef();
    Item->AddRef();
    Item->Release();
    EXPECT_FALSE(Destroyed);
    EXPECT_EQ(Item->RefCount(), 1);
    Item->Release();
    EXPECT_TRUE(Destroyed);
}

TEST(RefPtr, HoldersShareAndTheLastOneDestroys) {
    bool Destroyed = false;
    auto* Item = new TSharedItem(Destroyed);
    {
        TRefPtr<TSharedItem> First(Item);
        EXPECT_EQ(Item->RefCount(), 1);
        {
            TRefPtr<TSharedItem> Second = First;
            EXPECT_EQ(Item->RefCount(), 2);
            EXPECT_EQ(Second.Get(), Item);
        }
        EXPECT_EQ(Item->RefCount(), 1);
        EXPECT_FALSE(Destroyed);
        EXPECT_THROW(Item->Free(), EError) << "a holder still has it";
    }
    EXPECT_TRUE(Destroyed);
}

TEST(RefPtr, MovingPassesTheReferenceOn) {
    bool Destroyed = false;
    TRefPtr<TSharedItem> First(new TSharedItem(Destroyed));
    TRefPtr<TSharedItem> Second(std::move(First));
    EXPECT_FALSE(First);
    ASSERT_TRUE(Second);
    EXPECT_EQ(Second->RefCount(), 1);
    Second.Reset();
    EXPECT_TRUE(Destroyed);
    EXPECT_FALSE(Second);
}

TEST(RefPtr, AssignmentReleasesTheOldObject) {
    bool DestroyedA = false, DestroyedB = false;
    TRefPtr<TSharedItem> Holder(new TSharedItem(DestroyedA));
    TRefPtr<TSharedItem> Other(new TSharedItem(DestroyedB));
    Holder = Other;
    EXPECT_TRUE(DestroyedA);
    EXPECT_EQ(Other->RefCount(), 2);
    Holder = Holder;
    EXPECT_EQ(Other->RefCount(), 2) << "self-assignment keeps the count";
    Other = TRefPtr<TSharedItem>();
    EXPECT_FALSE(DestroyedB);
    Holder.Reset();
    EXPECT_TRUE(DestroyedB);
}

} // namespace
