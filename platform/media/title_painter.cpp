#include "platform/media/title_painter.h"

#include "platform/media/title_styles.h"
#include "platform/media/video_frame.h"
#include "platform/text/font.h"
#include "platform/text/text_layout.h"
#include "platform/text/text_painter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

// Timings of the movements, in seconds; each is also limited to a share of
// the clip, so that a short title still rests for a while.
constexpr double FlyTime = 1.5;
constexpr double FadeTime = 1.0;
constexpr double ZoomTime = 1.5;
constexpr double EndFadeTime = 0.5;
constexpr double HoldMoveTime = 2.5;
constexpr double LetterFlyTime = 0.6;
constexpr double LetterTypeTime = 0.15;
constexpr double LetterStagger = 0.08;
// A zooming-out title starts at this size and is drawn no wider than the
// layer width.
constexpr double ZoomOutStart = 4;
constexpr double MaxLayerWidth = 8192;
// What a title's layer may take at most (a long crawl is wide, long credits
// are tall, neither is both).
constexpr double MaxLayerSide = 32768;
constexpr double MaxLayerPixels = 32 << 20;

// Where the horizon of the receding roll's tilted plane lies, as a share of
// the frame's height from the top.
constexpr double HorizonShare = 0.12;

double EaseOut(double X) {
    X = std::clamp(X, 0.0, 1.0);
    return 1 - (1 - X) * (1 - X) * (1 - X);
}

double EaseIn(double X) {
    X = std::clamp(X, 0.0, 1.0);
    return X * X * X;
}

double Smooth(double X) {
    X = std::clamp(X, 0.0, 1.0);
    return X * X * (3 - 2 * X);
}

double Lerp(double A, double B, double X) {
    return A + (B - A) * X;
}

double SafeFraction(double Value, double Default) {
    return std::isfinite(Value) ? std::clamp(Value, 0.0, 0.4) : Default;
}

// The title's text split into the title line and its caption, line breaks
// made "\n", trailing empty lines dropped.
void SplitText(const std::string& Text, std::string& Main, std::string& Caption) {
    std::string Lines;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r') {
            Lines += '\n';
            if (I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
        } else {
            Lines += Text[I];
        }
    }
    while (!Lines.empty() && Lines.back() == '\n')
        Lines.pop_back();
    size_t Break = Lines.find('\n');
    Main = Lines.substr(0, Break);
    Caption = Break == std::string::npos ? std::string() : Lines.substr(Break + 1);
}

TFontRequest RequestOf(const TTitleFont& Font, double DefaultSize, int32_t FrameHeight) {
    double Size = std::isfinite(Font.Size) && Font.Size > 0 ? Font.Size : DefaultSize;
    TFontRequest Request;
    Request.Family = Font.Name.empty() ? "Tahoma" : Font.Name;
    Request.PixelSize = std::clamp(Size * FrameHeight, 4.0, std::max(4.0, 4.0 * FrameHeight));
    Request.Bold = Font.IsBold();
    Request.Italic = Font.IsItalic();
    Request.Underline = Font.IsUnderlined();
    return Request;
}

TTextPaint PaintOf(const TTitleFont& Font, double PixelSize) {
    TTextPaint Paint;
    Paint.Color = Font.Color;
    if ((Font.SecondColor >> 24) != 0) {
        Paint.EdgeColor = Font.SecondColor;
        Paint.EdgeWidth = std::max(1.0, PixelSize * 0.08);
    }
    return Paint;
}

bool IsLeft(TTitlePlacement P) {
    return P == TTitlePlacement::TopLeft || P == TTitlePlacement::BottomLeft;
}

bool IsRight(TTitlePlacement P) {
    return P == TTitlePlacement::TopRight || P == TTitlePlacement::BottomRight;
}

bool IsTop(TTitlePlacement P) {
    return P == TTitlePlacement::TopLeft || P == TTitlePlacement::TopCentre ||
           P == TTitlePlacement::TopRight;
}

bool IsBottom(TTitlePlacement P) {
    return P == TTitlePlacement::BottomLeft || P == TTitlePlacement::BottomCentre ||
           P == TTitlePlacement::BottomRight;
}

// One laid-out part of the title and where it lies in the title's block.
struct TPart {
    std::optional<TTextLayout> Layout;
    TTextPaint Paint;
    double X = 0;
    double Y = 0;
};

} // namespace

