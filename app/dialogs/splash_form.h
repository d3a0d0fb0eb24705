#pragma once

#include "canvas/pixels.h"
#include "toolkit/widgets/widget.h"

#include <memory>

class TNativeWindow;
class TWidgetWindow;
class TWindowSystem;

// The picture shown while the program starts: a borderless window centred
// on the screen, exactly the size of the splash picture, above the main
// window. Destroying it takes it away.
//
//   auto Splash = std::make_unique<TSplashForm>(System, &Main.Window().Native());
//   ... start-up ...
//   Splash.reset();
class TSplashForm : public TWidget {
public:
    TSplashForm(TWindowSystem& System, TNativeWindow* Owner);
    ~TSplashForm() override;
    std::string_view ClassName() const override { return "TSplashForm"; }

    TWidgetWindow& FormWindow() const { return *FWindow; }
    void Paint(TPixels& Pixels) override;

private:
    TPixels FPicture;
    std::unique_ptr<TWidgetWindow> FWindow;
};
