#pragma once

#include "core/object.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TChanges;
class THandledMediaSettings;

// Keeps linked settings of different output kinds in step: what the user
// does to one linked setting, the handler does to all of them, in one change
// bracket so that listeners hear it once. The settings link and unlink
// themselves; a handler that goes first unlinks them.
class TMediaSettingsHandler : public TObject {
public:
    explicit TMediaSettingsHandler(TChanges& Changes) : FChanges(Changes) {}
    ~TMediaSettingsHandler() override;
    TMediaSettingsHandler(const TMediaSettingsHandler&) = delete;
    TMediaSettingsHandler& operator=(const TMediaSettingsHandler&) = delete;

    std::string_view ClassName() const override { return "TMediaSettingsHandler"; }

    int32_t Count() const { return static_cast<int32_t>(FSettings.size()); }
    THandledMediaSettings* Setting(int32_t Index) const { return FSettings[size_t(Index)]; }
    TChanges& Changes() const { return FChanges; }

private:
    friend class THandledMediaSettings;
    void Link(THandledMediaSettings* Setting);
    void Unlink(THandledMediaSettings* Setting);

    TChanges& FChanges;
    std::vector<THandledMediaSettings*> FSettings; // owned by the settings tree
};

// The handler of settings with presets (audio and video): selecting a
// preset selects the preset of the same key, compared without regard to
// case, on every linked setting; a setting without that key keeps its own.
class TPresetsMediaSettingsHandler : public TMediaSettingsHandler {
public:
    using TMediaSettingsHandler::TMediaSettingsHandler;
    std::string_view ClassName() const override { return "TPresetsMediaSettingsHandler"; }
    void SelectPreset(std::string_view Key);
};

class TAudioMediaSettingsHandler : public TPresetsMediaSettingsHandler {
public:
    using TPresetsMediaSettingsHandler::TPresetsMediaSettingsHandler;
    std::string_view ClassName() const override { return "TAudioMediaSettingsHandler"; }
};

class TVideoMediaSettingsHandler : public TPresetsMediaSettingsHandler {
public:
    using TPresetsMediaSettingsHandler::TPresetsMediaSettingsHandler;
    std::string_view ClassName() const override { return "TVideoMediaSettingsHandler"; }
    // Width, height and frames per second together, on every linked video
    // setting (each takes what it can: DV only its own presets).
    void SetValues(int32_t Width, int32_t Height, int32_t FramesPerSecond);
};

class TCompressionMediaSettingsHandler : public TMediaSettingsHandler {
public:
    using TMediaSettingsHandler::TMediaSettingsHandler;
    std::string_view ClassName() const override { return "TCompressionMediaSettingsHandler"; }
    // The requested value of every linked compression setting; each snaps it
    // to its own slider.
    void SetValue(int32_t Value);
};
