#pragma once

class TTimeline;
class TTimelineTrack;

class TBaseDescription;
class TCategoryDescriptions;
class TDescriptionRegistry;
class TDescriptions;
class TEffectDescription;
class TEffectDescriptions;
class TElementProperty;
class TElementPropertyDescription;
class TElementPropertyValue;
class TElementProps;
class TPropertyHost;
class TSoftnessPropertyValue;
class TTextClipDescriptor;
class TTextClipFontDescriptor;
class TTextDescription;
class TTextDescriptions;
class TTransformDescription;
class TTransitionDescription;
class TTransitionDescriptions;
class TVolumePropertyValue;
struct TCategoryDescription;
struct TTitleFont;
struct TTitleTextForm;
