#pragma once

// The texts of the warnings a failed calculation shows: what went wrong, in
// words the user knows, with the text that could not be read quoted so that
// nothing in it can hide or break the message.

#include <string>
#include <string_view>

#include "calc/numeric_rules.h"

namespace velsona::ui {

// The name the user knows an input field by: its accessible name in the
// control table; the control's own name for one the table lacks.
std::string_view FieldName(std::string_view control);

// `text` (UTF-8) with every character that would break or hide a line of the
// message made visible: a line break as "⏎", a tab as "⇥", another control
// character as its symbol from the control pictures ("␀") or, lacking one,
// as its code ("\u0090").
std::string VisibleText(std::string_view text);

// The warning for `failure`. A failed reading is about the input field
// `field`, whose text was `text`; the other failures name no field.
std::string FailureMessage(const calc::Failed& failure, std::string_view field, std::string_view text,
                           const calc::NumberFormat& regional);

}  // namespace velsona::ui
