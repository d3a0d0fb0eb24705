#pragma once

#include "commands/shortcut_form.h"

#include <cstdint>
#include <functional>
#include <string>

class TCommand;

enum class TConflictAnswer { Yes, No, Cancel };

// Asks the user a Yes/No/Cancel question with the given text and returns the
// answer; the Customize designer shows a message box.
using TConflictQuestion = std::function<TConflictAnswer(const std::string& Text)>;

// The question asked when the new shortcut is already taken by Other: the
// two texts of the question around Other's path in quotes, on three lines.
std::string ShortCutConflictText(const TCommand& Other);

// Gives Command the shortcut Value as its last shortcut. Every other command
// of its registry that has Value is asked about in registry order: Yes takes
// the shortcut away from it, No leaves it there (both commands then run on
// that key), Cancel stops at once, keeping what was already taken away and
// adding nothing. The registry reports everything as one change. True when
// the shortcut was added; an invalid Value is refused.
bool AssignShortCut(TCommand& Command, uint16_t Value, const TConflictQuestion& Ask);

// The designer's "Add": captures a combination with the shortcut form, then
// assigns it as above. False when the form was cancelled.
bool AssignShortCut(TCommand& Command, const TShortCutFormLoop& RunModal,
                    const TConflictQuestion& Ask, THotKeyRegistry* HotKeys = nullptr);
