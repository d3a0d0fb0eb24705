#pragma once

#include "commands/command_object.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TCommand;

// A named group of commands in the tree the Customize designer shows. A
// category holds its commands and sub-categories in order of creation; it
// owns its sub-categories (created with it as their parent) but not its
// commands, which it lets go when it is destroyed.
//
//   auto* File = new TCommandCategory(&RootCommandCategory(), "File");
//   new TCommand(File, "File|New", ...);
class TCommandCategory : public TCommandObject {
public:
    // With a Parent, the new category is appended to it and owned by it;
    // without one, the caller owns it.
    TCommandCategory(TCommandCategory* Parent, std::string_view Name);
    ~TCommandCategory() override;
    TCommandCategory(const TCommandCategory&) = delete;
    TCommandCategory& operator=(const TCommandCategory&) = delete;

    std::string_view ClassName() const override { return "TCommandCategory"; }

    TCommandCategory* Parent() const { return FParent; }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TCommandObject* Get(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    int32_t IndexOf(const TCommandObject* Item) const;
    bool Destroying() const { return FDestroying; }

private:
    friend class TCommand;
    void Append(TCommandObject* Item);
    void Delete(TCommandObject* Item);

    TCommandCategory* FParent;
    std::vector<TCommandObject*> FItems;
    bool FDestroying = false;
};
