#include "core/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

int Sign(int Value) {
    return (Value > 0) - (Value < 0);
}

TEST(SameTextAscii, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(SameTextAscii("Count", "COUNT"));
    EXPECT_TRUE(SameTextAscii("track[0]", "TRACK[0]"));
    EXPECT_TRUE(SameTextAscii("", ""));
    EXPECT_FALSE(SameTextAscii("abc", "ab"));
    EXPECT_FALSE(SameTextAscii("a", "b"));
    EXPECT_FALSE(SameTextAscii("@", "`"));
    EXPECT_FALSE(SameTextAscii("[", "{"));
    EXPECT_FALSE(SameTextAscii("\xC3\xA9", "\xC3\x89")); // e acute against E acute
}

TEST(CompareTextAscii, OrdersUnderUpperCaseFolding) {
    EXPECT_LT(CompareTextAscii("apple", "BANANA"), 0);
    EXPECT_GT(CompareTextAscii("B", "a"), 0);
    EXPECT_EQ(CompareTextAscii("abc", "ABC"), 0);
    EXPECT_LT(CompareTextAscii("ab", "abc"), 0);
    EXPECT_GT(CompareTextAscii("abc", "AB"), 0);
    // Folding is to upper case, so "_" (0x5F) sorts after every letter.
    EXPECT_GT(CompareTextAscii("_", "a"), 0);
    // Bytes compare as unsigned: UTF-8 sorts after ASCII.
    EXPECT_GT(CompareTextAscii("\xC3\xA9", "z"), 0);
}

TEST(StartsWithText, IgnoresLetterCase) {
    EXPECT_TRUE(StartsWithText("Track[0]", "track["));
    EXPECT_TRUE(StartsWithText("x", ""));
    EXPECT_FALSE(StartsWithText("Tr", "Track"));
    EXPECT_FALSE(StartsWithText("Item[0]", "Track["));
}

TEST(UpperCaseAscii, LeavesOtherBytesAlone) {
    EXPECT_EQ(UpperCaseAscii("ab z_\xC3\xA9"), "AB Z_\xC3\xA9");
}

TEST(NaturalCompare, NumbersCompareByValue) {
    EXPECT_LT(NaturalCompare("a2", "a10"), 0);
    EXPECT_GT(NaturalCompare("a10", "a2"), 0);
    EXPECT_LT(NaturalCompare("Clip 2", "clip 10"), 0);
    EXPECT_LT(NaturalCompare("a99999999999999999999", "a100000000000000000000"), 0);
    EXPECT_LT(NaturalCompare("v1.9", "v1.10"), 0);
}

TEST(NaturalCompare, NumbersCarryTheirSign) {
    EXPECT_LT(NaturalCompare("-5", "3"), 0);
    EXPECT_LT(NaturalCompare("a-10", "a-2"), 0);
}

// Regression: with the sign taken into the text comparison, "+19b" sorted
// before "-AA", which sorted before "0", which sorted before "+19b".
TEST(NaturalCompare, SignedNumbersAgainstTextStayTransitive) {
    EXPECT_LT(NaturalCompare("-AA", "0"), 0);
    EXPECT_LT(NaturalCompare("0", "+19b"), 0);
    EXPECT_LT(NaturalCompare("-AA", "+19b"), 0);
}

TEST(NaturalCompare, TextRunsIgnoreCaseUntilTheFinalTieBreak) {
    EXPECT_GT(NaturalCompare("b", "A10"), 0);
    EXPECT_LT(NaturalCompare("apple 3", "Banana 1"), 0);
    // Equal under folding: decided by the case-sensitive comparison.
    EXPECT_LT(NaturalCompare("ABC", "abc"), 0);
    EXPECT_GT(NaturalCompare("abc", "ABC"), 0);
    EXPECT_EQ(NaturalCompare("abc", "abc"), 0);
}

TEST(NaturalCompare, FewerRunsComeFirst) {
    EXPECT_LT(NaturalCompare("x", "x1"), 0);
    EXPECT_LT(NaturalCompare("", "a"), 0);
}

