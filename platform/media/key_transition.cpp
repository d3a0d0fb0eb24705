// The key transition: lays B (its own track) over A (what lies beneath) by
// B's alpha, so transparent parts of a title or overlay show the tracks below.

#include "platform/media/builtin_components.h"
#include "platform/media/compositing.h"
#include "platform/media/media_components.h"
#include "platform/media/video_frame.h"

namespace {

class TKeyTransition : public TVideoTransitionComponent {
public:
    void Combine(const TComponentTime&, const TVideoFrame& A, const TVideoFrame& B,
                 TVideoFrame& Output) override {
        Output = A;
        AlphaOver(B, Output);
    }
};

} // namespace

void RegisterKeyTransition(TMediaComponents& Registry) {
    Registry.RegisterTransition(MediaClassIds::KeyTransition(),
                                [](const TPropertySetter&, const TMediaVideoFormat&) {
                                    return std::make_unique<TKeyTransition>();
                                });
}
