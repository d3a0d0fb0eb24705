#include "core/error.h"

#include "core/text.h"
#include "core/text_table.h"

void RaiseError(const std::string& Message) {
    throw EError(FormatMessageText(GetText(TTextSlot::GeneralError), Message));
}
