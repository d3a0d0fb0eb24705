#include "render/media_settings_handler.h"

#include "core/changes.h"
#include "render/compression_media_settings.h"
#include "render/media_settings.h"
#include "render/presets_media_settings.h"
#include "render/video_media_settings.h"

#include <algorithm>

TMediaSettingsHandler::~TMediaSettingsHandler() {
    for (THandledMediaSettings* Setting : FSettings)
        Setting->FHandler = nullptr;
}

void TMediaSettingsHandler::Link(THandledMediaSettings* Setting) {
    FSettings.push_back(Setting);
}

void TMediaSettingsHandler::Unlink(THandledMediaSettings* Setting) {
    FSettings.erase(std::remove(FSettings.begin(), FSettings.end(), Setting), FSettings.end());
}

// Every setting linked to a presets handler is a presets setting, and so on:
// the settings' constructors take only their own kind of handler.

void TPresetsMediaSettingsHandler::SelectPreset(std::string_view Key) {
    TUpdateGuard Guard(Changes());
    for (int32_t I = 0; I < Count(); ++I) {
        auto* Setting = static_cast<TPresetsMediaSettings*>(this->Setting(I));
        int32_t Index = Setting->FindPreset(Key);
        if (Index >= 0)
            Setting->ApplyPreset(Index);
    }
}

void TVideoMediaSettingsHandler::SetValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) {
    TUpdateGuard Guard(Changes());
    for (int32_t I = 0; I < Count(); ++I)
        static_cast<TVideoMediaSettings*>(Setting(I))->ApplyValues(Width, Height, FramesPerSecond);
}

void TCompressionMediaSettingsHandler::SetValue(int32_t Value) {
    TUpdateGuard Guard(Changes());
    for (int32_t I = 0; I < Count(); ++I)
        static_cast<TCompressionMediaSettings*>(Setting(I))->ApplyValue(Value);
}
