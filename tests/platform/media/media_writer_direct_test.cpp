// Frames that need no compositing go from the decoder straight to the
// encoder: the output must look as the composited path's does, and
// transitions and titles must still be composited.

#include "platform/graphics/color.h"
#include "platform/media/av_support.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/media_writer.h"
#include "platform/media/text_source.h"
#include "platform/media/text_source_name.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "platform/media/yuv_matrix.h"
#include "platform/message_queue.h"
#include "test_media.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime Frame = 400000; // 25 frames per second
constexpr int32_t Width = 160, Height = 120;
constexpr int32_t ClipFrames = 10;
constexpr TVideoTime ClipLength = ClipFrames * Frame;

// A picture that moves and has every hue, so a wrong matrix, range or
// frame shows.
void Gradient(int Index, uint8_t* Bgra, int W, int H, int Stride) {
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            uint8_t* P = Bgra + Y * Stride + 4 * X;
            P[0] = uint8_t((X * 255) / W);
            P[1] = uint8_t((Y * 255) / H);
            P[2] = uint8_t((X + Y + 12 * Index) / 2);
            P[3] = 255;
        }
}

void Solid(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t* Bgra, int W, int H, int Stride) {
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            uint8_t* P = Bgra + Y * Stride + 4 * X;
            P[0] = Blue, P[1] = Green, P[2] = Red, P[3] = 255;
        }
}

std::string MakeClip(const TTempFolder& Folder, const std::string& Name, TFramePainter Painter,
                     TTestColours Colours = TTestColours::Untagged, bool FullRange = false) {
    TTestVideoOptions Options;
    Options.Width = Width;
    Options.Height = Height;
    Options.FrameCount = ClipFrames;
    Options.Painter = std::move(Painter);
    Options.Colours = Colours;
    Options.FullRange = FullRange;
    std::string File = Folder.Path(Name);
    WriteTestVideo(File, Options);
    return File;
}

TMediaSource* AddClip(TMediaTrack* Track, const std::string& File, TVideoTime Start) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetMediaName(File);
    Source->SetStartStop(Start, Start + ClipLength);
    Source->SetMediaTimes(0, ClipLength);
    return Track->SrcAdd(std::move(Source));
}

// A source the compositor draws, laid over the tracks beneath by its alpha
// as the timeline lays titles and overlays.
void AddKeyedSource(TMediaTrack* Track, const TGuid& ClassId, const std::string& Property,
                    const std::string& Value, TVideoTime Start, TVideoTime Stop) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(ClassId);
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue(Property, Value);
    Source->SetProperties(std::move(Properties));
    Track->SrcAdd(std::move(Source));
    auto Key = std::make_unique<TMediaTransition>();
    Key->SetSubObjectClassId(MediaClassIds::KeyTransition());
    Key->SetStartStop(Start, Stop);
    Track->TransAdd(std::move(Key));
}

std::string TitleName(TVideoTime Duration) {
    TTextSourceName Name;
    Name.Width = Width;
    Name.Height = Height;
    Name.Duration = Duration;
    Name.FramesPerSecond = 25;
    Name.Title.Text = "Quillmoor";
    Name.Title.MainFont = {"Arial", 0.2, 0};
    Name.Title.TextColor = MakeColor(255, 255, 0);
    return BuildTextSourceName(Name);
}

// One clip on the lower track of a composition, with room for more above.
class TEdit {
public:
    explicit TEdit(const std::string& Clip) {
        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, Frame}));
        Composition = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
        Lower = Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        AddClip(Lower, Clip, 0);
    }
    TMediaTrack* AddTrack() {
        return Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    }
    // Does the renderer offer the decoded picture at Time for the encoder?
    bool IsPlainAt(TVideoTime Time) {
        TMediaRenderer Renderer(Timeline);
        TFramePtr Picture(av_frame_alloc());
        return Renderer.PlainPictureAt(Time, Picture.get());
    }

    TMediaTimeline Timeline;
    TMediaComposition* Composition;
    TMediaTrack* Lower;
};

// Renders to lossless FFV1 in 4:2:0 in Matroska (which keeps the colour
// tags, as AVI does not), so what is decoded from the file is exactly what
// reached the encoder, read with the encoder's matrix.
void RenderLossless(const TMediaTimeline& Timeline, const std::string& File) {
    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::Mp4Advanced;
    Profile.Container = "matroska";
    Profile.VideoEncoder = "ffv1";
    TMessageQueue Messages;
    TMediaFileWriter Writer(Timeline, Messages, File, Profile);
    Writer.Start(nullptr);
    TRenderResult Result = Writer.Wait();
    ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
}

