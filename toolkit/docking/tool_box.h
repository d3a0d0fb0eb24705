#pragma once

#include "commands/command.h"
#include "core/changes.h"
#include "core/flag_set.h"
#include "platform/window/native_window.h"
#include "toolkit/docking/dock.h"
#include "toolkit/docking/stages.h"
#include "toolkit/widgets/popup_widget.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TToolBox;
class TToolBoxAssociation;

// The way a tool box lines up its items.
enum class TToolBoxKind : uint8_t { Horizontal, Vertical };

// The side of a tool box its title strip is on; stored as its number, where
// 4 and more mean none.
enum class TTitleAlign : uint8_t { Left, Top, Right, Bottom, None };

// How a floating box hangs on the main window along one axis.
enum class TAttachment : uint8_t {
    NearToNear, // its near edge keeps its distance to the main window's near edge
    NearToFar,  // its near edge keeps its distance to the main window's far edge
    FarToNear,  // its far edge keeps its distance to the main window's near edge
    FarToFar,   // its far edge keeps its distance to the main window's far edge
};

// A floating box's placement against the main window for one state of it:
// Delta holds the box's edges less the main window's edges.
struct TFloatPlacement {
    TRect Delta;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Valid = false;
};

// The title strip of a tool box (or its grip when it shows no title): a
// press makes the box customise-active, dragging it starts a docking drag,
// a double click toggles minimised.
class TNCTitle : public TNCGadget {
public:
    explicit TNCTitle(TToolBox& Box) : FBox(Box) {}
    int32_t TextIndent = 4;

    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    // Leaving with the button still held is the drag itself.
    void MouseLeave() override {
        if (!IsDown())
            FPressed = false;
    }
    void CaptureEnd() override { FPressed = false; }
    void Paint(TPixels& Pixels) override;

    // How far the mouse moves with the button held before a drag starts.
    static constexpr int32_t DragDistance = 4;

private:
    TToolBox& FBox;
    bool FPressed = false;
    TPoint FPressAt; // window coordinates
};

// The close button on the title strip: a click hides the box.
class TNCClose : public TNCGadget {
public:
    explicit TNCClose(TToolBox& Box) : FBox(Box) {}
    void MouseUp(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    TToolBox& FBox;
};

// The show/hide command every tool box owns; stored inside its box.
class TToolBoxCommand : public TCommand {
public:
    TToolBoxCommand(TCommandList& List, TToolBox& Box);
    std::string_view ClassName() const override { return "TToolBoxCommand"; }
    TToolBox& Box() const { return FBox; }
    bool IsStored() const override { return false; }
    void Execute(TObject* Sender) override;
    void Update() override;

private:
    TToolBox& FBox;
};

// A small panel of the workspace that holds buttons, separators, labels and
// other controls. It floats in a tool window of its own above the main
// window, sits in a border dock, or is shown on demand in a modal form or a
// pop-up when it belongs to an association. It draws its border, a title
// strip with a close button (or a grip), keeps its floating placement
// relative to the main window for the normal and maximised states, and is
// kept reachable on the desktop.
class TToolBox : public TDock {
public:
    static const TControlClass Class;
    static constexpr int32_t TitleSize = 14;
    static constexpr int32_t GripSize = 8;
    // Pixels of the grabbable title that stay on the desktop at least.
    static constexpr int32_t ReachableGrab = 8;

    using TStartDragHandler = std::function<void(TToolBox& Box, int32_t X, int32_t Y)>;

    TToolBox();
    ~TToolBox() override;
    std::string_view ClassName() const override { return "TToolBox"; }

    TToolBoxKind Kind() const { return FKind; }
    void SetKind(TToolBoxKind Kind);
    TTitleAlign TitleAlign() const { return FTitleAlign; }
    bool IsTitleWhenFloat() const { return FIsTitleWhenFloat; }
    bool IsTitleWhenDocked() const { return FIsTitleWhenDocked; }
    void SetTitleOptions(TTitleAlign Align, bool IsTitleWhenDocked, bool IsTitleWhenFloat);
    bool IsLocked() const { return FIsLocked; }
    void SetLocked(bool Locked);
    TToolBoxAssociation* Association() const { return FAssociation; }
    void SetAssociation(TToolBoxAssociation* Association);
    TToolBoxCommand& Command() const { return *FCommand; }
    TFactory* Factory() const { return FFactory; }
    void SetFactory(TFactory* Factory) { FFactory = Factory; }
    bool AltVisible() const { return FAltVisible; }
    TNCTitle& Title() const { return *FTitle; }
    TNCClose& CloseButton() const { return *FClose; }

