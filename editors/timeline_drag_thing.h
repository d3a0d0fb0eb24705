#pragma once

#include "playback/drag_preview.h"
#include "project/drag_things.h"
#include "toolkit/widgets/drag.h"

#include <memory>
#include <utility>

// What the toolkit's drag carries when a browser drags a new item toward the
// timeline: the item's description, drawn as the picture it shows. A player
// window it passes over previews it.
class TTimelineDragThing : public TThing, public TPreviewedThing {
public:
    explicit TTimelineDragThing(std::unique_ptr<TVideoDragThing> Thing)
        : TThing(TVideoDragThing::PictureBound, TVideoDragThing::PictureBound, TVideoDragThing::PictureBound / 2,
                 TVideoDragThing::PictureBound / 2),
          FThing(std::move(Thing)) {}
    const TVideoDragThing& Thing() const { return *FThing; }
    const TVideoDragThing& Previewed() const override { return *FThing; }

private:
    std::unique_ptr<TVideoDragThing> FThing;
};
