// Renders the catalogue picture of every effect, transition and title style
// with the program's own previewers, on the program's own sample pictures,
// into an images folder: run at build time, so that an installation ships
// every picture and never has to write into its data folder.
//
//   catalog_pictures <images folder>

#include "core/file_io.h"
#include "platform/media/png_bytes.h"
#include "project/catalog_infos.h"
#include "render/preview_pictures.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

template <class TInfos>
int WritePictures(TInfos& Infos, TCatalogKind Kind, const std::string& Images) {
    int Written = 0;
    for (int32_t I = 0; I < Infos.Count(); ++I) {
        auto& Info = *Infos.Entry(I);
        // Pictures that only name their entry are drawn at run time.
        if (!IsRenderedCatalogPicture(Info))
            continue;
        std::filesystem::path File = std::filesystem::path(Images) / CatalogPictureName(Kind, Info.Id());
        std::filesystem::create_directories(File.parent_path());
        WriteFileAtomically(File.string(), EncodePng(RenderCatalogPicture(Info, {Images, ""})));
        ++Written;
    }
    return Written;
}

} // namespace

int main(int Count, char** Arguments) {
    if (Count != 2) {
        std::fprintf(stderr, "usage: catalog_pictures <images folder>\n");
        return 2;
    }
    const std::string Images = Arguments[1];
    try {
        // The sample pictures the previewers draw on ship beside these.
        WritePreviewPictures(Images);
        TEffectInfos Effects({Images, ""});
        TTransitionInfos Transitions({Images, ""});
        TTitlesInfo Titles({Images, ""});
        int Written = WritePictures(Effects, TCatalogKind::Effects, Images) +
                      WritePictures(Transitions, TCatalogKind::Transitions, Images) +
                      WritePictures(Titles, TCatalogKind::Titles, Images);
        std::printf("catalog_pictures: %d pictures in %s\n", Written, Images.c_str());
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "catalog_pictures: %s\n", Error.what());
        return 1;
    }
    return 0;
}
