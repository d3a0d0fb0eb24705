#include "core/changes.h"

#include "core/error.h"
#include "core/exception_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A family of flags for the tests; the notifier only ORs and forwards them.
enum class TTestFlags : uint32_t {};

} // namespace

template <>
inline constexpr bool IsFlagSet<TTestFlags> = true;

namespace {

constexpr TTestFlags Bits(uint32_t Value) {
    return TTestFlags(Value);
}

using TTestChanges = TFlagChanges<TTestFlags>;

class TSenderObject : public TObject {};

// A listener that writes every call it receives into a shared log as
// "<name>begin", "<name>change <flags>" or "<name>end", and can run an action
// from inside its change call.
struct TListener {
    std::vector<std::string>* Log = nullptr;
    std::string Name;
    TObject* LastSender = nullptr;
    std::function<void()> OnBegin;
    std::function<void(uint32_t)> OnChange;
    std::function<void()> OnEnd;

    void Changed(TObject* Sender, TTestFlags Flags) {
        LastSender = Sender;
        Log->push_back(Name + "change " + std::to_string(ToBits(Flags)));
        if (OnChange)
            OnChange(ToBits(Flags));
    }
    void Began(TObject* Sender) {
        LastSender = Sender;
        Log->push_back(Name + "begin");
        if (OnBegin)
            OnBegin();
    }
    void Ended(TObject* Sender) {
        LastSender = Sender;
        Log->push_back(Name + "end");
        if (OnEnd)
            OnEnd();
    }

    TTestChanges::TChangeHandler ChangeHandler() { return MakeDelegate<&TListener::Changed>(this); }
    TNotifyHandler BeginHandler() { return MakeDelegate<&TListener::Began>(this); }
    TNotifyHandler EndHandler() { return MakeDelegate<&TListener::Ended>(this); }
};

// A derived notifier as the project, render driver and capture object make
// them: it counts its DoChange calls before handing them to the base.
class TCountingChanges : public TTestChanges {
public:
    using TTestChanges::TTestChanges;
    int DoChangeCalls = 0;
    uint32_t LastFlags = 0;

protected:
    void DoChange(TTestFlags Flags) override {
        ++DoChangeCalls;
        LastFlags = ToBits(Flags);
        TTestChanges::DoChange(Flags);
    }
};

// Collects what the application's exception report is given while a test
// runs, and puts the default report back afterwards.
class TReportCapture {
public:
    TReportCapture() {
        SetExceptionReportHandler(
            [this](const std::exception& Error) { Messages.push_back(Error.what()); });
    }
    ~TReportCapture() { SetExceptionReportHandler(nullptr); }
    TReportCapture(const TReportCapture&) = delete;
    TReportCapture& operator=(const TReportCapture&) = delete;

    std::vector<std::string> Messages;
};

class ChangesTest : public testing::Test {
protected:
    TListener MakeListener(std::string Name = "") {
        TListener L;
        L.Log = &Log;
        L.Name = std::move(Name);
        return L;
    }

    void Listen(TListener& L) {
        Changes.AddBeginHandler(L.BeginHandler());
        Changes.AddChangeHandler(L.ChangeHandler());
        Changes.AddEndHandler(L.EndHandler());
    }

