// Emboss and engrave: the picture as grey relief lit from the top left.
// Each pixel becomes 128 plus the brightness step across it along the
// diagonal: emboss = 128 + L(x+1, y+1) - L(x-1, y-1), so bright shapes stand
// out with lit top-left edges; engrave is the opposite sign, so they look
// carved in. L is the Rec. 601 luma; neighbours beyond the frame repeat the
// edge pixel; alpha is kept.

#include "platform/media/media_components.h"
#include "platform/graphics/pixel_blend.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <vector>

namespace {

enum class TRelief { Raised, Carved };

class TEmbossEffect : public TVideoEffectComponent {
public:
    explicit TEmbossEffect(TRelief Relief) : FSign(Relief == TRelief::Raised ? 1 : -1) {}

    void Apply(const TComponentTime&, TVideoFrame& Frame) override {
        const int32_t W = Frame.Width(), H = Frame.Height();
        FLuma.resize(size_t(W) * size_t(H));
        const uint8_t* P = Frame.Data();
        for (size_t I = 0; I < FLuma.size(); ++I, P += 4)
            FLuma[I] = uint8_t(PixelLuma(P));
        for (int32_t Y = 0; Y < H; ++Y) {
            const uint8_t* Above = FLuma.data() + size_t(std::max(Y - 1, 0)) * size_t(W);
            const uint8_t* Below = FLuma.data() + size_t(std::min(Y + 1, H - 1)) * size_t(W);
            uint8_t* O = Frame.Row(Y);
            for (int32_t X = 0; X < W; ++X, O += 4) {
                int32_t Step = Below[std::min(X + 1, W - 1)] - Above[std::max(X - 1, 0)];
                auto Grey = uint8_t(std::clamp(128 + FSign * Step, 0, 255));
                O[0] = O[1] = O[2] = Grey;
            }
        }
    }

private:
    int32_t FSign;
    std::vector<uint8_t> FLuma;
};

} // namespace

void RegisterEmbossEffects(TMediaComponents& Registry) {
    Registry.RegisterVideoEffect(TransformClassIds::Emboss(),
                                 [](const TPropertySetter&, const TMediaVideoFormat&) {
                                     return std::make_unique<TEmbossEffect>(TRelief::Raised);
                                 });
    Registry.RegisterVideoEffect(TransformClassIds::Engrave(),
                                 [](const TPropertySetter&, const TMediaVideoFormat&) {
                                     return std::make_unique<TEmbossEffect>(TRelief::Carved);
                                 });
}
