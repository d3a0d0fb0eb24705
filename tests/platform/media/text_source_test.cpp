// The title source: where each style puts the title and how it moves,
// checked by where the text's pixels lie on small frames.

#include "platform/media/media_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/text_source.h"
#include "platform/media/text_source_name.h"
#include "platform/media/video_frame.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime Frame = 400000;
constexpr int32_t Width = 160;
constexpr int32_t Height = 120;
constexpr TColor Yellow = MakeColor(255, 255, 0);
constexpr TColor Cyan = MakeColor(0, 255, 255);

// Where the pixels of one colour lie in a frame.
struct TInk {
    int32_t Count = 0;
    double CentreX = 0;
    double CentreY = 0;
    int32_t Left = Width, Top = Height, Right = 0, Bottom = 0;
    uint8_t MaxAlpha = 0;
};

// Pixels of Colour's hue (any alpha; edges of letters are translucent).
TInk InkOf(const TVideoFrame& F, TColor Colour) {
    TInk Ink;
    for (int32_t Y = 0; Y < F.Height(); ++Y)
        for (int32_t X = 0; X < F.Width(); ++X) {
            TColor P = F.Pixel(X, Y);
            if ((P >> 24) == 0 || (P & 0xFFFFFF) != (Colour & 0xFFFFFF))
                continue;
            ++Ink.Count;
            Ink.CentreX += X;
            Ink.CentreY += Y;
            Ink.Left = std::min(Ink.Left, X);
            Ink.Top = std::min(Ink.Top, Y);
            Ink.Right = std::max(Ink.Right, X + 1);
            Ink.Bottom = std::max(Ink.Bottom, Y + 1);
            Ink.MaxAlpha = std::max(Ink.MaxAlpha, uint8_t(P >> 24));
        }
    if (Ink.Count) {
        Ink.CentreX /= Ink.Count;
        Ink.CentreY /= Ink.Count;
    }
    return Ink;
}

TTitleText Title(int32_t Code, int32_t P1, int32_t P2, int32_t P4, const std::string& Text) {
    TTitleText T;
    T.StyleCode = Code;
    T.P1 = P1;
    T.P2 = P2;
    T.P4 = P4;
    T.Text = Text;
    T.MainFont.Name = "Arial";
    T.MainFont.Size = 0.12;
    T.MainFont.Color = Yellow;
    T.CaptionFont.Name = "Arial";
    T.CaptionFont.Size = 0.1;
    T.CaptionFont.Color = Cyan;
    return T;
}

std::string NameOf(const TTitleText& T, TVideoTime Duration) {
    TTextSourceName Name;
    Name.Width = Width;
    Name.Height = Height;
    Name.Duration = Duration;
    Name.FramesPerSecond = 25;
    Name.Title = T;
    return BuildTextSourceName(Name);
}

// The title's source made as the engine makes it, drawing a clip of Duration.
class TTitleClip {
public:
    TTitleClip(const TTitleText& T, TVideoTime Duration = 4 * Second) : FDuration(Duration) {
        FSource.SetSubObjectClassId(TextSourceClassId());
        FSource.SetStartStop(0, Duration);
        TPropertySetter Properties;
        Properties.SetValue("filename", NameOf(T, Duration));
        FSource.SetProperties(std::move(Properties));
        FComponent = MediaComponents().MakeSource(FSource, {Width, Height, Frame});
    }
    const TVideoFrame& At(double Seconds) {
        FComponent->Render({SecondsToVideoTime(Seconds), 0, FDuration}, FFrame);
        return FFrame;
    }
    TInk InkAt(double Seconds, TColor Colour = Yellow) { return InkOf(At(Seconds), Colour); }

private:
    TVideoTime FDuration;
    TMediaSource FSource;
    std::unique_ptr<TVideoSourceComponent> FComponent;
    TVideoFrame FFrame{Width, Height};
};

} // namespace

