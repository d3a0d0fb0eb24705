#include "capture/frame_saver.h"

#include "canvas/pixels.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/picture_file.h"
#include "platform/media/stream_writer.h"
#include "render/output_profile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void PlaceInFrame(const TPixelView& Bitmap, int32_t FrameWidth, int32_t FrameHeight,
                  std::vector<uint8_t>& Frame) {
    FrameWidth = std::clamp(FrameWidth, 1, 4096);
    FrameHeight = std::clamp(FrameHeight, 1, 4096);
    Frame.assign(size_t(FrameWidth) * size_t(FrameHeight) * 4, 0);
    for (size_t I = 3; I < Frame.size(); I += 4)
        Frame[I] = 255;
    if (Bitmap.IsEmpty())
        return;
    int32_t Rows = std::min(Bitmap.Height, FrameHeight);
    size_t Bytes = size_t(std::min(Bitmap.Width, FrameWidth)) * 4;
    for (int32_t Y = 0; Y < Rows; ++Y)
        std::memcpy(Frame.data() + size_t(Y) * size_t(FrameWidth) * 4, Bitmap.Row(Y), Bytes);
}

TFrameSaver::TFrameSaver(const std::string& FileName, const TOutputSettings& OutputSettings) {
    TOutputSettings Settings = OutputSettings;
    Settings.OutputFormat = TMediaOutputFormat::WindowsMediaVideo;
    TRenderFormats Formats;
    Formats.Video = Settings.Video;
    if (Formats.Video.Width <= 0 || Formats.Video.Height <= 0 || Formats.Video.FramesPerSecond <= 0)
        Formats.Video = {7, 320, 240, 25};
    TMediaWriterProfile Profile = MakeWriterProfile(Settings, Formats);
    Profile.WithAudio = false;
    TStreamWriterFormat Stream;
    Stream.Width = Formats.Video.Width;
    Stream.Height = Formats.Video.Height;
    Stream.FramesPerSecond = Formats.Video.FramesPerSecond;
    FWriter = std::make_unique<TMediaStreamWriter>(FileName, Profile, Stream);
    // The encoder's size, which may be even where the settings were odd.
    FWidth = FWriter->Width();
    FHeight = FWriter->Height();
    FRate = FWriter->FramesPerSecond();
}

TFrameSaver::~TFrameSaver() = default; // the writer deletes an unfinished file

void TFrameSaver::AddView(const TPixelView& Bitmap) {
    PlaceInFrame(Bitmap, FWidth, FHeight, FFrame);
    TPixelView Frame{FFrame.data(), FWidth, FHeight, FWidth * 4};
    auto Time = TVideoTime(std::llround(double(FCount) * 1e7 / FRate));
    FWriter->WriteVideo(Frame, Time);
    ++FCount;
}

void TFrameSaver::AddBitmap(const TPixels& Bitmap) {
    AddView(Bitmap.View());
}

void TFrameSaver::AddJpeg(const std::string& FileName) {
    TLoadedPicture Loaded = LoadPicture(FileName);
    AddView(Loaded.Picture.View());
}

void TFrameSaver::Finish() {
    FWriter->Finish();
}
