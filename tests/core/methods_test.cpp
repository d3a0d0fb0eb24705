#include "core/methods.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void CodeA() {}
void CodeB() {}

int ReceiverX = 0;
int ReceiverY = 0;

const TMethod AX{&CodeA, &ReceiverX};
const TMethod AY{&CodeA, &ReceiverY};
const TMethod BX{&CodeB, &ReceiverX};
const TMethod BY{&CodeB, &ReceiverY};

std::vector<TMethod> Entries(const TMethods& List) {
    std::vector<TMethod> Result;
    for (int32_t I = 0; I < List.Count(); ++I)
        Result.push_back(List[I]);
    return Result;
}

TEST(Methods, EntriesAreEqualOnlyWhenCodeAndReceiverAgree) {
    EXPECT_EQ(AX, (TMethod{&CodeA, &ReceiverX}));
    EXPECT_NE(AX, AY);
    EXPECT_NE(AX, BX);
}

TEST(Methods, AddingAnEqualEntryAgainDoesNothing) {
    TMethods List;
    List.Add(AX);
    List.Add(AY);
    List.Add(AX);
    List.Add(TMethod{&CodeA, &ReceiverX});
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, AY}));
}

TEST(Methods, RemoveTakesOutTheEntryAndKeepsTheOrderOfTheOthers) {
    TMethods List;
    for (TMethod M : {AX, AY, BX, BY})
        List.Add(M);
    List.Remove(AY);
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, BX, BY}));
    List.Remove(AY);
    List.Remove(TMethod{&CodeB, nullptr});
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, BX, BY}));
}

TEST(Methods, DeleteOutsideTheListDoesNothing) {
    TMethods List;
    List.Add(AX);
    List.Add(BX);
    List.Delete(-1);
    List.Delete(2);
    EXPECT_EQ(List.Count(), 2);
    List.Delete(0);
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{BX}));
}

TEST(Methods, IndexOfFindsEntriesAndGivesMinusOneForAbsent) {
    TMethods List;
    EXPECT_EQ(List.IndexOf(AX), -1);
    List.Add(BY);
    List.Add(AX);
    EXPECT_EQ(List.IndexOf(AX), 1);
    EXPECT_EQ(List.IndexOf(BY), 0);
    EXPECT_EQ(List.IndexOf(AY), -1);
}

TEST(Methods, ManyReceiversKeepRegistrationOrder) {
    std::vector<int> Receivers(300);
    TMethods List;
    for (int& R : Receivers)
        List.Add(TMethod{&CodeA, &R});
    ASSERT_EQ(List.Count(), 300);
    for (int32_t I = 0; I < 300; ++I)
        EXPECT_EQ(List[I].Receiver, &Receivers[static_cast<size_t>(I)]);
}

} // namespace
