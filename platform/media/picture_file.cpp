#include "platform/media/picture_file.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/graphics/png_codec.h"
#include "platform/media/av_picture_input.h"
#include "platform/media/media_error.h"
#include "platform/media/picture_resize.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

constexpr int64_t MaxPicturePixels = int64_t(128) << 20;
constexpr int64_t MaxPictureSide = 65535;

struct TFileCloser {
    void operator()(FILE* File) const { std::fclose(File); }
};
using TFilePtr = std::unique_ptr<FILE, TFileCloser>;

TFilePtr OpenForReading(const std::string& FileName) {
    TFilePtr File(std::fopen(FileName.c_str(), "rb"));
    if (!File)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(errno));
    return File;
}

[[noreturn]] void RaisePictureError(const std::string& FileName, const std::string& Reason) {
    RaiseMediaError(FormatMessageText(GetText(TTextSlot::CannotOpenMedia), FileName), Reason);
}

bool HasMetafileExtension(const std::string& FileName) {
    size_t Dot = FileName.find_last_of("./");
    if (Dot == std::string::npos || FileName[Dot] != '.')
        return false;
    std::string Extension = UpperCaseAscii(FileName.substr(Dot));
    return Extension == ".WMF" || Extension == ".EMF";
}

// The size a picture may be reduced to: the smallest of its shape that
// still covers Enough in both directions.
TSize ReducedSize(int32_t Width, int32_t Height, TSize Enough) {
    if (Enough.Width <= 0 || Enough.Height <= 0 || Width <= 0 || Height <= 0)
        return {Width, Height};
    double Scale = std::max(double(Enough.Width) / Width, double(Enough.Height) / Height);
    // Small reductions are not worth the softening they bring.
    if (Scale >= 0.8)
        return {Width, Height};
    return {std::max(1, int32_t(std::ceil(Width * Scale))),
            std::max(1, int32_t(std::ceil(Height * Scale)))};
}

void Reduce(TLoadedPicture& Loaded, TSize Enough) {
    TSize Target = ReducedSize(Loaded.Picture.Width(), Loaded.Picture.Height(), Enough);
    if (Target.Width < Loaded.Picture.Width())
        Loaded.Picture = ResizePicture(Loaded.Picture, Target.Width, Target.Height);
}

TLoadedPicture LoadPng(const std::string& FileName, TSize Enough) {
    TFilePtr File = OpenForReading(FileName);
    TLoadedPicture Loaded;
    try {
        TPngReader Reader(File.get(), {MaxPictureSide, MaxPictureSide, MaxPicturePixels});
        Loaded.FullWidth = Reader.Size().Width;
        Loaded.FullHeight = Reader.Size().Height;
        Loaded.Picture.Resize(Loaded.FullWidth, Loaded.FullHeight);
        Reader.Read(Loaded.Picture.View());
    } catch (const EPngError& Error) {
        RaisePictureError(FileName, Error.Fault() == TPngFault::TooLarge
                                        ? GetText(TTextSlot::PictureTooLarge)
                                        : std::string(Error.what()));
    }
    Reduce(Loaded, Enough);
    return Loaded;
}

// libjpeg reports errors by calling error_exit, which must not return: it
// jumps back into DecodeJpeg. Nothing with a destructor lives in that
// function's frame, and the buffer comes from a callback that cannot throw.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr Info) {
    auto* Error = reinterpret_cast<TJpegError*>(Info->err);
    (*Info->err->format_message)(Info, Error->Message);
    std::longjmp(Error->Jump, 1);
}

void JpegIgnoreMessage(j_common_ptr) {}

struct TJpegTarget {
    const std::string* FileName;
    TSize Enough;
    TLoadedPicture* Loaded;
    bool HeaderOnly = false; // the size is all that is wanted
    std::string Failure;     // set by Allocate when it fails
};

// Sizes the picture; nullptr (with Target.Failure set) when it cannot.
uint8_t* AllocateJpeg(TJpegTarget& Target, int32_t Width, int32_t Height) noexcept {
    try {
        CheckPictureSize(*Target.FileName, Width, Height);
        Target.Loaded->Picture.Resize(Width, Height);
        return Target.Loaded->Picture.Data();
    } catch (const std::bad_alloc&) {
        Target.Failure = FormatMessageText(GetText(TTextSlot::CannotOpenMedia), *Target.FileName) +
                         ": " + GetText(TTextSlot::PictureTooLarge);
    } catch (const std::exception& Error) {
        Target.Failure = Error.what();
    }
    return nullptr;
}

