// The text syntax of data documents, used for files:
//
//   Project:
//     Tracks:
//       Count = 1
//     end
//   end
//
// Leaves are "name = value", sections "name:" followed by their entries and a
// closing "end"; the writer indents by two blanks per level, the reader
// ignores indentation. An empty line ends the current list.

#include "core/data.h"

#include "core/bulk_memory.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/text.h"
#include "core/text_table.h"

#include <algorithm>
#include <vector>

namespace {

// Reads a text the document has adopted: names and values become views of
// its lines, so loading copies no text.
class TTextReader {
public:
    explicit TTextReader(std::string_view Text) : FText(Text) {}

    void ReadList(TDataList* List, int Depth);

private:
    bool NextLine(std::string_view& Line);

    std::string_view FText;
    size_t FPosition = 0;
    // The entry count of the section last read at each depth: sections side
    // by side are mostly alike (one per clip), so the next one at that depth
    // is given room for as many and rarely has to move its entries.
    std::vector<int32_t> FLastCounts;
};

bool TTextReader::NextLine(std::string_view& Line) {
    if (FPosition >= FText.size())
        return false;
    size_t End = FText.find('\n', FPosition);
    if (End == std::string_view::npos)
        End = FText.size();
    Line = FText.substr(FPosition, End - FPosition);
    FPosition = End + 1;
    if (!Line.empty() && Line.back() == '\r')
        Line.remove_suffix(1);
    return true;
}

// The text after a separator: the writer puts one blank after it, which the
// reader skips without further trimming.
std::string_view ValueAfter(std::string_view Line, size_t Separator) {
    return Separator + 2 <= Line.size() ? Line.substr(Separator + 2) : std::string_view();
}

void TTextReader::ReadList(TDataList* List, int Depth) {
    // Enough for the sections one clip writes; a longer list grows as usual.
    constexpr int32_t MostReserved = 64;
    auto Level = static_cast<size_t>(Depth);
    if (FLastCounts.size() <= Level)
        FLastCounts.resize(Level + 1, 0);
    if (List->Count() == 0 && FLastCounts[Level] > 0)
        List->Reserve(std::min(FLastCounts[Level], MostReserved));
    // Noted however the section ends (an "end", an empty line, the text's end).
    struct TCountKeeper {
        std::vector<int32_t>& Counts;
        size_t Level;
        const TDataList* List;
        ~TCountKeeper() { Counts[Level] = List->Count(); }
    } Keeper{FLastCounts, Level, List};
    std::string_view Line;
    while (NextLine(Line)) {
        size_t Start = 0;
        while (Start + 1 < Line.size() && IsBlank(Line[Start]))
            ++Start;
        Line.remove_prefix(Start);
        if (Line.empty())
            return;

        // One pass for either separator (find_first_of searches the set
        // once per character).
        size_t Separator = std::string_view::npos;
        for (size_t I = 0; I < Line.size(); ++I)
            if (Line[I] == ':' || Line[I] == '=') {
                Separator = I;
                break;
            }
        size_t NameEnd = Separator == std::string_view::npos ? Line.size() : Separator;
        while (NameEnd > 0 && IsBlank(Line[NameEnd - 1]))
            --NameEnd;
        std::string_view Name = Line.substr(0, NameEnd);

        if (Separator == std::string_view::npos) {
            if (SameTextAscii(Name, "END"))
                return;
            continue; // not an entry: skipped
        }
        int32_t Index = List->SetAdopted(Name, ValueAfter(Line, Separator));
        if (Line[Separator] == ':') {
            if (Depth + 1 > MaxDataDepth)
                RaiseError(FormatMessageText(GetText(TTextSlot::DocumentTooDeep), ""));
            ReadList(List->EnsureChildren(Index), Depth + 1);
        }
    }
}

// Writes the text form into one buffer, or, given a sink, into a buffer of
// about ChunkSize that is handed on whenever it fills, so that saving a large
// document neither copies a growing buffer nor holds the whole text at once.
class TTextWriter {
public:
    explicit TTextWriter(std::string& Out, const TByteSink* Sink = nullptr)
        : FOut(Out), FSink(Sink) {
        if (FSink)
            FOut.reserve(ChunkSize + ChunkSize / 4);
    }

    void WriteList(const TDataList& List, size_t Level);
    void Flush() {
        if (FSink && !FOut.empty())
            (*FSink)(FOut);
        if (FSink)
            FOut.clear();
    }

private:
    static constexpr size_t ChunkSize = 256 * 1024;

    std::string& FOut;
    const TByteSink* FSink;
};

void TTextWriter::WriteList(const TDataList& List, size_t Level) {
    std::string& Out = FOut;
    for (int32_t I = 0; I < List.Count(); ++I) {
        const TDataList::TEntry& E = List.Entry(I);
        if (FSink && Out.size() >= ChunkSize)
            Flush();
        Out.append(Level, ' ');
        Out += E.Name;
        if (!E.Children) {
            Out += " = ";
            Out += E.Value;
            Out += "\r\n";
            continue;
        }
        Out += ':';
        // A section's value needs the same blank as a leaf's, or the reader,
        // which skips one character after the separator, would lose the
        // value's first character.
        if (!E.Value.empty()) {
            Out += ' ';
            Out += E.Value;
        }
        Out += "\r\n";
        WriteList(*E.Children, Level + 2);
        Out.append(Level, ' ');
        Out += "end\r\n";
    }
}

// The length of the text form, so that SaveToText fills one buffer of the
// right size instead of copying each one it outgrows.
size_t TextLength(const TDataList& List, size_t Level) {
    size_t Length = 0;
    for (int32_t I = 0; I < List.Count(); ++I) {
        const TDataList::TEntry& E = List.Entry(I);
        Length += Level + E.Name.size();
        if (!E.Children) {
            Length += 3 + E.Value.size() + 2;
            continue;
        }
        Length += 1 + (E.Value.empty() ? 0 : 1 + E.Value.size()) + 2;
        Length += TextLength(*E.Children, Level + 2);
        Length += Level + 5;
    }
    return Length;
}

} // namespace

void TData::LoadFromText(std::string_view Text) {
    LoadFromAdoptedText(FRoot->Adopt(std::pmr::string(Text, BulkMemory())));
}

void TData::LoadFromFile(const std::string& FileName) {
    LoadFromAdoptedText(FRoot->Adopt(ReadFileBytes(FileName, BulkMemory())));
}

void TData::LoadFromAdoptedText(std::string_view Text) {
    TTextReader Reader(Text);
    Reader.ReadList(FRoot.get(), 0);
}

std::string TData::SaveToText() const {
    std::string Out;
    Out.reserve(TextLength(*FRoot, 0));
    TTextWriter(Out).WriteList(*FRoot, 0);
    return Out;
}

void TData::SaveToFile(const std::string& FileName) const {
    WriteFileAtomically(FileName, [this](const TByteSink& Sink) {
        std::string Buffer;
        TTextWriter Writer(Buffer, &Sink);
        Writer.WriteList(*FRoot, 0);
        Writer.Flush();
    });
}
