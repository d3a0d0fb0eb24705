#pragma once

#include "core/geometry.h"
#include "project/clip.h"

#include <cstdint>
#include <string>

class TTextClipElement;
class TTitleClip;
enum class TProjectChangeFlags : uint32_t;

// The values of a title's font. Size is in hundredths of the title style's
// relative font size.
struct TTitleFontValues {
    std::string Name = "Tahoma";
    int32_t Size = 5;
    bool IsBold = false;
    bool IsItalic = false;
    bool IsUnderlined = false;
    TColor Color = 0xFFFFFFFF;

    bool operator==(const TTitleFontValues&) const = default;
};

// A title's font: every change reaches the title's render element.
class TTitleClipFont {
public:
    explicit TTitleClipFont(TTitleClip* Owner) : FOwner(Owner) {}
    TTitleClipFont(const TTitleClipFont&) = delete;
    TTitleClipFont& operator=(const TTitleClipFont&) = delete;

    const TTitleFontValues& Values() const { return FValues; }
    // Takes the six values; the title hears of it only when one differs.
    void Assign(const TTitleFontValues& Values);

    void Load(const TData& Data);
    void Save(TData& Data) const;

private:
    TTitleClip* FOwner;
    TTitleFontValues FValues;
};

// A text title in one of the registered title styles. The text is UTF-8.
class TTitleClip : public TClip {
public:
    // Raises for a style index the registry does not have.
    TTitleClip(TVideoTime Duration, TVideoTime Position, int32_t StyleIndex);
    std::string_view ClassName() const override { return "TTitleClip"; }

    int32_t StyleIndex() const { return FStyleIndex; }
    TTextClipElement* TextElement() const;
    const std::string& Text() const { return FText; }
    TTitleClipFont& MainFont() { return FMainFont; }
    const TTitleClipFont& MainFont() const { return FMainFont; }
    TTitleClipFont& CaptionFont() { return FCaptionFont; }
    const TTitleClipFont& CaptionFont() const { return FCaptionFont; }

    // Text and both fonts in one change, as one undo step.
    void SetContent(const std::string& Text, const TTitleFontValues& Main,
                    const TTitleFontValues& Caption);
    // The same without undo: new titles, and the undo records themselves.
    void ApplyContent(const std::string& Text, const TTitleFontValues& Main,
                      const TTitleFontValues& Caption);
    void SetText(const std::string& Text);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    void SaveIdentity(TData& Data) const override;

private:
    friend class TTitleClipFont;
    void FontChanged();
    void PushToElement();
    void Signal(TProjectChangeFlags Flags);

    int32_t FStyleIndex;
    std::string FText;
    TTitleClipFont FMainFont{this};
    TTitleClipFont FCaptionFont{this};
};
