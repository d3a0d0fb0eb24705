#include "canvas/pixels.h"

#include "canvas/canvas_error.h"
#include "core/file_io.h"
#include "core/global_memory_stream.h"
#include "core/stream.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/graphics/png_codec.h"

#include <string>
#include <string_view>
#include <vector>

// PNG pictures through the platform's codec, which does every colour-type
// conversion: grey, palette and 16-bit pictures come out as 8-bit BGRA with
// straight alpha, opaque where the picture has no alpha.

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
    try {
        TPngReader Reader(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()),
                          {MaxSize, MaxSize});
        // Decoded into a raster of its own, so that a damaged picture leaves
        // this one as it was; the view's negative stride has the codec fill
        // the rows bottom-up, as the raster lies in memory.
        TPixels Result(Reader.Size().Width, Reader.Size().Height);
        Reader.Read(Result.View());
        Swap(Result);
    } catch (const EPngError&) {
        RaiseUnreadableBitmap();
    }
}

void TPixels::SaveToPngStream(TStream& Stream) const {
    if (IsEmpty())
        throw ECanvasError(FormatMessageText(GetText(TTextSlot::CanvasWriteError), ""));
    // Top-down rows; a pixel with alpha 0 is written as all zeros.
    std::vector<TPixel> Rows(size_t(FWidth) * size_t(FHeight));
    for (int32_t Y = 0; Y < FHeight; ++Y) {
        const TPixel* From = RowPixels(Y);
        TPixel* To = Rows.data() + size_t(Y) * size_t(FWidth);
        for (int32_t X = 0; X < FWidth; ++X)
            To[X] = From[X] >> 24 ? From[X] : 0;
    }
    TPixelView Picture{reinterpret_cast<uint8_t*>(Rows.data()), FWidth, FHeight, FWidth * 4};
    std::string Bytes;
    try {
        Bytes = EncodePngPixels(Picture);
    } catch (const EPngError& Error) {
        throw ECanvasError(FormatMessageText(GetText(TTextSlot::CanvasWriteError), Error.what()));
    }
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
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