TEST(NaturalCompare, EqualValuesAreOrderedByTheirText) {
    EXPECT_LT(NaturalCompare("file01", "file1"), 0);
    EXPECT_GT(NaturalCompare("file1", "file01"), 0);
}

// Directory listings sort with this comparison, so it must be a consistent
// total order: anything else breaks std::sort.
TEST(NaturalCompare, IsATotalOrderOnRandomTexts) {
    std::mt19937 Random(17);
    const std::string Alphabet = "aAbB0129-+ ._";
    std::vector<std::string> Texts;
    for (int I = 0; I < 160; ++I) {
        std::string T;
        size_t Length = Random() % 7;
        for (size_t J = 0; J < Length; ++J)
            T += Alphabet[Random() % Alphabet.size()];
        Texts.push_back(T);
    }
    const size_t N = Texts.size();
    std::vector<int> Order(N * N);
    for (size_t I = 0; I < N; ++I)
        for (size_t J = 0; J < N; ++J)
            Order[I * N + J] = Sign(NaturalCompare(Texts[I], Texts[J]));
    for (size_t I = 0; I < N; ++I) {
        for (size_t J = 0; J < N; ++J) {
            int IJ = Order[I * N + J];
            ASSERT_EQ(IJ, -Order[J * N + I]) << "'" << Texts[I] << "' '" << Texts[J] << "'";
            ASSERT_EQ(IJ == 0, Texts[I] == Texts[J]) << "'" << Texts[I] << "' '" << Texts[J] << "'";
            if (IJ >= 0)
                continue;
            for (size_t K = 0; K < N; ++K) {
                if (Order[J * N + K] < 0) {
                    ASSERT_LT(Order[I * N + K], 0)
                        << "'" << Texts[I] << "' < '" << Texts[J] << "' < '" << Texts[K] << "'";
                }
            }
        }
    }
}

TEST(FormatMessageText, FillsTheFirstPlaceholder) {
    EXPECT_EQ(FormatMessageText("Can not open '%'.", "a.txt"), "Can not open 'a.txt'.");
    EXPECT_EQ(FormatMessageText("% and %", "x"), "x and %");
    EXPECT_EQ(FormatMessageText("%", "whole"), "whole");
}

TEST(FormatMessageText, TemplateWithoutPlaceholderIsReturnedAsItIs) {
    EXPECT_EQ(FormatMessageText("Nothing to fill.", "x"), "Nothing to fill.");
    EXPECT_EQ(FormatMessageText("Nothing to fill.", ""), "Nothing to fill.");
}

TEST(FormatMessageText, EmptyArgumentTakesThePlaceholderPunctuationAway) {
    EXPECT_EQ(FormatMessageText("Can not open '%'.", ""), "Can not open.");
    EXPECT_EQ(FormatMessageText("Error: %", ""), "Error");
    EXPECT_EQ(FormatMessageText("The document \"%\" is nested too deeply to be read.", ""),
              "The document is nested too deeply to be read.");
    EXPECT_EQ(FormatMessageText("Size - % MB", ""), "Size MB");
    EXPECT_EQ(FormatMessageText("%", ""), "");
}

TEST(FormatMessageText, HalvesJoinWithABlankOnlyWhenSomethingWasRemoved) {
    EXPECT_EQ(FormatMessageText("a%b", ""), "ab");
    EXPECT_EQ(FormatMessageText("a %b", ""), "a b");
}

TEST(FormatMessageText, NoBlankNextToOperatorsAndSemicolons) {
    EXPECT_EQ(FormatMessageText("x/ % y", ""), "x/y");
    EXPECT_EQ(FormatMessageText("x+ % y", ""), "x+y");
    EXPECT_EQ(FormatMessageText("x* % y", ""), "x*y");
    EXPECT_EQ(FormatMessageText("a % ;b", ""), "a;b");
    EXPECT_EQ(FormatMessageText("Value % -1", ""), "Value-1");
    EXPECT_EQ(FormatMessageText("Value % ,next", ""), "Value,next");
}

} // namespace
