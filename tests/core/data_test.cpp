#include "core/data.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> EntryNames(const TDataList& List) {
    std::vector<std::string> Names;
    for (int32_t I = 0; I < List.Count(); ++I)
        Names.emplace_back(List.Entry(I).Name);
    return Names;
}

TEST(DataNames, SameNameInOtherCaseIsTheSameEntryWithTheFirstSpelling) {
    TData Data;
    Data.WriteInteger("Count", 3);
    Data.WriteInteger("COUNT", 4);
    ASSERT_EQ(Data.Root()->Count(), 1);
    EXPECT_EQ(Data.Root()->Entry(0).Name, "Count");
    EXPECT_EQ(Data.Root()->Entry(0).Value, "4");
    EXPECT_EQ(Data.ReadInteger("count", 0), 4);
    EXPECT_TRUE(Data.Exists("cOUNT"));
}

TEST(DataNames, EntriesKeepInsertionOrder) {
    TData Data;
    for (const char* Name : {"Zeta", "Alpha", "Mid", "alpha", "Beta"})
        Data.WriteRaw(Name, "v");
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"Zeta", "Alpha", "Mid", "Beta"}));
}

TEST(DataNames, ThousandsOfEntriesAreAllFound) {
    constexpr int N = 5000;
    TData Data;
    for (int I = 0; I < N; ++I)
        Data.WriteInteger("Entry" + std::to_string(I), I * 3);
    ASSERT_EQ(Data.Root()->Count(), N);
    for (int I = 0; I < N; ++I) {
        ASSERT_EQ(Data.ReadInteger("ENTRY" + std::to_string(I), -1), I * 3) << I;
        ASSERT_EQ(Data.Root()->Entry(I).Name, "Entry" + std::to_string(I));
    }
    EXPECT_FALSE(Data.Exists("Entry5000"));
}

TEST(DataCursor, EnterCreatesAMissingSectionAndLeaveReturns) {
    TData Data;
    Data.Enter("Project");
    EXPECT_NE(Data.Current(), Data.Root());
    EXPECT_EQ(Data.Current()->Parent(), Data.Root());
    EXPECT_EQ(Data.Current()->ParentIndex(), 0);
    Data.WriteInteger("Position", 5);
    Data.Leave();
    EXPECT_EQ(Data.Current(), Data.Root());
    ASSERT_TRUE(Data.Exists("Project"));
    EXPECT_EQ(Data.ReadRaw("Project"), "");
    ASSERT_NE(Data.Root()->Entry(0).Children, nullptr);
    EXPECT_EQ(Data.Root()->Entry(0).Children->Entry(0).Name, "Position");
}

TEST(DataCursor, EnteringAnExistingSectionAgainFindsItsEntries) {
    TData Data;
    {
        TDataSection Section(Data, "Settings");
        Data.WriteBool("Mute", true);
    }
    {
        TDataSection Section(Data, "SETTINGS");
        EXPECT_TRUE(Data.ReadBool("Mute", false));
        Data.WriteBool("Solo", false);
    }
    EXPECT_EQ(Data.Root()->Count(), 1);
    EXPECT_EQ(Data.Root()->Entry(0).Children->Count(), 2);
}

TEST(DataCursor, LeaveAtTheRootStaysThere) {
    TData Data;
    Data.Leave();
    EXPECT_EQ(Data.Current(), Data.Root());
}

TEST(DataCursor, EnterOnALeafMakesASectionThatKeepsTheValue) {
    TData Data;
    Data.WriteRaw("Volume", "100");
    Data.Enter("volume");
    Data.WriteInteger("Left", 80);
    Data.Leave();
    EXPECT_EQ(Data.ReadRaw("Volume"), "100");
    ASSERT_NE(Data.Root()->Entry(0).Children, nullptr);
    EXPECT_EQ(Data.Root()->Count(), 1);
}

TEST(DataCursor, WriteRawOnASectionKeepsItsChildren) {
    TData Data;
    {
        TDataSection Section(Data, "Track");
        Data.WriteInteger("Kind", 2);
    }
    Data.WriteRaw("Track", "note");
    EXPECT_EQ(Data.ReadRaw("Track"), "note");
    TDataSection Section(Data, "Track");
    EXPECT_EQ(Data.ReadInteger("Kind", 0), 2);
}

