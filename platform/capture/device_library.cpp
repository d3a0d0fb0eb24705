#include "platform/capture/device_library.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_error.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

#include <dlfcn.h>

#include <atomic>
#include <mutex>

namespace {

std::mutex LoadLock;
std::atomic<bool> Loaded{false};

} // namespace

std::string DeviceLibraryName() {
    return "libavdevice.so." + std::to_string(LIBAVDEVICE_VERSION_MAJOR);
}

void LoadDeviceInputs() {
    LoadDeviceInputs(DeviceLibraryName());
}

void LoadDeviceInputs(const std::string& FileName) {
    if (Loaded.load(std::memory_order_acquire))
        return;
    std::lock_guard Guard(LoadLock);
    if (Loaded.load(std::memory_order_relaxed))
        return;
    // RTLD_NODELETE: the format library keeps pointers to the inputs
    // registered below, so the code must stay mapped whatever happens.
    void* Library = dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!Library) {
        const char* Reason = dlerror();
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::DeviceLibraryMissing), FileName),
                        Reason ? Reason : "");
    }
    // Typed from the library's own declaration, which is only read here:
    // nothing in the program refers to the symbol itself.
    using TRegisterAll = decltype(&avdevice_register_all);
    auto RegisterAll = reinterpret_cast<TRegisterAll>(dlsym(Library, "avdevice_register_all"));
    if (!RegisterAll) {
        const char* Reason = dlerror();
        std::string Why = Reason ? Reason : "";
        dlclose(Library);
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::DeviceLibraryMissing), FileName), Why);
    }
    RegisterAll();
    Loaded.store(true, std::memory_order_release);
}

bool DeviceInputsLoaded() {
    return Loaded.load(std::memory_order_acquire);
}
