#pragma once

#include "capture/forward.h"
#include "core/object.h"
#include "render/output_settings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPixels;
class TMediaStreamWriter;
struct TPixelView;

// Puts Bitmap into a black BGRA frame of FrameWidth x FrameHeight (top row
// first): the picture sits at the top-left corner, cut where it is larger,
// the rest stays black. Frame is resized to fit.
void PlaceInFrame(const TPixelView& Bitmap, int32_t FrameWidth, int32_t FrameHeight,
                  std::vector<uint8_t>& Frame);

// Turns a series of pictures (the frames of an animation) into a Windows
// Media video file, one picture per frame at the settings' rate, without
// sound. The file is complete only after Finish; a saver destroyed without
// it deletes what it wrote.
//
//   TFrameSaver Saver("/home/ann/Videos/clouds.wmv", Settings);
//   for (...) Saver.AddBitmap(Snapshot);
//   Saver.Finish(); // raises when the file cannot be completed
class TFrameSaver : public TObject {
public:
    // Raises EMediaError when the file or its encoder cannot be made.
    TFrameSaver(const std::string& FileName, const TOutputSettings& OutputSettings);
    ~TFrameSaver() override;
    TFrameSaver(const TFrameSaver&) = delete;
    TFrameSaver& operator=(const TFrameSaver&) = delete;

    std::string_view ClassName() const override { return "TFrameSaver"; }

    void AddBitmap(const TPixels& Bitmap);
    // A JPEG (or any other picture file) as the next frame.
    void AddJpeg(const std::string& FileName);
    void Finish();

    int32_t FrameCount() const { return FCount; }
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    double FramesPerSecond() const { return FRate; }

private:
    void AddView(const TPixelView& Bitmap);

    std::unique_ptr<TMediaStreamWriter> FWriter;
    std::vector<uint8_t> FFrame;
    int32_t FCount = 0;
    int32_t FWidth = 0, FHeight = 0;
    double FRate = 25;
};
