#include "core/data.h"

#include "core/bulk_memory.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

TData::TData() : FRoot(std::make_unique<TDataList>()), FCurrent(FRoot.get()) {}

TData::~TData() = default;

bool TData::Exists(std::string_view Name) const { return FCurrent->IndexOf(Name) >= 0; }

void TData::Enter(std::string_view Name) {
    int32_t Index = FCurrent->IndexOf(Name);
    if (Index < 0)
        Index = FCurrent->Set(Name, "");
    FCurrent = FCurrent->EnsureChildren(Index);
}

void TData::Leave() {
    if (FCurrent->Parent())
        FCurrent = FCurrent->Parent();
}

std::string TData::ReadRaw(std::string_view Name) const {
    int32_t Index = FCurrent->IndexOf(Name);
    return Index >= 0 ? std::string(FCurrent->Entry(Index).Value) : std::string();
}

void TData::WriteRaw(std::string_view Name, std::string_view Value) { FCurrent->Set(Name, Value); }

namespace {

std::string_view TrimBlanks(std::string_view S) {
    while (!S.empty() && IsBlank(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back()))
        S.remove_suffix(1);
    return S;
}

const char HexDigits[] = "0123456789ABCDEF";

void AppendHexEscape(std::string& Out, unsigned char C) {
    Out += '#';
    Out += HexDigits[C >> 4];
    Out += HexDigits[C & 15];
}

// A key made of a name and a suffix ("Background.Color" + ".R"), built on
// the stack for names of usual length: colours, points and rectangles are
// written and read by the thousand.
class TJoined {
public:
    TJoined(std::string_view Name, std::string_view Suffix) {
        if (Name.size() + Suffix.size() <= sizeof FBuffer) {
            std::memcpy(FBuffer, Name.data(), Name.size());
            std::memcpy(FBuffer + Name.size(), Suffix.data(), Suffix.size());
            FView = std::string_view(FBuffer, Name.size() + Suffix.size());
        } else {
            FLong.assign(Name);
            FLong += Suffix;
            FView = FLong;
        }
    }
    TJoined(const TJoined&) = delete;
    TJoined& operator=(const TJoined&) = delete;

    operator std::string_view() const { return FView; }

private:
    char FBuffer[64];
    std::string FLong;
    std::string_view FView;
};

// The stored text of Name in List, empty when absent, without a copy.
std::string_view StoredValue(const TDataList& List, std::string_view Name) {
    int32_t Index = List.IndexOf(Name);
    return Index >= 0 ? List.Entry(Index).Value : std::string_view();
}

} // namespace

bool TData::ReadBool(std::string_view Name, bool Default) const {
    std::string_view Value = StoredValue(*FCurrent, Name);
    if (SameTextAscii(Value, "FALSE"))
        return false;
    if (SameTextAscii(Value, "TRUE"))
        return true;
    return Default;
}

uint8_t TData::ReadByte(std::string_view Name, uint8_t Default) const {
    return static_cast<uint8_t>(ParseInteger(StoredValue(*FCurrent, Name), 0, 255, Default));
}

int32_t TData::ReadInteger(std::string_view Name, int32_t Default) const {
    return ParseInteger(StoredValue(*FCurrent, Name), std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max(), Default);
}

int64_t TData::ReadInt64(std::string_view Name, int64_t Default) const {
    std::string_view Text = StoredValue(*FCurrent, Name);
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    if (!Text.empty() && Text.front() == '+') {
        Text.remove_prefix(1);
        if (!Text.empty() && Text.front() == '-')
            return Default; // one sign only
    }
    int64_t Value = 0;
    auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Error != std::errc() || End != Text.data() + Text.size() || Text.empty())
        return Default;
    return Value;
}

double TData::ReadFloat(std::string_view Name, double Default) const {
    std::string_view Text = TrimBlanks(StoredValue(*FCurrent, Name));
    if (!Text.empty() && Text.front() == '+') {
        Text.remove_prefix(1);
        if (!Text.empty() && Text.front() == '-')
            return Default; // one sign only
    }
    if (Text.empty() || !(std::isdigit(static_cast<unsigned char>(Text.back())) || Text.back() == '.'))
        return Default; // refuses "inf", "nan" and the like
    double Value = 0;
    auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value,
                                        std::chars_format::general);
    if (Error != std::errc() || End != Text.data() + Text.size() || !std::isfinite(Value))
        return Default;
    return Value;
}

TColor TData::ReadColor(std::string_view Name, TColor Default) const {
    auto Byte = [&](const char* Suffix, int Shift) {
        return TColor(ReadByte(TJoined(Name, Suffix), static_cast<uint8_t>(Default >> Shift)))
               << Shift;
    };
    return Byte(".R", 0) | Byte(".G", 8) | Byte(".B", 16) | Byte(".A", 24);
}

TPoint TData::ReadPoint(std::string_view Name, TPoint Default) const {
    return {ReadInteger(TJoined(Name, ".X"), Default.X),
            ReadInteger(TJoined(Name, ".Y"), Default.Y)};
}

