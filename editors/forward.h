#pragma once

class TClipFragment;
class TItemFragment;
class TSubTrackFragment;
class TSubTrackHeaderFragment;
class TTimeBarFragment;
class TTimeMarkFragment;
class TTimelineDesktop;
class TTimelineDesktopClass;
class TTimelineDragThing;
class TTrackFragment;
class TTracksFragment;
class TTransitionFragment;
