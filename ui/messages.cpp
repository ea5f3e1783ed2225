#include "ui/messages.h"

#include <algorithm>

#include "ui/controls.h"

namespace velsona::ui {
namespace {

std::string SeparatorAdvice(const calc::NumberFormat& regional) {
  if (regional.decimalSeparator == ".") return "usare il punto come separatore decimale";
  if (regional.decimalSeparator == ",") return "usare la virgola come separatore decimale";
  return "usare \"" + regional.decimalSeparator + "\" come separatore decimale";
}

// True when `text` would read as a number had it been written with the
// other common decimal separator: "7,5" where the point is the regional one.
bool ReadsWithTheOtherSeparator(std::string_view text, const calc::NumberFormat& regional) {
  calc::NumberFormat other;
  other.decimalSeparator = regional.decimalSeparator == "." ? "," : ".";
  return calc::TextToDouble(text, other).ok();
}

}  // namespace

std::string_view FieldName(std::string_view control) {
  for (const platform::ControlSpec& spec : Form1Controls()) {
    if (control == spec.name) return spec.accessibleName;
  }
  return control;
}

std::string VisibleText(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0u;
    if (byte == '\n' || byte == '\r') {
      shown += "\u23CE";
      if (byte == '\r' && next == '\n') ++i;  // one line break, as a spreadsheet writes it
    } else if (byte == '\t') {
      shown += "\u21E5";
    } else if (byte < 0x20) {
      // U+2400 + byte: E2 90 80+byte.
      shown += "\xE2\x90";
      shown += static_cast<char>(0x80 + byte);
    } else if (byte == 0x7F) {
      shown += "\u2421";
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // C1 controls: the next-line character as a line break, the others
      // as their code ("\u0090"), since they have no picture of their own.
      if (next == 0x85) {
        shown += "\u23CE";
      } else {
        const char* const hex = "0123456789ABCDEF";
        shown += "\\u00";
        shown += hex[next >> 4];
        shown += hex[next & 0xF];
      }
      ++i;
    } else if (byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)) {
      // The line and paragraph separators.
      shown += "\u23CE";
      i += 2;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

std::string FailureMessage(const calc::Failed& failure, std::string_view field, std::string_view text,
                           const calc::NumberFormat& regional) {
  const std::string name(FieldName(field));
  switch (failure.kind) {
    case calc::FailureKind::TypeMismatch:
      if (text.empty()) return "Il campo \"" + name + "\" è vuoto: scrivere un numero.";
      if (std::all_of(text.begin(), text.end(), calc::IsBlank)) {
        return "Il campo \"" + name + "\" contiene solo spazi: scrivere un numero.";
      }
      // Advice on the separator only where it is the mistake.
      return "\"" + VisibleText(text) + "\" (" + name + ") non è un numero" +
             (ReadsWithTheOtherSeparator(text, regional) ? ": " + SeparatorAdvice(regional) + "." : ".");
    case calc::FailureKind::Overflow:
      return "Numero troppo grande: il risultato non si può calcolare.";
    case calc::FailureKind::DivisionByZero:
      return "Divisione per zero: il risultato non si può calcolare.";
    case calc::FailureKind::InvalidOperation:
      break;
  }
  return "Operazione non valida: il risultato non si può calcolare.";
}

}  // namespace velsona::ui
