#include "project/catalog_infos.h"

#include "core/file_io.h"
#include "platform/graphics/color.h"
#include "platform/media/media_renderer.h"
#include "platform/media/picture_resize.h"
#include "platform/media/png_bytes.h"
#include "platform/media/title_painter.h"
#include "platform/media/title_text.h"
#include "platform/text/font.h"
#include "platform/text/text_layout.h"
#include "platform/text/text_painter.h"
#include "project/clip_picture.h"
#include "render/category_description.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/effect_description.h"
#include "render/effect_previewer.h"
#include "render/element_props.h"
#include "render/preview_pictures.h"
#include "render/text_description.h"
#include "render/text_descriptor.h"
#include "render/transition_description.h"
#include "render/transition_element.h"
#include "render/transition_previewer.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

constexpr TVideoTime PreviewLength = 10000000;
constexpr TVideoTime PreviewFrameTime = 5000000;
constexpr TColor White = MakeColor(255, 255, 255);
constexpr TColor Black = MakeColor(0, 0, 0);
constexpr TColor EffectNameColor = MakeColor(255, 64, 0);
constexpr TColor TransitionNameColor = MakeColor(255, 128, 0);
// Title styles carry no preview time of their own: one second in shows
// every style's text in place.
constexpr double TitlePreviewTime = 1.0;
constexpr double TitlePreviewLength = 4.0;
// Moving titles: frames this far before the preview time, each laid over the
// picture with this weight (of 255).
constexpr double MovingFrameStep = 1.0 / 24;
constexpr int32_t MovingFrameWeight = 192;

TVideoFrame ClearedPicture() {
    TVideoFrame Picture(CatalogPictureWidth, CatalogPictureHeight);
    Picture.Fill(MakeColor(0, 0, 0, 0));
    return Picture;
}

// From fitted into the picture bounds in its own shape, centred on a
// transparent background.
TVideoFrame Fitted(const TVideoFrame& From) {
    TVideoFrame Picture = ClearedPicture();
    TSize Size = FitPictureSize(From.Width(), From.Height(),
                                {CatalogPictureWidth, CatalogPictureHeight});
    if (Size.Width == 0)
        return Picture;
    ResizePictureInto(From, Picture, (CatalogPictureWidth - Size.Width) / 2,
                      (CatalogPictureHeight - Size.Height) / 2, Size.Width, Size.Height);
    return Picture;
}

TVideoFrame NamePicture(const std::string& Name, TColor Color) {
    TVideoFrame Picture = ClearedPicture();
    TFont Font(TFontRequest{.Family = "Sans", .PixelSize = 40});
    TTextLayoutOptions Options;
    Options.Align = TTextAlign::Center;
    Options.MaxWidth = CatalogPictureWidth;
    TTextLayout Layout(Font, Name, Options);
    DrawText(Picture.View(), Layout, (CatalogPictureWidth - Layout.Width()) / 2,
             (CatalogPictureHeight - Layout.Height()) / 2, TTextPaint{Color});
    return Picture;
}

