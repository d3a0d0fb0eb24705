#include "commands/shortcut_dispatch.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/shortcut_form.h"
#include "platform/keys.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr uint16_t CtrlK = ShortCutCtrl | 'K';

class TTextBox : public TKeyFocus {
public:
    bool IsTextEditor() const override { return true; }
    bool WantsSpecialKey(uint8_t KeyCode) const override { return KeyCode == Wanted; }
    uint8_t Wanted = 0;
};

class ShortCutDispatchTest : public testing::Test {
protected:
    TCommand* Make(std::string_view Id, std::vector<uint16_t> Keys) {
        return new TCommand(List, nullptr, Id, Id, "", "", Keys,
                            MakeDelegate<&ShortCutDispatchTest::Executed>(this));
    }
    void Executed(TCommand* Command, TObject* Sender) {
        Ran.push_back(Command->Id());
        EXPECT_EQ(Sender, &MainWindow);
        if (OnExecute)
            OnExecute(Command);
    }
    bool Press(uint16_t Value, const TKeyFocus* Focus = nullptr) {
        return DispatchShortCutKey(List, Value, Focus, &MainWindow);
    }

    TCommandList List;
    TCommandList MainWindow; // any object will do as the sender
    std::vector<std::string> Ran;
    std::function<void(TCommand*)> OnExecute;
};

TEST_F(ShortCutDispatchTest, SharedShortCutRunsEveryEnabledCommandInRegistryOrder) {
    TCommand* First = Make("First", {CtrlK});
    Make("Unrelated", {ShortCutCtrl | 'L'});
    TCommand* Second = Make("Second", {0x70, CtrlK});
    EXPECT_TRUE(Press(CtrlK));
    EXPECT_EQ(Ran, (std::vector<std::string>{"First", "Second"}));

    Ran.clear();
    First->SetEnabled(false);
    EXPECT_TRUE(Press(CtrlK));
    EXPECT_EQ(Ran, std::vector<std::string>{"Second"});

    Ran.clear();
    Second->SetEnabled(false);
    EXPECT_FALSE(Press(CtrlK));
    First->SetEnabled(true);
    First->TurnOff();
    EXPECT_FALSE(Press(CtrlK));
    EXPECT_FALSE(Press(0));
    EXPECT_TRUE(Ran.empty());
}

TEST_F(ShortCutDispatchTest, TextBoxKeepsItsEditingKeys) {
    Make("Copy", {ShortCutCtrl | 'C', ShortCutCtrl | ShortCutAlt | 'C', KeyF1 + 4});
    TTextBox Box;
    EXPECT_FALSE(Press(ShortCutCtrl | 'C', &Box));
    EXPECT_TRUE(Press(ShortCutCtrl | ShortCutAlt | 'C', &Box));
    EXPECT_TRUE(Press(KeyF1 + 4, &Box));
    Box.Wanted = KeyF1 + 4;
    EXPECT_FALSE(Press(KeyF1 + 4, &Box));
    EXPECT_EQ(Ran.size(), 2u);
}

TEST_F(ShortCutDispatchTest, HandlerThatFreesOrDisablesALaterMatchStopsIt) {
    TCommand* Closer = Make("Closer", {CtrlK});
    TCommand* Doomed = Make("Doomed", {CtrlK});
    TCommand* Disabled = Make("Disabled", {CtrlK});
    OnExecute = [&](TCommand* Command) {
        if (Command == Closer) {
            Doomed->Free();
            Disabled->SetEnabled(false);
        }
    };
    EXPECT_TRUE(Press(CtrlK));
    EXPECT_EQ(Ran, std::vector<std::string>{"Closer"});
}

TEST_F(ShortCutDispatchTest, HotKeysRunCommandsByTheirIdentifier) {
    Make("Print", {ShortCutCtrl | KeyPrintScreen});
    EXPECT_TRUE(DispatchHotKey(List, ShortCutCtrl | KeyPrintScreen, &MainWindow));
    EXPECT_FALSE(DispatchHotKey(List, KeyPrintScreen, &MainWindow));
    EXPECT_FALSE(DispatchHotKey(List, 0, &MainWindow));
    EXPECT_FALSE(DispatchHotKey(List, 0x10000 | ShortCutCtrl | KeyPrintScreen, &MainWindow));
    EXPECT_EQ(Ran.size(), 1u);
}

TEST_F(ShortCutDispatchTest, OpenShortCutFormTakesEveryKey) {
    Make("Print", {ShortCutCtrl | KeyPrintScreen, CtrlK});
    TShortCutForm Form;
    EXPECT_FALSE(Press(CtrlK));
    EXPECT_TRUE(DispatchHotKey(List, ShortCutCtrl | KeyPrintScreen, &MainWindow));
    EXPECT_TRUE(Ran.empty());
    EXPECT_EQ(Form.ModalResult(), TShortCutFormResult::Ok);
    EXPECT_EQ(Form.Value(), ShortCutCtrl | KeyPrintScreen);
}

} // namespace
