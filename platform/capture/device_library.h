#pragma once

#include <string>

// The device inputs of the media libraries (video4linux2, alsa, pulse,
// iec61883, lavfi) live in libavdevice, which pulls in most of the codec,
// filter and audio-server libraries of the system. Only capture needs it, so
// the program does not link it: the first capture input loads it with the
// dynamic loader and registers its inputs with the format library, once for
// the life of the process (it is never unloaded, since the format library
// keeps pointers into it).
//
//   LoadDeviceInputs();  // throws EMediaError when the library is missing
//   av_find_input_format("lavfi");

// The file name loaded: "libavdevice.so.<major version built against>".
std::string DeviceLibraryName();

// Loads DeviceLibraryName() and registers its inputs on the first call;
// later calls return at once. When the library cannot be loaded or lacks
// its registration function, throws EMediaError naming the library with the
// loader's reason, and the next call tries again.
void LoadDeviceInputs();

// The same for the library FileName; for tests of the failure path. Does
// nothing once some library's inputs are registered.
void LoadDeviceInputs(const std::string& FileName);

// Whether a device library's inputs are registered in this process.
bool DeviceInputsLoaded();
