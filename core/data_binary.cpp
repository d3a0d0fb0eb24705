// The binary syntax of data documents, used for streams (the clipboard).
// All integers are 32-bit little-endian:
//   list  := count, count x entry
//   entry := name length, name, kind (":" section, "=" leaf), value length,
//            value, and for a section its list

#include "core/data.h"

#include "core/error.h"
#include "core/stream.h"
#include "core/text.h"
#include "core/text_table.h"

namespace {

constexpr unsigned char SectionKind = ':';
constexpr unsigned char LeafKind = '=';

std::string ReadText(TStream& Stream) {
    uint32_t Length = Stream.ReadUInt32();
    // A damaged length never allocates more than the stream can deliver.
    if (static_cast<int64_t>(Length) > Stream.Remaining())
        throw EStreamError(GetText(TTextSlot::StreamReadError));
    std::string Text(Length, '\0');
    Stream.ReadBuffer(Text.data(), Length);
    return Text;
}

void ReadList(TStream& Stream, TDataList* List, int Depth) {
    uint32_t Count = Stream.ReadUInt32();
    for (uint32_t I = 0; I < Count; ++I) {
        std::string Name = ReadText(Stream);
        unsigned char Kind = 0;
        Stream.ReadBuffer(&Kind, 1);
        std::string Value = ReadText(Stream);
        int32_t Index = List->Set(Name, Value);
        if (Kind != SectionKind)
            continue;
        if (Depth + 1 > MaxDataDepth)
            throw EStreamError(FormatMessageText(GetText(TTextSlot::DocumentTooDeep), ""));
        ReadList(Stream, List->EnsureChildren(Index), Depth + 1);
        List->DropEmptyChildren(Index);
    }
}

void WriteText(TStream& Stream, std::string_view Text) {
    Stream.WriteUInt32(static_cast<uint32_t>(Text.size()));
    Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void WriteList(TStream& Stream, const TDataList& List) {
    Stream.WriteUInt32(static_cast<uint32_t>(List.Count()));
    for (int32_t I = 0; I < List.Count(); ++I) {
        const TDataList::TEntry& E = List.Entry(I);
        WriteText(Stream, E.Name);
        unsigned char Kind = E.Children ? SectionKind : LeafKind;
        Stream.WriteBuffer(&Kind, 1);
        WriteText(Stream, E.Value);
        if (E.Children)
            WriteList(Stream, *E.Children);
    }
}

} // namespace

void TData::LoadFromStream(TStream& Stream) { ReadList(Stream, FRoot.get(), 0); }

void TData::SaveToStream(TStream& Stream) const { WriteList(Stream, *FRoot); }
