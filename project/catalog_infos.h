#pragma once

#include "core/object.h"
#include "platform/media/video_frame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The catalogues of effects, transitions and title styles: one entry per
// description of the render registry, grouped into its categories in
// description order, each with a 320 x 240 picture for the browsers.
//
// A picture is looked for as "<id>.png" (at least three digits) under
// "Stage/<Effects|Transitions|Titles>/Thumbnails/" of the data folder, where
// the build puts them, then of the cache folder; it is used only when it is
// exactly 320 x 240. Otherwise it is rendered with the program's previewers
// and saved under the cache folder (never the data folder, which an
// installation keeps read-only). Entries that cannot be rendered (audio
// effects, transitions that cannot be drawn) show their name in orange and
// are not saved.
//
//   TEffectInfos Effects({ImagesFolder, UserCacheFolder});
//   for (const auto& Category : Effects.Categories())
//       for (TEffectInfo* Entry : Category->Entries)
//           Show(Entry->Name(), Effects.GetPicture(*Entry));

inline constexpr int32_t CatalogPictureWidth = 320;
inline constexpr int32_t CatalogPictureHeight = 240;

struct TCatalogFolders {
    std::string DataFolder;  // the shipped pictures; read only
    std::string CacheFolder; // pictures rendered at run time; none kept when empty
};

enum class TCatalogKind { Effects, Transitions, Titles };

// "Stage/Effects/Thumbnails/007.png" for effect 7: the picture's name
// relative to a data or cache folder.
std::string CatalogPictureName(TCatalogKind Kind, int32_t Id);

template <class TInfo>
struct TCatalogCategory {
    std::string Key;
    std::string DisplayName;
    std::vector<TInfo*> Entries; // in description order; owned by the catalogue
};

// What every catalogue entry has.
class TCatalogInfo : public TObject {
public:
    TCatalogInfo(int32_t Id, std::string Name) : FId(Id), FName(std::move(Name)) {}
    int32_t Id() const { return FId; }
    const std::string& Name() const { return FName; }
    bool PictureValid() const { return FPictureValid; }

private:
    template <class, TCatalogKind>
    friend class TCatalogInfos;
    int32_t FId;
    std::string FName;
    TVideoFrame FPicture; // made on first use
    bool FPictureValid = false;
};

class TEffectInfo : public TCatalogInfo {
public:
    TEffectInfo(int32_t Id, std::string Name, int32_t Flags)
        : TCatalogInfo(Id, std::move(Name)), FFlags(Flags) {}
    std::string_view ClassName() const override { return "TEffectInfo"; }
    // The browser previews the effect for an explicit second rather than
    // the previewer's default (set on the effects that change over their
    // length and on the audio effects).
    bool HasPreviewDuration() const { return (FFlags & 0x01) != 0; }
    bool IsVideoEffect() const { return (FFlags & 0x08) != 0; }
    bool IsAudioEffect() const { return (FFlags & 0x10) != 0; }
    TCatalogCategory<TEffectInfo>* Category() const { return FCategory; }

private:
    template <class, TCatalogKind>
    friend class TCatalogInfos;
    int32_t FFlags;
    TCatalogCategory<TEffectInfo>* FCategory = nullptr;
};

// A transition entry keeps its description's whole flag byte; bit 2 (set on
// every transition) and bit 4 (set on none) are not read.
class TTransitionInfo : public TCatalogInfo {
public:
    TTransitionInfo(int32_t Id, std::string Name, uint8_t Flags)
        : TCatalogInfo(Id, std::move(Name)), FFlags(Flags) {}
    std::string_view ClassName() const override { return "TTransitionInfo"; }
    bool CanRenderPicture() const { return (FFlags & 0x08) != 0; }
    bool IsWipe() const { return (FFlags & 0x01) != 0; }
    bool IsReversible() const { return (FFlags & 0x02) != 0; }
    TCatalogCategory<TTransitionInfo>* Category() const { return FCategory; }

private:
    template <class, TCatalogKind>
    friend class TCatalogInfos;
    uint8_t FFlags;
    TCatalogCategory<TTransitionInfo>* FCategory = nullptr;
};

