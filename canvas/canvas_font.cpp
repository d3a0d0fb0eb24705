#include "canvas/canvas_font.h"

#include <cmath>
#include <map>
#include <memory>
#include <tuple>

TCanvasFont::TCanvasFont(const TFont& Resolved) : Font(Resolved) {
    const TFontMetrics& M = Font.Metrics();
    Ascent = int32_t(std::lround(M.Ascent));
    FontHeight = Ascent + int32_t(std::lround(M.Descent));
    ExternalLeading = std::max(0, int32_t(std::lround(M.LineHeight)) - FontHeight);
    TrueType = Font.IsScalable();
    AverageWidth = Widths('x').Advance;
}

const TCanvasFont::TWidths& TCanvasFont::Widths(char32_t Character) const {
    auto It = FWidths.find(Character);
    if (It != FWidths.end())
        return It->second;
    TCharWidths Exact = Font.CharWidths(Character);
    TWidths W;
    W.Advance = int32_t(std::lround(Exact.Advance()));
    if (TrueType) {
        W.A = int32_t(std::lround(Exact.A));
        W.C = int32_t(std::lround(Exact.C));
        W.B = W.Advance - W.A - W.C;
    } else {
        W.B = W.Advance;
    }
    return FWidths.emplace(Character, W).first->second;
}

const TCanvasFont& CanvasFont(const TTextAttr& Attr, int32_t Scale) {
    using TKey = std::tuple<std::string, int32_t, bool, bool, bool, int32_t>;
    static std::map<TKey, std::unique_ptr<TCanvasFont>> Fonts;
    TKey Key{Attr.FontName, Attr.Height, Attr.Bold, Attr.Italic, Attr.Underline, Scale};
    auto It = Fonts.find(Key);
    if (It != Fonts.end())
        return *It->second;
    TFontRequest Request{Attr.FontName.empty() ? std::string("Sans") : Attr.FontName, 16, Attr.Bold,
                         Attr.Italic, Attr.Underline};
    if (Attr.Height < 0) {
        Request.PixelSize = -double(Attr.Height);
    } else if (Attr.Height > 0) {
        // A cell height: the em that makes ascent + descent that high.
        Request.PixelSize = Attr.Height;
        const TFontMetrics& M = TFont(Request).Metrics();
        double Cell = M.Ascent + M.Descent;
        if (Cell > 0)
            Request.PixelSize = Attr.Height * Attr.Height / Cell;
    }
    Request.PixelSize *= Scale;
    if (Fonts.size() >= 64)
        Fonts.clear();
    auto Font = std::make_unique<TCanvasFont>(TFont(Request));
    return *Fonts.emplace(Key, std::move(Font)).first->second;
}