struct TTitlePainter::TState {
    TTitleText Title;
    TTitleStyle Style;
    int32_t Width = 0;
    int32_t Height = 0;
    double MarginX = 0;
    double MarginY = 0;

    TPart Main;
    TPart Caption;
    double BlockWidth = 0;
    double BlockHeight = 0;
    double RestX = 0; // the block's top-left at rest
    double RestY = 0;

    // The block drawn once, with room for the edges around it.
    std::optional<TPicturePyramid> Layer;
    double Pad = 0;        // layer pixels
    double LayerScale = 1; // layer pixels per frame pixel
    double LayerWidth = 0;
    double LayerHeight = 0;

    bool IsEmpty() const {
        return (!Main.Layout || Main.Layout->IsEmpty()) &&
               (!Caption.Layout || Caption.Layout->IsEmpty());
    }

    void Arrange(double Scale, TPart& MainPart, TPart& CaptionPart, double& PartsWidth,
                 double& PartsHeight) const;
    void Lay();
    void DrawLayer(TVideoFrame& Frame, double X, double Y, double Scale, double Opacity) const;
    void DrawLetters(TVideoFrame& Frame, double Time, double Duration) const;
    void DrawPerspective(TVideoFrame& Frame, double Progress) const;
};

void TTitlePainter::TState::Arrange(double Scale, TPart& MainPart, TPart& CaptionPart,
                                    double& PartsWidth, double& PartsHeight) const {
    std::string MainText, CaptionText;
    SplitText(Title.Text, MainText, CaptionText);
    bool Crawling = Style.Motion == TTitleMotion::Crawl;
    if (Crawling)
        std::replace(CaptionText.begin(), CaptionText.end(), '\n', ' ');

    TTextLayoutOptions Options;
    Options.Align = IsLeft(Style.Placement)    ? TTextAlign::Left
                    : IsRight(Style.Placement) ? TTextAlign::Right
                                               : TTextAlign::Center;
    if (!Crawling)
        Options.MaxWidth = std::max(16.0, Width * (1 - 2 * MarginX)) * Scale;

    TFontRequest MainRequest = RequestOf(Title.MainFont, 0.06, Height);
    TFontRequest CaptionRequest = RequestOf(Title.CaptionFont, 0.05, Height);
    MainRequest.PixelSize *= Scale;
    CaptionRequest.PixelSize *= Scale;
    TFont MainFont(MainRequest);
    TFont CaptionFont(CaptionRequest);
    MainPart.Layout.emplace(MainFont, MainText, Options);
    MainPart.Paint = PaintOf(Title.MainFont, MainRequest.PixelSize);
    CaptionPart.Layout.emplace(CaptionFont, CaptionText, Options);
    CaptionPart.Paint = PaintOf(Title.CaptionFont, CaptionRequest.PixelSize);

    const TTextLayout& M = *MainPart.Layout;
    const TTextLayout& C = *CaptionPart.Layout;
    if (Crawling) {
        // One line: the title, then its caption on the same baseline.
        double Gap = M.IsEmpty() || C.IsEmpty() ? 0 : MainRequest.PixelSize;
        double Ascent = std::max(M.IsEmpty() ? 0 : MainFont.Metrics().Ascent,
                                 C.IsEmpty() ? 0 : CaptionFont.Metrics().Ascent);
        MainPart.X = 0;
        MainPart.Y = Ascent - MainFont.Metrics().Ascent;
        CaptionPart.X = M.Width() + Gap;
        CaptionPart.Y = Ascent - CaptionFont.Metrics().Ascent;
        PartsWidth = CaptionPart.X + C.Width();
        PartsHeight = std::max(MainPart.Y + M.Height(), CaptionPart.Y + C.Height());
        return;
    }
    double Gap = M.IsEmpty() || C.IsEmpty() ? 0 : MainFont.Metrics().LineHeight * 0.25;
    PartsWidth = std::max(M.Width(), C.Width());
    auto AlignX = [&](double PartWidth) {
        if (Options.Align == TTextAlign::Left)
            return 0.0;
        if (Options.Align == TTextAlign::Right)
            return PartsWidth - PartWidth;
        return (PartsWidth - PartWidth) / 2;
    };
    MainPart.X = AlignX(M.Width());
    MainPart.Y = 0;
    CaptionPart.X = AlignX(C.Width());
    CaptionPart.Y = M.IsEmpty() ? 0 : M.Height() + Gap;
    PartsHeight = C.IsEmpty() ? M.Height() : CaptionPart.Y + C.Height();
}

