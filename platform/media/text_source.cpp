#include "platform/media/text_source.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_timeline.h"
#include "platform/media/text_source_name.h"
#include "platform/media/title_painter.h"
#include "platform/media/video_frame.h"

#include <memory>

namespace {

class TTextSource : public TVideoSourceComponent {
public:
    TTextSource(TTextSourceName Name, const TMediaVideoFormat& Format)
        : FName(std::move(Name)),
          FPainter(std::make_unique<TTitlePainter>(FName.Title, Format.Width, Format.Height)) {}

    void Render(const TComponentTime& When, TVideoFrame& Frame) override {
        if (Frame.Width() != FPainter->Width() || Frame.Height() != FPainter->Height())
            FPainter = std::make_unique<TTitlePainter>(FName.Title, Frame.Width(), Frame.Height());
        // The clip's own range times the movement; the name's duration only
        // stands in for a source without one.
        TVideoTime Length = When.Stop > When.Start ? When.Stop - When.Start : FName.Duration;
        FPainter->Draw(VideoTimeToSeconds(When.Relative()), VideoTimeToSeconds(Length), Frame);
    }

private:
    TTextSourceName FName;
    std::unique_ptr<TTitlePainter> FPainter;
};

} // namespace

const TGuid& TextSourceClassId() {
    static const TGuid Id = GuidFromText("{BD656B83-0729-4E11-967A-1FA34B5724F7}");
    return Id;
}

void RegisterTextSource(TMediaComponents& Registry) {
    Registry.RegisterSource(
        TextSourceClassId(), [](const TMediaSource& Source, const TMediaVideoFormat& Format) {
            std::string Text = Source.Properties().TextAt("filename", 0);
            TTextSourceName Name;
            if (!ParseTextSourceName(Text, Name))
                RaiseMediaError(FormatMessageText(GetText(TTextSlot::InvalidTitleSourceName), Text),
                                "");
            return std::make_unique<TTextSource>(std::move(Name), Format);
        });
}
