// The wipe patterns. Each pattern is a field over the frame: a number per
// pixel that grows in the order the incoming picture B should cover the
// frame. The field is scaled so that its smallest value is level 0 and its
// largest the last level, and the wipe moves its edge through the levels at
// constant speed. Fields are computed once per pattern and frame size; the
// per-frame work of a wipe only compares levels.
//
// Codes and families (B appears where the name says and grows from there):
//   1-8, 21-26     edges: 1, 2 bars from the left and top edge; 3-6 boxes from
//                  the top-left, top-right, bottom-right, bottom-left corner;
//                  7 four boxes from the corners inwards, 8 four boxes out from
//                  the quadrants' centres; 21, 22 barn doors opening from the
//                  vertical and horizontal middle line; 23-26 boxes from the
//                  middle of the top, right, bottom and left edge.
//                  Half-way: bars and barn doors cover 1/2, boxes 1/4.
//   41-48          diagonals: 41, 42 a diagonal edge from the top-left and
//                  top-right corner (1/2 half-way); 43, 44 bow ties from the
//                  top and bottom (left and right) edges; 45, 46 diagonal barn
//                  doors along the rising and falling diagonal (3/4 half-way);
//                  47 both diagonals at once (3/4); 48 a diamond from the
//                  centre meeting one from the corners (1/4).
//   61-68, 71-74   chevrons: 61-64 a V pointing down, left, up, right sweeping
//                  across from the opposite edge; 65-68 a V wedge opening from
//                  that edge's middle; 71, 72 zig-zag edges from the left and
//                  top; 73, 74 zig-zag barn doors.
//   101-131        iris shapes growing from the centre: 101 rectangle (1/4
//                  half-way), 102 diamond (1/2 half-way), 103-106 triangle
//                  pointing up, right, down, left; 107-110 arrow heads; 111,
//                  112 pentagons up and down; 113, 114 hexagons wide and tall;
//                  119 circle, 120, 121 wide and tall ellipses; 122, 123 eyes;
//                  124, 125 rounded rectangles; 127-129 stars of four, five
//                  and six points; 130 heart; 131 keyhole. Shapes keep their
//                  proportions whatever the frame's aspect ratio and grow
//                  until they cover the corners: half-way the circle's radius
//                  is half the distance from the centre to a corner.
//   201-264        clock and fan wipes, a hand turning round a pivot at
//                  constant angular speed: 201-204 clock hands from twelve,
//                  three, six, nine o'clock (1/2 half-way); 205-207 pin wheels
//                  of two and four blades; 211, 212 fans from the centre
//                  opening from twelve and three; 213, 214 double fans from the
//                  centre; 221-224 a hand pivoting on the middle of the top,
//                  right, bottom, left edge; 225-228 two such hands, one per
//                  half, turning the same way or mirrored; 231-234 fans from
//                  the middle of the top, right, bottom, left edge; 235, 236
//                  fans from two opposite edges; 241-244 a hand pivoting on a
//                  corner; 245, 246 two corner hands meeting on a diagonal;
//                  251-254 saloon doors hinged at two corners; 261-264
//                  windscreen wipers, two hands side by side.
//   301-353        matrix wipes on a grid of 8 x 6 cells, each cell wiped in
//                  the direction of travel: 301, 302 snakes row by row and
//                  column by column from the top-left; 303-306 diagonal snakes
//                  from each corner; 310-313 spirals inwards clockwise from
//                  the top-left, top-right, bottom-right, bottom-left corner,
//                  314-317 the same anticlockwise; 320-327 two snakes, one per
//                  half, starting at the same or at opposite ends; 328, 329
//                  two diagonal snakes from opposite corners; 340-345 spirals
//                  in two or four boxes; 350-353 waterfalls: strips that fill
//                  one after the other. Snakes and spirals cover 1/2 half-way.
//   409            random dissolve: pixels change in a fixed random order
//                  (1/2 half-way).

#include "platform/media/wipe_patterns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <list>
#include <mutex>
#include <numbers>

