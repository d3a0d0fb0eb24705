#include "render/text_descriptor.h"

#include "core/error.h"
#include "core/exception_report.h"
#include "render/description_registry.h"
#include "render/text_description.h"
#include "render_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr TColor White = MakeColor(255, 255, 255);
constexpr TColor OpaqueBlack = MakeColor(0, 0, 0);

// The first style whose flags have all of Set and none of Clear.
int32_t StyleWithFlags(uint8_t Set, uint8_t Clear) {
    const auto& Titles = DescriptionRegistry().Titles();
    for (int32_t Position = 1; Position <= Titles.Count(); ++Position) {
        const TTextDescription& Style = *Titles.Title(Position);
        if ((Style.Flags() & Set) == Set && (Style.Flags() & Clear) == 0)
            return Style.Index();
    }
    return 0;
}

TEST(TextDescriptorTest, ANewTitleHasTheFirstStyleAndTheDefaultFonts) {
    TTextClipDescriptor Title;
    EXPECT_EQ(Title.StyleIndex(), 1);
    EXPECT_EQ(&Title.Style(), DescriptionRegistry().Titles().TitleByIndex(1));
    EXPECT_EQ(Title.Text(), "");
    EXPECT_EQ(Title.MainFont().Font(), DefaultMainFont());
    EXPECT_EQ(Title.CaptionFont().Font(), DefaultCaptionFont());
    EXPECT_DOUBLE_EQ(Title.Factor1(), 0.1);
    EXPECT_DOUBLE_EQ(Title.Factor2(), 0.1);
    EXPECT_EQ(Title.TextColor(), White);
}

TEST(TextDescriptorTest, TextFormListsTheStyleFontsColoursParametersAndText) {
    TTextClipDescriptor Title;
    Title.SetText("Our holiday");
    // Style 1: code 1, p1..p4 = 1, 1, 1, 3.
    EXPECT_EQ(Title.TextForm(0), "1/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/0.1/1/3/"
                                 "Our holiday");
    EXPECT_EQ(Title.TextForm(OpaqueBlack),
              "1/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/-16777216/1/1/0.1/0.1/1/3/Our holiday");
}

TEST(TextDescriptorTest, TextFormCarriesTheStylesParameters) {
    TTextClipDescriptor Title;
    Title.SetStyle(13);
    TTitleTextForm Form = Title.TitleForm(0);
    const TTextDescription& Style = *DescriptionRegistry().Titles().TitleByIndex(13);
    EXPECT_EQ(Form.StyleCode, Style.StyleCode());
    EXPECT_EQ(Form.P, (std::array<uint8_t, 4>{Style.P1(), Style.P2(), Style.P3(), Style.P4()}));
}

TEST(TextDescriptorTest, TitleTextFormRoundTripsAwkwardText) {
    for (const char* Text : {"", "/", "a/b", "Line one\nLine two", "50% off/€9.99 — ça va?", "//",
                             "trailing/", "1/2/3/4/5/6/7/8/9"}) {
        TTitleTextForm Form;
        Form.StyleCode = 104;
        Form.MainFont = {"AC/DC Sans", 0.0725, FontStyleItalic, MakeColor(10, 20, 30, 40),
                         MakeColor(1, 2, 3, 0)};
        Form.CaptionFont = {"Nöto / Serif", 0.04, 0, White, OpaqueBlack};
        Form.TextColor = MakeColor(255, 0, 0);
        Form.BackgroundColor = OpaqueBlack;
        Form.P = {1, 2, 3, 255};
        Form.Text = Text;
        TTitleTextForm Back;
        ASSERT_TRUE(ReadTitleTextForm(WriteTitleTextForm(Form), Back)) << Text;
        EXPECT_EQ(Back, Form) << Text;
    }
}

TEST(TextDescriptorTest, ADescriptorsTextFormReadsBack) {
    TTextClipDescriptor Title;
    Title.SetStyle(20);
    Title.SetText("The End/Credits");
    Title.MainFont().SetName("Liberation Serif");
    Title.CaptionFont().SetSize(0.033);
    TTitleTextForm Back;
    ASSERT_TRUE(ReadTitleTextForm(Title.TextForm(0), Back));
    EXPECT_EQ(Back, Title.TitleForm(0));
}

