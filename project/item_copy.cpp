#include "project/item_copy.h"

#include "core/data.h"
#include "core/ref_object.h"
#include "project/clip.h"
#include "project/clip_effect.h"
#include "project/item.h"
#include "project/item_setting.h"

namespace {

// Settings travel through their stored form: it is what every setting
// already reads and writes, and loading applies without recording.
void LoadSettings(TItem& To, TData& Data) {
    TDataSection Section(Data, "Settings");
    for (int32_t I = 0; I < To.SettingCount(); ++I) {
        To.Setting(I)->Load(Data);
        To.Setting(I)->Apply();
    }
}

} // namespace

void CopySettings(const TItem& From, TItem& To) {
    TData Data;
    {
        TDataSection Section(Data, "Settings");
        for (int32_t I = 0; I < From.SettingCount(); ++I)
            From.Setting(I)->Save(Data);
    }
    LoadSettings(To, Data);
}

void CopyClipEffects(const TClip& From, TClip& To) {
    for (int32_t K = 0; K < From.ClipEffectCount(); ++K) {
        const TClipEffect* Effect = From.ClipEffect(K);
        TRefPtr<TClipEffect> Copy = MakeRef<TClipEffect>(Effect->DescriptionIndex());
        CopySettings(*Effect, *Copy);
        To.InsertClipEffect(Copy.Get(), Effect->SubIndex());
    }
}