// The largest difference of any colour channel of any pixel.
int LargestDifference(const TVideoFrame& A, const TVideoFrame& B) {
    int Largest = 0;
    for (int32_t Y = 0; Y < A.Height(); ++Y)
        for (int32_t X = 0; X < A.Width(); ++X)
            for (int Shift = 0; Shift < 24; Shift += 8)
                Largest = std::max(Largest, std::abs(int((A.Pixel(X, Y) >> Shift) & 0xFF) -
                                                     int((B.Pixel(X, Y) >> Shift) & 0xFF)));
    return Largest;
}

// The share of colour channel samples that differ by more than Levels.
double ShareBeyond(const TVideoFrame& A, const TVideoFrame& B, int Levels) {
    int64_t Beyond = 0;
    for (int32_t Y = 0; Y < A.Height(); ++Y)
        for (int32_t X = 0; X < A.Width(); ++X)
            for (int Shift = 0; Shift < 24; Shift += 8)
                Beyond += std::abs(int((A.Pixel(X, Y) >> Shift) & 0xFF) -
                                   int((B.Pixel(X, Y) >> Shift) & 0xFF)) > Levels;
    return double(Beyond) / (3.0 * A.Width() * A.Height());
}

std::shared_ptr<const TVideoFrame> Decoded(TVideoFileReader& Reader, TVideoTime Time) {
    return Reader.FrameAt(Time, Width, Height, TVideoFileReader::TFit::Stretch);
}

struct TColoursCase {
    const char* Name;
    TTestColours Colours;
    bool FullRange;
};

class DirectPictures : public ::testing::TestWithParam<TColoursCase> {};

// The same clip rendered alone (decoded pictures go to the encoder) and
// under a fully transparent overlay (every frame composited in BGRA):
// the direct file shows the clip's own frames within 3 levels, whatever
// matrix and range the clip was made with (a change of matrix mixes the
// chroma of a 2x2 block into each luma sample: one level more than
// rounding), and the composited file the same pictures. The composited
// path resamples chroma twice (to BGRA and back) and rounds through 8-bit
// RGB, so its samples may stray a little further; never far.
TEST_P(DirectPictures, LookLikeTheCompositedFrames) {
    const TColoursCase& Case = GetParam();
    TTempFolder Folder;
    std::string Clip = MakeClip(Folder, "clip.mp4", Gradient, Case.Colours, Case.FullRange);
    TEdit Plain(Clip);
    TEdit Composited(Clip);
    AddKeyedSource(Composited.AddTrack(), MediaClassIds::ColorSource(), "color", "0x00000000", 0,
                   ClipLength);
    ASSERT_TRUE(Plain.IsPlainAt(Frame * 3));
    ASSERT_FALSE(Composited.IsPlainAt(Frame * 3));

    RenderLossless(Plain.Timeline, Folder.Path("plain.mkv"));
    RenderLossless(Composited.Timeline, Folder.Path("composited.mkv"));
    TVideoFileReader PlainReader(Folder.Path("plain.mkv"), 0);
    TVideoFileReader CompositedReader(Folder.Path("composited.mkv"), 0);
    TVideoFileReader SourceReader(Clip, 0);
    for (int32_t I = 0; I < ClipFrames; ++I) {
        auto Direct = Decoded(PlainReader, I * Frame);
        auto Source = Decoded(SourceReader, I * Frame);
        auto Mixed = Decoded(CompositedReader, I * Frame);
        EXPECT_LE(LargestDifference(*Direct, *Source), 3) << "frame " << I;
        EXPECT_LT(ShareBeyond(*Direct, *Mixed, 2), 0.1) << "frame " << I;
        EXPECT_LE(LargestDifference(*Direct, *Mixed), 8) << "frame " << I;
    }
    EXPECT_EQ(PlainReader.DecodedFrameCount(), ClipFrames);
}

