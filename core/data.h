#pragma once

#include "core/data_list.h"
#include "core/geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TStream;

// A data document: a tree of named entries with text values, and a cursor
// (Current) that walks it. Every stored file of the system and the project
// data on the clipboard is one. Typed values are stored as text under fixed
// conventions; readers never raise and fall back to their Default.
//
//   TData Data;
//   {
//       TDataSection Section(Data, "Project");
//       Data.WriteInteger("Count", 2);
//   }
//   Data.SaveToFile(FileName);
class TData : public TObject {
public:
    TData();
    ~TData() override;
    TData(const TData&) = delete;
    TData& operator=(const TData&) = delete;

    std::string_view ClassName() const override { return "TData"; }

    TDataList* Root() const { return FRoot.get(); }
    TDataList* Current() const { return FCurrent; }

    bool Exists(std::string_view Name) const;
    // Makes the section Name current, creating it (or turning a leaf of that
    // name into a section) when needed; so entering always succeeds.
    void Enter(std::string_view Name);
    void Leave();

    std::string ReadRaw(std::string_view Name) const;
    // Values are stored as single lines: callers pass text without line breaks
    // (WriteString escapes them).
    void WriteRaw(std::string_view Name, std::string_view Value);

    bool ReadBool(std::string_view Name, bool Default) const;
    uint8_t ReadByte(std::string_view Name, uint8_t Default) const;
    int32_t ReadInteger(std::string_view Name, int32_t Default) const;
    int64_t ReadInt64(std::string_view Name, int64_t Default) const;
    double ReadFloat(std::string_view Name, double Default) const;
    TColor ReadColor(std::string_view Name, TColor Default) const;
    TPoint ReadPoint(std::string_view Name, TPoint Default) const;
    TRect ReadRect(std::string_view Name, TRect Default) const;
    std::string ReadString(std::string_view Name, std::string_view Default) const;
    // Text is UTF-8 throughout, so wide strings read as strings.
    std::string ReadWideString(std::string_view Name, std::string_view Default) const {
        return ReadString(Name, Default);
    }

    void WriteBool(std::string_view Name, bool Value);
    void WriteInteger(std::string_view Name, int32_t Value);
    void WriteInt64(std::string_view Name, int64_t Value);
    void WriteFloat(std::string_view Name, double Value);
    void WriteColor(std::string_view Name, TColor Value);
    void WritePoint(std::string_view Name, TPoint Value);
    void WriteRect(std::string_view Name, TRect Value);
    void WriteString(std::string_view Name, std::string_view Value);

    // The "Count" of a stored list, limited to the sections named
    // Prefix + index + "]" that the current list really holds, so that a
    // damaged count never makes a reader build more elements than stored.
    int32_t ReadListCount(std::string_view Prefix) const;

    // The text syntax, for files. Loading adds to what the document holds.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    void LoadFromText(std::string_view Text);
    std::string SaveToText() const;

    // The binary syntax, for streams (the clipboard); read into empty
    // documents only.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;

private:
    // Reads Text, which the document already holds, into the tree.
    void LoadFromAdoptedText(std::string_view Text);

    std::unique_ptr<TDataList> FRoot;
    TDataList* FCurrent;
};

// Enters a section on construction and leaves it on destruction.
class TDataSection {
public:
    TDataSection(TData& Data, std::string_view Name) : FData(Data) { FData.Enter(Name); }
    ~TDataSection() { FData.Leave(); }
    TDataSection(const TDataSection&) = delete;
    TDataSection& operator=(const TDataSection&) = delete;

private:
    TData& FData;
};

// The name of element Index of a stored list: ListItemName("Track[", 0) is "Track[0]".
std::string ListItemName(std::string_view Prefix, int32_t Index);

// Turns arbitrary text into a key the text syntax can carry: 'a'#3A'b' for a:b.
std::string QuoteKey(std::string_view Text);

// Sections deeper than this are refused when a document is read, so damaged
// input cannot exhaust the stack.
constexpr int MaxDataDepth = 1000;
