#pragma once

#include "canvas/pixels.h"
#include "core/changes.h"
#include "core/delegate.h"
#include "core/flag_set.h"
#include "core/object.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A picture the toolkit draws with, loaded lazily: it is made on first use
// (EnsureLoaded) and dropped by Invalidate, so a reload, a new file name or a
// new skin size only costs something for the skins that are used again.
// Every skin registers itself with Skins() while it lives.
class TSkin : public TObject {
public:
    TSkin();
    ~TSkin() override;
    TSkin(const TSkin&) = delete;
    TSkin& operator=(const TSkin&) = delete;

    std::string_view ClassName() const override { return "TSkin"; }

    bool Loaded() const { return FLoaded; }
    // Called with the skin after its picture appeared, went or changed.
    TNotifyHandler OnChange;

    // When not loaded: mark loaded, Load, then OnChange. A picture that cannot
    // be decoded raises the loader's error to the caller.
    void EnsureLoaded();
    // When loaded: mark unloaded, Unload, then OnChange; else just Unload.
    void Invalidate();

protected:
    virtual void Load() {}
    virtual void Unload() {}
    void Changed();

private:
    bool FLoaded = false;
};

// A skin whose picture comes from a file under the images folder
// (Skins().ImagesFolder()), or from an absolute path.
class TFileSkin : public TSkin {
public:
    std::string_view ClassName() const override { return "TFileSkin"; }

    // Relative to the images folder when it lies below it, else absolute.
    const std::string& FileName() const { return FFileName; }
    // Makes Name relative to the images folder; a name that differs (ignoring
    // case) is stored, the skin invalidated and OnChange called.
    void SetFileName(std::string_view Name);

protected:
    // Finds the file and hands its picture to PictureLoaded: none when no
    // file exists; nothing at all for an extension other than .bmp, .dib and
    // .png.
    void Load() override;
    // Picture lives only for the call.
    virtual void PictureLoaded(const TPixels* Picture);

private:
    std::string FFileName;
};

// The background picture docks and widgets tile; one instance, GlobalSkin().
class TGlobalSkin : public TFileSkin {
public:
    std::string_view ClassName() const override { return "TGlobalSkin"; }
    // The picture, loading it first; null when there is none.
    const TPixels* GetPicture();

protected:
    void Unload() override;
    void PictureLoaded(const TPixels* Picture) override;

private:
    std::unique_ptr<TPixels> FPicture;
};

enum class TToolSkinState : uint8_t { Normal, Hot, Pressed, Disabled };

// The artwork of a tool button in its four states, each Width x Height
// scaled by the skin size. A file holds either one picture, from which the
// states are derived (washed and tinted, lighter, moved, faded), or a strip
// of four pictures side by side, which are recoloured to the colour scheme.
//
//   TToolSkin Skin(100, 100);
//   Skin.SetFileName("Tools/Cut.png");
//   if (const TPixels* Art = Skin.GetState(TToolSkinState::Hot))
//       PaintButtonImage(Rect, Pixels, State, *Art);
class TToolSkin : public TFileSkin {
public:
    static constexpr int32_t StateCount = 4;

    TToolSkin(int32_t Width, int32_t Height) : FWidth(Width), FHeight(Height) {}
    std::string_view ClassName() const override { return "TToolSkin"; }

    // The nominal, unscaled size of the artwork.
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    // The state's raster, loading first; null when the file gave no picture.
    const TPixels* GetState(TToolSkinState State);

protected:
    void Unload() override;
    void PictureLoaded(const TPixels* Picture) override;

private:
    int32_t FWidth;
    int32_t FHeight;
    std::array<std::unique_ptr<TPixels>, StateCount> FStates;
};

// Lightens every pixel by the lighten shading taken at Strength directly:
// 0 changes nothing; alpha is kept.
void WashPixels(TPixels& Pixels, const TRect& Rect, uint8_t Strength);

enum class TSkinChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TSkinChangeFlags> = true;
constexpr TSkinChangeFlags SkinChangeAll{0xFFFFFFFFu};
using TSkinChanges = TFlagChanges<TSkinChangeFlags>;

// All skins, and the size percentage every skin-dependent size is scaled by.
// One instance, Skins().
class TSkins : public TObject {
public:
    static constexpr int32_t MinSize = 10;
    static constexpr int32_t MaxSize = 100;
    static constexpr int32_t DefaultSize = 33;

    TSkins();
    ~TSkins() override;
    TSkins(const TSkins&) = delete;
    TSkins& operator=(const TSkins&) = delete;

    std::string_view ClassName() const override { return "TSkins"; }

    int32_t Size() const { return FSize; }
    // Clamps to 10..100; a new size is stored, every skin invalidated and all
    // flags reported, inside one bracket of Changes().
    void SetSize(int32_t Value);
    // X scaled by Size percent, truncating: artwork of nominal size 100
    // appears at Size pixels.
    int32_t Scale(int32_t X) const { return int32_t(int64_t(X) * FSize / 100); }

    // Invalidates every skin (the reload command, a new size).
    void ReloadAll();

    const std::vector<TSkin*>& Items() const { return FItems; }
    TSkinChanges& Changes() { return FChanges; }

    // Where skin pictures are looked for, with a trailing "/": the images
    // folder of the application unless set otherwise.
    const std::string& ImagesFolder() const { return FImagesFolder; }
    void SetImagesFolder(std::string_view Folder);

private:
    friend class TSkin;
    void Add(TSkin* Skin);
    void Remove(TSkin* Skin);

    int32_t FSize = DefaultSize;
    std::vector<TSkin*> FItems;
    bool FDestroying = false;
    TSkinChanges FChanges{this};
    std::string FImagesFolder;
};

TSkins& Skins();
TGlobalSkin& GlobalSkin();