    TSenderObject Sender;
    TCountingChanges Changes{&Sender};
    std::vector<std::string> Log;
};

using TLog = std::vector<std::string>;

TEST_F(ChangesTest, ChangeOutsideBracketReachesHandlersAtOnce) {
    TListener L = MakeListener();
    Listen(L);
    Changes.Change(Bits(5));
    EXPECT_EQ(Log, TLog({"change 5"}));
    EXPECT_EQ(L.LastSender, &Sender);
    EXPECT_EQ(Changes.DoChangeCalls, 1);
}

TEST_F(ChangesTest, NestedBracketsDeliverOneCombinedChangeThenEnd) {
    TListener L = MakeListener();
    Listen(L);

    Changes.BeginUpdate();
    Changes.Change(Bits(1));
    Changes.BeginUpdate();
    Changes.Change(Bits(2));
    Changes.BeginUpdate();
    Changes.Change(Bits(4));
    EXPECT_EQ(Changes.UpdateCount(), 3);
    EXPECT_TRUE(Changes.Updating());
    Changes.EndUpdate();
    Changes.EndUpdate();
    EXPECT_EQ(Log, TLog({"begin"})) << "inner brackets must not notify";
    EXPECT_EQ(Changes.Pending(), Bits(7));
    Changes.EndUpdate();

    EXPECT_EQ(Log, TLog({"begin", "change 7", "end"}));
    EXPECT_EQ(Changes.DoChangeCalls, 1);
    EXPECT_EQ(Changes.LastFlags, 7u);
    EXPECT_EQ(Changes.UpdateCount(), 0);
    EXPECT_FALSE(Changes.Updating());
    EXPECT_EQ(L.LastSender, &Sender);
}

TEST_F(ChangesTest, BracketWithoutChangesGivesBeginAndEndOnly) {
    TListener L = MakeListener();
    Listen(L);
    {
        TUpdateGuard Outer(Changes);
        TUpdateGuard Inner(Changes);
    }
    EXPECT_EQ(Log, TLog({"begin", "end"}));
    EXPECT_EQ(Changes.DoChangeCalls, 0);
}

TEST_F(ChangesTest, AllBitsPassThroughUnchanged) {
    TListener L = MakeListener();
    Listen(L);
    {
        TUpdateGuard Guard(Changes);
        Changes.Change(Bits(0x80000000u));
        Changes.Change(Bits(0xFFFFFFFFu));
    }
    EXPECT_EQ(Log, TLog({"begin", "change 4294967295", "end"}));
}

TEST_F(ChangesTest, GuardClosesBracketWhenEditThrows) {
    TListener L = MakeListener();
    Listen(L);
    try {
        TUpdateGuard Guard(Changes);
        Changes.Change(Bits(3));
        throw std::runtime_error("edit failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Log, TLog({"begin", "change 3", "end"}));
    EXPECT_EQ(Changes.UpdateCount(), 0);
}

TEST_F(ChangesTest, ClosingHandlersSeeBracketClosedButCountStillOne) {
    TListener L = MakeListener();
    bool SeenUpdating = true;
    int32_t SeenCount = -1;
    L.OnChange = [&](uint32_t) {
        SeenUpdating = Changes.Updating();
        SeenCount = Changes.UpdateCount();
    };
    Listen(L);
    Changes.BeginUpdate();
    Changes.Change(Bits(1));
    Changes.EndUpdate();
    EXPECT_FALSE(SeenUpdating);
    EXPECT_EQ(SeenCount, 1);
}

TEST_F(ChangesTest, ChangeIssuedWhileBracketClosesIsCollectedAndDroppedByNextBracket) {
    TListener L = MakeListener();
    L.OnChange = [&](uint32_t Flags) {
        if (Flags == 1)
            Changes.Change(Bits(8));
    };
    Listen(L);

    Changes.BeginUpdate();
    Changes.Change(Bits(1));
    Changes.EndUpdate();
    EXPECT_EQ(Log, TLog({"begin", "change 1", "end"})) << "the late change must not be delivered";
    EXPECT_EQ(ToBits(Changes.Pending()) & 8u, 8u);

    Log.clear();
    Changes.BeginUpdate();
    EXPECT_EQ(Changes.Pending(), Bits(0));
    Changes.EndUpdate();
    EXPECT_EQ(Log, TLog({"begin", "end"}));
}

TEST_F(ChangesTest, HandlerExceptionFromImmediateChangePropagates) {
    TListener L = MakeListener();
    L.OnChange = [](uint32_t) { throw EError("listener failed"); };
    Listen(L);
    EXPECT_THROW(Changes.Change(Bits(1)), EError);
    EXPECT_EQ(Changes.UpdateCount(), 0);
}

TEST_F(ChangesTest, HandlerExceptionAtOutermostEndIsReportedAndSwallowed) {
    TReportCapture Report;
    TListener Failing = MakeListener("a:");
    Failing.OnChange = [](uint32_t) { throw EError("listener failed"); };
    Listen(Failing);

    Changes.BeginUpdate();
    Changes.Change(Bits(2));
    EXPECT_NO_THROW(Changes.EndUpdate());

    EXPECT_EQ(Report.Messages, TLog({"listener failed"}));
    EXPECT_EQ(Log, TLog({"a:begin", "a:change 2", "a:end"})) << "DoEnd still runs";
    EXPECT_EQ(Changes.UpdateCount(), 0);
    EXPECT_FALSE(Changes.Updating());

    // The notifier is usable afterwards.
    Failing.OnChange = nullptr;
    Changes.Change(Bits(4));
    EXPECT_EQ(Log.back(), "a:change 4");
}

TEST_F(ChangesTest, NonStandardExceptionAtOutermostEndIsReportedToo) {
    TReportCapture Report;
    TListener Failing = MakeListener();
    Failing.OnChange = [](uint32_t) { throw 42; };
    Listen(Failing);
    Changes.BeginUpdate();
    Changes.Change(Bits(1));
    EXPECT_NO_THROW(Changes.EndUpdate());
    EXPECT_EQ(Report.Messages.size(), 1u);
}

// Regression: a guard's destructor cannot let an exception out (it would end
// the program), so an end handler failing there must go to the report.
TEST_F(ChangesTest, EndHandlerFailureInsideGuardIsReportedNotFatal) {
    TReportCapture Report;
    TListener Failing = MakeListener();
    Failing.OnEnd = [] { throw EError("end failed"); };
    Listen(Failing);
    {
        TUpdateGuard Guard(Changes);
        Changes.Change(Bits(1));
    }
    EXPECT_EQ(Report.Messages, TLog({"end failed"}));
    EXPECT_EQ(Changes.UpdateCount(), 0);
}

TEST_F(ChangesTest, BeginHandlerFailureLeavesNoBracketOpen) {
    TListener L = MakeListener();
    L.OnBegin = [] { throw EError("cannot begin"); };
    Listen(L);

    EXPECT_THROW({ TUpdateGuard Guard(Changes); }, EError);
    EXPECT_EQ(Changes.UpdateCount(), 0);
    EXPECT_FALSE(Changes.Updating());

    // With no bracket open, a change is delivered at once.
    Log.clear();
    Changes.Change(Bits(2));
    EXPECT_EQ(Log, TLog({"change 2"}));
}

TEST_F(ChangesTest, SameCallbackAddedTwiceIsCalledOnce) {
    TListener L = MakeListener();
    Listen(L);
    Listen(L);
    Changes.Change(Bits(1));
    { TUpdateGuard Guard(Changes); }
    EXPECT_EQ(Log, TLog({"change 1", "begin", "end"}));
}

TEST_F(ChangesTest, SameMethodOfDifferentReceiversRegistersBoth) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    Changes.AddChangeHandler(A.ChangeHandler());
    Changes.AddChangeHandler(B.ChangeHandler());
    Changes.Change(Bits(1));
    EXPECT_EQ(Log, TLog({"a:change 1", "b:change 1"}));
}

TEST_F(ChangesTest, HandlersRunInRegistrationOrder) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    TListener C = MakeListener("c:");
    Changes.AddChangeHandler(C.ChangeHandler());
    Changes.AddChangeHandler(A.ChangeHandler());
    Changes.AddChangeHandler(B.ChangeHandler());
    Changes.Change(Bits(1));
    EXPECT_EQ(Log, TLog({"c:change 1", "a:change 1", "b:change 1"}));
}

TEST_F(ChangesTest, RemovedHandlerIsNoLongerCalled) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    Listen(A);
    Listen(B);
    Changes.RemoveChangeHandler(A.ChangeHandler());
    Changes.RemoveBeginHandler(B.BeginHandler());
    Changes.RemoveEndHandler(A.EndHandler());
    {
        TUpdateGuard Guard(Changes);
        Changes.Change(Bits(1));
    }
    EXPECT_EQ(Log, TLog({"a:begin", "b:change 1", "b:end"}));
}

