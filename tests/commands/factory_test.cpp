#include "commands/factory.h"

#include "commands/factory_category.h"
#include "commands/factory_control.h"
#include "commands/factory_list.h"
#include "core/data.h"
#include "core/error.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A small control hierarchy: a widget with a label below it, and a gadget
// beside the widget.
class TTestWidget : public TControl {
public:
    static const TControlClass Class;
    void ActivateControl() override { Calls.push_back("Activate"); }
    void DeactivateControl() override { Calls.push_back("Deactivate"); }
    void BeginDesign(const TDesignHook& Hook) override {
        Calls.push_back("BeginDesign");
        DesignData = Hook.Data;
    }
    void EndDesign() override { Calls.push_back("EndDesign"); }
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override {
        Width = 64;
        Height = 22;
        return true;
    }
    void LoadControl(TData& Data) override { Caption = Data.ReadString("Caption", "?"); }
    void SaveControl(TData& Data) override { Data.WriteString("Caption", Caption); }
    void Loaded() override { Calls.push_back("Loaded"); }

    std::vector<std::string> Calls;
    void* DesignData = nullptr;
    std::string Caption;
};
class TTestLabel : public TTestWidget {
public:
    static const TControlClass Class;
};
class TTestGadget : public TControl {
public:
    static const TControlClass Class;
};
const TControlClass TTestWidget::Class{"TTestWidget", &TControl::Class,
                                       CreateControlOf<TTestWidget>};
const TControlClass TTestLabel::Class{"TTestLabel", &TTestWidget::Class,
                                      CreateControlOf<TTestLabel>};
const TControlClass TTestGadget::Class{"TTestGadget", &TControl::Class,
                                       CreateControlOf<TTestGadget>};

class TWidgetFactory : public TFactory {
public:
    TWidgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                   std::string_view Id)
        : TFactory(List, Category, Name, Id) {
        SetControlClass(TTestWidget::Class);
    }
    std::string_view ClassName() const override { return "TWidgetFactory"; }
    void InitControl(TControl& Control) override {
        static_cast<TTestWidget&>(Control).Caption = "Made by " + Id();
    }
};

TEST(Factory, DuplicateIdInOtherLetterCaseIsRefusedAndNothingChanges) {
    TFactoryList List;
    TFactoryCategory Root(nullptr, "");
    auto* Browser = new TWidgetFactory(List, &Root, "Video browser", "Stage|Video|Browser");
    try {
        new TWidgetFactory(List, &Root, "Again", "stage|video|BROWSER");
        FAIL() << "a second factory with the same id was registered";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Factory with Id=\"stage|video|BROWSER\" already exists.");
    }
    EXPECT_EQ(List.Count(), 1);
    EXPECT_EQ(Root.Count(), 1);
    EXPECT_EQ(List.Find("Stage|Video|Browser"), Browser);
}

TEST(Factory, ControlClassCanOnlyBeNarrowed) {
    TFactoryList List;
    auto* Factory = new TWidgetFactory(List, nullptr, "", "Widget");
    Factory->SetControlClass(TTestWidget::Class);
    Factory->SetControlClass(TTestLabel::Class);
    EXPECT_EQ(Factory->ControlClass(), &TTestLabel::Class);
    try {
        Factory->SetControlClass(TTestGadget::Class);
        FAIL() << "switched to an unrelated class";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Invalid Control class \"TTestGadget\" for \"TWidgetFactory\"");
    }
    EXPECT_THROW(Factory->SetControlClass(TTestWidget::Class), EError);
    EXPECT_EQ(Factory->ControlClass(), &TTestLabel::Class);
}

TEST(Factory, CreatedControlIsOfTheFactoryClassAndInitialised) {
    TFactoryList List;
    auto* Factory = new TWidgetFactory(List, nullptr, "", "Label");
    Factory->SetControlClass(TTestLabel::Class);
    std::unique_ptr<TControl> Control = Factory->CreateControl();
    auto* Label = dynamic_cast<TTestLabel*>(Control.get());
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->Caption, "Made by Label");

    auto* Abstract = new TFactory(List, nullptr, "", "Abstract");
    EXPECT_THROW(Abstract->CreateControl(), EError);
    Abstract->SetControlClass(TControl::Class);
    EXPECT_THROW(Abstract->CreateControl(), EError);
}