TEST(TextSource, CentredTitleShowsItsTextInTheMiddleOverTransparency) {
    TTitleClip Clip(Title(1, 1, 1, 3, "Title"));
    TInk Ink = Clip.InkAt(2);
    EXPECT_GT(Ink.Count, 60);
    EXPECT_EQ(Ink.MaxAlpha, 255);
    EXPECT_NEAR(Ink.CentreX, Width / 2.0, 4);
    EXPECT_NEAR(Ink.CentreY, Height / 2.0, 4);
    const TVideoFrame& F = Clip.At(2);
    EXPECT_EQ(F.Pixel(0, 0), 0u);
    EXPECT_EQ(F.Pixel(Width - 1, Height - 1), 0u);
    // Nothing but the text's own colour is drawn (no edge: its colour is clear).
    int32_t Other = 0;
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            if ((F.Pixel(X, Y) >> 24) != 0 && (F.Pixel(X, Y) & 0xFFFFFF) != (Yellow & 0xFFFFFF))
                ++Other;
    EXPECT_EQ(Other, 0);
}

TEST(TextSource, EdgedStylesRestAtTheirEdgeInsideTheMargins) {
    TInk TopLeft = TTitleClip(Title(3, 1, 1, 6, "Edge")).InkAt(2);
    TInk TopCentre = TTitleClip(Title(3, 1, 1, 8, "Edge")).InkAt(2);
    TInk BottomRight = TTitleClip(Title(3, 1, 1, 10, "Edge")).InkAt(2);
    TInk BottomLeft = TTitleClip(Title(3, 1, 1, 9, "Edge")).InkAt(2);
    // Margins are a tenth of the frame: 16 pixels across, 12 down.
    EXPECT_NEAR(TopLeft.Left, 16, 2);
    EXPECT_NEAR(TopLeft.Top, 12, 4);
    EXPECT_NEAR(TopCentre.CentreX, Width / 2.0, 3);
    EXPECT_LT(TopCentre.CentreY, Height / 3.0);
    EXPECT_NEAR(BottomRight.Right, Width - 16, 2);
    EXPECT_NEAR(BottomRight.Bottom, Height - 12, 4);
    EXPECT_NEAR(BottomLeft.Left, 16, 2);
    EXPECT_GT(BottomLeft.CentreY, Height * 2 / 3.0);
}

TEST(TextSource, CaptionLinesLieUnderTheTitleLineOneUnderAnother) {
    TTitleClip Clip(Title(1, 1, 1, 3, "Title\nfirst\nsecond"));
    const TVideoFrame& F = Clip.At(2);
    TInk Main = InkOf(F, Yellow);
    TInk Caption = InkOf(F, Cyan);
    ASSERT_GT(Main.Count, 30);
    ASSERT_GT(Caption.Count, 30);
    EXPECT_LE(Main.Bottom, Caption.Top);
    // Two caption lines: the rows of cyan pixels form two bands.
    int32_t Bands = 0;
    bool Inside = false;
    for (int32_t Y = Caption.Top; Y < Caption.Bottom; ++Y) {
        bool Any = false;
        for (int32_t X = 0; X < Width; ++X)
            Any = Any || (F.Pixel(X, Y) & 0xFFFFFF) == (Cyan & 0xFFFFFF);
        if (Any && !Inside)
            ++Bands;
        Inside = Any;
    }
    EXPECT_EQ(Bands, 2);
}

TEST(TextSource, LongTitleLinesWrapInsideTheMargins) {
    TInk Ink =
        TTitleClip(Title(1, 1, 1, 3, "A title far too long for one line of this frame")).InkAt(2);
    EXPECT_GE(Ink.Left, 14);
    EXPECT_LE(Ink.Right, Width - 14);
    EXPECT_GT(Ink.Bottom - Ink.Top, 30); // several lines
}

