#pragma once

#include "core/changes.h"
#include "core/object.h"

#include <clocale>
#include <locale>
#include <string>

// Counts the change events of whatever OnChange it is bound to.
struct TEventCounter {
    int Count = 0;
    TObject* LastSender = nullptr;
    void Changed(TObject* Sender) {
        ++Count;
        LastSender = Sender;
    }
    TNotifyHandler Method() { return MakeDelegate<&TEventCounter::Changed>(this); }
};

// Switches the process to a locale that writes "0,5" for the time of a test,
// when the machine has one.
class TCommaLocale {
public:
    TCommaLocale() : FOld(std::setlocale(LC_ALL, nullptr)) {
        for (const char* Name : {"de_DE.utf8", "de_DE.UTF-8", "fr_FR.utf8"})
            if (std::setlocale(LC_ALL, Name) && *std::localeconv()->decimal_point == ',') {
                FActive = true;
                std::locale::global(std::locale(Name));
                break;
            }
    }
    ~TCommaLocale() {
        std::setlocale(LC_ALL, FOld.c_str());
        std::locale::global(std::locale::classic());
    }
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;
    bool Active() const { return FActive; }

private:
    std::string FOld;
    bool FActive = false;
};
