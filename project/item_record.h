#pragma once

#include "core/ref_object.h"

class TData;
class TTrackItem;

// Creates the item an "Item[i]" record of a project file describes and lets
// it load, or none for a record of an unknown type or catalogue entry. The
// item is not on a track; a failure while loading frees it and propagates.
TRefPtr<TTrackItem> LoadTrackItem(TData& Data);
