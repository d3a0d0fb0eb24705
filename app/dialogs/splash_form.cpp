#include "app/dialogs/splash_form.h"

#include "app/dialogs/artwork.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget_window.h"

TSplashForm::TSplashForm(TWindowSystem& System, TNativeWindow* Owner) : FPicture(SplashWidth, SplashHeight) {
    PaintSplashPicture(FPicture);
    SetBounds(TRect::FromSize(0, 0, SplashWidth, SplashHeight));
    TRect Work = System.DesktopWorkArea();
    TWindowOptions Options;
    Options.Kind = TWindowKind::Splash;
    Options.Bounds = TRect::FromSize(Work.Left + (Work.Width() - SplashWidth) / 2,
                                     Work.Top + (Work.Height() - SplashHeight) / 2, SplashWidth, SplashHeight);
    Options.Owner = Owner;
    Options.IsResizable = false;
    FWindow = std::make_unique<TWidgetWindow>(System, *this, Options);
    FWindow->Show(TActivate::No);
}

TSplashForm::~TSplashForm() {
    FWindow.reset();
}

void TSplashForm::Paint(TPixels& Pixels) {
    Pixels.CopyFrom(0, 0, FPicture);
}
