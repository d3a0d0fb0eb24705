#pragma once

#include "platform/text/font.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TTextAlign { Left, Center, Right };

struct TTextLayoutOptions {
    TTextAlign Align = TTextAlign::Left;
    // Lines longer than this (pixels) wrap at blanks, or between characters
    // where a word alone is longer; 0 wraps only at line breaks.
    double MaxWidth = 0;
    // Baseline distance as a multiple of the font's line height.
    double LineSpacing = 1;
};

// One shaped glyph placed in the layout's box (origin at the box's top-left).
struct TLayoutGlyph {
    uint32_t GlyphId = 0; // in its face; 0 is that face's .notdef (an empty box)
    int32_t Face = 0;     // 0 the font's own face, higher numbers its fallbacks
    double X = 0;         // the pen position on the baseline
    double Y = 0;
    double Advance = 0;
    uint32_t Cluster = 0; // byte offset of the glyph's first character in Text()
    int32_t Line = 0;
};

struct TTextLine {
    double Left = 0; // where the line's first glyph starts in the box
    double Top = 0;
    double Baseline = 0;
    double Width = 0; // without trailing blanks
    size_t FirstGlyph = 0;
    size_t GlyphCount = 0;
};

// UTF-8 text shaped with HarfBuzz and broken into lines: "\n", "\r\n" and
// "\r" end a line, long lines wrap when a width is given. Each run of one
// script and one face is shaped on its own, so ligatures, marks and joined
// scripts come out as the font designs them; a line whose runs all go right
// to left is laid out right to left.
//
//   TTextLayout Layout(TFont({"Arial", 20}), "First line\nSecond line",
//                      {TTextAlign::Center});
//   DrawText(Target, Layout, (Target.Width - Layout.Width()) / 2, 10, Paint);
class TTextLayout {
public:
    TTextLayout(const TFont& Font, std::string_view Utf8, const TTextLayoutOptions& Options = {});

    const TFont& Font() const { return FFont; }
    // The text as laid out: malformed UTF-8 replaced, tabs as blanks.
    const std::string& Text() const { return FText; }
    const TTextLayoutOptions& Options() const { return FOptions; }

    // The box: as wide as the widest line, as high as the lines.
    double Width() const { return FWidth; }
    double Height() const { return FHeight; }
    bool IsEmpty() const { return FGlyphs.empty(); }

    const std::vector<TTextLine>& Lines() const { return FLines; }
    const std::vector<TLayoutGlyph>& Glyphs() const { return FGlyphs; }

private:
    TFont FFont;
    std::string FText;
    TTextLayoutOptions FOptions;
    double FWidth = 0;
    double FHeight = 0;
    std::vector<TTextLine> FLines;
    std::vector<TLayoutGlyph> FGlyphs;
};

// The size of Utf8 laid out without wrapping.
struct TTextExtent {
    double Width = 0;
    double Height = 0;
};
TTextExtent MeasureText(const TFont& Font, std::string_view Utf8);
