#pragma once

#include "platform/media/picture_source_name.h"

#include <cstdint>
#include <functional>

// The part of a still picture to show, in the picture's own pixels; it may
// reach beyond the picture (a zoom above 1 shows borders around it).
struct TZoomPanRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

// What the picture source asks once per frame: the picture's own size, the
// progress through the clip (0 at its first frame, 1 at its last), and the
// clip's movement and the output frame's size as its source name carries
// them. Everything the answer depends on travels here, so a callback needs
// no state of its own and may answer from any thread.
struct TZoomPanQuery {
    int32_t PictureWidth = 0;
    int32_t PictureHeight = 0;
    double Progress = 0;
    TZoomPanValue Begin;
    TZoomPanValue End;
    int32_t OutputWidth = 0;
    int32_t OutputHeight = 0;
};

using TZoomPanCallback = std::function<TZoomPanRect(const TZoomPanQuery& Query)>;

// The table through which picture sources reach the zoom-and-pan callbacks
// of the render timeline's clips. A source name carries only a handle (a
// number), never an address: a handle that was unregistered, or never
// given out, finds nothing and the picture shows whole.
//
//   uint64_t Handle = RegisterZoomPanCallback([](const TZoomPanQuery& Query) {
//       return ZoomPanRectangle(Query);
//   });
//   ... Name.ZoomPanCallback = Handle; ...
//   UnregisterZoomPanCallback(Handle);
//
// Safe from any thread: sources call from the renderer's threads while the
// UI thread registers and unregisters. A callback runs outside the table's
// lock and may still be running when Unregister returns.

// Handles are never 0 and never given out twice in a process.
uint64_t RegisterZoomPanCallback(TZoomPanCallback Callback);
void UnregisterZoomPanCallback(uint64_t Handle);
// Calls the callback of Handle; false, leaving Rect alone, when there is none.
bool CallZoomPanCallback(uint64_t Handle, const TZoomPanQuery& Query, TZoomPanRect& Rect);

// Registers for its lifetime.
class TZoomPanRegistration {
public:
    explicit TZoomPanRegistration(TZoomPanCallback Callback)
        : FHandle(RegisterZoomPanCallback(std::move(Callback))) {}
    ~TZoomPanRegistration() {
        if (FHandle)
            UnregisterZoomPanCallback(FHandle);
    }
    TZoomPanRegistration(TZoomPanRegistration&& Other) noexcept : FHandle(Other.FHandle) {
        Other.FHandle = 0;
    }
    TZoomPanRegistration& operator=(TZoomPanRegistration&& Other) noexcept {
        if (this != &Other) {
            if (FHandle)
                UnregisterZoomPanCallback(FHandle);
            FHandle = Other.FHandle;
            Other.FHandle = 0;
        }
        return *this;
    }
    TZoomPanRegistration(const TZoomPanRegistration&) = delete;
    TZoomPanRegistration& operator=(const TZoomPanRegistration&) = delete;

    uint64_t Handle() const { return FHandle; }

private:
    uint64_t FHandle;
};
