// One window with every control of the toolkit in the skin, for looking at
// them by hand or under Xvfb: push buttons (normal, default, disabled, one
// that opens a pop-up), check boxes, an edit box, a local edit, the memo,
// the lookup combo box, a scrolling widget whose content is larger than
// itself, flat gadgets, number fields with up-downs (decimal, percent,
// hexadecimal, a wrapping hue), a bare up-down and the colour chooser. A
// second window holds the five docks of a main window with tool bars and
// tool boxes to drag between them, one floating. Clicks are printed as they
// happen. Escape or closing the window ends it.
//
//   widget_gallery [--quit-after MILLISECONDS]

#include "canvas/text_attr.h"
#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/factory_list.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/color_chooser.h"
#include "toolkit/controls/command_button.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/controls/lookup_combo_box.h"
#include "toolkit/controls/memo_control.h"
#include "toolkit/controls/up_down.h"
#include "toolkit/controls/up_down_edit.h"
#include "toolkit/design/design_strip.h"
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/flat_gadget.h"
#include "toolkit/widgets/popup_widget.h"
#include "toolkit/widgets/scrolling_widget.h"
#include "toolkit/widgets/widget.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int32_t Width = 600;
constexpr int32_t Height = 500;

// Ends the loop when the desktop asks the program to quit (SIGTERM, a
// session ending).
struct TQuitListener : TWindowListener {
    TWindowSystem* System = nullptr;
    void HandleEvent(const TEvent& Event) override {
        if (std::holds_alternative<TQuitEvent>(Event))
            System->Terminate();
    }
};

void Say(const std::string& Text) {
    std::printf("%s\n", Text.c_str());
    std::fflush(stdout);
}

// The window's face with a heading over each group of controls.
class TGalleryRoot : public TWidget {
public:
    struct THeading {
        int32_t X, Y;
        std::string Text;
    };
    std::vector<THeading> Headings;

    void Paint(TPixels& Pixels) override {
        TTextAttr Bold = SkinColors().MessageFont;
        Bold.Bold = true;
        for (const THeading& Heading : Headings)
            Pixels.DrawText(Heading.X, Heading.Y, TSmooth::Yes, SkinColors().TextColor, Bold, Heading.Text);
    }
};

// A grid of numbered cells 40 x 24 pixels, 16 columns by 20 rows, larger
// than the widget: the bars, the wheel and the middle button move it.
class TCellGrid : public TScrollingWidget {
public:
    static constexpr int32_t CellWidth = 40, CellHeight = 24, Columns = 16, Rows = 20;

    TCellGrid() {
        SetBackground(TWidgetBackground::None);
        SetHasEdge(true);
    }

    void Layout() override {
        TRect Client = ClientRect();
        SetScrollInfo(TScrollBarKind::Horizontal, HorzScrollBar().Position(), Columns * CellWidth, Client.Width());
        SetScrollInfo(TScrollBarKind::Vertical, VertScrollBar().Position(), Rows * CellHeight, Client.Height());
    }

    void Paint(TPixels& Pixels) override {
        const TSkinColors& Colors = SkinColors();
        TRect Client = ClientRect();
        Pixels.FillRect({0, 0, Client.Width(), Client.Height()}, SystemColors().Window);
        int32_t Left = HorzScrollBar().Position(), Top = VertScrollBar().Position();
        for (int32_t Row = 0; Row < Rows; ++Row)
            for (int32_t Column = 0; Column < Columns; ++Column) {
                TRect Cell = TRect::FromSize(Column * CellWidth - Left, Row * CellHeight - Top, CellWidth, CellHeight);
                if (!Cell.Intersects({0, 0, Client.Width(), Client.Height()}))
                    continue;
                if ((Row + Column) % 2)
                    Pixels.FillRect(Cell, MixColors(SystemColors().Window, Colors.FaceColor, 160));
                std::string Label = std::string(1, char('A' + Column)) + std::to_string(Row + 1);
                Pixels.DrawText(Cell.Left + 6, Cell.Top + 5, TSmooth::Yes, Colors.TextColor, Colors.MessageFont, Label);
            }
    }

    void ScrollBy(int32_t /*DX*/, int32_t /*DY*/) override { Invalidate(); }
};

// A flat gadget with a small square, round or bar glyph.
class TGlyphGadget : public TFlatGadget {
public:
    enum class TGlyph : uint8_t { Square, Bars, Cross };
    TGlyph Glyph = TGlyph::Square;

