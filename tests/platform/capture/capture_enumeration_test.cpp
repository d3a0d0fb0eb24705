#include "platform/capture/capture_endpoint.h"
#include "platform/capture/test_capture_devices.h"

#include "test_media.h"

#include <gtest/gtest.h>


#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(CleanDeviceNameTest, ReplacesControlCharactersAndBadBytesAndBoundsTheLength) {
    EXPECT_EQ(CleanDeviceName("USB\nCam\tera\x7f"), "USB Cam era ");
    EXPECT_EQ(CleanDeviceName("Cam\xff\xfe"), "Cam??");
    EXPECT_EQ(CleanDeviceName("Caméra"), "Caméra");
    // An overlong encoding of "/" is not let through as a slash.
    EXPECT_EQ(CleanDeviceName("a\xc0\xaf"), "a??");
    std::string Long(200, 'x');
    EXPECT_EQ(CleanDeviceName(Long).size(), MaxDeviceNameBytes);
    // The cut falls before a character that would not fit whole.
    std::string Accents;
    for (int I = 0; I < 100; ++I)
        Accents += "é";
    std::string Cut = CleanDeviceName(Accents);
    EXPECT_EQ(Cut.size(), MaxDeviceNameBytes);
    EXPECT_EQ(Cut, Accents.substr(0, MaxDeviceNameBytes));
}

// A sysfs video4linux class folder and a device folder whose "nodes" are
// text files "caps card"; the capability query reads them.
class TFakeVideoTree {
public:
    TFakeVideoTree() {
        fs::create_directories(Class());
        fs::create_directories(Dev());
    }
    std::string Class() const { return Folder.Path("sys/class/video4linux"); }
    std::string Dev() const { return Folder.Path("dev"); }

    void AddNode(const std::string& Name, uint32_t Caps, const std::string& Card,
                 const std::string& SysName = "") {
        fs::create_directories(Class() + "/" + Name);
        std::ofstream(Class() + "/" + Name + "/name") << (SysName.empty() ? Card : SysName) << "\n";
        std::ofstream(Dev() + "/" + Name) << Caps << " " << Card;
    }
    // A node that sysfs lists but that cannot be asked (gone meanwhile).
    void AddDeadNode(const std::string& Name) {
        fs::create_directories(Class() + "/" + Name);
    }

    TCaptureRoots Roots() const {
        TCaptureRoots Roots;
        Roots.VideoClassFolder = Class();
        Roots.DeviceFolder = Dev();
        Roots.WithAlsa = false;
        Roots.WithFireWire = false;
        Roots.QueryVideoNode = [](const std::string& Path) -> std::optional<TVideoNodeCapabilities> {
            std::ifstream Node(Path);
            TVideoNodeCapabilities Caps;
            if (!(Node >> Caps.DeviceCaps))
                return std::nullopt;
            Node.get();
            std::getline(Node, Caps.Card);
            return Caps;
        };
        return Roots;
    }

private:
    TTempFolder Folder;
};

TEST(VideoNodeEnumerationTest, KeepsCaptureNodesInNodeNumberOrderWithTheCardName) {
    TFakeVideoTree Tree;
    constexpr uint32_t Capture = 0x1, Metadata = 0x00800000, Output = 0x2;
    Tree.AddNode("video10", Capture, "Capture Card");
    Tree.AddNode("video0", Capture, "USB Camera");
    Tree.AddNode("video1", Metadata, "USB Camera"); // the camera's metadata node
    Tree.AddNode("video2", 0x1000, "Multi-planar Grabber");
    Tree.AddNode("video3", Output, "Loopback Output");
    Tree.AddNode("video4", Capture, "", "Name From Sysfs");
    Tree.AddNode("vbi0", Capture, "Teletext");
    Tree.AddDeadNode("video5");

    std::vector<TCaptureEndpoint> Inputs = EnumerateVideoNodes(Tree.Roots());
    ASSERT_EQ(Inputs.size(), 4u);
    EXPECT_EQ(Inputs[0].FriendlyName, "USB Camera");
    EXPECT_EQ(Inputs[0].Url, Tree.Dev() + "/video0");
    EXPECT_EQ(Inputs[0].InputFormat, "video4linux2");
    EXPECT_EQ(Inputs[1].FriendlyName, "Multi-planar Grabber");
    EXPECT_EQ(Inputs[2].FriendlyName, "Name From Sysfs");
    EXPECT_EQ(Inputs[3].FriendlyName, "Capture Card");
    EXPECT_EQ(Inputs[3].Url, Tree.Dev() + "/video10");
}

TEST(VideoNodeEnumerationTest, CleansCardNamesAndFindsNothingWithoutTheClassFolder) {
    TFakeVideoTree Tree;
    Tree.AddNode("video0", 0x1, "Evil\x1b[2JCam\xff");
    std::vector<TCaptureEndpoint> Inputs = EnumerateVideoNodes(Tree.Roots());
    ASSERT_EQ(Inputs.size(), 1u);
    EXPECT_EQ(Inputs[0].FriendlyName, "Evil [2JCam?");

    TCaptureRoots Missing = Tree.Roots();
    Missing.VideoClassFolder = Tree.Class() + "/absent";
    EXPECT_TRUE(EnumerateVideoNodes(Missing).empty());
}

