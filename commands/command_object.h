#pragma once

#include "core/object.h"

#include <string>

// What the category tree of commands is made of: categories and commands,
// each with the name the Customize designer shows.
class TCommandObject : public TObject {
public:
    std::string_view ClassName() const override { return "TCommandObject"; }

    const std::string& Name() const { return FName; }

protected:
    TCommandObject() = default;

    std::string FName;
};
