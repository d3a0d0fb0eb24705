// Draws the skin pictures the program ships into the images folder: the
// transport buttons' symbols, as "Transport/<Name>.png".
//
//   skin_pictures IMAGES_FOLDER

#include "playback/transport_glyphs.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

int main(int Count, char** Arguments) {
    if (Count != 2) {
        std::fprintf(stderr, "usage: skin_pictures IMAGES_FOLDER\n");
        return 2;
    }
    try {
        const std::string Folder = std::string(Arguments[1]) + "/";
        for (int32_t I = 0; I < TPlayerTransport::ButtonCount; ++I) {
            auto Which = TPlayerTransport::TButton(I);
            std::string File = Folder + TransportGlyphFile(Which);
            std::filesystem::create_directories(std::filesystem::path(File).parent_path());
            DrawTransportGlyph(Which, TTransportGlyphs::ArtSize).SaveToFile(File);
        }
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "skin_pictures: %s\n", Error.what());
        return 1;
    }
    return 0;
}