    TFloatPlacement NormalPlacement;
    TFloatPlacement MaximizedPlacement;
    // Called when the user starts dragging the title strip, with the grab
    // point in window coordinates; without a handler a docking drag starts.
    TStartDragHandler OnStartDrag;
    std::function<void(TToolBox&)> OnCreated;

    void SetCaption(std::string_view Caption) override;
    void SetCustomizeActive(bool Value);
    bool IsCustomizeActive() const { return FIsCustomizeActive; }
    bool IsActive() const;
    // Hosted by a form or pop-up that is not a dock.
    bool IsHosted() const;

    virtual void ToggleMinimized() {}
    virtual void GetAttachment(TAttachment& Horz, TAttachment& Vert) const;
    // The grabbable part of a title strip: the close button's end cut off.
    virtual void GetGrabRect(TRect& Rect) const;
    virtual void OrientationChanged() {}
    virtual void ShowBox();
    virtual void CloseBox();
    virtual bool IsOpen() const;
    virtual void FitToMainWindow();
    void RefreshIsOpen();

    // The title (or grip) strip for a window of W x H; empty without one.
    TRect TitleRect(int32_t W, int32_t H) const;
    // Where a floating box of W x H goes: by its placement record against
    // the main window, then kept reachable on the desktop.
    TRect PlaceFloating(int32_t W, int32_t H);

    TRect NCMargins() const override;
    void LayoutNC(int32_t Width, int32_t Height) override;
    void PaintFrame(TPixels& Pixels) override;
    void LoadProps(TData& Data) override;
    void SaveProps(TData& Data) override;
    void ReadBack(uint32_t Mask) override;
    void Loaded() override;
    void BeginDesignItems() override;
    void EndDesignItems() override;
    // Swaps the stored visibility with the alternate layout's, unless the
    // box belongs to a dialog association.
    virtual void SwitchLayout();
    // What the window manager does at a point of a floating box's window.
    virtual THitTest HitTest(TPoint Point, uint16_t Modifiers) const;
    // Starts the docking drag of this box with the grab point in window
    // coordinates (the title's default).
    void StartDrag(int32_t X, int32_t Y);

protected:
    bool AcceptsKind(TWidget& Control) override;
    void ItemDocked(TDockItem& Item) override;
    void ItemUndocked(TWidget& Control, TFactory* Factory) override;
    void Floated() override;
    TRect FloatingRect(TSize Natural) override;
    void Apply(bool Preview) override;
    // Refreshes the frame and relayouts after an option changed.
    void OptionsChanged();
    // Whether a title strip shows now.
    bool ShowsTitle() const;

private:
    friend class TToolBoxes;
    // Relayouts the box's root dock when it awaits a relayout.
    void RelayoutIfAwaited();
    void StageChanged(TObject* Sender, TStageChangeFlags Flags);
    const TFloatPlacement* CurrentPlacement() const;
    TFloatPlacement* CurrentPlacementSlot();

