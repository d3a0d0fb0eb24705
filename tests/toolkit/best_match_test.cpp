#include "toolkit/controls/best_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TBestMatchCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Texts;
    int32_t Start;
    int32_t Expected;
};

void PrintTo(const TBestMatchCase& Case, std::ostream* Out) { *Out << Case.Name; }

class BestMatchTable : public ::testing::TestWithParam<TBestMatchCase> {};

} // namespace

TEST_P(BestMatchTable, PicksTheExpectedCandidate) {
    const TBestMatchCase& Case = GetParam();
    EXPECT_EQ(BestMatch(Case.Text, Case.Texts, Case.Start), Case.Expected);
}

// Long numbers: a 40-digit run, and runs beyond every integer type, compare
// as digit strings; equal values with leading zeros match, a difference in
// the last digit does not.
const std::string Forty = "1234567890123456789012345678901234567890";

INSTANTIATE_TEST_SUITE_P(
    Toolkit, BestMatchTable,
    ::testing::Values(
        TBestMatchCase{"EmptyListAnswersMinusOne", "a", {}, 0, -1},
        TBestMatchCase{"EmptyTextTakesTheFirstVisited", "", {"Beta", "Alpha"}, 0, 0},
        TBestMatchCase{"LongestCommonStart", "b", {"Apple", "Banana", "Cherry"}, 0, 1},
        TBestMatchCase{"LetterCaseIsIgnored", "bANa", {"bandana", "banana", "BAND"}, 0, 1},
        TBestMatchCase{"PartialRunCountsEqualCharacters", "Cl", {"Cat", "Clip"}, 0, 1},
        TBestMatchCase{"EqualNumberAddsOneAndGoesOn", "clip 1", {"Clip 10", "Clip 2", "Clip 1"}, 0, 2},
        TBestMatchCase{"LeadingZerosDoNotChangeTheValue", "clip 007", {"Clip 70", "Clip 7"}, 0, 1},
        TBestMatchCase{"FortyDigitNumberEqualWithLeadingZero", "take " + Forty,
                       {"take 1234567890123456789012345678901234567891", "take 0" + Forty, "take 99"}, 0, 1},
        TBestMatchCase{"FortyDigitNumbersDifferingAtTheEndDoNotMatch", "take " + Forty + " b",
                       {"take 1234567890123456789012345678901234567891 b", "take " + Forty + " a"}, 0, 1},
        TBestMatchCase{"NumbersBeyondSixtyFourBitsCompareExactly", "x 18446744073709551617",
                       {"x 1", "x 18446744073709551617", "x 18446744073709551616"}, 0, 1},
        TBestMatchCase{"SignIsPartOfTheValue", "x-5", {"x5", "x-05"}, 0, 1},
        TBestMatchCase{"NegativeZeroEqualsZero", "x-0 y", {"x1 y", "x0 y"}, 0, 1},
        TBestMatchCase{"TextAfterAnEqualNumberCounts", "a1b", {"a1c", "a1bc", "a2b"}, 0, 1},
        TBestMatchCase{"NumberMeetingTextComparesCharacters", "a1", {"ab", "a1"}, 0, 1},
        // All tie at "CLIP ": the one sorting last before the search text
        // wins over earlier ones.
        TBestMatchCase{"TieGoesToTheLastSortingBeforeTheText", "clip 25", {"Clip 1", "Clip 2", "Clip 30"}, 0, 1},
        // A first visited tie that sorts after the text is not replaced by
        // ones sorting before it, as they do not sort after it.
        TBestMatchCase{"TieKeepsTheFirstVisitedWhenNothingSortsAfterIt", "clip 25", {"Clip 3", "Clip 1", "Clip 2"},
                       0, 0},
        TBestMatchCase{"StartDecidesAmongEqualTexts", "alpha", {"Alpha", "Beta", "Alpha"}, 1, 2},
        TBestMatchCase{"StartZeroTakesTheFirstOfEqualTexts", "alpha", {"Alpha", "Beta", "Alpha"}, 0, 0},
        TBestMatchCase{"StartOutsideTheListBeginsAtTheFirst", "alpha", {"Alpha", "Beta", "Alpha"}, 7, 0},
        TBestMatchCase{"NonAsciiBytesCompareExactly", "é", {"e", "É", "é"}, 0, 2}),
    [](const ::testing::TestParamInfo<TBestMatchCase>& Info) { return std::string(Info.param.Name); });
