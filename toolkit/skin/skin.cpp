#include "toolkit/skin/skin.h"

#include "core/paths.h"
#include "core/text.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <filesystem>

namespace {

TSkins* SkinsInstance = nullptr;
// Set once the registry has gone at exit, so that skins destroyed later
// neither recreate nor touch it.
bool SkinsGone = false;

bool FileExists(const std::string& Path) {
    std::error_code Error;
    return std::filesystem::is_regular_file(Path, Error);
}

std::string UpperExtension(const std::string& Path) {
    std::string Extension = std::filesystem::path(Path).extension().string();
    std::transform(Extension.begin(), Extension.end(), Extension.begin(),
                   [](unsigned char C) { return char(C >= 'a' && C <= 'z' ? C - 32 : C); });
    return Extension;
}

} // namespace

// --- TSkin

TSkin::TSkin() {
    if (!SkinsGone)
        Skins().Add(this);
}

TSkin::~TSkin() {
    if (SkinsInstance)
        SkinsInstance->Remove(this);
}

void TSkin::Changed() {
    if (OnChange)
        OnChange(this);
}

void TSkin::EnsureLoaded() {
    if (FLoaded)
        return;
    FLoaded = true;
    Load();
    Changed();
}

void TSkin::Invalidate() {
    if (!FLoaded) {
        Unload();
        return;
    }
    FLoaded = false;
    Unload();
    Changed();
}

// --- TFileSkin

void TFileSkin::SetFileName(std::string_view Name) {
    std::string Relative = NormalizeSeparators(Name);
    ReplacePathPrefix(Relative, Skins().ImagesFolder(), "");
    if (SameTextAscii(Relative, FFileName))
        return;
    FFileName = std::move(Relative);
    Invalidate();
    Changed();
}

void TFileSkin::Load() {
    std::string Path = IsAbsolutePath(FFileName) ? FFileName : Skins().ImagesFolder() + FFileName;
    if (!FileExists(Path)) {
        Path = FFileName;
        if (FFileName.empty() || !FileExists(Path)) {
            PictureLoaded(nullptr);
            return;
        }
    }
    std::string Extension = UpperExtension(Path);
    if (Extension != ".BMP" && Extension != ".DIB" && Extension != ".PNG")
        return;
    TPixels Picture;
    Picture.LoadFromFile(Path);
    PictureLoaded(&Picture);
}

void TFileSkin::PictureLoaded(const TPixels*) {}

// --- TGlobalSkin

const TPixels* TGlobalSkin::GetPicture() {
    EnsureLoaded();
    return FPicture.get();
}

void TGlobalSkin::Unload() { FPicture.reset(); }

void TGlobalSkin::PictureLoaded(const TPixels* Picture) {
    FPicture = Picture ? std::make_unique<TPixels>(*Picture) : nullptr;
}

// --- TToolSkin

const TPixels* TToolSkin::GetState(TToolSkinState State) {
    EnsureLoaded();
    return FStates[size_t(State)].get();
}

void TToolSkin::Unload() {
    for (auto& State : FStates)
        State.reset();
}

void TToolSkin::PictureLoaded(const TPixels* Picture) {
    if (!Picture || Picture->IsEmpty())
        return;
    int32_t W = Skins().Scale(FWidth), H = Skins().Scale(FHeight);
    auto Make = [&] { return std::make_unique<TPixels>(W, H); };
    if (Picture->Width() >= 3 * Picture->Height()) {
        // A strip of four pictures: each quarter is one state, drawn in greys
        // that follow the colour scheme.
        int32_t Quarter = Picture->Width() / StateCount;
        for (int32_t I = 0; I < StateCount; ++I) {
            TPixels Part(Quarter, Picture->Height());
            Part.CopyFrom(-I * Quarter, 0, *Picture);
            auto State = Make();
            State->Clear();
            State->StretchFrom(State->Bounds(), Part, TSmooth::Yes);
            SkinRecolor(*State);
            FStates[size_t(I)] = std::move(State);
        }
        return;
    }
    // One picture: the last column and row stay transparent, so the pressed
    // state can move it by a pixel without cutting it.
    TPixels Base(W, H);
    Base.Clear();
    Base.StretchFrom({0, 0, W - 1, H - 1}, *Picture, TSmooth::Yes);

    auto Normal = std::make_unique<TPixels>(Base);
    WashPixels(*Normal, Normal->Bounds(), 64);
    Normal->Tint(Normal->Bounds(), SkinColors().FaceColor);

    auto Hot = std::make_unique<TPixels>(Base);
    WashPixels(*Hot, Hot->Bounds(), 32);

    auto Pressed = Make();
    Pressed->Clear();
    Pressed->CopyFrom(1, 1, Base);

    auto Disabled = std::make_unique<TPixels>(*Normal);
    Disabled->ScaleAlpha(Disabled->Bounds(), 64);

    FStates[size_t(TToolSkinState::Normal)] = std::move(Normal);
    FStates[size_t(TToolSkinState::Hot)] = std::move(Hot);
    FStates[size_t(TToolSkinState::Pressed)] = std::move(Pressed);
    FStates[size_t(TToolSkinState::Disabled)] = std::move(Disabled);
}

void WashPixels(TPixels& Pixels, const TRect& Rect, uint8_t Strength) {
    Pixels.PixelOp(Rect, MakeColor(255, 255, 255, 255), LightenOp, Strength);
}

// --- TSkins

TSkins::TSkins() : FImagesFolder(IncludeTrailingSlash(ToApplicationPath("Images"))) {
    SkinsInstance = this;
}

TSkins::~TSkins() {
    FDestroying = true;
    if (SkinsInstance == this) {
        SkinsInstance = nullptr;
        SkinsGone = true;
    }
}

void TSkins::Add(TSkin* Skin) { FItems.push_back(Skin); }

void TSkins::Remove(TSkin* Skin) {
    if (FDestroying)
        return;
    auto Found = std::find(FItems.begin(), FItems.end(), Skin);
    if (Found != FItems.end())
        FItems.erase(Found);
}

void TSkins::SetSize(int32_t Value) {
    Value = std::clamp(Value, MinSize, MaxSize);
    if (Value == FSize)
        return;
    TUpdateGuard Guard(FChanges);
    FSize = Value;
    ReloadAll();
    FChanges.Change(SkinChangeAll);
}

void TSkins::ReloadAll() {
    if (FDestroying)
        return;
    // A skin's OnChange may create or destroy skins; walk a copy.
    std::vector<TSkin*> Current = FItems;
    for (TSkin* Skin : Current)
        if (std::find(FItems.begin(), FItems.end(), Skin) != FItems.end())
            Skin->Invalidate();
}

void TSkins::SetImagesFolder(std::string_view Folder) {
    FImagesFolder = Folder.empty() ? std::string() : IncludeTrailingSlash(Folder);
}

TSkins& Skins() {
    static TSkins Instance;
    return Instance;
}

TGlobalSkin& GlobalSkin() {
    Skins();
    static TGlobalSkin Instance;
    return Instance;
}