void TTitlePainter::TState::Lay() {
    Arrange(1, Main, Caption, BlockWidth, BlockHeight);
    RestX = (Width - BlockWidth) / 2;
    RestY = (Height - BlockHeight) / 2;
    if (IsLeft(Style.Placement))
        RestX = Width * MarginX;
    else if (IsRight(Style.Placement))
        RestX = Width * (1 - MarginX) - BlockWidth;
    if (IsTop(Style.Placement))
        RestY = Height * MarginY;
    else if (IsBottom(Style.Placement))
        RestY = Height * (1 - MarginY) - BlockHeight;
    // On whole pixels a title at rest is copied from its layer unblurred.
    RestX = std::round(RestX);
    RestY = std::round(RestY);

    if (IsEmpty() || Style.Motion == TTitleMotion::Letters)
        return;
    // A title that starts large is drawn large and shown reduced: enlarged
    // it would blur.
    TPart ScaledMain, ScaledCaption;
    const TPart* M = &Main;
    const TPart* C = &Caption;
    double PartsWidth = BlockWidth, PartsHeight = BlockHeight;
    if (Style.Motion == TTitleMotion::ZoomOut) {
        LayerScale = std::clamp(MaxLayerWidth / (BlockWidth + 8), 1.0, ZoomOutStart);
        Arrange(LayerScale, ScaledMain, ScaledCaption, PartsWidth, PartsHeight);
        M = &ScaledMain;
        C = &ScaledCaption;
    }
    Pad = std::ceil(std::max(M->Paint.EdgeWidth, C->Paint.EdgeWidth)) + 2;
    // A text far longer than a title needs is cut rather than drawn into a
    // layer of unbounded size.
    LayerWidth = std::min(std::ceil(PartsWidth + 2 * Pad), MaxLayerSide);
    LayerHeight = std::min(std::ceil(PartsHeight + 2 * Pad),
                           std::min(MaxLayerSide, std::floor(MaxLayerPixels / LayerWidth)));
    TVideoFrame Block{static_cast<int32_t>(LayerWidth), static_cast<int32_t>(LayerHeight)};
    TPixelView Target = Block.View();
    DrawText(Target, *M->Layout, Pad + M->X, Pad + M->Y, M->Paint);
    DrawText(Target, *C->Layout, Pad + C->X, Pad + C->Y, C->Paint);
    Layer.emplace(Block);
}

void TTitlePainter::TState::DrawLayer(TVideoFrame& Frame, double X, double Y, double Scale,
                                      double Opacity) const {
    if (!Layer || Opacity <= 0 || Scale <= 0)
        return;
    // X and Y place the block; the layer reaches Pad beyond it. K turns
    // layer pixels into frame pixels.
    double K = Scale / LayerScale;
    TFloatRect Dest{X - Pad * K, Y - Pad * K, X + (LayerWidth - Pad) * K,
                    Y + (LayerHeight - Pad) * K};
    Layer->DrawOver({0, 0, LayerWidth, LayerHeight}, Dest, Opacity, Frame);
}

