#include "platform/text/font.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/text/font_data.h"
#include "platform/text/text_error.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Glyph masks kept per face before the cache starts again; a title uses a
// few dozen, a long text in many sizes a few thousand.
constexpr size_t MaxCachedGlyphs = 4096;
// Resolved fonts kept for reuse: fontconfig matching costs more than a layout.
constexpr size_t MaxCachedFonts = 64;

// FreeType's own slant for synthetic italics (about 12 degrees).
constexpr FT_Fixed ObliqueShear = 0x0366A;

struct TFaceKey {
    std::string FileName;
    int32_t Index;
    int64_t Size64;
    bool Bold;
    bool Italic;
    bool operator<(const TFaceKey& Other) const {
        return std::tie(FileName, Index, Size64, Bold, Italic) <
               std::tie(Other.FileName, Other.Index, Other.Size64, Other.Bold, Other.Italic);
    }
};

struct TFontKey {
    std::string Family;
    int64_t Size64;
    bool Bold, Italic, Underline;
    bool operator<(const TFontKey& Other) const {
        return std::tie(Family, Size64, Bold, Italic, Underline) <
               std::tie(Other.Family, Other.Size64, Other.Bold, Other.Italic, Other.Underline);
    }
};

std::map<TFaceKey, std::weak_ptr<TFontFace>>& OpenFaces() {
    static auto* Faces = new std::map<TFaceKey, std::weak_ptr<TFontFace>>;
    return *Faces;
}

std::map<TFontKey, std::shared_ptr<const TFontData>>& ResolvedFonts() {
    static auto* Fonts = new std::map<TFontKey, std::shared_ptr<const TFontData>>;
    return *Fonts;
}

int64_t Size64(double PixelSize) {
    return std::llround(std::clamp(PixelSize, 1.0, 4096.0) * 64.0);
}

double Pixels(FT_Long FontUnits, FT_Fixed Scale) {
    return double(FT_MulFix(FontUnits, Scale)) / 64.0;
}

std::string PatternString(FcPattern* Pattern, const char* Object) {
    FcChar8* Value = nullptr;
    if (FcPatternGetString(Pattern, Object, 0, &Value) != FcResultMatch || !Value)
        return {};
    return reinterpret_cast<const char*>(Value);
}

int PatternInteger(FcPattern* Pattern, const char* Object, int Default) {
    int Value = Default;
    if (FcPatternGetInteger(Pattern, Object, 0, &Value) != FcResultMatch)
        return Default;
    return Value;
}

bool NeedsSyntheticBold(const TFontRequest& Request, FcPattern* Face) {
    FcBool Embolden = FcFalse;
    if (FcPatternGetBool(Face, FC_EMBOLDEN, 0, &Embolden) == FcResultMatch && Embolden)
        return true;
    return Request.Bold && PatternInteger(Face, FC_WEIGHT, FC_WEIGHT_REGULAR) < FC_WEIGHT_DEMIBOLD;
}

