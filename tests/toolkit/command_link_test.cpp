#include "commands/command.h"
#include "commands/command_list.h"
#include "toolkit/controls/command_link.h"
#include "toolkit/docking/tool_gadgets.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what the link hands its owner.
struct TOwner {
    std::vector<TCommandChangeFlags> Received;
    void Follow(TCommandChangeFlags Flags) { Received.push_back(Flags); }
};

constexpr TCommandChangeFlags Everything = CommandChangeCaption | CommandChangeHint;

TCommand* MakeCommand(TCommandList& List, const char* Id) {
    return new TCommand(List, nullptr, Id, "&Run", "Runs it", "");
}

TEST(CommandLink, HandsOverTheChangesOfItsRegistryAndLetsGoOfItsFreedCommand) {
    TCommandList List;
    TCommand* Shown = MakeCommand(List, "Test|Shown");
    TCommand* Other = MakeCommand(List, "Test|Other");
    TOwner Owner;
    TCommandLink Link{MakeDelegate<&TOwner::Follow>(&Owner), Everything};

    Link.Set(Shown);
    ASSERT_EQ(Owner.Received.size(), 1u);
    EXPECT_EQ(Owner.Received.back(), Everything);
    Link.Set(Shown); // no change, nothing to follow
    EXPECT_EQ(Owner.Received.size(), 1u);

    Shown->SetCaption("&Walk");
    ASSERT_EQ(Owner.Received.size(), 2u);
    EXPECT_TRUE(HasAny(Owner.Received.back(), CommandChangeCaption));

    // Another command of the registry leaving keeps the link.
    Other->Free();
    EXPECT_EQ(Link.Command(), Shown);

    Owner.Received.clear();
    Shown->Free();
    EXPECT_EQ(Link.Command(), nullptr);
    ASSERT_FALSE(Owner.Received.empty());
    EXPECT_EQ(Owner.Received.back(), Everything);

    // Unbound, it no longer listens to the registry.
    TCommand* Later = MakeCommand(List, "Test|Later");
    Owner.Received.clear();
    Later->SetCaption("Elsewhere");
    EXPECT_TRUE(Owner.Received.empty());
}

TEST(CommandLink, AToolButtonShowsNoCommandOnceItsCommandIsFreed) {
    TCommandList List;
    TCommand* Command = MakeCommand(List, "Test|Run");
    TToolButton Button;
    Button.SetCommand(Command);
    EXPECT_EQ(Button.Caption(), "&Run");
    EXPECT_EQ(Button.Hint(), "Runs it");
    EXPECT_TRUE(Button.IsEnabled());
    Command->Free();
    EXPECT_EQ(Button.Command(), nullptr);
    EXPECT_EQ(Button.Caption(), "");
    EXPECT_EQ(Button.Hint(), "");
    EXPECT_FALSE(Button.IsEnabled());
    Button.Click(); // nothing to run, nothing dangling
}

} // namespace
