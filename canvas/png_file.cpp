#include "canvas/pixels.h"

#include "canvas/canvas_error.h"
#include "core/file_io.h"
#include "core/global_memory_stream.h"
#include "core/stream.h"
#include "core/text.h"
#include "core/text_table.h"

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

// PNG pictures through libpng's simplified interface, which does every
// colour-type conversion: grey, palette and 16-bit pictures come out as
// 8-bit BGRA with straight alpha, opaque where the picture has no alpha.

void TPixels::LoadFromPngStream(TStream& Stream) {
    int64_t Size = Stream.Remaining();
    if (Size <= 0)
        RaiseUnreadableBitmap();
    std::vector<uint8_t> Bytes(static_cast<size_t>(Size));
    try {
        Stream.ReadBuffer(Bytes.data(), Size);
    } catch (const EStreamError&) {
        RaiseUnreadableBitmap();
    }
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Image, Bytes.data(), Bytes.size()))
        RaiseUnreadableBitmap();
    if (Image.width > uint32_t(MaxSize) || Image.height > uint32_t(MaxSize)) {
        png_image_free(&Image);
        RaiseUnreadableBitmap();
    }
    Image.format = PNG_FORMAT_BGRA;
    TPixels Result(int32_t(Image.width), int32_t(Image.height));
    // A negative stride: libpng fills the rows from the end of the block,
    // which is how the raster lies in memory (bottom row first).
    auto Stride = -png_int_32(Image.width) * 4;
    if (!png_image_finish_read(&Image, nullptr, Result.Buffer(), Stride, nullptr)) {
        png_image_free(&Image);
        RaiseUnreadableBitmap();
    }
    Swap(Result);
}

void TPixels::SaveToPngStream(TStream& Stream) const {
    // Top-down rows; a pixel with alpha 0 is written as all zeros.
    std::vector<TPixel> Rows(size_t(FWidth) * size_t(FHeight));
    for (int32_t Y = 0; Y < FHeight; ++Y) {
        const TPixel* From = RowPixels(Y);
        TPixel* To = Rows.data() + size_t(Y) * size_t(FWidth);
        for (int32_t X = 0; X < FWidth; ++X)
            To[X] = From[X] >> 24 ? From[X] : 0;
    }
    png_image Image;
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
    Image.width = png_uint_32(FWidth);
    Image.height = png_uint_32(FHeight);
    Image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t Size = 0;
    auto Fail = [&] {
        std::string Reason = Image.message;
        png_image_free(&Image);
        throw ECanvasError(FormatMessageText(GetText(TTextSlot::CanvasWriteError), Reason));
    };
    if (IsEmpty())
        throw ECanvasError(FormatMessageText(GetText(TTextSlot::CanvasWriteError), ""));
    if (!png_image_write_to_memory(&Image, nullptr, &Size, 0, Rows.data(), 0, nullptr))
        Fail();
    std::vector<uint8_t> Bytes(Size);
    if (!png_image_write_to_memory(&Image, Bytes.data(), &Size, 0, Rows.data(), 0, nullptr))
        Fail();
    Stream.WriteBuffer(Bytes.data(), int64_t(Size));
}

namespace {

std::string Extension(const std::string& FileName) {
    size_t Dot = FileName.find_last_of("./");
    if (Dot == std::string::npos || FileName[Dot] != '.')
        return {};
    return UpperCaseAscii(FileName.substr(Dot));
}

} // namespace

void TPixels::LoadFromFile(const std::string& FileName) {
    std::string Bytes = ReadFileBytes(FileName);
    TGlobalMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.Seek(0, TSeekOrigin::Beginning);
    std::string Kind = Extension(FileName);
    if (Kind == ".BMP" || Kind == ".DIB")
        LoadFromStream(Stream);
    else if (Kind == ".PNG")
        LoadFromPngStream(Stream);
    else
        RaiseUnreadableBitmap();
}

void TPixels::SaveToFile(const std::string& FileName) const {
    TGlobalMemoryStream Stream;
    std::string Kind = Extension(FileName);
    if (Kind == ".PNG")
        SaveToPngStream(Stream);
    else
        SaveToStream(Stream);
    WriteFileAtomically(FileName, std::string_view(reinterpret_cast<const char*>(Stream.Memory()),
                                                   size_t(Stream.Size())));
}
