#include "playback/player_time.h"

#include "playback/player_window.h"
#include "playback/transport_glyphs.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>

// --- TPlayerTime

TPlayerTime::TPlayerTime(TPlayerWindow* Player) {
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TPlayerTime::PlayersChanged>(this));
    SetPlayer(Player);
}

TPlayerTime::~TPlayerTime() {
    PlayerWindows().Changes().RemoveChangeHandler(MakeDelegate<&TPlayerTime::PlayersChanged>(this));
}

void TPlayerTime::SetPlayer(TPlayerWindow* Player) {
    FPlayer = Player;
    Follow();
}

void TPlayerTime::PlayersChanged(TObject*, TPlayerChangeFlags Flags) {
    if (Flags == PlayerChangeWindows && FPlayer) {
        // A window went: forget ours if it was the one.
        const auto& Windows = PlayerWindows().Windows();
        if (std::find(Windows.begin(), Windows.end(), FPlayer) == Windows.end())
            FPlayer = nullptr;
    }
    Follow();
}

void TPlayerTime::Follow() {
    FFollowing = true;
    if (!FPlayer || !FPlayer->HasSourceAndRange())
        ShowValue(0, DefaultMaximum, false);
    else
        ShowValue(FPlayer->Position(), FPlayer->RangeLength(), true);
    FFollowing = false;
}

void TPlayerTime::BeginEdit() {
    TVideoTimeEdit::BeginEdit();
    if (FPlayer)
        FPlayer->BeginScrub();
}

void TPlayerTime::EndEdit() {
    bool Was = IsEditing();
    TVideoTimeEdit::EndEdit();
    if (Was && !IsEditing() && FPlayer)
        FPlayer->EndScrub();
}

void TPlayerTime::ValueChanged() {
    TVideoTimeEdit::ValueChanged();
    if (FPlayer && !FFollowing)
        FPlayer->SeekTo(Value());
}

// --- TPlayerTimeBar

TPlayerTimeBar::TPlayerTimeBar(TPlayerWindow* Player) : FPlayer(Player) {
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TPlayerTimeBar::PlayersChanged>(this));
}

TPlayerTimeBar::~TPlayerTimeBar() {
    PlayerWindows().Changes().RemoveChangeHandler(
        MakeDelegate<&TPlayerTimeBar::PlayersChanged>(this));
}

void TPlayerTimeBar::SetPlayer(TPlayerWindow* Player) {
    FPlayer = Player;
    Invalidate();
}

void TPlayerTimeBar::PlayersChanged(TObject*, TPlayerChangeFlags Flags) {
    if (Flags == PlayerChangeWindows && FPlayer) {
        const auto& Windows = PlayerWindows().Windows();
        if (std::find(Windows.begin(), Windows.end(), FPlayer) == Windows.end())
            FPlayer = nullptr;
    }
    Invalidate();
}

TVideoTime TPlayerTimeBar::OffsetAt(int32_t X) const {
    if (!FPlayer || Width() < 4)
        return 0;
    TVideoTime Length = FPlayer->RangeLength();
    TVideoTime Offset = Length * (X - 1) / (Width() - 3);
    return std::clamp<TVideoTime>(Offset, 0, Length);
}

int32_t TPlayerTimeBar::FillEnd() const {
    TRect Client = ClientRect();
    if (!FPlayer || FPlayer->RangeLength() <= 0)
        return Client.Left;
    TVideoTime Position = std::clamp<TVideoTime>(FPlayer->Position(), 0, FPlayer->RangeLength());
    return Client.Left +
           int32_t(Position * std::max(Client.Width() - 1, 0) / FPlayer->RangeLength());
}

void TPlayerTimeBar::Paint(TPixels& Pixels) {
    const TSkinColors& Colors = SkinColors();
    TRect Client = ClientRect();
    Pixels.FillRect(Client, Colors.FaceColor);
    TRect Track{Client.Left, Client.Top + Client.Height() / 4, Client.Right,
                Client.Top + Client.Height() * 3 / 4};
    Pixels.BlendRect(Track, AlphaColor(Colors.ShadowColor, 128));
    if (!FPlayer || FPlayer->RangeLength() <= 0)
        return;
    TColor Fill = IsEnabledInTree() ? MakeColor(0, 224, 0) : Colors.ShadowColor;
    Pixels.FillRect(TRect{Track.Left, Track.Top, FillEnd(), Track.Bottom}, Fill);
}

void TPlayerTimeBar::MouseDown(TWidgetMouseEvent& Event) {
    Event.Accept();
    if (Event.Button != TMouseButton::Left || !FPlayer || Width() < 4 ||
        FPlayer->RangeLength() <= 0 || FPlayer->IsScrubbing())
        return;
    FDragging = true;
    FPlayer->BeginScrub();
    FPlayer->SeekTo(OffsetAt(Event.Position.X));
    Invalidate();
}

