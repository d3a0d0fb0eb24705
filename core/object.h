#pragma once

#include <string_view>

// The root of the system's class tree. Every class that is named in messages
// ("Can not insert TTrack into timeline.") reports its name through ClassName.
class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string_view ClassName() const { return "TObject"; }

protected:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
};
