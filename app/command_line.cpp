#include "app/command_line.h"

#include "core/text.h"
#include "core/text_table.h"

#include <string_view>

namespace {

enum class TSwitch {
    ConfigFile,
    ConfigFolder,
    GotoFolder,
    GotoExeDir,
    NoSplashScreen,
    MultipleInstances,
    UseLastDir,
    Render,
    RenderKind,
    Help,
    Version,
    Demo,
    CaptureList,
    CaptureFile,
    SnapshotFile,
    WriteDVFile,
    CaptureVideo,
    CaptureAudio,
    CapturePin,
    CaptureSeconds,
    CaptureKind,
};

struct TSwitchName {
    std::string_view Name;
    TSwitch Switch;
    bool HasValue;
    bool LongOnly;
};

constexpr TSwitchName Switches[] = {
    {"C", TSwitch::ConfigFile, true, false},
    {"CFG", TSwitch::ConfigFile, true, false},
    {"CFGDIR", TSwitch::ConfigFolder, true, false},
    {"GOTO", TSwitch::GotoFolder, true, false},
    {"GOTOEXEDIR", TSwitch::GotoExeDir, false, false},
    {"NOSPLASHSCREEN", TSwitch::NoSplashScreen, false, false},
    {"MULTIPLEINSTANCES", TSwitch::MultipleInstances, false, false},
    {"GOTOLASTDIR", TSwitch::UseLastDir, false, false},
    {"USELASTDIR", TSwitch::UseLastDir, false, false},
    {"RENDER", TSwitch::Render, true, false},
    {"KIND", TSwitch::RenderKind, true, false},
    {"HELP", TSwitch::Help, false, true},
    {"VERSION", TSwitch::Version, false, true},
    {"DEMO", TSwitch::Demo, false, true},
    {"CAPTURE-LIST", TSwitch::CaptureList, false, true},
    {"CAPTURE", TSwitch::CaptureFile, true, true},
    {"SNAPSHOT", TSwitch::SnapshotFile, true, true},
    {"WRITE-DV", TSwitch::WriteDVFile, true, true},
    {"VIDEO", TSwitch::CaptureVideo, true, true},
    {"AUDIO", TSwitch::CaptureAudio, true, true},
    {"PIN", TSwitch::CapturePin, true, true},
    {"SECONDS", TSwitch::CaptureSeconds, true, true},
    {"CAPTURE-KIND", TSwitch::CaptureKind, true, true},
};

const TSwitchName* FindSwitch(std::string_view Name, bool Long) {
    for (const TSwitchName& Entry : Switches)
        if (SameTextAscii(Entry.Name, Name) && (Long || !Entry.LongOnly))
            return &Entry;
    return nullptr;
}

void Apply(TCommandLine& Result, TSwitch Switch, std::string Value) {
    switch (Switch) {
    case TSwitch::ConfigFile:
        Result.ConfigFile = std::move(Value);
        break;
    case TSwitch::ConfigFolder:
        Result.ConfigFolder = std::move(Value);
        break;
    case TSwitch::GotoFolder:
        Result.GotoFolder = std::move(Value);
        break;
    case TSwitch::GotoExeDir:
        Result.GotoExeDir = true;
        break;
    case TSwitch::NoSplashScreen:
        Result.NoSplashScreen = true;
        break;
    case TSwitch::MultipleInstances:
        Result.MultipleInstances = true;
        break;
    case TSwitch::UseLastDir:
        Result.UseLastDir = true;
        break;
    case TSwitch::Render:
        Result.Render = true;
        Result.RenderFile = std::move(Value);
        break;
    case TSwitch::RenderKind:
        Result.RenderKind = std::move(Value);
        break;
    case TSwitch::Help:
        Result.Help = true;
        break;
    case TSwitch::Version:
        Result.Version = true;
        break;
    case TSwitch::Demo:
        Result.Demo = true;
        break;
    case TSwitch::CaptureList:
        Result.CaptureList = true;
        break;
    case TSwitch::CaptureFile:
        Result.CaptureFile = std::move(Value);
        break;
    case TSwitch::SnapshotFile:
        Result.SnapshotFile = std::move(Value);
        break;
    case TSwitch::WriteDVFile:
        Result.WriteDVFile = std::move(Value);
        break;
    case TSwitch::CaptureVideo:
        Result.CaptureVideo = std::move(Value);
        break;
    case TSwitch::CaptureAudio:
        Result.CaptureAudio = std::move(Value);
        break;
    case TSwitch::CapturePin:
        Result.CapturePin = std::move(Value);
        break;
    case TSwitch::CaptureSeconds:
        Result.CaptureSeconds = std::move(Value);
        break;
    case TSwitch::CaptureKind:
        Result.CaptureKind = std::move(Value);
        break;
    }
}

// "/NAME" or "/NAME:value": a switch only when NAME is one and a switch
// with a value has its colon; anything else is a path.
bool ParseSlashSwitch(TCommandLine& Result, std::string_view Argument) {
    std::string_view Body = Argument.substr(1);
    size_t Colon = Body.find(':');
    const TSwitchName* Entry = FindSwitch(Body.substr(0, Colon), false);
    if (!Entry || Entry->HasValue != (Colon != std::string_view::npos))
        return false;
    Apply(Result, Entry->Switch, Entry->HasValue ? std::string(Body.substr(Colon + 1)) : "");
    return true;
}

[[noreturn]] void Refuse(TTextSlot Slot, std::string_view Argument) {
    throw ECommandLineError(FormatMessageText(GetText(Slot), Argument));
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments) {
    TCommandLine Result;
    bool FilesOnly = false;
    for (size_t I = 0; I < Arguments.size(); ++I) {
        const std::string& Argument = Arguments[I];
        if (FilesOnly) {
            Result.Files.push_back(Argument);
        } else if (Argument == "--") {
            FilesOnly = true;
        } else if (Argument.size() > 2 && Argument.compare(0, 2, "--") == 0) {
            std::string_view Body = std::string_view(Argument).substr(2);
            size_t Equals = Body.find('=');
            const TSwitchName* Entry = FindSwitch(Body.substr(0, Equals), true);
            if (!Entry)
                Refuse(TTextSlot::UnknownOption, Argument);
            std::string Value;
            if (Equals != std::string_view::npos) {
                if (!Entry->HasValue)
                    Refuse(TTextSlot::OptionTakesNoValue, Argument);
                Value = Body.substr(Equals + 1);
            } else if (Entry->HasValue) {
                if (I + 1 >= Arguments.size())
                    Refuse(TTextSlot::OptionNeedsValue, Argument);
                Value = Arguments[++I];
            }
            Apply(Result, Entry->Switch, std::move(Value));
        } else if (Argument.size() > 1 && Argument[0] == '/' &&
                   ParseSlashSwitch(Result, Argument)) {
            continue;
        } else {
            Result.Files.push_back(Argument);
        }
    }
    return Result;
}
