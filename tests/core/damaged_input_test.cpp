// Damaged files and clipboard data must never crash the program or make it
// allocate without bound: they either load or raise an EError. These tests run
// under AddressSanitizer and UndefinedBehaviorSanitizer in CI.

#include "core/data.h"

#include "core/error.h"
#include "core/global_memory_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

// The largest single allocation made while a TAllocationWatch is alive.
std::atomic<bool> WatchingAllocations{false};
std::atomic<size_t> LargestAllocation{0};

void RecordAllocation(size_t Size) {
    if (!WatchingAllocations.load(std::memory_order_relaxed))
        return;
    size_t Old = LargestAllocation.load(std::memory_order_relaxed);
    while (Size > Old && !LargestAllocation.compare_exchange_weak(Old, Size))
        ;
}

class TAllocationWatch {
public:
    TAllocationWatch() {
        LargestAllocation = 0;
        WatchingAllocations = true;
    }
    ~TAllocationWatch() { WatchingAllocations = false; }
    TAllocationWatch(const TAllocationWatch&) = delete;
    TAllocationWatch& operator=(const TAllocationWatch&) = delete;
    size_t Largest() const { return LargestAllocation; }
};

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer owns the allocator; it reports every allocation to a hook.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
namespace {
void MallocHook(const volatile void*, size_t Size) {
    RecordAllocation(Size);
}
void FreeHook(const volatile void*) {}
[[maybe_unused]] const int HooksInstalled =
    __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
} // namespace
#else
// The replacements pair malloc with free on purpose; the compiler sees only
// one half of each pair when it inlines them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t Size) {
    RecordAllocation(Size);
    if (void* P = std::malloc(Size ? Size : 1))
        return P;
    throw std::bad_alloc();
}
void operator delete(void* P) noexcept {
    std::free(P);
}
void operator delete(void* P, std::size_t) noexcept {
    std::free(P);
}
#pragma GCC diagnostic pop
#endif

