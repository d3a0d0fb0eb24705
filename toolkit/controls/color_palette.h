#pragma once

#include "core/changes.h"
#include "core/flag_set.h"
#include "core/geometry.h"
#include "core/object.h"

#include <array>
#include <cstdint>

enum class TColorsChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TColorsChangeFlags> = true;
constexpr TColorsChangeFlags ColorsChangePalette{0x0000FF00u};
constexpr TColorsChangeFlags ColorsChangeAlphas{0x00FF0000u};
using TColorsChanges = TFlagChanges<TColorsChangeFlags>;

// The palette the colour choosers offer: 7 rows of 9 opaque colours (a grey
// column, then eight hues from light to dark) and a column of 7 alpha values.
// The first values are kept, so a chooser can go back to them. One instance,
// Colors().
class TColors : public TObject {
public:
    static constexpr int32_t Rows = 7;
    static constexpr int32_t Columns = 9;
    static constexpr int32_t Count = Rows * Columns;
    using TPalette = std::array<TColor, Count>; // row by row
    using TAlphas = std::array<uint8_t, Rows>;

    TColors();
    TColors(const TColors&) = delete;
    TColors& operator=(const TColors&) = delete;

    std::string_view ClassName() const override { return "TColors"; }

    const TPalette& Palette() const { return FPalette; }
    TColor At(int32_t Row, int32_t Column) const { return FPalette[size_t(Row * Columns + Column)]; }
    const TAlphas& Alphas() const { return FAlphas; }

    // Each reports its flag when the new values differ.
    void SetPalette(const TPalette& Palette);
    void SetAlphas(const TAlphas& Alphas);

    TColorsChanges& Changes() { return FChanges; }

private:
    TPalette FPalette{};
    TAlphas FAlphas{};
    TColorsChanges FChanges{this};
};

TColors& Colors();
