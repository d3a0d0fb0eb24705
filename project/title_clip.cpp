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
#include <optional>

namespace {

// Sizes beyond this are damage: a hundred times the style's own size.
constexpr int32_t MaxFontSize = 10000;

TTextClipFont ElementFont(const TTitleFontValues& Font, const TTextClipFont& Base) {
    TTextClipFont Result = Base;
    Result.Name = Font.Name;
    Result.Size = Font.Size / 100.0;
    Result.Style = static_cast<uint8_t>((Font.IsBold ? FontStyleBold : 0) |
                                        (Font.IsItalic ? FontStyleItalic : 0) |
                                        (Font.IsUnderlined ? FontStyleUnderlined : 0));
    Result.Color = Font.Color;
    return Result;
}

} // namespace

void TTitleClipFont::Assign(const TTitleFontValues& Values) {
    if (Values == FValues)
        return;
    FValues = Values;
    FOwner->FontChanged();
}

void TTitleClipFont::Load(const TData& Data) {
    TTitleFontValues Read = FValues;
    std::string Name = Data.ReadString("Name", FValues.Name);
    if (!Name.empty())
        Read.Name = Name;
    int32_t Size = Data.ReadInteger("Size", FValues.Size);
    if (Size > 0)
        Read.Size = std::min(Size, MaxFontSize);
    Read.IsBold = Data.ReadBool("IsBold", FValues.IsBold);
    Read.IsItalic = Data.ReadBool("IsItalic", FValues.IsItalic);
    Read.IsUnderlined = Data.ReadBool("IsUnderlined", FValues.IsUnderlined);
    Read.Color = Data.ReadColor("RGBA", FValues.Color);
    Assign(Read);
}

void TTitleClipFont::Save(TData& Data) const {
    Data.WriteString("Name", FValues.Name);
    Data.WriteInteger("Size", FValues.Size);
    Data.WriteBool("IsBold", FValues.IsBold);
    Data.WriteBool("IsItalic", FValues.IsItalic);
    Data.WriteBool("IsUnderlined", FValues.IsUnderlined);
    Data.WriteColor("RGBA", FValues.Color);
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
    Descriptor.MainFont().Assign(ElementFont(FMainFont.Values(), DefaultMainFont()));
    Descriptor.CaptionFont().Assign(ElementFont(FCaptionFont.Values(), DefaultCaptionFont()));
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

void TTitleClip::SetContent(const std::string& Text, const TTitleFontValues& Main,
                            const TTitleFontValues& Caption) {
    if (Text == FText && Main == FMainFont.Values() && Caption == FCaptionFont.Values())
        return;
    TUpdateGuard Guard(Changes());
    UndoHistory().Add(std::make_unique<TTitleClipUndo>(this, GetText(TTextSlot::UndoTitleText)));
    ApplyContent(Text, Main, Caption);
}

void TTitleClip::ApplyContent(const std::string& Text, const TTitleFontValues& Main,
                              const TTitleFontValues& Caption) {
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
