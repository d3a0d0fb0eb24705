#include "platform/media/png_bytes.h"

#include "platform/graphics/png_codec.h"
#include "platform/media/media_error.h"
#include "platform/media/video_frame.h"

std::string EncodePng(const TVideoFrame& Picture) {
    if (Picture.IsEmpty())
        RaiseMediaError("PNG", "empty picture");
    // The codec only reads through the view.
    TPixelView View{const_cast<uint8_t*>(Picture.Data()), Picture.Width(), Picture.Height(),
                    Picture.Stride()};
    try {
        return EncodePngPixels(View);
    } catch (const EPngError& Error) {
        RaiseMediaError("PNG", Error.what());
    }
}

TVideoFrame DecodePng(std::string_view Bytes, TSize Limit) {
    try {
        TPngReader Reader(Bytes, {Limit.Width, Limit.Height});
        TVideoFrame Picture(Reader.Size().Width, Reader.Size().Height);
        Reader.Read(Picture.View());
        return Picture;
    } catch (const EPngError& Error) {
        RaiseMediaError("PNG", Error.what());
    }
}
