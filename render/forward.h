#pragma once

class TTimeline;
class TTimelineTrack;
