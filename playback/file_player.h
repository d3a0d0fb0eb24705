#pragma once

#include "playback/engine_player_object.h"

#include <memory>
#include <string>

// Plays one media file: a timeline of the engine holding the file's picture
// at its own size and frame rate and its sound, previewed like the render
// timeline. Keep-aspect is on. A file that cannot be read raises EMediaError
// from the constructor, with the decoder's reason.
//
//   TFilePlayer Player("/clips/a.mp4");
//   Player.OnFrame = ...;
//   Player.SetVideoVisible(true);
//   Player.PlayTo(PlayToEnd);
class TFilePlayer : public TEnginePlayerObject {
public:
    explicit TFilePlayer(const std::string& FileName);

    std::string_view ClassName() const override { return "TFilePlayer"; }
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};
