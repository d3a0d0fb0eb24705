#include "render/text_descriptor.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
#include "core/text_table.h"
#include "render/description_registry.h"
#include "render/property_variant.h"
#include "render/text_description.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

constexpr int32_t DefaultTitleStyle = 1;

std::vector<std::string_view> SplitAtSlashes(std::string_view Text) {
    std::vector<std::string_view> Pieces;
    for (;;) {
        size_t Slash = Text.find('/');
        Pieces.push_back(Text.substr(0, Slash));
        if (Slash == std::string_view::npos)
            return Pieces;
        Text.remove_prefix(Slash + 1);
    }
}

// The text from piece First to piece Last (inclusive) of Text, slashes and all.
std::string_view PieceRange(std::string_view Text, const std::vector<std::string_view>& Pieces,
                            size_t First, size_t Last) {
    const char* Begin = Pieces[First].data();
    const char* End = Pieces[Last].data() + Pieces[Last].size();
    return Text.substr(static_cast<size_t>(Begin - Text.data()), static_cast<size_t>(End - Begin));
}

bool ReadWhole(std::string_view Text, int32_t& Value) {
    const char* End = Text.data() + Text.size();
    auto Result = std::from_chars(Text.data(), End, Value);
    return Result.ec == std::errc() && Result.ptr == End;
}

bool ReadWhole(std::string_view Text, double& Value) {
    const char* End = Text.data() + Text.size();
    auto Result = std::from_chars(Text.data(), End, Value);
    return Result.ec == std::errc() && Result.ptr == End;
}

bool ReadByte(std::string_view Text, uint8_t& Value) {
    int32_t Number = 0;
    if (!ReadWhole(Text, Number) || Number < 0 || Number > 255)
        return false;
    Value = static_cast<uint8_t>(Number);
    return true;
}

bool ReadFloat(std::string_view Text, double& Value) {
    return ReadWhole(Text, Value) && std::isfinite(Value);
}

// A font begins at piece First; its name may hold slashes, so it ends at the
// first piece after which four numbers follow. Next is the piece after it.
bool ReadFontAt(std::string_view Text, const std::vector<std::string_view>& Pieces, size_t First,
                size_t Reserved, TTitleFont& Font, size_t& Next) {
    for (size_t NameEnd = First; NameEnd + 4 + Reserved < Pieces.size(); ++NameEnd)
        if (ReadFontTextForm(PieceRange(Text, Pieces, First, NameEnd + 4), Font)) {
            Next = NameEnd + 5;
            return true;
        }
    return false;
}

} // namespace

std::string WriteTitleTextForm(const TTitleTextForm& Form) {
    std::string Result = PropertyIntegerText(Form.StyleCode);
    for (const std::string& Piece :
         {WriteFontTextForm(Form.MainFont), WriteFontTextForm(Form.CaptionFont),
          WriteTextFormColor(Form.TextColor), WriteTextFormColor(Form.BackgroundColor),
          PropertyIntegerText(Form.P[0]), PropertyIntegerText(Form.P[1]),
          PropertyFloatText(Form.Factor1), PropertyFloatText(Form.Factor2),
          PropertyIntegerText(Form.P[2]), PropertyIntegerText(Form.P[3]), Form.Text})
        Result += "/" + Piece;
    return Result;
}

bool ReadTitleTextForm(std::string_view Text, TTitleTextForm& Form) {
    // After the two fonts come eight numbers and the text.
    constexpr size_t AfterFonts = 9;
    std::vector<std::string_view> Pieces = SplitAtSlashes(Text);
    TTitleTextForm Result;
    size_t Next = 1;
    if (Pieces.size() < 1 + 2 * 5 + AfterFonts || !ReadWhole(Pieces[0], Result.StyleCode) ||
        !ReadFontAt(Text, Pieces, Next, 5 + AfterFonts, Result.MainFont, Next) ||
        !ReadFontAt(Text, Pieces, Next, AfterFonts, Result.CaptionFont, Next) ||
        Pieces.size() < Next + AfterFonts)
        return false;
    const std::string_view* Number = &Pieces[Next];
    if (!ReadTextFormColor(Number[0], Result.TextColor) ||
        !ReadTextFormColor(Number[1], Result.BackgroundColor) ||
        !ReadByte(Number[2], Result.P[0]) || !ReadByte(Number[3], Result.P[1]) ||
        !ReadFloat(Number[4], Result.Factor1) || !ReadFloat(Number[5], Result.Factor2) ||
        !ReadByte(Number[6], Result.P[2]) || !ReadByte(Number[7], Result.P[3]))
        return false;
    Result.Text = std::string(PieceRange(Text, Pieces, Next + 8, Pieces.size() - 1));
    Form = std::move(Result);
    return true;
}