namespace {

using TBytes = std::vector<unsigned char>;

// Bounds a loader's allocations for inputs of a few hundred bytes: far more
// than it needs, far less than any damaged length or count asks for.
constexpr size_t AllocationBound = 1 << 20;

TBytes SaveBytes(const TData& Data) {
    TGlobalMemoryStream Stream;
    Data.SaveToStream(Stream);
    return TBytes(Stream.Memory(), Stream.Memory() + Stream.Size());
}

void LoadBytes(TData& Data, const TBytes& Bytes) {
    TMemoryBlock Block{Bytes};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    Data.LoadFromStream(Stream);
}

void AppendUInt32(TBytes& Bytes, uint32_t Value) {
    for (int Shift = 0; Shift < 32; Shift += 8)
        Bytes.push_back(static_cast<unsigned char>(Value >> Shift));
}

void AppendText(TBytes& Bytes, const std::string& Text) {
    AppendUInt32(Bytes, static_cast<uint32_t>(Text.size()));
    Bytes.insert(Bytes.end(), Text.begin(), Text.end());
}

// Loads damaged bytes: an EError is a fine outcome, anything else a failure.
// A document that did load must still save.
void ExpectLoadsOrRaisesEError(const TBytes& Bytes, const std::string& What) {
    TData Data;
    try {
        LoadBytes(Data, Bytes);
    } catch (const EError&) {
        return;
    } catch (const std::exception& Error) {
        ADD_FAILURE() << What << ": raised a " << typeid(Error).name() << ": " << Error.what();
        return;
    }
    TBytes Again = SaveBytes(Data);
    EXPECT_LE(Again.size(), Bytes.size() + 16) << What;
    (void)Data.SaveToText();
}

void BuildSample(TData& Data) {
    TDataSection Project(Data, "Project");
    {
        TDataSection Tracks(Data, "Tracks");
        Data.WriteInteger("Count", 2);
        for (int I = 0; I < 2; ++I) {
            TDataSection Track(Data, ListItemName("Track[", I));
            Data.WriteInteger("Kind", I + 1);
            Data.WriteBool("IsSelected", I == 0);
            TDataSection Settings(Data, "Settings");
            Data.WriteFloat("Volume", 75.5);
            Data.WriteColor("Tint", MakeColor(10, 20, 30));
        }
    }
    TDataSection Settings(Data, "Settings");
    Data.WriteInt64("Position", 123456789);
    Data.WriteString("Title", "A #1 film\r\n");
}

// Streams built from plausible fields (small counts and lengths, the two
// kind bytes, short names) mixed with arbitrary ones, so that the reader gets
// deep into its lists before the damage shows.
TBytes PlausibleRandomStream(std::mt19937& Random) {
    TBytes Bytes;
    size_t Target = Random() % 400;
    while (Bytes.size() < Target) {
        switch (Random() % 8) {
        case 0:
        case 1:
            AppendUInt32(Bytes, Random() % 4);
            break;
        case 2:
            AppendText(Bytes, std::string(Random() % 6, static_cast<char>('a' + Random() % 26)));
            break;
        case 3:
            Bytes.push_back(':');
            break;
        case 4:
            Bytes.push_back('=');
            break;
        case 5:
            AppendUInt32(Bytes, static_cast<uint32_t>(Random()));
            break;
        case 6:
            AppendUInt32(Bytes, 0xFFFFFFFFu - Random() % 4);
            break;
        default:
            Bytes.push_back(static_cast<unsigned char>(Random()));
        }
    }
    return Bytes;
}

TEST(DamagedBinary, RandomBytesLoadOrRaise) {
    std::mt19937 Random(1234);
    TAllocationWatch Watch;
    for (int I = 0; I < 2000; ++I) {
        TBytes Bytes(Random() % 300);
        for (unsigned char& B : Bytes)
            B = static_cast<unsigned char>(Random());
        // Small leading counts reach the entries more often.
        if (Bytes.size() >= 4 && I % 2 == 0) {
            Bytes[0] = static_cast<unsigned char>(Random() % 5);
            Bytes[1] = Bytes[2] = Bytes[3] = 0;
        }
        ExpectLoadsOrRaisesEError(Bytes, "random buffer " + std::to_string(I));
    }
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, PlausibleRandomStreamsLoadOrRaise) {
    std::mt19937 Random(99);
    TAllocationWatch Watch;
    for (int I = 0; I < 2000; ++I)
        ExpectLoadsOrRaisesEError(PlausibleRandomStream(Random),
                                  "plausible stream " + std::to_string(I));
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, MutationsOfAValidStreamLoadOrRaise) {
    TData Data;
    BuildSample(Data);
    const TBytes Valid = SaveBytes(Data);
    std::mt19937 Random(4321);
    TAllocationWatch Watch;
    for (int I = 0; I < 2000; ++I) {
        TBytes Bytes = Valid;
        int Edits = 1 + static_cast<int>(Random() % 4);
        for (int E = 0; E < Edits && !Bytes.empty(); ++E) {
            size_t At = Random() % Bytes.size();
            switch (Random() % 5) {
            case 0:
                Bytes[At] = static_cast<unsigned char>(Random());
                break;
            case 1: { // a damaged length or count
                static const uint32_t Values[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
                uint32_t V = Values[Random() % 5];
                for (size_t K = 0; K < 4 && At + K < Bytes.size(); ++K)
                    Bytes[At + K] = static_cast<unsigned char>(V >> (8 * K));
                break;
            }
            case 2: {
                size_t Length = std::min<size_t>(Random() % 16, Bytes.size() - At);
                Bytes.erase(Bytes.begin() + static_cast<std::ptrdiff_t>(At),
                            Bytes.begin() + static_cast<std::ptrdiff_t>(At + Length));
                break;
            }
            case 3: {
                size_t Length = std::min<size_t>(Random() % 32, Bytes.size() - At);
                TBytes Copy(Bytes.begin() + static_cast<std::ptrdiff_t>(At),
                            Bytes.begin() + static_cast<std::ptrdiff_t>(At + Length));
                Bytes.insert(Bytes.begin() + static_cast<std::ptrdiff_t>(Random() % Bytes.size()),
                             Copy.begin(), Copy.end());
                break;
            }
            default:
                Bytes.resize(At);
            }
        }
        ExpectLoadsOrRaisesEError(Bytes, "mutation " + std::to_string(I));
    }
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, HugeCountRaisesWithoutAllocating) {
    TBytes Bytes;
    AppendUInt32(Bytes, 0xFFFFFFFFu);
    AppendText(Bytes, "a");
    Bytes.push_back('=');
    AppendText(Bytes, "1");
    TAllocationWatch Watch;
    TData Data;
    EXPECT_THROW(LoadBytes(Data, Bytes), EStreamError);
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, HugeNameLengthRaisesWithoutAllocating) {
    TBytes Bytes;
    AppendUInt32(Bytes, 1);
    AppendUInt32(Bytes, 0xFFFFFFF0u);
    Bytes.insert(Bytes.end(), {'a', 'b', 'c'});
    TAllocationWatch Watch;
    TData Data;
    EXPECT_THROW(LoadBytes(Data, Bytes), EStreamError);
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, HugeValueLengthRaisesWithoutAllocating) {
    TBytes Bytes;
    AppendUInt32(Bytes, 1);
    AppendText(Bytes, "Name");
    Bytes.push_back('=');
    AppendUInt32(Bytes, 0x7FFFFFFFu);
    Bytes.insert(Bytes.end(), 20, 'x');
    TAllocationWatch Watch;
    TData Data;
    EXPECT_THROW(LoadBytes(Data, Bytes), EStreamError);
    EXPECT_LT(Watch.Largest(), AllocationBound);
}

TEST(DamagedBinary, LengthOfExactlyTheRestIsAccepted) {
    TBytes Bytes;
    AppendUInt32(Bytes, 1);
    AppendText(Bytes, "Name");
    Bytes.push_back('=');
    AppendText(Bytes, "tail");
    TData Data;
    LoadBytes(Data, Bytes);
    EXPECT_EQ(Data.ReadRaw("Name"), "tail");
}

TBytes NestedStream(int Levels) {
    TBytes Bytes;
    for (int I = 0; I < Levels; ++I) {
        AppendUInt32(Bytes, 1);
        AppendText(Bytes, "a");
        Bytes.push_back(':');
        AppendText(Bytes, "");
    }
    AppendUInt32(Bytes, 1);
    AppendText(Bytes, "leaf");
    Bytes.push_back('=');
    AppendText(Bytes, "x");
    return Bytes;
}

std::string NestedText(int Levels) {
    std::string Text;
    for (int I = 0; I < Levels; ++I)
        Text += "a:\r\n";
    Text += "leaf = x\r\n";
    return Text;
}

TEST(DamagedNesting, BinaryNestingUpToTheLimitLoads) {
    TData Data;
    LoadBytes(Data, NestedStream(MaxDataDepth));
    const TDataList* List = Data.Root();
    for (int I = 0; I < MaxDataDepth; ++I) {
        ASSERT_NE(List->Entry(0).Children, nullptr) << "level " << I;
        List = List->Entry(0).Children.get();
    }
    EXPECT_EQ(List->Entry(0).Value, "x");
}

TEST(DamagedNesting, BinaryNestingBeyondTheLimitRaises) {
    TData Data;
    EXPECT_THROW(LoadBytes(Data, NestedStream(MaxDataDepth + 1)), EError);
    TData Deep;
    EXPECT_THROW(LoadBytes(Deep, NestedStream(100000)), EError);
}

TEST(DamagedNesting, TextNestingUpToTheLimitLoads) {
    TData Data;
    Data.LoadFromText(NestedText(MaxDataDepth));
    const TDataList* List = Data.Root();
    for (int I = 0; I < MaxDataDepth; ++I) {
        ASSERT_NE(List->Entry(0).Children, nullptr) << "level " << I;
        List = List->Entry(0).Children.get();
    }
    EXPECT_EQ(List->Entry(0).Value, "x");
    EXPECT_FALSE(Data.SaveToText().empty());
}

TEST(DamagedNesting, TextNestingBeyondTheLimitRaises) {
    TData Data;
    EXPECT_THROW(Data.LoadFromText(NestedText(MaxDataDepth + 1)), EError);
    TData Deep;
    EXPECT_THROW(Deep.LoadFromText(NestedText(200000)), EError);
}

TEST(DamagedText, EveryTruncationOfAValidFileLoads) {
    TData Data;
    BuildSample(Data);
    const std::string Text = Data.SaveToText();
    for (size_t Length = 0; Length <= Text.size(); ++Length) {
        TData Loaded;
        ASSERT_NO_THROW(Loaded.LoadFromText(std::string_view(Text).substr(0, Length)))
            << "length " << Length;
    }
}

// Whatever garbage is read, what the document then holds is written in a form
// that reads back to the same document.
TEST(DamagedText, GarbageLoadsAndSavesStably) {
    std::mt19937 Random(777);
    const std::string Alphabet = "ab :=#\t\r\n\nendEND\x01\xFF";
    for (int I = 0; I < 2000; ++I) {
        std::string Text;
        size_t Length = Random() % 200;
        for (size_t J = 0; J < Length; ++J)
            Text += Alphabet[Random() % Alphabet.size()];
        TData First;
        ASSERT_NO_THROW(First.LoadFromText(Text)) << I;
        std::string Saved = First.SaveToText();
        TData Second;
        Second.LoadFromText(Saved);
        ASSERT_EQ(Second.SaveToText(), Saved) << "garbage " << I;
    }
}

TEST(DamagedText, BinaryGarbageAsTextLoads) {
    std::mt19937 Random(31337);
    for (int I = 0; I < 500; ++I) {
        std::string Text(Random() % 500, '\0');
        for (char& C : Text)
            C = static_cast<char>(Random());
        TData Data;
        ASSERT_NO_THROW(Data.LoadFromText(Text)) << I;
    }
}

TEST(DamagedValues, HugeStoredCountBuildsNothingBig) {
    TData Data;
    Data.LoadFromText("Count = 99999999999\r\nTrack[0]:\r\n  Kind = 1\r\nend\r\n");
    EXPECT_EQ(Data.ReadListCount("Track["), 1);
}

TEST(DamagedValues, ExtremeRectanglePartsDoNotOverflow) {
    const int32_t Max = std::numeric_limits<int32_t>::max();
    const int32_t Min = std::numeric_limits<int32_t>::min();
    TData Data;
    Data.WriteRaw("R.Left", "2147483647");
    Data.WriteRaw("R.Top", "-2147483648");
    Data.WriteRaw("R.Width", "2147483647");
    Data.WriteRaw("R.Height", "-2147483648");
    TRect R = Data.ReadRect("R", TRect{});
    EXPECT_EQ(R.Left, Max);
    EXPECT_EQ(R.Top, Min);
    EXPECT_EQ(R.Right, Max) << "the sum is held at the largest value";
    EXPECT_EQ(R.Bottom, Min);
}

} // namespace
