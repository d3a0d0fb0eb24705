#pragma once

class TClip;
class TItem;

// Gives To the values of From's settings, matched by key, without undo: for
// items an editing operation makes from others (the halves of a split, a
// joined clip, a title in a new style). The values reach To's render side.
void CopySettings(const TItem& From, TItem& To);
// Gives To a copy of each clip effect of From, of the same kind, with the
// same settings, for the same sub-track index. To must not be on a track:
// the copies find their sub-tracks when it is inserted.
void CopyClipEffects(const TClip& From, TClip& To);
