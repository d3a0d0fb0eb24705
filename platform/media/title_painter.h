#pragma once

#include "platform/forward.h"
#include "platform/media/picture_pyramid.h"
#include "platform/media/title_text.h"

#include <cstdint>
#include <memory>

// Draws one title into frames of one size at any moment of its clip. The
// title's first line is set in the main font, the lines after it in the
// caption font beneath; lines longer than the frame's width inside its
// margins wrap. Each font draws in its own colour, with its second colour
// as an edge around the letters when that colour is not transparent; the
// frame beneath is the title's background colour (transparent for title
// clips, so that the picture beneath shows). The style (title_styles.h)
// places and moves it; a title whose font is not installed is set in the
// face fontconfig puts in its place.
//
//   TTitlePainter Painter(Title, 720, 576);
//   Painter.Draw(1.5, 4.0, Frame); // 1.5 s into a 4-second title
class TTitlePainter {
public:
    TTitlePainter(const TTitleText& Title, int32_t Width, int32_t Height);
    ~TTitlePainter();
    TTitlePainter(const TTitlePainter&) = delete;
    TTitlePainter& operator=(const TTitlePainter&) = delete;

    int32_t Width() const;
    int32_t Height() const;

    // Fills Frame (made Width x Height) with the title as it shows Time
    // seconds into a clip Duration seconds long.
    void Draw(double Time, double Duration, TVideoFrame& Frame) const;

    // Where the text rests in the frame (moving styles pass through or stop
    // at it); empty for an empty text.
    TFloatRect RestingBounds() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};
