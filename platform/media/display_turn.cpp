#include "platform/media/display_turn.h"

#include "platform/media/video_frame.h"

#include <cmath>
#include <cstring>

bool SwapsSides(TDisplayTurn Turn) {
    return Turn == TDisplayTurn::Clockwise90 || Turn == TDisplayTurn::Counterclockwise90 ||
           Turn == TDisplayTurn::Transpose || Turn == TDisplayTurn::AntiTranspose;
}

TDisplayTurn DisplayTurnFromMatrix(const int32_t* Matrix) {
    if (!Matrix)
        return TDisplayTurn::None;
    // The upper-left 2 x 2 in 16.16: (x, y) shows at (A x + C y, B x + D y).
    double A = Matrix[0] / 65536.0, B = Matrix[1] / 65536.0;
    double C = Matrix[3] / 65536.0, D = Matrix[4] / 65536.0;
    double ScaleX = std::hypot(A, C), ScaleY = std::hypot(B, D);
    if (ScaleX == 0 || ScaleY == 0)
        return TDisplayTurn::None;
    // The clockwise angle the picture is turned by, whole quarter turns only:
    // sensors store upright, sideways or upside down, never at a slant.
    double Degrees = std::atan2(B / ScaleY, A / ScaleX) * 180 / M_PI;
    int Quarter = static_cast<int>(std::lround(Degrees / 90)) & 3;
    switch (Quarter) {
    case 1:
        return C > 0 ? TDisplayTurn::Transpose : TDisplayTurn::Clockwise90;
    case 2:
        if (A < 0 && D < 0)
            return TDisplayTurn::Half;
        return D < 0 ? TDisplayTurn::MirrorVertical : TDisplayTurn::MirrorHorizontal;
    case 3:
        return C < 0 ? TDisplayTurn::AntiTranspose : TDisplayTurn::Counterclockwise90;
    default:
        return D < 0 ? TDisplayTurn::MirrorVertical : TDisplayTurn::None;
    }
}

void TurnPicture(const TVideoFrame& From, TDisplayTurn Turn, TVideoFrame& Into, int32_t Left,
                 int32_t Top) {
    const int32_t Width = From.Width(), Height = From.Height();
    const int32_t OutWidth = SwapsSides(Turn) ? Height : Width;
    const int32_t OutHeight = SwapsSides(Turn) ? Width : Height;
    // Each output pixel reads one stored pixel: X + Y * Step from the origin.
    // Origin, StepX and StepY are in pixels of the stored picture.
    const int64_t Row = Width;
    int64_t Origin = 0, StepX = 1, StepY = Row;
    switch (Turn) {
    case TDisplayTurn::None:
        break;
    case TDisplayTurn::Clockwise90: // out (x, y) <- in (y, H-1-x)
        Origin = (Height - 1) * Row, StepX = -Row, StepY = 1;
        break;
    case TDisplayTurn::Counterclockwise90: // out (x, y) <- in (W-1-y, x)
        Origin = Width - 1, StepX = Row, StepY = -1;
        break;
    case TDisplayTurn::Half:
        Origin = (Height - 1) * Row + Width - 1, StepX = -1, StepY = -Row;
        break;
    case TDisplayTurn::MirrorHorizontal:
        Origin = Width - 1, StepX = -1, StepY = Row;
        break;
    case TDisplayTurn::MirrorVertical:
        Origin = (Height - 1) * Row, StepX = 1, StepY = -Row;
        break;
    case TDisplayTurn::Transpose: // out (x, y) <- in (y, x)
        StepX = Row, StepY = 1;
        break;
    case TDisplayTurn::AntiTranspose: // out (x, y) <- in (W-1-y, H-1-x)
        Origin = (Height - 1) * Row + Width - 1, StepX = -Row, StepY = -1;
        break;
    }
    const auto* In = reinterpret_cast<const uint32_t*>(From.Data());
    for (int32_t Y = 0; Y < OutHeight; ++Y) {
        uint8_t* OutRow = Into.Row(Top + Y) + size_t(Left) * 4;
        const uint32_t* Source = In + Origin + Y * StepY;
        if (StepX == 1) {
            std::memcpy(OutRow, Source, size_t(OutWidth) * 4);
            continue;
        }
        for (int32_t X = 0; X < OutWidth; ++X) {
            uint32_t Pixel = Source[X * StepX];
            std::memcpy(OutRow + size_t(X) * 4, &Pixel, 4);
        }
    }
}
