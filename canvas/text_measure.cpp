#include "canvas/text_attr.h"

#include "canvas/canvas_font.h"
#include "core/numbers.h"
#include "platform/text/utf8.h"

#include <algorithm>

namespace {

// The font a layout in Mode measures with, and whether it is oversampled.
const TCanvasFont& LayoutFont(const TTextAttr& Attr, TTextMode Mode, bool& AntiAliased) {
    const TCanvasFont& Plain = CanvasFont(Attr, 1);
    AntiAliased = Mode == TTextMode::Oversampled && Plain.TrueType;
    return AntiAliased ? CanvasFont(Attr, 8) : Plain;
}

} // namespace

void MeasureText(std::string_view Text, const TTextAttr& Attr, TTextMode Mode, TTextInfo& Info) {
    Info = {};
    const TCanvasFont& Font = LayoutFont(Attr, Mode, Info.AntiAliased);
    for (size_t Offset = 0; Offset < Text.size();)
        Info.Characters.push_back(NextUtf8(Text, Offset));
    Info.CharCount = int32_t(Info.Characters.size());
    Info.Positions.resize(Info.Characters.size());
    Info.FontHeight = Font.FontHeight;
    Info.LineHeight = Font.FontHeight + Font.ExternalLeading;

    struct TLine {
        int32_t First, End; // characters
        int32_t Advance;
    };
    std::vector<TLine> Lines;
    int32_t TabWidth = 8 * Font.AverageWidth;
    int32_t X = 0, Y = 0, LineStart = 0;
    for (int32_t I = 0; I < Info.CharCount; ++I) {
        char32_t Character = Info.Characters[size_t(I)];
        Info.Positions[size_t(I)] = {X, Y};
        if (Character == '\t') {
            // Without an average width there are no tab stops: the TAB
            // stays where it is rather than looping for ever.
            if (TabWidth > 0)
                X = (X / TabWidth + 1) * TabWidth;
        } else if (Character == '\n') {
        } else if (Character == '\r') {
            Lines.push_back({LineStart, I + 1, X});
            LineStart = I + 1;
            X = 0;
            Y += Info.LineHeight;
        } else {
            X += Font.Widths(Character).Advance;
        }
    }
    Lines.push_back({LineStart, Info.CharCount, X});
    Info.LineCount = int32_t(Lines.size());
    Info.TotalHeight = Info.LineHeight * Info.LineCount;
    for (const TLine& Line : Lines)
        Info.Width = std::max(Info.Width, Line.Advance);

    for (const TLine& Line : Lines) {
        int32_t Diff = Info.Width - Line.Advance;
        if (Diff == 0 || Attr.Align == TTextAttrAlign::Left)
            continue;
        if (Attr.Align == TTextAttrAlign::Justify) {
            int32_t Spaces = 0;
            for (int32_t I = Line.First; I < Line.End; ++I)
                Spaces += Info.Characters[size_t(I)] == ' ';
            if (Spaces == 0)
                continue;
            int32_t Shift = 0, Space = 0;
            for (int32_t I = Line.First; I < Line.End; ++I) {
                if (Info.Characters[size_t(I)] == ' ') {
                    Shift += MulDivRound(Space + 1, Diff, Spaces) - MulDivRound(Space, Diff, Spaces);
                    ++Space;
                }
                Info.Positions[size_t(I)].X += Shift;
            }
            continue;
        }
        int32_t Shift = Attr.Align == TTextAttrAlign::Center ? Diff / 2 : Diff;
        for (int32_t I = Line.First; I < Line.End; ++I)
            Info.Positions[size_t(I)].X += Shift;
    }

    for (int32_t I = 0; I < Info.CharCount; ++I) {
        char32_t Character = Info.Characters[size_t(I)];
        if (Character == '\t' || Character == '\n' || Character == '\r')
            continue;
        const TCanvasFont::TWidths& W = Font.Widths(Character);
        TPoint P = Info.Positions[size_t(I)];
        Info.InkRect = Info.InkRect.United(
            {P.X + std::min(W.A, 0), P.Y, P.X + W.Advance + std::max(W.C, 0), P.Y + Font.FontHeight});
    }
}

TRect TextExtent(std::string_view Text, const TTextAttr& Attr) {
    TTextInfo Info;
    MeasureText(Text, Attr, TTextMode::Plain, Info);
    return Info.InkRect;
}

TSize TextExtentOfWidest(int32_t Count, const TTextAttr& Attr) {
    const TCanvasFont& Font = CanvasFont(Attr, 1);
    int32_t Widest = 0;
    for (char32_t C : std::u32string_view(U"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))
        Widest = std::max(Widest, Font.Widths(C).Advance);
    return {Widest * std::max(Count, 0), Font.FontHeight};
}

std::vector<TRect> TextExtentOfIntervals(std::string_view Text, const TTextAttr& Attr,
                                         const TTextCharIntervals& Intervals) {
    TTextInfo Info;
    MeasureText(Text, Attr, TTextMode::Plain, Info);
    const TCanvasFont& Font = CanvasFont(Attr, 1);
    std::vector<TRect> Rects;
    for (auto [First, Last] : Intervals) {
        First = std::clamp(First, 0, Info.CharCount);
        Last = std::clamp(Last, -1, Info.CharCount - 1);
        if (Info.CharCount == 0 || Last < First) {
            Rects.push_back({});
            continue;
        }
        TPoint From = Info.Positions[size_t(First)], To = Info.Positions[size_t(Last)];
        int32_t End = To.X + Font.Widths(Info.Characters[size_t(Last)]).Advance;
        Rects.push_back({From.X, From.Y, std::max(End, From.X), To.Y + Info.FontHeight});
    }
    return Rects;
}