    void Paint(TPixels& Pixels) override {
        TFlatGadget::Paint(Pixels);
        TColor Color = IsEnabledInTree() ? SkinColors().TextColor : SkinColors().DisabledTextColor;
        int32_t Shift = IsDown() && IsHot() ? 1 : 0;
        int32_t Cx = Width() / 2 + Shift, Cy = Height() / 2 + Shift;
        switch (Glyph) {
        case TGlyph::Square:
            Pixels.FrameRect({Cx - 5, Cy - 5, Cx + 5, Cy + 5}, Color);
            break;
        case TGlyph::Bars:
            for (int32_t Bar = -1; Bar <= 1; ++Bar)
                Pixels.FillRect({Cx - 6, Cy + Bar * 4 - 1, Cx + 6, Cy + Bar * 4 + 1}, Color);
            break;
        case TGlyph::Cross:
            Pixels.FillRect({Cx - 6, Cy - 1, Cx + 6, Cy + 1}, Color);
            Pixels.FillRect({Cx - 1, Cy - 6, Cx + 1, Cy + 6}, Color);
            break;
        }
    }
};

// A colour sample over a checkerboard, so that its opacity shows.
class TColorSample : public TWidget {
public:
    TColor Color = MakeColor(53, 132, 228, 192);

    void Paint(TPixels& Pixels) override {
        TRect Client = ClientRect();
        for (int32_t Y = 0; Y < Client.Height(); Y += 6)
            for (int32_t X = 0; X < Client.Width(); X += 6)
                Pixels.FillRect(TRect::FromSize(X, Y, 6, 6), (X / 6 + Y / 6) % 2 ? MakeColor(255, 255, 255)
                                                                                 : MakeColor(191, 191, 191));
        Pixels.BlendRect({0, 0, Client.Width(), Client.Height()}, Color);
        Pixels.FrameRect({0, 0, Client.Width(), Client.Height()}, SkinColors().ShadowColor);
    }
};

// A small form in a pop-up: a check box and OK and Cancel buttons.
class TGalleryPopup : public TPopupWidget {
public:
    TGalleryPopup() {
        SetBounds(TRect::FromSize(0, 0, 220, 96));
        auto& Option = Add<TCommonCheckBox>();
        Option.SetCaption("&Remember this choice");
        Option.SetBounds(TRect::FromSize(12, 12, 190, 20));
        auto& Ok = Add<TDialogButton>();
        Ok.SetCaption("OK");
        Ok.SetValue(TModalResult::Ok);
        Ok.SetDefault(true);
        Ok.SetBounds(TRect::FromSize(40, 52, 80, 25));
        auto& Cancel = Add<TDialogButton>();
        Cancel.SetCaption("Cancel");
        Cancel.SetValue(TModalResult::Cancel);
        Cancel.SetBounds(TRect::FromSize(128, 52, 80, 25));
    }
};

struct TGallery {
    TWindowSystem& System;
    TGalleryRoot Root;
    std::unique_ptr<TWidgetWindow> Window;

