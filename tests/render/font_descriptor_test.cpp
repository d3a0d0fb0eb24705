#include "render/font_descriptor.h"

#include "render_test_support.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FontDescriptorTest, DefaultFonts) {
    TTitleFont Main = DefaultMainFont();
    EXPECT_DOUBLE_EQ(Main.Size, 0.06);
    EXPECT_EQ(Main.Name, "Tahoma");
    EXPECT_EQ(Main.Color, MakeColor(255, 255, 255, 255));
    EXPECT_EQ(Main.SecondColor, MakeColor(0, 0, 0, 0));
    EXPECT_EQ(Main.Style, FontStyleBold);

    TTitleFont Caption = DefaultCaptionFont();
    EXPECT_DOUBLE_EQ(Caption.Size, 0.05);
    EXPECT_EQ(Caption.Name, "Tahoma");
    EXPECT_EQ(Caption.Color, Main.Color);
    EXPECT_EQ(Caption.SecondColor, Main.SecondColor);
    EXPECT_EQ(Caption.Style, 0);

    EXPECT_EQ(TTextClipFontDescriptor().Font(), Main);
}

TEST(FontDescriptorTest, TextFormWritesColoursWithRedAndBlueExchanged) {
    EXPECT_EQ(WriteFontTextForm(DefaultMainFont()), "Tahoma/0.06/1/-1/0");
    TTitleFont Font{"DejaVu Sans", 0.125, FontStyleItalic | FontStyleUnderlined,
                    MakeColor(0x12, 0x34, 0x56, 0), MakeColor(0, 0, 0xFF, 0)};
    // 0x00123456 and 0x000000FF.
    EXPECT_EQ(WriteFontTextForm(Font), "DejaVu Sans/0.125/6/1193046/255");
    EXPECT_EQ(WriteTextFormColor(MakeColor(255, 0, 0)), "-65536"); // 0xFFFF0000
}

TEST(FontDescriptorTest, TextFormRoundTripsAwkwardNames) {
    for (const char* Name :
         {"Tahoma", "", "AC/DC Sans", "/", "Nöto Sans ÇJK 日本", "a//b/", "1/2/3/4", " Padded "}) {
        TTitleFont Font{Name, 0.0725, FontStyleBold | FontStyleUnderlined, MakeColor(1, 2, 3, 4),
                        MakeColor(250, 251, 252, 253)};
        TTitleFont Back = DefaultCaptionFont();
        ASSERT_TRUE(ReadFontTextForm(WriteFontTextForm(Font), Back)) << Name;
        EXPECT_EQ(Back, Font) << Name;
    }
}

TEST(FontDescriptorTest, ColoursReadInEitherSignedness) {
    TColor Color = 0;
    ASSERT_TRUE(ReadTextFormColor("4294901760", Color)); // 0xFFFF0000 unsigned
    EXPECT_EQ(Color, MakeColor(255, 0, 0));
    ASSERT_TRUE(ReadTextFormColor("-65536", Color));
    EXPECT_EQ(Color, MakeColor(255, 0, 0));
    EXPECT_FALSE(ReadTextFormColor("4294967296", Color));
    EXPECT_FALSE(ReadTextFormColor("-2147483649", Color));
    EXPECT_FALSE(ReadTextFormColor("0x10", Color));
    EXPECT_FALSE(ReadTextFormColor("", Color));
}

TEST(FontDescriptorTest, UnreadableTextFormsLeaveTheFontAlone) {
    for (const char* Text : {"", "Tahoma", "Tahoma/0.06/1/-1", "Tahoma/big/1/-1/0",
                             "Tahoma/0/1/-1/0", "Tahoma/-0.1/1/-1/0", "Tahoma/nan/1/-1/0",
                             "Tahoma/0.06/256/-1/0", "Tahoma/0.06/1/-1/0 ", "Tahoma/0,06/1/-1/0"}) {
        TTitleFont Font = DefaultCaptionFont();
        EXPECT_FALSE(ReadFontTextForm(Text, Font)) << Text;
        EXPECT_EQ(Font, DefaultCaptionFont()) << Text;
    }
}

TEST(FontDescriptorTest, TextFormIgnoresTheLocale) {
    TCommaLocale Locale;
    if (!Locale.Active())
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(WriteFontTextForm(DefaultCaptionFont()), "Tahoma/0.05/0/-1/0");
    TTitleFont Font;
    ASSERT_TRUE(ReadFontTextForm("Tahoma/0.05/0/-1/0", Font));
    EXPECT_DOUBLE_EQ(Font.Size, 0.05);
}

TEST(FontDescriptorTest, SettersFireOnlyOnARealChange) {
    TTextClipFontDescriptor Font;
    TEventCounter Events;
    Font.OnChange = Events.Method();
    Font.SetName("Tahoma");
    Font.SetSize(0.06);
    Font.SetColor(Font.Color());
    Font.SetSecondColor(Font.SecondColor());
    Font.SetStyle(FontStyleBold);
    Font.Assign(DefaultMainFont());
    EXPECT_EQ(Events.Count, 0);

    Font.SetName("Sans");
    Font.SetSize(0.1);
    Font.SetColor(MakeColor(1, 2, 3));
    Font.SetSecondColor(MakeColor(4, 5, 6));
    Font.SetStyle(FontStyleItalic);
    EXPECT_EQ(Events.Count, 5);
    EXPECT_EQ(Events.LastSender, &Font);

    Font.Assign(DefaultCaptionFont());
    EXPECT_EQ(Events.Count, 6);
    EXPECT_EQ(Font.Font(), DefaultCaptionFont());
}

TEST(FontDescriptorTest, SizesThatCannotBeDrawnAreIgnored) {
    TTextClipFontDescriptor Font;
    TEventCounter Events;
    Font.OnChange = Events.Method();
    Font.SetSize(0);
    Font.SetSize(-0.5);
    Font.SetSize(std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(Font.Size(), 0.06);
    EXPECT_EQ(Events.Count, 0);
}

} // namespace
