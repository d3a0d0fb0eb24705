#include "large_project.h"

#include "core/video_time.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/timeline.h"

void FillLargeProject(TProject& Project, int32_t Clips, const std::string& Picture) {
    constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
    const int32_t TitleStyle = DescriptionRegistry().Titles().Description(1)->Index();
    Project.Clear();
    TTimelineUpdateGuard Bracket(Project.Timeline());
    for (int32_t T = 0; T < LargeProjectTrackCount; ++T) {
        TRefPtr<TTrack> Track = MakeRef<TTrack>(TTrackKind::Video);
        Project.InsertTrack(Track.Get(), T);
        for (int32_t I = 0; I < Clips / LargeProjectTrackCount; ++I) {
            TVideoTime At = I * 2 * Second;
            TRefPtr<TTrackItem> Item = I % 2 == 0
                                           ? TRefPtr<TTrackItem>(MakeRef<TFileClip>(At, Picture))
                                           : MakeRef<TTitleClip>(2 * Second, At, TitleStyle);
            Item->SetDuration(2 * Second);
            Track->InsertItem(Item.Get(), Track->ItemCount());
        }
        Track->Normalize(false);
    }
}
