#include "toolkit/design/design_strip.h"

#include "canvas/text_attr.h"
#include "core/text_table.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

namespace {

constexpr int32_t Gap = 6;
constexpr int32_t EditWidth = 96;

// Where each strip lives while it is not shown in a host: made on first
// use, owned here while closed and by its host while shown.
template <class T>
struct TStripHolder {
    std::unique_ptr<T> Closed;
    TWeakPtr<T> Strip;
    TWidget* Host = nullptr;

    T& Get() {
        if (Strip.IsExpired()) {
            // First use, or its host went with it.
            Closed = std::make_unique<T>();
            Strip = TWeakPtr(Closed.get());
            Host = nullptr;
        }
        return *Strip;
    }
};

TStripHolder<TSeparatorDesignFrame>& SeparatorHolder() {
    // The mouse handler a closed strip forgets itself in at exit must be
    // made first, so that it goes last.
    MouseHandler();
    static TStripHolder<TSeparatorDesignFrame> Holder;
    return Holder;
}

TStripHolder<TLabelGadgetDesignFrame>& LabelHolder() {
    // The mouse handler a closed strip forgets itself in at exit must be
    // made first, so that it goes last.
    MouseHandler();
    static TStripHolder<TLabelGadgetDesignFrame> Holder;
    return Holder;
}

template <class F>
void WithHolder(const TDesignStrip& Strip, F&& Do) {
    if (&Strip == SeparatorHolder().Strip.Get())
        Do(SeparatorHolder());
    else if (&Strip == LabelHolder().Strip.Get())
        Do(LabelHolder());
}

std::string SizeText(const TSeparator& Separator) {
    return std::to_string(Separator.Size()) + (Separator.SizeIsPercent() ? "%" : "");
}

} // namespace

// ---- TDesignStrip

TDesignStrip::TDesignStrip(std::string Caption) : FCaption(std::move(Caption)) {
    FEdit = &Add<TEditControl>();
    FEdit->OnChange = [this] {
        if (!FShowing)
            Edited();
    };
    SetBounds({0, 0, 240, StripHeight});
}

void TDesignStrip::ShowText(std::string_view Text) {
    FShowing = true;
    FEdit->SetText(Text);
    FShowing = false;
}

void TDesignStrip::Layout() {
    TTextInfo Info;
    MeasureText(FCaption, SkinColors().MessageFont, TTextMode::Plain, Info);
    const int32_t EditHeight = std::min(FEdit->DefaultHeight(), Height());
    FEdit->SetBounds(TRect::FromSize(Gap + Info.Width + Gap, (Height() - EditHeight) / 2, EditWidth, EditHeight));
}

void TDesignStrip::Paint(TPixels& Pixels) {
    Pixels.FillRect({0, 0, Width(), Height()}, SkinColors().FaceColor);
    // A line along the top parts the strip from the designer above it.
    Pixels.PixelOp({0, 0, Width(), 1}, MakeColor(0, 0, 0), ShadowOp, 64);
    TTextInfo Info;
    MeasureText(FCaption, SkinColors().MessageFont, TTextMode::Plain, Info);
    Pixels.DrawText(Gap, (Height() - Info.TotalHeight) / 2, TSmooth::Yes, AlphaColor(SkinColors().TextColor, 255),
                    SkinColors().MessageFont, FCaption);
}

// ---- TSeparatorDesignFrame

TSeparatorDesignFrame::TSeparatorDesignFrame() : TDesignStrip(GetText(TTextSlot::DesignStripSeparatorSize)) {}

void TSeparatorDesignFrame::Bind(TSeparator* Separator) {
    FSeparator = TWeakPtr(Separator);
    ShowText(Separator ? SizeText(*Separator) : "");
}

TSeparator* TSeparatorDesignFrame::Bound() const { return FSeparator.Get(); }

void TSeparatorDesignFrame::Edited() {
    int32_t Size = 0;
    bool IsPercent = false;
    if (!ParseSeparatorSize(EditBox().Text(), Size, IsPercent))
        return;
    TSeparator* Separator = Bound();
    if (!Separator)
        return;
    Separator->SetSize(Size, IsPercent);
    // The clamped values are what new separators start with.
    TSeparator::DefaultSize = Separator->Size();
    TSeparator::DefaultSizeIsPercent = Separator->SizeIsPercent();
}