namespace {

constexpr std::array<int32_t, 134> Codes = {
    1,   2,   3,   4,   5,   6,   7,   8,   21,  22,  23,  24,  25,  26,  41,  42,  43,
    44,  45,  46,  47,  48,  61,  62,  63,  64,  65,  66,  67,  68,  71,  72,  73,  74,
    101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 119, 120, 121,
    122, 123, 124, 125, 127, 128, 129, 130, 131, 201, 202, 203, 204, 205, 206, 207, 211,
    212, 213, 214, 221, 222, 223, 224, 225, 226, 227, 228, 231, 232, 233, 234, 235, 236,
    241, 242, 243, 244, 245, 246, 251, 252, 253, 254, 261, 262, 263, 264, 301, 302, 303,
    304, 305, 306, 310, 311, 312, 313, 314, 315, 316, 317, 320, 321, 322, 323, 324, 325,
    326, 327, 328, 329, 340, 341, 342, 343, 344, 345, 350, 351, 352, 353, 409};
static_assert(Codes.back() == 409, "a wipe code is missing from the list");

constexpr double Pi = std::numbers::pi;
constexpr double Turn = 2 * Pi;
constexpr double Quarter = Pi / 2;

// One pixel in the coordinates the fields use.
struct TPlace {
    int32_t X = 0, Y = 0;  // the pixel
    double U = 0, V = 0;   // its centre in 0..1 across and down
    double CU = 0, CV = 0; // the same from the frame's centre, -0.5..0.5
    // From the centre in units of half the frame height, so that shapes keep
    // their proportions: AX in -Aspect..Aspect, AY in -1..1, downwards.
    double AX = 0, AY = 0;
    double Aspect = 1;
};

using TField = std::function<double(const TPlace&)>;

// ---- Edges, diagonals, chevrons ----------------------------------------

// A triangle wave of period 1: 0 at whole numbers, 1 half-way.
double Triangle(double T) {
    double F = T - std::floor(T);
    return 1 - std::fabs(2 * F - 1);
}

// Zig-zag teeth of 45 degrees, six along the frame height.
constexpr double ToothPeriod = 1.0 / 3.0;

double Teeth(double Along) {
    return ToothPeriod / 2 * Triangle(Along / ToothPeriod);
}

double EdgeField(int32_t Code, const TPlace& P) {
    double U = P.U, V = P.V, CU = std::fabs(P.CU), CV = std::fabs(P.CV);
    switch (Code) {
    case 2:
        return V;
    case 3:
        return std::max(U, V);
    case 4:
        return std::max(1 - U, V);
    case 5:
        return std::max(1 - U, 1 - V);
    case 6:
        return std::max(U, 1 - V);
    case 7:
        return std::max(1 - 2 * CU, 1 - 2 * CV);
    case 8:
        return std::max(std::fabs(2 * CU - 0.5), std::fabs(2 * CV - 0.5));
    case 21:
        return CU;
    case 22:
        return CV;
    case 23:
        return std::max(2 * CU, V);
    case 24:
        return std::max(1 - U, 2 * CV);
    case 25:
        return std::max(2 * CU, 1 - V);
    case 26:
        return std::max(U, 2 * CV);
    case 41:
        return U + V;
    case 42:
        return 1 - U + V;
    case 43:
        return 2 * CU + 1 - 2 * CV;
    case 44:
        return 2 * CV + 1 - 2 * CU;
    case 45:
        return std::fabs(P.CU + P.CV);
    case 46:
        return std::fabs(P.CU - P.CV);
    case 47:
        return std::min(std::fabs(P.CU + P.CV), std::fabs(P.CU - P.CV));
    case 48: {
        double D = CU + CV;
        return std::min(D, 1 - D);
    }
    case 61:
        return V + CU;
    case 62:
        return 1 - U + CV;
    case 63:
        return 1 - V + CU;
    case 64:
        return U + CV;
    case 65:
        return 2 * CU + V / 2;
    case 66:
        return 2 * CV + (1 - U) / 2;
    case 67:
        return 2 * CU + (1 - V) / 2;
    case 68:
        return 2 * CV + U / 2;
    case 71:
        return P.AX + Teeth(P.AY + 1);
    case 72:
        return P.AY + Teeth(P.AX + P.Aspect);
    case 73:
        return std::fabs(P.AX) + Teeth(P.AY + 1);
    case 74:
        return std::fabs(P.AY) + Teeth(P.AX + P.Aspect);
    default: // 1
        return U;
    }
}

// ---- Iris shapes ----------------------------------------------------------

struct TVec {
    double X = 0, Y = 0;
};

double Dot(TVec A, TVec B) {
    return A.X * B.X + A.Y * B.Y;
}

double Cross(TVec A, TVec B) {
    return A.X * B.Y - A.Y * B.X;
}

TVec Rotated(TVec P, double Degrees) {
    double R = Degrees * Pi / 180, C = std::cos(R), S = std::sin(R);
    return {P.X * C - P.Y * S, P.X * S + P.Y * C};
}

// A shape around the origin given by its gauge: the factor by which the
// shape must grow to reach a point. Points y-up.
using TGauge = std::function<double(TVec)>;

// A polygon with its corners anticlockwise around the origin and every edge
// visible from it (convex or star-shaped). For each edge the scaled outward
// normal M (M . P = 1 on the edge's line).
class TPolygon {
public:
    explicit TPolygon(std::vector<TVec> Corners) : FCorners(std::move(Corners)) {
        for (size_t I = 0; I < FCorners.size(); ++I) {
            TVec A = FCorners[I], B = FCorners[(I + 1) % FCorners.size()];
            TVec Normal{B.Y - A.Y, A.X - B.X};
            double H = Dot(Normal, A);
            FNormals.push_back({Normal.X / H, Normal.Y / H});
        }
    }
    // For a convex polygon the gauge is the largest over all edges.
    double ConvexGauge(TVec P) const {
        double Gauge = 0;
        for (TVec M : FNormals)
            Gauge = std::max(Gauge, Dot(M, P));
        return Gauge;
    }
    // For a star-shaped one, that of the edge whose wedge holds the point.
    double StarGauge(TVec P) const {
        if (P.X == 0 && P.Y == 0)
            return 0;
        for (size_t I = 0; I < FCorners.size(); ++I) {
            TVec A = FCorners[I], B = FCorners[(I + 1) % FCorners.size()];
            if (Cross(A, P) >= 0 && Cross(P, B) > 0)
                return Dot(FNormals[I], P);
        }
        return ConvexGauge(P);
    }

private:
    std::vector<TVec> FCorners;
    std::vector<TVec> FNormals;
};

std::vector<TVec> RegularCorners(int32_t Count, double FirstDegrees) {
    std::vector<TVec> Corners;
    for (int32_t I = 0; I < Count; ++I)
        Corners.push_back(Rotated({1, 0}, FirstDegrees + 360.0 * I / Count));
    return Corners;
}

std::vector<TVec> StarCorners(int32_t Points, double Inner) {
    std::vector<TVec> Corners;
    for (int32_t I = 0; I < 2 * Points; ++I)
        Corners.push_back(Rotated({I % 2 ? Inner : 1.0, 0}, 90 + 180.0 * I / Points));
    return Corners;
}

std::vector<TVec> RotatedCorners(std::vector<TVec> Corners, double Degrees) {
    for (TVec& C : Corners)
        C = Rotated(C, Degrees);
    return Corners;
}

std::vector<TVec> RoundRectCorners(double HalfWidth, double HalfHeight, double Radius) {
    std::vector<TVec> Corners;
    const TVec Centres[4] = {{HalfWidth - Radius, HalfHeight - Radius},
                             {Radius - HalfWidth, HalfHeight - Radius},
                             {Radius - HalfWidth, Radius - HalfHeight},
                             {HalfWidth - Radius, Radius - HalfHeight}};
    constexpr int32_t Steps = 8;
    for (int32_t Corner = 0; Corner < 4; ++Corner)
        for (int32_t S = 0; S <= Steps; ++S) {
            TVec Arm = Rotated({Radius, 0}, 90.0 * Corner + 90.0 * S / Steps);
            Corners.push_back({Centres[Corner].X + Arm.X, Centres[Corner].Y + Arm.Y});
        }
    return Corners;
}

// A disc holding the origin: the gauge solves |P / g - Centre| = Radius.
TGauge Disc(TVec Centre, double Radius) {
    double Inside = Radius * Radius - Dot(Centre, Centre);
    return [=](TVec P) {
        double PP = Dot(P, P);
        if (PP == 0)
            return 0.0;
        double PC = Dot(P, Centre);
        return PP / (PC + std::sqrt(PC * PC + PP * Inside));
    };
}

TGauge Convex(std::vector<TVec> Corners) {
    return [Polygon = TPolygon(std::move(Corners))](TVec P) { return Polygon.ConvexGauge(P); };
}

TGauge Star(std::vector<TVec> Corners) {
    return [Polygon = TPolygon(std::move(Corners))](TVec P) { return Polygon.StarGauge(P); };
}

TGauge Ellipse(double HalfWidth, double HalfHeight) {
    return [=](TVec P) { return std::hypot(P.X / HalfWidth, P.Y / HalfHeight); };
}

// Shapes made of parts that all hold the origin: a union reaches a point
// when its first part does, an intersection when its last does.
TGauge Union(std::vector<TGauge> Parts) {
    return [Parts = std::move(Parts)](TVec P) {
        double Gauge = HUGE_VAL;
        for (const TGauge& Part : Parts)
            Gauge = std::min(Gauge, Part(P));
        return Gauge;
    };
}

TGauge Intersection(std::vector<TGauge> Parts) {
    return [Parts = std::move(Parts)](TVec P) {
        double Gauge = 0;
        for (const TGauge& Part : Parts)
            Gauge = std::max(Gauge, Part(P));
        return Gauge;
    };
}

TGauge IrisGauge(int32_t Code) {
    // The arrow head pointing up; the others are turned clockwise from it.
    const std::vector<TVec> Arrow = {{0, 1}, {-0.8, -0.6}, {0, -0.2}, {0.8, -0.6}};
    switch (Code) {
    case 103:
    case 104:
    case 105:
    case 106:
        return Convex(RotatedCorners(RegularCorners(3, 90), -90.0 * (Code - 103)));
    case 107:
    case 108:
    case 109:
    case 110:
        return Star(RotatedCorners(Arrow, -90.0 * (Code - 107)));
    case 111:
        return Convex(RegularCorners(5, 90));
    case 112:
        return Convex(RegularCorners(5, 270));
    case 113:
        return Convex(RegularCorners(6, 0));
    case 114:
        return Convex(RegularCorners(6, 90));
    case 120:
        return Ellipse(2, 1);
    case 121:
        return Ellipse(1, 2);
    case 122: // the lens between two discs
        return Intersection({Disc({0, -0.75}, 1.25), Disc({0, 0.75}, 1.25)});
    case 123:
        return Intersection({Disc({-0.75, 0}, 1.25), Disc({0.75, 0}, 1.25)});
    case 124:
        return Convex(RoundRectCorners(1, 0.5, 0.25));
    case 125:
        return Convex(RoundRectCorners(0.5, 1, 0.25));
    case 127:
        return Star(StarCorners(4, 0.4));
    case 128:
        return Star(StarCorners(5, 0.45));
    case 129:
        return Star(StarCorners(6, 0.55));
    case 130: // two lobes over a point
        return Union({Disc({-0.35, 0.25}, 0.45), Disc({0.35, 0.25}, 0.45),
                      Convex({{0.78, 0.35}, {-0.78, 0.35}, {0, -0.95}})});
    case 131: // a round hole over a slot widening downwards
        return Union(
            {Disc({0, 0.35}, 0.4), Convex({{0.15, 0.1}, {-0.15, 0.1}, {-0.4, -0.9}, {0.4, -0.9}})});
    default: // 119
        return Ellipse(1, 1);
    }
}

TField IrisField(int32_t Code) {
    if (Code == 101)
        return [](const TPlace& P) { return std::max(std::fabs(P.CU), std::fabs(P.CV)); };
    if (Code == 102)
        return [](const TPlace& P) { return std::fabs(P.CU) + std::fabs(P.CV); };
    return [Gauge = IrisGauge(Code)](const TPlace& P) { return Gauge({P.AX, -P.AY}); };
}

// ---- Clocks, fans and sweeps ----------------------------------------------

// The angle clockwise from twelve o'clock, 0..2 pi, of the direction DX, DY
// (screen directions: DY downwards).
double Clockwise(double DX, double DY) {
    double A = std::atan2(DX, -DY);
    return A < 0 ? A + Turn : A;
}

double Wrapped(double A) {
    A = std::fmod(A, Turn);
    return A < 0 ? A + Turn : A;
}

// The angle between two directions, 0..pi.
double Apart(double A, double B) {
    double D = Wrapped(A - B);
    return std::min(D, Turn - D);
}

double ClockField(int32_t Code, const TPlace& P) {
    const double A = P.Aspect;
    // The hand's angle seen from a pivot in the shape coordinates.
    auto From = [&P](double PX, double PY) { return Clockwise(P.AX - PX, P.AY - PY); };
    const double East = Quarter, South = Pi, West = 3 * Quarter;
    bool Left = P.U < 0.5, Top = P.V < 0.5;
    switch (Code) {
    case 201:
    case 202:
    case 203:
    case 204:
        return Wrapped(From(0, 0) - Quarter * (Code - 201)) / Turn;
    case 205:
        return std::fmod(From(0, 0), Pi) / Pi;
    case 206:
        return std::fmod(Wrapped(From(0, 0) - East), Pi) / Pi;
    case 207:
        return std::fmod(From(0, 0), Quarter) / Quarter;
    case 211:
        return Apart(From(0, 0), 0) / Pi;
    case 212:
        return Apart(From(0, 0), East) / Pi;
    case 213:
        return std::min(Apart(From(0, 0), 0), Apart(From(0, 0), South)) / Quarter;
    case 214:
        return std::min(Apart(From(0, 0), East), Apart(From(0, 0), West)) / Quarter;
    case 221:
        return Wrapped(From(0, -1) - East) / Pi;
    case 222:
        return Wrapped(From(A, 0) - South) / Pi;
    case 223:
        return Wrapped(From(0, 1) - West) / Pi;
    case 224:
        return Wrapped(From(-A, 0)) / Pi;
    case 225: // both hands clockwise
        return Top ? Wrapped(From(0, -1) - East) / Pi : Wrapped(From(0, 1) - West) / Pi;
    case 226: {
        if (P.U + P.V < 1)
            return Wrapped(From(-A, -1) - East) / Quarter;
        return Wrapped(From(A, 1) - West) / Quarter;
    }
    case 227: // the lower hand mirrors the upper one
        return Top ? Wrapped(From(0, -1) - East) / Pi : Wrapped(East - From(0, 1)) / Pi;
    case 228:
        return Left ? Wrapped(From(-A, 0)) / Pi : Wrapped(-From(A, 0)) / Pi;
    case 231:
        return Apart(From(0, -1), South) / Quarter;
    case 232:
        return Apart(From(A, 0), West) / Quarter;
    case 233:
        return Apart(From(0, 1), 0) / Quarter;
    case 234:
        return Apart(From(-A, 0), East) / Quarter;
    case 235:
        return Top ? Apart(From(0, -1), South) / Quarter : Apart(From(0, 1), 0) / Quarter;
    case 236:
        return Left ? Apart(From(-A, 0), East) / Quarter : Apart(From(A, 0), West) / Quarter;
    case 241:
        return Wrapped(From(-A, -1) - East) / Quarter;
    case 242:
        return Wrapped(East - From(-A, 1)) / Quarter;
    case 243:
        return Wrapped(From(A, 1) - West) / Quarter;
    case 244:
        return Wrapped(West - From(A, -1)) / Quarter;
    case 245: { // from the top and bottom edges to the falling diagonal
        double Diagonal = Clockwise(2 * A, 2) - East;
        if (P.U > P.V)
            return Wrapped(From(-A, -1) - East) / Diagonal;
        return Wrapped(From(A, 1) - West) / Diagonal;
    }
    case 246: { // from the rising diagonal to the left and right edges
        double Diagonal = Clockwise(2 * A, -2);
        double Span = East - Diagonal;
        if (P.U + P.V > 1)
            return Wrapped(From(-A, 1) - Diagonal) / Span;
        return Wrapped(From(A, -1) - Diagonal - Pi) / Span;
    }
    case 251:
        return Left ? Wrapped(From(-A, -1) - East) / Quarter
                    : Wrapped(West - From(A, -1)) / Quarter;
    case 252:
        return Top ? Wrapped(South - From(-A, -1)) / Quarter : Wrapped(From(-A, 1)) / Quarter;
    case 253:
        return Left ? Wrapped(East - From(-A, 1)) / Quarter : Wrapped(From(A, 1) - West) / Quarter;
    case 254:
        return Top ? Wrapped(From(A, -1) - South) / Quarter : Wrapped(-From(A, 1)) / Quarter;
    case 261: // two wipers on the bottom edge, both turning right
        return Wrapped(From(Left ? -A / 2 : A / 2, 1) - West) / Pi;
    case 262: // two on the left edge, both turning up
        return Wrapped(South - From(-A, Top ? -0.5 : 0.5)) / Pi;
    case 263:
        return Left ? Wrapped(From(-A / 2, 1) - West) / Pi : Wrapped(East - From(A / 2, 1)) / Pi;
    case 264:
        return Top ? Wrapped(South - From(-A, -0.5)) / Pi : Wrapped(From(-A, 0.5)) / Pi;
    default:
        return 0;
    }
}

// ---- Matrix wipes ---------------------------------------------------------

constexpr int32_t GridColumns = 8;
constexpr int32_t GridRows = 6;

struct TCell {
    int32_t Column = 0, Row = 0;
};

// Where a traversal passes a cell: its place in the order, the length of
// the order, and the direction of travel.
// A cell no order passes comes last.
struct TCellStep {
    double Index = 1;
    double Count = 1;
    int32_t DX = 1, DY = 0;
};

// Cell orders on a region of Columns x Rows, in region coordinates.
std::vector<TCell> RowSnake(int32_t Columns, int32_t Rows) {
    std::vector<TCell> Order;
    for (int32_t R = 0; R < Rows; ++R)
        for (int32_t C = 0; C < Columns; ++C)
            Order.push_back({R % 2 ? Columns - 1 - C : C, R});
    return Order;
}

std::vector<TCell> ColumnSnake(int32_t Columns, int32_t Rows) {
    std::vector<TCell> Order;
    for (int32_t C = 0; C < Columns; ++C)
        for (int32_t R = 0; R < Rows; ++R)
            Order.push_back({C, C % 2 ? Rows - 1 - R : R});
    return Order;
}

// Along the rising diagonals from the top-left corner, turning at the edges.
std::vector<TCell> DiagonalSnake(int32_t Columns, int32_t Rows) {
    std::vector<TCell> Order;
    for (int32_t S = 0; S < Columns + Rows - 1; ++S) {
        std::vector<TCell> Diagonal;
        for (int32_t R = 0; R < Rows; ++R)
            if (S - R >= 0 && S - R < Columns)
                Diagonal.push_back({S - R, R});
        if (S % 2 == 0)
            std::reverse(Diagonal.begin(), Diagonal.end());
        Order.insert(Order.end(), Diagonal.begin(), Diagonal.end());
    }
    return Order;
}

enum class TTurn { Clockwise, Anticlockwise };

// Inwards from a cell on the rim, first in direction DX, DY, turning
// whenever the way ahead leaves the region or was passed.
std::vector<TCell> Spiral(int32_t Columns, int32_t Rows, TCell Start, int32_t DX, int32_t DY,
                          TTurn Turning) {
    std::vector<TCell> Order;
    std::vector<bool> Passed(size_t(Columns) * size_t(Rows), false);
    auto Free = [&](int32_t C, int32_t R) {
        return C >= 0 && C < Columns && R >= 0 && R < Rows && !Passed[size_t(R * Columns + C)];
    };
    TCell At = Start;
    for (int32_t I = 0; I < Columns * Rows; ++I) {
        Order.push_back(At);
        Passed[size_t(At.Row * Columns + At.Column)] = true;
        for (int32_t Tries = 0; Tries < 4 && !Free(At.Column + DX, At.Row + DY); ++Tries) {
            int32_t OldDX = DX;
            if (Turning == TTurn::Clockwise)
                DX = -DY, DY = OldDX;
            else
                DX = DY, DY = -OldDX;
        }
        At = {At.Column + DX, At.Row + DY};
    }
    return Order;
}

enum TFlip { FlipNone = 0, FlipX = 1, FlipY = 2, FlipXY = 3 };

std::vector<TCell> Flipped(std::vector<TCell> Order, int32_t Columns, int32_t Rows, int Flip) {
    for (TCell& Cell : Order) {
        if (Flip & FlipX)
            Cell.Column = Columns - 1 - Cell.Column;
        if (Flip & FlipY)
            Cell.Row = Rows - 1 - Cell.Row;
    }
    return Order;
}

// A grid of cell steps; several layers of one grid are passed at once and a
// cell goes to whichever layer reaches it first.
class TMatrix {
public:
    TMatrix() : FLayers(1, std::vector<TCellStep>(GridColumns * GridRows)) {}

