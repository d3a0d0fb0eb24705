#pragma once

#include "project/item_setting.h"

class TElementProperty;

// Settings that mirror one editable property of an item's render element.
// Each is stored under the property's key in quotes (a property "Amount"
// under 'Amount'), shows the property's display name, writes its value into
// the element's property list in Apply and signals ProjectChangeSettings.
// The item owns the properties and outlives its settings' use of them.
//
//   Pixelate->FindSetting("'MaxSquare'")  // a TIntegerElementSetting

class TIntegerElementSetting : public TIntegerItemSetting {
public:
    TIntegerElementSetting(TItem* Owner, TElementProperty& Property);
    std::string_view ClassName() const override { return "TIntegerElementSetting"; }
    TElementProperty& Property() const { return FProperty; }
    void Apply() override;
    // Takes the property's value, range and default.
    void Refresh() override;

private:
    TElementProperty& FProperty;
};

class TFloatElementSetting : public TFloatItemSetting {
public:
    TFloatElementSetting(TItem* Owner, TElementProperty& Property);
    std::string_view ClassName() const override { return "TFloatElementSetting"; }
    TElementProperty& Property() const { return FProperty; }
    void Apply() override;
    // Takes the property's value, range and default; a length bound to a
    // clip effect follows the clip's duration.
    void Refresh() override;

private:
    TElementProperty& FProperty;
};

class TColorElementSetting : public TColorItemSetting {
public:
    TColorElementSetting(TItem* Owner, TElementProperty& Property);
    std::string_view ClassName() const override { return "TColorElementSetting"; }
    TElementProperty& Property() const { return FProperty; }
    void Apply() override;
    void Refresh() override;

private:
    TElementProperty& FProperty;
};

class TBoolElementSetting : public TBoolItemSetting {
public:
    TBoolElementSetting(TItem* Owner, TElementProperty& Property);
    std::string_view ClassName() const override { return "TBoolElementSetting"; }
    TElementProperty& Property() const { return FProperty; }
    void Apply() override;
    void Refresh() override;

private:
    TElementProperty& FProperty;
};

// The option names of the property's description are the display texts.
class TEnumElementSetting : public TEnumItemSetting {
public:
    TEnumElementSetting(TItem* Owner, TElementProperty& Property);
    std::string_view ClassName() const override { return "TEnumElementSetting"; }
    TElementProperty& Property() const { return FProperty; }
    void Apply() override;
    void Refresh() override;

private:
    TElementProperty& FProperty;
};
