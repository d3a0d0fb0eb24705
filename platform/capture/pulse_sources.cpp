#include "platform/capture/capture_endpoint.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

namespace {

struct TPulseQuery {
    std::vector<TCaptureEndpoint> Sources;
    bool Done = false;
    bool Asked = false;
};

void SourceFound(pa_context*, const pa_source_info* Info, int Last, void* Data) {
    auto* Query = static_cast<TPulseQuery*>(Data);
    if (Last != 0 || !Info) {
        Query->Done = true;
        return;
    }
    // A sink's monitor plays back what goes out; it is not an input.
    if (Info->monitor_of_sink != PA_INVALID_INDEX || !Info->name)
        return;
    TCaptureEndpoint Source;
    Source.FriendlyName = CleanDeviceName(Info->description ? Info->description : Info->name);
    Source.InputFormat = "pulse";
    Source.Url = Info->name;
    Query->Sources.push_back(std::move(Source));
}

} // namespace

std::vector<TCaptureEndpoint> EnumeratePulseSources(std::chrono::milliseconds Limit) {
    using TClock = std::chrono::steady_clock;
    auto Deadline = TClock::now() + Limit;
    TPulseQuery Query;
    pa_mainloop* Loop = pa_mainloop_new();
    if (!Loop)
        return {};
    pa_context* Context = pa_context_new(pa_mainloop_get_api(Loop), "Quillmoor");
    // Never start a server: only one that runs already is asked.
    if (Context && pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        while (!Query.Done) {
            auto Left = std::chrono::duration_cast<std::chrono::microseconds>(Deadline - TClock::now());
            if (Left.count() <= 0)
                break;
            pa_context_state_t State = pa_context_get_state(Context);
            if (!PA_CONTEXT_IS_GOOD(State))
                break;
            if (State == PA_CONTEXT_READY && !Query.Asked) {
                Query.Asked = true;
                if (pa_operation* Operation = pa_context_get_source_info_list(Context, SourceFound, &Query))
                    pa_operation_unref(Operation);
                else
                    break;
            }
            // The wait for the server never outlasts the deadline.
            if (pa_mainloop_prepare(Loop, int(Left.count())) < 0 || pa_mainloop_poll(Loop) < 0 ||
                pa_mainloop_dispatch(Loop) < 0)
                break;
        }
        pa_context_disconnect(Context);
    }
    if (Context)
        pa_context_unref(Context);
    pa_mainloop_free(Loop);
    if (!Query.Done)
        return {};
    return Query.Sources;
}