// Values are rewritten in place when the new one fits; neighbours, in small
// and in indexed lists, must keep theirs through every shape of rewrite.
TEST(DataCursor, RewrittenValuesReadBackAndLeaveTheirNeighboursAlone) {
    for (int32_t Entries : {3, 40}) {
        TData Data;
        for (int32_t I = 0; I < Entries; ++I)
            Data.WriteRaw("Entry" + std::to_string(I), "value " + std::to_string(I));
        const std::vector<std::string> Rewrites{"a much longer value than before", "short", "",
                                                "again a long one", "x"};
        for (const std::string& Value : Rewrites) {
            Data.WriteRaw("Entry1", Value);
            EXPECT_EQ(Data.ReadRaw("Entry1"), Value) << Entries;
        }
        // A value written from the entry's own stored text.
        Data.WriteRaw("Entry2", Data.Current()->Entry(2).Value.substr(2));
        EXPECT_EQ(Data.ReadRaw("Entry2"), "lue 2") << Entries;
        Data.WriteRaw("Entry0", Data.Current()->Entry(0).Value);
        EXPECT_EQ(Data.ReadRaw("Entry0"), "value 0") << Entries;
        for (int32_t I = 3; I < Entries; ++I)
            EXPECT_EQ(Data.ReadRaw("Entry" + std::to_string(I)), "value " + std::to_string(I));
    }
}

TEST(DataCursor, ReadRawOfAMissingEntryIsEmpty) {
    TData Data;
    EXPECT_EQ(Data.ReadRaw("Missing"), "");
    EXPECT_FALSE(Data.Exists("Missing")) << "reading must not create entries";
}

TEST(DataStrings, LineBreaksAreStoredAsEscapesAndReadBack) {
    TData Data;
    Data.WriteString("Text", "one\r\ntwo");
    EXPECT_EQ(Data.ReadRaw("Text"), "one#0D#0Atwo");
    EXPECT_EQ(Data.ReadString("Text", ""), "one\r\ntwo");
}

TEST(DataStrings, HashIsStoredAsAnEscape) {
    TData Data;
    Data.WriteString("Text", "#1 take");
    EXPECT_EQ(Data.ReadRaw("Text"), "#231 take");
    EXPECT_EQ(Data.ReadString("Text", ""), "#1 take");
}

TEST(DataStrings, EveryControlByteIsEscapedAndOtherBytesAreKept) {
    std::string All;
    for (int C = 1; C < 256; ++C)
        All += static_cast<char>(C);
    All += '\0';
    TData Data;
    Data.WriteString("All", All);
    std::string Stored = Data.ReadRaw("All");
    for (char C : Stored)
        ASSERT_GE(static_cast<unsigned char>(C), 32) << "a control byte stored raw";
    EXPECT_NE(Stored.find("#00"), std::string::npos);
    EXPECT_NE(Stored.find("#1F"), std::string::npos);
    EXPECT_NE(Stored.find(" !\"#23$"), std::string::npos);
    EXPECT_NE(Stored.find("\x7E\x7F\x80"), std::string::npos) << "bytes from 127 are kept";
    EXPECT_EQ(Data.ReadString("All", ""), All);
}

TEST(DataStrings, EscapesDecodeInEitherCase) {
    TData Data;
    Data.WriteRaw("Text", "#0d#0A#41x");
    EXPECT_EQ(Data.ReadString("Text", ""), "\r\nAx");
}

TEST(DataStrings, HashWithoutTwoHexDigitsStaysAsItIs) {
    TData Data;
    Data.WriteRaw("Text", "#zz1 #4");
    EXPECT_EQ(Data.ReadString("Text", ""), "#zz1 #4");
}

TEST(DataStrings, MissingEntryGivesTheDefaultAndEmptyValueGivesEmpty) {
    TData Data;
    EXPECT_EQ(Data.ReadString("Name", "Untitled"), "Untitled");
    Data.WriteString("Name", "");
    EXPECT_EQ(Data.ReadString("Name", "Untitled"), "");
    EXPECT_EQ(Data.ReadWideString("Missing", "x"), "x");
}

