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

TEST(ControlNames, HoldTheWordsTheControlIsSeenByInOrder) {
  int checked = 0;
  for (const ControlSpec& control : Form1Controls()) {
    // A field is seen by the caption at its right in its row; a button or check box by its own.
    const ControlSpec* seenBy = nullptr;
    for (const ControlSpec& caption : Form1Controls()) {
      const bool sameRow = caption.top < control.top + control.height && control.top < caption.top + caption.height;
      if (caption.kind == ControlKind::CaptionLabel && std::string_view(caption.frame) == control.frame && sameRow &&
          caption.left > control.left && (seenBy == nullptr || caption.left < seenBy->left)) {
        seenBy = &caption;
      }
    }
    if (control.kind == ControlKind::Button || control.kind == ControlKind::CheckBox) seenBy = &control;
    if (control.kind == ControlKind::Frame || control.kind == ControlKind::CaptionLabel) continue;
    ASSERT_NE(seenBy, nullptr) << control.name << " has no caption at its right";
    const std::vector<std::string> name = Words(control.accessibleName), seen = Words(seenBy->text);
    EXPECT_NE(std::search(name.begin(), name.end(), seen.begin(), seen.end()), name.end())
        << control.name << ": \"" << control.accessibleName << "\" does not say \"" << seenBy->text << "\"";
    ++checked;
  }
  EXPECT_EQ(checked, 13);  // four inputs, four results, three buttons, two check boxes
}

}  // namespace
}  // namespace velsona::ui
