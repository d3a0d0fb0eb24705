#pragma once

class TCategoryDescriptions;
class TTransitionDescriptions;

// The transition categories: 1 Fade, 2 HorzVert, 3 Diagonal, 4 VW,
// 5 Geometric, 6 Radial, 7 Snakes, 8 Misc.
void RegisterTransitionCategories(TCategoryDescriptions& Categories);
// The transitions 1..142 in their fixed order: the cross-fade, the wipes
// 2..135, the slides, the stretches and the pixelation.
void RegisterTransitions(TTransitionDescriptions& Transitions);
