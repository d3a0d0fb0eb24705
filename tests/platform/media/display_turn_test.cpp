#include "platform/media/display_turn.h"

#include "platform/graphics/color.h"
#include "platform/media/video_frame.h"

#include <array>
#include <gtest/gtest.h>

namespace {

// A display matrix whose upper-left 2 x 2 is (A B / C D) in whole numbers.
std::array<int32_t, 9> Matrix(int A, int B, int C, int D) {
    return {A * 65536, B * 65536, 0, C * 65536, D * 65536, 0, 0, 0, 1 << 30};
}

struct TTurnCase {
    const char* Name;
    std::array<int32_t, 9> Matrix;
    TDisplayTurn Turn;
    // Where the stored picture's top-left and top-right corners show, as
    // corners of the turned picture: 0 top left, 1 top right, 2 bottom left,
    // 3 bottom right.
    int TopLeftShowsAt;
    int TopRightShowsAt;
};

void PrintTo(const TTurnCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class DisplayTurn : public ::testing::TestWithParam<TTurnCase> {};

TEST_P(DisplayTurn, MatrixGivesTheTurnAndTheCornersLandWhereItSays) {
    const TTurnCase& Case = GetParam();
    ASSERT_EQ(DisplayTurnFromMatrix(Case.Matrix.data()), Case.Turn);

    // A 5 x 3 picture with a different colour in each corner.
    TVideoFrame Stored(5, 3);
    Stored.Fill(MakeColor(0, 0, 0));
    const TColor Corners[4] = {MakeColor(255, 0, 0), MakeColor(0, 255, 0), MakeColor(0, 0, 255),
                               MakeColor(255, 255, 255)};
    Stored.SetPixel(0, 0, Corners[0]);
    Stored.SetPixel(4, 0, Corners[1]);
    Stored.SetPixel(0, 2, Corners[2]);
    Stored.SetPixel(4, 2, Corners[3]);

    bool Swapped = SwapsSides(Case.Turn);
    int32_t Width = Swapped ? 3 : 5, Height = Swapped ? 5 : 3;
    // Drawn one pixel in from the corner of a larger frame, which stays black around it.
    TVideoFrame Shown(Width + 2, Height + 2);
    Shown.Fill(MakeColor(9, 9, 9));
    TurnPicture(Stored, Case.Turn, Shown, 1, 1);
    auto CornerOf = [&](int Corner) {
        return Shown.Pixel(1 + (Corner & 1 ? Width - 1 : 0), 1 + (Corner & 2 ? Height - 1 : 0));
    };
    EXPECT_EQ(CornerOf(Case.TopLeftShowsAt), Corners[0]);
    EXPECT_EQ(CornerOf(Case.TopRightShowsAt), Corners[1]);
    // The four corners are all there: a turn loses no pixel of them.
    int Found = 0;
    for (int Corner = 0; Corner < 4; ++Corner)
        for (TColor C : Corners)
            Found += CornerOf(Corner) == C;
    EXPECT_EQ(Found, 4);
    for (int32_t X = 0; X < Width + 2; ++X) {
        EXPECT_EQ(Shown.Pixel(X, 0), MakeColor(9, 9, 9));
        EXPECT_EQ(Shown.Pixel(X, Height + 1), MakeColor(9, 9, 9));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryTurn, DisplayTurn,
    ::testing::Values(
        TTurnCase{"Identity", Matrix(1, 0, 0, 1), TDisplayTurn::None, 0, 1},
        // What a phone held upright writes (shown as rotation -90).
        TTurnCase{"PhonePortrait", Matrix(0, 1, -1, 0), TDisplayTurn::Clockwise90, 1, 3},
        TTurnCase{"UpsideDown", Matrix(-1, 0, 0, -1), TDisplayTurn::Half, 3, 2},
        TTurnCase{"PhonePortraitUpsideDown", Matrix(0, -1, 1, 0), TDisplayTurn::Counterclockwise90,
                  2, 0},
        TTurnCase{"Mirrored", Matrix(-1, 0, 0, 1), TDisplayTurn::MirrorHorizontal, 1, 0},
        TTurnCase{"Flipped", Matrix(1, 0, 0, -1), TDisplayTurn::MirrorVertical, 2, 3},
        TTurnCase{"Transposed", Matrix(0, 1, 1, 0), TDisplayTurn::Transpose, 0, 2},
        TTurnCase{"AntiTransposed", Matrix(0, -1, -1, 0), TDisplayTurn::AntiTranspose, 3, 1}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(DisplayTurnMatrix, MissingOrDegenerateMatricesLeaveThePictureAsStored) {
    EXPECT_EQ(DisplayTurnFromMatrix(nullptr), TDisplayTurn::None);
    std::array<int32_t, 9> Zero{};
    EXPECT_EQ(DisplayTurnFromMatrix(Zero.data()), TDisplayTurn::None);
    // A scaled matrix turns the same as its unit form.
    std::array<int32_t, 9> Scaled = Matrix(0, 2, -2, 0);
    EXPECT_EQ(DisplayTurnFromMatrix(Scaled.data()), TDisplayTurn::Clockwise90);
}

} // namespace
