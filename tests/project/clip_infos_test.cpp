// The media catalogue: entries built from probes and thumbnail caches, the
// caches' currency and damage rules, and the folder changes that reset it.

#include "project/clip_infos.h"

#include "core/file_io.h"
#include "platform/media/png_bytes.h"
#include "platform/message_queue.h"
#include "project/media_paths.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>

using namespace std::chrono_literals;

namespace {

// Red, green and blue of a pixel, each within Tolerance.
::testing::AssertionResult IsNear(TColor Pixel, uint8_t R, uint8_t G, uint8_t B,
                                  int Tolerance = 10) {
    int Got[3] = {ColorRed(Pixel), ColorGreen(Pixel), ColorBlue(Pixel)};
    int Want[3] = {R, G, B};
    for (int I = 0; I < 3; ++I)
        if (std::abs(Got[I] - Want[I]) > Tolerance)
            return ::testing::AssertionFailure() << "pixel 0x" << std::hex << Pixel;
    return ::testing::AssertionSuccess();
}

void ShiftModificationTime(const std::string& Path, std::chrono::milliseconds Shift) {
    struct stat Info;
    ASSERT_EQ(::stat(Path.c_str(), &Info), 0);
    int64_t Ns = int64_t(Info.st_mtim.tv_sec) * 1000000000 + Info.st_mtim.tv_nsec +
                 int64_t(Shift.count()) * 1000000;
    timespec Times[2] = {{0, UTIME_OMIT}, {time_t(Ns / 1000000000), long(Ns % 1000000000)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Path.c_str(), Times, 0), 0);
}

class ClipInfosTest : public testing::Test {
protected:
    // A 2 s clip of 50 frames, 320 x 240, in one colour, with a tone.
    std::string Clip(const std::string& Name, uint8_t R = 200, uint8_t G = 40, uint8_t B = 40,
                     int Frames = 50) {
        TTestVideoOptions Options;
        Options.Codec = "mjpeg";
        Options.FrameCount = Frames;
        Options.Painter = SolidColor(R, G, B);
        Options.WithAudio = true;
        std::string Path = Folder.Path(Name);
        WriteTestVideo(Path, Options);
        return Path;
    }