class TTextClipDescriptor::TChangeBatch {
public:
    explicit TChangeBatch(TTextClipDescriptor& Owner) : FOwner(Owner) { ++FOwner.FBatchDepth; }
    // The outermost batch tells the listener once; as the notifier's
    // brackets do, it reports the listener's exception instead of passing
    // it on.
    ~TChangeBatch() {
        if (--FOwner.FBatchDepth > 0 || !FOwner.FBatchChanged)
            return;
        FOwner.FBatchChanged = false;
        try {
            FOwner.Changed();
        } catch (...) {
            ReportCurrentException();
        }
    }
    TChangeBatch(const TChangeBatch&) = delete;
    TChangeBatch& operator=(const TChangeBatch&) = delete;

private:
    TTextClipDescriptor& FOwner;
};

TTextClipDescriptor::TTextClipDescriptor()
    : FStyleIndex(DefaultTitleStyle),
      FStyle(DescriptionRegistry().Titles().TitleByIndex(DefaultTitleStyle)),
      FMainFont(DefaultMainFont()), FCaptionFont(DefaultCaptionFont()),
      FTextColor(MakeColor(255, 255, 255)) {
    assert(FStyle && "the first title style is always registered");
    FMainFont.OnChange = MakeDelegate<&TTextClipDescriptor::FontChanged>(this);
    FCaptionFont.OnChange = MakeDelegate<&TTextClipDescriptor::FontChanged>(this);
}

void TTextClipDescriptor::SetStyle(int32_t Index) {
    if (Index == FStyleIndex)
        return;
    const TTextDescription* Style = DescriptionRegistry().Titles().TitleByIndex(Index);
    if (!Style)
        throw EError(FormatMessageText(GetText(TTextSlot::UnknownTitleStyleError),
                                       PropertyIntegerText(Index)));
    FStyleIndex = Index;
    FStyle = Style;
    Changed();
}

void TTextClipDescriptor::SetText(std::string_view Value) {
    if (Value == FText)
        return;
    FText = std::string(Value);
    Changed();
}

TColor TTextClipDescriptor::Color() const {
    return FStyle->TakesColorFromMainFont() ? FMainFont.Color() : FTextColor;
}

void TTextClipDescriptor::SetColor(TColor Value) {
    TChangeBatch Batch(*this);
    if (!FStyle->TakesColorFromMainFont()) {
        if (Value != FTextColor) {
            FTextColor = Value;
            Changed();
        }
        return;
    }
    FMainFont.SetColor(Value);
    if (FStyle->HasCaption())
        FCaptionFont.SetColor(Value);
}

void TTextClipDescriptor::Assign(const TTextClipDescriptor& Source) {
    if (&Source == this)
        return;
    TChangeBatch Batch(*this);
    if (Source.FStyleIndex != FStyleIndex) {
        FStyleIndex = Source.FStyleIndex;
        FStyle = Source.FStyle;
        Changed();
    }
    SetText(Source.FText);
    FMainFont.Assign(Source.FMainFont);
    FCaptionFont.Assign(Source.FCaptionFont);
    if (Source.FTextColor != FTextColor) {
        FTextColor = Source.FTextColor;
        Changed();
    }
}

TTitleTextForm TTextClipDescriptor::TitleForm(TColor Background) const {
    TTitleTextForm Form;
    Form.StyleCode = FStyle->StyleCode();
    Form.MainFont = FMainFont.Font();
    Form.CaptionFont = FCaptionFont.Font();
    Form.TextColor = Color();
    Form.BackgroundColor = Background;
    Form.P = {FStyle->P1(), FStyle->P2(), FStyle->P3(), FStyle->P4()};
    Form.Factor1 = Factor1();
    Form.Factor2 = Factor2();
    Form.Text = FText;
    return Form;
}

void TTextClipDescriptor::FontChanged(TObject*) {
    Changed();
}

void TTextClipDescriptor::Changed() {
    if (FBatchDepth > 0) {
        FBatchChanged = true;
        return;
    }
    if (OnChange)
        OnChange(this);
}
