#pragma once

#include "project/track_item.h"

#include <cstdint>

class TClip;
class TReverseTransitionSetting;
class TTransitionDescription;
class TTransitionElement;

// A transition between two neighbouring clips of a track: it leaves
// FromClip (whose trailing transition it is) and enters ToClip (whose
// leading transition it is), over the stretch where the two overlap.
class TTransition : public TTrackItem {
public:
    // Raises for a description index the registry does not have.
    TTransition(TVideoTime Duration, TVideoTime Position, int32_t DescriptionIndex);
    std::string_view ClassName() const override { return "TTransition"; }

    int32_t DescriptionIndex() const { return FDescriptionIndex; }
    const TTransitionDescription& Description() const;
    TTransitionElement* TransitionElement() const;
    TClip* FromClip() const { return FFromClip; }
    TClip* ToClip() const { return FToClip; }
    // Only for descriptions that can be reversed.
    TReverseTransitionSetting* ReverseSetting() const { return FReverse; }

    TItemLimits GetLimits() const override;
    void Place(bool KeepJoined, TVideoTime RunningEnd) override;
    void Attach() override;
    void Detach() override;
    void UpdateElement() override;

protected:
    ~TTransition() override;
    void SaveIdentity(TData& Data) const override;

private:
    friend class TClip;
    friend void LinkFrom(TTransition* Transition, TClip* Clip);
    friend void LinkTo(TTransition* Transition, TClip* Clip);

    int32_t FDescriptionIndex;
    TClip* FFromClip = nullptr;
    TClip* FToClip = nullptr;
    TReverseTransitionSetting* FReverse = nullptr;
};

// Makes Clip the transition's FromClip and the transition Clip's trailing
// transition, unlinking what either was linked to before; none unlinks.
void LinkFrom(TTransition* Transition, TClip* Clip);
// The same for ToClip and the clip's leading transition.
void LinkTo(TTransition* Transition, TClip* Clip);
