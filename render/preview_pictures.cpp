#include "render/preview_pictures.h"

#include "platform/media/media_error.h"
#include "platform/media/picture_file.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

uint8_t Mix(int A, int B, double T) {
    return uint8_t(std::clamp(std::lround(A + (B - A) * T), 0L, 255L));
}

// A diagonal gradient between two colours.
void FillGradient(TVideoFrame& Picture, TColor From, TColor To) {
    auto R = [](TColor C) { return int(C & 0xFF); };
    auto G = [](TColor C) { return int(C >> 8 & 0xFF); };
    auto B = [](TColor C) { return int(C >> 16 & 0xFF); };
    double Span = Picture.Width() + Picture.Height() - 2;
    for (int32_t Y = 0; Y < Picture.Height(); ++Y)
        for (int32_t X = 0; X < Picture.Width(); ++X) {
            double T = (X + Y) / Span;
            Picture.SetPixel(X, Y, MakeColor(Mix(R(From), R(To), T), Mix(G(From), G(To), T),
                                             Mix(B(From), B(To), T)));
        }
}

// Fills the pixels whose centre lies inside: Inside(dx, dy) with the offsets
// from the picture's centre.
template <typename TInside>
void FillShape(TVideoFrame& Picture, TColor Color, TInside Inside) {
    double CentreX = Picture.Width() / 2.0, CentreY = Picture.Height() / 2.0;
    for (int32_t Y = 0; Y < Picture.Height(); ++Y)
        for (int32_t X = 0; X < Picture.Width(); ++X)
            if (Inside(X + 0.5 - CentreX, Y + 0.5 - CentreY))
                Picture.SetPixel(X, Y, Color);
}

auto Disc(double Radius) {
    return [Radius](double X, double Y) { return X * X + Y * Y <= Radius * Radius; };
}

auto Diamond(double Radius) {
    return [Radius](double X, double Y) { return std::abs(X) + std::abs(Y) <= Radius; };
}

TVideoFrame DrawOutgoing() {
    TVideoFrame Picture(PreviewPictureWidth, PreviewPictureHeight);
    FillGradient(Picture, MakeColor(210, 70, 30), MakeColor(120, 20, 60));
    FillShape(Picture, MakeColor(90, 20, 10), Disc(78));
    FillShape(Picture, MakeColor(250, 200, 60), Disc(70));
    return Picture;
}

TVideoFrame DrawIncoming() {
    TVideoFrame Picture(PreviewPictureWidth, PreviewPictureHeight);
    FillGradient(Picture, MakeColor(30, 90, 200), MakeColor(20, 160, 140));
    FillShape(Picture, MakeColor(10, 40, 90), Diamond(96));
    FillShape(Picture, MakeColor(220, 240, 255), Diamond(86));
    return Picture;
}

TVideoFrame DrawEffectPicture() {
    TVideoFrame Picture(PreviewPictureWidth, PreviewPictureHeight);
    // Seven colour bars over two thirds, a grey ramp below them.
    static const TColor Bars[] = {MakeColor(192, 192, 192), MakeColor(192, 192, 0),
                                  MakeColor(0, 192, 192),   MakeColor(0, 192, 0),
                                  MakeColor(192, 0, 192),   MakeColor(192, 0, 0),
                                  MakeColor(0, 0, 192)};
    int32_t BarsBottom = Picture.Height() * 2 / 3;
    for (int32_t Y = 0; Y < Picture.Height(); ++Y)
        for (int32_t X = 0; X < Picture.Width(); ++X) {
            if (Y < BarsBottom) {
                Picture.SetPixel(X, Y, Bars[X * 7 / Picture.Width()]);
            } else {
                auto Level = uint8_t(X * 255 / (Picture.Width() - 1));
                Picture.SetPixel(X, Y, MakeColor(Level, Level, Level));
            }
        }
    FillShape(Picture, MakeColor(255, 255, 255), Disc(52));
    FillShape(Picture, MakeColor(230, 120, 20), Disc(46));
    return Picture;
}

TVideoFrame Draw(TPreviewPicture Which) {
    switch (Which) {
    case TPreviewPicture::TransitionOutgoing:
        return DrawOutgoing();
    case TPreviewPicture::TransitionIncoming:
        return DrawIncoming();
    case TPreviewPicture::Effect:
        break;
    }
    return DrawEffectPicture();
}

fs::path UserCacheFolder() {
    if (const char* Cache = std::getenv("XDG_CACHE_HOME"); Cache && *Cache == '/')
        return fs::path(Cache) / "quillmoor";
    if (const char* Home = std::getenv("HOME"); Home && *Home == '/')
        return fs::path(Home) / ".cache" / "quillmoor";
    return fs::temp_directory_path() / "quillmoor-cache";
}

// Writes the picture as File, beside and renamed, so that a reader never
// sees half a file. Raises EMediaError when it cannot.
void WritePicture(const fs::path& File, TPreviewPicture Which) {
    std::error_code Error;
    fs::create_directories(File.parent_path(), Error);
    fs::path Temporary = File;
    Temporary += ".part";
    WriteBmpFile(Temporary.string(), Draw(Which));
    fs::rename(Temporary, File, Error);
    if (Error) {
        fs::remove(Temporary, Error);
        throw EMediaError("Can not write " + File.string() + ".");
    }
}

} // namespace

std::string PreviewPictureName(TPreviewPicture Which) {
    switch (Which) {
    case TPreviewPicture::TransitionOutgoing:
        return "Stage/Transitions/Preview Clip1.bmp";
    case TPreviewPicture::TransitionIncoming:
        return "Stage/Transitions/Preview Clip2.bmp";
    case TPreviewPicture::Effect:
        break;
    }
    return "Stage/Effects/Preview Clip.bmp";
}

void WritePreviewPictures(const std::string& ImagesFolder) {
    for (TPreviewPicture Which : {TPreviewPicture::TransitionOutgoing,
                                  TPreviewPicture::TransitionIncoming, TPreviewPicture::Effect})
        WritePicture(fs::path(ImagesFolder) / PreviewPictureName(Which), Which);
}

std::string EnsurePreviewPicture(const std::string& ImagesFolder, TPreviewPicture Which,
                                 const std::string& CacheFolder) {
    std::error_code Error;
    if (!ImagesFolder.empty()) {
        fs::path Shipped = fs::path(ImagesFolder) / PreviewPictureName(Which);
        if (fs::is_regular_file(Shipped, Error))
            return Shipped.string();
    }
    fs::path File = (CacheFolder.empty() ? UserCacheFolder() : fs::path(CacheFolder)) /
                    PreviewPictureName(Which);
    if (!fs::is_regular_file(File, Error))
        WritePicture(File, Which);
    return File.string();
}
