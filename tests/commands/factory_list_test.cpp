#include "commands/factory_list.h"

#include "commands/factory.h"
#include "commands/factory_category.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class TCountedFactory : public TFactory {
public:
    TCountedFactory(TFactoryList& List, std::string_view Id, int& Destroyed)
        : TFactory(List, nullptr, "", Id), FDestroyed(Destroyed) {}

protected:
    ~TCountedFactory() override { ++FDestroyed; }

private:
    int& FDestroyed;
};

TEST(FactoryList, RemovingAFactoryKeepsEveryOtherFindable) {
    TFactoryList List;
    TFactory* Factories[5];
    for (int I = 0; I < 5; ++I)
        Factories[I] = new TFactory(List, nullptr, "", "Factory" + std::to_string(I));
    Factories[2]->Free();
    ASSERT_EQ(List.Count(), 4);
    EXPECT_EQ(List.Get(2), Factories[3]);
    EXPECT_EQ(List.Get(3), Factories[4]);
    EXPECT_EQ(List.Find("Factory3"), Factories[3]);
    EXPECT_EQ(List.Find("FACTORY4"), Factories[4]);
    EXPECT_EQ(List.Find("Factory0"), Factories[0]);
    EXPECT_EQ(List.Find("Factory2"), nullptr);
    // The freed id can be used again.
    auto* Again = new TFactory(List, nullptr, "", "Factory2");
    EXPECT_EQ(List.Find("Factory2"), Again);
}

TEST(FactoryList, DestroyingTheRegistryFreesItsFactories) {
    int Destroyed = 0;
    {
        TFactoryList List;
        new TCountedFactory(List, "A", Destroyed);
        new TCountedFactory(List, "B", Destroyed);
    }
    EXPECT_EQ(Destroyed, 2);
}

TEST(FactoryList, ApplicationFactoriesRegisterInTheGlobalRegistry) {
    auto* Factory = new TFactory(&RootFactoryCategory(), "Test", "Test|GlobalFactory");
    EXPECT_EQ(FactoryList().Find("test|globalfactory"), Factory);
    EXPECT_EQ(RootFactoryCategory().IndexOf(Factory), RootFactoryCategory().Count() - 1);
    Factory->Free();
    EXPECT_EQ(FactoryList().Find("Test|GlobalFactory"), nullptr);
    EXPECT_EQ(RootFactoryCategory().IndexOf(Factory), -1);
}

} // namespace