INSTANTIATE_TEST_SUITE_P(Colours, DirectPictures,
                         ::testing::Values(TColoursCase{"Untagged", TTestColours::Untagged, false},
                                           TColoursCase{"Bt709", TTestColours::Bt709, false},
                                           TColoursCase{"Bt601", TTestColours::Bt601, false},
                                           TColoursCase{"FullRange", TTestColours::Bt709, true}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(DirectPictures, WipeBetweenTwoClipsIsStillComposited) {
    TTempFolder Folder;
    auto PaintRed = [](int, uint8_t* P, int W, int H, int S) { Solid(220, 20, 20, P, W, H, S); };
    auto PaintBlue = [](int, uint8_t* P, int W, int H, int S) { Solid(20, 20, 220, P, W, H, S); };
    TEdit Edit(MakeClip(Folder, "red.mp4", PaintRed));
    // The blue clip starts half-way through the red one; a bar wipe brings
    // it in from the left over the overlap.
    TMediaTrack* Upper = Edit.AddTrack();
    AddClip(Upper, MakeClip(Folder, "blue.mp4", PaintBlue), ClipLength / 2);
    auto Wipe = std::make_unique<TMediaTransition>();
    Wipe->SetSubObjectClassId(TransformClassIds::Wipe());
    Wipe->SetStartStop(ClipLength / 2, ClipLength);
    TPropertySetter Properties;
    Properties.SetValue("MaskNum", "1");
    Wipe->SetProperties(std::move(Properties));
    Upper->TransAdd(std::move(Wipe));

    TVideoTime Middle = ClipLength * 3 / 4; // half-way through the wipe
    EXPECT_TRUE(Edit.IsPlainAt(Frame));
    EXPECT_FALSE(Edit.IsPlainAt(Middle));
    EXPECT_TRUE(Edit.IsPlainAt(ClipLength + Frame));

    RenderLossless(Edit.Timeline, Folder.Path("wipe.mkv"));
    TVideoFileReader Reader(Folder.Path("wipe.mkv"), 0);
    auto Wiping = Decoded(Reader, Middle);
    EXPECT_GT(ColorBlue(Wiping->Pixel(5, Height / 2)), 150);        // already wiped in
    EXPECT_GT(ColorRed(Wiping->Pixel(Width - 5, Height / 2)), 150); // still the first clip
    EXPECT_GT(ColorRed(Decoded(Reader, Frame)->Pixel(5, Height / 2)), 150);
    EXPECT_GT(ColorBlue(Decoded(Reader, ClipLength + Frame)->Pixel(Width - 5, Height / 2)), 150);
}

TEST(DirectPictures, TitleOverAClipIsCompositedAndItsEndIsNot) {
    TTempFolder Folder;
    std::string Clip = MakeClip(Folder, "clip.mp4", Gradient);
    TEdit Titled(Clip);
    TVideoTime TitleEnd = ClipLength / 2;
    AddKeyedSource(Titled.AddTrack(), TextSourceClassId(), "filename", TitleName(TitleEnd), 0,
                   TitleEnd);
    TEdit Plain(Clip);
    EXPECT_FALSE(Titled.IsPlainAt(Frame * 2));
    EXPECT_TRUE(Titled.IsPlainAt(TitleEnd + Frame));

    RenderLossless(Titled.Timeline, Folder.Path("titled.mkv"));
    RenderLossless(Plain.Timeline, Folder.Path("plain.mkv"));
    TVideoFileReader TitledReader(Folder.Path("titled.mkv"), 0);
    TVideoFileReader PlainReader(Folder.Path("plain.mkv"), 0);
    // The title's ink shows while it lasts; afterwards the frames are the clip's.
    EXPECT_GT(
        LargestDifference(*Decoded(TitledReader, Frame * 2), *Decoded(PlainReader, Frame * 2)), 60);
    EXPECT_LE(LargestDifference(*Decoded(TitledReader, TitleEnd + Frame),
                                *Decoded(PlainReader, TitleEnd + Frame)),
              2);
}

// Untagged pictures are read with the matrix their size implies, as players
// read them, so an untagged HD clip rendered to HD (tagged BT.709) and an
// untagged SD clip rendered to SD (tagged BT.601) keep every sample as it
// is; tagged pictures keep their own matrix whatever their size.
TEST(DirectPictures, UntaggedPicturesTakeTheMatrixTheirSizeImplies) {
    auto Change = [](AVColorSpace Tag, int W, int H, AVColorSpace Out) {
        return YuvMatrixChange(AV_PIX_FMT_YUV420P, PictureColourSpace(Tag, W, H),
                               AVCOL_RANGE_UNSPECIFIED, Out, AVCOL_RANGE_MPEG);
    };
    EXPECT_TRUE(Change(AVCOL_SPC_UNSPECIFIED, 1280, 720, AVCOL_SPC_BT709).IsIdentity);
    EXPECT_TRUE(Change(AVCOL_SPC_UNSPECIFIED, 1920, 1080, AVCOL_SPC_BT709).IsIdentity);
    EXPECT_TRUE(Change(AVCOL_SPC_UNSPECIFIED, 720, 576, AVCOL_SPC_BT470BG).IsIdentity);
    EXPECT_TRUE(Change(AVCOL_SPC_UNSPECIFIED, 640, 480, AVCOL_SPC_SMPTE170M).IsIdentity);
    EXPECT_FALSE(Change(AVCOL_SPC_UNSPECIFIED, 720, 576, AVCOL_SPC_BT709).IsIdentity);
    EXPECT_FALSE(Change(AVCOL_SPC_SMPTE170M, 1280, 720, AVCOL_SPC_BT709).IsIdentity);
    EXPECT_FALSE(Change(AVCOL_SPC_BT709, 720, 576, AVCOL_SPC_BT470BG).IsIdentity);
    // A full-range picture still changes range.
    EXPECT_FALSE(YuvMatrixChange(AV_PIX_FMT_YUVJ420P,
                                 PictureColourSpace(AVCOL_SPC_UNSPECIFIED, 1280, 720),
                                 AVCOL_RANGE_UNSPECIFIED, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG)
                     .IsIdentity);
}

} // namespace