    explicit TGallery(TWindowSystem& WindowSystem) : System(WindowSystem) {
        auto Heading = [&](int32_t X, int32_t Y, std::string Text) {
            Root.Headings.push_back({X, Y, std::move(Text)});
        };
        auto Place = [](TWidget& Widget, int32_t X, int32_t Y, int32_t W, int32_t H) {
            Widget.SetBounds(TRect::FromSize(X, Y, W, H));
        };

        Heading(16, 12, "Buttons");
        auto& Normal = Root.Add<TCommonButton>();
        Normal.SetCaption("&Normal");
        Place(Normal, 16, 36, 96, 25);
        Normal.OnClick = [] { Say("clicked Normal"); };
        auto& Default = Root.Add<TDialogButton>();
        Default.SetCaption("&Default");
        Default.SetDefault(true);
        Place(Default, 120, 36, 96, 25);
        Default.OnClick = [] { Say("clicked Default"); };
        auto& Disabled = Root.Add<TCommonButton>();
        Disabled.SetCaption("Disabled");
        Disabled.SetEnabled(false);
        Place(Disabled, 16, 68, 96, 25);
        auto& Opener = Root.Add<TCommonButton>();
        Opener.SetCaption("&Pop-up...");
        Place(Opener, 120, 68, 96, 25);
        Opener.OnClick = [this, &Opener] {
            TGalleryPopup Popup;
            TRect At = Opener.ScreenRect();
            bool Accepted = Popup.Popup(System, At.Left, At.Bottom, &Opener);
            Say(Accepted ? "pop-up accepted" : "pop-up cancelled");
        };

        Heading(16, 108, "Check boxes");
        auto& Checked = Root.Add<TCommonCheckBox>();
        Checked.SetCaption("&Checked");
        Checked.SetChecked(true);
        Place(Checked, 16, 132, 96, 20);
        auto& Unchecked = Root.Add<TCommonCheckBox>();
        Unchecked.SetCaption("&Unchecked");
        Place(Unchecked, 120, 132, 110, 20);
        auto& Greyed = Root.Add<TCommonCheckBox>();
        Greyed.SetCaption("Disabled");
        Greyed.SetChecked(true);
        Greyed.SetEnabled(false);
        Place(Greyed, 16, 156, 96, 20);

        Heading(16, 192, "Edit boxes");
        auto& Edit = Root.Add<TEditControl>();
        Edit.SetText("Edit me");
        Place(Edit, 16, 216, 200, Edit.DefaultHeight());
        auto& Local = Root.Add<TLocalEdit>();
        Local.SetText("Centred");
        Place(Local, 16, 216 + Edit.DefaultHeight() + 8, 200, Local.DefaultHeight());

        Heading(16, 290, "Combo box");
        auto& Combo = Root.Add<TLookupComboBox>();
        Combo.SetItems({"320 x 240", "640 x 480", "720 x 576", "1280 x 720", "1920 x 1080"});
        Combo.SetItemIndex(1);
        Place(Combo, 16, 314, 200, Combo.DefaultHeight());
        Combo.OnChange = [&Combo] { Say("combo " + Combo.Text()); };

        Heading(260, 12, "Memo");
        auto& Memo = Root.Add<TMemoControl>();
        Memo.SetText("A memo holds several lines.\nEnter starts a new one;\nthe arrows move by lines.");
        Place(Memo, 260, 36, 320, 76);

        Heading(260, 128, "Scrolling widget");
        Place(Root.Add<TCellGrid>(), 260, 152, 320, 150);

        Heading(260, 318, "Flat gadgets");
        TGlyphGadget::TGlyph Glyphs[] = {TGlyphGadget::TGlyph::Square, TGlyphGadget::TGlyph::Bars,
                                         TGlyphGadget::TGlyph::Cross, TGlyphGadget::TGlyph::Square};
        for (int32_t Index = 0; Index < 4; ++Index) {
            auto& Gadget = Root.Add<TGlyphGadget>();
            Gadget.Glyph = Glyphs[Index];
            Place(Gadget, 260 + Index * 28, 342, 26, 26);
            Gadget.OnClick = [Index] { Say("gadget " + std::to_string(Index)); };
            if (Index == 2)
                Gadget.SetChecked(true);
            if (Index == 3)
                Gadget.SetEnabled(false);
        }

        Heading(16, 386, "Number fields");
        auto Field = [&](int32_t X, int32_t Y, int32_t Min, int32_t Max, int32_t Value, TUpDownDisplay Display,
                         const char* Name) -> TUpDownEdit& {
            auto& Number = Root.Add<TUpDownEdit>();
            Number.SetLimits(Min, Max);
            Number.SetValue(Value);
            Number.SetDisplay(Display);
            int32_t W = 0, H = 0;
            Number.GetDefaultSize(W, H);
            Place(Number, X, Y, std::max(W, 72), H + 4);
            Number.OnChange = [&Number, Name] { Say(std::string(Name) + " " + Number.Text()); };
            return Number;
        };
        Field(16, 410, -1000, 1000, 250, TUpDownDisplay::Decimal, "decimal");
        Field(100, 410, -100, 100, 50, TUpDownDisplay::Percent, "percent");
        Field(184, 410, 0, 255, 31, TUpDownDisplay::Hexadecimal, "hex");
        Field(16, 444, 0, 255, 43, TUpDownDisplay::Decimal, "hue").SetWrapping(true);
        auto& Spin = Root.Add<TUpDown>();
        int32_t SpinWidth = 0, SpinHeight = 0;
        Spin.GetDefaultSize(SpinWidth, SpinHeight);
        Place(Spin, 100, 444, std::max(SpinWidth, 16), std::max(SpinHeight, 40));
        Spin.OnStep = [](int32_t Count) { Say("up-down " + std::to_string(Count)); };

        Heading(260, 386, "Colour chooser");
        auto& Sample = Root.Add<TColorSample>();
        Place(Sample, 260, 410, 48, 25);
        auto& Choose = Root.Add<TCommonButton>();
        Choose.SetCaption("C&olour...");
        Place(Choose, 316, 410, 96, 25);
        Choose.OnClick = [this, &Choose, &Sample] {
            TColorChooser Chooser;
            Chooser.SetColor(Sample.Color);
            Chooser.OnChange = [&] {
                Sample.Color = Chooser.Color();
                Sample.Invalidate();
            };
            TColor Before = Sample.Color;
            TRect At = Choose.ScreenRect();
            bool Accepted = Chooser.PopupAt(System, At.Left, At.Bottom, &Choose);
            if (!Accepted)
                Sample.Color = Before;
            Sample.Invalidate();
            Say(Accepted ? "colour accepted" : "colour cancelled");
        };

        Window = std::make_unique<TWidgetWindow>(
            System, Root,
            TWindowOptions{.Title = "Quillmoor widget gallery", .Bounds = TRect::FromSize(0, 0, Width, Height)});
        Normal.SetFocus();
    }
};

