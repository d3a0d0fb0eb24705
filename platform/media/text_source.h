#pragma once

#include "platform/forward.h"

// The title source: a source of this class id reads its "filename"
// property, a text source name (text_source_name.h), and draws the title
// over the title's background (transparent for title clips), moving it as
// its style says over the source's range on the timeline. A name that does
// not parse raises EMediaError when the source is made.
const TGuid& TextSourceClassId(); // {BD656B83-0729-4E11-967A-1FA34B5724F7}
void RegisterTextSource(TMediaComponents& Registry);