// Adobe writes CMYK inverted (0 is full ink); others write it plain.
void CmykToBgra(uint8_t* Row, int32_t Width, bool Inverted) {
    for (int32_t X = 0; X < Width; ++X, Row += 4) {
        uint32_t C = Row[0], M = Row[1], Y = Row[2], K = Row[3];
        if (!Inverted) {
            C = 255 - C, M = 255 - M, Y = 255 - Y, K = 255 - K;
        }
        Row[0] = uint8_t(Y * K / 255);
        Row[1] = uint8_t(M * K / 255);
        Row[2] = uint8_t(C * K / 255);
        Row[3] = 255;
    }
}

bool DecodeJpeg(FILE* File, TJpegTarget& Target, char (&Message)[JMSG_LENGTH_MAX]) {
    jpeg_decompress_struct Info;
    TJpegError Error;
    Info.err = jpeg_std_error(&Error.Manager);
    Error.Manager.error_exit = JpegErrorExit;
    Error.Manager.output_message = JpegIgnoreMessage;
    Error.Message[0] = 0;
    if (setjmp(Error.Jump)) {
        jpeg_destroy_decompress(&Info);
        std::memcpy(Message, Error.Message, sizeof Message);
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_stdio_src(&Info, File);
    jpeg_read_header(&Info, TRUE);
    Target.Loaded->FullWidth = int32_t(Info.image_width);
    Target.Loaded->FullHeight = int32_t(Info.image_height);
    if (Target.HeaderOnly) {
        jpeg_destroy_decompress(&Info);
        return true;
    }
    TSize Needed =
        ReducedSize(int32_t(Info.image_width), int32_t(Info.image_height), Target.Enough);
    // libjpeg reduces by 1/2, 1/4 or 1/8 while decoding, far faster than
    // decoding whole and reducing after.
    Info.scale_num = 1;
    Info.scale_denom = 1;
    for (unsigned Denominator = 8; Denominator > 1; Denominator /= 2)
        if ((Info.image_width + Denominator - 1) / Denominator >= unsigned(Needed.Width) &&
            (Info.image_height + Denominator - 1) / Denominator >= unsigned(Needed.Height)) {
            Info.scale_denom = Denominator;
            break;
        }
    bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
    Info.out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&Info);
    uint8_t* Pixels = AllocateJpeg(Target, int32_t(Info.output_width), int32_t(Info.output_height));
    if (!Pixels) {
        jpeg_destroy_decompress(&Info);
        Message[0] = 0;
        return false;
    }
    size_t Stride = size_t(Info.output_width) * 4;
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = Pixels + size_t(Info.output_scanline) * Stride;
        if (jpeg_read_scanlines(&Info, &Row, 1) != 1)
            break;
        if (Cmyk)
            CmykToBgra(Row, int32_t(Info.output_width), Info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return true;
}

enum class TJpegRead { Whole, HeaderOnly };

TLoadedPicture LoadJpeg(const std::string& FileName, TSize Enough,
                        TJpegRead Read = TJpegRead::Whole) {
    bool HeaderOnly = Read == TJpegRead::HeaderOnly;
    TFilePtr File = OpenForReading(FileName);
    TLoadedPicture Loaded;
    TJpegTarget Target{&FileName, Enough, &Loaded, HeaderOnly, {}};
    char Message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(File.get(), Target, Message)) {
        if (!Target.Failure.empty())
            throw EMediaError(Target.Failure);
        RaisePictureError(FileName, Message);
    }
    if (!HeaderOnly)
        Reduce(Loaded, Enough);
    return Loaded;
}

TSize PngSize(const std::string& FileName) {
    TFilePtr File = OpenForReading(FileName);
    try {
        return TPngReader(File.get(), NoPngLimit).Size();
    } catch (const EPngError& Error) {
        RaisePictureError(FileName, Error.what());
    }
}

} // namespace

void CheckPictureSize(const std::string& FileName, int64_t Width, int64_t Height) {
    if (Width <= 0 || Height <= 0 || Width > MaxPictureSide || Height > MaxPictureSide ||
        Width * Height > MaxPicturePixels)
        RaisePictureError(FileName, GetText(TTextSlot::PictureTooLarge));
}