TEST(Factory, ControlIsDrivenThroughItsFactory) {
    TFactoryList List;
    auto* Factory = new TWidgetFactory(List, nullptr, "", "Widget");
    std::unique_ptr<TControl> Control = Factory->CreateControl();
    auto& Widget = static_cast<TTestWidget&>(*Control);
    int HookData = 0;
    Factory->ActivateControl(Widget);
    Factory->BeginDesign(Widget, TDesignHook{{}, &HookData});
    Factory->DesignSelect(Widget, nullptr);
    Factory->DesignDeselect(nullptr);
    Factory->EndDesign(Widget);
    Factory->DeactivateControl(Widget);
    Factory->Loaded(Widget);
    EXPECT_EQ(Widget.Calls, (std::vector<std::string>{"Activate", "BeginDesign", "EndDesign",
                                                      "Deactivate", "Loaded"}));
    EXPECT_EQ(Widget.DesignData, &HookData);
    int32_t Width = 0, Height = 0;
    EXPECT_TRUE(Factory->GetDefaultSize(Widget, Width, Height));
    EXPECT_EQ(Width, 64);

    TData Data;
    Widget.Caption = "Saved";
    Factory->SaveControl(Widget, Data);
    Widget.Caption.clear();
    Factory->LoadControl(Widget, Data);
    EXPECT_EQ(Widget.Caption, "Saved");
}

TEST(FactoryCategory, DestroyingACategoryLeavesItsFactoriesRegistered) {
    TFactoryList List;
    TFactoryCategory Root(nullptr, "");
    auto* Stage = new TFactoryCategory(&Root, "Stage");
    auto* Tools = new TFactoryCategory(&Root, "Tools");
    auto* Video = new TFactoryCategory(Stage, "Video");
    auto* Browser = new TWidgetFactory(List, Video, "Browser", "Stage|Video|Browser");
    auto* Player = new TWidgetFactory(List, Stage, "Player", "Stage|Player");
    delete Stage;
    EXPECT_EQ(Browser->Category(), nullptr);
    EXPECT_EQ(Player->Category(), nullptr);
    EXPECT_EQ(List.Find("Stage|Video|Browser"), Browser);
    EXPECT_EQ(Root.Count(), 1);
    EXPECT_EQ(Root.Get(0), Tools);
    Player->Free();
    EXPECT_EQ(List.Find("Stage|Player"), nullptr);
}

TEST(FactoryCategory, DesignerShowsOnlyNamedFactoriesInNamedCategories) {
    TFactoryList List;
    TFactoryCategory Root(nullptr, "");
    auto* Tools = new TFactoryCategory(&Root, "Tools");
    auto* Hidden = new TFactoryCategory(Tools, "");
    auto* Label = new TWidgetFactory(List, Tools, "Label", "Label");
    auto* Unnamed = new TWidgetFactory(List, Tools, "", "Separator");
    auto* Inside = new TWidgetFactory(List, Hidden, "Inside", "Inside");
    auto* ToolBar = new TWidgetFactory(List, nullptr, "", "ToolBar");
    auto* Loose = new TWidgetFactory(List, nullptr, "Loose", "Loose");
    EXPECT_TRUE(IsShownInDesigner(*Tools, Root));
    EXPECT_TRUE(IsShownInDesigner(*Label, Root));
    EXPECT_FALSE(IsShownInDesigner(*Unnamed, Root));
    EXPECT_EQ(List.Find("separator"), Unnamed);
    EXPECT_FALSE(IsShownInDesigner(*Inside, Root));
    EXPECT_FALSE(IsShownInDesigner(*ToolBar, Root));
    EXPECT_FALSE(IsShownInDesigner(*Loose, Root));
}

} // namespace