TEST(TextSource, FlyInComesFromItsSideRestsAndFliesOutToTheOther) {
    TTitleClip Clip(Title(1, 2, 3, 3, "Fly")); // in from the left, out to the right
    TInk Arriving = Clip.InkAt(0.4), Resting = Clip.InkAt(2), Leaving = Clip.InkAt(3.7);
    ASSERT_GT(Resting.Count, 30);
    EXPECT_NEAR(Resting.CentreX, Width / 2.0, 4);
    ASSERT_GT(Arriving.Count, 0);
    EXPECT_LT(Arriving.CentreX, Resting.CentreX - 20);
    ASSERT_GT(Leaving.Count, 0);
    EXPECT_GT(Leaving.CentreX, Resting.CentreX + 20);
    EXPECT_EQ(Clip.InkAt(0).Count, 0); // it starts outside the frame

    TTitleClip Rising(Title(1, 5, 4, 3, "Fly")); // in from the bottom, out at the top
    EXPECT_GT(Rising.InkAt(0.4).CentreY, Rising.InkAt(2).CentreY + 10);
    EXPECT_LT(Rising.InkAt(3.7).CentreY, Rising.InkAt(2).CentreY - 10);
}

TEST(TextSource, RollingCreditsMoveUpThroughTheFrame) {
    TTitleClip Clip(Title(2, 1, 1, 5, "Credits\nline"));
    TInk Early = Clip.InkAt(1), Middle = Clip.InkAt(2), Late = Clip.InkAt(3);
    ASSERT_GT(Middle.Count, 20);
    EXPECT_GT(Early.CentreY, Middle.CentreY + 15);
    EXPECT_GT(Middle.CentreY, Late.CentreY + 15);
    EXPECT_NEAR(Middle.CentreX, Width / 2.0, 6);
    EXPECT_EQ(Clip.InkAt(0).Count, 0);
}

TEST(TextSource, CrawlMovesLeftAlongTheBottom) {
    TTitleClip Clip(Title(2, 1, 1, 4, "News ticker text"));
    TInk Early = Clip.InkAt(1), Late = Clip.InkAt(2.5);
    ASSERT_GT(Early.Count, 10);
    ASSERT_GT(Late.Count, 10);
    EXPECT_GT(Early.CentreX, Late.CentreX + 20);
    EXPECT_GT(Early.CentreY, Height * 2 / 3.0);
    EXPECT_NEAR(Early.CentreY, Late.CentreY, 1);
}

TEST(TextSource, FadeStartsFaintAndIsWholeInTheMiddle) {
    TTitleClip Clip(Title(104, 1, 1, 0, "Fade"));
    EXPECT_LT(Clip.InkAt(0.1).MaxAlpha, 64);
    EXPECT_EQ(Clip.InkAt(2).MaxAlpha, 255);
    EXPECT_LT(Clip.InkAt(3.95).MaxAlpha, 64);
}

TEST(TextSource, ZoomInGrowsTheTextToItsSize) {
    TTitleClip Clip(Title(105, 1, 1, 0, "Zoom"));
    TInk Small = Clip.InkAt(0.3), Full = Clip.InkAt(2);
    ASSERT_GT(Small.Count, 0);
    EXPECT_LT(Small.Right - Small.Left, (Full.Right - Full.Left) * 3 / 4);
    EXPECT_NEAR(Small.CentreX, Full.CentreX, 4);
    TTitleClip Shrinking(Title(106, 1, 1, 0, "Zoom"));
    TInk Large = Shrinking.InkAt(0.3);
    EXPECT_GT(Large.Right - Large.Left, Full.Right - Full.Left);
}

TEST(TextSource, LettersArriveOneAfterAnother) {
    TTitleClip Typed(Title(100, 1, 1, 0, "Typewriter"));
    int32_t Early = Typed.InkAt(0.2).Count, Later = Typed.InkAt(0.5).Count;
    int32_t Done = Typed.InkAt(2).Count;
    EXPECT_GT(Later, Early);
    EXPECT_GT(Done, Later);
    // Arrived letters are where the still title has them.
    TInk Still = TTitleClip(Title(1, 1, 1, 3, "Typewriter")).InkAt(2);
    EXPECT_NEAR(Typed.InkAt(2).CentreX, Still.CentreX, 2);

    TTitleClip Dropping(Title(100, 4, 1, 0, "Drop"));
    EXPECT_LT(Dropping.InkAt(0.3).CentreY, Dropping.InkAt(2).CentreY - 3);
}

