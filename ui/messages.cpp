#include "ui/messages.h"

#include <cstdint>

#include "ui/controls.h"

namespace velsona::ui {
namespace {

std::string SeparatorAdvice(const platform::NumberFormat& regional) {
  if (regional.decimalSeparator == ".") return "usare il punto come separatore decimale";
  if (regional.decimalSeparator == ",") return "usare la virgola come separatore decimale";
  return "usare \"" + regional.decimalSeparator + "\" come separatore decimale";
}

// True when `text` would read as a number had it been written with the
// other common decimal separator: "7,5" where the point is the regional one.
bool ReadsWithTheOtherSeparator(std::string_view text, const platform::NumberFormat& regional) {
  platform::NumberFormat other;
  other.decimalSeparator = regional.decimalSeparator == "." ? "," : ".";
  return calc::TextToDouble(text, other).ok();
}

// One character of UTF-8 text: its code point and its length in bytes. A
// byte that starts no valid sequence stands for itself, one byte long.
struct CodePoint {
  std::uint32_t value;
  std::size_t length;
};

CodePoint Decode(std::string_view text) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  if (length == 1 || lead > 0xF4 || text.size() < length) return {lead, 1};
  std::uint32_t value = lead & (0x7Fu >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return {lead, 1};
    value = value << 6 | (byte(k) & 0x3Fu);
  }
  // Overlong forms and surrogates are no characters.
  const std::uint32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
  if (value < least || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return {lead, 1};
  return {value, length};
}

// True for the characters that draw nothing yet may change what the text
// around them looks like: the format characters (the soft hyphen, the
// zero-width spaces and joiners, the direction marks, embeddings, overrides
// and isolates, the byte order mark, the tags ...) and the other characters
// that are ignored when drawn (variation selectors, the Hangul fillers ...).
bool IsInvisible(std::uint32_t c) {
  static constexpr std::uint32_t kRanges[][2] = {
      {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
      {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x115F, 0x1160},   {0x17B4, 0x17B5},
      {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},
      {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
      {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
  };
  for (const auto& range : kRanges) {
    if (c >= range[0] && c <= range[1]) return true;
  }
  return false;
}

// "\u200B", or "\U000E0001" beyond the first 65,536 code points.
std::string Code(std::uint32_t c) {
  const char* const hex = "0123456789ABCDEF";
  const int digits = c > 0xFFFF ? 8 : 4;
  std::string code = c > 0xFFFF ? "\\U" : "\\u";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) code += hex[(c >> shift) & 0xF];
  return code;
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
  for (std::size_t i = 0; i < text.size();) {
    const CodePoint c = Decode(text.substr(i));
    if (c.value == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      shown += "\u23CE";  // one line break, as a spreadsheet writes it
      i += 2;
      continue;
    }
    if (c.value == '\n' || c.value == '\r' || c.value == 0x85 || c.value == 0x2028 || c.value == 0x2029) {
      shown += "\u23CE";
    } else if (c.value == '\t') {
      shown += "\u21E5";
    } else if (c.value < 0x20) {
      shown += "\xE2\x90";  // U+2400 + the control's code
      shown += static_cast<char>(0x80 + c.value);
    } else if (c.value == 0x7F) {
      shown += "\u2421";
    } else if (c.length == 1 && c.value >= 0x80) {
      // Not UTF-8: the byte's code, rather than a character it is not.
      shown += "\\x";
      shown += Code(c.value).substr(4);
    } else if ((c.value >= 0x80 && c.value <= 0x9F) || IsInvisible(c.value) ||
               (c.value != ' ' && calc::BlankLength(text.substr(i)) > 0)) {
      // The C1 controls have no picture of their own, and the invisible
      // characters none at all: their code.
      shown += Code(c.value);
    } else {
      shown.append(text.substr(i, c.length));
    }
    i += c.length;
  }
  return shown;
}

std::string FailureMessage(const calc::Failed& failure, std::string_view field, std::string_view text,
                           const platform::NumberFormat& regional) {
  const std::string name(FieldName(field));
  switch (failure.kind) {
    case calc::FailureKind::TypeMismatch:
      if (text.empty()) return "Il campo \"" + name + "\" è vuoto: scrivere un numero.";
      if (calc::IsBlankOnly(text)) {
        return "Il campo \"" + name + "\" contiene solo spazi: scrivere un numero.";
      }
      // Advice on the separator only where it is the mistake.
      return "Il testo \"" + VisibleText(text) + "\" del campo \"" + name + "\" non è un numero" +
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
