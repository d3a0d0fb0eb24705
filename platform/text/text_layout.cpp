#include "platform/text/text_layout.h"

#include "platform/text/font_data.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <map>

namespace {

// A glyph of a shaped line before it is placed: X from the line's start.
struct TShapedGlyph {
    uint32_t GlyphId;
    int32_t Face;
    double X;
    double OffsetY;
    double Advance;
    uint32_t Cluster;
};

struct TShapedLine {
    std::vector<TShapedGlyph> Glyphs;
    double Width = 0;
};

struct TRun {
    size_t Start;
    size_t End;
    int32_t Face;
    hb_script_t Script;
};

bool IsNeutral(hb_script_t Script) {
    return Script == HB_SCRIPT_COMMON || Script == HB_SCRIPT_INHERITED ||
           Script == HB_SCRIPT_UNKNOWN || Script == HB_SCRIPT_INVALID;
}

bool IsBlank(char32_t Character) {
    return Character == ' ' || Character == 0x3000;
}

class TShaper {
public:
    TShaper(const TFontData& Font, const std::string& Text)
        : FFont(Font), FText(Text), FBuffer(hb_buffer_create()) {}
    ~TShaper() { hb_buffer_destroy(FBuffer); }
    TShaper(const TShaper&) = delete;
    TShaper& operator=(const TShaper&) = delete;

    // Shapes the bytes [Start, End) of the text as one line.
    TShapedLine Shape(size_t Start, size_t End);

private:
    std::vector<TRun> Segment(size_t Start, size_t End);
    void ShapeRun(const TRun& Run, std::vector<TShapedGlyph>& Out, bool& RightToLeft);

    const TFontData& FFont;
    const std::string& FText;
    hb_buffer_t* FBuffer;
};

std::vector<TRun> TShaper::Segment(size_t Start, size_t End) {
    std::vector<TRun> Runs;
    hb_unicode_funcs_t* Unicode = hb_unicode_funcs_get_default();
    for (size_t Offset = Start; Offset < End;) {
        size_t At = Offset;
        char32_t Character = NextUtf8(FText, Offset);
        hb_script_t Script = hb_unicode_script(Unicode, Character);
        bool Neutral = IsNeutral(Script);
        if (!Runs.empty()) {
            TRun& Current = Runs.back();
            // Blanks, punctuation and marks stay in the run around them when
            // its face can draw them.
            if (Neutral && FFont.FaceAt(Current.Face)->HasGlyph(Character)) {
                Current.End = Offset;
                continue;
            }
            int32_t Face = FFont.FaceFor(Character);
            bool SameScript = Neutral || IsNeutral(Current.Script) || Script == Current.Script;
            if (Face == Current.Face && SameScript) {
                if (IsNeutral(Current.Script))
                    Current.Script = Script;
                Current.End = Offset;
                continue;
            }
            Runs.push_back({At, Offset, Face, Script});
            continue;
        }
        Runs.push_back({At, Offset, FFont.FaceFor(Character), Script});
    }
    return Runs;
}

void TShaper::ShapeRun(const TRun& Run, std::vector<TShapedGlyph>& Out, bool& RightToLeft) {
    const auto& Face = FFont.FaceAt(Run.Face);
    hb_buffer_clear_contents(FBuffer);
    hb_buffer_add_utf8(FBuffer, FText.data(), int(FText.size()), unsigned(Run.Start),
                       int(Run.End - Run.Start));
    hb_script_t Script = IsNeutral(Run.Script) ? HB_SCRIPT_COMMON : Run.Script;
    hb_direction_t Direction = hb_script_get_horizontal_direction(Script);
    if (Direction == HB_DIRECTION_INVALID)
        Direction = HB_DIRECTION_LTR;
    hb_buffer_set_script(FBuffer, Script);
    hb_buffer_set_direction(FBuffer, Direction);
    hb_buffer_set_language(FBuffer, hb_language_get_default());
    hb_shape(Face->Shaper(), FBuffer, nullptr, 0);
    unsigned Count = 0;
    const hb_glyph_info_t* Infos = hb_buffer_get_glyph_infos(FBuffer, &Count);
    const hb_glyph_position_t* Positions = hb_buffer_get_glyph_positions(FBuffer, &Count);
    double Extra = Face->BoldExtra();
    double Pen = 0;
    for (unsigned I = 0; I < Count; ++I) {
        double Advance = Positions[I].x_advance / 64.0 + Extra;
        Out.push_back({Infos[I].codepoint, Run.Face, Pen + Positions[I].x_offset / 64.0,
                       Positions[I].y_offset / 64.0, Advance, Infos[I].cluster});
        Pen += Advance;
    }
    RightToLeft = Direction == HB_DIRECTION_RTL;
}

TShapedLine TShaper::Shape(size_t Start, size_t End) {
    std::vector<TRun> Runs = Segment(Start, End);
    std::vector<std::vector<TShapedGlyph>> Shaped(Runs.size());
    bool AllRightToLeft = !Runs.empty();
    bool AnyStrong = false;
    for (size_t I = 0; I < Runs.size(); ++I) {
        bool RightToLeft = false;
        ShapeRun(Runs[I], Shaped[I], RightToLeft);
        if (!IsNeutral(Runs[I].Script)) {
            AnyStrong = true;
            AllRightToLeft = AllRightToLeft && RightToLeft;
        }
    }
    if (AnyStrong && AllRightToLeft)
        std::reverse(Shaped.begin(), Shaped.end());
    TShapedLine Line;
    for (auto& Run : Shaped) {
        double RunStart = Line.Width;
        for (auto& Glyph : Run) {
            Glyph.X += RunStart;
            Line.Glyphs.push_back(Glyph);
            Line.Width += Glyph.Advance;
        }
    }
    return Line;
}

// Where a paragraph [Start, End) breaks into lines no wider than MaxWidth:
// after blanks where possible, between clusters where a word alone is wider.
std::vector<std::pair<size_t, size_t>> BreakParagraph(const std::string& Text, size_t Start,
                                                      size_t End, const TShapedLine& Whole,
                                                      double MaxWidth) {
    std::map<uint32_t, double> ClusterAdvance;
    for (const auto& Glyph : Whole.Glyphs)
        ClusterAdvance[Glyph.Cluster] += Glyph.Advance;
    std::vector<std::pair<size_t, size_t>> Lines;
    size_t LineStart = Start;
    double Width = 0;
    size_t Break = 0;        // after the last blank of the line, 0 for none
    double WidthAtBreak = 0; // of the line up to Break
    bool InBlanks = false;
    for (size_t Offset = Start; Offset < End;) {
        size_t At = Offset;
        char32_t Character = NextUtf8(Text, Offset);
        auto Found = ClusterAdvance.find(uint32_t(At));
        bool ClusterStart = Found != ClusterAdvance.end();
        double Advance = ClusterStart ? Found->second : 0;
        if (IsBlank(Character)) {
            Width += Advance;
            InBlanks = true;
            continue;
        }
        if (InBlanks) {
            Break = At;
            WidthAtBreak = Width;
            InBlanks = false;
        }
        if (Width + Advance > MaxWidth && ClusterStart && At > LineStart) {
            if (Break > LineStart) {
                Lines.emplace_back(LineStart, Break);
                LineStart = Break;
                Width -= WidthAtBreak;
            } else {
                Lines.emplace_back(LineStart, At);
                LineStart = At;
                Width = 0;
            }
            Break = 0;
        }
        Width += Advance;
    }
    Lines.emplace_back(LineStart, End);
    return Lines;
}

size_t TrimTrailingBlanks(const std::string& Text, size_t Start, size_t End) {
    while (End > Start && (Text[End - 1] == ' '))
        --End;
    // U+3000 (ideographic space) is three bytes.
    while (End >= Start + 3 && Text.compare(End - 3, 3, "\xE3\x80\x80") == 0)
        End -= 3;
    return End;
}

} // namespace