    // An order over the region at (Column, Row) of the last layer.
    void Add(std::vector<TCell> Order, int32_t Column = 0, int32_t Row = 0) {
        auto& Layer = FLayers.back();
        for (size_t I = 0; I < Order.size(); ++I) {
            const TCell& Cell = Order[I];
            const TCell& Next = I + 1 < Order.size() ? Order[I + 1] : Cell;
            const TCell& Before = I > 0 ? Order[I - 1] : Cell;
            TCellStep Step{double(I), double(Order.size())};
            if (I + 1 < Order.size())
                Step.DX = Next.Column - Cell.Column, Step.DY = Next.Row - Cell.Row;
            else if (I > 0)
                Step.DX = Cell.Column - Before.Column, Step.DY = Cell.Row - Before.Row;
            Layer[size_t((Row + Cell.Row) * GridColumns + Column + Cell.Column)] = Step;
        }
    }
    void AddLayer() { FLayers.emplace_back(GridColumns * GridRows); }

    double At(const TPlace& P) const {
        double GU = P.U * GridColumns, GV = P.V * GridRows;
        int32_t C = std::min(int32_t(GU), GridColumns - 1), R = std::min(int32_t(GV), GridRows - 1);
        double FU = GU - C, FV = GV - R;
        double Best = HUGE_VAL;
        for (const auto& Layer : FLayers) {
            const TCellStep& Step = Layer[size_t(R * GridColumns + C)];
            // The cell is wiped like a bar in the direction of travel.
            double Fill = 0.5 + ((FU - 0.5) * Step.DX + (FV - 0.5) * Step.DY) /
                                    double(std::abs(Step.DX) + std::abs(Step.DY));
            Best = std::min(Best, (Step.Index + std::clamp(Fill, 0.0, 1.0)) / Step.Count);
        }
        return Best;
    }

private:
    std::vector<std::vector<TCellStep>> FLayers;
};

std::vector<TCell> Spiral(int32_t Columns, int32_t Rows, int Corner, TTurn Turning) {
    // Corners 0..3: top-left, top-right, bottom-right, bottom-left; the first
    // step runs along the rim in the turning direction.
    static const int32_t FirstClockwise[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    static const int32_t FirstAnticlockwise[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
    TCell Start{Corner == 1 || Corner == 2 ? Columns - 1 : 0, Corner >= 2 ? Rows - 1 : 0};
    const int32_t* D =
        Turning == TTurn::Clockwise ? FirstClockwise[Corner] : FirstAnticlockwise[Corner];
    return Spiral(Columns, Rows, Start, D[0], D[1], Turning);
}

TMatrix MatrixFor(int32_t Code) {
    constexpr int32_t C = GridColumns, R = GridRows, HC = C / 2, HR = R / 2;
    const auto CW = TTurn::Clockwise, ACW = TTurn::Anticlockwise;
    TMatrix M;
    auto Halves = [&](bool Vertical, int FirstFlip, int SecondFlip,
                      std::vector<TCell> (*Snake)(int32_t, int32_t)) {
        if (Vertical) {
            M.Add(Flipped(Snake(HC, R), HC, R, FirstFlip), 0, 0);
            M.Add(Flipped(Snake(HC, R), HC, R, SecondFlip), HC, 0);
        } else {
            M.Add(Flipped(Snake(C, HR), C, HR, FirstFlip), 0, 0);
            M.Add(Flipped(Snake(C, HR), C, HR, SecondFlip), 0, HR);
        }
    };
    switch (Code) {
    case 301:
        M.Add(RowSnake(C, R));
        break;
    case 302:
        M.Add(ColumnSnake(C, R));
        break;
    case 303:
    case 304:
    case 305:
    case 306: {
        static const int Flips[4] = {FlipNone, FlipX, FlipXY, FlipY};
        M.Add(Flipped(DiagonalSnake(C, R), C, R, Flips[Code - 303]));
        break;
    }
    case 310:
    case 311:
    case 312:
    case 313:
        M.Add(Spiral(C, R, Code - 310, CW));
        break;
    case 314:
    case 315:
    case 316:
    case 317:
        M.Add(Spiral(C, R, Code - 314, ACW));
        break;
    // Two snakes, one per half, each starting at the frame's edge.
    case 320:
        Halves(true, FlipNone, FlipX, ColumnSnake);
        break;
    case 321:
        Halves(true, FlipY, FlipXY, ColumnSnake);
        break;
    case 322:
        Halves(true, FlipNone, FlipXY, ColumnSnake);
        break;
    case 323:
        Halves(true, FlipY, FlipX, ColumnSnake);
        break;
    case 324:
        Halves(false, FlipNone, FlipY, RowSnake);
        break;
    case 325:
        Halves(false, FlipX, FlipXY, RowSnake);
        break;
    case 326:
        Halves(false, FlipNone, FlipXY, RowSnake);
        break;
    case 327:
        Halves(false, FlipX, FlipY, RowSnake);
        break;
    case 328:
    case 329: {
        int First = Code == 328 ? FlipY : FlipNone;
        M.Add(Flipped(DiagonalSnake(C, R), C, R, First));
        M.AddLayer();
        M.Add(Flipped(DiagonalSnake(C, R), C, R, First ^ FlipXY));
        break;
    }
    // Spirals in boxes, starting at the frame's corners, mirrored.
    case 340:
        M.Add(Spiral(HC, R, 0, CW), 0, 0);
        M.Add(Spiral(HC, R, 1, ACW), HC, 0);
        break;
    case 341:
        M.Add(Spiral(HC, R, 3, ACW), 0, 0);
        M.Add(Spiral(HC, R, 2, CW), HC, 0);
        break;
    case 342:
        M.Add(Spiral(C, HR, 0, ACW), 0, 0);
        M.Add(Spiral(C, HR, 3, CW), 0, HR);
        break;
    case 343:
        M.Add(Spiral(C, HR, 1, CW), 0, 0);
        M.Add(Spiral(C, HR, 2, ACW), 0, HR);
        break;
    case 344:
        M.Add(Spiral(HC, HR, 0, ACW), 0, 0);
        M.Add(Spiral(HC, HR, 1, CW), HC, 0);
        M.Add(Spiral(HC, HR, 3, CW), 0, HR);
        M.Add(Spiral(HC, HR, 2, ACW), HC, HR);
        break;
    case 345:
        M.Add(Spiral(HC, HR, 0, CW), 0, 0);
        M.Add(Spiral(HC, HR, 1, ACW), HC, 0);
        M.Add(Spiral(HC, HR, 3, ACW), 0, HR);
        M.Add(Spiral(HC, HR, 2, CW), HC, HR);
        break;
    default:
        break;
    }
    return M;
}

// Strips that start one after the other and each fill over half the time.
double WaterfallField(int32_t Code, const TPlace& P) {
    if (Code == 350 || Code == 351) {
        int32_t Strip = std::min(int32_t(P.U * GridColumns), GridColumns - 1);
        if (Code == 351)
            Strip = GridColumns - 1 - Strip;
        return 0.5 * Strip / (GridColumns - 1) + 0.5 * P.V;
    }
    int32_t Strip = std::min(int32_t(P.V * GridRows), GridRows - 1);
    return 0.5 * Strip / (GridRows - 1) + 0.5 * (Code == 352 ? P.U : 1 - P.U);
}

// ---- Random dissolve ------------------------------------------------------

double DissolveField(const TPlace& P) {
    // A fixed integer hash of the pixel, so that every frame and every run
    // dissolves in the same order.
    uint32_t H = uint32_t(P.X) * 0x9E3779B1u ^ (uint32_t(P.Y) + 0x7F4A7C15u) * 0x85EBCA77u;
    H ^= H >> 16;
    H *= 0x7FEB352Du;
    H ^= H >> 15;
    H *= 0x846CA68Bu;
    H ^= H >> 16;
    return double(H);
}

TField FieldFor(int32_t Code) {
    if (Code < 100)
        return [Code](const TPlace& P) { return EdgeField(Code, P); };
    if (Code < 200)
        return IrisField(Code);
    if (Code < 300)
        return [Code](const TPlace& P) { return ClockField(Code, P); };
    if (Code >= 350 && Code <= 353)
        return [Code](const TPlace& P) { return WaterfallField(Code, P); };
    if (Code < 400)
        return [Matrix = MatrixFor(Code)](const TPlace& P) { return Matrix.At(P); };
    return DissolveField;
}

} // namespace

std::span<const int32_t> WipeCodes() {
    return Codes;
}

bool IsWipeCode(int32_t Code) {
    return std::find(Codes.begin(), Codes.end(), Code) != Codes.end();
}

TWipeMask BuildWipeMask(int32_t Code, int32_t Width, int32_t Height) {
    TWipeMask Mask;
    Mask.Code = IsWipeCode(Code) ? Code : 1;
    Mask.Width = std::max(Width, 0);
    Mask.Height = std::max(Height, 0);
    size_t Pixels = size_t(Mask.Width) * size_t(Mask.Height);
    Mask.Levels.assign(Pixels, 0);
    if (Pixels == 0)
        return Mask;

    TField Field = FieldFor(Mask.Code);
    std::vector<double> Values(Pixels);
    TPlace P;
    P.Aspect = double(Mask.Width) / double(Mask.Height);
    for (int32_t Y = 0; Y < Mask.Height; ++Y) {
        P.Y = Y;
        P.V = (Y + 0.5) / Mask.Height;
        P.CV = P.V - 0.5;
        P.AY = 2 * P.CV;
        for (int32_t X = 0; X < Mask.Width; ++X) {
            P.X = X;
            P.U = (X + 0.5) / Mask.Width;
            P.CU = P.U - 0.5;
            P.AX = 2 * P.CU * P.Aspect;
            Values[size_t(Y) * size_t(Mask.Width) + size_t(X)] = Field(P);
        }
    }
    auto [Low, High] = std::minmax_element(Values.begin(), Values.end());
    double Lowest = *Low, Range = *High - *Low;
    if (!(Range > 0))
        return Mask;
    double Scale = WipeLevelCount / Range;
    for (size_t I = 0; I < Pixels; ++I) {
        double Level = std::floor((Values[I] - Lowest) * Scale);
        Mask.Levels[I] = uint16_t(std::clamp(Level, 0.0, double(WipeLevelCount - 1)));
    }
    return Mask;
}

std::shared_ptr<const TWipeMask> CachedWipeMask(int32_t Code, int32_t Width, int32_t Height) {
    // A few masks of the largest frames take some megabytes; playback seldom
    // needs more than the patterns of the transitions around the play head.
    constexpr size_t Limit = 8;
    static std::mutex Lock;
    static std::list<std::shared_ptr<const TWipeMask>> Recent; // most recent first
    if (!IsWipeCode(Code))
        Code = 1;
    {
        std::lock_guard<std::mutex> Guard(Lock);
        for (auto It = Recent.begin(); It != Recent.end(); ++It)
            if ((*It)->Code == Code && (*It)->Width == Width && (*It)->Height == Height) {
                Recent.splice(Recent.begin(), Recent, It);
                return Recent.front();
            }
    }
    auto Mask = std::make_shared<const TWipeMask>(BuildWipeMask(Code, Width, Height));
    std::lock_guard<std::mutex> Guard(Lock);
    Recent.push_front(Mask);
    if (Recent.size() > Limit)
        Recent.pop_back();
    return Mask;
}
