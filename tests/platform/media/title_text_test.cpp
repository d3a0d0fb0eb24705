// The text form of a title and the text source name that carries it.

#include "platform/media/text_source_name.h"
#include "platform/media/title_text.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

// The default title of the catalogue's first style, as the render side writes it.
const char* DefaultTitleForm = "1/Tahoma/0.06/1/4294967295/0/Tahoma/0.05/0/4294967295/0/"
                               "4294967295/0/1/1/0.1/0.1/1/3/Hello";

} // namespace

TEST(TitleText, ReadsEveryPieceInItsPlace) {
    TTitleText Title;
    ASSERT_TRUE(ParseTitleText("104/Arial Black/0.125/7/-16711936/-2147483648/Verdana/0.04/2/"
                               "16777215/4278190335/-1/4278190080/2/3/0.2/0.3/4/5/Line one\r\n"
                               "Line two",
                               Title));
    EXPECT_EQ(Title.StyleCode, 104);
    EXPECT_EQ(Title.MainFont.Name, "Arial Black");
    EXPECT_DOUBLE_EQ(Title.MainFont.Size, 0.125);
    EXPECT_TRUE(Title.MainFont.IsBold());
    EXPECT_TRUE(Title.MainFont.IsItalic());
    EXPECT_TRUE(Title.MainFont.IsUnderlined());
    // -16711936 is 0xFF00FF00: opaque green either way round.
    EXPECT_EQ(Title.MainFont.Color, MakeColor(0, 255, 0, 255));
    // -2147483648 is 0x80000000: black at half alpha.
    EXPECT_EQ(Title.MainFont.SecondColor, MakeColor(0, 0, 0, 128));
    EXPECT_EQ(Title.CaptionFont.Name, "Verdana");
    EXPECT_DOUBLE_EQ(Title.CaptionFont.Size, 0.04);
    EXPECT_FALSE(Title.CaptionFont.IsBold());
    EXPECT_TRUE(Title.CaptionFont.IsItalic());
    // 16777215 is 0x00FFFFFF: white with no alpha.
    EXPECT_EQ(Title.CaptionFont.Color, MakeColor(255, 255, 255, 0));
    // Written colours read as 0xAARRGGBB: 4278190335 is 0xFF0000FF, opaque blue ...
    EXPECT_EQ(Title.CaptionFont.SecondColor, MakeColor(0, 0, 255, 255));
    EXPECT_EQ(Title.TextColor, MakeColor(255, 255, 255, 255));
    // ... and 0xFF000000 is opaque black.
    EXPECT_EQ(Title.BackgroundColor, MakeColor(0, 0, 0, 255));
    EXPECT_EQ(Title.P1, 2);
    EXPECT_EQ(Title.P2, 3);
    EXPECT_DOUBLE_EQ(Title.Factor1, 0.2);
    EXPECT_DOUBLE_EQ(Title.Factor2, 0.3);
    EXPECT_EQ(Title.P3, 4);
    EXPECT_EQ(Title.P4, 5);
    EXPECT_EQ(Title.Text, "Line one\r\nLine two");
}

TEST(TitleText, RedComesFirstInTheWrittenColour) {
    TTitleText Title;
    Title.MainFont.Color = MakeColor(255, 0, 0);
    std::string Form = FormatTitleText(Title);
    // 0xFFFF0000 as the written colour of opaque red.
    EXPECT_NE(Form.find("/Tahoma/0.06/1/4294901760/0/"), std::string::npos) << Form;
}

TEST(TitleText, DefaultsWriteTheCataloguesDefaultTitle) {
    TTitleText Title;
    Title.Text = "Hello";
    EXPECT_EQ(FormatTitleText(Title), DefaultTitleForm);
    TTitleText Read;
    ASSERT_TRUE(ParseTitleText(DefaultTitleForm, Read));
    EXPECT_EQ(Read, Title);
}