void TTitlePainter::TState::DrawLetters(TVideoFrame& Frame, double Time, double Duration) const {
    size_t MainCount = Main.Layout->Glyphs().size();
    size_t Count = MainCount + Caption.Layout->Glyphs().size();
    bool Typed = Style.Entry == TTitleDirection::None;
    double Flight = std::min(Typed ? LetterTypeTime : LetterFlyTime, Duration / 4);
    double Stagger =
        Count > 1
            ? std::min(LetterStagger, std::max(0.0, Duration * 0.6 - Flight) / double(Count - 1))
            : 0;
    double EndFade = std::min(EndFadeTime, Duration / 8);
    double Closing = EndFade > 0 ? Smooth((Duration - Time) / EndFade) : 1;

    auto Adjuster = [&](size_t First) {
        return [&, First](size_t Index, const TLayoutGlyph&) {
            double Start = double(First + Index) * Stagger;
            double Arrived = Flight > 0 ? std::clamp((Time - Start) / Flight, 0.0, 1.0)
                                        : (Time >= Start ? 1.0 : 0.0);
            TGlyphAdjustment Adjustment;
            Adjustment.Opacity = std::min(Arrived * (Typed ? 1 : 2), 1.0) * Closing;
            double Away = 1 - EaseOut(Arrived);
            switch (Style.Entry) {
            case TTitleDirection::Left:
                Adjustment.OffsetX = -Width * Away;
                break;
            case TTitleDirection::Right:
                Adjustment.OffsetX = Width * Away;
                break;
            case TTitleDirection::Top:
                Adjustment.OffsetY = -Height * 0.6 * Away;
                break;
            case TTitleDirection::Bottom:
                Adjustment.OffsetY = Height * 0.6 * Away;
                break;
            case TTitleDirection::None:
                break;
            }
            return Adjustment;
        };
    };
    TPixelView Target = Frame.View();
    DrawText(Target, *Main.Layout, RestX + Main.X, RestY + Main.Y, Main.Paint, Adjuster(0));
    DrawText(Target, *Caption.Layout, RestX + Caption.X, RestY + Caption.Y, Caption.Paint,
             Adjuster(MainCount));
}

void TTitlePainter::TState::DrawPerspective(TVideoFrame& Frame, double Progress) const {
    if (!Layer)
        return;
    // Screen row y shows the plane at scale s (1 at the bottom edge, 0 at
    // the horizon); the plane row it shows lies Depth * (1/s - 1) beyond
    // the row at the bottom edge. Depth makes rows near the bottom keep
    // their height. The row at the bottom edge runs from the block's top
    // until the block's end has shrunk to a third, where rows have faded.
    double Horizon = Height * HorizonShare;
    double Depth = Height - Horizon;
    double Travel = LayerHeight + Depth * 2;
    double BottomRow = Progress * Travel;
    auto Scale = [&](double Y) { return std::max((Y - Horizon) / Depth, 1e-3); };
    auto PlaneRow = [&](double Y) { return BottomRow - Depth * (1 / Scale(Y) - 1); };
    double CentreX = Width / 2.0;
    auto FirstRow = int32_t(std::ceil(Horizon));
    for (int32_t Y = FirstRow; Y < Height; ++Y) {
        double Top = PlaneRow(Y), Bottom = PlaneRow(Y + 1);
        if (Bottom <= 0 || Top >= LayerHeight || Bottom <= Top)
            continue;
        double S = Scale(Y + 0.5);
        // Rows fade out as they recede.
        double Opacity = std::clamp((S - 0.34) / 0.25, 0.0, 1.0);
        TFloatRect Dest{CentreX - LayerWidth / 2 * S, double(Y), CentreX + LayerWidth / 2 * S,
                        double(Y + 1)};
        Layer->DrawOver({0, Top, LayerWidth, Bottom}, Dest, Opacity, Frame);
    }
}

TTitlePainter::TTitlePainter(const TTitleText& Title, int32_t Width, int32_t Height)
    : F(std::make_unique<TState>()) {
    F->Title = Title;
    F->Style = TitleStyleOf(Title.StyleCode, Title.P1, Title.P2, Title.P4);
    F->Width = std::max(Width, 1);
    F->Height = std::max(Height, 1);
    F->MarginX = SafeFraction(Title.Factor1, 0.1);
    F->MarginY = SafeFraction(Title.Factor2, 0.1);
    F->Lay();
}

TTitlePainter::~TTitlePainter() = default;

int32_t TTitlePainter::Width() const {
    return F->Width;
}

int32_t TTitlePainter::Height() const {
    return F->Height;
}

TFloatRect TTitlePainter::RestingBounds() const {
    if (F->IsEmpty())
        return {};
    return {F->RestX, F->RestY, F->RestX + F->BlockWidth, F->RestY + F->BlockHeight};
}

