#include "project/title_clip.h"

#include "core/data.h"
#include "core/text_table.h"
#include "project/item_undo.h"
#include "project/project_changes.h"
#include "project/undo_history.h"
#include "render/font_descriptor.h"
#include "render/text_clip_element.h"
#include "render/timeline.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Sizes beyond this are damage: a hundred times the frame's height.
constexpr int32_t MaxFontSize = 10000;
// The project file's unit of a font size: a hundredth of the frame height.
constexpr double FontSizeUnit = 100.0;
constexpr uint8_t StoredStyleBits = FontStyleBold | FontStyleItalic | FontStyleUnderlined;

int32_t StoredFontSize(double Size) {
    if (!std::isfinite(Size))
        Size = TTitleFont().Size;
    return int32_t(std::lround(std::clamp(Size * FontSizeUnit, 1.0, double(MaxFontSize))));
}

} // namespace

TTitleFont StoredTitleFont(const TTitleFont& Font) {
    TTitleFont Result;
    if (!Font.Name.empty())
        Result.Name = Font.Name;
    Result.Size = StoredFontSize(Font.Size) / FontSizeUnit;
    Result.Style = uint8_t(Font.Style & StoredStyleBits);
    Result.Color = Font.Color;
    return Result;
}

void TTitleClipFont::Assign(const TTitleFont& Font) {
    TTitleFont Stored = StoredTitleFont(Font);
    if (Stored == FFont)
        return;
    FFont = std::move(Stored);
    FOwner->FontChanged();
}

void TTitleClipFont::Load(const TData& Data) {
    TTitleFont Read = FFont;
    std::string Name = Data.ReadString("Name", FFont.Name);
    if (!Name.empty())
        Read.Name = Name;
    int32_t Size = Data.ReadInteger("Size", StoredFontSize(FFont.Size));
    if (Size > 0)
        Read.Size = std::min(Size, MaxFontSize) / FontSizeUnit;
    auto ReadStyle = [&](const char* Key, uint8_t Bit) {
        if (Data.ReadBool(Key, (FFont.Style & Bit) != 0))
            Read.Style |= Bit;
        else
            Read.Style &= uint8_t(~Bit);
    };
    ReadStyle("IsBold", FontStyleBold);
    ReadStyle("IsItalic", FontStyleItalic);
    ReadStyle("IsUnderlined", FontStyleUnderlined);
    Read.Color = Data.ReadColor("RGBA", FFont.Color);
    Assign(Read);
}

void TTitleClipFont::Save(TData& Data) const {
    Data.WriteString("Name", FFont.Name);
    Data.WriteInteger("Size", StoredFontSize(FFont.Size));
    Data.WriteBool("IsBold", FFont.IsBold());
    Data.WriteBool("IsItalic", FFont.IsItalic());
    Data.WriteBool("IsUnderlined", FFont.IsUnderlined());
    Data.WriteColor("RGBA", FFont.Color);
}

TTitleClip::TTitleClip(TVideoTime Duration, TVideoTime Position, int32_t StyleIndex)
    : FStyleIndex(StyleIndex) {
    TTextClipDescriptor Descriptor;
    Descriptor.SetStyle(StyleIndex);
    SetElement(std::make_unique<TTextClipElement>(Descriptor, Duration));
    SetPosition(Position);
    SetDuration(Duration);
    FHasVideo = true;
    FIsStretchable = true;
    FIsTrimmable = false;
    CreateSettings();
    PushToElement();
}

TTextClipElement* TTitleClip::TextElement() const {
    return static_cast<TTextClipElement*>(Element());
}

void TTitleClip::Signal(TProjectChangeFlags Flags) {
    if (TProjectChanges* Notifier = Changes())
        Notifier->Change(Flags);
}

void TTitleClip::FontChanged() {
    TUpdateGuard Guard(Changes());
    InvalidatePicture();
    Signal(ProjectChangeSettings);
    PushToElement();
}

void TTitleClip::PushToElement() {
    TTextClipElement* Element = TextElement();
    std::optional<TTimelineUpdateGuard> Bracket;
    if (TTimeline* Timeline = Element->Timeline())
        Bracket.emplace(*Timeline);
    TTextClipDescriptor Descriptor;
    Descriptor.SetStyle(FStyleIndex);
    Descriptor.SetText(FText);
    Descriptor.MainFont().Assign(FMainFont.Font());
    Descriptor.CaptionFont().Assign(FCaptionFont.Font());
    Element->SetDescriptor(Descriptor);
}

void TTitleClip::SetText(const std::string& Text) {
    if (Text == FText)
        return;
    TUpdateGuard Guard(Changes());
    FText = Text;
    InvalidatePicture();
    Signal(ProjectChangeSettings);
    PushToElement();
}

void TTitleClip::SetContent(const std::string& Text, const TTitleFont& Main,
                            const TTitleFont& Caption) {
    if (Text == FText && StoredTitleFont(Main) == FMainFont.Font() &&
        StoredTitleFont(Caption) == FCaptionFont.Font())
        return;
    TUpdateGuard Guard(Changes());
    UndoHistory().Add(std::make_unique<TTitleClipUndo>(this, GetText(TTextSlot::UndoTitleText)));
    ApplyContent(Text, Main, Caption);
}

void TTitleClip::ApplyContent(const std::string& Text, const TTitleFont& Main,
                              const TTitleFont& Caption) {
    TUpdateGuard Guard(Changes());
    SetText(Text);
    FMainFont.Assign(Main);
    FCaptionFont.Assign(Caption);
}

void TTitleClip::SaveIdentity(TData& Data) const {
    Data.WriteString("Type", "TitleClip");
    Data.WriteInteger("Id", FStyleIndex);
}

void TTitleClip::Save(TData& Data) const {
    TClip::Save(Data);
    Data.WriteString("Text", FText);
    {
        TDataSection Section(Data, "MainFont");
        FMainFont.Save(Data);
    }
    TDataSection Section(Data, "CaptionFont");
    FCaptionFont.Save(Data);
}

void TTitleClip::Load(TData& Data) {
    TClip::Load(Data);
    FText = Data.ReadWideString("Text", "");
    {
        TDataSection Section(Data, "MainFont");
        FMainFont.Load(Data);
    }
    {
        TDataSection Section(Data, "CaptionFont");
        FCaptionFont.Load(Data);
    }
    PushToElement();
}
