#include "core/hash.h"

#include "core/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Distinct addresses to store as values.
int Values[16];

std::vector<std::string> Keys(const THash& Hash) {
    std::vector<std::string> Result;
    for (int32_t I = 0; I < Hash.Count(); ++I)
        Result.push_back(Hash.KeyAt(I));
    return Result;
}

TEST(Hash, KeysMatchRegardlessOfLetterCase) {
    THash Hash;
    Hash.Put("NAME", &Values[0]);
    EXPECT_EQ(Hash.Get("name"), &Values[0]);
    EXPECT_TRUE(Hash.Exists("Name"));
    EXPECT_EQ(Hash.KeyAt(0), "NAME");
}

TEST(Hash, PutOfPresentKeyReplacesItsValueAndKeepsFirstSpelling) {
    THash Hash;
    Hash.Put("Volume", &Values[0]);
    Hash.Put("VOLUME", &Values[1]);
    EXPECT_EQ(Hash.Count(), 1);
    EXPECT_EQ(Hash.Get("volume"), &Values[1]);
    EXPECT_EQ(Hash.KeyAt(0), "Volume");
}

TEST(Hash, AbsentKeyGivesTheDefault) {
    THash WithDefault(&Values[9]);
    EXPECT_EQ(WithDefault.Get("missing"), &Values[9]);
    EXPECT_FALSE(WithDefault.Exists("missing"));
    THash Plain;
    EXPECT_EQ(Plain.Get("missing"), nullptr);
}

TEST(Hash, OnlyAsciiLettersFoldCase) {
    THash Hash;
    Hash.Put("@", &Values[0]);        // 0x40, a case fold of 0x60 would clash
    Hash.Put("[x]", &Values[1]);      // 0x5B vs "{" 0x7B
    Hash.Put("\xC3\xA9", &Values[2]); // UTF-8 small e acute
    EXPECT_EQ(Hash.Get("`"), nullptr);
    EXPECT_EQ(Hash.Get("{X]"), nullptr);
    EXPECT_EQ(Hash.Get("[X]"), &Values[1]);
    EXPECT_EQ(Hash.Get("\xC3\x89"), nullptr); // capital E acute
    EXPECT_EQ(Hash.Count(), 3);
}

TEST(Hash, EmptyKeyIsAKeyLikeAnyOther) {
    THash Hash;
    EXPECT_FALSE(Hash.Exists(""));
    Hash.Put("", &Values[0]);
    EXPECT_EQ(Hash.Get(""), &Values[0]);
    EXPECT_EQ(Hash.Get(" "), nullptr);
}

TEST(Hash, RemoveDropsTheKeyAndKeepsTheOrderOfTheRest) {
    THash Hash(&Values[15]);
    for (int I = 0; I < 5; ++I)
        Hash.Put("Key" + std::to_string(I), &Values[I]);
    Hash.Remove("key2");
    EXPECT_EQ(Hash.Get("Key2"), &Values[15]);
    EXPECT_FALSE(Hash.Exists("Key2"));
    EXPECT_EQ(Keys(Hash), (std::vector<std::string>{"Key0", "Key1", "Key3", "Key4"}));
    for (int I : {0, 1, 3, 4})
        EXPECT_EQ(Hash.Get("KEY" + std::to_string(I)), &Values[I]);
}

TEST(Hash, RemoveOfAbsentKeyChangesNothing) {
    THash Hash;
    Hash.Put("a", &Values[0]);
    Hash.Put("b", &Values[1]);
    Hash.Remove("c");
    EXPECT_EQ(Keys(Hash), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Hash.Get("b"), &Values[1]);
}

TEST(Hash, LookupAfterRemoveDoesNotServeTheDroppedEntry) {
    THash Hash;
    Hash.Put("a", &Values[0]);
    EXPECT_TRUE(Hash.Exists("a"));
    Hash.Remove("A");
    EXPECT_FALSE(Hash.Exists("a"));
    EXPECT_EQ(Hash.Get("a"), nullptr);
    Hash.Put("a", &Values[1]);
    EXPECT_EQ(Hash.Get("a"), &Values[1]);
    EXPECT_EQ(Hash.Count(), 1);
}

