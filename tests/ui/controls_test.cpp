// The window's names as a rule over its table: a control is named with the
// words it is seen by, so that a user of voice control who says what is on
// the screen reaches it, and a screen reader says what the eye reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"

namespace velsona::ui {
namespace {

using platform::ControlKind;
using platform::ControlSpec;

// The words of a text, lower case: runs of letters and digits ("dB (rif.
// 1V/Pa)" is dB, rif, 1v, pa). Bytes beyond ASCII count as letters.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words(1);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || byte >= 0x80) {
      words.back() += static_cast<char>(std::tolower(byte));
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

// The caption a field is seen by: the one at its right in its row.
const ControlSpec* CaptionBeside(const ControlSpec& field) {
  const ControlSpec* nearest = nullptr;
  for (const ControlSpec& caption : Form1Controls()) {
    const bool sameRow = caption.top < field.top + field.height && field.top < caption.top + caption.height;
    if (caption.kind == ControlKind::CaptionLabel && std::string_view(caption.frame) == field.frame && sameRow &&
        caption.left > field.left && (nearest == nullptr || caption.left < nearest->left)) {
      nearest = &caption;
    }
  }
  return nearest;
}

TEST(ControlNames, HoldTheWordsTheControlIsSeenByInOrder) {
  int checked = 0;
  for (const ControlSpec& control : Form1Controls()) {
    const char* seenBy = nullptr;
    switch (control.kind) {
      case ControlKind::TextBox:
      case ControlKind::ResultField: {
        const ControlSpec* caption = CaptionBeside(control);
        ASSERT_NE(caption, nullptr) << control.name << " has no caption at its right";
        seenBy = caption->text;
        break;
      }
      case ControlKind::Button:
      case ControlKind::CheckBox: seenBy = control.text; break;
      case ControlKind::Frame:
      case ControlKind::CaptionLabel: continue;
    }
    SCOPED_TRACE(control.name);
    const std::vector<std::string> name = Words(control.accessibleName), seen = Words(seenBy);
    EXPECT_NE(std::search(name.begin(), name.end(), seen.begin(), seen.end()), name.end())
        << "\"" << control.accessibleName << "\" does not say \"" << seenBy << "\"";
    ++checked;
  }
  EXPECT_EQ(checked, 13);  // four inputs, four results, three buttons, two check boxes
}

}  // namespace
}  // namespace velsona::ui