TEST(TextSource, RollAndHoldStopsInTheMiddle) {
    TTitleClip Clip(Title(101, 0, 0, 0, "Hold"));
    EXPECT_GT(Clip.InkAt(0.5).CentreY, Clip.InkAt(2.5).CentreY + 5);
    EXPECT_NEAR(Clip.InkAt(2.5).CentreY, Clip.InkAt(3.5).CentreY, 0.5);
    EXPECT_NEAR(Clip.InkAt(3.5).CentreY, Height / 2.0, 4);
    TTitleClip Crawl(Title(102, 0, 0, 0, "Hold"));
    EXPECT_GT(Crawl.InkAt(0.5).CentreX, Crawl.InkAt(2.5).CentreX + 5);
    EXPECT_NEAR(Crawl.InkAt(3.5).CentreX, Width / 2.0, 4);
}

TEST(TextSource, RecedingRollShrinksAsItRisesInTheFrame) {
    TTitleClip Clip(Title(103, 0, 0, 0, "Far far away\nlong ago"));
    TInk Near = Clip.InkAt(0.8), Far = Clip.InkAt(2);
    ASSERT_GT(Near.Count, 10);
    ASSERT_GT(Far.Count, 5);
    EXPECT_LT(Far.CentreY, Near.CentreY);
    EXPECT_LT(Far.Right - Far.Left, Near.Right - Near.Left);
}

TEST(TextSource, EveryCatalogueStyleShowsItsTextSometime) {
    struct TStyle {
        int32_t Code, P1, P2, P3, P4;
    };
    const TStyle Catalogue[] = {
        {1, 1, 1, 1, 3},   {100, 1, 1, 1, 0}, {104, 1, 1, 1, 0}, {105, 1, 1, 1, 0},
        {106, 1, 1, 1, 0}, {3, 1, 1, 1, 6},   {3, 1, 1, 1, 8},   {3, 1, 1, 1, 7},
        {3, 1, 1, 1, 9},   {3, 1, 1, 1, 11},  {3, 1, 1, 1, 10},  {100, 2, 1, 1, 0},
        {100, 4, 1, 1, 0}, {1, 2, 3, 1, 3},   {1, 3, 2, 1, 3},   {1, 5, 4, 1, 3},
        {1, 4, 5, 1, 3},   {2, 1, 1, 1, 5},   {2, 1, 1, 1, 4},   {101, 0, 0, 1, 0},
        {102, 0, 0, 1, 0}, {103, 0, 0, 1, 0}};
    for (const TStyle& S : Catalogue) {
        TTitleText T = Title(S.Code, S.P1, S.P2, S.P4, "Styled\ncaption");
        T.P3 = S.P3;
        TTitleClip Clip(T);
        int32_t Most = 0, Caption = 0;
        for (double Time = 0; Time < 4; Time += 0.25) {
            Most = std::max(Most, Clip.InkAt(Time).Count);
            Caption = std::max(Caption, Clip.InkAt(Time, Cyan).Count);
        }
        EXPECT_GT(Most, 40) << "style " << S.Code << " p4 " << S.P4;
        EXPECT_GT(Caption, 20) << "style " << S.Code << " p4 " << S.P4;
    }
}

TEST(TextSource, BackgroundColourFillsTheFrameBeneath) {
    TTitleText T = Title(1, 1, 1, 3, "Preview");
    T.BackgroundColor = MakeColor(0, 0, 0);
    TTitleClip Clip(T);
    const TVideoFrame& F = Clip.At(2);
    EXPECT_EQ(F.Pixel(0, 0), MakeColor(0, 0, 0));
    EXPECT_GT(InkOf(F, Yellow).Count, 30);
}