TEST(VideoNodeEnumerationTest, RealQueryOfAFileThatIsNoVideoNodeDropsIt) {
    TFakeVideoTree Tree;
    Tree.AddNode("video0", 0x1, "USB Camera");
    TCaptureRoots Roots = Tree.Roots();
    Roots.QueryVideoNode = nullptr; // VIDIOC_QUERYCAP on a plain file fails
    EXPECT_TRUE(EnumerateVideoNodes(Roots).empty());
}

class TTestDevicesGuard {
public:
    TTestDevicesGuard() {
        TestCaptureDevices().Reset();
        TestCaptureDevices().SetEnabled(true);
    }
    ~TTestDevicesGuard() {
        TestCaptureDevices().Reset();
        TestCaptureDevices().SetEnabled(false);
    }
};

TEST(TestCaptureDevicesTest, AreEnumeratedAfterTheMachinesDevicesAndFollowTheirPlugs) {
    TFakeVideoTree Tree;
    Tree.AddNode("video0", 0x1, "USB Camera");
    TTestDevicesGuard Guard;
    std::vector<TCaptureEndpoint> Video = EnumerateVideoInputs(Tree.Roots());
    ASSERT_EQ(Video.size(), 4u);
    EXPECT_EQ(Video[0].FriendlyName, "USB Camera");
    EXPECT_EQ(Video[1].FriendlyName, TestCameraName);
    EXPECT_EQ(Video[2].FriendlyName, TestCameraName);
    EXPECT_EQ(Video[3].FriendlyName, DvCamcorderName);

    TestCaptureDevices().SetCameraPlugged(false);
    EXPECT_EQ(EnumerateVideoInputs(Tree.Roots()).size(), 3u);

    std::vector<TCaptureEndpoint> Audio = EnumerateAudioInputs(Tree.Roots());
    ASSERT_EQ(Audio.size(), 1u);
    std::vector<TAudioInputPin> Pins = AudioInputPins(Audio[0]);
    ASSERT_EQ(Pins.size(), 2u);
    EXPECT_TRUE(Pins[0].Enabled);
    EXPECT_FALSE(Pins[1].Enabled);
    TestCaptureDevices().SetEnabledMicrophonePin(1);
    EXPECT_TRUE(AudioInputPins(Audio[0])[1].Enabled);

    TestCaptureDevices().SetEnabled(false);
    EXPECT_EQ(EnumerateVideoInputs(Tree.Roots()).size(), 1u);
    EXPECT_TRUE(EnumerateAudioInputs(Tree.Roots()).empty());
}

// ALSA's own enumeration without a sound card: a configuration that
// defines a file PCM with a description hint.
TEST(AlsaEnumerationTest, ListsAHintedCapturePcmFromTheConfiguration) {
    TTempFolder Folder;
    std::ofstream(Folder.Path("input.raw")) << std::string(4096, '\0');
    std::string Config = Folder.Path("asound.conf");
    std::ofstream(Config) << "</usr/share/alsa/alsa.conf>\n"
                             "pcm.qmhinted {\n"
                             "  type file\n"
                             "  slave.pcm null\n"
                             "  file \"/dev/null\"\n"
                             "  infile \"" << Folder.Path("input.raw") << "\"\n"
                             "  hint { show on\n description \"Quillmoor Hinted Input\" }\n"
                             "}\n"
                             "pcm.qmplayback {\n"
                             "  type null\n"
                             "  hint { show on\n description \"Output Only\"\n"
                             "         device_output 1 }\n"
                             "}\n";
    const char* Old = std::getenv("ALSA_CONFIG_PATH");
    std::string Saved = Old ? Old : "";
    setenv("ALSA_CONFIG_PATH", Config.c_str(), 1);
    std::vector<TCaptureEndpoint> Pcms = EnumerateAlsaHintedCapturePcms();
    if (Old)
        setenv("ALSA_CONFIG_PATH", Saved.c_str(), 1);
    else
        unsetenv("ALSA_CONFIG_PATH");

    auto Found = std::find_if(Pcms.begin(), Pcms.end(),
                              [](const TCaptureEndpoint& P) { return P.Url == "qmhinted"; });
    ASSERT_NE(Found, Pcms.end());
    EXPECT_EQ(Found->FriendlyName, "Quillmoor Hinted Input");
    EXPECT_EQ(Found->InputFormat, "alsa");
    for (const TCaptureEndpoint& Pcm : Pcms) {
        EXPECT_EQ(Pcm.Url.find(':'), std::string::npos) << Pcm.Url;
        EXPECT_NE(Pcm.Url, "null");
    }
}

TEST(CompressorEnumerationTest, ListsEncodersByKind) {
    auto Has = [](const std::vector<TCaptureEndpoint>& List, const char* Name) {
        return std::any_of(List.begin(), List.end(),
                           [&](const TCaptureEndpoint& E) { return E.Url == Name; });
    };
    std::vector<TCaptureEndpoint> Video = EnumerateCompressors(true);
    std::vector<TCaptureEndpoint> Audio = EnumerateCompressors(false);
    EXPECT_TRUE(Has(Video, "dvvideo"));
    EXPECT_FALSE(Has(Video, "pcm_s16le"));
    EXPECT_TRUE(Has(Audio, "pcm_s16le"));
    EXPECT_FALSE(Has(Audio, "dvvideo"));
}

} // namespace
