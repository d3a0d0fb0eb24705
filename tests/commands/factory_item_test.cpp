#include "commands/factory_item.h"

#include "commands/factory.h"
#include "commands/factory_control.h"
#include "commands/factory_list.h"
#include "core/data.h"
#include "core/error.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

int LiveControls = 0;

// A control with one stored setting; a caption "Broken" fails to load.
class TNote : public TControl {
public:
    static const TControlClass Class;
    TNote() { ++LiveControls; }
    ~TNote() override { --LiveControls; }
    void LoadControl(TData& Data) override {
        Text = Data.ReadString("Text", "");
        if (Text == "Broken")
            throw std::runtime_error("cannot load");
    }
    void SaveControl(TData& Data) override { Data.WriteString("Text", Text); }
    void BeginDesign(const TDesignHook& Hook) override { Designing = Hook.Data; }
    void Loaded() override { WasLoaded = true; }

    std::string Text;
    void* Designing = nullptr;
    bool WasLoaded = false;
};
const TControlClass TNote::Class{"TNote", &TControl::Class, CreateControlOf<TNote>};

class TNoteFactory : public TFactory {
public:
    TNoteFactory(TFactoryList& List, std::string_view Id) : TFactory(List, nullptr, "", Id) {
        SetControlClass(TNote::Class);
    }
};

TFactoryItem Note(TFactory* Factory, std::string_view Text) {
    TFactoryItem Item{Factory, Factory->CreateControl()};
    static_cast<TNote&>(*Item.Control).Text = Text;
    return Item;
}

const std::string& TextOf(const TFactoryItem& Item) {
    return static_cast<const TNote&>(*Item.Control).Text;
}

class FactoryItemTest : public testing::Test {
protected:
    ~FactoryItemTest() override { EXPECT_EQ(LiveControls, 0); }

    // Stores Items as a desktop file would, then reads them with Readers.
    std::vector<TFactoryItem> RoundTrip(const std::vector<TFactoryItem>& Items,
                                        const TFactoryList& Readers,
                                        const TDesignHook* Hook = nullptr) {
        TData Saved;
        SaveFactoryItems(Saved, Items);
        TData Loaded;
        Loaded.LoadFromText(Saved.SaveToText());
        return LoadFactoryItems(Readers, Loaded, Hook);
    }

    TFactoryList Factories;
    TFactory* Notes = new TNoteFactory(Factories, "Notes");
    TFactory* Memos = new TNoteFactory(Factories, "Memos");
};

TEST_F(FactoryItemTest, ItemsAreRebuiltThroughTheFactoryTheyName) {
    std::vector<TFactoryItem> Items;
    Items.push_back(Note(Notes, "first"));
    Items.push_back(Note(Memos, "second"));
    std::vector<TFactoryItem> Loaded = RoundTrip(Items, Factories);
    ASSERT_EQ(Loaded.size(), 2u);
    EXPECT_EQ(Loaded[0].Factory, Notes);
    EXPECT_EQ(TextOf(Loaded[0]), "first");
    EXPECT_EQ(Loaded[1].Factory, Memos);
    EXPECT_EQ(TextOf(Loaded[1]), "second");
    EXPECT_NE(Loaded[0].Control, Items[0].Control);
}

TEST_F(FactoryItemTest, ItemOfAnUnknownFactoryIsDroppedAndTheRestLoads) {
    std::vector<TFactoryItem> Items;
    Items.push_back(Note(Notes, "kept"));
    Items.push_back(Note(Memos, "dropped"));
    Items.push_back(Note(Notes, "also kept"));
    TFactoryList Older; // a build that has no memos
    new TNoteFactory(Older, "notes");
    std::vector<TFactoryItem> Loaded = RoundTrip(Items, Older);
    ASSERT_EQ(Loaded.size(), 2u);
    EXPECT_EQ(TextOf(Loaded[0]), "kept");
    EXPECT_EQ(TextOf(Loaded[1]), "also kept");

    TData NoId;
    NoId.Enter("Control");
    EXPECT_EQ(LoadFactoryItem(Factories, NoId).Control, nullptr);
}

TEST_F(FactoryItemTest, FailedLoadFreesTheNewControlAndPassesTheErrorOn) {
    std::vector<TFactoryItem> Items;
    Items.push_back(Note(Notes, "fine"));
    Items.push_back(Note(Notes, "Broken"));
    int Before = LiveControls;
    EXPECT_THROW(RoundTrip(Items, Factories), std::runtime_error);
    EXPECT_EQ(LiveControls, Before);
}

TEST_F(FactoryItemTest, DesigningDockPutsLoadedControlsInDesignMode) {
    std::vector<TFactoryItem> Items;
    Items.push_back(Note(Notes, "designed"));
    int Handler = 0;
    TDesignHook Hook{{}, &Handler};
    std::vector<TFactoryItem> Loaded = RoundTrip(Items, Factories, &Hook);
    ASSERT_EQ(Loaded.size(), 1u);
    auto& Control = static_cast<TNote&>(*Loaded[0].Control);
    EXPECT_EQ(Control.Designing, &Handler);
    EXPECT_FALSE(Control.WasLoaded);
    NotifyLoaded(Loaded);
    EXPECT_TRUE(Control.WasLoaded);
}

TEST_F(FactoryItemTest, StoredItemNamesItsFactoryById) {
    TData Data;
    auto Item = Note(Memos, "text");
    SaveFactoryItem(Data, *Item.Factory, *Item.Control);
    EXPECT_EQ(Data.ReadString("FactoryId", ""), "Memos");
    Data.Enter("Control");
    EXPECT_EQ(Data.ReadString("Text", ""), "text");
}

} // namespace
