#include "platform/media/png_bytes.h"

#include "platform/media/media_error.h"
#include "platform/media/video_frame.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace {

// Frees the image's reader or writer on every path.
struct TPngImage {
    png_image Image;
    TPngImage() {
        std::memset(&Image, 0, sizeof Image);
        Image.version = PNG_IMAGE_VERSION;
    }
    ~TPngImage() { png_image_free(&Image); }
    TPngImage(const TPngImage&) = delete;
    TPngImage& operator=(const TPngImage&) = delete;
};

} // namespace

std::string EncodePng(const TVideoFrame& Picture) {
    if (Picture.IsEmpty())
        RaiseMediaError("PNG", "empty picture");
    TPngImage Png;
    Png.Image.width = png_uint_32(Picture.Width());
    Png.Image.height = png_uint_32(Picture.Height());
    Png.Image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t Size = 0;
    if (!png_image_write_to_memory(&Png.Image, nullptr, &Size, 0, Picture.Data(),
                                   Picture.Stride(), nullptr))
        RaiseMediaError("PNG", Png.Image.message);
    std::string Bytes(Size, '\0');
    if (!png_image_write_to_memory(&Png.Image, Bytes.data(), &Size, 0, Picture.Data(),
                                   Picture.Stride(), nullptr))
        RaiseMediaError("PNG", Png.Image.message);
    Bytes.resize(Size);
    return Bytes;
}

TVideoFrame DecodePng(std::string_view Bytes, TSize Limit) {
    TPngImage Png;
    if (Bytes.empty() || !png_image_begin_read_from_memory(&Png.Image, Bytes.data(), Bytes.size()))
        RaiseMediaError("PNG", Bytes.empty() ? "no data" : Png.Image.message);
    if (Png.Image.width == 0 || Png.Image.height == 0 ||
        Png.Image.width > png_uint_32(Limit.Width) || Png.Image.height > png_uint_32(Limit.Height))
        RaiseMediaError("PNG", "picture size out of range");
    Png.Image.format = PNG_FORMAT_BGRA;
    TVideoFrame Picture(int32_t(Png.Image.width), int32_t(Png.Image.height));
    if (!png_image_finish_read(&Png.Image, nullptr, Picture.Data(), Picture.Stride(), nullptr))
        RaiseMediaError("PNG", Png.Image.message);
    return Picture;
}
