// The cross-fade: blends from A to B as the transition progresses.

#include "platform/media/builtin_components.h"
#include "platform/media/compositing.h"
#include "platform/media/media_components.h"
#include "platform/media/transition_progress.h"
#include "platform/media/video_frame.h"

namespace {

class TCrossFade : public TVideoTransitionComponent {
public:
    explicit TCrossFade(TTransitionProgress Progress) : FProgress(std::move(Progress)) {}
    void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        CrossFade(A, B, FProgress.At(When), Output);
    }

private:
    TTransitionProgress FProgress;
};

} // namespace

void RegisterCrossFadeTransition(TMediaComponents& Registry) {
    Registry.RegisterTransition(MediaClassIds::CrossFadeTransition(),
                                [](const TPropertySetter& Properties, const TMediaVideoFormat&) {
                                    return std::make_unique<TCrossFade>(
                                        TTransitionProgress(Properties));
                                });
}