TEST(DataBool, IsWrittenAsTrueOrFalse) {
    TData Data;
    Data.WriteBool("A", true);
    Data.WriteBool("B", false);
    EXPECT_EQ(Data.ReadRaw("A"), "True");
    EXPECT_EQ(Data.ReadRaw("B"), "False");
}

TEST(DataBool, ReadsTrueAndFalseInAnyCaseAndNothingElse) {
    TData Data;
    for (const char* Text : {"true", "TRUE", "True", "tRuE"}) {
        Data.WriteRaw("V", Text);
        EXPECT_TRUE(Data.ReadBool("V", false)) << Text;
    }
    for (const char* Text : {"false", "FALSE", "False"}) {
        Data.WriteRaw("V", Text);
        EXPECT_FALSE(Data.ReadBool("V", true)) << Text;
    }
    for (const char* Text : {"yes", "1", "", " true", "truex"}) {
        Data.WriteRaw("V", Text);
        EXPECT_TRUE(Data.ReadBool("V", true)) << Text;
        EXPECT_FALSE(Data.ReadBool("V", false)) << Text;
    }
    EXPECT_TRUE(Data.ReadBool("Missing", true));
}

TEST(DataIntegers, ReadIntegerTakesTheLeadingNumber) {
    TData Data;
    Data.WriteRaw("V", "12.7");
    EXPECT_EQ(Data.ReadInteger("V", 0), 12);
    Data.WriteRaw("V", "$FF");
    EXPECT_EQ(Data.ReadInteger("V", 0), 255);
    Data.WriteRaw("V", "abc");
    EXPECT_EQ(Data.ReadInteger("V", -3), -3);
    Data.WriteRaw("V", "99999999999");
    EXPECT_EQ(Data.ReadInteger("V", 0), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(Data.ReadInteger("Missing", 17), 17);
}

TEST(DataIntegers, WrittenIntegersReadBack) {
    TData Data;
    for (int32_t V : {0, 1, -1, 2147483647, -2147483647 - 1}) {
        Data.WriteInteger("V", V);
        EXPECT_EQ(Data.ReadRaw("V"), std::to_string(V));
        EXPECT_EQ(Data.ReadInteger("V", 5), V);
    }
}

TEST(DataIntegers, ReadByteClampsToAByte) {
    TData Data;
    Data.WriteRaw("V", "300");
    EXPECT_EQ(Data.ReadByte("V", 1), 255);
    Data.WriteRaw("V", "-4");
    EXPECT_EQ(Data.ReadByte("V", 1), 0);
    Data.WriteRaw("V", "x");
    EXPECT_EQ(Data.ReadByte("V", 9), 9);
}

TEST(DataInt64, WrittenValuesReadBack) {
    TData Data;
    for (int64_t V : {int64_t(0), int64_t(-1), int64_t(5000000000),
                      std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()}) {
        Data.WriteInt64("V", V);
        EXPECT_EQ(Data.ReadRaw("V"), std::to_string(V));
        EXPECT_EQ(Data.ReadInt64("V", 7), V);
    }
}

TEST(DataInt64, ReadsOnlyAWholeDecimalNumber) {
    TData Data;
    auto Read = [&](const char* Text) {
        Data.WriteRaw("V", Text);
        return Data.ReadInt64("V", -99);
    };
    EXPECT_EQ(Read(" 42"), 42);
    EXPECT_EQ(Read("+42"), 42);
    EXPECT_EQ(Read("-42"), -42);
    EXPECT_EQ(Read("12.5"), -99);
    EXPECT_EQ(Read("42 "), -99);
    EXPECT_EQ(Read("4x"), -99);
    EXPECT_EQ(Read(""), -99);
    EXPECT_EQ(Read("-"), -99);
    EXPECT_EQ(Read("+-5"), -99);
    EXPECT_EQ(Read("--5"), -99);
    EXPECT_EQ(Read("$10"), -99);
    EXPECT_EQ(Read("9223372036854775808"), -99);
    EXPECT_EQ(Data.ReadInt64("Missing", 3), 3);
}

TEST(DataFloat, IsWrittenWithEightDecimals) {
    TData Data;
    auto Written = [&](double V) {
        Data.WriteFloat("V", V);
        return Data.ReadRaw("V");
    };
    EXPECT_EQ(Written(0.5), "0.50000000");
    EXPECT_EQ(Written(-1.25), "-1.25000000");
    EXPECT_EQ(Written(100), "100.00000000");
    EXPECT_EQ(Written(0), "0.00000000");
    EXPECT_EQ(Written(-0.0), "0.00000000");
    EXPECT_EQ(Written(123456789.125), "123456789.12500000");
    EXPECT_EQ(Written(1e-9), "0.00000000");
}

TEST(DataFloat, ReadsDecimalNumbersWithAPointOnly) {
    TData Data;
    auto Read = [&](const char* Text) {
        Data.WriteRaw("V", Text);
        return Data.ReadFloat("V", -7.5);
    };
    EXPECT_DOUBLE_EQ(Read("12.7"), 12.7);
    EXPECT_DOUBLE_EQ(Read("-1.25000000"), -1.25);
    EXPECT_DOUBLE_EQ(Read("1e3"), 1000);
    EXPECT_DOUBLE_EQ(Read("-1.25E2"), -125);
    EXPECT_DOUBLE_EQ(Read("3"), 3);
    EXPECT_DOUBLE_EQ(Read("12,7"), -7.5);
    EXPECT_DOUBLE_EQ(Read("abc"), -7.5);
    EXPECT_DOUBLE_EQ(Read(""), -7.5);
    EXPECT_DOUBLE_EQ(Read("1.5x"), -7.5);
    EXPECT_DOUBLE_EQ(Read("inf"), -7.5);
    EXPECT_DOUBLE_EQ(Read("nan"), -7.5);
    EXPECT_DOUBLE_EQ(Read("1e999"), -7.5);
    EXPECT_DOUBLE_EQ(Read("+-1.5"), -7.5);
    EXPECT_DOUBLE_EQ(Data.ReadFloat("Missing", 2.5), 2.5);
}

TEST(DataFloat, WrittenValuesReadBack) {
    TData Data;
    for (double V : {0.1, -3.75, 100.0, 12345.6789}) {
        Data.WriteFloat("V", V);
        EXPECT_NEAR(Data.ReadFloat("V", 0), V, 5e-9) << V;
    }
}

TEST(DataColor, IsStoredAsFourByteLeaves) {
    TData Data;
    Data.WriteColor("Background", MakeColor(1, 2, 3, 4));
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"Background.R", "Background.G",
                                                                  "Background.B", "Background.A"}));
    EXPECT_EQ(Data.ReadRaw("Background.R"), "1");
    EXPECT_EQ(Data.ReadRaw("Background.A"), "4");
    EXPECT_EQ(Data.ReadColor("Background", 0), MakeColor(1, 2, 3, 4));
}

