#pragma once

#include "platform/forward.h"

#include <cstdint>
#include <memory>
#include <string>

// What a caller asks for: a family as the user names it, an em size in
// pixels and a style.
struct TFontRequest {
    std::string Family = "Sans";
    double PixelSize = 16;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

// Vertical measures of a font at its size, in pixels.
struct TFontMetrics {
    double Ascent = 0;             // from the baseline up
    double Descent = 0;            // from the baseline down, positive
    double LineHeight = 0;         // from one baseline to the next
    double UnderlinePosition = 0;  // centre of the underline below the baseline, positive
    double UnderlineThickness = 1; // at least one pixel
};

// Horizontal measures of one character, in pixels: A from the pen to the
// ink's left edge, B the ink's width, C from the ink's right edge to the
// next pen position; A + B + C is the advance.
struct TCharWidths {
    double A = 0;
    double B = 0;
    double C = 0;
    double Advance() const { return A + B + C; }
};

// A font resolved through fontconfig and opened with FreeType: a cheap,
// shareable handle. A family that is not installed resolves to what the
// system's configuration puts in its place ("Arial" to a metric-compatible
// face such as Liberation Sans, an unknown name to the default sans face);
// a style the face lacks is synthesised (slanted or emboldened outlines).
// Characters the face has no glyph for are drawn from fallback faces that
// fontconfig orders by likeness, so that Greek, Cyrillic or Hebrew text
// shows in a Latin face's place.
//
//   TFont Font({.Family = "Arial", .PixelSize = 24, .Bold = true});
//   TTextLayout Layout(Font, "Hello");
//
// Fonts may be made and used on any thread.
class TFont {
public:
    // Raises ETextError only when no font at all is installed.
    explicit TFont(const TFontRequest& Request);

    const TFontRequest& Request() const;
    // The family of the face actually used, e.g. "Liberation Sans".
    const std::string& FamilyName() const;
    const std::string& FileName() const;
    bool IsSyntheticBold() const;
    bool IsSyntheticItalic() const;
    const TFontMetrics& Metrics() const;
    // The same face and style at another size.
    TFont WithPixelSize(double PixelSize) const;
    // Whether the resolved face itself (not a fallback) has a glyph for Character.
    bool HasGlyph(char32_t Character) const;
    // The widths of Character as drawn alone, from whichever face draws it.
    TCharWidths CharWidths(char32_t Character) const;
    // Whether the face is an outline (scalable) face rather than a bitmap one.
    bool IsScalable() const;

    // For the text layer's own files.
    const TFontData& Data() const { return *F; }

private:
    explicit TFont(std::shared_ptr<const TFontData> Data) : F(std::move(Data)) {}
    std::shared_ptr<const TFontData> F;
};