// Tool buttons made by the gallery's factory.
class TGalleryButtonFactory : public TFlatGadgetFactory {
public:
    explicit TGalleryButtonFactory(std::string_view Id) : TFlatGadgetFactory(nullptr, Id, Id, {}, {}) {
        SetControlClass(TToolButton::Class);
    }
};

// The docks of a main window: a tool bar of buttons, a separator and a
// label in the top dock, a bar of value gadgets in the bottom dock, a
// vertical bar on the left and a floating tool box; a button that shows a
// box of an association as a pop-up; and a small designer host showing the
// label's design strip.
struct TDockGallery {
    TCommandList Commands; // outlives the buttons that follow its commands
    TToolBoxAssociation Association{29, "Gallery", false};
    TDockHost Host;
    std::unique_ptr<TWidgetWindow> Window;
    TWidget DesignHost;
    std::unique_ptr<TWidgetWindow> DesignWindow;
    TToolBarFactory* BarFactory;
    TGalleryButtonFactory* ButtonFactory;
    TLabelGadgetFactory* LabelFactory;
    TToolButton* PopupButton = nullptr;

    // Docks Control at the end of Bar (Position grows along the bar).
    template <class T>
    T& AddTo(TToolBar& Bar, std::unique_ptr<T> Control, TFactory* Factory, int32_t Position, int32_t W = 10,
             int32_t H = 10) {
        T& Result = *Control;
        const bool Vertical = Bar.Kind() == TToolBoxKind::Vertical;
        Bar.DockNew(std::move(Control), Factory,
                    TRect::FromSize(Vertical ? 0 : Position, Vertical ? Position : 0, W, H));
        return Result;
    }

    std::unique_ptr<TToolBar> Bar(std::string_view Caption) {
        std::unique_ptr<TControl> Made = BarFactory->CreateControl();
        std::unique_ptr<TToolBar> Result(static_cast<TToolBar*>(Made.release()));
        Result->SetCaption(Caption);
        return Result;
    }

    TToolButton& Button(TToolBar& Bar, const char* Id, const char* Caption, int32_t X) {
        auto* Command = new TCommand(Commands, nullptr, Id, Caption, Caption, "", {},
                                     MakeDelegate<&TDockGallery::Run>(this));
        auto& Result = AddTo(Bar, std::make_unique<TToolButton>(), ButtonFactory, X);
        Result.SetCommand(Command);
        return Result;
    }

    void Run(TCommand* Command, TObject*) {
        Say("command " + Command->Id());
        if (Command->Id() == "Gallery|Popup" && PopupButton) {
            const TRect At = PopupButton->ScreenRect();
            Say(Association.ShowAsPopup(At.Left, At.Bottom, nullptr) ? "pop-up accepted" : "pop-up cancelled");
        }
    }

