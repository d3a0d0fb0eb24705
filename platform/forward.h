#pragma once

// The platform layer's classes, for headers that only name them.

class TFrameGrabber;
class TMediaComponents;
class TMediaComposition;
class TMediaEffect;
class TMediaGroup;
class TMediaNode;
class TMediaSource;
class TMediaTimeline;
class TMediaTrack;
class TMediaTransition;
class TMessageQueue;
class TPropertySetter;
class TVideoFrame;
struct TFontData;
struct TGuid;
struct TPixelView;
