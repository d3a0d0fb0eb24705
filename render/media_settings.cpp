#include "render/media_settings.h"

#include "core/changes.h"
#include "core/data.h"
#include "core/text.h"
#include "render/media_settings_handler.h"

TMediaSettings::TMediaSettings(std::string Name, std::unique_ptr<TMediaSettingsChanges> Changes)
    : FName(std::move(Name)),
      FOwnChanges(Changes ? std::move(Changes) : std::make_unique<TMediaSettingsChanges>(this)),
      FChanges(FOwnChanges.get()) {}

TMediaSettings::TMediaSettings(TMediaSettings& Parent, std::string Name)
    : FName(std::move(Name)), FParent(&Parent), FChanges(Parent.FChanges) {}

TMediaSettings::~TMediaSettings() {
    DeleteChildren();
}

void TMediaSettings::DeleteChildren() {
    while (!FChildren.empty())
        FChildren.pop_back();
}

TMediaSettings* TMediaSettings::FindChild(std::string_view Name) const {
    for (const auto& Child : FChildren)
        if (SameTextAscii(Child->Name(), Name))
            return Child.get();
    return nullptr;
}

void TMediaSettings::Change(TMediaSettingsChangeFlags Flags) const {
    FChanges->Change(Flags);
}

void TMediaSettings::Load(TData& Data) {
    for (const auto& Child : FChildren) {
        // A missing section keeps the child's values (and leaves the
        // document as it was read).
        if (!Data.Exists(Child->Name()))
            continue;
        TDataSection Section(Data, Child->Name());
        Child->Load(Data);
    }
}

void TMediaSettings::Save(TData& Data) const {
    for (const auto& Child : FChildren) {
        TDataSection Section(Data, Child->Name());
        Child->Save(Data);
    }
}

THandledMediaSettings::THandledMediaSettings(TMediaSettings& Parent, std::string Name,
                                             TMediaSettingsHandler* Handler)
    : TMediaSettings(Parent, std::move(Name)), FHandler(Handler) {
    if (FHandler)
        FHandler->Link(this);
}

THandledMediaSettings::~THandledMediaSettings() {
    if (FHandler)
        FHandler->Unlink(this);
}