TEST(TextDescriptorTest, UnreadableTitleTextFormsLeaveTheFormAlone) {
    TTextClipDescriptor Title;
    std::string Good = Title.TextForm(0);
    for (const std::string& Text :
         {std::string(), std::string("1"), Good.substr(0, Good.size() - 4), "x" + Good.substr(1),
          std::string("1/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/256/0.1/0.1/1/3/T"),
          std::string("1/Tahoma/0.06/1/-1/0/Tahoma/0.05/0/-1/0/-1/0/1/1/0.1/inf/1/3/T")}) {
        TTitleTextForm Form;
        Form.Text = "unchanged";
        EXPECT_FALSE(ReadTitleTextForm(Text, Form)) << Text;
        EXPECT_EQ(Form.Text, "unchanged");
    }
}

TEST(TextDescriptorTest, SettersFireOnlyOnARealChange) {
    TTextClipDescriptor Title;
    TEventCounter Events;
    Title.OnChange = Events.Method();
    Title.SetText("");
    Title.SetStyle(1);
    Title.SetColor(Title.Color());
    Title.MainFont().SetName("Tahoma");
    EXPECT_EQ(Events.Count, 0);

    Title.SetText("Hello");
    Title.SetStyle(2);
    Title.MainFont().SetStyle(0);
    Title.CaptionFont().SetName("Sans");
    EXPECT_EQ(Events.Count, 4);
    EXPECT_EQ(Events.LastSender, &Title);
}

TEST(TextDescriptorTest, AnUnknownStyleRaisesAndKeepsTheStyle) {
    TTextClipDescriptor Title;
    Title.SetStyle(5);
    EXPECT_THROW(Title.SetStyle(23), EError);
    EXPECT_THROW(Title.SetStyle(0), EError);
    EXPECT_EQ(Title.StyleIndex(), 5);
}

TEST(TextDescriptorTest, StylesMarkedSoTakeTheirColourFromTheMainFont) {
    int32_t FromFont = StyleWithFlags(0x40, 0x01);
    int32_t Own = StyleWithFlags(0, 0x40);
    ASSERT_NE(FromFont, 0);
    ASSERT_NE(Own, 0);
    TTextClipDescriptor Title;
    Title.SetStyle(Own);
    Title.SetColor(MakeColor(0, 0, 255));
    EXPECT_EQ(Title.TextColor(), MakeColor(0, 0, 255));
    EXPECT_EQ(Title.MainFont().Color(), White);

    Title.SetStyle(FromFont);
    EXPECT_EQ(Title.Color(), White);
    Title.SetColor(MakeColor(0, 255, 0));
    EXPECT_EQ(Title.MainFont().Color(), MakeColor(0, 255, 0));
    EXPECT_EQ(Title.CaptionFont().Color(), White); // bit 0 is clear
    EXPECT_EQ(Title.TextColor(), MakeColor(0, 0, 255));
    EXPECT_EQ(Title.TitleForm(0).TextColor, MakeColor(0, 255, 0));
}

TEST(TextDescriptorTest, AssignCopiesEverythingAndFiresOnce) {
    TTextClipDescriptor Source;
    Source.SetStyle(7);
    Source.SetText("Copied");
    Source.MainFont().SetName("Sans");
    Source.CaptionFont().SetColor(MakeColor(9, 9, 9));
    Source.SetColor(MakeColor(1, 1, 1));

    TTextClipDescriptor Target;
    TEventCounter Events;
    Target.OnChange = Events.Method();
    Target.Assign(Source);
    EXPECT_EQ(Events.Count, 1);
    EXPECT_EQ(Target.StyleIndex(), 7);
    EXPECT_EQ(Target.TextForm(0), Source.TextForm(0));
    EXPECT_EQ(Target.TextColor(), Source.TextColor());

    Target.Assign(Source);
    EXPECT_EQ(Events.Count, 1);
}

// The batch closes in a destructor, which must not throw: like the
// notifier's brackets it reports what the listener raised.
TEST(TextDescriptorTest, AListenerThatRaisesDuringAssignIsReportedNotSwallowed) {
    struct TThrower {
        void Changed(TObject*) { throw EError("listener"); }
    } Thrower;
    std::vector<std::string> Reports;
    SetExceptionReportHandler([&](const std::exception& E) { Reports.push_back(E.what()); });
    TTextClipDescriptor Source;
    Source.SetText("x");
    TTextClipDescriptor Target;
    Target.OnChange = MakeDelegate<&TThrower::Changed>(&Thrower);
    EXPECT_NO_THROW(Target.Assign(Source));
    SetExceptionReportHandler({});
    EXPECT_EQ(Target.Text(), "x");
    EXPECT_EQ(Reports, std::vector<std::string>{"listener"});
}

} // namespace