TEST(TitleText, TextMayHoldSlashesAndAnyCharacters) {
    TTitleText Title;
    Title.Text = "AC/DC live / 2024\nΚαλημέρα / Привет";
    TTitleText Read;
    ASSERT_TRUE(ParseTitleText(FormatTitleText(Title), Read));
    EXPECT_EQ(Read.Text, Title.Text);
    Title.Text.clear();
    ASSERT_TRUE(ParseTitleText(FormatTitleText(Title), Read));
    EXPECT_EQ(Read.Text, "");
}

TEST(TitleText, FontNamesMayHoldSlashes) {
    TTitleText Title;
    Title.MainFont.Name = "Acme/Serif";
    Title.CaptionFont.Name = "A/B/C";
    Title.Text = "1/2";
    TTitleText Read;
    ASSERT_TRUE(ParseTitleText(FormatTitleText(Title), Read));
    EXPECT_EQ(Read, Title);
}

TEST(TitleText, SizesWrittenWithACommaAreReadToo) {
    TTitleText Read;
    ASSERT_TRUE(
        ParseTitleText("1/Tahoma/0,06/1/-1/0/Tahoma/0,05/0/-1/0/-1/0/1/1/0,1/0,1/1/3/x", Read));
    EXPECT_DOUBLE_EQ(Read.MainFont.Size, 0.06);
    EXPECT_DOUBLE_EQ(Read.Factor2, 0.1);
}

TEST(TitleText, MalformedFormsAreRejected) {
    const char* Bad[] = {
        "",
        "1/Tahoma/0.06/1/-1/0",
        "x/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/0.1/1/3/t",
        "1/Tahoma/big/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/0.1/1/3/t",
        "1/Tahoma/0.06/256/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/0.1/1/3/t",
        "1/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/0.1/1/3",
    };
    for (const char* Text : Bad) {
        TTitleText Read;
        Read.Text = "untouched";
        EXPECT_FALSE(ParseTitleText(Text, Read)) << Text;
        EXPECT_EQ(Read.Text, "untouched");
    }
}

TEST(TextSourceName, PreviewNameOfTheDefaultTitleStartsAsThePreviewerWritesIt) {
    TTextSourceName Name;
    Name.Mode = 1;
    Name.Width = 320;
    Name.Height = 240;
    Name.Duration = 40000000;
    Name.FramesPerSecond = 15;
    Name.Title.Text = "Hello";
    EXPECT_EQ(BuildTextSourceName(Name),
              std::string("qmtextprotocol://1/320/240/40000000/15/") + DefaultTitleForm);
}

TEST(TextSourceName, ReadsBackWhatWasWrittenInAnyLocale) {
    const char* Old = std::setlocale(LC_NUMERIC, nullptr);
    std::string Saved = Old ? Old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    TTextSourceName Name;
    Name.Width = 720;
    Name.Height = 576;
    Name.Duration = 123456789;
    Name.FramesPerSecond = 29.97;
    Name.Title.StyleCode = 2;
    Name.Title.P4 = 5;
    Name.Title.MainFont.Size = 0.0725;
    Name.Title.Text = "Credits\nDirector/Writer";
    std::string Text = BuildTextSourceName(Name);
    EXPECT_EQ(Text.find(','), std::string::npos) << Text;
    TTextSourceName Read;
    bool Parsed = ParseTextSourceName(Text, Read);
    std::setlocale(LC_NUMERIC, Saved.c_str());
    ASSERT_TRUE(Parsed);
    EXPECT_EQ(Read, Name);
}

TEST(TextSourceName, MalformedNamesAreRejected) {
    TTextSourceName Read;
    EXPECT_FALSE(
        ParseTextSourceName(std::string("qmfileprotocol://0/1/1/1/1/") + DefaultTitleForm, Read));
    EXPECT_FALSE(ParseTextSourceName("qmtextprotocol://0/320/240/40000000/15", Read));
    EXPECT_FALSE(ParseTextSourceName(
        std::string("qmtextprotocol://0/320/240/forty/15/") + DefaultTitleForm, Read));
    EXPECT_FALSE(ParseTextSourceName("qmtextprotocol://0/320/240/40000000/15/1/Tahoma", Read));
}