TEST(DataColor, MissingPartsComeFromTheDefault) {
    TData Data;
    Data.WriteInteger("C.G", 9);
    Data.WriteInteger("C.A", 999);
    EXPECT_EQ(Data.ReadColor("C", MakeColor(10, 20, 30, 40)), MakeColor(10, 9, 30, 255));
}

TEST(DataPoint, RoundTripsAndDefaultsPerCoordinate) {
    TData Data;
    Data.WritePoint("Origin", TPoint{-3, 7});
    EXPECT_EQ(Data.ReadRaw("Origin.X"), "-3");
    EXPECT_EQ(Data.ReadPoint("Origin", TPoint{}), (TPoint{-3, 7}));
    Data.WriteInteger("Half.Y", 4);
    EXPECT_EQ(Data.ReadPoint("Half", TPoint{1, 2}), (TPoint{1, 4}));
}

TEST(DataRect, IsStoredAsLeftTopWidthHeight) {
    TData Data;
    Data.WriteRect("Window", TRect{10, 20, 110, 70});
    EXPECT_EQ(
        EntryNames(*Data.Root()),
        (std::vector<std::string>{"Window.Left", "Window.Top", "Window.Width", "Window.Height"}));
    EXPECT_EQ(Data.ReadRaw("Window.Width"), "100");
    EXPECT_EQ(Data.ReadRaw("Window.Height"), "50");
    EXPECT_EQ(Data.ReadRect("Window", TRect{}), (TRect{10, 20, 110, 70}));
}

