#include "render/effect_previewer.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/effect_element.h"
#include "render/file_clip_element.h"
#include "render/preview_bracket.h"

#include <algorithm>

TEffectPreviewer::TEffectPreviewer(std::string Picture) : FPicture(std::move(Picture)) {
    AddTrack(TTimelineTrackKind::Video, 0);
}

TEffectPreviewer::~TEffectPreviewer() {
    // The engine's threads go before the elements they read.
    SetVideoVisible(false);
    FreeElements();
}

void TEffectPreviewer::FreeElements() {
    TTimelineUpdateGuard Bracket(*this);
    FEffect.reset();
    FPictureClip.reset();
    FBackground.reset();
    FShownDuration = 0;
}

void TEffectPreviewer::SetBackgroundColor(TColor Color) {
    FBackgroundColor = Color;
    if (FBackground)
        FBackground->SetColor(Color);
}

void TEffectPreviewer::ShowEffect(int32_t Index, TVideoTime Duration) {
    if (!DescriptionRegistry().Effects().EffectByIndex(Index))
        RaiseError(FormatMessageText(GetText(TTextSlot::UnknownEffectDescription),
                                     std::to_string(Index)));
    if (Duration == 0)
        Duration = VideoTimeUnitsPerSecond;
    Duration = std::max(Duration, FrameDuration());
    try {
        if (!FEffect)
            Build(Index, Duration);
        else
            Change(Index, Duration);
    } catch (...) {
        FreeElements();
        throw;
    }
    FShownDuration = Duration;
}

void TEffectPreviewer::Build(int32_t Index, TVideoTime Duration) {
    TCommittedBracket Bracket(*this);
    FBackground = std::make_unique<TColorClipElement>(FBackgroundColor, Duration);
    FBackground->MoveTo(Track(1), -3, 0);
    FEffect = std::make_unique<TEffectElement>(Index, TEffectTimeMode::Whole, Duration);
    FPictureClip = std::make_unique<TFileClipElement>(FPicture, true, true, Duration);
    FPictureClip->MoveTo(Track(2), -3, 0);
    FEffect->AttachToClip(FPictureClip.get());
    Bracket.Commit();
}

void TEffectPreviewer::Change(int32_t Index, TVideoTime Duration) {
    if (Duration == FShownDuration || !FPictureClip->IsStill()) {
        // Changing an effect rebuilds it even when nothing differs.
        if (Index != FEffect->DescriptionIndex())
            FEffect->Change(Index, TEffectTimeMode::Whole, 0, 0, FEffect->RequestedDuration());
        return;
    }
    // The background keeps its length: it only shows where the picture
    // leaves room.
    TCommittedBracket Bracket(*this);
    FPictureClip->SetDuration(Duration);
    FEffect->Change(Index, TEffectTimeMode::Whole, 0, 0, Duration);
    Bracket.Commit();
}
