#include "platform/media/title_styles.h"

namespace {

TTitleDirection DirectionOf(int32_t Code) {
    switch (Code) {
    case 2:
        return TTitleDirection::Left;
    case 3:
        return TTitleDirection::Right;
    case 4:
        return TTitleDirection::Top;
    case 5:
        return TTitleDirection::Bottom;
    default:
        return TTitleDirection::None;
    }
}

TTitlePlacement PlacementOf(int32_t Code) {
    switch (Code) {
    case 6:
        return TTitlePlacement::TopLeft;
    case 7:
        return TTitlePlacement::TopRight;
    case 8:
        return TTitlePlacement::TopCentre;
    case 9:
        return TTitlePlacement::BottomLeft;
    case 10:
        return TTitlePlacement::BottomRight;
    case 11:
        return TTitlePlacement::BottomCentre;
    default:
        return TTitlePlacement::Centre;
    }
}

} // namespace

TTitleStyle TitleStyleOf(int32_t StyleCode, int32_t P1, int32_t P2, int32_t P4) {
    TTitleStyle Style;
    switch (StyleCode) {
    case 1:
        Style.Placement = PlacementOf(P4);
        Style.Entry = DirectionOf(P1);
        Style.Exit = DirectionOf(P2);
        if (Style.Entry != TTitleDirection::None || Style.Exit != TTitleDirection::None)
            Style.Motion = TTitleMotion::FlyInOut;
        break;
    case 2:
        Style.Motion = P4 == 4 ? TTitleMotion::Crawl : TTitleMotion::Roll;
        break;
    case 3:
        Style.Placement = PlacementOf(P4);
        break;
    case 100:
        Style.Motion = TTitleMotion::Letters;
        Style.Entry = DirectionOf(P1);
        break;
    case 101:
        Style.Motion = TTitleMotion::RollAndHold;
        break;
    case 102:
        Style.Motion = TTitleMotion::CrawlAndHold;
        break;
    case 103:
        Style.Motion = TTitleMotion::Perspective;
        break;
    case 104:
        Style.Motion = TTitleMotion::Fade;
        break;
    case 105:
        Style.Motion = TTitleMotion::ZoomIn;
        break;
    case 106:
        Style.Motion = TTitleMotion::ZoomOut;
        break;
    default:
        break;
    }
    return Style;
}
