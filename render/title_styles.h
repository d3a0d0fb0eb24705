#pragma once

class TCategoryDescriptions;
class TTextDescriptions;

// The title categories: 1 Centred, 2 Edged, 3 Fly-ins, 4 Scrolling.
void RegisterTitleCategories(TCategoryDescriptions& Categories);
// The title styles 1..22 in their fixed order.
void RegisterTitleStyles(TTextDescriptions& Titles);
