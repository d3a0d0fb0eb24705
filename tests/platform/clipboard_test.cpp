#include "platform/clipboard.h"

#include "platform/window/headless_window_system.h"

#include <gtest/gtest.h>

namespace {

TEST(ClipboardDocument, TravelsBehindTheSignatureLine) {
    std::string Text = ClipboardDocumentText("Clipboard:\n  Count = 0\nend\n");
    EXPECT_TRUE(Text.starts_with(std::string(ClipboardSignature) + "\n"));
    EXPECT_TRUE(IsClipboardDocument(Text));
    EXPECT_EQ(ClipboardDocumentBody(Text), "Clipboard:\n  Count = 0\nend\n");
    for (std::string_view Other : {std::string_view("Clipboard:\n"), std::string_view(""),
                                   ClipboardSignature, std::string_view("Quillmoor clipboard document 10\n")})
        EXPECT_FALSE(IsClipboardDocument(Other)) << Other;
    EXPECT_FALSE(IsClipboardDocument(ClipboardDocumentText(std::string(MaxClipboardDocument, 'x'))));
}

TEST(ClipboardFileList, RoundTripsNamesWithSpacesAndNonAsciiCharacters) {
    std::vector<std::string> Names = {"/home/me/Videos/holiday clip.mp4", "/tmp/100%/é#?.wav",
                                      "/a"};
    std::string Text = FormatFileList(Names);
    EXPECT_EQ(Text.substr(0, Text.find('\n') + 1), "file:///home/me/Videos/holiday%20clip.mp4\r\n");
    EXPECT_EQ(ParseFileList(Text), Names);
}

TEST(ClipboardFileList, SkipsCommentsOtherSchemesOtherHostsAndBrokenEscapes) {
    EXPECT_EQ(ParseFileList("# copied\nhttp://example.com/a\nfile://otherhost/b\n"
                            "file://localhost/c\nfile:///d%2\nfile:///e%00f\nfile:///g\n"),
              (std::vector<std::string>{"/c", "/g"}));
}

TEST(WindowClipboard, GoesThroughTheWindowSystemAndAsksOncePerChange) {
    THeadlessWindowSystem System;
    TWindowClipboard Clipboard(System);
    EXPECT_FALSE(Clipboard.HoldsDocument());
    Clipboard.SetText(ClipboardDocumentText("Clipboard:\nend\n"));
    EXPECT_EQ(System.ClipboardText(), ClipboardDocumentText("Clipboard:\nend\n"));
    EXPECT_TRUE(Clipboard.HoldsDocument());
    System.SetClipboardText("plain");
    EXPECT_TRUE(Clipboard.HoldsDocument()); // not told yet
    Clipboard.Changed();
    EXPECT_FALSE(Clipboard.HoldsDocument());
}

TEST(MemoryClipboard, FailsWhenAskedTo) {
    TMemoryClipboard Clipboard;
    Clipboard.SetText("before");
    Clipboard.SetFailing(true);
    EXPECT_THROW(Clipboard.SetText("after"), EClipboardError);
    EXPECT_THROW(Clipboard.Text(), EClipboardError);
    EXPECT_FALSE(Clipboard.HoldsDocument());
    Clipboard.SetFailing(false);
    EXPECT_EQ(Clipboard.Text(), "before");
}

} // namespace