TTextLayout::TTextLayout(const TFont& Font, std::string_view Utf8,
                         const TTextLayoutOptions& Options)
    : FFont(Font), FText(SanitizeUtf8(Utf8)), FOptions(Options) {
    std::replace(FText.begin(), FText.end(), '\t', ' ');
    const TFontMetrics& Metrics = Font.Metrics();
    double Step = Metrics.LineHeight * std::max(Options.LineSpacing, 0.0);

    std::vector<std::pair<size_t, size_t>> Paragraphs;
    for (size_t Start = 0;;) {
        size_t End = FText.find_first_of("\r\n", Start);
        if (End == std::string::npos) {
            Paragraphs.emplace_back(Start, FText.size());
            break;
        }
        Paragraphs.emplace_back(Start, End);
        Start = End + (FText.compare(End, 2, "\r\n") == 0 ? 2 : 1);
    }
    if (FText.empty())
        Paragraphs.clear();

    std::lock_guard Guard(TextLibraryLock());
    TShaper Shaper(Font.Data(), FText);
    std::vector<TShapedLine> Shaped;
    for (auto [Start, End] : Paragraphs) {
        if (Options.MaxWidth <= 0) {
            Shaped.push_back(Shaper.Shape(Start, TrimTrailingBlanks(FText, Start, End)));
            continue;
        }
        TShapedLine Whole = Shaper.Shape(Start, End);
        if (Whole.Width <= Options.MaxWidth) {
            Shaped.push_back(Shaper.Shape(Start, TrimTrailingBlanks(FText, Start, End)));
            continue;
        }
        for (auto [LineStart, LineEnd] : BreakParagraph(FText, Start, End, Whole, Options.MaxWidth))
            Shaped.push_back(
                Shaper.Shape(LineStart, TrimTrailingBlanks(FText, LineStart, LineEnd)));
    }

    for (const auto& Line : Shaped)
        FWidth = std::max(FWidth, Line.Width);
    for (size_t I = 0; I < Shaped.size(); ++I) {
        TTextLine Line;
        Line.Top = double(I) * Step;
        Line.Baseline = Line.Top + Metrics.Ascent;
        Line.Width = Shaped[I].Width;
        if (Options.Align == TTextAlign::Center)
            Line.Left = (FWidth - Line.Width) / 2;
        else if (Options.Align == TTextAlign::Right)
            Line.Left = FWidth - Line.Width;
        Line.FirstGlyph = FGlyphs.size();
        Line.GlyphCount = Shaped[I].Glyphs.size();
        for (const auto& G : Shaped[I].Glyphs)
            FGlyphs.push_back({G.GlyphId, G.Face, Line.Left + G.X, Line.Baseline - G.OffsetY,
                               G.Advance, G.Cluster, int32_t(I)});
        FLines.push_back(Line);
    }
    if (!FLines.empty())
        FHeight = double(FLines.size() - 1) * Step + Metrics.LineHeight;
}

TTextExtent MeasureText(const TFont& Font, std::string_view Utf8) {
    TTextLayout Layout(Font, Utf8);
    return {Layout.Width(), Layout.Height()};
}