class TTitleInfo : public TCatalogInfo {
public:
    TTitleInfo(int32_t Id, std::string Name, uint8_t Flags, std::string SampleText,
               double PreviewTime, int32_t StyleCode)
        : TCatalogInfo(Id, std::move(Name)), FFlags(Flags), FSampleText(std::move(SampleText)),
          FPreviewTime(PreviewTime), FStyleCode(StyleCode) {}
    std::string_view ClassName() const override { return "TTitleInfo"; }
    // The style shows a caption line, set in the caption font; without one
    // the caption-font controls are hidden while such a title is edited.
    bool HasCaption() const { return (FFlags & 0x01) != 0; }
    // Titles that move: their picture lays a few frames over each other.
    bool IsMoving() const { return (FFlags & 0x30) != 0; }
    const std::string& SampleText() const { return FSampleText; }
    double PreviewTime() const { return FPreviewTime; }
    int32_t StyleCode() const { return FStyleCode; }
    TCatalogCategory<TTitleInfo>* Category() const { return FCategory; }

private:
    template <class, TCatalogKind>
    friend class TCatalogInfos;
    uint8_t FFlags;
    std::string FSampleText;
    double FPreviewTime;
    int32_t FStyleCode;
    TCatalogCategory<TTitleInfo>* FCategory = nullptr;
};

using TEffectCategoryInfo = TCatalogCategory<TEffectInfo>;
using TTransitionCategoryInfo = TCatalogCategory<TTransitionInfo>;
using TTextCategoryInfo = TCatalogCategory<TTitleInfo>;

// The shape the three catalogues share.
template <class TInfo, TCatalogKind Kind>
class TCatalogInfos : public TObject {
public:
    using TCategory = TCatalogCategory<TInfo>;

    // Built from the render registry's descriptions and categories.
    explicit TCatalogInfos(TCatalogFolders Folders);
    ~TCatalogInfos() override;

    // The entry with Id, or none.
    TInfo* Find(int32_t Id) const;
    const std::vector<std::unique_ptr<TCategory>>& Categories() const { return FCategories; }
    int32_t Count() const { return int32_t(FEntries.size()); }
    TInfo* Entry(int32_t Index) const { return FEntries[size_t(Index)].get(); }

    // The entry's 320 x 240 picture, found or rendered on first use.
    const TVideoFrame& GetPicture(TInfo& Info);
    // How many pictures were rendered rather than found: for tests.
    int32_t RenderCount() const { return FRenderCount; }

    const TCatalogFolders& Folders() const { return FFolders; }

private:
    TCatalogFolders FFolders;
    std::vector<std::unique_ptr<TCategory>> FCategories;
    std::vector<std::unique_ptr<TInfo>> FEntries;
    std::unordered_map<int32_t, TInfo*> FById;
    int32_t FRenderCount = 0;
};

class TEffectInfos : public TCatalogInfos<TEffectInfo, TCatalogKind::Effects> {
public:
    using TCatalogInfos::TCatalogInfos;
    std::string_view ClassName() const override { return "TEffectInfos"; }
};
class TTransitionInfos : public TCatalogInfos<TTransitionInfo, TCatalogKind::Transitions> {
public:
    using TCatalogInfos::TCatalogInfos;
    std::string_view ClassName() const override { return "TTransitionInfos"; }
};
class TTitlesInfo : public TCatalogInfos<TTitleInfo, TCatalogKind::Titles> {
public:
    using TCatalogInfos::TCatalogInfos;
    std::string_view ClassName() const override { return "TTitlesInfo"; }
};

// The picture of an entry as the previewers draw it, fitted into 320 x 240
// on a transparent background; for entries that cannot be drawn, the name
// in orange. The sample pictures are the data folder's, else drawn into the
// cache folder (preview_pictures.h): the data folder is never written.
// Raises what rendering raises. The build tool that ships the pictures
// calls these too.
TVideoFrame RenderCatalogPicture(const TEffectInfo& Info, const TCatalogFolders& Folders);
TVideoFrame RenderCatalogPicture(const TTransitionInfo& Info, const TCatalogFolders& Folders);
TVideoFrame RenderCatalogPicture(const TTitleInfo& Info, const TCatalogFolders& Folders);
// Whether the picture of Info is rendered (and so cached) or only named.
bool IsRenderedCatalogPicture(const TEffectInfo& Info);
bool IsRenderedCatalogPicture(const TTransitionInfo& Info);
bool IsRenderedCatalogPicture(const TTitleInfo& Info);