TEST(DataRect, MissingPartsComeFromTheDefault) {
    TData Data;
    Data.WriteInteger("Name.Left", 10);
    EXPECT_EQ(Data.ReadRect("Name", TRect{0, 0, 100, 50}), (TRect{10, 0, 110, 50}));
}

class DataListCount : public testing::Test {
protected:
    void AddSections(const std::string& Prefix, int N) {
        for (int I = 0; I < N; ++I) {
            TDataSection Section(Data, ListItemName(Prefix, I));
            Data.WriteInteger("Kind", 1);
        }
    }
    TData Data;
};

TEST_F(DataListCount, DamagedHugeCountIsLimitedToTheStoredSections) {
    Data.WriteInteger("Count", 2000000000);
    AddSections("Track[", 2);
    EXPECT_EQ(Data.ReadListCount("Track["), 2);
}

TEST_F(DataListCount, SmallerCountWins) {
    Data.WriteInteger("Count", 1);
    AddSections("Track[", 3);
    EXPECT_EQ(Data.ReadListCount("Track["), 1);
}

TEST_F(DataListCount, MissingOrNegativeCountIsZero) {
    AddSections("Item[", 2);
    EXPECT_EQ(Data.ReadListCount("Item["), 0);
    Data.WriteInteger("Count", -5);
    EXPECT_EQ(Data.ReadListCount("Item["), 0);
}

TEST_F(DataListCount, OnlySectionsWithThePrefixCount) {
    Data.WriteInteger("Count", 10);
    AddSections("Track[", 1);
    AddSections("Item[", 3);
    Data.WriteRaw("Track[5]", "a leaf, not a section");
    EXPECT_EQ(Data.ReadListCount("Track["), 1);
    EXPECT_EQ(Data.ReadListCount("TRACK["), 1);
}

TEST(DataListNames, IndexedNamesUseTheDecimalIndex) {
    EXPECT_EQ(ListItemName("Track[", 0), "Track[0]");
    EXPECT_EQ(ListItemName("Item[", 12), "Item[12]");
}

TEST(QuoteKey, PlainTextIsQuoted) {
    EXPECT_EQ(QuoteKey(""), "''");
    EXPECT_EQ(QuoteKey("Volume"), "'Volume'");
    EXPECT_EQ(QuoteKey("gain dB"), "'gain dB'");
}

TEST(QuoteKey, SeparatorsAndControlBytesBecomeHexEscapes) {
    EXPECT_EQ(QuoteKey("a:b"), "'a'#3A'b'");
    EXPECT_EQ(QuoteKey("a=b"), "'a'#3D'b'");
    EXPECT_EQ(QuoteKey(":"), "#3A");
    EXPECT_EQ(QuoteKey("\tx"), "#09'x'");
    EXPECT_EQ(QuoteKey("a\x01"), "'a'#01");
    EXPECT_EQ(QuoteKey("a::b"), "'a'#3A#3A'b'");
}

TEST(QuoteKey, QuotesInsideAreDoubled) {
    EXPECT_EQ(QuoteKey("it's"), "'it''s'");
    EXPECT_EQ(QuoteKey("'"), "''''");
    EXPECT_EQ(QuoteKey("x'"), "'x'''");
    EXPECT_EQ(QuoteKey("':'"), "''''#3A''''");
}

TEST(QuoteKey, QuotedKeysSurviveATextFile) {
    const std::string Names[] = {"gain: dB", "a=b", "it's", "", "x\ty"};
    TData Data;
    for (int I = 0; I < 5; ++I)
        Data.WriteInteger(QuoteKey(Names[I]), I);
    TData Loaded;
    Loaded.LoadFromText(Data.SaveToText());
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Loaded.ReadInteger(QuoteKey(Names[I]), -1), I) << Names[I];
}

} // namespace
