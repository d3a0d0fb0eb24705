// The picture source name: the text the render timeline writes for a still
// clip and the picture source reads back, whatever the locale.

#include "platform/media/picture_source_name.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

TPictureSourceName SampleName() {
    TPictureSourceName Name;
    Name.ZoomPanCallback = 18446744073709551615u;
    Name.RenderMode = 1;
    Name.ClipColor = MakeColor(0x11, 0x22, 0x33, 0xFF);
    Name.OutputWidth = 720;
    Name.OutputHeight = 576;
    Name.MediaStop = 50000000;
    Name.FramesPerSecond = 29.97;
    Name.ZoomPanBegin = {0.25, 0.5, 1};
    Name.ZoomPanEnd = {0.75, 0.125, 0.5};
    Name.KeepAspectRatio = false;
    Name.FileName = "/home/user/Pictures/Holiday 2024/100% beach.jpg";
    return Name;
}

// Sets LC_NUMERIC for the test's length: a locale with "," as its decimal
// point where the system has one.
class TNumericLocale {
public:
    TNumericLocale() {
        const char* Old = std::setlocale(LC_NUMERIC, nullptr);
        FOld = Old ? Old : "C";
        for (const char* Name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
            if (std::setlocale(LC_NUMERIC, Name)) {
                FActive = true;
                break;
            }
    }
    ~TNumericLocale() { std::setlocale(LC_NUMERIC, FOld.c_str()); }
    TNumericLocale(const TNumericLocale&) = delete;
    TNumericLocale& operator=(const TNumericLocale&) = delete;
    bool Active() const { return FActive; }

private:
    std::string FOld;
    bool FActive = false;
};

} // namespace

TEST(PictureSourceName, FieldsAreWrittenInTheirOrder) {
    // Colour 0xFF332211 written with red and blue exchanged: 0xFF112233.
    EXPECT_EQ(BuildPictureSourceName(SampleName()),
              "qmfileprotocol://18446744073709551615/1/0/4279312947/0/720/576/50000000/29.97/"
              "0.25/0.5/1/0.75/0.125/0.5/0/0//home/user/Pictures/Holiday 2024/100% beach.jpg");
}

TEST(PictureSourceName, DefaultsWriteNoCallbackAndKeepTheAspectRatio) {
    TPictureSourceName Name;
    Name.FileName = "/a.png";
    EXPECT_EQ(BuildPictureSourceName(Name),
              "qmfileprotocol://0/0/0/0/0/0/0/0/0/0.5/0.5/1/0.5/0.5/1/1/0//a.png");
}

TEST(PictureSourceName, ReadsBackWhatWasWritten) {
    TPictureSourceName Read;
    ASSERT_TRUE(ParsePictureSourceName(BuildPictureSourceName(SampleName()), Read));
    EXPECT_EQ(Read, SampleName());
}

TEST(PictureSourceName, DecimalPointIsAPointInEveryLocale) {
    TNumericLocale Locale;
    if (Locale.Active()) {
        // The check that the locale took: C's own formatting now writes ",".
        char Probe[16];
        std::snprintf(Probe, sizeof Probe, "%.1f", 0.5);
        EXPECT_STREQ(Probe, "0,5");
    }
    std::string Text = BuildPictureSourceName(SampleName());
    EXPECT_NE(Text.find("/29.97/0.25/0.5/1/0.75/0.125/0.5/"), std::string::npos) << Text;
    EXPECT_EQ(Text.find(','), std::string::npos);
    TPictureSourceName Read;
    ASSERT_TRUE(ParsePictureSourceName(Text, Read));
    EXPECT_EQ(Read, SampleName());
}

TEST(PictureSourceName, ColourWrittenAsASignedIntegerReadsTheSame) {
    // 0xFF112233 as a signed 32-bit integer is -15654349.
    TPictureSourceName Read;
    ASSERT_TRUE(ParsePictureSourceName(
        "qmfileprotocol://7/0/0/-15654349/0/320/240/10000000/25/0.5/0.5/1/0.5/0.5/1/1/0//p.png",
        Read));
    EXPECT_EQ(Read.ClipColor, MakeColor(0x11, 0x22, 0x33, 0xFF));
    EXPECT_EQ(Read.ZoomPanCallback, 7u);
    EXPECT_EQ(Read.FileName, "/p.png");
}

TEST(PictureSourceName, PathKeepsItsSlashesAndAnyCharacters) {
    TPictureSourceName Name = SampleName();
    Name.FileName = "/tmp/a/b//c/%d/Ärger 1.png";
    TPictureSourceName Read;
    ASSERT_TRUE(ParsePictureSourceName(BuildPictureSourceName(Name), Read));
    EXPECT_EQ(Read.FileName, Name.FileName);
}

TEST(PictureSourceName, MalformedNamesAreRejected) {
    TPictureSourceName Read;
    Read.FileName = "untouched";
    const char* Bad[] = {
        "",
        "file:///a.png",
        "qmfileprotocol://",
        "qmfileprotocol://0/0/0/0/0/320/240/10000000/25/0.5/0.5/1/0.5/0.5/1/1/0/",
        "qmfileprotocol://0/0/0/0/0/320/240/10000000/25/0.5/0.5/1/0.5/0.5/1/0//a.png",
        "qmfileprotocol://x/0/0/0/0/320/240/10000000/25/0.5/0.5/1/0.5/0.5/1/1/0//a.png",
        "qmfileprotocol://0/0/0/0/0/320/240/10000000/2 5/0.5/0.5/1/0.5/0.5/1/1/0//a.png",
        "qmfileprotocol://0/0/0/99999999999/0/320/240/1/25/0.5/0.5/1/0.5/0.5/1/1/0//a.png",
    };
    for (const char* Text : Bad) {
        EXPECT_FALSE(ParsePictureSourceName(Text, Read)) << Text;
        EXPECT_EQ(Read.FileName, "untouched");
    }
}