void TTitlePainter::Draw(double Time, double Duration, TVideoFrame& Frame) const {
    if (Frame.Width() != F->Width || Frame.Height() != F->Height)
        Frame.Resize(F->Width, F->Height);
    Frame.Fill(F->Title.BackgroundColor);
    if (F->IsEmpty())
        return;
    const TState& S = *F;
    double T = std::isfinite(Duration) && Duration > 0 ? Duration : 1;
    double Now = std::isfinite(Time) ? std::clamp(Time, 0.0, T) : 0;
    double Progress = Now / T;
    double EndFade = std::min(EndFadeTime, T / 6);
    double Closing = EndFade > 0 ? Smooth((T - Now) / EndFade) : 1;
    double Pad = S.Pad + 2;

    switch (S.Style.Motion) {
    case TTitleMotion::Still:
        S.DrawLayer(Frame, S.RestX, S.RestY, 1, 1);
        break;
    case TTitleMotion::FlyInOut: {
        auto Away = [&](TTitleDirection Side, double& X, double& Y) {
            X = S.RestX, Y = S.RestY;
            switch (Side) {
            case TTitleDirection::Left:
                X = -S.BlockWidth - Pad;
                break;
            case TTitleDirection::Right:
                X = S.Width + Pad;
                break;
            case TTitleDirection::Top:
                Y = -S.BlockHeight - Pad;
                break;
            case TTitleDirection::Bottom:
                Y = S.Height + Pad;
                break;
            case TTitleDirection::None:
                break;
            }
        };
        double In = S.Style.Entry == TTitleDirection::None ? 0 : std::min(FlyTime, T / 3);
        double Out = S.Style.Exit == TTitleDirection::None ? 0 : std::min(FlyTime, T / 3);
        double X = S.RestX, Y = S.RestY, AwayX, AwayY;
        if (In > 0 && Now < In) {
            Away(S.Style.Entry, AwayX, AwayY);
            X = Lerp(AwayX, S.RestX, EaseOut(Now / In));
            Y = Lerp(AwayY, S.RestY, EaseOut(Now / In));
        } else if (Out > 0 && Now > T - Out) {
            Away(S.Style.Exit, AwayX, AwayY);
            X = Lerp(S.RestX, AwayX, EaseIn((Now - (T - Out)) / Out));
            Y = Lerp(S.RestY, AwayY, EaseIn((Now - (T - Out)) / Out));
        }
        S.DrawLayer(Frame, X, Y, 1, 1);
        break;
    }
    case TTitleMotion::Fade: {
        double Fade = std::min(FadeTime, T / 4);
        double Opacity = std::min(Smooth(Now / Fade), Smooth((T - Now) / Fade));
        S.DrawLayer(Frame, S.RestX, S.RestY, 1, Opacity);
        break;
    }
    case TTitleMotion::ZoomIn:
    case TTitleMotion::ZoomOut: {
        double Zoom = std::min(ZoomTime, T / 3);
        double Grown = EaseOut(Now / Zoom);
        double Scale = S.Style.Motion == TTitleMotion::ZoomIn ? Lerp(0.05, 1, Grown)
                                                              : Lerp(ZoomOutStart, 1, Grown);
        double Opacity = std::min(1.0, Now / (Zoom / 2)) * Closing;
        double CentreX = S.RestX + S.BlockWidth / 2, CentreY = S.RestY + S.BlockHeight / 2;
        S.DrawLayer(Frame, CentreX - S.BlockWidth / 2 * Scale, CentreY - S.BlockHeight / 2 * Scale,
                    Scale, Opacity);
        break;
    }
    case TTitleMotion::Roll:
        S.DrawLayer(Frame, S.RestX, Lerp(S.Height + Pad, -S.BlockHeight - Pad, Progress), 1, 1);
        break;
    case TTitleMotion::Crawl:
        S.DrawLayer(Frame, Lerp(S.Width + Pad, -S.BlockWidth - Pad, Progress),
                    S.Height * (1 - S.MarginY) - S.BlockHeight, 1, 1);
        break;
    case TTitleMotion::RollAndHold: {
        double Move = std::min(HoldMoveTime, T / 2);
        S.DrawLayer(Frame, S.RestX, Lerp(S.Height + Pad, S.RestY, EaseOut(Now / Move)), 1, 1);
        break;
    }
    case TTitleMotion::CrawlAndHold: {
        double Move = std::min(HoldMoveTime, T / 2);
        S.DrawLayer(Frame, Lerp(S.Width + Pad, S.RestX, EaseOut(Now / Move)), S.RestY, 1, 1);
        break;
    }
    case TTitleMotion::Perspective:
        S.DrawPerspective(Frame, Progress);
        break;
    case TTitleMotion::Letters:
        S.DrawLetters(Frame, Now, T);
        break;
    }
}