TVideoFrame RenderAt(const TTimeline& Timeline, TVideoTime Time) {
    TMediaRenderer Renderer(Timeline.Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(Time, Frame);
    return Frame;
}

// Blends From over Into with Weight (of 255) times each pixel's own alpha.
void LayOver(TVideoFrame& Into, const TVideoFrame& From, int32_t Weight) {
    for (int32_t Y = 0; Y < Into.Height() && Y < From.Height(); ++Y) {
        uint8_t* To = Into.Row(Y);
        const uint8_t* Pixel = From.Row(Y);
        for (int32_t X = 0; X < Into.Width() && X < From.Width(); ++X, To += 4, Pixel += 4) {
            int32_t Alpha = Pixel[3] * Weight / 255;
            for (int C = 0; C < 3; ++C)
                To[C] = uint8_t((Pixel[C] * Alpha + To[C] * (255 - Alpha) + 127) / 255);
        }
    }
}

std::optional<TVideoFrame> ReadCachedPicture(const std::string& FileName) {
    try {
        TVideoFrame Picture =
            DecodePng(ReadFileBytes(FileName), {CatalogPictureWidth, CatalogPictureHeight});
        if (Picture.Width() == CatalogPictureWidth && Picture.Height() == CatalogPictureHeight)
            return Picture;
    } catch (const std::exception&) {
        // Missing, damaged or of another size: rendered again.
    }
    return std::nullopt;
}

const char* KindFolder(TCatalogKind Kind) {
    switch (Kind) {
    case TCatalogKind::Effects:
        return "Stage/Effects/Thumbnails/";
    case TCatalogKind::Transitions:
        return "Stage/Transitions/Thumbnails/";
    case TCatalogKind::Titles:
        return "Stage/Titles/Thumbnails/";
    }
    return "";
}

std::string InFolder(const std::string& Folder, const std::string& Name) {
    if (Folder.empty() || Folder.back() == '/')
        return Folder + Name;
    return Folder + "/" + Name;
}

template <class TInfo>
std::unique_ptr<TInfo> MakeInfo(const TBaseDescription& Description);

template <>
std::unique_ptr<TEffectInfo> MakeInfo<TEffectInfo>(const TBaseDescription& Description) {
    const auto& Effect = static_cast<const TEffectDescription&>(Description);
    return std::make_unique<TEffectInfo>(Effect.Index(), Effect.DisplayName(),
                                         Effect.CatalogueFlags());
}

template <>
std::unique_ptr<TTransitionInfo> MakeInfo<TTransitionInfo>(const TBaseDescription& Description) {
    const auto& Transition = static_cast<const TTransitionDescription&>(Description);
    return std::make_unique<TTransitionInfo>(Transition.Index(), Transition.DisplayName(),
                                             Transition.Flags());
}

template <>
std::unique_ptr<TTitleInfo> MakeInfo<TTitleInfo>(const TBaseDescription& Description) {
    const auto& Title = static_cast<const TTextDescription&>(Description);
    return std::make_unique<TTitleInfo>(Title.Index(), Title.DisplayName(), Title.Flags(),
                                        Title.SampleText(), TitlePreviewTime, Title.StyleCode());
}

struct TRegistryView {
    const TCategoryDescriptions& Categories;
    const TDescriptions& Descriptions;
};

TRegistryView RegistryFor(TCatalogKind Kind) {
    const TDescriptionRegistry& Registry = DescriptionRegistry();
    switch (Kind) {
    case TCatalogKind::Effects:
        return {Registry.EffectCategories(), Registry.Effects()};
    case TCatalogKind::Transitions:
        return {Registry.TransitionCategories(), Registry.Transitions()};
    case TCatalogKind::Titles:
        break;
    }
    return {Registry.TitleCategories(), Registry.Titles()};
}

} // namespace

std::string CatalogPictureName(TCatalogKind Kind, int32_t Id) {
    char Number[16];
    std::snprintf(Number, sizeof Number, "%03d", Id);
    return std::string(KindFolder(Kind)) + Number + ".png";
}

template <class TInfo, TCatalogKind Kind>
TCatalogInfos<TInfo, Kind>::TCatalogInfos(TCatalogFolders Folders) : FFolders(std::move(Folders)) {
    TRegistryView Registry = RegistryFor(Kind);
    for (int32_t P = 1; P <= Registry.Categories.Count(); ++P) {
        const TCategoryDescription* Category = Registry.Categories.Category(P);
        FCategories.push_back(
            std::make_unique<TCategory>(TCategory{Category->Key, Category->DisplayName, {}}));
    }
    for (int32_t P = 1; P <= Registry.Descriptions.Count(); ++P) {
        const TBaseDescription* Description = Registry.Descriptions.Description(P);
        std::unique_ptr<TInfo> Info = MakeInfo<TInfo>(*Description);
        int32_t Category = Description->Category() - 1;
        if (Category >= 0 && Category < int32_t(FCategories.size())) {
            Info->FCategory = FCategories[size_t(Category)].get();
            Info->FCategory->Entries.push_back(Info.get());
        }
        FById[Info->Id()] = Info.get();
        FEntries.push_back(std::move(Info));
    }
}

template <class TInfo, TCatalogKind Kind>
TCatalogInfos<TInfo, Kind>::~TCatalogInfos() = default;

template <class TInfo, TCatalogKind Kind>
TInfo* TCatalogInfos<TInfo, Kind>::Find(int32_t Id) const {
    auto Found = FById.find(Id);
    return Found == FById.end() ? nullptr : Found->second;
}

