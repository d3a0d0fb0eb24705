#include "core/indexes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

class TThing : public TObject {};

std::vector<int32_t> Keys(const TIndexes& Indexes) {
    std::vector<int32_t> Result;
    for (int32_t I = 0; I < Indexes.Count(); ++I)
        Result.push_back(Indexes.KeyAt(I));
    return Result;
}

class IndexesTest : public testing::Test {
protected:
    TThing Things[16];
    TThing Fallback;
};

TEST_F(IndexesTest, PutThenGetReturnsTheObject) {
    TIndexes Indexes(&Fallback);
    Indexes.Put(42, &Things[0]);
    Indexes.Put(-7, &Things[1]);
    EXPECT_EQ(Indexes.Get(42), &Things[0]);
    EXPECT_EQ(Indexes.Get(-7), &Things[1]);
    EXPECT_TRUE(Indexes.Exists(-7));
}

TEST_F(IndexesTest, AbsentKeyGivesTheDefault) {
    TIndexes Indexes(&Fallback);
    EXPECT_EQ(Indexes.Get(0), &Fallback);
    EXPECT_FALSE(Indexes.Exists(0));
    Indexes.Put(1, &Things[0]);
    EXPECT_EQ(Indexes.Get(0), &Fallback);
    TIndexes Plain;
    EXPECT_EQ(Plain.Get(5), nullptr);
}

TEST_F(IndexesTest, ExtremeKeysAreOrdinaryKeys) {
    TIndexes Indexes;
    const int32_t Min = std::numeric_limits<int32_t>::min();
    const int32_t Max = std::numeric_limits<int32_t>::max();
    Indexes.Put(Min, &Things[0]);
    Indexes.Put(Max, &Things[1]);
    Indexes.Put(0, &Things[2]);
    Indexes.Put(-1, &Things[3]);
    EXPECT_EQ(Indexes.Get(Min), &Things[0]);
    EXPECT_EQ(Indexes.Get(Max), &Things[1]);
    EXPECT_EQ(Indexes.Get(0), &Things[2]);
    EXPECT_EQ(Indexes.Get(-1), &Things[3]);
}

TEST_F(IndexesTest, PutOfPresentKeyReplacesTheObject) {
    TIndexes Indexes;
    Indexes.Put(3, &Things[0]);
    Indexes.Put(3, &Things[1]);
    EXPECT_EQ(Indexes.Count(), 1);
    EXPECT_EQ(Indexes.Get(3), &Things[1]);
}

TEST_F(IndexesTest, RemoveKeepsTheOrderOfTheRest) {
    TIndexes Indexes(&Fallback);
    for (int32_t K : {10, 20, 30, 40, 50})
        Indexes.Put(K, &Things[K / 10]);
    Indexes.Remove(30);
    Indexes.Remove(99);
    EXPECT_EQ(Indexes.Get(30), &Fallback);
    EXPECT_EQ(Keys(Indexes), (std::vector<int32_t>{10, 20, 40, 50}));
    for (int32_t K : {10, 20, 40, 50})
        EXPECT_EQ(Indexes.Get(K), &Things[K / 10]);
}

TEST_F(IndexesTest, ThirteenthKeyDoublesTheSlots) {
    TIndexes Indexes;
    EXPECT_EQ(Indexes.SlotCount(), 16);
    for (int32_t K = 0; K < 12; ++K)
        Indexes.Put(K * 1000, &Things[K]);
    EXPECT_EQ(Indexes.SlotCount(), 16);
    Indexes.Put(12000, &Things[12]);
    EXPECT_EQ(Indexes.SlotCount(), 32);
    for (int32_t K = 0; K < 13; ++K)
        EXPECT_EQ(Indexes.Get(K * 1000), &Things[K]);
}

TEST_F(IndexesTest, ThousandsOfKeysAreAllRetrievable) {
    // Consecutive keys, keys that differ only in high bits and negative ones.
    std::vector<int32_t> KeyList;
    for (int32_t I = 0; I < 2000; ++I) {
        KeyList.push_back(I);
        KeyList.push_back((I + 1) << 16 | 5);
        KeyList.push_back(-1 - I * 3);
    }
    std::vector<std::unique_ptr<TThing>> Objects;
    TIndexes Indexes(&Fallback);
    for (int32_t K : KeyList) {
        Objects.push_back(std::make_unique<TThing>());
        Indexes.Put(K, Objects.back().get());
    }
    ASSERT_EQ(Indexes.Count(), static_cast<int32_t>(KeyList.size()));
    EXPECT_EQ(Keys(Indexes), KeyList);
    for (size_t I = 0; I < KeyList.size(); ++I)
        ASSERT_EQ(Indexes.Get(KeyList[I]), Objects[I].get()) << KeyList[I];
    EXPECT_EQ(Indexes.Get(2000), &Fallback);
}

TEST_F(IndexesTest, RandomOperationsAgreeWithAPlainModel) {
    std::mt19937 Random(99);
    std::vector<std::pair<int32_t, TObject*>> Model;
    auto Find = [&](int32_t Key) {
        return std::find_if(Model.begin(), Model.end(),
                            [&](const auto& E) { return E.first == Key; });
    };
    TIndexes Indexes(&Fallback);
    for (int Step = 0; Step < 20000; ++Step) {
        auto Key = static_cast<int32_t>(Random() % 60) - 30;
        TObject* Object = &Things[Random() % 16];
        switch (Random() % 4) {
        case 0:
            Indexes.Put(Key, Object);
            if (auto It = Find(Key); It == Model.end())
                Model.emplace_back(Key, Object);
            else
                It->second = Object;
            break;
        case 1:
            Indexes.Remove(Key);
            if (auto It = Find(Key); It != Model.end())
                Model.erase(It);
            break;
        case 2:
            ASSERT_EQ(Indexes.Exists(Key), Find(Key) != Model.end()) << "step " << Step;
            break;
        default: {
            auto It = Find(Key);
            ASSERT_EQ(Indexes.Get(Key), It == Model.end() ? &Fallback : It->second)
                << "step " << Step;
        }
        }
        ASSERT_EQ(Indexes.Count(), static_cast<int32_t>(Model.size()));
    }
    for (int32_t I = 0; I < Indexes.Count(); ++I) {
        EXPECT_EQ(Indexes.KeyAt(I), Model[static_cast<size_t>(I)].first);
        EXPECT_EQ(Indexes.ObjectAt(I), Model[static_cast<size_t>(I)].second);
    }
}

} // namespace
