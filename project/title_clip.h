#pragma once

#include "core/geometry.h"
#include "platform/media/title_font.h"
#include "project/clip.h"

#include <cstdint>
#include <string>

class TTextClipElement;
class TTitleClip;
enum class TProjectChangeFlags : uint32_t;

// A title font as a project file keeps it: the size in whole hundredths of
// the frame height (at least one), the bold, italic and underlined bits, no
// edge colour and a name. A title clip holds its fonts in this form, so that
// a saved title loads and draws as it was.
TTitleFont StoredTitleFont(const TTitleFont& Font);

// A title's font: every change reaches the title's render element.
class TTitleClipFont {
public:
    explicit TTitleClipFont(TTitleClip* Owner) : FOwner(Owner) {}
    TTitleClipFont(const TTitleClipFont&) = delete;
    TTitleClipFont& operator=(const TTitleClipFont&) = delete;

    const TTitleFont& Font() const { return FFont; }
    // Takes Font as StoredTitleFont makes it; the title hears of it only
    // when that differs.
    void Assign(const TTitleFont& Font);

    void Load(const TData& Data);
    void Save(TData& Data) const;

private:
    TTitleClip* FOwner;
    TTitleFont FFont;
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
    void SetContent(const std::string& Text, const TTitleFont& Main,
                    const TTitleFont& Caption);
    // The same without undo: new titles, and the undo records themselves.
    void ApplyContent(const std::string& Text, const TTitleFont& Main,
                      const TTitleFont& Caption);
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
