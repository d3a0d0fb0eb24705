#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TFactoryCategory;

// What the category tree of factories is made of: categories and factories,
// each with the name the Customize designer shows (empty: not shown).
class TFactoryObject : public TObject {
public:
    std::string_view ClassName() const override { return "TFactoryObject"; }

    const std::string& Name() const { return FName; }
    // The enclosing category, or none.
    virtual TFactoryCategory* Owner() const = 0;

protected:
    explicit TFactoryObject(std::string_view Name) : FName(Name) {}

private:
    std::string FName;
};

// A named group of factories in the designer's components tree. It holds its
// factories and sub-categories in order of creation; it owns its
// sub-categories (created with it as their parent) but not its factories,
// which it lets go when it is destroyed.
class TFactoryCategory : public TFactoryObject {
public:
    // With a Parent, the new category is appended to it and owned by it;
    // without one, the caller owns it.
    TFactoryCategory(TFactoryCategory* Parent, std::string_view Name);
    ~TFactoryCategory() override;
    TFactoryCategory(const TFactoryCategory&) = delete;
    TFactoryCategory& operator=(const TFactoryCategory&) = delete;

    std::string_view ClassName() const override { return "TFactoryCategory"; }

    TFactoryCategory* Parent() const { return FParent; }
    TFactoryCategory* Owner() const override { return FParent; }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TFactoryObject* Get(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    int32_t IndexOf(const TFactoryObject* Item) const;
    bool Destroying() const { return FDestroying; }

private:
    friend class TFactory;
    void Append(TFactoryObject* Item) { FItems.push_back(Item); }
    void Delete(TFactoryObject* Item);

    TFactoryCategory* FParent;
    std::vector<TFactoryObject*> FItems;
    bool FDestroying = false;
};

// Whether the designer's components tree, built from Root's children, shows
// Object: it and every category between it and Root have a name. Factories
// that only rebuild stored layouts have no name and stay out of the tree.
bool IsShownInDesigner(const TFactoryObject& Object, const TFactoryCategory& Root);
