#pragma once

#include "render/media_settings.h"
#include "render/render_kind.h"

#include <cstdint>
#include <functional>
#include <memory>

class TAudioMediaSettings;
class TAudioMediaSettingsHandler;
class TAVIMediaSettings;
class TCompressionMediaSettings;
class TCompressionMediaSettingsHandler;
class TDVMediaSettings;
class TMP3MediaSettings;
class TMP4MediaSettings;
class TRenderChanges;
class TTimeline;
class TVideoMediaSettings;
class TVideoMediaSettingsHandler;
class TWMAMediaSettings;
class TWMVMediaSettings;
struct TOutputSettings;

// The render driver: the root of the output settings tree, the chosen render
// kind, and what that kind renders with. The kind picks the current audio,
// video and compression settings out of the tree and says whether the
// project can be rendered that way at all. The settings are stored in the
// project file's "Rendering" section. Its notifier (a TRenderChanges) lets
// the driver take the new output size before the listeners hear of a change.
//
//   TRender Render(Project.Timeline());
//   Render.BindProjectHooks(Project.LoadRendering, Project.SaveRendering);
//   Render.SetKind(TRenderKind::MP4Quality);
//   if (Render.CanRender())
//       Job.Render(FileName, Render.OutputSettings());
class TRender : public TMediaSettings {
public:
    // Timeline must outlive the driver.
    explicit TRender(const TTimeline& Timeline);
    ~TRender() override;
    std::string_view ClassName() const override { return "TRender"; }

    TRenderKind Kind() const { return FKind; }
    void SetKind(TRenderKind Kind);
    // Whether a finished DV render is to be sent to the camcorder.
    bool IsVCRDownload() const { return FIsVCRDownload; }
    void SetVCRDownload(bool Value);

    // Whether the timeline has what the kind needs: video clips, or audible
    // clips for the audio kinds.
    bool CanRender() const { return FCanRender; }
    bool HasAudibleClips() const { return FHasAudibleClips; }
    bool HasVideoClips() const { return FHasVideoClips; }

    // The settings the kind renders with; none where the kind has none (or
    // the project has no such clips).
    TAudioMediaSettings* AudioSettings() const { return FAudioSettings; }
    TVideoMediaSettings* VideoSettings() const { return FVideoSettings; }
    TCompressionMediaSettings* CompressionSettings() const { return FCompressionSettings; }
    int32_t OutputWidth() const { return FOutputWidth; }
    int32_t OutputHeight() const { return FOutputHeight; }

    // After project edits: lets "Optimal" follow the project and the
    // sliders follow its media, and picks the current settings again when
    // the kinds of clips changed.
    void Refresh();

    // What a render of the current kind is asked for.
    TOutputSettings OutputSettings() const;

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

    // Installs the driver as the reader and writer of the project file's
    // "Rendering" section (the project's LoadRendering and SaveRendering);
    // the driver takes them out again when it goes, so it must go before
    // the project.
    void BindProjectHooks(std::function<void(TData&)>& LoadRendering,
                          std::function<void(TData&)>& SaveRendering);

    const TTimeline& Timeline() const { return FTimeline; }
    TAVIMediaSettings& AVI() const { return *FAVI; }
    TDVMediaSettings& DV() const { return *FDV; }
    TMP3MediaSettings& MP3() const { return *FMP3; }
    TMP4MediaSettings& MP4() const { return *FMP4; }
    TWMAMediaSettings& WMA() const { return *FWMA; }
    TWMVMediaSettings& WMV() const { return *FWMV; }
    TAudioMediaSettingsHandler& AudioHandler() const { return *FAudioHandler; }
    TVideoMediaSettingsHandler& VideoHandler() const { return *FVideoHandler; }
    TCompressionMediaSettingsHandler& BitRateHandler() const { return *FBitRateHandler; }
    TCompressionMediaSettingsHandler& QualityHandler() const { return *FQualityHandler; }

private:
    friend class TRenderChanges;
    void SelectCurrentSettings();
    void UpdateOutputSize();

    const TTimeline& FTimeline;
    std::unique_ptr<TAudioMediaSettingsHandler> FAudioHandler;
    std::unique_ptr<TVideoMediaSettingsHandler> FVideoHandler;
    std::unique_ptr<TCompressionMediaSettingsHandler> FBitRateHandler;
    std::unique_ptr<TCompressionMediaSettingsHandler> FQualityHandler;
    TAVIMediaSettings* FAVI = nullptr;
    TDVMediaSettings* FDV = nullptr;
    TMP3MediaSettings* FMP3 = nullptr;
    TMP4MediaSettings* FMP4 = nullptr;
    TWMAMediaSettings* FWMA = nullptr;
    TWMVMediaSettings* FWMV = nullptr;
    bool FIsVCRDownload = false;
    TRenderKind FKind = TRenderKind::WMVQuality;
    TAudioMediaSettings* FAudioSettings = nullptr;
    TVideoMediaSettings* FVideoSettings = nullptr;
    TCompressionMediaSettings* FCompressionSettings = nullptr;
    int32_t FOutputWidth = 0;
    int32_t FOutputHeight = 0;
    bool FCanRender = false;
    bool FHasAudibleClips = false;
    bool FHasVideoClips = false;
    std::function<void(TData&)>* FLoadHook = nullptr;
    std::function<void(TData&)>* FSaveHook = nullptr;
};