TEST(TextSource, EdgeColourOutlinesTheLetters) {
    TTitleText T = Title(1, 1, 1, 3, "Edge");
    T.MainFont.SecondColor = MakeColor(255, 0, 255);
    TTitleClip Clip(T);
    const TVideoFrame& F = Clip.At(2);
    TInk Fill = InkOf(F, Yellow), Edge = InkOf(F, MakeColor(255, 0, 255));
    EXPECT_GT(Edge.Count, 30);
    EXPECT_LT(Edge.Left, Fill.Left);
    EXPECT_GT(Edge.Right, Fill.Right);
}

TEST(TextSource, NonLatinTitlesAndUnknownFontsStillDraw) {
    TTitleText Greek = Title(1, 1, 1, 3, "Καλημέρα");
    TTitleText Cyrillic = Title(1, 1, 1, 3, "Привет");
    TTitleText Unknown = Title(1, 1, 1, 3, "Title");
    Unknown.MainFont.Name = "No Such Font Family";
    TTitleText Bold = Title(1, 1, 1, 3, "Title");
    Bold.MainFont.Style = 1 | 2 | 4;
    for (const TTitleText& T : {Greek, Cyrillic, Unknown, Bold})
        EXPECT_GT(TTitleClip(T).InkAt(2).Count, 40) << T.Text;
    // Bold letters cover more than regular ones.
    EXPECT_GT(TTitleClip(Bold).InkAt(2).Count,
              TTitleClip(Title(1, 1, 1, 3, "Title")).InkAt(2).Count);
}

TEST(TextSource, EmptyTextDrawsNothing) {
    TTitleClip Clip(Title(1, 1, 1, 3, ""));
    EXPECT_EQ(Clip.At(2).Pixel(Width / 2, Height / 2), 0u);
    EXPECT_EQ(InkOf(Clip.At(2), Yellow).Count, 0);
}

TEST(TextSource, TitleClipOnTheTimelineLiesOverThePictureBeneath) {
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, Frame}));
    TMediaTrack* Bottom = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto Colour = std::make_unique<TMediaSource>();
    Colour->SetSubObjectClassId(MediaClassIds::ColorSource());
    Colour->SetStartStop(0, 4 * Second);
    TPropertySetter ColourProperties;
    ColourProperties.SetValue("color", "0xFF0000FF"); // opaque blue
    Colour->SetProperties(std::move(ColourProperties));
    Bottom->SrcAdd(std::move(Colour));

    TMediaTrack* Top = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto Text = std::make_unique<TMediaSource>();
    Text->SetSubObjectClassId(TextSourceClassId());
    Text->SetStretchMode(TMediaSource::Crop);
    Text->SetStartStop(Second, 3 * Second);
    Text->SetMediaTimes(0, 2 * Second);
    TPropertySetter TextProperties;
    TextProperties.SetValue("filename", NameOf(Title(1, 1, 1, 3, "Over"), 2 * Second));
    Text->SetProperties(std::move(TextProperties));
    Top->SrcAdd(std::move(Text));
    auto Key = std::make_unique<TMediaTransition>();
    Key->SetSubObjectClassId(MediaClassIds::KeyTransition());
    Key->SetStartStop(0, 4 * Second);
    Top->TransAdd(std::move(Key));

    TMediaRenderer Renderer(Timeline);
    TVideoFrame Out;
    Renderer.RenderVideo(2 * Second, Out);
    EXPECT_EQ(Out.Pixel(0, 0), MakeColor(0, 0, 255));
    EXPECT_GT(InkOf(Out, Yellow).Count, 30);
    Renderer.RenderVideo(Second / 2, Out);
    EXPECT_EQ(InkOf(Out, Yellow).Count, 0);
}

TEST(TextSource, NameThatDoesNotParseRaisesWhenTheSourceIsMade) {
    TMediaSource Source;
    Source.SetSubObjectClassId(TextSourceClassId());
    TPropertySetter Properties;
    Properties.SetValue("filename", "qmtextprotocol://0/160/120/oops");
    Source.SetProperties(std::move(Properties));
    EXPECT_THROW(MediaComponents().MakeSource(Source, {Width, Height, Frame}), EMediaError);
}
