// DV camcorders on FireWire: AV/C units with a tape recorder subunit.

#include "platform/capture/capture_endpoint.h"

#include <libavc1394/avc1394.h>
#include <libavc1394/rom1394.h>
#include <libraw1394/raw1394.h>

#include <memory>

namespace {

struct THandleCloser {
    void operator()(raw1394handle_t Handle) const { raw1394_destroy_handle(Handle); }
};
using THandlePtr = std::unique_ptr<std::remove_pointer_t<raw1394handle_t>, THandleCloser>;

} // namespace

std::vector<TCaptureEndpoint> EnumerateFireWireCamcorders() {
    std::vector<TCaptureEndpoint> Units;
    // Without a FireWire controller (or its device nodes) there is no
    // handle, and no camcorder.
    THandlePtr Handle(raw1394_new_handle());
    if (!Handle)
        return Units;
    raw1394_portinfo Ports[16];
    int PortCount = raw1394_get_port_info(Handle.get(), Ports, 16);
    for (int Port = 0; Port < std::min(PortCount, 16); ++Port) {
        THandlePtr PortHandle(raw1394_new_handle_on_port(Port));
        if (!PortHandle)
            continue;
        int NodeCount = raw1394_get_nodecount(PortHandle.get());
        for (int Node = 0; Node < NodeCount && Node < 63; ++Node) {
            rom1394_directory Directory{};
            if (rom1394_get_directory(PortHandle.get(), nodeid_t(Node), &Directory) < 0)
                continue;
            bool Avc = rom1394_get_node_type(&Directory) == ROM1394_NODE_TYPE_AVC;
            rom1394_free_directory(&Directory);
            if (!Avc || !avc1394_check_subunit_type(PortHandle.get(), nodeid_t(Node),
                                                    AVC1394_SUBUNIT_TYPE_VCR))
                continue;
            TCaptureEndpoint Unit;
            Unit.FriendlyName = DvCamcorderName;
            Unit.InputFormat = "iec61883";
            // libavdevice's DV input finds the first unit on its own; a
            // second camcorder is told apart by its node below.
            Unit.Url = "auto";
            Unit.FireWirePort = Port;
            Unit.FireWireNode = Node;
            Units.push_back(std::move(Unit));
        }
    }
    return Units;
}
