// The V4L2 video nodes from sysfs, asked for their capabilities.

#include "platform/capture/capture_endpoint.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/ioctl.h>
#include <unistd.h>

static_assert(VideoNodeCaptureCaps == (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE));

namespace {

std::optional<TVideoNodeCapabilities> QueryVideoNodeIoctl(const std::string& DevicePath) {
    // Non-blocking, so that a node another program holds answers at once;
    // QUERYCAP itself is allowed while another program streams.
    int Descriptor = ::open(DevicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (Descriptor < 0)
        return std::nullopt;
    v4l2_capability Caps{};
    int Result;
    do
        Result = ::ioctl(Descriptor, VIDIOC_QUERYCAP, &Caps);
    while (Result < 0 && errno == EINTR);
    ::close(Descriptor);
    if (Result < 0)
        return std::nullopt;
    TVideoNodeCapabilities Answer;
    const char* Card = reinterpret_cast<const char*>(Caps.card);
    Answer.Card.assign(Card, strnlen(Card, sizeof(Caps.card)));
    // Older drivers fill only the capabilities of the whole device.
    Answer.DeviceCaps =
        (Caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? Caps.device_caps : Caps.capabilities;
    return Answer;
}

std::string ReadFirstLine(const std::filesystem::path& File) {
    std::ifstream Stream(File);
    std::string Line;
    std::getline(Stream, Line);
    return Line;
}

// "video12" gives 12; anything else is not a capture node's name.
std::optional<int> VideoNodeNumber(const std::string& Name) {
    if (Name.rfind("video", 0) != 0 || Name.size() == 5 || Name.size() > 12)
        return std::nullopt;
    int Number = 0;
    auto [End, Error] = std::from_chars(Name.data() + 5, Name.data() + Name.size(), Number);
    if (Error != std::errc() || End != Name.data() + Name.size())
        return std::nullopt;
    return Number;
}

} // namespace

std::vector<TCaptureEndpoint> EnumerateVideoNodes(const TCaptureRoots& Roots) {
    namespace fs = std::filesystem;
    std::vector<std::pair<int, std::string>> Nodes;
    std::error_code Error;
    for (fs::directory_iterator It(Roots.VideoClassFolder, Error), End; !Error && It != End;
         It.increment(Error)) {
        std::string Name = It->path().filename().string();
        if (auto Number = VideoNodeNumber(Name))
            Nodes.emplace_back(*Number, Name);
    }
    std::sort(Nodes.begin(), Nodes.end());
    auto Query = Roots.QueryVideoNode ? Roots.QueryVideoNode : QueryVideoNodeIoctl;
    std::vector<TCaptureEndpoint> Inputs;
    for (const auto& [Number, Name] : Nodes) {
        std::string DevicePath = (fs::path(Roots.DeviceFolder) / Name).string();
        std::optional<TVideoNodeCapabilities> Caps = Query(DevicePath);
        // Metadata and output nodes of the same camera are not inputs.
        if (!Caps || !(Caps->DeviceCaps & VideoNodeCaptureCaps))
            continue;
        std::string Card = Caps->Card;
        if (Card.empty())
            Card = ReadFirstLine(fs::path(Roots.VideoClassFolder) / Name / "name");
        TCaptureEndpoint Input;
        Input.FriendlyName = CleanDeviceName(Card);
        Input.InputFormat = "video4linux2";
        Input.Url = DevicePath;
        Inputs.push_back(std::move(Input));
    }
    return Inputs;
}
