#pragma once

// Internal to the text layer: FreeType, HarfBuzz and fontconfig headers and
// what the layer's .cpp files share. No public header includes this file.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_STROKER_H
#include <fontconfig/fontconfig.h>
#include <hb-ft.h>
#include <hb.h>

#include "platform/text/font.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

// FreeType faces are not safe for use from two threads at once, and the
// caches below are shared: every call into the three libraries and every
// cache access holds this lock. It is recursive because releasing the last
// reference to a face (which closes it) may happen while it is held.
std::recursive_mutex& TextLibraryLock();
// The process's FreeType library; call with the lock held.
FT_Library TextFreeType();
// The process's fontconfig configuration; call with the lock held.
FcConfig* TextFontConfig();

// A coverage mask of one glyph at one sub-pixel phase, filled or stroked.
struct TGlyphImage {
    int32_t Left = 0; // from the pen position to the mask's left column
    int32_t Top = 0;  // from the baseline to the mask's top row (negative: above)
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Coverage; // Width x Height, 0..255
};

// One face file opened at one size, with what the style asks to synthesise.
class TFontFace {
public:
    TFontFace(const std::string& FileName, int32_t Index, double PixelSize, bool SyntheticBold,
              bool SyntheticItalic);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    FT_Face Face() const { return FFace; }
    hb_font_t* Shaper() const { return FShaper; }
    double PixelSize() const { return FPixelSize; }
    bool SyntheticBold() const { return FSyntheticBold; }
    bool SyntheticItalic() const { return FSyntheticItalic; }
    // What emboldening adds to every advance, in pixels.
    double BoldExtra() const { return FSyntheticBold ? double(FBoldStrength) / 64.0 : 0; }
    const std::string& FamilyName() const { return FFamilyName; }
    const std::string& FileName() const { return FFileName; }
    bool HasGlyph(char32_t Character) const;

    // The mask of Glyph with the pen FractionX (0..3, quarter pixels)
    // right of a pixel edge; EdgeRadius (1/64 pixel) above 0 gives the
    // glyph's outline stroked that wide instead of its fill. Call with the
    // lock held; the image stays valid as long as the caller keeps it.
    std::shared_ptr<const TGlyphImage> Glyph(uint32_t GlyphId, int32_t FractionX,
                                             int32_t EdgeRadius);

private:
    std::shared_ptr<const TGlyphImage> Render(uint32_t GlyphId, int32_t FractionX,
                                              int32_t EdgeRadius);

    FT_Face FFace = nullptr;
    hb_font_t* FShaper = nullptr;
    FT_Stroker FStroker = nullptr;
    double FPixelSize = 0;
    bool FSyntheticBold = false;
    bool FSyntheticItalic = false;
    FT_Pos FBoldStrength = 0;
    std::string FFamilyName;
    std::string FFileName;
    std::map<std::tuple<uint32_t, int32_t, int32_t>, std::shared_ptr<const TGlyphImage>> FGlyphs;
};

// Opens a face, or shares one already open with the same file, size and
// synthesis. Call with the lock held; raises ETextError when FreeType
// cannot read the file.
std::shared_ptr<TFontFace> OpenFontFace(const std::string& FileName, int32_t Index,
                                        double PixelSize, bool SyntheticBold, bool SyntheticItalic);

// A candidate face for characters the main face lacks.
struct TFallbackCandidate {
    std::string FileName;
    int32_t Index = 0;
    bool SyntheticBold = false;
    bool SyntheticItalic = false;
    FcCharSet* Characters = nullptr; // owned
};

struct TFontData {
    TFontRequest Request;
    TFontMetrics Metrics;
    std::shared_ptr<TFontFace> Main;

    // Faces in the order layouts number them: 0 is Main, fallbacks are
    // added as characters need them. Guarded by the library lock.
    mutable std::vector<std::shared_ptr<TFontFace>> Faces;
    mutable std::vector<TFallbackCandidate> Candidates;
    mutable bool CandidatesLoaded = false;
    mutable std::map<char32_t, int32_t> FaceOfCharacter;

    TFontData() = default;
    ~TFontData();
    TFontData(const TFontData&) = delete;
    TFontData& operator=(const TFontData&) = delete;

    // The face (index into Faces) that draws Character: Main when it has
    // the glyph, else the first fallback that has it, else Main (which
    // shows its .notdef). Call with the lock held.
    int32_t FaceFor(char32_t Character) const;
    const std::shared_ptr<TFontFace>& FaceAt(int32_t Index) const {
        return Faces.at(size_t(Index));
    }
};