// ---- TLabelGadgetDesignFrame

TLabelGadgetDesignFrame::TLabelGadgetDesignFrame() : TDesignStrip(GetText(TTextSlot::DesignStripLabelText)) {}

void TLabelGadgetDesignFrame::Bind(TLabelGadget* Label) {
    FLabel = TWeakPtr(Label);
    ShowText(Label ? Label->Text() : "");
}

TLabelGadget* TLabelGadgetDesignFrame::Bound() const { return FLabel.Get(); }

void TLabelGadgetDesignFrame::Edited() {
    if (TLabelGadget* Label = Bound())
        Label->SetText(EditBox().Text());
}

// ---- showing and closing

TSeparatorDesignFrame& SeparatorDesignFrame() { return SeparatorHolder().Get(); }

TLabelGadgetDesignFrame& LabelGadgetDesignFrame() { return LabelHolder().Get(); }

void ShowDesignStrip(TDesignStrip& Strip, TWidget& Host) {
    WithHolder(Strip, [&](auto& Holder) {
        if (Holder.Host != &Host) {
            std::unique_ptr<TWidget> Owned;
            if (Holder.Closed)
                Owned = std::move(Holder.Closed);
            else if (Holder.Host)
                Owned = Holder.Host->RemoveChild(Strip);
            Host.AddChild(std::move(Owned));
            Holder.Host = &Host;
        }
        const TRect Client = Host.ClientRect();
        Strip.SetBounds({0, Client.Height() - TDesignStrip::StripHeight, Client.Width(), Client.Height()});
        Strip.SetVisible(true);
    });
}

void CloseDesignStrip(TDesignStrip& Strip) {
    WithHolder(Strip, [&](auto& Holder) {
        Holder.Strip->Bind(nullptr);
        Strip.SetVisible(false);
        if (Holder.Host) {
            std::unique_ptr<TWidget> Owned = Holder.Host->RemoveChild(Strip);
            Holder.Closed.reset(static_cast<std::remove_reference_t<decltype(*Holder.Strip)>*>(Owned.release()));
            Holder.Host = nullptr;
        }
    });
}

TWidget* DesignStripHost(const TDesignStrip& Strip) {
    TWidget* Result = nullptr;
    WithHolder(Strip, [&](auto& Holder) { Result = Holder.Strip.IsExpired() ? nullptr : Holder.Host; });
    return Result;
}

// ---- factories

TSeparatorFactory::TSeparatorFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                                     std::string_view Id, TSeparatorKind Kind)
    : TGadgetFactory(List, Category, Name, Id, {}, {}), FKind(Kind) {
    SetControlClass(TSeparator::Class);
}

void TSeparatorFactory::InitControl(TControl& Control) {
    TGadgetFactory::InitControl(Control);
    // Setting the kind resizes the separator to its default size around
    // its centre.
    if (auto* Separator = dynamic_cast<TSeparator*>(&Control))
        Separator->SetKind(FKind);
}

void TSeparatorFactory::DesignSelect(TControl& Control, TControl* Host) {
    auto* Separator = dynamic_cast<TSeparator*>(&Control);
    auto* HostWidget = dynamic_cast<TWidget*>(Host);
    if (!Separator || !HostWidget)
        return;
    TSeparatorDesignFrame& Strip = SeparatorDesignFrame();
    Strip.Bind(Separator);
    ShowDesignStrip(Strip, *HostWidget);
}

void TSeparatorFactory::DesignDeselect(TControl* /*Host*/) { CloseDesignStrip(SeparatorDesignFrame()); }

TLabelGadgetFactory::TLabelGadgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                                         std::string_view Id)
    : TGadgetFactory(List, Category, Name, Id, {}, {}) {
    SetControlClass(TLabelGadget::Class);
}

void TLabelGadgetFactory::DesignSelect(TControl& Control, TControl* Host) {
    auto* Label = dynamic_cast<TLabelGadget*>(&Control);
    auto* HostWidget = dynamic_cast<TWidget*>(Host);
    if (!Label || !HostWidget)
        return;
    TLabelGadgetDesignFrame& Strip = LabelGadgetDesignFrame();
    Strip.Bind(Label);
    ShowDesignStrip(Strip, *HostWidget);
}

void TLabelGadgetFactory::DesignDeselect(TControl* /*Host*/) { CloseDesignStrip(LabelGadgetDesignFrame()); }