void TPlayerTimeBar::MouseMove(TWidgetMouseEvent& Event) {
    if (!FDragging || !FPlayer)
        return;
    Event.Accept();
    FPlayer->SeekTo(OffsetAt(Event.Position.X));
    Invalidate();
}

void TPlayerTimeBar::MouseUp(TWidgetMouseEvent& Event) {
    if (!FDragging)
        return;
    Event.Accept();
    FDragging = false;
    if (FPlayer)
        FPlayer->EndScrub();
    Invalidate();
}

// --- TPlayerTransport

namespace {

// A transport button: the skin's button with its symbol (a skin picture
// tinted with the text colour) over it.
class TTransportGadget : public TGadget {
public:
    explicit TTransportGadget(TPlayerTransport::TButton Symbol) : FSymbol(Symbol) {}

    void Paint(TPixels& Pixels) override {
        TGadget::Paint(Pixels);
        TRect Client = ClientRect();
        int32_t Size = std::max(4, std::min(Client.Width(), Client.Height()) / 2);
        int32_t X = Client.Left + (Client.Width() - Size) / 2;
        int32_t Y = Client.Top + (Client.Height() - Size) / 2;
        TColor Ink = IsEnabledInTree() ? SkinColors().TextColor : SkinColors().DisabledTextColor;
        TPixels Symbol = TransportGlyphs().Glyph(FSymbol, Size);
        Symbol.FillRectRGB(Symbol.Bounds(), Ink);
        Pixels.BlendFrom(X, Y, Symbol);
    }

private:
    TPlayerTransport::TButton FSymbol;
};

} // namespace

TPlayerTransport::TPlayerTransport(TPlayerWindow* Player) : FPlayer(Player) {
    for (int32_t I = 0; I < ButtonCount; ++I) {
        auto Which = TButton(I);
        auto& Gadget = Add<TTransportGadget>(Which);
        // Stepping repeats while held; the others act once, on the release.
        if (Which == TButton::StepBack || Which == TButton::StepForward)
            Gadget.OnExecute = [this, Which] { Run(Which); };
        else
            Gadget.OnClick = [this, Which] { Run(Which); };
        FButtons[I] = &Gadget;
    }
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TPlayerTransport::PlayersChanged>(this));
    UpdateStates();
}

TPlayerTransport::~TPlayerTransport() {
    PlayerWindows().Changes().RemoveChangeHandler(
        MakeDelegate<&TPlayerTransport::PlayersChanged>(this));
}

void TPlayerTransport::SetPlayer(TPlayerWindow* Player) {
    FPlayer = Player;
    UpdateStates();
}

void TPlayerTransport::PlayersChanged(TObject*, TPlayerChangeFlags) {
    UpdateStates();
}

void TPlayerTransport::UpdateStates() {
    // A window that left the registry is gone: its transport lets go of it.
    const auto& Windows = PlayerWindows().Windows();
    if (FPlayer && std::find(Windows.begin(), Windows.end(), FPlayer) == Windows.end())
        FPlayer = nullptr;
    bool Range = FPlayer && FPlayer->HasSourceAndRange();
    bool Playing = Range && FPlayer->IsPlaying();
    bool Paused = Range && !Playing && !FPlayer->AtRangeEnd();
    auto Set = [&](TButton Which, bool Enabled, bool Checked) {
        TGadget& Gadget = Button(Which);
        Gadget.SetEnabled(Enabled);
        Gadget.SetChecked(Checked);
    };
    Set(TButton::Play, Range, Playing);
    Set(TButton::Pause, Range, Paused);
    Set(TButton::Stop, Playing, false);
    Set(TButton::Replay, Range, false);
    Set(TButton::StepBack, Range, false);
    Set(TButton::StepForward, Range, false);
}

TGadget& TPlayerTransport::Button(TButton Which) const {
    return *FButtons[int32_t(Which)];
}

void TPlayerTransport::Layout() {
    TRect Client = ClientRect();
    int32_t Size = std::min(Client.Height(), ButtonCount > 0 ? Client.Width() / ButtonCount : 0);
    for (int32_t I = 0; I < ButtonCount; ++I)
        FButtons[I]->SetBounds(TRect::FromSize(Client.Left + I * Size, Client.Top, Size, Size));
}

void TPlayerTransport::Run(TButton Which) {
    if (!FPlayer)
        return;
    switch (Which) {
    case TButton::Play: FPlayer->Play(); break;
    case TButton::Pause: FPlayer->PlayPause(); break;
    case TButton::Stop: FPlayer->Halt(); break;
    case TButton::Replay: FPlayer->Replay(); break;
    case TButton::StepBack: FPlayer->Step(-1); break;
    case TButton::StepForward: FPlayer->Step(1); break;
    }
}