template <class TInfo, TCatalogKind Kind>
const TVideoFrame& TCatalogInfos<TInfo, Kind>::GetPicture(TInfo& Info) {
    if (Info.FPictureValid)
        return Info.FPicture;
    Info.FPictureValid = true;
    std::string Name = CatalogPictureName(Kind, Info.Id());
    const bool Rendered = IsRenderedCatalogPicture(Info);
    if (Rendered)
        for (const std::string* Folder : {&FFolders.DataFolder, &FFolders.CacheFolder})
            if (!Folder->empty())
                if (std::optional<TVideoFrame> Cached = ReadCachedPicture(InFolder(*Folder, Name))) {
                    Info.FPicture = std::move(*Cached);
                    return Info.FPicture;
                }
    ++FRenderCount;
    try {
        Info.FPicture = RenderCatalogPicture(Info, FFolders);
    } catch (const std::exception&) {
        Info.FPicture = ClearedPicture();
        return Info.FPicture;
    }
    if (Rendered && !FFolders.CacheFolder.empty()) {
        std::string FileName = InFolder(FFolders.CacheFolder, Name);
        try {
            std::error_code Error;
            std::filesystem::create_directories(std::filesystem::path(FileName).parent_path(), Error);
            WriteFileAtomically(FileName, EncodePng(Info.FPicture));
        } catch (const std::exception&) {
            // A cache that cannot be written renders again next time.
        }
    }
    return Info.FPicture;
}

template class TCatalogInfos<TEffectInfo, TCatalogKind::Effects>;
template class TCatalogInfos<TTransitionInfo, TCatalogKind::Transitions>;
template class TCatalogInfos<TTitleInfo, TCatalogKind::Titles>;

bool IsRenderedCatalogPicture(const TEffectInfo& Info) {
    return Info.IsVideoEffect();
}

bool IsRenderedCatalogPicture(const TTransitionInfo& Info) {
    return Info.CanRenderPicture();
}

bool IsRenderedCatalogPicture(const TTitleInfo&) {
    return true;
}

TVideoFrame RenderCatalogPicture(const TEffectInfo& Info, const TCatalogFolders& Folders) {
    if (!IsRenderedCatalogPicture(Info))
        return NamePicture(Info.Name(), EffectNameColor);
    TEffectPreviewer Previewer(
        EnsurePreviewPicture(Folders.DataFolder, TPreviewPicture::Effect, Folders.CacheFolder));
    Previewer.SetBackgroundColor(White);
    Previewer.ShowEffect(Info.Id(), PreviewLength);
    return Fitted(RenderAt(Previewer, PreviewFrameTime));
}

TVideoFrame RenderCatalogPicture(const TTransitionInfo& Info, const TCatalogFolders& Folders) {
    if (!IsRenderedCatalogPicture(Info))
        return NamePicture(Info.Name(), TransitionNameColor);
    TTransitionPreviewer Previewer(
        EnsurePreviewPicture(Folders.DataFolder, TPreviewPicture::TransitionOutgoing,
                             Folders.CacheFolder),
        EnsurePreviewPicture(Folders.DataFolder, TPreviewPicture::TransitionIncoming,
                             Folders.CacheFolder));
    Previewer.ShowTransition(Info.Id(), false, PreviewLength);
    if (Info.IsWipe()) {
        TTimelineUpdateGuard Bracket(Previewer);
        Previewer.Transition()->Props().SetValue("BorderSoftness", TPropertyVariant(int32_t(50)));
    }
    return Fitted(RenderAt(Previewer, PreviewFrameTime));
}

TVideoFrame RenderCatalogPicture(const TTitleInfo& Info, const TCatalogFolders&) {
    TTextClipDescriptor Descriptor;
    Descriptor.SetStyle(Info.Id());
    Descriptor.SetText(Info.SampleText().empty() ? Info.Name() : Info.SampleText());
    TTitleText Title;
    if (!ParseTitleText(Descriptor.TextForm(White), Title))
        return ClearedPicture();
    Title.BackgroundColor = White;
    Title.TextColor = Black;
    Title.MainFont.Color = Black;
    Title.CaptionFont.Color = Black;
    TTitlePainter Painter(Title, CatalogPictureWidth, CatalogPictureHeight);
    TVideoFrame Frame;
    if (!Info.IsMoving()) {
        Painter.Draw(Info.PreviewTime(), TitlePreviewLength, Frame);
        return Fitted(Frame);
    }
    TVideoFrame Picture(CatalogPictureWidth, CatalogPictureHeight);
    Picture.Fill(White);
    for (int Step = 3; Step >= 0; --Step) {
        Painter.Draw(std::max(0.0, Info.PreviewTime() - Step * MovingFrameStep), TitlePreviewLength,
                     Frame);
        LayOver(Picture, Frame, MovingFrameWeight);
    }
    return Picture;
}
