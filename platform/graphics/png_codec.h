#pragma once

#include "core/geometry.h"
#include "platform/graphics/pixel_view.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// The program's one PNG codec, on libpng's simplified interface, which keeps
// its long jumps inside itself and reports by return value, so nothing
// unwinds through the library. Whatever a file's colour type, bit depth or
// palette, its pixels come out as 8-bit sRGB BGRA with straight alpha,
// opaque where the picture has no alpha. Every caller (the canvas's bitmap
// files, the catalogue's thumbnail caches, the picture files of the engine)
// turns EPngError into its own exception.
//
// Reading takes two steps, so that pixel memory is taken only for a picture
// whose header has been read and found within the caller's limit:
//
//   TPngReader Reader(Bytes, {4096, 4096});   // raises EPngError
//   TVideoFrame Picture(Reader.Size().Width, Reader.Size().Height);
//   Reader.Read(Picture.View());

enum class TPngFault {
    Damaged,    // not a PNG, or its data is broken or cut short
    TooLarge,   // the header claims a picture beyond the reader's limit
    CannotWrite // libpng refused to encode the picture
};

// A PNG that cannot be read or written. The message is libpng's own reason,
// or "no data" / "picture size out of range" / "empty picture" for the
// faults the codec finds itself.
class EPngError : public std::runtime_error {
public:
    EPngError(TPngFault Fault, const std::string& Reason) : std::runtime_error(Reason), FFault(Fault) {}
    TPngFault Fault() const { return FFault; }

private:
    TPngFault FFault;
};

// The largest picture a reader accepts: at most Width x Height and at most
// Pixels pixels in all.
struct TPngLimit {
    int64_t Width = 0;
    int64_t Height = 0;
    int64_t Pixels = std::numeric_limits<int64_t>::max();
};

// For readers that only want the header's size and take no pixel memory.
inline constexpr TPngLimit NoPngLimit{std::numeric_limits<int64_t>::max(),
                                      std::numeric_limits<int64_t>::max()};

struct TPngImage; // libpng's state, kept out of this header

class TPngReader {
public:
    // Reads the header of the PNG in Bytes, which must stay valid while the
    // reader lives. Raises EPngError: Damaged (also for no bytes at all), or
    // TooLarge for a picture beyond Limit or of no pixels.
    TPngReader(std::string_view Bytes, const TPngLimit& Limit);
    // Refused: the reader would keep a view of bytes that die at once.
    TPngReader(std::string&& Bytes, const TPngLimit& Limit) = delete;
    // The same, reading from File at its current position; File must stay
    // open while the reader lives.
    TPngReader(std::FILE* File, const TPngLimit& Limit);
    ~TPngReader();
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    TSize Size() const { return FSize; }

    // Decodes the pixels into Target, which must be Size() big. Any stride
    // is taken: a negative one fills a raster stored bottom-up. Raises
    // EPngError (Damaged); Target's pixels are then undefined. A reader reads
    // once.
    void Read(const TPixelView& Target);

private:
    std::unique_ptr<TPngImage> FImage;
    TSize FSize;

    void CheckSize(const TPngLimit& Limit);
};

// Encodes Picture (straight-alpha BGRA, top-down or bottom-up after its
// stride) as PNG; only reads the pixels. Raises EPngError (CannotWrite) with
// libpng's reason, or "empty picture".
std::string EncodePngPixels(const TPixelView& Picture);

// Whether the PNG in File is an animation (an APNG): an "acTL" chunk before
// the first picture data. Reads from the start of File, which stays open.
// Anything that cannot be read counts as no animation.
bool IsAnimatedPng(std::FILE* File);