TEST_F(ChangesTest, RemovingFromListsNeverCreatedDoesNothing) {
    TListener A = MakeListener();
    TTestChanges Fresh(&Sender);
    Fresh.RemoveChangeHandler(A.ChangeHandler());
    Fresh.RemoveBeginHandler(A.BeginHandler());
    Fresh.RemoveEndHandler(A.EndHandler());
    Fresh.Change(Bits(1));
    { TUpdateGuard Guard(Fresh); }
    EXPECT_TRUE(Log.empty());
}

TEST_F(ChangesTest, HandlerRemovingALaterHandlerDuringNotificationSkipsIt) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    TListener C = MakeListener("c:");
    A.OnChange = [&](uint32_t) { Changes.RemoveChangeHandler(B.ChangeHandler()); };
    Changes.AddChangeHandler(A.ChangeHandler());
    Changes.AddChangeHandler(B.ChangeHandler());
    Changes.AddChangeHandler(C.ChangeHandler());

    Changes.Change(Bits(1));
    EXPECT_EQ(Log, TLog({"a:change 1", "c:change 1"}));

    Log.clear();
    Changes.Change(Bits(2));
    EXPECT_EQ(Log, TLog({"a:change 2", "c:change 2"}));
}

TEST_F(ChangesTest, HandlerRemovingItselfDuringNotificationRunsOnce) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    A.OnChange = [&](uint32_t) { Changes.RemoveChangeHandler(A.ChangeHandler()); };
    Changes.AddChangeHandler(A.ChangeHandler());
    Changes.AddChangeHandler(B.ChangeHandler());
    Changes.Change(Bits(1));
    Changes.Change(Bits(2));
    EXPECT_EQ(Log, TLog({"a:change 1", "b:change 1", "b:change 2"}));
}

TEST_F(ChangesTest, HandlerAddedDuringNotificationWaitsForTheNextOne) {
    TListener A = MakeListener("a:");
    TListener B = MakeListener("b:");
    A.OnChange = [&](uint32_t) { Changes.AddChangeHandler(B.ChangeHandler()); };
    Changes.AddChangeHandler(A.ChangeHandler());
    Changes.Change(Bits(1));
    Changes.Change(Bits(2));
    EXPECT_EQ(Log, TLog({"a:change 1", "a:change 2", "b:change 2"}));
}

} // namespace
