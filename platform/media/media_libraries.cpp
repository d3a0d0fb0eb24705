#include "platform/media/media_libraries.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_error.h"

extern "C" {
#include <libavcodec/version.h>
#include <libavformat/version.h>
#include <libavutil/version.h>
#include <libswresample/version.h>
#include <libswscale/version.h>
}

#include <dlfcn.h>

#include <atomic>
#include <exception>
#include <mutex>

namespace {

std::mutex LoadLock;
std::atomic<bool> Loaded{false};
// Written once under LoadLock before Loaded is set; read after it is.
std::vector<void*> Handles;

std::string LoaderReason() {
    const char* Reason = dlerror();
    return Reason ? Reason : "";
}

} // namespace

std::vector<std::string> MediaLibraryNames() {
    auto Name = [](const char* Stem, int Major) { return std::string(Stem) + ".so." + std::to_string(Major); };
    return {Name("libavutil", LIBAVUTIL_VERSION_MAJOR), Name("libswresample", LIBSWRESAMPLE_VERSION_MAJOR),
            Name("libswscale", LIBSWSCALE_VERSION_MAJOR), Name("libavcodec", LIBAVCODEC_VERSION_MAJOR),
            Name("libavformat", LIBAVFORMAT_VERSION_MAJOR)};
}

void LoadMediaLibraries() {
    if (Loaded.load(std::memory_order_acquire))
        return;
    std::lock_guard Guard(LoadLock);
    if (Loaded.load(std::memory_order_relaxed))
        return;
    std::vector<void*> Opened;
    for (const std::string& FileName : MediaLibraryNames()) {
        // RTLD_NODELETE: decoders and contexts made by a library point into
        // its code for as long as the program runs.
        void* Library = dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!Library) {
            std::string Reason = LoaderReason();
            for (void* Done : Opened)
                dlclose(Done);
            RaiseMediaError(FormatMessageText(GetText(TTextSlot::MediaLibraryMissing), FileName), Reason);
        }
        Opened.push_back(Library);
    }
    Handles = std::move(Opened);
    Loaded.store(true, std::memory_order_release);
}

bool MediaLibrariesLoaded() {
    return Loaded.load(std::memory_order_acquire);
}

void* MediaLibraryFunction(const char* Name) {
    LoadMediaLibraries();
    for (void* Library : Handles)
        if (void* Address = dlsym(Library, Name))
            return Address;
    std::string Names;
    for (const std::string& FileName : MediaLibraryNames())
        Names += (Names.empty() ? "" : ", ") + FileName;
    RaiseMediaError(FormatMessageText(GetText(TTextSlot::MediaLibraryMissing), Names),
                    std::string("no function ") + Name);
}

TMediaLibraryPreload::TMediaLibraryPreload()
    : FThread([] {
          try {
              LoadMediaLibraries();
          } catch (const std::exception&) {
              // The first use of the libraries raises the same error where
              // it can be shown.
          }
      }) {}

TMediaLibraryPreload::~TMediaLibraryPreload() {
    FThread.join();
}
