#include "ui/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace velsona::ui {
namespace {

using calc::Failed;
using calc::FailureKind;

TEST(FailureMessage, SaysWhatWentWrongInWordsTheUserKnows) {
  const struct {
    const char* what;
    FailureKind kind;
    const char* field;
    std::string text;
    const char* separator;
    const char* message;
  } rows[] = {
      // The separator is advised only where the text reads as a number with the other one.
      {"lone minus in dB", FailureKind::TypeMismatch, "DBSens1", "-", ".",
       "Il testo \"-\" del campo \"Sensibilità in dB (rif. 1V/Pa)\" non è un numero."},
      {"comma under a point", FailureKind::TypeMismatch, "MVSens2", "7,5", ".",
       "Il testo \"7,5\" del campo \"Sensibilità in mV/Pa\" non è un numero: usare il punto come separatore decimale."},
      {"grouping under a point reads with a comma", FailureKind::TypeMismatch, "MVSens2", "1,00", ".",
       "Il testo \"1,00\" del campo \"Sensibilità in mV/Pa\" non è un numero: usare il punto come separatore "
       "decimale."},
      {"point under a comma reads under either", FailureKind::TypeMismatch, "SELFNOISE", "1.5.", ",",
       "Il testo \"1.5.\" del campo \"dB Self-Noise (rumore proprio)\" non è un numero."},
      {"letters in max SPL under a comma", FailureKind::TypeMismatch, "MAXSPL", "abc", ",",
       "Il testo \"abc\" del campo \"dB Max SPL (pressione sonora massima)\" non è un numero."},
      {"empty field", FailureKind::TypeMismatch, "DBSens1", "", ",",
       "Il campo \"Sensibilità in dB (rif. 1V/Pa)\" è vuoto: scrivere un numero."},
      {"three blanks", FailureKind::TypeMismatch, "MAXSPL", "   ", ".",
       "Il campo \"dB Max SPL (pressione sonora massima)\" contiene solo spazi: scrivere un numero."},
      {"one blank under a comma", FailureKind::TypeMismatch, "DBSens1", " ", ",",
       "Il campo \"Sensibilità in dB (rif. 1V/Pa)\" contiene solo spazi: scrivere un numero."},
      {"too large", FailureKind::Overflow, "DBSens1", "1e99999", ".",
       "Numero troppo grande: il risultato non si può calcolare."},
      {"division by zero", FailureKind::DivisionByZero, "MVSens2", "1", ".",
       "Divisione per zero: il risultato non si può calcolare."},
      {"invalid operation", FailureKind::InvalidOperation, "MVSens2", "1e-310", ".",
       "Operazione non valida: il risultato non si può calcolare."},
      // Spaces from a web page or a formatted cell are blanks around a number.
      {"no-break spaces only", FailureKind::TypeMismatch, "MAXSPL", "\u00A0\u3000", ".",
       "Il campo \"dB Max SPL (pressione sonora massima)\" contiene solo spazi: scrivere un numero."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(FailureMessage(Failed{row.kind}, row.field, row.text, platform::NumberFormat{row.separator}),
              row.message);
  }
}

TEST(FailureMessage, QuotesTheTextWithWhatCannotBeSeenMadeVisible) {
  // Pasted into a field where no reading of blanks makes them a number: line
  // breaks and other control characters show as signs; spaces inside a number,
  // invisible characters and those that turn text around show as their codes,
  // so the quoted text is what was typed.
  const struct {
    const char* what;
    std::string text;
    const char* quoted;
  } rows[] = {
      {"line feed", "1\n2", "1⏎2"},
      {"carriage return and line feed", "1\r\n2", "1⏎2"},
      {"two line feeds", "1\n\n2", "1⏎⏎2"},
      {"tab", "1\t2", "1⇥2"},
      {"NUL", {'1', '\0', '2'}, "1␀2"},
      {"escape", "1\x1b" "2", "1␛2"},
      {"delete", "1\x7f" "2", "1␡2"},
      {"next line", "1\xC2\x85" "2", "1⏎2"},
      {"line separator", "1\u2028" "2", "1⏎2"},
      {"other C1 control", "1\xC2\x90" "2", "1\\u00902"},
      {"thin space inside", "1\u2009" "2", "1\\u20092"},
      {"right-to-left override", "1\u202E" "2", "1\\u202E2"},
      {"zero-width space before", "\u200B" "12", "\\u200B12"},
      {"isolate and soft hyphen", "\u2067" "1\u00AD", "\\u20671\\u00AD"},
      {"tag character", "1\U000E0041", "1\\U000E0041"},
      {"not UTF-8", "1\xFF", "1\\xFF"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FailureMessage(Failed{FailureKind::TypeMismatch}, "MVSens2", row.text, platform::NumberFormat{"."}),
              std::string("Il testo \"") + row.quoted + "\" del campo \"Sensibilità in mV/Pa\" non è un numero.")
        << row.what;
  }
}

}  // namespace
}  // namespace velsona::ui