TPictureKind DetectPictureKind(const std::string& FileName) {
    if (HasMetafileExtension(FileName))
        return TPictureKind::Metafile;
    TFilePtr File(std::fopen(FileName.c_str(), "rb"));
    if (!File)
        return TPictureKind::Other;
    unsigned char Head[44] = {};
    size_t Read = std::fread(Head, 1, sizeof Head, File.get());
    static const unsigned char Png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (Read >= 8 && std::memcmp(Head, Png, 8) == 0)
        return TPictureKind::Png;
    if (Read >= 3 && Head[0] == 0xFF && Head[1] == 0xD8 && Head[2] == 0xFF)
        return TPictureKind::Jpeg;
    // A placeable metafile, a plain one (type 1 or 2, a header of 9 words),
    // or an enhanced one (its header record with " EMF" at byte 40).
    if (Read >= 4 && Head[0] == 0xD7 && Head[1] == 0xCD && Head[2] == 0xC6 && Head[3] == 0x9A)
        return TPictureKind::Metafile;
    if (Read >= 4 && (Head[0] == 1 || Head[0] == 2) && Head[1] == 0 && Head[2] == 9 && Head[3] == 0)
        return TPictureKind::Metafile;
    if (Read >= 44 && Head[0] == 1 && Head[1] == 0 && Head[2] == 0 && Head[3] == 0 &&
        std::memcmp(Head + 40, " EMF", 4) == 0)
        return TPictureKind::Metafile;
    return TPictureKind::Other;
}

bool IsAnimatedPng(const std::string& FileName) {
    TFilePtr File(std::fopen(FileName.c_str(), "rb"));
    return File && IsAnimatedPng(File.get());
}

TSize PictureHeaderSize(const std::string& FileName, TPictureKind Kind) {
    if (Kind == TPictureKind::Png)
        return PngSize(FileName);
    TLoadedPicture Header = LoadJpeg(FileName, {}, TJpegRead::HeaderOnly);
    return {Header.FullWidth, Header.FullHeight};
}

TLoadedPicture LoadPicture(const std::string& FileName, TSize Enough) {
    switch (DetectPictureKind(FileName)) {
    case TPictureKind::Png:
        return LoadPng(FileName, Enough);
    case TPictureKind::Jpeg:
        return LoadJpeg(FileName, Enough);
    case TPictureKind::Metafile:
        RaisePictureError(FileName, GetText(TTextSlot::PictureKindNotSupported));
    case TPictureKind::Other:
        break;
    }
    TAvPictureInput Input(FileName);
    TLoadedPicture Loaded;
    Loaded.Picture = Input.DecodeFirst();
    Loaded.FullWidth = Loaded.Picture.Width();
    Loaded.FullHeight = Loaded.Picture.Height();
    Reduce(Loaded, Enough);
    return Loaded;
}

void WriteBmpFile(const std::string& FileName, const TVideoFrame& Picture) {
    auto Put16 = [](std::vector<uint8_t>& Out, uint32_t Value) {
        Out.push_back(uint8_t(Value));
        Out.push_back(uint8_t(Value >> 8));
    };
    auto Put32 = [&](std::vector<uint8_t>& Out, uint32_t Value) {
        Put16(Out, Value & 0xFFFF);
        Put16(Out, Value >> 16);
    };
    auto Width = uint32_t(Picture.Width()), Height = uint32_t(Picture.Height());
    uint32_t RowBytes = (Width * 3 + 3) & ~3u; // rows are padded to 4 bytes
    uint32_t DataBytes = RowBytes * Height;
    std::vector<uint8_t> Out;
    Out.reserve(54 + DataBytes);
    Out.push_back('B');
    Out.push_back('M');
    Put32(Out, 54 + DataBytes);
    Put32(Out, 0);
    Put32(Out, 54); // where the pixels begin
    Put32(Out, 40); // the classic information header
    Put32(Out, Width);
    Put32(Out, Height); // positive: rows bottom-up
    Put16(Out, 1);
    Put16(Out, 24);
    Put32(Out, 0); // uncompressed
    Put32(Out, DataBytes);
    Put32(Out, 2835); // 72 dots per inch
    Put32(Out, 2835);
    Put32(Out, 0);
    Put32(Out, 0);
    for (int32_t Y = Picture.Height() - 1; Y >= 0; --Y) {
        const uint8_t* Row = Picture.Row(Y);
        for (int32_t X = 0; X < Picture.Width(); ++X, Row += 4) {
            Out.push_back(Row[0]);
            Out.push_back(Row[1]);
            Out.push_back(Row[2]);
        }
        Out.resize(Out.size() + (RowBytes - Width * 3), 0);
    }
    std::FILE* File = std::fopen(FileName.c_str(), "wb");
    bool Written = File && std::fwrite(Out.data(), 1, Out.size(), File) == Out.size();
    int Error = errno;
    if (File && std::fclose(File) != 0 && Written) {
        Written = false;
        Error = errno;
    }
    if (!Written)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::CannotWriteMedia), FileName),
                        std::strerror(Error));
}
