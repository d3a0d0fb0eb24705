#include "render/render.h"

#include "core/changes.h"
#include "core/data.h"
#include "platform/media/media_writer.h"
#include "render/audio_media_settings.h"
#include "render/compression_media_settings.h"
#include "render/format_media_settings.h"
#include "render/media_settings_handler.h"
#include "render/output_presets.h"
#include "render/output_settings.h"
#include "render/timeline.h"
#include "render/video_media_settings.h"

#include <cmath>

class TRenderChanges : public TMediaSettingsChanges {
public:
    explicit TRenderChanges(TRender* Render) : TMediaSettingsChanges(Render), FRender(Render) {}
    std::string_view ClassName() const override { return "TRenderChanges"; }

protected:
    void DoChange(TMediaSettingsChangeFlags Flags) override {
        if (Any(Flags & ~MediaSettingsChangeAudio))
            FRender->UpdateOutputSize();
        TMediaSettingsChanges::DoChange(Flags);
    }

private:
    TRender* FRender;
};

TRender::TRender(const TTimeline& Timeline)
    : TMediaSettings("Rendering", std::make_unique<TRenderChanges>(this)), FTimeline(Timeline) {
    FAudioHandler = std::make_unique<TAudioMediaSettingsHandler>(Changes());
    FVideoHandler = std::make_unique<TVideoMediaSettingsHandler>(Changes());
    FBitRateHandler = std::make_unique<TCompressionMediaSettingsHandler>(Changes());
    FQualityHandler = std::make_unique<TCompressionMediaSettingsHandler>(Changes());
    TMediaSettingsHandlers Handlers{*FAudioHandler, *FVideoHandler, *FBitRateHandler,
                                    *FQualityHandler};
    FAVI = &AddChild<TAVIMediaSettings>(Handlers, Timeline);
    FDV = &AddChild<TDVMediaSettings>(Handlers);
    FMP3 = &AddChild<TMP3MediaSettings>();
    FMP4 = &AddChild<TMP4MediaSettings>(Handlers, Timeline);
    FWMA = &AddChild<TWMAMediaSettings>(Handlers, Timeline);
    FWMV = &AddChild<TWMVMediaSettings>(Handlers, Timeline);
    FHasAudibleClips = Timeline.HasAudibleClips();
    FHasVideoClips = Timeline.HasVideoClips();
    SelectCurrentSettings();
    UpdateOutputSize();
}

TRender::~TRender() {
    if (FLoadHook)
        *FLoadHook = nullptr;
    if (FSaveHook)
        *FSaveHook = nullptr;
    // The settings unlink themselves from the handlers, which are members.
    DeleteChildren();
}

void TRender::SelectCurrentSettings() {
    FAudioSettings = nullptr;
    FVideoSettings = nullptr;
    FCompressionSettings = nullptr;
    switch (FKind) {
    case TRenderKind::AVI:
    case TRenderKind::AVICompressed:
    case TRenderKind::MP4BitRate:
    case TRenderKind::MP4Quality:
        // The linked handlers keep the AVI, MP4 and WMV audio and video
        // equal, so MP4 renders with the AVI ones.
        FAudioSettings = FHasAudibleClips ? &FAVI->Audio() : nullptr;
        FVideoSettings = FHasVideoClips ? &FAVI->Video() : nullptr;
        if (FKind == TRenderKind::AVICompressed)
            FCompressionSettings = &FAVI->Quality();
        else if (FKind == TRenderKind::MP4BitRate)
            FCompressionSettings = &FMP4->BitRate();
        else if (FKind == TRenderKind::MP4Quality)
            FCompressionSettings = &FMP4->Quality();
        break;
    case TRenderKind::DV:
        FVideoSettings = &FDV->Video();
        break;
    case TRenderKind::MP3:
        break;
    case TRenderKind::WMABitRate:
    case TRenderKind::WMAQuality:
        FAudioSettings = &FWMA->Audio();
        FCompressionSettings = FKind == TRenderKind::WMABitRate
                                   ? static_cast<TCompressionMediaSettings*>(&FWMA->BitRate())
                                   : &FWMA->Quality();
        break;
    case TRenderKind::WMVBitRate:
    case TRenderKind::WMVQuality:
        FAudioSettings = &FWMV->Audio();
        FVideoSettings = &FWMV->Video();
        FCompressionSettings = FKind == TRenderKind::WMVBitRate
                                   ? static_cast<TCompressionMediaSettings*>(&FWMV->BitRate())
                                   : &FWMV->Quality();
        break;
    }
    FCanRender = RenderKindIsAudioOnly(FKind) ? FHasAudibleClips : FHasVideoClips;
}