TRect TData::ReadRect(std::string_view Name, TRect Default) const {
    int32_t Left = ReadInteger(TJoined(Name, ".Left"), Default.Left);
    int32_t Top = ReadInteger(TJoined(Name, ".Top"), Default.Top);
    int32_t Width = ReadInteger(TJoined(Name, ".Width"), Default.Right - Default.Left);
    int32_t Height = ReadInteger(TJoined(Name, ".Height"), Default.Bottom - Default.Top);
    // Damaged values must not overflow: the far edges are held in range.
    auto Edge = [](int32_t Start, int32_t Extent) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(Start) + Extent,
                                                        std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return {Left, Top, Edge(Left, Width), Edge(Top, Height)};
}

std::string TData::ReadString(std::string_view Name, std::string_view Default) const {
    int32_t Index = FCurrent->IndexOf(Name);
    if (Index < 0)
        return std::string(Default);
    std::string_view Value = FCurrent->Entry(Index).Value;
    std::string Result;
    Result.reserve(Value.size());
    for (size_t I = 0; I < Value.size(); ++I) {
        if (Value[I] == '#' && I + 2 < Value.size() && HexDigitValue(Value[I + 1]) >= 0 &&
            HexDigitValue(Value[I + 2]) >= 0) {
            Result +=
                static_cast<char>(HexDigitValue(Value[I + 1]) * 16 + HexDigitValue(Value[I + 2]));
            I += 2;
        } else {
            Result += Value[I];
        }
    }
    return Result;
}

void TData::WriteBool(std::string_view Name, bool Value) { WriteRaw(Name, Value ? "True" : "False"); }

void TData::WriteInteger(std::string_view Name, int32_t Value) {
    WriteRaw(Name, std::to_string(Value));
}

void TData::WriteInt64(std::string_view Name, int64_t Value) { WriteRaw(Name, std::to_string(Value)); }

void TData::WriteFloat(std::string_view Name, double Value) {
    if (Value == 0 || !std::isfinite(Value))
        Value = 0; // no "-0.00000000", and nothing a reader could not read back
    char Buffer[400];
    auto [End, Error] = std::to_chars(Buffer, Buffer + sizeof Buffer, Value,
                                      std::chars_format::fixed, 8);
    if (Error != std::errc())
        End = Buffer;
    WriteRaw(Name, std::string_view(Buffer, static_cast<size_t>(End - Buffer)));
}

void TData::WriteColor(std::string_view Name, TColor Value) {
    WriteInteger(TJoined(Name, ".R"), Value & 0xFF);
    WriteInteger(TJoined(Name, ".G"), (Value >> 8) & 0xFF);
    WriteInteger(TJoined(Name, ".B"), (Value >> 16) & 0xFF);
    WriteInteger(TJoined(Name, ".A"), (Value >> 24) & 0xFF);
}

void TData::WritePoint(std::string_view Name, TPoint Value) {
    WriteInteger(TJoined(Name, ".X"), Value.X);
    WriteInteger(TJoined(Name, ".Y"), Value.Y);
}

void TData::WriteRect(std::string_view Name, TRect Value) {
    WriteInteger(TJoined(Name, ".Left"), Value.Left);
    WriteInteger(TJoined(Name, ".Top"), Value.Top);
    WriteInteger(TJoined(Name, ".Width"), Value.Right - Value.Left);
    WriteInteger(TJoined(Name, ".Height"), Value.Bottom - Value.Top);
}

void TData::WriteString(std::string_view Name, std::string_view Value) {
    std::string Stored;
    Stored.reserve(Value.size());
    for (char C : Value) {
        auto Byte = static_cast<unsigned char>(C);
        if (Byte < 32 || C == '#')
            AppendHexEscape(Stored, Byte);
        else
            Stored += C;
    }
    WriteRaw(Name, Stored);
}

int32_t TData::ReadListCount(std::string_view Prefix) const {
    int32_t Count = ReadInteger("Count", 0);
    if (Count <= 0)
        return 0;
    int32_t Sections = 0;
    for (int32_t I = 0; I < FCurrent->Count(); ++I) {
        const TDataList::TEntry& E = FCurrent->Entry(I);
        if (E.Children && StartsWithText(E.Name, Prefix))
            ++Sections;
    }
    return Count < Sections ? Count : Sections;
}

std::string ListItemName(std::string_view Prefix, int32_t Index) {
    std::string Name(Prefix);
    Name += std::to_string(Index);
    Name += ']';
    return Name;
}

std::string QuoteKey(std::string_view Text) {
    if (Text.empty())
        return "''";
    auto IsSpecial = [](char C) {
        return static_cast<unsigned char>(C) < 32 || C == ':' || C == '=';
    };
    bool Plain = true;
    for (char C : Text)
        if (IsSpecial(C) || C == '\'')
            Plain = false;
    if (Plain) {
        // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict
        // overlap for a literal + std::string + literal chain.
        std::string Key;
        Key.reserve(Text.size() + 2);
        Key += '\'';
        Key += Text;
        Key += '\'';
        return Key;
    }

    std::string Key;
    bool Open = false;
    for (char C : Text) {
        if (IsSpecial(C)) {
            if (Open)
                Key += '\'';
            Open = false;
            AppendHexEscape(Key, static_cast<unsigned char>(C));
            continue;
        }
        if (!Open)
            Key += '\'';
        Open = true;
        Key += C;
        if (C == '\'')
            Key += '\'';
    }
    if (Open)
        Key += '\'';
    return Key;
}
