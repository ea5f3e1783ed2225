#pragma once

// The window Form1 as a table: its size and title, and every control with
// its place, texts and names. The window is built from it, and the failure
// messages name an input field as the table does.

#include <vector>

#include "platform/window/forms.h"

namespace velsona::ui {

extern const platform::WindowSpec kForm1Window;

// Every control of the window, in twips within its frame.
const std::vector<platform::ControlSpec>& Form1Controls();

}  // namespace velsona::ui
