// Builds the application's text table from its source list at build time.
//
// Input: one or more lists of lines "SlotName = wording" ("#" starts a comment line, blank lines are
// skipped; "\n" and "\t" in the wording stand for a line break and a tab).
// Output: a header with the enumeration of slots and a source file holding
// the wording scrambled, which the program restores when it starts.
//
//   text_table_gen text_slots.h text_table_data.cpp core/texts.txt app/texts.txt ...
//
// Every library folder keeps the texts it uses in its own list; slot names
// are unique across all lists.

#include "core/text_scramble.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TSlot {
    std::string Name;
    std::string Text;
};

std::string Unescape(const std::string& Text) {
    std::string Result;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\\' && I + 1 < Text.size()) {
            char Next = Text[++I];
            Result += Next == 'n' ? '\n' : Next == 't' ? '\t' : Next;
        } else {
            Result += Text[I];
        }
    }
    return Result;
}

bool IsIdentifier(const std::string& Name) {
    if (Name.empty() || !(std::isalpha(static_cast<unsigned char>(Name[0]))))
        return false;
    for (char C : Name)
        if (!std::isalnum(static_cast<unsigned char>(C)))
            return false;
    return true;
}

std::string Trim(const std::string& S) {
    size_t B = S.find_first_not_of(" \t\r");
    if (B == std::string::npos)
        return "";
    size_t E = S.find_last_not_of(" \t\r");
    return S.substr(B, E - B + 1);
}

bool ReadSlots(const char* FileName, std::vector<TSlot>& Slots, std::set<std::string>& Seen) {
    std::ifstream In(FileName);
    if (!In) {
        std::cerr << FileName << ": cannot open\n";
        return false;
    }
    std::string Line;
    int LineNumber = 0;
    while (std::getline(In, Line)) {
        ++LineNumber;
        std::string Trimmed = Trim(Line);
        if (Trimmed.empty() || Trimmed[0] == '#')
            continue;
        size_t Equals = Line.find(" = ");
        std::string Name = Trim(Line.substr(0, Equals));
        if (Equals == std::string::npos || !IsIdentifier(Name) || !Seen.insert(Name).second) {
            std::cerr << FileName << ":" << LineNumber << ": expected a new 'Slot = text'\n";
            return false;
        }
        std::string Text = Line.substr(Equals + 3);
        if (!Text.empty() && Text.back() == '\r')
            Text.pop_back();
        Slots.push_back({Name, Unescape(Text)});
    }
    return true;
}

// Writes Content only when it differs, so an unchanged table does not
// rebuild everything that includes the header.
bool WriteIfChanged(const char* FileName, const std::string& Content) {
    {
        std::ifstream Old(FileName, std::ios::binary);
        std::stringstream Existing;
        Existing << Old.rdbuf();
        if (Old && Existing.str() == Content)
            return true;
    }
    std::ofstream Out(FileName, std::ios::binary);
    Out << Content;
    return static_cast<bool>(Out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: text_table_gen text_slots.h text_table_data.cpp texts.txt...\n";
        return 2;
    }
    std::vector<TSlot> Slots;
    std::set<std::string> Seen;
    for (int I = 3; I < argc; ++I)
        if (!ReadSlots(argv[I], Slots, Seen))
            return 1;

    std::ostringstream Header;
    Header << "#pragma once\n// Generated from texts.txt; do not edit.\n\n#include <cstdint>\n\n"
           << "enum class TTextSlot : uint16_t {\n";
    for (const TSlot& Slot : Slots)
        Header << "    " << Slot.Name << ",\n";
    Header << "};\n\nconstexpr int TextSlotCount = " << Slots.size() << ";\n";

    std::ostringstream Data;
    Data << "// Generated from the texts.txt lists; do not edit.\n#include \"core/text_table_data.h\"\n\n"
         << "const unsigned char ScrambledTexts[] = {";
    std::vector<size_t> Offsets;
    size_t Offset = 0, Column = 0;
    for (size_t I = 0; I < Slots.size(); ++I) {
        Offsets.push_back(Offset);
        std::string Bytes = Slots[I].Text;
        ScrambleText(Bytes, static_cast<uint32_t>(I));
        for (unsigned char C : Bytes) {
            Data << (Column++ % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(C) << ",";
        }
        Offset += Bytes.size();
    }
    Offsets.push_back(Offset);
    Data << "\n    0};\n\nconst uint32_t ScrambledTextOffsets[] = {";
    for (size_t I = 0; I < Offsets.size(); ++I)
        Data << (I % 12 == 0 ? "\n    " : " ") << Offsets[I] << ",";
    Data << "\n};\n";

    if (!WriteIfChanged(argv[1], Header.str()) || !WriteIfChanged(argv[2], Data.str())) {
        std::cerr << "text_table_gen: cannot write the output files\n";
        return 1;
    }
    return 0;
}
