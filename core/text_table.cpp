#include "core/text_table.h"

#include "core/text_scramble.h"
#include "core/text_table_data.h"

#include <array>

namespace {

using TTexts = std::array<std::string, TextSlotCount>;

const TTexts& Texts() {
    static const TTexts Table = [] {
        TTexts T;
        for (int I = 0; I < TextSlotCount; ++I) {
            const auto* Begin = ScrambledTexts + ScrambledTextOffsets[I];
            const auto* End = ScrambledTexts + ScrambledTextOffsets[I + 1];
            T[static_cast<size_t>(I)].assign(Begin, End);
            ScrambleText(T[static_cast<size_t>(I)], static_cast<uint32_t>(I));
        }
        return T;
    }();
    return Table;
}

} // namespace

void RestoreTextTable() { Texts(); }

const std::string& GetText(TTextSlot Slot) { return Texts()[static_cast<size_t>(Slot)]; }
