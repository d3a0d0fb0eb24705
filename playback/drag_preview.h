#pragma once

class TVideoDragThing;

// A dragged thing that a player window can preview while it is over the
// window: a browser's clip, title, effect or transition. The toolkit's drag
// object that carries one also derives from this.
class TPreviewedThing {
public:
    virtual ~TPreviewedThing() = default;
    virtual const TVideoDragThing& Previewed() const = 0;
};
