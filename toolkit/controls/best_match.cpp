#include "toolkit/controls/best_match.h"

#include "core/text.h"

#include <algorithm>

namespace {

// Whether two numeric runs stand for the same value: same sign (zero has
// none) and the same digits once leading zeros are gone.
bool SameNumber(std::string_view A, std::string_view B) {
    auto Split = [](std::string_view Run, bool& Negative) {
        Negative = !Run.empty() && Run[0] == '-';
        if (!Run.empty() && (Run[0] == '-' || Run[0] == '+'))
            Run.remove_prefix(1);
        while (Run.size() > 1 && Run[0] == '0')
            Run.remove_prefix(1);
        if (Run == "0")
            Negative = false;
        return Run;
    };
    bool NegativeA = false, NegativeB = false;
    std::string_view DigitsA = Split(A, NegativeA), DigitsB = Split(B, NegativeB);
    return NegativeA == NegativeB && DigitsA == DigitsB;
}

int32_t Score(const std::vector<TNaturalRun>& Search, const std::vector<TNaturalRun>& Candidate) {
    int32_t Count = 0;
    size_t Pairs = std::min(Search.size(), Candidate.size());
    for (size_t I = 0; I < Pairs; ++I) {
        const TNaturalRun& A = Search[I];
        const TNaturalRun& B = Candidate[I];
        if (A.IsNumeric && B.IsNumeric) {
            if (!SameNumber(A.Text, B.Text))
                break;
            ++Count;
            continue;
        }
        size_t Common = 0;
        while (Common < A.Text.size() && Common < B.Text.size() && A.Text[Common] == B.Text[Common])
            ++Common;
        Count += int32_t(Common);
        if (A.Text != B.Text)
            break;
    }
    return Count;
}

} // namespace

int32_t BestMatch(std::string_view Text, const std::vector<std::string>& Texts, int32_t Start) {
    auto Count = int32_t(Texts.size());
    if (Count == 0)
        return -1;
    if (Start < 0 || Start >= Count)
        Start = 0;
    std::string Upper = UpperCaseAscii(Text);
    std::vector<TNaturalRun> SearchRuns = SplitNaturalRuns(Upper);
    int32_t Best = -1, BestScore = -1;
    for (int32_t K = 0; K < Count; ++K) {
        int32_t Index = (Start + K) % Count;
        const std::string& Candidate = Texts[size_t(Index)];
        std::string UpperCandidate = UpperCaseAscii(Candidate);
        int32_t CandidateScore = Score(SearchRuns, SplitNaturalRuns(UpperCandidate));
        if (CandidateScore > BestScore) {
            Best = Index;
            BestScore = CandidateScore;
        } else if (CandidateScore == BestScore && NaturalCompare(Candidate, Upper) < 0 &&
                   NaturalCompare(Candidate, Texts[size_t(Best)]) > 0) {
            Best = Index;
        }
    }
    return Best;
}