TEST(Hash, ThirteenthKeyDoublesTheSlots) {
    THash Hash;
    EXPECT_EQ(Hash.SlotCount(), 16);
    EXPECT_EQ(Hash.Bits(), 4);
    EXPECT_EQ(Hash.Capacity(), 12);
    for (int I = 0; I < 12; ++I)
        Hash.Put("k" + std::to_string(I), &Values[I]);
    EXPECT_EQ(Hash.SlotCount(), 16);
    Hash.Put("k12", &Values[12]);
    EXPECT_EQ(Hash.SlotCount(), 32);
    EXPECT_EQ(Hash.Bits(), 5);
    EXPECT_EQ(Hash.Capacity(), 25);
    for (int I = 0; I < 13; ++I)
        EXPECT_EQ(Hash.Get("K" + std::to_string(I)), &Values[I]) << I;
}

TEST(Hash, ThousandsOfKeysAreAllRetrievableInInsertionOrder) {
    constexpr int N = 5000;
    std::vector<int> Storage(N);
    THash Hash;
    for (int I = 0; I < N; ++I)
        Hash.Put("Track[" + std::to_string(I) + "].Name", &Storage[static_cast<size_t>(I)]);
    ASSERT_EQ(Hash.Count(), N);
    EXPECT_LE(Hash.Count(), Hash.Capacity());
    EXPECT_EQ(Hash.Capacity(), Hash.SlotCount() * 4 / 5) << "load factor stays at most 4/5";
    EXPECT_EQ(Hash.SlotCount(), 1 << Hash.Bits());
    for (int I = 0; I < N; ++I) {
        std::string Key = "TRACK[" + std::to_string(I) + "].NAME";
        ASSERT_EQ(Hash.Get(Key), &Storage[static_cast<size_t>(I)]) << Key;
        ASSERT_EQ(Hash.KeyAt(I), "Track[" + std::to_string(I) + "].Name");
    }
    EXPECT_FALSE(Hash.Exists("Track[5000].Name"));
}

// A long random mix of operations on a small set of keys in varying case,
// checked against a plain model: catches a stale last-key cache, a removal
// that loses other keys and a growth that misplaces them.
TEST(Hash, RandomOperationsAgreeWithAPlainModel) {
    std::mt19937 Random(20240611);
    std::vector<std::string> Names;
    for (int I = 0; I < 40; ++I)
        Names.push_back("key" + std::to_string(I * 7919 % 1000));
    auto RandomCase = [&](std::string Key) {
        for (char& C : Key)
            if (Random() % 2)
                C = UpperAscii(C);
        return Key;
    };
    std::vector<std::pair<std::string, void*>> Model; // insertion order
    auto Find = [&](const std::string& Key) {
        return std::find_if(Model.begin(), Model.end(),
                            [&](const auto& E) { return SameTextAscii(E.first, Key); });
    };

    THash Hash(&Values[15]);
    for (int Step = 0; Step < 20000; ++Step) {
        std::string Key = RandomCase(Names[Random() % Names.size()]);
        void* Value = &Values[Random() % 15];
        switch (Random() % 4) {
        case 0: {
            Hash.Put(Key, Value);
            auto It = Find(Key);
            if (It == Model.end())
                Model.emplace_back(Key, Value);
            else
                It->second = Value;
            break;
        }
        case 1:
            Hash.Remove(Key);
            if (auto It = Find(Key); It != Model.end())
                Model.erase(It);
            break;
        case 2:
            ASSERT_EQ(Hash.Exists(Key), Find(Key) != Model.end()) << "step " << Step;
            break;
        default: {
            auto It = Find(Key);
            ASSERT_EQ(Hash.Get(Key), It == Model.end() ? &Values[15] : It->second)
                << "step " << Step;
        }
        }
        ASSERT_EQ(Hash.Count(), static_cast<int32_t>(Model.size()));
    }
    for (int32_t I = 0; I < Hash.Count(); ++I) {
        EXPECT_EQ(Hash.KeyAt(I), Model[static_cast<size_t>(I)].first);
        EXPECT_EQ(Hash.ValueAt(I), Model[static_cast<size_t>(I)].second);
    }
}

TEST(HashKey, FoldsAsciiLettersOnly) {
    EXPECT_EQ(HashKey("Track[0]"), HashKey("TRACK[0]"));
    EXPECT_EQ(HashKey("volume"), HashKey("VoLuMe"));
}

} // namespace