    explicit TDockGallery(TWindowSystem& System) {
        BarFactory = new TToolBarFactory(FactoryList(), nullptr, "Tool bar", "Gallery|Bar");
        ButtonFactory = new TGalleryButtonFactory("Gallery|Button");
        Window = std::make_unique<TWidgetWindow>(
            System, Host,
            TWindowOptions{.Title = "Quillmoor docks", .Bounds = TRect::FromSize(Width + 20, 0, 640, 420)});
        DockList().SetSystem(&System);
        DockList().SetMainWindow(&Window->Native());

        auto Edit = Bar("Edit");
        Button(*Edit, "Gallery|Cut", "&Cut", 1000);
        Button(*Edit, "Gallery|Copy", "C&opy", 2000);
        Button(*Edit, "Gallery|Paste", "&Paste", 3000).Command()->SetEnabled(false);
        AddTo(*Edit, std::make_unique<TSeparator>(), nullptr, 4000);
        LabelFactory = new TLabelGadgetFactory(FactoryList(), nullptr, "Label", "Gallery|Label");
        auto& Label = AddTo(*Edit, std::make_unique<TLabelGadget>(), LabelFactory, 5000);
        Label.SetText("Label");
        PopupButton = &Button(*Edit, "Gallery|Popup", "Pop", 6000);
        Host.Top().DockNew(std::move(Edit), BarFactory, TRect::FromSize(0, 0, 100, 20));

        auto Values = Bar("Values");
        auto& Check = AddTo(*Values, std::make_unique<TCheckGadget>(), nullptr, 1000, 16, 16);
        Check.OnChange = [](TCheckGadget& Gadget) { Say(Gadget.IsChecked() ? "checked" : "unchecked"); };
        auto& Colour = AddTo(*Values, std::make_unique<TColorButton>(), nullptr, 2000, 24, 16);
        Colour.SetButtonColor(MakeColor(40, 120, 220, 160));
        auto& Slide = AddTo(*Values, std::make_unique<TSlideBar>(), nullptr, 3000, 96, 14);
        Slide.SetRange(40, -100, 100);
        Slide.OnChange = [](TSlideBar&, int32_t Position) { Say("slide " + std::to_string(Position)); };
        Host.Bottom().DockNew(std::move(Values), BarFactory, TRect::FromSize(0, -20, 100, 20));

        auto Side = Bar("Side");
        Side->SetKind(TToolBoxKind::Vertical);
        Button(*Side, "Gallery|Up", "Up", 1000);
        Button(*Side, "Gallery|Down", "Dn", 2000);
        Host.Left().DockNew(std::move(Side), BarFactory, TRect::FromSize(0, 0, 20, 100));

        auto Floating = Bar("Floating");
        Button(*Floating, "Gallery|Play", "Play", 1000);
        Button(*Floating, "Gallery|Stop", "Stop", 2000);
        DockList().Float(std::move(Floating), TRect::FromSize(Width + 200, 200, 10, 10));

        auto Popped = Bar("Pop-up box");
        Button(*Popped, "Gallery|Red", "Red", 1000);
        Button(*Popped, "Gallery|Green", "Green", 2000);
        Button(*Popped, "Gallery|Blue", "Blue", 3000);
        auto& Shown = DockList().Float(std::move(Popped), TRect::FromSize(Width + 300, 300, 10, 10), TFloatShow::Hidden);
        static_cast<TToolBar&>(Shown).SetAssociation(&Association);

        DesignWindow = std::make_unique<TWidgetWindow>(
            System, DesignHost,
            TWindowOptions{.Title = "Design strip", .Bounds = TRect::FromSize(Width + 20, 460, 360, 80)});
        DesignHost.SetBounds({0, 0, 360, 80});
        LabelFactory->DesignSelect(Label, &DesignHost);
    }

    ~TDockGallery() {
        CloseDesignStrip(LabelGadgetDesignFrame());
        DockList().Clear();
        DockList().SetMainWindow(nullptr);
        DockList().SetSystem(nullptr);
    }
};

} // namespace

int main(int Count, char** Arguments) {
    int QuitAfter = 0;
    for (int Index = 1; Index + 1 < Count; ++Index)
        if (std::strcmp(Arguments[Index], "--quit-after") == 0)
            QuitAfter = std::atoi(Arguments[Index + 1]);
    try {
        auto System = CreateSdlWindowSystem(UiMessages());
        TQuitListener Quit;
        Quit.System = System.get();
        System->SetListener(&Quit);
        TGallery Gallery(*System);
        TDockGallery Docks(*System);
        bool IsClosed = false;
        Gallery.Window->SetShortcutHook([&](const TWidgetKeyEvent& Event) {
            if (Event.Key != KeyEscape)
                return false;
            IsClosed = true;
            return true;
        });
        Docks.Window->Show(TActivate::No);
        Docks.DesignWindow->Show(TActivate::No);
        // Floating boxes show and hide with the window they belong to.
        DockList().ShowFloating(true);
        Gallery.Window->Show(TActivate::Yes);
        if (QuitAfter > 0)
            System->StartTimer(std::chrono::milliseconds(QuitAfter), TTimerRepeat::Once, [&] { IsClosed = true; });
        Say("ready");
        System->RunLoop([&] { return IsClosed || !Gallery.Window->Native().IsVisible(); });
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "widget_gallery: %s\n", Error.what());
        return 1;
    }
    return 0;
}