void TRender::UpdateOutputSize() {
    FOutputWidth = FVideoSettings ? FVideoSettings->Width() : FTimeline.OutputWidth();
    FOutputHeight = FVideoSettings ? FVideoSettings->Height() : FTimeline.OutputHeight();
}

void TRender::SetKind(TRenderKind Kind) {
    if (Kind == FKind)
        return;
    FKind = Kind;
    SelectCurrentSettings();
    Change(MediaSettingsChangeCompression);
}

void TRender::SetVCRDownload(bool Value) {
    if (Value == FIsVCRDownload)
        return;
    FIsVCRDownload = Value;
    Change(MediaSettingsChangeCompression);
}

void TRender::Refresh() {
    TUpdateGuard Guard(Changes());
    for (TAudioMediaSettings* Audio : {static_cast<TAudioMediaSettings*>(&FAVI->Audio()),
                                       static_cast<TAudioMediaSettings*>(&FMP4->Audio()),
                                       static_cast<TAudioMediaSettings*>(&FWMA->Audio()),
                                       static_cast<TAudioMediaSettings*>(&FWMV->Audio())})
        Audio->ReapplyPreset();
    for (TVideoMediaSettings* Video : {static_cast<TVideoMediaSettings*>(&FAVI->Video()),
                                       static_cast<TVideoMediaSettings*>(&FMP4->Video()),
                                       static_cast<TVideoMediaSettings*>(&FWMV->Video())})
        Video->ReapplyPreset();
    for (TCompressionMediaSettings* Compression :
         {static_cast<TCompressionMediaSettings*>(&FAVI->Quality()),
          static_cast<TCompressionMediaSettings*>(&FMP4->BitRate()),
          static_cast<TCompressionMediaSettings*>(&FMP4->Quality()),
          static_cast<TCompressionMediaSettings*>(&FWMA->BitRate()),
          static_cast<TCompressionMediaSettings*>(&FWMA->Quality()),
          static_cast<TCompressionMediaSettings*>(&FWMV->BitRate()),
          static_cast<TCompressionMediaSettings*>(&FWMV->Quality())})
        Compression->Refresh();
    bool Audible = FTimeline.HasAudibleClips();
    bool Video = FTimeline.HasVideoClips();
    if (Audible != FHasAudibleClips || Video != FHasVideoClips) {
        FHasAudibleClips = Audible;
        FHasVideoClips = Video;
        SelectCurrentSettings();
        Change(MediaSettingsChangeCompression);
    }
}

TOutputSettings TRender::OutputSettings() const {
    TOutputSettings Settings;
    Settings.OutputFormat = RenderKindOutputFormat(FKind);
    Settings.BitRateMode = RenderKindUsesBitRate(FKind);
    Settings.Audio.Preset = AudioPresetOptimal;
    if (OutputFormatHasVideo(Settings.OutputFormat)) {
        Settings.Video.Preset = VideoPresetCustom;
        if (FVideoSettings) {
            Settings.Video.Width = FVideoSettings->Width();
            Settings.Video.Height = FVideoSettings->Height();
            Settings.Video.FramesPerSecond = FVideoSettings->FramesPerSecond();
        } else {
            Settings.Video.Width = FTimeline.OutputWidth();
            Settings.Video.Height = FTimeline.OutputHeight();
            Settings.Video.FramesPerSecond = std::round(FTimeline.FramesPerSecond());
        }
    }
    Settings.CompressionValue = FCompressionSettings ? FCompressionSettings->Value() : 0;
    return Settings;
}

void TRender::Load(TData& Data) {
    TUpdateGuard Guard(Changes());
    SetVCRDownload(Data.ReadBool("IsVCRDownload", FIsVCRDownload));
    TRenderKind Stored;
    if (FindRenderKind(Data.ReadString("Kind", ""), Stored))
        SetKind(Stored);
    TMediaSettings::Load(Data);
}

void TRender::Save(TData& Data) const {
    Data.WriteBool("IsVCRDownload", FIsVCRDownload);
    Data.WriteString("Kind", RenderKindName(FKind));
    TMediaSettings::Save(Data);
}

void TRender::BindProjectHooks(std::function<void(TData&)>& LoadRendering,
                               std::function<void(TData&)>& SaveRendering) {
    LoadRendering = [this](TData& Data) { Load(Data); };
    // The stored values are those a render would use now: an optimal size
    // follows the clips, which may have changed since the last refresh.
    SaveRendering = [this](TData& Data) {
        Refresh();
        Save(Data);
    };
    FLoadHook = &LoadRendering;
    FSaveHook = &SaveRendering;
}
