#pragma once

#include "platform/media/media_components.h"
#include "platform/media/property_setter.h"

// How far a transition has gone from A to B: its "progress" property when
// given (key values over its range), otherwise the share of its range that
// has passed.
class TTransitionProgress {
public:
    explicit TTransitionProgress(const TPropertySetter& Properties)
        : FHasKeys(Properties.Has("progress")), FKeys(Properties, "progress", 0) {}

    double At(const TComponentTime& When) const {
        return FHasKeys ? FKeys.At(When.Relative()) : When.Progress();
    }

private:
    bool FHasKeys;
    TNumericKeys FKeys;
};
