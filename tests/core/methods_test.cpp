#include "core/methods.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TReceiver {
    void A() {}
    void B() {}
};

TReceiver ReceiverX;
TReceiver ReceiverY;

using TMethod = TDelegate<void()>;

const TMethod AX = MakeDelegate<&TReceiver::A>(&ReceiverX);
const TMethod AY = MakeDelegate<&TReceiver::A>(&ReceiverY);
const TMethod BX = MakeDelegate<&TReceiver::B>(&ReceiverX);
const TMethod BY = MakeDelegate<&TReceiver::B>(&ReceiverY);

std::vector<TMethod> Entries(const TMethods<void()>& List) {
    std::vector<TMethod> Result;
    for (int32_t I = 0; I < List.Count(); ++I)
        Result.push_back(List[I]);
    return Result;
}

TEST(Methods, EntriesAreEqualOnlyWhenCodeAndReceiverAgree) {
    EXPECT_EQ(AX, MakeDelegate<&TReceiver::A>(&ReceiverX));
    EXPECT_NE(AX, AY);
    EXPECT_NE(AX, BX);
}

TEST(Methods, AddingAnEqualEntryAgainDoesNothing) {
    TMethods<void()> List;
    List.Add(AX);
    List.Add(AY);
    List.Add(AX);
    List.Add(MakeDelegate<&TReceiver::A>(&ReceiverX));
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, AY}));
}

TEST(Methods, RemoveTakesOutTheEntryAndKeepsTheOrderOfTheOthers) {
    TMethods<void()> List;
    for (TMethod M : {AX, AY, BX, BY})
        List.Add(M);
    List.Remove(AY);
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, BX, BY}));
    List.Remove(AY);
    List.Remove(MakeDelegate<&TReceiver::B>(static_cast<TReceiver*>(nullptr)));
    List.Remove(TMethod());
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{AX, BX, BY}));
}

TEST(Methods, DeleteOutsideTheListDoesNothing) {
    TMethods<void()> List;
    List.Add(AX);
    List.Add(BX);
    List.Delete(-1);
    List.Delete(2);
    EXPECT_EQ(List.Count(), 2);
    List.Delete(0);
    EXPECT_EQ(Entries(List), (std::vector<TMethod>{BX}));
}

TEST(Methods, IndexOfFindsEntriesAndGivesMinusOneForAbsent) {
    TMethods<void()> List;
    EXPECT_EQ(List.IndexOf(AX), -1);
    List.Add(BY);
    List.Add(AX);
    EXPECT_EQ(List.IndexOf(AX), 1);
    EXPECT_EQ(List.IndexOf(BY), 0);
    EXPECT_EQ(List.IndexOf(AY), -1);
}

TEST(Methods, ManyReceiversKeepRegistrationOrder) {
    std::vector<TReceiver> Receivers(300);
    TMethods<void()> List;
    for (TReceiver& R : Receivers)
        List.Add(MakeDelegate<&TReceiver::A>(&R));
    ASSERT_EQ(List.Count(), 300);
    for (int32_t I = 0; I < 300; ++I)
        EXPECT_EQ(List[I].Receiver(), &Receivers[static_cast<size_t>(I)]);
}

// A list that calls its entries: each call reaches the receiver it was bound
// to, in registration order, with the arguments given.
struct TCounter {
    std::vector<int>* Log = nullptr;
    int Id = 0;
    void Add(int Value) { Log->push_back(Id * 100 + Value); }
};

TEST(Methods, CallEachCallsEveryEntryInOrderWithTheArguments) {
    std::vector<int> Log;
    TCounter First{&Log, 1};
    TCounter Second{&Log, 2};
    TMethods<void(int)> List;
    List.Add(MakeDelegate<&TCounter::Add>(&Second));
    List.Add(MakeDelegate<&TCounter::Add>(&First));
    List.CallEach(7);
    EXPECT_EQ(Log, (std::vector<int>{207, 107}));
}

} // namespace
