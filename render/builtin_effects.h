#pragma once

class TCategoryDescriptions;
class TEffectDescriptions;

// The effect categories: 1 Color, 2 Alpha, 3 Misc, 4 Audio.
void RegisterEffectCategories(TCategoryDescriptions& Categories);
// The effects in their fixed order (which is not the order of their indexes:
// the fades 16..19 come right after the transparency, 8).
void RegisterEffects(TEffectDescriptions& Effects);
