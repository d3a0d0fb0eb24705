#pragma once

#include <cstdint>

// How a title moves over its clip.
enum class TTitleMotion {
    Still,        // shown as it is, all the time
    FlyInOut,     // flies in from a side, rests, flies out to a side
    Letters,      // letters arrive one after another
    Fade,         // fades in, rests, fades out
    ZoomIn,       // grows from small to its size, rests, fades out
    ZoomOut,      // shrinks from large to its size while fading in, rests, fades out
    Roll,         // rolls up through the frame, as closing credits do
    Crawl,        // crawls from right to left along the bottom, as a news ticker does
    RollAndHold,  // rolls up from below and stops in the middle
    CrawlAndHold, // crawls in from the right and stops in the middle
    Perspective,  // rolls up and away into the distance on a tilted plane
};

// Where the title rests in the frame, inside the margins.
enum class TTitlePlacement {
    Centre,
    TopLeft,
    TopCentre,
    TopRight,
    BottomLeft,
    BottomCentre,
    BottomRight
};

// The side a title or its letters come from or go to.
enum class TTitleDirection { None, Left, Right, Top, Bottom };

struct TTitleStyle {
    TTitleMotion Motion = TTitleMotion::Still;
    TTitlePlacement Placement = TTitlePlacement::Centre;
    TTitleDirection Entry = TTitleDirection::None;
    TTitleDirection Exit = TTitleDirection::None;
};

// The look of a title from its style code and parameters, as the title
// catalogue registers them:
//
//   code 1    a title at the place p4 gives (3 the centre, 6..11 as for
//             code 3), flying in from side p1 and out to side p2, where
//             1 is none, 2 the left, 3 the right, 4 the top, 5 the bottom
//             (1,1 stands still; 2,3 crosses from left to right; ...)
//   code 3    a still title at an edge of the frame, p4: 6 top left,
//             7 top right, 8 top centre, 9 bottom left, 10 bottom right,
//             11 bottom centre
//   code 2    scrolling, p4: 5 rolling credits, 4 a crawling ticker
//   code 100  letters arriving one after another, p1: 1 typed in, 2 flying
//             in from the left, 3 from the right, 4 dropping from the top,
//             5 rising from the bottom
//   code 101  rolls up and stops in the middle
//   code 102  crawls in from the right and stops in the middle
//   code 103  rolls away into the distance
//   code 104  fades in and out
//   code 105  zooms in
//   code 106  zooms out
//
// A code or parameter outside these gives a still title in the centre.
TTitleStyle TitleStyleOf(int32_t StyleCode, int32_t P1, int32_t P2, int32_t P4);
