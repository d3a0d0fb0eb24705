#pragma once

#include "core/changes.h"
#include "core/object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TData;
class TMediaSettingsHandler;

// The change flags of the settings tree's notifier.
enum class TMediaSettingsChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TMediaSettingsChangeFlags> = true;

constexpr TMediaSettingsChangeFlags MediaSettingsChangeAudio{0xFF};
constexpr TMediaSettingsChangeFlags MediaSettingsChangeVideo{0xFF00};
// Compression values, slider definitions and the render kind.
constexpr TMediaSettingsChangeFlags MediaSettingsChangeCompression{0xFF0000};

using TMediaSettingsChanges = TFlagChanges<TMediaSettingsChangeFlags>;

// A node of the output settings tree, whose root is the render driver. Each
// node is stored under its name in a data document; its children follow it
// in order. Every node announces its changes through the notifier the root
// made, so a listener on the root hears the whole tree.
//
//   auto& Video = Avi.AddChild<TUsualVideoMediaSettings>("Video", &VideoHandler, ...);
class TMediaSettings : public TObject {
public:
    // A child of Parent, sharing its notifier; AddChild is the usual way in.
    TMediaSettings(TMediaSettings& Parent, std::string Name);
    ~TMediaSettings() override;
    TMediaSettings(const TMediaSettings&) = delete;
    TMediaSettings& operator=(const TMediaSettings&) = delete;

    std::string_view ClassName() const override { return "TMediaSettings"; }

    const std::string& Name() const { return FName; }
    TMediaSettings* Parent() const { return FParent; }
    TMediaSettingsChanges& Changes() const { return *FChanges; }

    int32_t ChildCount() const { return static_cast<int32_t>(FChildren.size()); }
    TMediaSettings* Child(int32_t Index) const { return FChildren[size_t(Index)].get(); }
    // The child of that name, compared without regard to ASCII case.
    TMediaSettings* FindChild(std::string_view Name) const;

    // Makes a child T(*this, Args...) and appends it; the node owns it and
    // frees it with itself.
    template <class T, class... TArgs>
    T& AddChild(TArgs&&... Args) {
        auto Child = std::make_unique<T>(*this, std::forward<TArgs>(Args)...);
        T& Result = *Child;
        FChildren.push_back(std::move(Child));
        return Result;
    }

    // Read and write this node's own values, then every child's under the
    // child's name. Readers clamp what they read and keep the current value
    // of a missing key.
    virtual void Load(TData& Data);
    virtual void Save(TData& Data) const;

protected:
    // The root, which owns the notifier of the whole tree; without one, a
    // plain TMediaSettingsChanges is made.
    TMediaSettings(std::string Name, std::unique_ptr<TMediaSettingsChanges> Changes);
    void Change(TMediaSettingsChangeFlags Flags) const;
    // Frees the children, last first. A root whose members the children
    // use (the handlers) calls this before those members go.
    void DeleteChildren();

private:
    std::string FName;
    TMediaSettings* FParent = nullptr;
    std::unique_ptr<TMediaSettingsChanges> FOwnChanges; // the root only
    TMediaSettingsChanges* FChanges;
    std::vector<std::unique_ptr<TMediaSettings>> FChildren;
};

// A setting that may be linked to a handler, which repeats the user's
// operations on every setting linked to it (the video size of AVI, MP4 and
// WMV, for example, moves together).
class THandledMediaSettings : public TMediaSettings {
public:
    THandledMediaSettings(TMediaSettings& Parent, std::string Name, TMediaSettingsHandler* Handler);
    ~THandledMediaSettings() override;
    std::string_view ClassName() const override { return "THandledMediaSettings"; }

    // None when the operations are local.
    TMediaSettingsHandler* Handler() const { return FHandler; }

private:
    friend class TMediaSettingsHandler;
    TMediaSettingsHandler* FHandler;
};
