#include "platform/graphics/png_codec.h"

#include <png.h>

#include <cassert>
#include <cstring>

// A simplified-interface image whose reader or writer is freed on every path.
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

namespace {

// libpng takes the lowest address of a raster together with the signed step
// between rows (negative: the bottom row comes first in memory), where a
// pixel view holds the top row and the step down the screen.
void* LowestRow(const TPixelView& View) {
    return View.Stride < 0 ? View.Row(View.Height - 1) : View.Pixels;
}

} // namespace

TPngReader::TPngReader(std::string_view Bytes, const TPngLimit& Limit)
    : FImage(std::make_unique<TPngImage>()) {
    if (Bytes.empty())
        throw EPngError(TPngFault::Damaged, "no data");
    if (!png_image_begin_read_from_memory(&FImage->Image, Bytes.data(), Bytes.size()))
        throw EPngError(TPngFault::Damaged, FImage->Image.message);
    CheckSize(Limit);
}

TPngReader::TPngReader(std::FILE* File, const TPngLimit& Limit) : FImage(std::make_unique<TPngImage>()) {
    if (!png_image_begin_read_from_stdio(&FImage->Image, File))
        throw EPngError(TPngFault::Damaged, FImage->Image.message);
    CheckSize(Limit);
}

TPngReader::~TPngReader() = default;

void TPngReader::CheckSize(const TPngLimit& Limit) {
    int64_t Width = FImage->Image.width, Height = FImage->Image.height;
    // Both sides fit in 31 bits (libpng refuses more), so the product does
    // not overflow.
    if (Width <= 0 || Height <= 0 || Width > Limit.Width || Height > Limit.Height ||
        Width * Height > Limit.Pixels)
        throw EPngError(TPngFault::TooLarge, "picture size out of range");
    FSize = {int32_t(Width), int32_t(Height)};
}

void TPngReader::Read(const TPixelView& Target) {
    assert(Target.Width == FSize.Width && Target.Height == FSize.Height &&
           "a PNG is read into a raster of its own size");
    FImage->Image.format = PNG_FORMAT_BGRA;
    if (!png_image_finish_read(&FImage->Image, nullptr, LowestRow(Target), Target.Stride, nullptr))
        throw EPngError(TPngFault::Damaged, FImage->Image.message);
}

std::string EncodePngPixels(const TPixelView& Picture) {
    if (Picture.IsEmpty())
        throw EPngError(TPngFault::CannotWrite, "empty picture");
    TPngImage Png;
    png_image& Image = Png.Image;
    Image.width = png_uint_32(Picture.Width);
    Image.height = png_uint_32(Picture.Height);
    Image.format = PNG_FORMAT_BGRA;
    // The first call measures, the second writes.
    png_alloc_size_t Size = 0;
    const void* Pixels = LowestRow(Picture);
    if (!png_image_write_to_memory(&Image, nullptr, &Size, 0, Pixels, Picture.Stride, nullptr))
        throw EPngError(TPngFault::CannotWrite, Image.message);
    std::string Bytes(Size, '\0');
    if (!png_image_write_to_memory(&Image, Bytes.data(), &Size, 0, Pixels, Picture.Stride, nullptr))
        throw EPngError(TPngFault::CannotWrite, Image.message);
    Bytes.resize(Size);
    return Bytes;
}

bool IsAnimatedPng(std::FILE* File) {
    if (!File || std::fseek(File, 8, SEEK_SET) != 0)
        return false;
    // The chunks before the picture data are few; a file with more is taken
    // for a still rather than read on.
    for (int Chunks = 0; Chunks < 64; ++Chunks) {
        unsigned char Head[8];
        if (std::fread(Head, 1, 8, File) != 8)
            return false;
        uint32_t Length = uint32_t(Head[0]) << 24 | uint32_t(Head[1]) << 16 | uint32_t(Head[2]) << 8 |
                          uint32_t(Head[3]);
        if (std::memcmp(Head + 4, "acTL", 4) == 0)
            return true;
        // Past the chunk's data and its check sum.
        if (std::memcmp(Head + 4, "IDAT", 4) == 0 || Length > (1u << 30) ||
            std::fseek(File, long(Length) + 4, SEEK_CUR) != 0)
            return false;
    }
    return false;
}