    TToolBoxKind FKind = TToolBoxKind::Horizontal;
    TTitleAlign FTitleAlign = TTitleAlign::Top;
    bool FIsTitleWhenFloat = true;
    bool FIsTitleWhenDocked = true;
    bool FIsLocked = false;
    bool FIsCustomizeActive = false;
    bool FIsOpen = false;
    bool FAltVisible = true;
    TToolBoxAssociation* FAssociation = nullptr;
    TFactory* FFactory = nullptr;
    TToolBoxCommand* FCommand = nullptr; // owned; freed through its registry
    TNCTitle* FTitle = nullptr;
    TNCClose* FClose = nullptr;
};

// The changes the tool-box registry reports.
enum class TToolBoxChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TToolBoxChangeFlags> = true;
constexpr TToolBoxChangeFlags ToolBoxChangeCustomizeActive{0x1};
constexpr TToolBoxChangeFlags ToolBoxChangeCaption{0x2};
constexpr TToolBoxChangeFlags ToolBoxChangeShown{0x4};
constexpr TToolBoxChangeFlags ToolBoxChangeAssociation{0x100};
constexpr TToolBoxChangeFlags ToolBoxChangeKind{0x200};
constexpr TToolBoxChangeFlags ToolBoxChangeLock{0x400};
constexpr TToolBoxChangeFlags ToolBoxChangeIsOpen{0x800};
constexpr TToolBoxChangeFlags ToolBoxChangeCustomizing{0x10000};
constexpr TToolBoxChangeFlags ToolBoxChangeDocked{0x20000};
constexpr TToolBoxChangeFlags ToolBoxChangeRegistry{0xFF000000};
using TToolBoxChanges = TFlagChanges<TToolBoxChangeFlags>;

// A set of tool boxes shown together on demand: in a modal form
// (IsDialog) or as a pop-up.
class TToolBoxAssociation {
public:
    static constexpr int32_t MaxId = 31;

    TToolBoxAssociation(int32_t Id, std::string Name, bool IsDialog);
    ~TToolBoxAssociation();
    TToolBoxAssociation(const TToolBoxAssociation&) = delete;
    TToolBoxAssociation& operator=(const TToolBoxAssociation&) = delete;

    int32_t Id() const { return FId; }
    const std::string& Name() const { return FName; }
    bool IsDialog() const { return FIsDialog; }

    bool IsUsed() const;
    bool IsAnyOpen() const;
    void ShowAll();
    void HideAll();
    // Shows the first box of the association in a modal form until
    // Ctrl+Enter (Ok) or Escape (Cancel); Cancel at once without a box.
    TModalResult ShowAsDialog();
    // Shows the first box as a pop-up at (X, Y) next to Control; false
    // without a box.
    bool ShowAsPopup(int32_t X, int32_t Y, TWidget* Control);

private:
    TToolBox* FirstBox() const;
    // Takes Box out of wherever it is into Host, aligned to the client.
    void Host(TToolBox& Box, TWidget& Host);
    int32_t FId;
    std::string FName;
    bool FIsDialog;
    std::unique_ptr<TPopupWidget> FPopup;
};

// Every tool box and association, customise mode, and the notifier that
// reports their changes to the main window and the designer.
class TToolBoxes : public TObject {
public:
    TToolBoxes();
    ~TToolBoxes() override;
    std::string_view ClassName() const override { return "TToolBoxes"; }

    const std::vector<TToolBox*>& Boxes() const { return FBoxes; }
    void Add(TToolBox& Box);
    void Remove(TToolBox& Box);
    int32_t FindByCaption(std::string_view Caption) const;
    bool Customizing() const { return FCustomizing; }
    void SetCustomizing(bool Value);
    // Whether locked boxes may be dragged into border docks (customise mode).
    bool CustomizePermission() const { return FCustomizing; }
    TToolBoxAssociation* AssociationById(int32_t Id) const;
    TToolBoxChanges& Changes() { return FChanges; }
    // Every floating box follows the main window after it moved or resized.
    void FitAllToMainWindow();

private:
    friend class TToolBoxAssociation;
    std::vector<TToolBox*> FBoxes;
    std::array<TToolBoxAssociation*, TToolBoxAssociation::MaxId + 1> FTable{};
    bool FCustomizing = false;
    TToolBoxChanges FChanges{this};
};

TToolBoxes& ToolBoxes();

// The factory of tool boxes: every box it makes gets its start-drag and
// created handlers.
class TToolBoxFactory : public TDockFactory {
public:
    TToolBoxFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TToolBoxFactory"; }
    void InitControl(TControl& Control) override;
    std::unique_ptr<TControl> CreateControl() override;

    TToolBox::TStartDragHandler OnStartDrag;
    std::function<void(TToolBox&)> OnCreated;

protected:
    ~TToolBoxFactory() override = default;
};

// Shows Box (a box hosted by a form or pop-up floats again first).
void ShowToolBox(TToolBox& Box);
// Hides Box, moving the focus out of it.
void HideToolBox(TToolBox& Box);
// Undocks Box from its dock, or takes it out of its host, and lets it float
// where it is on the desktop.
void FloatToolBox(TToolBox& Box);
