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

// `text` (UTF-8) with every character that would break, hide or reorder a
// line of the message made visible: a line break as "⏎", a tab as "⇥",
// another control character as its symbol from the control pictures ("␀"),
// and as its code ("\u0090", "\u200B") a control without a picture, an
// invisible character (zero-width spaces and joiners, direction marks,
// embeddings, overrides and isolates, the soft hyphen ...), and a space other
// than the ASCII one; a byte that is not UTF-8 as "\xFF". What remains
// cannot change the direction of the text around it.
std::string VisibleText(std::string_view text);

// The warning for `failure`. A failed reading is about the input field
// `field`, whose text was `text`; the other failures name no field. The
// message starts with words of its own, never with the quoted text, so that
// a text in a right-to-left script cannot turn the whole message around.
std::string FailureMessage(const calc::Failed& failure, std::string_view field, std::string_view text,
                           const platform::NumberFormat& regional);

}  // namespace velsona::ui
