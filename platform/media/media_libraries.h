#pragma once

#include <string>
#include <thread>
#include <vector>

// The FFmpeg libraries (format, codec, util, scale, resample) pull in most
// of the system's codec, network and picture libraries: relocating them is
// the larger part of a start, yet the first window needs none of them. So
// the program does not link them. Each library function the engine calls is
// defined in media_library_calls.cpp as a forwarder that loads the
// libraries with the dynamic loader at its first call, once for the life of
// the process, and calls the library's own function; the engine's code
// calls the libraries as it would if they were linked.
//
//   TMediaLibraryPreload Preload;   // after the first paint: loads them on
//                                   // a thread of its own meanwhile
//   avformat_open_input(...);       // loads them here if not loaded yet

// The file names loaded: "libavformat.so.<major version built against>" and
// the like, the utility library first.
std::vector<std::string> MediaLibraryNames();

// Loads the libraries on the first call; later calls return at once. Safe
// from any thread: a call that comes while another thread loads waits for
// it. When a library cannot be loaded, throws EMediaError naming it with
// the loader's reason, and the next call tries again.
void LoadMediaLibraries();

// Whether the libraries are loaded in this process.
bool MediaLibrariesLoaded();

// The address of the library function Name, loading the libraries first;
// throws EMediaError when they cannot be loaded or none has the function.
// For the forwarders.
void* MediaLibraryFunction(const char* Name);

// Loads the libraries on a thread of its own, so that the first media file
// opened does not wait for them; a failure is left for that first use to
// report. The destructor waits for the thread.
class TMediaLibraryPreload {
public:
    TMediaLibraryPreload();
    ~TMediaLibraryPreload();
    TMediaLibraryPreload(const TMediaLibraryPreload&) = delete;
    TMediaLibraryPreload& operator=(const TMediaLibraryPreload&) = delete;

private:
    std::thread FThread;
};
