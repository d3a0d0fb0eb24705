#pragma once

#include "platform/forward.h"

// The still-picture source: a source of this class id reads its
// "filename" property, a picture source name (picture_source_name.h), and
// shows the picture. Every frame it asks the zoom-and-pan callback the name
// gives for the part of the picture to show, with the picture's size and
// the progress through the clip, and draws that part into the frame:
// stretched to the frame, or kept in its shape and centred when the name
// says to keep the aspect ratio. The clip colour of the name fills what the
// picture leaves free and shows through its transparent parts. Without a
// callback (handle 0, or one no longer registered) the whole picture shows;
// the zoom-and-pan values, output size, media stop and frame rate the name
// also carries are not needed here: the frame and the source's own
// range on the timeline decide what is drawn.
//
// Making the source decodes the picture: a file that cannot be read, is
// damaged or is of a kind this system cannot draw (WMF, EMF) raises
// EMediaError with the cannot-open text then.
const TGuid& PictureSourceClassId(); // {CBA84307-036B-4A74-9E98-8F32405FF48D}
void RegisterPictureSource(TMediaComponents& Registry);
