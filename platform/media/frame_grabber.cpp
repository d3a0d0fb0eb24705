#include "platform/media/frame_grabber.h"

#include "platform/media/video_frame.h"

TRgbImage FrameToRgb24(const TVideoFrame& Frame) {
    TRgbImage Image;
    Image.Width = Frame.Width();
    Image.Height = Frame.Height();
    Image.Pixels.resize(size_t(Image.Width) * size_t(Image.Height) * 3);
    uint8_t* Out = Image.Pixels.data();
    for (int32_t Y = 0; Y < Frame.Height(); ++Y) {
        const uint8_t* In = Frame.Row(Y);
        for (int32_t X = 0; X < Frame.Width(); ++X, In += 4, Out += 3) {
            Out[0] = In[2];
            Out[1] = In[1];
            Out[2] = In[0];
        }
    }
    return Image;
}

void TFrameGrabber::Store(std::shared_ptr<const TVideoFrame> Frame) {
    std::lock_guard Guard(FLock);
    FLast = std::move(Frame);
}

bool TFrameGrabber::HasFrame() const {
    std::lock_guard Guard(FLock);
    return FLast != nullptr;
}

TRgbImage TFrameGrabber::Grab() const {
    std::shared_ptr<const TVideoFrame> Frame;
    {
        std::lock_guard Guard(FLock);
        Frame = FLast;
    }
    return Frame ? FrameToRgb24(*Frame) : TRgbImage{};
}