    TTempFolder Folder;
    TMessageQueue Queue;
};

TEST_F(ClipInfosTest, AClipIsProbedOnceAndItsCacheServesTheNextCatalogue) {
    std::string Path = Clip("clip.avi");
    TClipInfos First(Queue);
    TRefPtr<TClipInfo> Built = First.GetInfo(Path);
    EXPECT_EQ(First.ProbeCount(), 1);
    EXPECT_EQ(Built->Duration(), 20000000);
    EXPECT_EQ(Built->FrameSize(), (TSize{320, 240}));
    EXPECT_TRUE(Built->HasVideo());
    EXPECT_TRUE(Built->HasAudio());
    ASSERT_EQ(Built->Picture().Width(), 320);
    ASSERT_EQ(Built->Picture().Height(), 240);
    EXPECT_TRUE(IsNear(Built->Picture().Pixel(160, 120), 200, 40, 40));
    EXPECT_EQ(First.GetInfo(Path).Get(), Built.Get()); // cached
    EXPECT_EQ(First.ProbeCount(), 1);

    struct stat Cache;
    ASSERT_EQ(::stat(Folder.Path(".clip.avi.tmb").c_str(), &Cache), 0);

    TClipInfos Second(Queue);
    TRefPtr<TClipInfo> Read = Second.GetInfo(Path);
    EXPECT_EQ(Second.ProbeCount(), 0);
    EXPECT_EQ(Read->Duration(), Built->Duration());
    EXPECT_EQ(Read->FrameSize(), Built->FrameSize());
    EXPECT_EQ(Read->HasAudio(), Built->HasAudio());
    EXPECT_EQ(Read->HasVideo(), Built->HasVideo());
    EXPECT_FALSE(Read->IsStale());
    ASSERT_EQ(Read->Picture().Width(), 320);
    for (int32_t Y : {0, 120, 239})
        for (int32_t X : {0, 160, 319})
            EXPECT_EQ(Read->Picture().Pixel(X, Y), Built->Picture().Pixel(X, Y));
}

TEST_F(ClipInfosTest, TheCacheStartsWithItsFixedHeader) {
    std::string Path = Clip("clip.avi");
    TClipInfos Infos(Queue);
    Infos.GetInfo(Path);
    std::string Bytes = ReadFileBytes(Folder.Path(".clip.avi.tmb"));
    ASSERT_GT(Bytes.size(), 38u);
    EXPECT_EQ(Bytes.substr(0, 4), "Thmb");
    TFileStatus Media = QueryFileStatus(Path);
    int64_t Size = 0, Time = 0, Duration = 0;
    std::memcpy(&Time, Bytes.data() + 4, 8);
    std::memcpy(&Size, Bytes.data() + 12, 8);
    std::memcpy(&Duration, Bytes.data() + 20, 8);
    EXPECT_EQ(Time, Media.ModifiedNs / 100);
    EXPECT_EQ(Size, Media.Size);
    EXPECT_EQ(Duration, 20000000);
    EXPECT_EQ(Bytes[36], 1);
    EXPECT_EQ(Bytes[37], 1);
    EXPECT_EQ(DecodePng(std::string_view(Bytes).substr(38), {320, 240}).Width(), 320);
}

struct TCurrencyCase {
    const char* Name;
    std::chrono::milliseconds Shift;
    bool Rebuilt;
};

class ClipInfosCurrency : public ClipInfosTest, public testing::WithParamInterface<TCurrencyCase> {};

TEST_P(ClipInfosCurrency, ACacheWithinTwoSecondsOfTheFileIsCurrent) {
    std::string Path = Clip("clip.avi");
    TClipInfos(Queue).GetInfo(Path);
    ShiftModificationTime(Path, GetParam().Shift);
    TClipInfos Again(Queue);
    Again.GetInfo(Path);
    EXPECT_EQ(Again.ProbeCount(), GetParam().Rebuilt ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Shifts, ClipInfosCurrency,
                         testing::Values(TCurrencyCase{"Same", 0ms, false},
                                         TCurrencyCase{"OneAndAHalfNewer", 1500ms, false},
                                         TCurrencyCase{"OneAndAHalfOlder", -1500ms, false},
                                         TCurrencyCase{"ThreeNewer", 3000ms, true},
                                         TCurrencyCase{"ThreeOlder", -3000ms, true}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ClipInfosTest, ACacheOfAnotherSizeIsRebuilt) {
    std::string Path = Clip("clip.avi");
    TClipInfos(Queue).GetInfo(Path);
    std::ofstream(Path, std::ios::app) << "more";
    ShiftModificationTime(Path, 0ms);
    TClipInfos Again(Queue);
    Again.GetInfo(Path);
    EXPECT_EQ(Again.ProbeCount(), 1);
}

TEST_F(ClipInfosTest, AReadOnlyStaleCacheKeepsItsPictureMarkedButTheLengthIsProbed) {
    std::string Path = Clip("clip.avi", 200, 40, 40, 50);
    TClipInfos(Queue).GetInfo(Path);
    std::string Cache = Folder.Path(".clip.avi.tmb");
    ASSERT_EQ(::chmod(Cache.c_str(), 0444), 0);
    // The file is replaced by a longer one in another colour.
    Clip("clip.avi", 40, 40, 200, 100);
    ShiftModificationTime(Path, 10000ms);

    TClipInfos Infos(Queue);
    TRefPtr<TClipInfo> Info = Infos.GetInfo(Path);
    EXPECT_EQ(Infos.ProbeCount(), 1);
    EXPECT_TRUE(Info->IsStale());
    EXPECT_EQ(Info->Duration(), 40000000);
    const TVideoFrame& Picture = Info->Picture();
    ASSERT_EQ(Picture.Width(), 320);
    for (TPoint At : {TPoint{0, 0}, TPoint{1, 100}, TPoint{319, 239}, TPoint{160, 238}})
        EXPECT_EQ(Picture.Pixel(At.X, At.Y), MakeColor(255, 0, 0, 255));
    for (TPoint At : {TPoint{2, 2}, TPoint{3, 100}, TPoint{317, 120}, TPoint{160, 236}})
        EXPECT_EQ(ColorAlpha(Picture.Pixel(At.X, At.Y)), 0);
    // The old picture, not a fresh one.
    EXPECT_TRUE(IsNear(Picture.Pixel(160, 120), 200, 40, 40));
    // The read-only cache is left alone.
    EXPECT_EQ(ReadFileBytes(Cache).substr(20, 8), std::string("\x00\x2d\x31\x01\x00\x00\x00\x00", 8));
}

// Damage done to a good cache file; each must make the catalogue probe again
// and write a good cache, which a further catalogue then reads.
struct TDamageCase {
    const char* Name;
    std::function<void(std::string&)> Damage;
};

void PutInt64(std::string& Bytes, size_t At, int64_t Value) {
    std::memcpy(Bytes.data() + At, &Value, 8);
}
void PutInt32(std::string& Bytes, size_t At, int32_t Value) {
    std::memcpy(Bytes.data() + At, &Value, 4);
}

class ClipInfosDamage : public ClipInfosTest, public testing::WithParamInterface<TDamageCase> {};

TEST_P(ClipInfosDamage, ADamagedCacheIsIgnoredAndRewritten) {
    std::string Path = Clip("clip.avi");
    TClipInfos(Queue).GetInfo(Path);
    std::string Cache = Folder.Path(".clip.avi.tmb");
    std::string Bytes = ReadFileBytes(Cache);
    GetParam().Damage(Bytes);
    WriteFileAtomically(Cache, Bytes);

    TClipInfos Damaged(Queue);
    TRefPtr<TClipInfo> Info = Damaged.GetInfo(Path);
    EXPECT_EQ(Damaged.ProbeCount(), 1);
    EXPECT_EQ(Info->Duration(), 20000000);
    EXPECT_EQ(Info->Picture().Width(), 320);

    TClipInfos Mended(Queue);
    Mended.GetInfo(Path);
    EXPECT_EQ(Mended.ProbeCount(), 0);
}

std::string BigPng() {
    TVideoFrame Big(640, 480);
    Big.Fill(MakeColor(1, 2, 3));
    return EncodePng(Big);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, ClipInfosDamage,
    testing::Values(
        TDamageCase{"Empty", [](std::string& B) { B.clear(); }},
        TDamageCase{"TruncatedHeader", [](std::string& B) { B.resize(30); }},
        TDamageCase{"TruncatedPicture", [](std::string& B) { B.resize(B.size() / 2); }},
        TDamageCase{"WrongMagic", [](std::string& B) { B[0] = 't'; }},
        TDamageCase{"NegativeDuration", [](std::string& B) { PutInt64(B, 20, -1); }},
        TDamageCase{"HugeDuration", [](std::string& B) { PutInt64(B, 20, INT64_MAX); }},
        TDamageCase{"NegativeWidth", [](std::string& B) { PutInt32(B, 28, -320); }},
        TDamageCase{"HugeHeight", [](std::string& B) { PutInt32(B, 32, 1 << 30); }},
        TDamageCase{"FlagByteTwo", [](std::string& B) { B[36] = 2; }},
        TDamageCase{"FlagByteFF", [](std::string& B) { B[37] = char(0xFF); }},
        TDamageCase{"ExtremeTime", [](std::string& B) { PutInt64(B, 4, INT64_MIN); }},
        TDamageCase{"PictureTooLarge", [](std::string& B) { B = B.substr(0, 38) + BigPng(); }},
        TDamageCase{"PictureGarbage", [](std::string& B) { B = B.substr(0, 38) + std::string(5000, 'x'); }},
        TDamageCase{"PictureBadCrc",
                    [](std::string& B) {
                        for (size_t I = 38 + 40; I < B.size(); I += 97)
                            B[I] = char(B[I] ^ 0x5A);
                    }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ClipInfosTest, APlantedLinkInTheCachesPlaceIsNeitherReadNorWrittenThrough) {
    std::string Path = Clip("clip.avi");
    std::string Target = Folder.Path("precious.txt");
    std::ofstream(Target) << "keep me";
    ASSERT_EQ(::symlink(Target.c_str(), Folder.Path(".clip.avi.tmb").c_str()), 0);
    TClipInfos Infos(Queue);
    EXPECT_EQ(Infos.GetInfo(Path)->Duration(), 20000000);
    EXPECT_EQ(ReadFileBytes(Target), "keep me");
    struct stat Cache;
    ASSERT_EQ(::lstat(Folder.Path(".clip.avi.tmb").c_str(), &Cache), 0);
    EXPECT_TRUE(S_ISREG(Cache.st_mode));
}

TEST_F(ClipInfosTest, NamesThatAreNoRegularFileGiveTheSameDefaultEntryAndNothingIsCached) {
    ASSERT_EQ(::mkfifo(Folder.Path("pipe.avi").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(Folder.Path("folder.avi").c_str(), 0700), 0);
    TClipInfos Infos(Queue);
    for (const std::string& Name :
         {std::string(), Folder.Path("absent.avi"), Folder.Path("pipe.avi"),
          Folder.Path("folder.avi"), std::string("/dev/zero")}) {
        TRefPtr<TClipInfo> Info = Infos.GetInfo(Name);
        EXPECT_EQ(Info.Get(), Infos.DefaultInfo().Get()) << Name;
        EXPECT_EQ(Info->Duration(), 0);
        EXPECT_FALSE(Info->HasVideo());
        EXPECT_FALSE(Info->HasAudio());
    }
    EXPECT_EQ(Infos.Count(), 0);
    EXPECT_EQ(Infos.ProbeCount(), 0);
}

TEST_F(ClipInfosTest, NamesDifferingInCaseAreTwoFiles) {
    std::string Upper = Clip("Clip.avi", 200, 40, 40);
    std::string Lower = Clip("clip.avi", 40, 200, 40, 75);
    TClipInfos Infos(Queue);
    EXPECT_EQ(Infos.GetInfo(Upper)->Duration(), 20000000);
    EXPECT_EQ(Infos.GetInfo(Lower)->Duration(), 30000000);
    EXPECT_EQ(Infos.Count(), 2);
}

TEST_F(ClipInfosTest, AnUnreadableFileGivesAnEntryWithoutStreams) {
    std::ofstream(Folder.Path("junk.avi")) << std::string(4000, 'j');
    TClipInfos Infos(Queue);
    TRefPtr<TClipInfo> Info = Infos.GetInfo(Folder.Path("junk.avi"));
    EXPECT_NE(Info.Get(), Infos.DefaultInfo().Get());
    EXPECT_EQ(Info->Duration(), 0);
    EXPECT_FALSE(Info->HasVideo());
    EXPECT_TRUE(Info->Picture().IsEmpty());
}

TEST_F(ClipInfosTest, AStillGetsItsPictureFittedAndNoLength) {
    WriteTestPicture(Folder.Path("still.png"), 640, 240, 0xFF20C020);
    TClipInfos Infos(Queue);
    TRefPtr<TClipInfo> Info = Infos.GetInfo(Folder.Path("still.png"));
    EXPECT_EQ(Info->Duration(), 0);
    EXPECT_EQ(Info->FrameSize(), (TSize{640, 240}));
    EXPECT_EQ(Info->Picture().Width(), 320);
    EXPECT_EQ(Info->Picture().Height(), 120);
    EXPECT_TRUE(IsNear(Info->Picture().Pixel(100, 60), 0x20, 0xC0, 0x20));
}

TEST_F(ClipInfosTest, AnEntryHeldOutsideOutlivesTheCataloguesReset) {
    std::string Path = Clip("clip.avi");
    TClipInfos Infos(Queue);
    TRefPtr<TClipInfo> Held = Infos.GetInfo(Path);
    Infos.Invalidate();
    Queue.ProcessPending();
    EXPECT_EQ(Infos.Count(), 0);
    EXPECT_EQ(Held->Duration(), 20000000);
    EXPECT_NE(Infos.GetInfo(Path).Get(), Held.Get());
}

// Counts the catalogue's change notices and their flags.
struct TChangeCounter {
    int Count = 0;
    TClipInfoChangeFlags Flags{};
    void Changed(TObject*, TClipInfoChangeFlags F) {
        ++Count;
        Flags |= F;
    }
};

TEST_F(ClipInfosTest, ChangesWhileBusyAreAppliedOnceAfterTheLastEndBusy) {
    TClipInfos Infos(Queue);
    TChangeCounter Counter;
    Infos.Changes().AddChangeHandler(MakeDelegate<&TChangeCounter::Changed>(&Counter));
    Infos.BeginBusy();
    Infos.BeginBusy();
    Infos.FolderChanged(ClipInfoChangeVideo);
    Infos.FolderChanged(ClipInfoChangeAudio);
    Queue.ProcessPending();
    Infos.EndBusy();
    Queue.ProcessPending();
    EXPECT_EQ(Counter.Count, 0);
    Infos.EndBusy();
    EXPECT_EQ(Counter.Count, 0); // posted, not applied in the middle of the work
    Queue.ProcessPending();
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Counter.Flags, ClipInfoChangeAll);
}

TEST_F(ClipInfosTest, ChangesOutsideBusyWorkAreCoalescedIntoOnePostedApply) {
    TClipInfos Infos(Queue);
    TChangeCounter Counter;
    Infos.Changes().AddChangeHandler(MakeDelegate<&TChangeCounter::Changed>(&Counter));
    Infos.FolderChanged(ClipInfoChangeAudio);
    Infos.FolderChanged(ClipInfoChangeAudio);
    EXPECT_EQ(Counter.Count, 0);
    EXPECT_EQ(Queue.ProcessPending(), 1);
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Counter.Flags, ClipInfoChangeAudio);
}

TEST_F(ClipInfosTest, CopyingClipsIntoAWatchedFolderGivesOneChangeAndTheCachesWritesNone) {
    TTempFolder Source;
    TTestVideoOptions Options;
    Options.Codec = "mjpeg";
    Options.FrameCount = 10;
    WriteTestVideo(Source.Path("a.avi"), Options);
    std::string Command = "cp";
    for (int I = 0; I < 20; ++I) {
        std::string Name = Source.Path("c" + std::to_string(I) + ".avi");
        ASSERT_EQ(std::system(("cp " + Source.Path("a.avi") + " " + Name).c_str()), 0);
        Command += " " + Name;
    }
    TClipInfos Infos(Queue);
    TMediaFolders Folders;
    Folders.UserVideo = Folder.Root();
    Infos.WatchFolders(Folders);
    TChangeCounter Counter;
    Infos.Changes().AddChangeHandler(MakeDelegate<&TChangeCounter::Changed>(&Counter));

    ASSERT_EQ(std::system((Command + " " + Folder.Root()).c_str()), 0);
    Queue.WaitAndProcess([&] { return Counter.Count > 0; }, 5000ms);
    Queue.WaitAndProcess([] { return false; }, 800ms);
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Counter.Flags, ClipInfoChangeVideo);

    // Building entries writes caches into the folder, which is no change.
    for (int I = 0; I < 20; ++I)
        Infos.GetInfo(Folder.Path("c" + std::to_string(I) + ".avi"));
    Queue.WaitAndProcess([] { return false; }, 800ms);
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Infos.Count(), 20);
}

} // namespace

TEST_F(ClipInfosTest, RequestedEntriesAreBuiltOnePerPostedMessageAndAnnounced) {
    std::string Picture = Clip("picture.avi");
    std::string Sound = Folder.Path("sound.wav");
    WriteTestTone(Sound, 440, 0.5, 1);
    TClipInfos Infos(Queue);
    TChangeCounter Counter;
    Infos.Changes().AddChangeHandler(MakeDelegate<&TChangeCounter::Changed>(&Counter));
    // Finding never builds.
    EXPECT_FALSE(Infos.FindInfo(Picture));
    EXPECT_EQ(Infos.ProbeCount(), 0);
    Infos.RequestInfo(Picture);
    Infos.RequestInfo(Sound);
    Infos.RequestInfo(Picture); // already asked for
    EXPECT_EQ(Infos.ProbeCount(), 0);
    EXPECT_EQ(Queue.ProcessPending(), 1);
    EXPECT_EQ(Infos.ProbeCount(), 1);
    ASSERT_TRUE(Infos.FindInfo(Picture));
    EXPECT_TRUE(Infos.FindInfo(Picture)->HasVideo());
    EXPECT_FALSE(Infos.FindInfo(Sound));
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Counter.Flags, ClipInfoChangeVideo);
    EXPECT_EQ(Queue.ProcessPending(), 1);
    ASSERT_TRUE(Infos.FindInfo(Sound));
    EXPECT_EQ(Counter.Count, 2);
    EXPECT_EQ(Counter.Flags, ClipInfoChangeAll);
    EXPECT_EQ(Queue.ProcessPending(), 0);
    // A name that is no file is answered by nobody: nothing to show.
    Infos.RequestInfo(Folder.Path("missing.avi"));
    EXPECT_EQ(Queue.ProcessPending(), 1);
    EXPECT_EQ(Counter.Count, 2);
    EXPECT_FALSE(Infos.FindInfo(Folder.Path("missing.avi")));
    // The entry found is the one GetInfo hands out.
    EXPECT_EQ(Infos.FindInfo(Picture).Get(), Infos.GetInfo(Picture).Get());
    EXPECT_EQ(Infos.ProbeCount(), 2);
}
