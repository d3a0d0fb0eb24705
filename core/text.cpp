#include "core/text.h"

#include <algorithm>
#include <vector>

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    // Names are mostly written as they are looked up: one block compare.
    if (A == B)
        return true;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I]))
            return false;
    return true;
}

int CompareTextAscii(std::string_view A, std::string_view B) {
    size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        auto CA = static_cast<unsigned char>(UpperAscii(A[I]));
        auto CB = static_cast<unsigned char>(UpperAscii(B[I]));
        if (CA != CB)
            return CA < CB ? -1 : 1;
    }
    if (A.size() == B.size())
        return 0;
    return A.size() < B.size() ? -1 : 1;
}

bool StartsWithText(std::string_view Text, std::string_view Prefix) {
    return Text.size() >= Prefix.size() && SameTextAscii(Text.substr(0, Prefix.size()), Prefix);
}

std::string UpperCaseAscii(std::string_view Text) {
    std::string Result(Text);
    for (char& C : Result)
        C = UpperAscii(C);
    return Result;
}

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

struct TRun {
    std::string_view Text;
    bool Numeric = false;
};

// Splits text into numeric runs (digits with an optional leading sign) and
// the text between them.
std::vector<TRun> SplitRuns(std::string_view Text) {
    std::vector<TRun> Runs;
    size_t I = 0;
    while (I < Text.size()) {
        size_t Start = I;
        bool SignedNumber = (Text[I] == '-' || Text[I] == '+') && I + 1 < Text.size() &&
                            IsDigit(Text[I + 1]);
        if (IsDigit(Text[I]) || SignedNumber) {
            ++I;
            while (I < Text.size() && IsDigit(Text[I]))
                ++I;
            Runs.push_back({Text.substr(Start, I - Start), true});
            continue;
        }
        while (I < Text.size() && !IsDigit(Text[I]) &&
               !((Text[I] == '-' || Text[I] == '+') && I + 1 < Text.size() &&
                 IsDigit(Text[I + 1])))
            ++I;
        Runs.push_back({Text.substr(Start, I - Start), false});
    }
    return Runs;
}

// Compares two numeric runs by value without converting, so runs of any
// length compare correctly.
int CompareNumbers(std::string_view A, std::string_view B) {
    bool NegA = !A.empty() && A[0] == '-';
    bool NegB = !B.empty() && B[0] == '-';
    auto Digits = [](std::string_view S) {
        if (!S.empty() && (S[0] == '-' || S[0] == '+'))
            S.remove_prefix(1);
        while (S.size() > 1 && S[0] == '0')
            S.remove_prefix(1);
        return S;
    };
    std::string_view DA = Digits(A), DB = Digits(B);
    bool ZeroA = DA == "0", ZeroB = DB == "0";
    if (ZeroA)
        NegA = false;
    if (ZeroB)
        NegB = false;
    if (NegA != NegB)
        return NegA ? -1 : 1;
    int Magnitude = DA.size() != DB.size() ? (DA.size() < DB.size() ? -1 : 1) : DA.compare(DB);
    Magnitude = Magnitude < 0 ? -1 : (Magnitude > 0 ? 1 : 0);
    return NegA ? -Magnitude : Magnitude;
}

// A numeric run meets a text run by its digits: compared with its sign, a
// text run could fall between "+19" and "0" although 0 < 19, and the order
// would no longer be transitive (which breaks sorting).
std::string_view WithoutSign(const TRun& Run) {
    std::string_view Text = Run.Text;
    if (Run.Numeric && (Text[0] == '-' || Text[0] == '+'))
        Text.remove_prefix(1);
    return Text;
}

} // namespace

std::vector<TNaturalRun> SplitNaturalRuns(std::string_view Text) {
    std::vector<TNaturalRun> Result;
    for (const TRun& Run : SplitRuns(Text))
        Result.push_back({Run.Text, Run.Numeric});
    return Result;
}

int NaturalCompare(std::string_view A, std::string_view B) {
    std::vector<TRun> RA = SplitRuns(A), RB = SplitRuns(B);
    size_t N = std::min(RA.size(), RB.size());
    for (size_t I = 0; I < N; ++I) {
        int R = (RA[I].Numeric && RB[I].Numeric)
                    ? CompareNumbers(RA[I].Text, RB[I].Text)
                    : CompareTextAscii(WithoutSign(RA[I]), WithoutSign(RB[I]));
        if (R != 0)
            return R;
    }
    if (RA.size() != RB.size())
        return RA.size() < RB.size() ? -1 : 1;
    int R = A.compare(B);
    return R < 0 ? -1 : (R > 0 ? 1 : 0);
}

std::string FormatMessageText(std::string_view Template, std::string_view Argument) {
    size_t At = Template.find('%');
    if (At == std::string_view::npos)
        return std::string(Template);
    std::string_view Left = Template.substr(0, At);
    std::string_view Right = Template.substr(At + 1);
    if (!Argument.empty())
        return std::string(Left) + std::string(Argument) + std::string(Right);

    auto TrimmedLeft = [](char C) {
        return C == ' ' || C == '\'' || C == '"' || C == '-' || C == ':';
    };
    auto TrimmedRight = [](char C) { return C == ' ' || C == '\'' || C == '"'; };
    size_t LeftLength = Left.size();
    while (LeftLength > 0 && TrimmedLeft(Left[LeftLength - 1]))
        --LeftLength;
    size_t RightStart = 0;
    while (RightStart < Right.size() && TrimmedRight(Right[RightStart]))
        ++RightStart;
    bool Removed = LeftLength != Left.size() || RightStart != 0;
    Left = Left.substr(0, LeftLength);
    Right = Right.substr(RightStart);

    bool Join = Removed && !Left.empty() && !Right.empty();
    if (Join) {
        char L = Left.back(), R = Right.front();
        if (L == '*' || L == '+' || L == '-' || L == '/')
            Join = false;
        if ((R >= '*' && R <= '/') || R == ';')
            Join = false;
    }
    return std::string(Left) + (Join ? " " : "") + std::string(Right);
}
