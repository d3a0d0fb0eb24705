#pragma once

#include "core/text_slots.h"

#include <string>

// The application's text table: every user-visible text is a named slot.
// The wording is restored from its scrambled form when the program starts.
void RestoreTextTable();
const std::string& GetText(TTextSlot Slot);