bool NeedsSyntheticItalic(const TFontRequest& Request, FcPattern* Face) {
    return Request.Italic && PatternInteger(Face, FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN;
}

// The request as fontconfig sees it, with the configuration's substitutions
// ("Arial" → its metric-compatible aliases) applied. The caller destroys it.
FcPattern* MakeQuery(const TFontRequest& Request) {
    FcPattern* Pattern = FcPatternCreate();
    if (!Request.Family.empty())
        FcPatternAddString(Pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(Request.Family.c_str()));
    FcPatternAddInteger(Pattern, FC_WEIGHT, Request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(Pattern, FC_SLANT, Request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(Pattern, FC_SCALABLE, FcTrue);
    FcPatternAddDouble(Pattern, FC_PIXEL_SIZE, double(Size64(Request.PixelSize)) / 64.0);
    FcConfigSubstitute(TextFontConfig(), Pattern, FcMatchPattern);
    FcDefaultSubstitute(Pattern);
    return Pattern;
}

[[noreturn]] void RaiseNoFont() {
    throw ETextError(GetText(TTextSlot::NoFontInstalled));
}

std::shared_ptr<const TFontData> Resolve(const TFontRequest& Requested) {
    TFontRequest Request = Requested;
    Request.PixelSize = double(Size64(Request.PixelSize)) / 64.0;
    FcPattern* Query = MakeQuery(Request);
    FcResult Result = FcResultNoMatch;
    FcPattern* Match = FcFontMatch(TextFontConfig(), Query, &Result);
    FcPatternDestroy(Query);
    if (!Match)
        RaiseNoFont();
    std::string FileName = PatternString(Match, FC_FILE);
    int32_t Index = PatternInteger(Match, FC_INDEX, 0);
    bool Bold = NeedsSyntheticBold(Request, Match);
    bool Italic = NeedsSyntheticItalic(Request, Match);
    FcPatternDestroy(Match);
    if (FileName.empty())
        RaiseNoFont();

    auto Data = std::make_shared<TFontData>();
    Data->Request = Request;
    Data->Main = OpenFontFace(FileName, Index, Request.PixelSize, Bold, Italic);
    Data->Faces.push_back(Data->Main);

    FT_Face Face = Data->Main->Face();
    TFontMetrics& M = Data->Metrics;
    if (FT_IS_SCALABLE(Face)) {
        FT_Fixed Scale = Face->size->metrics.y_scale;
        M.Ascent = Pixels(Face->ascender, Scale);
        M.Descent = -Pixels(Face->descender, Scale);
        M.LineHeight = Pixels(Face->height, Scale);
        M.UnderlinePosition = -Pixels(Face->underline_position, Scale);
        M.UnderlineThickness = Pixels(Face->underline_thickness, Scale);
    } else {
        M.Ascent = double(Face->size->metrics.ascender) / 64.0;
        M.Descent = -double(Face->size->metrics.descender) / 64.0;
        M.LineHeight = double(Face->size->metrics.height) / 64.0;
    }
    if (M.Ascent <= 0)
        M.Ascent = Request.PixelSize * 0.8;
    if (M.Descent < 0)
        M.Descent = 0;
    M.LineHeight = std::max(M.LineHeight, M.Ascent + M.Descent);
    if (M.UnderlinePosition <= 0)
        M.UnderlinePosition = Request.PixelSize * 0.1;
    M.UnderlineThickness = std::max(M.UnderlineThickness, 1.0);
    return Data;
}

} // namespace

std::recursive_mutex& TextLibraryLock() {
    static auto* Lock = new std::recursive_mutex;
    return *Lock;
}

FT_Library TextFreeType() {
    static FT_Library Library = [] {
        FT_Library Made = nullptr;
        if (FT_Init_FreeType(&Made) != 0)
            RaiseNoFont();
        return Made;
    }();
    return Library;
}

namespace {

FcConfig* OwnFontConfig = nullptr;

// The configuration is released when the process ends: fontconfig keeps
// some of what it loads only through it, which leak checkers would report.
void ReleaseFontConfig() {
    std::lock_guard Guard(TextLibraryLock());
    if (OwnFontConfig)
        FcConfigDestroy(OwnFontConfig);
    OwnFontConfig = nullptr;
}

} // namespace

FcConfig* TextFontConfig() {
    static const bool Started = [] {
        OwnFontConfig = FcInitLoadConfigAndFonts();
        if (OwnFontConfig)
            std::atexit(ReleaseFontConfig);
        return true;
    }();
    (void)Started;
    if (!OwnFontConfig)
        RaiseNoFont();
    return OwnFontConfig;
}

TFontFace::TFontFace(const std::string& FileName, int32_t Index, double PixelSize,
                     bool SyntheticBold, bool SyntheticItalic)
    : FPixelSize(PixelSize), FSyntheticBold(SyntheticBold), FSyntheticItalic(SyntheticItalic),
      FFileName(FileName) {
    if (FT_New_Face(TextFreeType(), FileName.c_str(), Index, &FFace) != 0 || !FFace) {
        FFace = nullptr;
        throw ETextError(FormatMessageText(GetText(TTextSlot::CannotOpenFont), FileName));
    }
    if (FT_IS_SCALABLE(FFace))
        FT_Set_Char_Size(FFace, 0, FT_F26Dot6(Size64(PixelSize)), 72, 72);
    else if (FFace->num_fixed_sizes > 0)
        FT_Select_Size(FFace, 0);
    FFamilyName = FFace->family_name ? FFace->family_name : "";
    if (FSyntheticBold && FT_IS_SCALABLE(FFace))
        FBoldStrength = FT_MulFix(FFace->units_per_EM, FFace->size->metrics.y_scale) / 24;
    else
        FSyntheticBold = false;
    FShaper = hb_ft_font_create_referenced(FFace);
    // Unhinted advances: titles move and scale, and hinted widths would make
    // the same text a different width at every size.
    hb_ft_font_set_load_flags(FShaper, FT_LOAD_NO_HINTING);
}

TFontFace::~TFontFace() {
    std::lock_guard Guard(TextLibraryLock());
    FGlyphs.clear();
    if (FStroker)
        FT_Stroker_Done(FStroker);
    if (FShaper)
        hb_font_destroy(FShaper);
    if (FFace)
        FT_Done_Face(FFace);
}

bool TFontFace::HasGlyph(char32_t Character) const {
    return FT_Get_Char_Index(FFace, FT_ULong(Character)) != 0;
}

std::shared_ptr<const TGlyphImage> TFontFace::Glyph(uint32_t GlyphId, int32_t FractionX,
                                                    int32_t EdgeRadius) {
    auto Key = std::make_tuple(GlyphId, FractionX, EdgeRadius);
    auto It = FGlyphs.find(Key);
    if (It != FGlyphs.end())
        return It->second;
    if (FGlyphs.size() >= MaxCachedGlyphs)
        FGlyphs.clear();
    auto Image = Render(GlyphId, FractionX, EdgeRadius);
    FGlyphs.emplace(Key, Image);
    return Image;
}

std::shared_ptr<const TGlyphImage> TFontFace::Render(uint32_t GlyphId, int32_t FractionX,
                                                     int32_t EdgeRadius) {
    auto Image = std::make_shared<TGlyphImage>();
    FT_Int32 Flags =
        FT_IS_SCALABLE(FFace) ? FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING : FT_LOAD_DEFAULT;
    if (FT_Load_Glyph(FFace, GlyphId, Flags) != 0)
        return Image;
    FT_GlyphSlot Slot = FFace->glyph;
    if (Slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (FSyntheticItalic) {
            FT_Matrix Shear{0x10000, ObliqueShear, 0, 0x10000};
            FT_Outline_Transform(&Slot->outline, &Shear);
        }
        if (FSyntheticBold)
            FT_Outline_Embolden(&Slot->outline, FBoldStrength);
    }
    FT_Glyph Glyph = nullptr;
    if (FT_Get_Glyph(Slot, &Glyph) != 0)
        return Image;
    if (EdgeRadius > 0 && Glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (!FStroker && FT_Stroker_New(TextFreeType(), &FStroker) != 0)
            FStroker = nullptr;
        if (FStroker) {
            FT_Stroker_Set(FStroker, EdgeRadius, FT_STROKER_LINECAP_ROUND,
                           FT_STROKER_LINEJOIN_ROUND, 0);
            // The outside border filled is the glyph grown by the radius:
            // drawn beneath the fill it shows as an even edge.
            FT_Glyph_StrokeBorder(&Glyph, FStroker, 0, 1);
        }
    }
    FT_Vector Origin{FT_Pos(FractionX) * 16, 0};
    if (Glyph->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Glyph_To_Bitmap(&Glyph, FT_RENDER_MODE_NORMAL, &Origin, 1) != 0) {
        FT_Done_Glyph(Glyph);
        return Image;
    }
    auto* Bitmap = reinterpret_cast<FT_BitmapGlyph>(Glyph);
    const FT_Bitmap& B = Bitmap->bitmap;
    Image->Left = Bitmap->left;
    Image->Top = -Bitmap->top;
    Image->Width = int32_t(B.width);
    Image->Height = int32_t(B.rows);
    Image->Coverage.assign(size_t(Image->Width) * size_t(Image->Height), 0);
    for (int32_t Y = 0; Y < Image->Height; ++Y) {
        const unsigned char* Row = B.buffer + ptrdiff_t(Y) * B.pitch;
        uint8_t* Out = Image->Coverage.data() + size_t(Y) * size_t(Image->Width);
        for (int32_t X = 0; X < Image->Width; ++X) {
            if (B.pixel_mode == FT_PIXEL_MODE_GRAY)
                Out[X] = B.num_grays == 256 ? Row[X] : uint8_t(Row[X] * 255 / (B.num_grays - 1));
            else if (B.pixel_mode == FT_PIXEL_MODE_MONO)
                Out[X] = (Row[X / 8] & (0x80 >> (X % 8))) ? 255 : 0;
        }
    }
    FT_Done_Glyph(Glyph);
    return Image;
}

std::shared_ptr<TFontFace> OpenFontFace(const std::string& FileName, int32_t Index,
                                        double PixelSize, bool SyntheticBold,
                                        bool SyntheticItalic) {
    TFaceKey Key{FileName, Index, Size64(PixelSize), SyntheticBold, SyntheticItalic};
    auto& Faces = OpenFaces();
    auto It = Faces.find(Key);
    if (It != Faces.end())
        if (auto Face = It->second.lock())
            return Face;
    auto Face =
        std::make_shared<TFontFace>(FileName, Index, PixelSize, SyntheticBold, SyntheticItalic);
    // Drop entries whose faces have closed, so the map stays small.
    for (auto Entry = Faces.begin(); Entry != Faces.end();)
        Entry = Entry->second.expired() ? Faces.erase(Entry) : std::next(Entry);
    Faces[Key] = Face;
    return Face;
}

TFontData::~TFontData() {
    std::lock_guard Guard(TextLibraryLock());
    for (auto& Candidate : Candidates)
        if (Candidate.Characters)
            FcCharSetDestroy(Candidate.Characters);
    Faces.clear();
    Main.reset();
}

int32_t TFontData::FaceFor(char32_t Character) const {
    if (Main->HasGlyph(Character))
        return 0;
    auto Known = FaceOfCharacter.find(Character);
    if (Known != FaceOfCharacter.end())
        return Known->second;
    if (!CandidatesLoaded) {
        CandidatesLoaded = true;
        FcPattern* Query = MakeQuery(Request);
        FcResult Result = FcResultNoMatch;
        FcFontSet* Set = FcFontSort(TextFontConfig(), Query, FcTrue, nullptr, &Result);
        if (Set) {
            for (int I = 0; I < Set->nfont; ++I) {
                FcPattern* Font = Set->fonts[I];
                FcCharSet* Characters = nullptr;
                std::string FileName = PatternString(Font, FC_FILE);
                if (FileName.empty() ||
                    FcPatternGetCharSet(Font, FC_CHARSET, 0, &Characters) != FcResultMatch)
                    continue;
                Candidates.push_back(
                    {FileName, PatternInteger(Font, FC_INDEX, 0), NeedsSyntheticBold(Request, Font),
                     NeedsSyntheticItalic(Request, Font), FcCharSetCopy(Characters)});
            }
            FcFontSetDestroy(Set);
        }
        FcPatternDestroy(Query);
    }
    int32_t Chosen = 0;
    for (const auto& Candidate : Candidates) {
        if (!FcCharSetHasChar(Candidate.Characters, FcChar32(Character)))
            continue;
        if (Candidate.FileName == Main->FileName())
            continue;
        auto Existing = std::find_if(Faces.begin(), Faces.end(), [&](const auto& Face) {
            return Face->FileName() == Candidate.FileName;
        });
        if (Existing != Faces.end()) {
            Chosen = int32_t(Existing - Faces.begin());
            break;
        }
        try {
            Faces.push_back(OpenFontFace(Candidate.FileName, Candidate.Index, Request.PixelSize,
                                         Candidate.SyntheticBold, Candidate.SyntheticItalic));
        } catch (const ETextError&) {
            continue; // an unreadable fallback is skipped: the next one may do
        }
        if (!Faces.back()->HasGlyph(Character)) {
            Faces.pop_back();
            continue;
        }
        Chosen = int32_t(Faces.size() - 1);
        break;
    }
    FaceOfCharacter[Character] = Chosen;
    return Chosen;
}

TFont::TFont(const TFontRequest& Request) {
    std::lock_guard Guard(TextLibraryLock());
    TFontKey Key{Request.Family, Size64(Request.PixelSize), Request.Bold, Request.Italic,
                 Request.Underline};
    auto& Fonts = ResolvedFonts();
    auto It = Fonts.find(Key);
    if (It != Fonts.end()) {
        F = It->second;
        return;
    }
    F = Resolve(Request);
    if (Fonts.size() >= MaxCachedFonts)
        Fonts.clear();
    Fonts.emplace(Key, F);
}

const TFontRequest& TFont::Request() const {
    return F->Request;
}

const std::string& TFont::FamilyName() const {
    return F->Main->FamilyName();
}

const std::string& TFont::FileName() const {
    return F->Main->FileName();
}

bool TFont::IsSyntheticBold() const {
    return F->Main->SyntheticBold();
}

bool TFont::IsSyntheticItalic() const {
    return F->Main->SyntheticItalic();
}

const TFontMetrics& TFont::Metrics() const {
    return F->Metrics;
}

TFont TFont::WithPixelSize(double PixelSize) const {
    TFontRequest Request = F->Request;
    Request.PixelSize = PixelSize;
    return TFont(Request);
}

bool TFont::HasGlyph(char32_t Character) const {
    std::lock_guard Guard(TextLibraryLock());
    return F->Main->HasGlyph(Character);
}

TCharWidths TFont::CharWidths(char32_t Character) const {
    std::lock_guard Guard(TextLibraryLock());
    TFontFace& Face = *F->FaceAt(F->FaceFor(Character));
    FT_Face FtFace = Face.Face();
    FT_UInt GlyphId = FT_Get_Char_Index(FtFace, FT_ULong(Character));
    FT_Int32 Flags =
        FT_IS_SCALABLE(FtFace) ? FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING : FT_LOAD_DEFAULT;
    if (FT_Load_Glyph(FtFace, GlyphId, Flags) != 0)
        return {};
    const FT_Glyph_Metrics& M = FtFace->glyph->metrics;
    double Extra = Face.BoldExtra();
    TCharWidths Widths;
    Widths.A = double(M.horiBearingX) / 64.0;
    Widths.B = double(M.width) / 64.0 + Extra;
    Widths.C = double(M.horiAdvance) / 64.0 + Extra - Widths.A - Widths.B;
    return Widths;
}

bool TFont::IsScalable() const {
    std::lock_guard Guard(TextLibraryLock());
    return FT_IS_SCALABLE(F->Main->Face());
}
